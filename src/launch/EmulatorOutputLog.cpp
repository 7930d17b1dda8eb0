#include "launch/EmulatorOutputLog.h"

namespace {

// The emulator writes to a terminal, so it may colour its text, set a title or move the
// cursor; people reading the window want the text alone.
QByteArray withoutTerminalControls(const QByteArray &line)
{
    // What a carriage return went back over was overwritten on a terminal (progress).
    const QByteArray shown = line.mid(line.lastIndexOf('\r') + 1);
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
    m_partial[0].clear();
    m_partial[1].clear();
    Q_EMIT runBegan(command);
}

void EmulatorOutputLog::append(int channel, const QByteArray &bytes)
{
    QByteArray &partial = m_partial[channel == 2 ? 1 : 0];
    partial += bytes;
    QStringList added;
    qsizetype start = 0;
    for (qsizetype end = partial.indexOf('\n'); end >= 0; end = partial.indexOf('\n', start)) {
        addLine(partial.mid(start, end - start), added);
        start = end + 1;
    }
    partial.remove(0, start);
    // A line without an end must not grow without bound either.
    if (partial.size() >= kMaximumBytes) {
        addLine(partial, added);
        partial.clear();
    }
    if (!added.isEmpty())
        Q_EMIT linesAdded(added);
}

void EmulatorOutputLog::endRun()
{
    QStringList added;
    for (QByteArray &partial : m_partial) {
        if (!partial.isEmpty())
            addLine(partial, added);
        partial.clear();
    }
    if (!added.isEmpty())
        Q_EMIT linesAdded(added);
}

void EmulatorOutputLog::addLine(const QByteArray &line, QStringList &added)
{
    // The tail of an overlong line is what explains its end.
    QByteArray kept = line.size() < kMaximumBytes ? line : line.right(kMaximumBytes - 1);
    if (kept.endsWith('\r'))
        kept.chop(1);
    kept = withoutTerminalControls(kept);
    m_lines.push_back(kept);
    m_bytes += kept.size() + 1;
    added.append(QString::fromLocal8Bit(kept));
    while (int(m_lines.size()) > kMaximumLines || m_bytes > kMaximumBytes) {
        m_bytes -= m_lines.front().size() + 1;
        m_lines.pop_front();
    }
    if (added.size() > kMaximumLines)
        added.removeFirst();
}

QStringList EmulatorOutputLog::lines() const
{
    QStringList result;
    result.reserve(qsizetype(m_lines.size()));
    for (const QByteArray &line : m_lines)
        result.append(QString::fromLocal8Bit(line));
    return result;
}
