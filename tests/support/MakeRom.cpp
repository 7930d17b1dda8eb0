// tolvane-make-rom: writes a synthetic ROM image, for the benchmark and demonstrations.
#include "support/RomImageBuilder.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>

namespace {

class MakeRom
{
    Q_DECLARE_TR_FUNCTIONS(MakeRom)

public:
    static int run(const QStringList &arguments);

private:
    static bool parseSize(const QString &text, qsizetype *size);
    static void usage(std::FILE *stream);
};

bool MakeRom::parseSize(const QString &text, qsizetype *size)
{
    qint64 factor = 1;
    QString digits = text;
    if (text.endsWith(QLatin1Char('K'), Qt::CaseInsensitive))
        factor = 1024;
    else if (text.endsWith(QLatin1Char('M'), Qt::CaseInsensitive))
        factor = 1024 * 1024;
    if (factor != 1)
        digits.chop(1);
    bool ok = false;
    const qint64 value = digits.toLongLong(&ok, 0);
    // Held in memory while built; a quarter of the 2 GiB the reader accepts is plenty here.
    constexpr qint64 largest = qint64(512) << 20;
    if (!ok || value < 0 || value > largest / factor || value * factor < 0x40)
        return false;
    *size = qsizetype(value * factor);
    return true;
}

void MakeRom::usage(std::FILE *stream)
{
    const QByteArray text =
        tr("Usage: tolvane-make-rom [--size N[K|M]] [--order z64|v64|n64] [--cic N]\n"
           "                        [--name TEXT] [--game-code TEXT] [--seed N] FILE\n"
           "Writes a synthetic ROM image (default: 8K, z64, CIC 6102).\n")
            .toUtf8();
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stream);
}

int MakeRom::run(const QStringList &arguments)
{
    RomImageBuilder builder;
    // A header laid out like a real one: a 20-byte space-padded name, zeros up to the game
    // code, and a zero version byte that ends the game code.
    builder.setName(QByteArrayLiteral("TOLVANE TEST IMAGE  ") + QByteArray(7, '\0'));
    builder.setGameCode(QByteArrayLiteral("NTVE") + QByteArray(1, '\0'));
    builder.setCRC1(0x1234ABCD).setCRC2(0x0BADF00D);
    QString path;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        const QString value = hasValue ? arguments.at(i + 1) : QString();
        bool ok = true;
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            usage(stdout);
            return 0;
        } else if (argument.startsWith(QLatin1String("--")) && !hasValue) {
            ok = false;
        } else if (argument == QLatin1String("--size")) {
            qsizetype size = 0;
            ok = parseSize(value, &size);
            builder.setSize(size);
            ++i;
        } else if (argument == QLatin1String("--order")) {
            RomImageBuilder::ByteOrder order;
            ok = RomImageBuilder::byteOrderFromName(value, &order);
            builder.setByteOrder(order);
            ++i;
        } else if (argument == QLatin1String("--cic")) {
            builder.setCic(value.toInt(&ok));
            ++i;
        } else if (argument == QLatin1String("--name")) {
            // Name first, game code after it, as in the header.
            builder.setName(value.toLatin1() + QByteArray(1, '\0'));
            ++i;
        } else if (argument == QLatin1String("--game-code")) {
            builder.setGameCode(value.toLatin1() + QByteArray(1, '\0'));
            ++i;
        } else if (argument == QLatin1String("--seed")) {
            builder.setSeed(value.toUInt(&ok, 0));
            ++i;
        } else if (!argument.startsWith(QLatin1String("--")) && path.isEmpty()) {
            path = argument;
        } else {
            ok = false;
        }
        if (!ok) {
            usage(stderr);
            return 2;
        }
    }
    if (path.isEmpty()) {
        usage(stderr);
        return 2;
    }
    if (!builder.writeTo(path)) {
        const QByteArray text = tr("tolvane-make-rom: cannot write %1\n").arg(path).toUtf8();
        std::fwrite(text.constData(), 1, std::size_t(text.size()), stderr);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    return MakeRom::run(arguments);
}
