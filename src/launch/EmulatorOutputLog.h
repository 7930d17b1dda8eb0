#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>

/// What the emulator wrote in its latest run, kept in memory for people to read: the
/// command that was run and the last lines of its output and error, in the order they
/// came, at most 2,000 lines and 1 MiB, without terminal control sequences. A carriage
/// return followed by text rewrites the line, as on a terminal; of a line longer than
/// 1 MiB the end is kept.
class EmulatorOutputLog : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaximumLines = 2000;
    static constexpr qsizetype kMaximumBytes = qsizetype(1) << 20;

    explicit EmulatorOutputLog(QObject *parent = nullptr);

    /// Forgets the previous run and starts keeping the output of \a command.
    void beginRun(const QString &command);
    /// Takes bytes from standard output (\a channel 1) or error (2). \a passedOn false: they
    /// could not be passed on to the Launcher's own stream, which is blocked; the first such
    /// bytes since the stream last took some, or since the run began, get a line that says so.
    void append(int channel, const QByteArray &bytes, bool passedOn = true);
    /// The run has ended: lines still without their line end are kept as they are.
    void endRun();

    QString command() const { return m_command; }
    QStringList lines() const;
    /// Bytes held in lines(), line ends included.
    qsizetype byteCount() const { return m_bytes; }

Q_SIGNALS:
    /// A new run began; whoever shows the log starts afresh.
    void runBegan(const QString &command);
    /// Whole lines arrived, in order. Old lines may have been dropped meanwhile.
    void linesAdded(const QStringList &lines);

private:
    // Keeps \a line and counts it in \a added.
    void addLine(const QByteArray &line, qsizetype &added);
    // Announces the last \a count lines kept, as far as they are still there.
    void announce(qsizetype count);

    QString m_command;
    std::deque<QByteArray> m_lines;
    qsizetype m_bytes = 0;
    // A line each channel has begun but not yet ended, and whether a carriage return came
    // after its last text.
    QByteArray m_partial[2];
    bool m_returned[2] = {false, false};
    // Whether the Launcher's stream took the latest bytes of each channel.
    bool m_passedOn[2] = {true, true};
};
