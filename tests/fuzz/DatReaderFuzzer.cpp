// libFuzzer target: the DAT reader (XML, clrmamepro text, and a .zip or .7z holding one), on a
// real file, and what it reads through the library cache's form and back.
#include "dat/DatFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString path = QDir::temp().filePath(QStringLiteral("dat-fuzz-%1.dat").arg(QCoreApplication::applicationPid()));
    [[maybe_unused]] static const int removeAtExit = std::atexit([] { QFile::remove(path); });
    if (QFile file(path); !file.open(QIODevice::WriteOnly) || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort();
    DatFile::Refusal refusal;
    const auto dat = DatFile::read(path, &refusal);
    // Always an answer: a DAT, or a refusal that says why.
    if (bool(dat) == !refusal.reason.isEmpty())
        std::abort();
    if (!dat)
        return 0;
    for (const DatFile::Rom &rom : dat->roms()) {
        if (rom.game < 0 || std::size_t(rom.game) >= dat->games().size() || (!rom.md5.isEmpty() && rom.md5.size() != 16))
            std::abort();
    }
    const auto again = DatFile::deserialized(dat->serialized());
    if (!again || again->roms().size() != dat->roms().size() || again->name() != dat->name())
        std::abort();
    return 0;
}
