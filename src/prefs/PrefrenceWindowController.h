#pragma once

#include "platform/NibWindowController.h"

#include <QHash>
#include <QAction>
#include <QPointer>
#include <QToolBar>
#include <QSize>

#include <memory>

class ControllerPreferencesViewController;
class EmulatorPreferencesViewController;
class LibraryPreferencesViewController;
class NibViewController;
class VideoPreferencesViewController;

namespace Ui {
class PreferenceWindow;
}

/// The preferences window: a toolbar of three panes ("Video", "Controllers", "Emulator")
/// and a container that shows one pane at a time.
class PrefrenceWindowController : public NibWindowController
{
    Q_OBJECT

public:
    explicit PrefrenceWindowController(QObject *parent = nullptr);
    ~PrefrenceWindowController() override;

    QWidget *targetView() const { return m_targetView; }
    VideoPreferencesViewController *videoVC() const { return m_videoVC; }
    ControllerPreferencesViewController *controllerVC() const { return m_controllerVC; }
    EmulatorPreferencesViewController *emulatorVC() const { return m_emulatorVC; }
    LibraryPreferencesViewController *libraryVC() const { return m_libraryVC; }
    /// The pane now shown, or null before the window has loaded.
    NibViewController *currentController() const { return m_currentController; }

    QToolBar *prefsToolbar() const { return m_prefsToolbar; }
    void setPrefsToolbar(QToolBar *toolbar) { m_prefsToolbar = toolbar; }
    QAction *videoToolbarButton() const { return m_videoToolbarButton; }
    void setVideoToolbarButton(QAction *action) { m_videoToolbarButton = action; }
    QAction *controllerToolbarButton() const { return m_controllerToolbarButton; }
    void setControllerToolbarButton(QAction *action) { m_controllerToolbarButton = action; }
    QAction *emulatorToolbarButton() const { return m_emulatorToolbarButton; }
    void setEmulatorToolbarButton(QAction *action) { m_emulatorToolbarButton = action; }
    /// The fourth pane's item, "Library" (Ctrl+4).
    QAction *libraryToolbarButton() const { return m_libraryToolbarButton; }

    /// Shows \a pane in the container, resizing the window to the pane's own size while
    /// the window's top-left corner stays where it is.
    void setCurrentVC(NibViewController *pane);
    void videoPressed();
    void controllerPressed();
    void emulatorPressed();
    void libraryPressed();
    /// Enabled exactly for the four pane items.
    bool validateToolbarItem(const QAction *item) const;

    /// \a geometry for \a window with its top-left kept unless the window would leave the
    /// screen's available area; then it moves up (or left) just as far as needed, and shrinks
    /// only where the area is too small.
    static QRect keptOnScreen(const QWidget *window, QRect geometry);

protected:
    QWidget *createWindow() override;
    void awakeFromNib() override;
    void windowDidLoad() override;

private:
    void showPane(NibViewController *pane);

    std::unique_ptr<Ui::PreferenceWindow> m_ui;
    QPointer<QWidget> m_targetView;
    VideoPreferencesViewController *m_videoVC = nullptr;
    ControllerPreferencesViewController *m_controllerVC = nullptr;
    EmulatorPreferencesViewController *m_emulatorVC = nullptr;
    LibraryPreferencesViewController *m_libraryVC = nullptr;
    NibViewController *m_currentController = nullptr;
    QPointer<QToolBar> m_prefsToolbar;
    QPointer<QAction> m_videoToolbarButton;
    QPointer<QAction> m_controllerToolbarButton;
    QPointer<QAction> m_emulatorToolbarButton;
    QPointer<QAction> m_libraryToolbarButton;
    // Each pane's own size as its form made it, so a resize by the user does not carry over.
    QHash<NibViewController *, QSize> m_paneSizes;
};
