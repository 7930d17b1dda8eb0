#pragma once

#include "input/PadInfo.h"
#include "input/PadPush.h"

#include <QObject>

/// One editor's capture from pads: armed, it takes the first button press or axis push of
/// any connected pad (through PadService), once; cancelled, it takes nothing. Presses made
/// while it is not armed are dropped, not kept for later.
class PadCapture : public QObject
{
    Q_OBJECT

public:
    /// Starts the pad service, so the pads are known by the time one is armed.
    explicit PadCapture(QObject *parent = nullptr);
    ~PadCapture() override;

    void arm();
    void cancel();
    bool isArmed() const { return m_generation != 0; }

Q_SIGNALS:
    /// The push that answered the arming; the capture is no longer armed.
    void captured(const PadPush &push);
    /// A pad went away while armed; the capture stays armed for the others.
    void padLost(const PadInfo &pad);

private:
    int m_generation = 0;
};
