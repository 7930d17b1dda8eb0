#include "support/TestWorld.h"

#include "platform/UserDefaults.h"

#include <QtEndian>

#include <gtest/gtest.h>

namespace {

template <typename T> QByteArray bigEndian(T value)
{
    value = qToBigEndian(value);
    return QByteArray(reinterpret_cast<const char *>(&value), sizeof value);
}

// {"Deep": [[...]]} with `depth` nested arrays: binary, with 4-byte offsets and references.
QByteArray binaryChain(int depth)
{
    QByteArray out = "bplist00\xD1" + bigEndian(1u) + bigEndian(2u) + "\x54" "Deep";
    QByteArray table = bigEndian(8u) + bigEndian(17u);
    for (int i = 0; i < depth; ++i) {
        table += bigEndian(quint32(out.size()));
        out += i + 1 < depth ? "\xA1" + bigEndian(quint32(3 + i)) : QByteArray("\xA0");
    }
    return out + table + QByteArray(6, '\0') + "\x04\x04" + bigEndian(quint64(depth + 2)) + bigEndian(quint64(0))
        + bigEndian(quint64(out.size()));
}

QByteArray xmlChain(int depth)
{
    return "<plist><dict><key>Deep</key>" + QByteArray("<array>").repeated(depth) + QByteArray("</array>").repeated(depth)
        + "</dict></plist>";
}

} // namespace

// libplist recurses once per level and crashed on such files; they are set aside like any unreadable file.
TEST(SettingsLimitsTest, FilesNestedTooDeepOrTooLargeAreSetAsideAndOrdinaryOnesLoad)
{
    TestWorld world;
    const std::pair<QByteArray, bool> cases[] = {{binaryChain(4), true},        {xmlChain(4), true},
                                                 {binaryChain(300000), false}, {xmlChain(300000), false},
                                                 {xmlChain(4) + QByteArray(17 << 20, ' '), false}};
    for (const auto &[bytes, loads] : cases) {
        UserDefaults defaults(world.writeFile(QStringLiteral("settings.plist"), bytes));
        EXPECT_EQ(defaults.movedAsidePath().isEmpty(), loads) << bytes.left(40).toHex().constData();
        EXPECT_EQ(defaults.arrayForKey(QStringLiteral("Deep")).has_value(), loads);
    }
}
