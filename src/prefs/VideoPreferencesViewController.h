#pragma once

#include "settings/EffectiveSettings.h"
#include "platform/NibViewController.h"

#include <memory>

namespace Ui {
class VideoPrefsView;
}

/// The "Video" pane: video plug-in, resolution and full screen, each bound to its setting,
/// of the global settings or of one game's.
class VideoPreferencesViewController : public NibViewController
{
    Q_OBJECT

public:
    explicit VideoPreferencesViewController(QObject *parent = nullptr);
    ~VideoPreferencesViewController() override;

    Ui::VideoPrefsView *ui() const { return m_ui.get(); }
    /// Which settings the pane edits; set before the view is loaded.
    void setSettings(const EffectiveSettings &settings) { m_settings = settings; }
    /// Shows the stored values again (after a change made elsewhere).
    void reloadValues();

protected:
    void setupUi(QWidget *view) override;
    void awakeFromNib() override;

private:
    std::unique_ptr<Ui::VideoPrefsView> m_ui;
    EffectiveSettings m_settings;
};
