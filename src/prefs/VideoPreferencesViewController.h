#pragma once

#include "platform/NibViewController.h"

#include <memory>

namespace Ui {
class VideoPrefsView;
}

/// The "Video" pane: video plug-in, resolution and full screen, each bound to its setting.
class VideoPreferencesViewController : public NibViewController
{
    Q_OBJECT

public:
    explicit VideoPreferencesViewController(QObject *parent = nullptr);
    ~VideoPreferencesViewController() override;

    Ui::VideoPrefsView *ui() const { return m_ui.get(); }

protected:
    void setupUi(QWidget *view) override;
    void awakeFromNib() override;

private:
    std::unique_ptr<Ui::VideoPrefsView> m_ui;
};
