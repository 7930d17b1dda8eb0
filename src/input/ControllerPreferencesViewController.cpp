#include "input/ControllerPreferencesViewController.h"

#include "input/ControllerPicture.h"
#include "input/InputTableView.h"
#include "input/MappingTableModel.h"
#include "input/MappingValue.h"
#include "platform/Bundle.h"
#include "platform/SdlJoystickSetup.h"
#include "platform/UserDefaults.h"

#include "ui_ControllerPrefsView.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QThread>

#include <SDL/SDL.h>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

const QString kKeyboardTitle = QStringLiteral("Keyboard");
const QString kMappingKey = QStringLiteral("Mapping");
const QString kControllersKey = QStringLiteral("Controllers");
const QString kDateKey = QStringLiteral("ControllersLastModifedDate");

constexpr unsigned long kPollPauseMs = 50;
constexpr unsigned long kAxisPauseMs = 500;
constexpr int kAxisThreshold = 31001;

QStringList toStringList(const QVariant &value)
{
    QStringList list;
    for (const QVariant &item : value.toList())
        list.append(item.toString());
    return list;
}

QVariantList toVariantList(const QStringList &list)
{
    QVariantList result;
    result.reserve(list.size());
    for (const QString &item : list)
        result.append(item);
    return result;
}

} // namespace

ControllerPreferencesViewController::ControllerPreferencesViewController(QObject *parent)
    : NibViewController(QStringLiteral("ControllerPrefsView"), parent)
{
    // Quitting with a capture thread waiting must neither hang nor leave it polling.
    if (QCoreApplication::instance()) {
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
                &ControllerPreferencesViewController::stopCaptureThreads);
    }
}

ControllerPreferencesViewController::~ControllerPreferencesViewController()
{
    stopCaptureThreads();
}

void ControllerPreferencesViewController::setupUi(QWidget *view)
{
    m_ui = std::make_unique<Ui::ControllerPrefsView>();
    m_ui->setupUi(view);
    m_popupButton = m_ui->popupButton;
    m_tableView = m_ui->tableView;
    m_resetButton = m_ui->resetButton;

    // The picture sits beside the table; the table keeps the keyboard and screen readers.
    auto *row = new QHBoxLayout;
    const int tableIndex = m_ui->verticalLayout->indexOf(m_tableView);
    m_ui->verticalLayout->insertLayout(tableIndex, row, 1);
    m_ui->verticalLayout->removeWidget(m_tableView);
    m_picture = new ControllerPicture(
        Bundle::mainBundle().resourcePath() + QStringLiteral("/pictures/controller.svg"), view);
    row->addWidget(m_tableView, 1);
    row->addWidget(m_picture, 1);
}

QLabel *ControllerPreferencesViewController::hintLabel() const
{
    return m_ui ? m_ui->hintLabel : nullptr;
}

void ControllerPreferencesViewController::setJoystickNameForTesting(const QString &name)
{
    m_joystickName = name;
    updateHint();
}

void ControllerPreferencesViewController::updateHint()
{
    if (!m_ui)
        return;
    // Say what a selected row will capture, so that a row that can capture nothing is
    // never silent.
    // Only a selected row listens: until then the hint asks for one.
    const bool armed = selectedRow() >= 0;
    QString hint;
    if (m_popupButton->currentText() == kKeyboardTitle)
        hint = armed ? tr("Press a key") : tr("Select an input, then press a key");
    else if (m_joystickName.isEmpty())
        hint = tr("No joystick connected");
    else if (armed)
        hint = tr("Press a button or move a stick on %1").arg(m_joystickName);
    else
        hint = tr("Select an input, then press a button or move a stick on %1").arg(m_joystickName);
    m_ui->hintLabel->setText(hint);
}

void ControllerPreferencesViewController::pictureInputClicked(int row)
{
    if (row >= m_model->rowCount())
        return;
    // The keys go to the table, whatever had the focus before the click.
    m_tableView->setFocus(Qt::MouseFocusReason);
    if (row == selectedRow())
        tableViewSelectionDidChange();
    else
        selectRow(row);
}

void ControllerPreferencesViewController::awakeFromNib()
{
    m_defaults = &UserDefaults::standardUserDefaults();
    m_mappingList = toStringList(m_defaults->arrayForKey(kMappingKey).value_or(QVariantList{}));
    m_controllers = m_settings.dictionaryForKey(kControllersKey).value_or(QVariantMap{});
    m_popupButton->addItems(m_controllers.keys());
    setCurrentMapping();

    m_model = new MappingTableModel(
        {[this] { return numberOfRowsInTableView(); },
         [this](int column, int row) { return tableViewObjectValue(column, row); }},
        this);
    m_tableView->setModel(m_model);
    m_tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tableView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    connect(m_tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ControllerPreferencesViewController::tableViewSelectionDidChange);
    connect(m_tableView, &InputTableView::keyPress, this,
            &ControllerPreferencesViewController::keyPress);
    connect(m_tableView, &InputTableView::keyRefused, this, [this](const QString &text) {
        m_ui->hintLabel->setText(tr("“%1” cannot be mapped: the emulator has no number for this key. "
                                "The row is unchanged.").arg(text));
    });
    connect(m_popupButton, &QComboBox::activated, this,
            &ControllerPreferencesViewController::popupItemSelected);
    connect(m_defaults, &UserDefaults::valueChanged, this, [this](const QString &key) {
        // A game's own mapping lives under "GameSettings"; the pane reads whichever it edits.
        if (key == kControllersKey || key == EffectiveSettings::kGameSettingsKey)
            reloadValues();
    });
    connect(m_resetButton, &QPushButton::clicked, this,
            &ControllerPreferencesViewController::resetToDefaults);

    m_picture->setInputNames(m_mappingList);
    connect(m_tableView->selectionModel(), &QItemSelectionModel::selectionChanged, m_picture,
            [this] { m_picture->setSelectedRow(selectedRow()); });
    connect(m_picture, &ControllerPicture::inputClicked, this,
            &ControllerPreferencesViewController::pictureInputClicked);

    view()->installEventFilter(this);
    m_joy1 = SdlJoystickSetup::openFirstJoystick();
    // Capture reads this one device; SDL 1.2 cannot tell us about devices plugged in later.
    if (m_joy1) {
        const char *name = SDL_JoystickName(SDL_JoystickIndex(m_joy1));
        m_joystickName = name && *name ? QString::fromLocal8Bit(name) : tr("Joystick 1");
    }
    updateHint();
}

bool ControllerPreferencesViewController::eventFilter(QObject *watched, QEvent *event)
{
    // A pane that is not on screen, or in a window that is not active, must not keep
    // rewriting the mapping from a joystick (the user may be playing with it); it re-arms
    // for the selected row when it is shown and active again.
    if (isViewLoaded() && watched == view()) {
        const QEvent::Type type = event->type();
        if (type == QEvent::Hide || type == QEvent::WindowDeactivate)
            disarmCapture();
        else if (type == QEvent::Show)
            rearmCapture();
        else if (type == QEvent::WindowActivate)
            tableViewSelectionDidChange();
    }
    return NibViewController::eventFilter(watched, event);
}

void ControllerPreferencesViewController::rearmCapture()
{
    tableViewSelectionDidChange();
    // However the pane came back (toolbar, shortcut, accessibility), the armed row must
    // also have the keys: otherwise it looks ready but the first key goes elsewhere.
    if (selectedRow() >= 0)
        m_tableView->setFocus(Qt::OtherFocusReason);
}

void ControllerPreferencesViewController::disarmCapture()
{
    if (m_tableView)
        m_tableView->listenForKeys(false);
    if (m_inputThread && m_inputThread->isRunning())
        m_inputThread->requestInterruption();
    // Presses made meanwhile (while playing, say) wait in the queue; they are not meant for us.
    m_discardQueuedEvents = true;
}

bool ControllerPreferencesViewController::joystickCaptureAllowed()
{
    return isViewLoaded() && view()->isVisible() && view()->isActiveWindow();
}

std::mutex &ControllerPreferencesViewController::captureLock()
{
    static std::mutex lock;
    return lock;
}

void ControllerPreferencesViewController::reloadValues()
{
    if (!m_model)
        return;
    const QString title = m_popupButton->currentText();
    const int row = selectedRow();
    m_controllers = m_settings.dictionaryForKey(kControllersKey).value_or(QVariantMap{});
    {
        const QSignalBlocker blocker(m_popupButton);
        m_popupButton->clear();
        m_popupButton->addItems(m_controllers.keys());
        m_popupButton->setCurrentIndex(std::max(0, int(m_popupButton->findText(title))));
    }
    setCurrentMapping();
    updateHint();
    // The same row stays armed, for the controller now shown.
    if (row >= 0 && row < m_model->rowCount()) {
        if (selectedRow() != row)
            selectRow(row);
        else if (m_popupButton->currentText() != title)
            tableViewSelectionDidChange();
    }
}

void ControllerPreferencesViewController::setCurrentMapping()
{
    const QString title = m_popupButton->currentText();
    m_currentController = m_controllers.value(title).toMap();
    m_currentMapping = toStringList(m_currentController.value(kMappingKey));
    if (m_model)
        m_model->reloadData();
}

int ControllerPreferencesViewController::numberOfRowsInTableView() const
{
    return int(m_currentMapping.size());
}

QString ControllerPreferencesViewController::tableViewObjectValue(int column, int row) const
{
    // A record may be shorter or longer than the input name list; show blanks, not garbage.
    if (column == MappingTableModel::NintendoColumn)
        return m_mappingList.value(row);
    if (column == MappingTableModel::YourColumn)
        return m_currentMapping.value(row);
    return {};
}

int ControllerPreferencesViewController::selectedRow() const
{
    if (!m_tableView || !m_tableView->selectionModel())
        return -1;
    const QModelIndexList rows = m_tableView->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ControllerPreferencesViewController::selectRow(int row)
{
    const QModelIndex index = m_model->index(row, 0);
    m_tableView->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_tableView->scrollTo(index);
}

void ControllerPreferencesViewController::storeControllers()
{
    m_currentController.insert(kMappingKey, toVariantList(m_currentMapping));
    m_controllers.insert(m_popupButton->currentText(), m_currentController);
    m_settings.setValueForKey(kControllersKey, m_controllers);
}

void ControllerPreferencesViewController::setMappingValue(const QString &value)
{
    if (!m_tableView || !m_model)
        return;
    const int row = selectedRow();
    // A value that arrives with no row selected has nowhere to go.
    if (row < 0 || row >= m_currentMapping.size())
        return;
    if (!value.isEmpty() && value != m_currentMapping.at(row)) {
        m_currentMapping[row] = value;
        storeControllers();
        m_settings.setValueForKey(kDateKey, QDateTime::currentDateTime());
        m_model->reloadData();
    }
    const int next = row + 1 < m_model->rowCount() ? row + 1 : 0;
    selectRow(next);
}

void ControllerPreferencesViewController::keyPress(int keyNumber)
{
    updateHint();
    setMappingValue(MappingValue::key(keyNumber));
}

void ControllerPreferencesViewController::joystickButtonPressed(int buttonNumber)
{
    setMappingValue(MappingValue::button(buttonNumber));
}

void ControllerPreferencesViewController::tableViewSelectionDidChange()
{
    updateHint();
    if (selectedRow() < 0 || m_shuttingDown)
        return;
    if (m_inputThread && m_inputThread->isRunning())
        m_inputThread->requestInterruption();

    if (m_popupButton->currentText() == kKeyboardTitle) {
        m_tableView->listenForKeys(true);
        return;
    }
    m_tableView->listenForKeys(false);
    if (!joystickCaptureAllowed())
        return;

    // Reap threads that have ended; deleting a running QThread would abort.
    std::erase_if(m_threads, [](const std::unique_ptr<QThread> &t) { return t->isFinished(); });
    const bool discard = std::exchange(m_discardQueuedEvents, false);
    m_threads.push_back(std::unique_ptr<QThread>(QThread::create([this, discard] { pollJoystickEvents(discard); })));
    m_inputThread = m_threads.back().get();
    m_inputThread->start();
}

void ControllerPreferencesViewController::popupItemSelected()
{
    setCurrentMapping();
    updateHint();
    tableViewSelectionDidChange();
    // The hint speaks of the table: the next key must go there, not choose another title.
    m_tableView->setFocus(Qt::PopupFocusReason);
}

void ControllerPreferencesViewController::resetToDefaults()
{
    const QString title = m_popupButton->currentText();
    const QVariantMap shipped =
        Bundle::dictionaryWithContentsOfFile(
            Bundle::mainBundle().pathForResource(QStringLiteral("Defaults"), QStringLiteral("plist")))
            .value_or(QVariantMap{});
    const QVariantMap record = shipped.value(kControllersKey).toMap().value(title).toMap();
    m_currentMapping = toStringList(record.value(kMappingKey));
    storeControllers();
    m_popupButton->setCurrentText(title);
    m_settings.setValueForKey(kDateKey, QDateTime::currentDateTime());
    m_model->reloadData();
}

int ControllerPreferencesViewController::joystickDeviceIndex() const
{
    const int injected = m_testDeviceIndex.load();
    return injected >= 0 ? injected : SDL_JoystickIndex(m_joy1);
}

void ControllerPreferencesViewController::deliverFromCaptureThread(const QString &value)
{
    // Once the pane is going away nobody on the UI thread would take the value.
    if (m_shuttingDown)
        return;
    QMetaObject::invokeMethod(
        this,
        [this, value] {
            if (!m_shuttingDown)
                setMappingValue(value);
        },
        Qt::BlockingQueuedConnection);
}

void ControllerPreferencesViewController::pollJoystickEvents(bool discardQueued)
{
    std::lock_guard<std::mutex> guard(captureLock());
    QThread *self = QThread::currentThread();
    SDL_Event event;
    if (discardQueued) {
        while (SDL_PollEvent(&event)) {
        }
    }
    const char *name = SDL_JoystickName(0);
    std::printf("Joystick name: %s\n", name ? name : "(none)");
    std::fflush(stdout);

    bool firstPass = true;
    bool keepGoing = true;
    for (;;) {
        if (self->isInterruptionRequested())
            return;
        QThread::msleep(kPollPauseMs);
        if (self->isInterruptionRequested())
            return;

        for (;;) {
            if (!SDL_PollEvent(&event)) {
                firstPass = false;
                if (!keepGoing)
                    return;
                break;
            }
            if (!keepGoing)
                return;
            if (event.type == SDL_JOYBUTTONDOWN && event.jbutton.which == joystickDeviceIndex()) {
                std::printf("Button %i\n", int(event.jbutton.button));
                std::fflush(stdout);
                deliverFromCaptureThread(MappingValue::button(event.jbutton.button));
                keepGoing = false;
            } else if (event.type == SDL_JOYAXISMOTION && !firstPass
                       && event.jaxis.which == joystickDeviceIndex()) {
                const int position = event.jaxis.value;
                char sign = 0;
                if (position >= kAxisThreshold)
                    sign = '+';
                else if (position <= -kAxisThreshold)
                    sign = '-';
                if (!sign)
                    continue;
                std::printf("Axis %i\n", int(event.jaxis.axis));
                std::fflush(stdout);
                deliverFromCaptureThread(MappingValue::axis(event.jaxis.axis, sign));
                // Let go of the stick before the next row can see it.
                QThread::msleep(kAxisPauseMs);
                keepGoing = false;
            }
        }
    }
}

void ControllerPreferencesViewController::stopCaptureThreads()
{
    m_shuttingDown = true;
    for (const auto &thread : m_threads)
        thread->requestInterruption();
    for (const auto &thread : m_threads) {
        // A thread may already be blocked handing us a value; deliver its call (which
        // now stores nothing) so it can go on to its cancellation check.
        while (!thread->wait(QDeadlineTimer(10)))
            QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
    m_threads.clear();
    m_inputThread = nullptr;
}
