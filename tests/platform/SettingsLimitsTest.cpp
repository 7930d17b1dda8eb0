#include "support/TestWorld.h"

#include "platform/UserDefaults.h"

#include <gtest/gtest.h>

namespace {

void appendBigEndian(QByteArray &out, quint64 value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char(value >> (8 * i)));
}

// A binary property list {"Deep": [[...]]} with `depth` nested arrays, 4-byte offsets and references.
QByteArray binaryChain(int depth)
{
    QByteArray out = "bplist00";
    QList<quint64> offsets{quint64(out.size())};
    out.append('\xD1');
    appendBigEndian(out, 1, 4);
    appendBigEndian(out, 2, 4);
    offsets.append(quint64(out.size()));
    out.append("\x54" "Deep");
    for (int i = 0; i < depth; ++i) {
        offsets.append(quint64(out.size()));
        out.append(i + 1 < depth ? '\xA1' : '\xA0');
        if (i + 1 < depth)
            appendBigEndian(out, quint64(3 + i), 4);
    }
    const quint64 table = quint64(out.size());
    for (quint64 offset : offsets)
        appendBigEndian(out, offset, 4);
    out.append(QByteArray(6, '\0') + "\x04\x04");
    appendBigEndian(out, quint64(offsets.size()), 8);
    appendBigEndian(out, 0, 8);
    appendBigEndian(out, table, 8);
    return out;
}

QByteArray xmlChain(int depth, const QByteArray &filler = {})
{
    return "<plist><dict><key>Deep</key>" + QByteArray("<array>").repeated(depth) + filler
        + QByteArray("</array>").repeated(depth) + "</dict></plist>";
}

} // namespace

// libplist recurses once per level and crashed on such files; they are set aside like any unreadable file.
TEST(SettingsLimitsTest, FilesNestedTooDeepOrTooLargeAreSetAsideAndOrdinaryOnesLoad)
{
    TestWorld world;
    const QString path = world.path(QStringLiteral("settings.plist"));
    const QByteArray huge = xmlChain(1, "<string>" + QByteArray(17 * 1024 * 1024, 'x') + "</string>");
    const std::pair<QByteArray, bool> cases[] = {{binaryChain(4), true}, {xmlChain(4), true}, {binaryChain(300000), false},
                                                 {xmlChain(300000), false}, {huge, false}};
    for (const auto &[bytes, loads] : cases) {
        world.writeFile(QStringLiteral("settings.plist"), bytes);
        UserDefaults defaults(path);
        EXPECT_EQ(defaults.movedAsidePath().isEmpty(), loads) << bytes.left(40).toHex().constData();
        EXPECT_EQ(defaults.arrayForKey(QStringLiteral("Deep")).has_value(), loads);
    }
}
