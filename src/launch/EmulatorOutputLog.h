#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>

/// What the emulator wrote in its latest run, kept in memory for people to read: the
/// command that was run and the last lines of its output and error, in the order they
/// came, at most 2,000 lines and 1 MiB, without terminal control sequences.
class EmulatorOutputLog : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaximumLines = 2000;
    static constexpr qsizetype kMaximumBytes = qsizetype(1) << 20;

    explicit EmulatorOutputLog(QObject *parent = nullptr);

    /// Forgets the previous run and starts keeping the output of \a command.
    void beginRun(const QString &command);
    /// Takes bytes from standard output (\a channel 1) or error (2).
    void append(int channel, const QByteArray &bytes);
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
    void addLine(const QByteArray &line, QStringList &added);

    QString m_command;
    std::deque<QByteArray> m_lines;
    qsizetype m_bytes = 0;
    // A line each channel has begun but not yet ended.
    QByteArray m_partial[2];
};
