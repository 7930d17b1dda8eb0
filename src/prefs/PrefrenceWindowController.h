#pragma once

#include "platform/NibWindowController.h"

/// The preferences window: a toolbar of three panes ("Video", "Controllers", "Emulator")
/// and a container that shows one pane at a time.
class PrefrenceWindowController : public NibWindowController
{
    Q_OBJECT

public:
    explicit PrefrenceWindowController(QObject *parent = nullptr);
    ~PrefrenceWindowController() override;

protected:
    QWidget *createWindow() override;
};
