#include "prefs/PrefrenceWindowController.h"

#include <QMainWindow>

PrefrenceWindowController::PrefrenceWindowController(QObject *parent)
    : NibWindowController(QStringLiteral("PreferenceWindow"), parent)
{
}

PrefrenceWindowController::~PrefrenceWindowController() = default;

QWidget *PrefrenceWindowController::createWindow()
{
    auto *window = new QMainWindow;
    window->setWindowTitle(tr("Preferences"));
    return window;
}
