#include "prefs/PrefrenceWindowController.h"

#include "input/ControllerPreferencesViewController.h"
#include "prefs/EmulatorPreferencesViewController.h"
#include "prefs/LibraryPreferencesViewController.h"
#include "prefs/VideoPreferencesViewController.h"

#include "ui_PreferenceWindow.h"

#include <QActionGroup>
#include <QGuiApplication>
#include <QIcon>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

QRect PrefrenceWindowController::keptOnScreen(const QWidget *window, QRect geometry)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return geometry;
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    const QMargins decoration(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                              frame.bottom() - inner.bottom());
    const QRect area = screen->availableGeometry().marginsRemoved(decoration);
    geometry.setSize(geometry.size().boundedTo(area.size()));
    geometry.moveBottom(std::min(geometry.bottom(), area.bottom()));
    geometry.moveRight(std::min(geometry.right(), area.right()));
    geometry.moveTop(std::max(geometry.top(), area.top()));
    geometry.moveLeft(std::max(geometry.left(), area.left()));
    return geometry;
}

PrefrenceWindowController::PrefrenceWindowController(QObject *parent)
    : NibWindowController(QStringLiteral("PreferenceWindow"), parent)
{
}

PrefrenceWindowController::~PrefrenceWindowController() = default;

QWidget *PrefrenceWindowController::createWindow()
{
    auto *window = new QMainWindow;
    m_ui = std::make_unique<Ui::PreferenceWindow>();
    m_ui->setupUi(window);
    m_targetView = m_ui->targetView;
    auto *layout = new QVBoxLayout(m_targetView);
    layout->setContentsMargins(0, 0, 0, 0);
    setPrefsToolbar(m_ui->prefsToolbar);
    setVideoToolbarButton(m_ui->videoToolbarButton);
    setControllerToolbarButton(m_ui->controllerToolbarButton);
    setEmulatorToolbarButton(m_ui->emulatorToolbarButton);
    // The library pane comes after the three of the form.
    m_libraryToolbarButton = new QAction(tr("Library"), window);
    m_libraryToolbarButton->setObjectName(QStringLiteral("libraryToolbarButton"));
    m_libraryToolbarButton->setCheckable(true);
    m_libraryToolbarButton->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_4));
    m_libraryToolbarButton->setIcon(QIcon::fromTheme(QStringLiteral("folder")));
    m_ui->prefsToolbar->addAction(m_libraryToolbarButton);

    // Selectable and exclusive, so the checked item marks the pane shown.
    auto *group = new QActionGroup(window);
    group->setExclusive(true);
    for (QAction *action : {m_ui->videoToolbarButton, m_ui->controllerToolbarButton,
                            m_ui->emulatorToolbarButton, m_libraryToolbarButton.data()}) {
        group->addAction(action);
        action->setEnabled(validateToolbarItem(action));
        // The shortcuts work wherever the focus is inside the window.
        action->setShortcutContext(Qt::WindowShortcut);
    }
    // Checking an item shows its pane, however it is checked: a click and a shortcut
    // trigger it, an accessibility client only toggles it.
    const std::pair<QAction *, void (PrefrenceWindowController::*)()> items[] = {
        {m_ui->videoToolbarButton, &PrefrenceWindowController::videoPressed},
        {m_ui->controllerToolbarButton, &PrefrenceWindowController::controllerPressed},
        {m_ui->emulatorToolbarButton, &PrefrenceWindowController::emulatorPressed},
        {m_libraryToolbarButton.data(), &PrefrenceWindowController::libraryPressed},
    };
    for (const auto &[action, pressed] : items) {
        connect(action, &QAction::toggled, this, [this, group, action, pressed](bool checked) {
            if (checked)
                (this->*pressed)();
            // Unchecking the item of the pane shown would leave no item marking it. (While
            // the group unchecks the item another one replaced, that one is checked already.)
            else if (const QList<QAction *> all = group->actions();
                     std::none_of(all.cbegin(), all.cend(), [](const QAction *item) { return item->isChecked(); }))
                action->setChecked(true);
        });
    }
    return window;
}

void PrefrenceWindowController::awakeFromNib()
{
    m_videoVC = new VideoPreferencesViewController(this);
    m_controllerVC = new ControllerPreferencesViewController(this);
    m_emulatorVC = new EmulatorPreferencesViewController(this);
    m_libraryVC = new LibraryPreferencesViewController(this);
    setCurrentVC(m_videoVC);

    QWidget *w = window();
    if (QScreen *screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen()) {
        QRect frame = w->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        w->move(frame.topLeft());
    }
}

void PrefrenceWindowController::windowDidLoad()
{
    if (m_videoToolbarButton)
        m_videoToolbarButton->setChecked(true);
}

bool PrefrenceWindowController::validateToolbarItem(const QAction *item) const
{
    // Told apart by which item it is: a translation changes the labels.
    return item && (item == m_videoToolbarButton || item == m_controllerToolbarButton
                    || item == m_emulatorToolbarButton || item == m_libraryToolbarButton);
}

void PrefrenceWindowController::showPane(NibViewController *pane)
{
    if (pane && pane != m_currentController)
        setCurrentVC(pane);
}

void PrefrenceWindowController::videoPressed()
{
    showPane(m_videoVC);
}

void PrefrenceWindowController::controllerPressed()
{
    showPane(m_controllerVC);
}

void PrefrenceWindowController::emulatorPressed()
{
    showPane(m_emulatorVC);
}

void PrefrenceWindowController::libraryPressed()
{
    showPane(m_libraryVC);
}

void PrefrenceWindowController::setCurrentVC(NibViewController *pane)
{
    QWidget *w = window();
    if (m_currentController) {
        QWidget *old = m_currentController->view();
        m_targetView->layout()->removeWidget(old);
        old->hide();
        old->setParent(nullptr);
    }

    const QPoint topLeft = w->geometry().topLeft();
    QWidget *paneView = pane->view();
    if (!m_paneSizes.contains(pane))
        m_paneSizes.insert(pane, paneView ? paneView->size().expandedTo(paneView->sizeHint()) : QSize(0, 0));
    const QSize content = m_paneSizes.value(pane);
    // The window's content is the toolbar above the pane.
    const int toolbarHeight = m_prefsToolbar && !m_prefsToolbar->isHidden()
                                  ? m_prefsToolbar->sizeHint().height()
                                  : 0;
    const QSize windowSize(content.width(), content.height() + toolbarHeight);

    if (paneView) {
        paneView->setParent(m_targetView);
        m_targetView->layout()->addWidget(paneView);
        paneView->show();
    }
    w->setMinimumSize(0, 0);
    w->setGeometry(keptOnScreen(w, QRect(topLeft, windowSize)));
    m_currentController = pane;
    if (w->layout())
        w->layout()->activate();
}
