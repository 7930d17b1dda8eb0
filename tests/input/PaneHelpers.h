#pragma once

#include "support/TestWorld.h"

#include "input/ControllerPreferencesViewController.h"
#include "input/InputTableView.h"
#include "input/MappingTableModel.h"
#include "platform/Bundle.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QStringList>

#include <memory>

#include <gtest/gtest.h>

// X11 keysyms of the keys the tests press.
namespace Keys {
constexpr quint32 Shift_L = 0xffe1, Up = 0xff52, Down = 0xff54, Return = 0xff0d, a = 0x61, b = 0x62, A = 0x41;
}

/// Panes meet a fresh store with the shipped fallbacks, as at start.
class PaneTest : public testing::Test
{
protected:
    static UserDefaults &store() { return UserDefaults::standardUserDefaults(); }
    static QVariantMap shippedControllers()
    {
        const QString path = Bundle::mainBundle().pathForResource(QStringLiteral("Defaults"), QStringLiteral("plist"));
        return Bundle::dictionaryWithContentsOfFile(path).value_or(QVariantMap()).value(QStringLiteral("Controllers")).toMap();
    }

    TestWorld world;
};

/// Sends a key event shaped like the ones Qt's X11 backend makes.
inline void sendKey(QWidget *target, QEvent::Type type, int qtKey, quint32 keysym, const QString &text = {},
                    bool autoRepeat = false, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent event(type, qtKey, modifiers, /*nativeScanCode*/ 0, keysym, /*nativeModifiers*/ 0, text, autoRepeat);
    QApplication::sendEvent(target, &event);
}

/// Chooses \a title in the pop-up the way a user chooses it.
inline void choose(ControllerPreferencesViewController &pane, const QString &title)
{
    pane.popupButton()->setCurrentIndex(pane.popupButton()->findText(title));
    pane.popupItemSelected();
}

/// The pane, loaded, with \a title chosen.
inline std::unique_ptr<ControllerPreferencesViewController> loadPane(const QString &title)
{
    auto pane = std::make_unique<ControllerPreferencesViewController>();
    pane->view();
    choose(*pane, title);
    return pane;
}

inline void selectRow(ControllerPreferencesViewController &pane, int row)
{
    pane.tableView()->selectionModel()->setCurrentIndex(pane.tableModel()->index(row, 0),
                                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

inline int selectedRow(const ControllerPreferencesViewController &pane)
{
    const QModelIndexList rows = pane.tableView()->selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.first().row() : -1;
}

inline QString shownValue(const ControllerPreferencesViewController &pane, int row)
{
    return pane.tableViewObjectValue(MappingTableModel::YourColumn, row);
}

inline QStringList storedMapping(const QString &title)
{
    const QVariantMap controllers = UserDefaults::standardUserDefaults().dictionaryForKey(QStringLiteral("Controllers")).value_or(QVariantMap{});
    return controllers.value(title).toMap().value(QStringLiteral("Mapping")).toStringList();
}
