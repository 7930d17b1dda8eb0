#include "mainwindow/WindowController.h"

#include "launch/EmulatorSupervisor.h"
#include "library/GameLibrary.h"
#include "library/LibraryController.h"
#include "library/LibraryModel.h"
#include "library/LibraryPanel.h"
#include "mainwindow/DatDrop.h"
#include "mainwindow/RomCover.h"
#include "mainwindow/EmptyViewController.h"
#include "mainwindow/EmulatorOutputWindow.h"
#include "mainwindow/ErrorWinController.h"
#include "launch/GameSession.h"
#include "launch/PlayStatus.h"
#include "mainwindow/ROMViewController.h"
#include "mainwindow/RomOpener.h"
#include "mainwindow/SessionMessages.h"
#include "mainwindow/ToolbarIcons.h"
#include "mainwindow/TvMode.h"
#include "platform/Bundle.h"
#include "platform/LocalPath.h"
#include "platform/OpenPanel.h"
#include "platform/RecentDocuments.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"
#include "rom/RomArchive.h"

#include "ui_MainWindow.h"

#include <QAction>
#include <QDate>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <utility>

namespace {

void removeFromSuperview(QWidget *view)
{
    if (view && view->parentWidget()) {
        view->hide();
        view->setParent(nullptr);
    }
}

} // namespace

WindowController::WindowController(const QString &windowNibName, QObject *parent)
    : NibWindowController(windowNibName, parent)
    , m_session(new GameSession(this))
    , m_supervisor(m_session->supervisor())
    , m_errorWC(new ErrorWinController(this))
{
    connect(m_session, &GameSession::stateChanged, this, &WindowController::supervisionChanged);
    connect(m_supervisor, &EmulatorSupervisor::taskEndedInWords, this, &WindowController::showStatus);
    connect(m_session, &GameSession::finished, this, [this](int exitCode, const QString &text) {
        if (const PlayAnswer answer = std::exchange(m_playAnswer, nullptr))
            answer(exitCode, text);
    });
    connect(m_supervisor, &EmulatorSupervisor::outputExplainsEnd, this, &WindowController::showEmulatorOutput);
}

WindowController::~WindowController() = default;

QWidget *WindowController::createWindow()
{
    auto *window = new DragWindow;
    m_ui = std::make_unique<Ui::MainWindow>();
    m_ui->setupUi(window);
    m_dragWindow = window;
    m_targetView = m_ui->targetView;
    m_playButton = m_ui->actionPlay;
    m_pauseButton = m_ui->actionPause;
    m_stopButton = m_ui->actionStop;
    m_clearButton = m_ui->actionEject;
    // Offered only while a stopped game takes too long to end.
    m_forceStopButton = new QAction(tr("Force Stop"), window);
    m_forceStopButton->setObjectName(QStringLiteral("actionForceStop"));
    m_forceStopButton->setToolTip(tr("End the emulator at once, without letting it save"));
    m_forceStopButton->setShortcut(QKeySequence(tr("Ctrl+Shift+.")));
    m_ui->toolBar->insertAction(m_clearButton, m_forceStopButton);
    // A label rather than a transient message, so that screen readers can read it.
    m_statusLabel = new QLabel(window);
    m_statusLabel->setAccessibleDescription(tr("Status"));
    m_statusLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_ui->statusBar->addWidget(m_statusLabel, 1);
    m_opener = new RomOpener(window, m_ui->statusBar, this);
    window->setWindowTitle(tr("Tolvane Launcher"));
    window->awakeFromNib();
    return window;
}

void WindowController::awakeFromNib()
{
    initControllers();
    initLibrary();
    m_messages = new SessionMessages(m_session, m_dragWindow, m_errorWC, this);
    connect(m_messages, &SessionMessages::emulatorPreferencesRequested, this, &WindowController::emulatorPreferencesRequested);
    m_supervisor->setBundlePath(Bundle::mainBundle().resourcePath());
    m_supervisor->readEmulatorConfig();
    connectSignals();
    // A game left running by a Launcher that was killed is shown, and can be stopped.
    connect(m_session, &GameSession::leftGameEnded, this, &WindowController::showStatus);
    m_session->takeLeftGame();
    validateToolbar();
}

void WindowController::initControllers()
{
    if (m_currentController)
        removeFromSuperview(m_currentController->view());
    m_playButton->setEnabled(false);
    m_clearButton->setEnabled(false);
    m_emptyVC = new EmptyViewController(QStringLiteral("EmptyView"), this);
    m_romVC = new ROMViewController(QStringLiteral("ROMView"), this);
    connect(m_romVC, &ROMViewController::gameSettingsRequested, this, [this] {
        if (m_rom)
            Q_EMIT gameSettingsRequested(m_rom);
    });
    viewSwap(m_emptyVC);
    m_dragWindow->setDropDelegate(new DatDrop(this, m_dragWindow, this));
}

void WindowController::initLibrary()
{
    m_library = new LibraryController(m_dragWindow, this);
    m_dragWindow->placeLibraryPanel(m_library->panel(), m_targetView, m_library->firstPanelWidth());
    new RomCover(this, m_library->coverLoader(), this);
    m_tvMode = new TvMode(m_dragWindow, m_targetView, m_library, this);
    GameLibrary *games = m_library->gameLibrary();
    gameSettingsChanged();
    connect(&UserDefaults::standardUserDefaults(), &UserDefaults::valueChanged, this, [this](const QString &key) {
        if (key == EffectiveSettings::kGameSettingsKey)
            gameSettingsChanged();
    });
    connect(games, &GameLibrary::openRecord, this, &WindowController::showRecord);
    connect(games, &GameLibrary::openFile, this, [this](const QUrl &url, bool play) {
        // Play on a file read again (changed, or just added) still plays once it is shown.
        handleURL(url, [this, play](bool shown) {
            if (play && shown && validateToolbarItem(m_playButton))
                playPressed(m_playButton);
        });
    });
    connect(games, &GameLibrary::playRecord, this, [this](const std::shared_ptr<ROM> &rom) {
        // Play from the menu means this game: a different one running is not resumed.
        if (m_session->hasGame() && m_rom.get() != rom.get())
            return showStatus(tr("Stop the game that is running before playing another."));
        showRecord(rom);
        if (validateToolbarItem(m_playButton))
            playPressed(m_playButton);
    });
    // The history of a game ends up in the library, which the supervisor does not know about.
    connect(m_session, &GameSession::played, games, &GameLibrary::recordRun);
    connect(games, &GameLibrary::historyChanged, this, &WindowController::showHistory);
}

void WindowController::connectSignals()
{
    const struct {
        QAction *action;
        const char *themeName;
        void (WindowController::*slot)(QObject *);
    } items[] = {
        {m_playButton, "media-playback-start", &WindowController::playPressed},
        {m_pauseButton, "media-playback-pause", &WindowController::pausePressed},
        {m_stopButton, "media-playback-stop", &WindowController::stopPressed},
        {m_forceStopButton, "media-playback-stop", &WindowController::forceStopPressed},
        {m_clearButton, "media-eject", &WindowController::clearPressed},
    };
    QList<std::pair<QAction *, QString>> icons;
    for (const auto &item : items)
        icons.append({item.action, QLatin1String(item.themeName)});
    new ToolbarIcons(m_dragWindow, icons);
    for (const auto &item : items) {
        QAction *action = item.action;
        // The label is the button's name for assistive technology too.
        if (QWidget *button = m_ui->toolBar->widgetForAction(action))
            button->setAccessibleName(action->text());
        connect(action, &QAction::triggered, this, [this, action, slot = item.slot]() {
            // A shortcut fires even if the state moved on since the last validation.
            if (validateToolbarItem(action))
                (this->*slot)(action);
        });
    }
}

QList<QAction *> WindowController::toolbarActions() const
{
    return {m_playButton, m_pauseButton, m_stopButton, m_forceStopButton, m_clearButton};
}

ChildProcess *WindowController::task() const
{
    return m_supervisor->task();
}

bool WindowController::taskRunning() const
{
    return m_supervisor->taskRunning();
}

void WindowController::viewSwap(NibViewController *incoming)
{
    m_currentController = incoming;
    QWidget *view = incoming->view();
    if (!m_targetView)
        return;
    // The container's layout sizes the view to the container, now and on every resize.
    if (m_targetView->layout()->indexOf(view) < 0)
        m_targetView->layout()->addWidget(view);
    view->show();
}

bool WindowController::validateToolbarItem(QAction *item) const
{
    if (!item)
        return false;
    // Told apart by which action it is: a translation changes the labels.
    const bool romShown = m_romVC && m_currentController == m_romVC;
    const bool childRunning = m_session->isRunning();
    // A game asked to end is left to end: only Force Stop, once offered, acts on it.
    const bool stopping = m_session->isStopping();
    if (item == m_playButton)
        return romShown && !m_supervisor->taskRunning() && !stopping && !m_session->leftGame();
    if (item == m_clearButton)
        return romShown && !childRunning;
    if (item == m_pauseButton)
        return m_supervisor->taskRunning() && childRunning && !stopping;
    if (item == m_stopButton)
        return childRunning && !stopping;
    if (item == m_forceStopButton)
        return stopping && m_session->forceStopOffered();
    return false;
}

void WindowController::validateToolbar()
{
    if (!m_playButton)
        return;
    for (QAction *action : toolbarActions())
        action->setEnabled(validateToolbarItem(action));
    m_forceStopButton->setVisible(m_session->isStopping());
}

bool WindowController::acceptsURL(const QUrl &url)
{
    if (!url.isLocalFile())
        return false;
    const QString suffix = QFileInfo(url.toLocalFile()).fileName().section(QLatin1Char('.'), -1);
    const bool hasDot = QFileInfo(url.toLocalFile()).fileName().contains(QLatin1Char('.'));
    return hasDot
        && (suffix == QLatin1String("v64") || suffix == QLatin1String("z64") || suffix == QLatin1String("n64")
            || suffix == QLatin1String("zip") || suffix == QLatin1String("7z"));
}

void WindowController::dropURL(const QUrl &url)
{
    handleURL(url);
}

bool WindowController::handleURL(const QUrl &url, const std::function<void(bool shown)> &done)
{
    if (!window())
        return false;
    m_opener->open(url, [this, url, done](const std::shared_ptr<ROM> &record) {
        const bool shown = showOpened(url, record);
        if (done)
            done(shown);
    });
    // After open(): an open it replaced has stopped the indicator.
    m_emptyVC->startSpinning();
    return true;
}

bool WindowController::showOpened(const QUrl &url, const std::shared_ptr<ROM> &record)
{
    m_emptyVC->stopSpinning();
    if (!record) {
        // No image chosen, the read cancelled, or a newer open took over: nothing changes.
        m_lastOpenProblem = tr("\u201c%1\u201d was not opened: no image was chosen, or opening it was cancelled.")
                                .arg(LocalPath::fromUrl(url).displayText());
        return false;
    }
    if (!record->isValid()) {
        // Showing an empty record would look like a ROM without a header; the player
        // needs to know the file itself was the problem. Nothing else changes.
        // The reader says why; the file is never opened a second time here (a pipe would block).
        m_lastOpenProblem = cannotOpenText(GameSession::displayPath(*record), record->refusalReason());
        m_errorWC->showMessage(m_lastOpenProblem);
        validateToolbar();
        return false;
    }
    showRecord(record);
    return true;
}

void WindowController::showRecord(const std::shared_ptr<ROM> &record)
{
    if (!window() || !record)
        return;
    // A record from the library is the newest open too.
    m_opener->cancel();
    m_rom = record;
    m_romVC->setROM(m_rom);
    Q_EMIT romChanged();
    showHistory();
    if (m_recentDocuments && record->filePath()) {
        const std::optional<QString> entry = record->archiveEntry();
        m_recentDocuments->noteNewRecentDocumentURL(
            entry ? RomArchive::entryUrl(*record->filePath(), record->archiveIndex().value_or(0), *entry)
                  : *record->filePath());
    }
    removeFromSuperview(m_emptyVC->view());
    viewSwap(m_romVC);
    m_emptyVC->stopSpinning();
    updateWindowTitle();
    validateToolbar();
}

void WindowController::openFile(QObject *sender)
{
    Q_UNUSED(sender);
    if (!window())
        return;
    if (m_openPanel) {
        m_openPanel->raise();
        m_openPanel->activateWindow();
        return;
    }
    // Modeless, one item, files and folders, no file types: the open command takes any
    // name the player picks, and handleURL says why a folder cannot be played.
    auto *panel = new OpenPanel(m_dragWindow, tr("Open ROM Image"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setCanChooseDirectories(true);
    panel->setAccessibleName(tr("Open ROM Image"));
    m_openPanel = panel;
    connect(panel, &QFileDialog::finished, this, [this, panel](int result) {
        const QList<QUrl> urls = panel->selectedUrls();
        if (result == QDialog::Accepted && !urls.isEmpty())
            handleURL(urls.constFirst());
    });
    // Not open(): that blocks the main window, and with it Pause, Stop and Eject.
    panel->setWindowModality(Qt::NonModal);
    panel->show();
}

void WindowController::playPressed(QObject *sender)
{
    Q_UNUSED(sender);
    m_session->play(m_rom);
    validateToolbar();
}

QString WindowController::cannotOpenText(const QString &path, const QString &reason)
{
    return tr("“%1” cannot be opened.\n\n%2").arg(path, reason.isEmpty() ? tr("The file could not be read.") : reason);
}

void WindowController::playFile(const LocalPath &path, const PlayAnswer &answer)
{
    if (m_session->hasGame()) {
        answer(PlayStatus::AlreadyPlaying, tr("An emulator is already running; it was left as it is."));
        return;
    }
    const bool opening = handleURL(path.toUrl(), [this, answer](bool shown) {
        if (!shown)
            return answer(PlayStatus::CannotOpen, QString(m_lastOpenProblem).replace(QStringLiteral("\n\n"), QStringLiteral(" ")));
        if (m_session->hasGame()) // started while the file was read
            return answer(PlayStatus::AlreadyPlaying, tr("An emulator is already running; it was left as it is."));
        // The session answers once: at the end of the run, or at once when it cannot start.
        m_playAnswer = answer;
        playPressed();
    });
    if (!opening)
        answer(PlayStatus::CannotOpen, QString());
}

QMessageBox *WindowController::emulatorMissingMessage() const
{
    return m_messages ? m_messages->emulatorMissingMessage() : nullptr;
}

void WindowController::pausePressed(QObject *)
{
    m_session->pause();
    validateToolbar();
}

void WindowController::stopPressed(QObject *)
{
    m_session->stop();
    validateToolbar();
}

void WindowController::forceStopPressed(QObject *)
{
    m_session->forceStop();
    validateToolbar();
}

void WindowController::supervisionChanged()
{
    // The end is told in words by the supervisor; until then the session says what goes on.
    if (const QString text = m_session->statusText(); !text.isEmpty())
        showStatus(text);
    validateToolbar();
}

void WindowController::clearPressed(QObject *sender)
{
    Q_UNUSED(sender);
    if (!m_romVC)
        return;
    m_romVC->setROM(nullptr);
    m_rom.reset();
    Q_EMIT romChanged();
    m_session->eject();
    removeFromSuperview(m_romVC->view());
    m_emptyVC->stopSpinning();
    viewSwap(m_emptyVC);
    updateWindowTitle();
    validateToolbar();
}

void WindowController::applicationWillTerminate()
{
    m_session->applicationWillTerminate();
}

void WindowController::showHistory()
{
    if (!m_rom || !m_library)
        return;
    const GameHistory history = m_library->gameLibrary()->history(m_rom->MD5().value_or(QString()));
    m_romVC->setHistoryText(GameHistory::lastPlayedText(history.lastPlayed, QDate::currentDate()),
                            GameHistory::playTimeText(history.playMs));
}

void WindowController::gameSettingsChanged()
{
    m_romVC->showOwnSettings();
    if (!m_library)
        return;
    QHash<QString, QString> words;
    const QHash<QString, EffectiveSettings::Groups> games = EffectiveSettings::overriddenGroupsOfAllGames();
    for (auto it = games.cbegin(); it != games.cend(); ++it)
        words.insert(it.key(), EffectiveSettings::groupsInWords(it.value()));
    m_library->model()->setOwnSettings(words);
}

void WindowController::showStatus(const QString &text)
{
    if (m_statusLabel)
        m_statusLabel->setText(text);
}

void WindowController::updateWindowTitle()
{
    if (!m_dragWindow)
        return;
    // The open file first, as Linux desktops name document windows.
    const std::optional<QUrl> url = m_rom ? m_rom->filePath() : std::nullopt;
    QString name = url ? QFileInfo(url->toLocalFile()).fileName() : QString();
    if (const std::optional<QString> entry = m_rom ? m_rom->archiveEntry() : std::nullopt)
        name = RomArchive::entryDisplayName(name, *entry);
    m_dragWindow->setWindowTitle(name.isEmpty() ? tr("Tolvane Launcher")
                                                : tr("%1 — Tolvane Launcher").arg(name));
}

void WindowController::showEmulatorOutput()
{
    if (!m_outputWindow)
        m_outputWindow = new EmulatorOutputWindow(m_supervisor->outputLog(), m_dragWindow);
    m_outputWindow->show();
    m_outputWindow->raise();
    m_outputWindow->activateWindow();
}

bool WindowController::windowShouldClose(QWidget *window)
{
    QPointer<QWidget> closing(window);
    QTimer::singleShot(0, this, [this, closing]() {
        if (closing)
            orderOutMyWindow(closing);
    });
    return false;
}

void WindowController::orderOutMyWindow(QWidget *window)
{
    window->hide();
}
