// libFuzzer target: the ROM image reader, through its public entry point on a real file.
#include "rom/ROM.h"

#include <QUrl>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const std::string &imagePath()
{
    static const std::string path = [] {
        const char *tmp = std::getenv("TMPDIR");
        std::string dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/rom-fuzz-XXXXXX";
        if (!mkdtemp(dir.data()))
            std::abort();
        static std::string file = dir + "/image.z64";
        std::atexit([] {
            std::remove(file.c_str());
            std::remove(file.substr(0, file.rfind('/')).c_str());
        });
        return file;
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::FILE *file = std::fopen(imagePath().c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();
    const std::shared_ptr<ROM> rom = ROM::romFromURL(QUrl::fromLocalFile(QString::fromStdString(imagePath())));
    // Whatever the bytes, an image of at least 4 KiB gives a whole record and a shorter one none.
    if (rom->isValid() != (size >= 4096) || !rom->filePath())
        std::abort();
    if (rom->isValid()) {
        const QString md5 = *rom->MD5();
        if (md5.size() != 32 || md5.toLower() != md5 || !rom->name() || !rom->gameCode())
            std::abort();
        const qint32 cic = *rom->cic();
        if (cic != 6101 && cic != 6102 && cic != 6103 && cic != 6105 && cic != 6106)
            std::abort();
    }
    return 0;
}
