// tolvane-make-rom: writes a synthetic ROM image, for the benchmark, the demo and the
// end-to-end scripts.
#include "support/RomImageBuilder.h"

#include <QStringList>

#include <cstdio>

int main(int argc, char **argv)
{
    RomImageBuilder builder;
    // Laid out like a real header: a space-padded name, zeros up to the game code, and a
    // zero version byte that ends the game code.
    builder.setName(QByteArrayLiteral("TOLVANE TEST IMAGE  ") + QByteArray(7, '\0'));
    builder.setGameCode(QByteArrayLiteral("NTVE") + '\0').setCRC1(0x1234ABCD).setCRC2(0x0BADF00D);
    const QStringList orders{QStringLiteral("z64"), QStringLiteral("v64"), QStringLiteral("n64")};
    QString path;
    bool ok = true;
    for (int i = 1; ok && i < argc; ++i) {
        const QString argument = QFile::decodeName(argv[i]);
        if (!argument.startsWith(QLatin1String("--"))) {
            ok = path.isEmpty();
            path = argument;
            continue;
        }
        const QString value = ++i < argc ? QFile::decodeName(argv[i]) : QString();
        ok = i < argc;
        if (argument == QLatin1String("--size")) {
            // Held in memory while built; a quarter of the 2 GiB the reader accepts is plenty.
            const qint64 factor = value.endsWith(QLatin1Char('M')) ? 1 << 20 : value.endsWith(QLatin1Char('K')) ? 1 << 10 : 1;
            const qint64 size = (factor == 1 ? value : value.chopped(1)).toLongLong(&ok) * factor;
            ok = ok && size >= 0x40 && size <= (qint64(512) << 20);
            builder.setSize(qsizetype(size));
        } else if (argument == QLatin1String("--order")) {
            ok = ok && orders.contains(value);
            builder.setByteOrder(RomImageBuilder::ByteOrder(orders.indexOf(value)));
        } else if (argument == QLatin1String("--name")) {
            builder.setName(value.toLatin1() + '\0'); // before the game code, as in the header
        } else if (argument == QLatin1String("--game-code")) {
            builder.setGameCode(value.toLatin1() + '\0');
        } else {
            ok = false;
        }
    }
    if (!ok || path.isEmpty()) {
        std::fputs("Usage: tolvane-make-rom [--size N[K|M]] [--order z64|v64|n64] [--name TEXT] [--game-code TEXT] FILE\n"
                   "Writes a synthetic ROM image (default: 8K, z64, CIC 6102).\n", stderr);
        return 2;
    }
    if (!builder.writeTo(path)) {
        std::fprintf(stderr, "tolvane-make-rom: cannot write %s\n", QFile::encodeName(path).constData());
        return 1;
    }
    return 0;
}
