#include "launch/EmulatorOutputLog.h"

#include <algorithm>

namespace {

// The emulator writes to a terminal, so it may colour its text, set a title or move the
// cursor; people reading the window want the text alone.
QByteArray withoutTerminalControls(const QByteArray &line)
{
    const QByteArray &shown = line;
    QByteArray text;
    text.reserve(shown.size());
    const qsizetype size = shown.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = shown.at(i);
        if (c == '\x1b' && i + 1 < size) {
            const char kind = shown.at(++i);
            if (kind == '[') {
                // Parameters and intermediates up to a final byte from @ to ~.
                while (++i < size && (shown.at(i) < '@' || shown.at(i) > '~')) {
                }
            } else if (kind == ']' || kind == 'P' || kind == '^' || kind == '_') {
                // A string, ended by BEL or ESC backslash.
                while (++i < size && shown.at(i) != '\a' && shown.at(i) != '\x1b') {
                }
                if (i + 1 < size && shown.at(i) == '\x1b')
                    ++i;
            } else {
                // ESC, intermediates from space to slash, one final byte.
                while (i < size && shown.at(i) >= ' ' && shown.at(i) <= '/')
                    ++i;
            }
        } else if ((uchar(c) >= ' ' && c != '\x7f') || c == '\t') {
            text.append(c);
        }
    }
    return text;
}

} // namespace

EmulatorOutputLog::EmulatorOutputLog(QObject *parent)
    : QObject(parent)
{
}

void EmulatorOutputLog::beginRun(const QString &command)
{
    m_command = command;
    m_lines.clear();
    m_bytes = 0;
    for (int index = 0; index < 2; ++index) {
        m_partial[index].clear();
        m_returned[index] = false;
        m_passedOn[index] = true;
    }
    Q_EMIT runBegan(command);
}

void EmulatorOutputLog::append(int channel, const QByteArray &bytes, bool passedOn)
{
    const int index = channel == 2 ? 1 : 0;
    QByteArray &partial = m_partial[index];
    qsizetype added = 0;
    if (m_passedOn[index] && !passedOn)
        addLine(index == 1 ? tr("The Launcher's standard error is not being read: the emulator's output is kept here "
                                "but no longer passed on there until it is read again.").toLocal8Bit()
                           : tr("The Launcher's standard output is not being read: the emulator's output is kept here "
                                "but no longer passed on there until it is read again.").toLocal8Bit(),
                added);
    m_passedOn[index] = passedOn;
    const char *next = bytes.constData();
    const char *const end = next + bytes.size();
    while (next < end) {
        const char *const stop = std::find_if(next, end, [](char c) { return c == '\n' || c == '\r'; });
        if (stop > next) {
            // Text after a carriage return overwrites the line on a terminal (progress).
            if (m_returned[index])
                partial.clear();
            m_returned[index] = false;
            partial.append(next, stop - next);
            // Only the line's last mebibyte is kept; trimmed now and then, not at each piece.
            if (partial.size() > 2 * kMaximumBytes)
                partial.remove(0, partial.size() - kMaximumBytes);
        }
        if (stop == end)
            break;
        if (*stop == '\r') {
            // Only what comes next tells a rewrite from the end of a "\r\n" line.
            m_returned[index] = true;
        } else {
            addLine(partial, added);
            partial.clear();
            m_returned[index] = false;
        }
        next = stop + 1;
    }
    announce(added);
}

void EmulatorOutputLog::endRun()
{
    qsizetype added = 0;
    for (int index = 0; index < 2; ++index) {
        if (!m_partial[index].isEmpty())
            addLine(m_partial[index], added);
        m_partial[index].clear();
        m_returned[index] = false;
    }
    announce(added);
}

void EmulatorOutputLog::announce(qsizetype count)
{
    // Lines that were dropped again before anybody saw them are not made into text.
    count = qMin(count, qsizetype(m_lines.size()));
    if (count == 0)
        return;
    QStringList added;
    added.reserve(count);
    for (auto line = m_lines.cend() - count; line != m_lines.cend(); ++line)
        added.append(QString::fromLocal8Bit(*line));
    Q_EMIT linesAdded(added);
}

void EmulatorOutputLog::addLine(const QByteArray &line, qsizetype &added)
{
    // The tail of an overlong line is what explains its end.
    const QByteArray kept = withoutTerminalControls(line.size() < kMaximumBytes ? line : line.right(kMaximumBytes - 1));
    m_lines.push_back(kept);
    m_bytes += kept.size() + 1;
    ++added;
    while (int(m_lines.size()) > kMaximumLines || m_bytes > kMaximumBytes) {
        m_bytes -= m_lines.front().size() + 1;
        m_lines.pop_front();
    }
}

QStringList EmulatorOutputLog::lines() const
{
    QStringList result;
    result.reserve(qsizetype(m_lines.size()));
    for (const QByteArray &line : m_lines)
        result.append(QString::fromLocal8Bit(line));
    return result;
}
