// libFuzzer target: the ROM image reader, through its public entry point on a real file.
#include "rom/ROM.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString path = QDir::temp().filePath(QStringLiteral("rom-fuzz-%1.z64").arg(QCoreApplication::applicationPid()));
    [[maybe_unused]] static const int removeAtExit = std::atexit([] { QFile::remove(path); });
    // Closed (and so written out) at the end of the if statement.
    if (QFile file(path); !file.open(QIODevice::WriteOnly) || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort();
    const std::shared_ptr<ROM> rom = ROM::romFromURL(QUrl::fromLocalFile(path));
    // Whatever the bytes, an image of at least 4 KiB gives a whole record and a shorter one none;
    // a file that begins as a zip or 7z does is an archive, whatever its name, and no image.
    const auto startsWith = [&](const char *magic) { return size >= 4 && std::memcmp(data, magic, 4) == 0; };
    const bool archive = startsWith("PK\3\4") || startsWith("PK\5\6") || startsWith("7z\xBC\xAF");
    if (rom->isValid() != (size >= 4096 && !archive) || rom->filePath() != QUrl::fromLocalFile(path))
        std::abort();
    return 0;
}
