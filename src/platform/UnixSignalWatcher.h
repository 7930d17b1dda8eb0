#pragma once

#include <QObject>

#include <csignal>
#include <initializer_list>
#include <vector>

class QSocketNotifier;

/// Delivers Unix signals as a Qt signal on the thread that owns the watcher, so that
/// the Launcher can end through its event loop (and ask its emulator to end) when the
/// session, `kill` or a terminal's Ctrl+C ends it. One watcher per process.
class UnixSignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit UnixSignalWatcher(std::initializer_list<int> signalNumbers, QObject *parent = nullptr);
    /// Puts the handlers back as they were before.
    ~UnixSignalWatcher() override;

Q_SIGNALS:
    /// One of the watched signals arrived.
    void unixSignal(int signalNumber);

private:
    void readSignals();

    std::vector<int> m_signalNumbers;
    std::vector<struct sigaction> m_previous;
    QSocketNotifier *m_notifier = nullptr;
};
