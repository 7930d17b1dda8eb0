#include "input/ControllerPreferencesViewController.h"

#include "input/ControllerPicture.h"
#include "input/ControllerRecord.h"
#include "input/InputTableView.h"
#include "input/MappingTableModel.h"
#include "input/MappingValue.h"
#include "input/PadCapture.h"
#include "input/PadLayout.h"
#include "input/PadStopGroup.h"
#include "input/PadService.h"
#include "platform/Bundle.h"
#include "platform/UserDefaults.h"

#include "ui_ControllerPrefsView.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSignalBlocker>

#include <algorithm>

namespace {

const QString kMappingKey = QStringLiteral("Mapping");
const QString kControllersKey = QStringLiteral("Controllers");
const QString kDateKey = QStringLiteral("ControllersLastModifedDate");

QStringList toStringList(const QVariant &value)
{
    QStringList list;
    for (const QVariant &item : value.toList())
        list.append(item.toString());
    return list;
}

} // namespace

ControllerPreferencesViewController::ControllerPreferencesViewController(QObject *parent)
    : NibViewController(QStringLiteral("ControllerPrefsView"), parent)
{
}

ControllerPreferencesViewController::~ControllerPreferencesViewController() = default;

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
    // Stopping a game from a pad is the player's, not a game's.
    if (m_settings.isGlobal())
        m_ui->verticalLayout->addWidget(new PadStopGroup(view));
}

QLabel *ControllerPreferencesViewController::hintLabel() const { return m_ui ? m_ui->hintLabel : nullptr; }

QLabel *ControllerPreferencesViewController::padsLabel() const { return m_ui ? m_ui->padsLabel : nullptr; }

QPushButton *ControllerPreferencesViewController::layoutButton() const { return m_ui ? m_ui->layoutButton : nullptr; }

QComboBox *ControllerPreferencesViewController::usbNameBox() const { return m_ui ? m_ui->usbNameBox : nullptr; }

QString ControllerPreferencesViewController::currentTitle() const { return m_popupButton ? m_popupButton->currentData().toString() : QString(); }

bool ControllerPreferencesViewController::isCapturingFromPads() const
{
    return m_capture && m_capture->isArmed();
}

void ControllerPreferencesViewController::updateHint()
{
    if (!m_ui)
        return;
    // Say what a selected row will capture, so that a row that can capture nothing is
    // never silent. Only a selected row listens: until then the hint asks for one.
    const int row = selectedRow();
    QString hint;
    if (ControllerRecord::isKeyboardTitle(currentTitle()))
        hint = row >= 0 ? tr("Press a key") : tr("Select an input, then press a key");
    else if (m_layoutMode)
        hint = tr("Press any button of the pad to use; its layout fills every input at once.");
    else if (isCapturingFromPads())
        hint = tr("Press a pad button or move a stick for “%1”…").arg(m_mappingList.value(row));
    else if (row >= 0)
        hint = tr("Press A or Enter, then a pad button or a stick, to map “%1”.").arg(m_mappingList.value(row));
    else
        hint = tr("Select an input, then press a button or move a stick on any pad");
    m_ui->hintLabel->setText(m_note.isEmpty() ? hint : m_note + QLatin1Char(' ') + hint);
}

void ControllerPreferencesViewController::updatePads()
{
    if (!m_ui)
        return;
    QStringList names;
    for (const PadInfo &pad : PadService::instance().pads())
        names.append(pad.name);
    m_ui->padsLabel->setText(names.isEmpty() ? tr("No pad connected. Plug one in; it is found at once.")
                                             : tr("Pads: %1", nullptr, int(names.size())).arg(names.join(QStringLiteral(", "))));
    fillUsbNames();
}

void ControllerPreferencesViewController::fillUsbNames()
{
    // Only a pad's controller is named after a pad or mapped from a pad's layout.
    const bool pad = !ControllerRecord::isKeyboardTitle(currentTitle()) && !currentTitle().isEmpty();
    m_ui->usbNameLabel->setEnabled(pad);
    m_ui->usbNameBox->setEnabled(pad);
    m_ui->layoutButton->setEnabled(pad);
    const QSignalBlocker blocker(m_ui->usbNameBox);
    m_ui->usbNameBox->clear();
    if (!pad)
        return;
    const QString current = ControllerRecord(m_currentController).usbName();
    m_ui->usbNameBox->addItem(current, current);
    for (const PadInfo &info : PadService::instance().pads()) {
        if (m_ui->usbNameBox->findData(info.name) < 0)
            m_ui->usbNameBox->addItem(info.name, info.name);
    }
    m_ui->usbNameBox->setCurrentIndex(0);
}

void ControllerPreferencesViewController::usbNameChosen(int index)
{
    const QString name = m_ui->usbNameBox->itemData(index).toString();
    ControllerRecord record(m_currentController);
    if (name == record.usbName())
        return;
    record.setUsbName(name);
    m_currentController = record.toVariantMap();
    storeControllers();
    storeDate();
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
    for (const QString &title : m_controllers.keys())
        m_popupButton->addItem(ControllerRecord::displayName(title), title);
    setCurrentMapping();

    m_model = new MappingTableModel(
        {[this] { return numberOfRowsInTableView(); },
         [this](int column, int row) { return tableViewObjectValue(column, row); },
         [this](int row) { return m_rowNotes.value(row); }},
        this);
    m_tableView->setModel(m_model);
    m_tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tableView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // Input names are as long as the language makes them; the values take what is left.
    m_tableView->horizontalHeader()->setSectionResizeMode(MappingTableModel::NintendoColumn, QHeaderView::ResizeToContents);

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
    connect(m_ui->layoutButton, &QPushButton::clicked, this,
            &ControllerPreferencesViewController::mapFromPadLayout);
    connect(m_ui->usbNameBox, &QComboBox::activated, this,
            &ControllerPreferencesViewController::usbNameChosen);

    m_picture->setInputNames(m_mappingList);
    connect(m_tableView->selectionModel(), &QItemSelectionModel::selectionChanged, m_picture,
            [this] { m_picture->setSelectedRow(selectedRow()); });
    connect(m_picture, &ControllerPicture::inputClicked, this,
            &ControllerPreferencesViewController::pictureInputClicked);

    m_capture = new PadCapture(this);
    connect(m_capture, &PadCapture::captured, this, &ControllerPreferencesViewController::padCaptured);
    for (const auto signal : {&QAbstractItemView::activated, &QAbstractItemView::clicked})
        connect(m_tableView, signal, this, &ControllerPreferencesViewController::armSelectedRow);
    connect(m_capture, &PadCapture::expired, this, [this] {
        m_note = tr("No pad button came in time; the input is unchanged.");
        updateHint();
    });
    connect(m_capture, &PadCapture::padLost, this, [this](const PadInfo &pad) {
        m_note = tr("%1 was unplugged. The input is unchanged and waits for a press on any pad.").arg(pad.name);
        updateHint();
    });
    PadService &pads = PadService::instance();
    connect(&pads, &PadService::padAdded, this, &ControllerPreferencesViewController::updatePads);
    connect(&pads, &PadService::padRemoved, this, &ControllerPreferencesViewController::updatePads);

    view()->installEventFilter(this);
    updatePads();
    updateHint();
}

bool ControllerPreferencesViewController::eventFilter(QObject *watched, QEvent *event)
{
    // A pane that is not on screen, or in a window that is not active, must not keep
    // rewriting the mapping from a pad (the user may be playing with it); it re-arms
    // for the selected row when it is shown and active again.
    if (isViewLoaded() && watched == view()) {
        const QEvent::Type type = event->type();
        // Game Settings disables the pane while the game uses the global mapping.
        if (type == QEvent::Hide || type == QEvent::WindowDeactivate || (type == QEvent::EnabledChange && !view()->isEnabled()))
            disarmCapture();
        else if (type == QEvent::Show)
            rearmCapture();
        else if (type == QEvent::WindowActivate || type == QEvent::EnabledChange)
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
    // Presses made meanwhile (while playing, say) are dropped by the pad service.
    if (m_capture)
        m_capture->cancel();
}

bool ControllerPreferencesViewController::padCaptureAllowed()
{
    return isViewLoaded() && view()->isVisible() && view()->isEnabled() && view()->isActiveWindow();
}

void ControllerPreferencesViewController::reloadValues()
{
    if (!m_model)
        return;
    const QString title = currentTitle();
    const int row = selectedRow();
    m_controllers = m_settings.dictionaryForKey(kControllersKey).value_or(QVariantMap{});
    {
        const QSignalBlocker blocker(m_popupButton);
        m_popupButton->clear();
        for (const QString &stored : m_controllers.keys())
            m_popupButton->addItem(ControllerRecord::displayName(stored), stored);
        m_popupButton->setCurrentIndex(std::max(0, int(m_popupButton->findData(title))));
    }
    setCurrentMapping();
    updateHint();
    // The same row stays armed, for the controller now shown.
    if (row >= 0 && row < m_model->rowCount()) {
        if (selectedRow() != row)
            selectRow(row);
        else if (currentTitle() != title)
            tableViewSelectionDidChange();
    }
}

void ControllerPreferencesViewController::setCurrentMapping()
{
    m_currentController = m_controllers.value(currentTitle()).toMap();
    m_currentMapping = ControllerRecord(m_currentController).mapping();
    if (m_model)
        m_model->reloadData();
    if (m_ui)
        fillUsbNames();
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
    ControllerRecord record(m_currentController);
    record.setMapping(m_currentMapping);
    m_currentController = record.toVariantMap();
    m_controllers.insert(currentTitle(), m_currentController);
    m_settings.setValueForKey(kControllersKey, m_controllers);
}

void ControllerPreferencesViewController::storeDate()
{
    m_settings.setValueForKey(kDateKey, QDateTime::currentDateTime());
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
        m_rowNotes.remove(row);
        storeControllers();
        storeDate();
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

void ControllerPreferencesViewController::padCaptured(const PadPush &push)
{
    if (m_layoutMode) {
        applyPadLayout(push);
        return;
    }
    m_note = tr("%1 came from %2.").arg(MappingValue::displayText(push.value), push.padName);
    setMappingValue(push.value);
}

void ControllerPreferencesViewController::mapFromPadLayout()
{
    if (ControllerRecord::isKeyboardTitle(currentTitle()) || !m_model)
        return;
    m_layoutMode = true;
    m_note.clear();
    m_tableView->listenForKeys(false);
    if (padCaptureAllowed())
        m_capture->arm();
    updateHint();
}

void ControllerPreferencesViewController::applyPadLayout(const PadPush &push)
{
    m_layoutMode = false;
    if (push.controllerMapping.isEmpty()) {
        m_note = tr("SDL does not know %1 as a game controller, so its layout cannot be read. "
                    "Map its inputs one by one.").arg(push.padName);
        tableViewSelectionDidChange();
        return;
    }
    const PadLayout::Result layout = PadLayout::apply(push.controllerMapping, m_mappingList, m_currentMapping);
    m_rowNotes.clear();
    for (qsizetype row = 0; row < layout.rows.size(); ++row) {
        if (layout.rows.at(row) == PadLayout::Row::Hat)
            m_rowNotes.insert(int(row), tr("kept: on this pad it is a hat, which the emulator's file cannot name"));
        else if (layout.rows.at(row) == PadLayout::Row::Missing)
            m_rowNotes.insert(int(row), tr("kept: this pad has no such control"));
    }
    // One change: one write of every row, one date.
    if (layout.mapping != m_currentMapping) {
        m_currentMapping = layout.mapping;
        storeControllers();
        storeDate();
    }
    m_model->reloadData();
    m_note = m_rowNotes.isEmpty()
        ? tr("Every input was filled from the layout of %1.").arg(push.padName)
        : tr("The inputs were filled from the layout of %1, except %n input(s) whose rows say why.", nullptr,
             int(m_rowNotes.size())).arg(push.padName);
    tableViewSelectionDidChange();
}

void ControllerPreferencesViewController::tableViewSelectionDidChange()
{
    m_layoutMode = false;
    // With no row selected a push would have nowhere to go.
    if (m_capture)
        m_capture->cancel();
    if (selectedRow() >= 0 && m_capture) {
        const bool keyboard = ControllerRecord::isKeyboardTitle(currentTitle());
        m_tableView->listenForKeys(keyboard);
        // A pad's player moves between rows first (B must still leave); A arms the row.
        if (!keyboard && padCaptureAllowed() && !m_tableView->isPadDriven())
            m_capture->arm();
    }
    updateHint();
}

void ControllerPreferencesViewController::armSelectedRow()
{
    if (selectedRow() >= 0 && !ControllerRecord::isKeyboardTitle(currentTitle()) && padCaptureAllowed())
        m_capture->arm();
    updateHint();
}

void ControllerPreferencesViewController::popupItemSelected()
{
    m_note.clear();
    m_rowNotes.clear();
    setCurrentMapping();
    updateHint();
    tableViewSelectionDidChange();
    // The hint speaks of the table: the next key must go there, not choose another title.
    m_tableView->setFocus(Qt::PopupFocusReason);
}

void ControllerPreferencesViewController::resetToDefaults()
{
    const QString title = currentTitle();
    const QVariantMap shipped =
        Bundle::dictionaryWithContentsOfFile(
            Bundle::mainBundle().pathForResource(QStringLiteral("Defaults"), QStringLiteral("plist")))
            .value_or(QVariantMap{});
    const QVariantMap record = shipped.value(kControllersKey).toMap().value(title).toMap();
    m_currentMapping = toStringList(record.value(kMappingKey));
    m_rowNotes.clear();
    storeControllers();
    m_popupButton->setCurrentIndex(std::max(0, int(m_popupButton->findData(title))));
    storeDate();
    m_model->reloadData();
}
