#pragma once

#include "support/TestWorld.h"

#include "input/ControllerPreferencesViewController.h"
#include "input/InputTableView.h"
#include "input/MappingTableModel.h"
#include "input/PadService.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>

#include <gtest/gtest.h>

/// Sends a key event shaped like the ones Qt's X11 backend makes.
inline void sendKey(QWidget *target, QEvent::Type type, int qtKey, quint32 keysym, const QString &text = {},
                    bool autoRepeat = false, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent event(type, qtKey, modifiers, 0, keysym, 0, text, autoRepeat);
    QApplication::sendEvent(target, &event);
}

/// Chooses \a title in the pop-up the way a user chooses it.
inline void choose(ControllerPreferencesViewController &pane, const QString &title)
{
    pane.popupButton()->setCurrentIndex(pane.popupButton()->findData(title));
    pane.popupItemSelected();
}

inline std::unique_ptr<ControllerPreferencesViewController> loadPane(const QString &title)
{
    // Only the tests' own virtual pads: a pad on the machine must change nothing.
    PadService::instance().setVirtualPadsOnly(true);
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

inline QStringList storedMapping(const QString &title)
{
    const QVariantMap controllers = UserDefaults::standardUserDefaults().dictionaryForKey(QStringLiteral("Controllers")).value_or(QVariantMap{});
    return controllers.value(title).toMap().value(QStringLiteral("Mapping")).toStringList();
}
