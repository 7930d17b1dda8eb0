#include "library/LibraryRecord.h"

#include <QFile>

#include <sys/stat.h>

FileStamp FileStamp::fromStat(const struct stat &info)
{
    FileStamp stamp;
    stamp.size = qint64(info.st_size);
    stamp.mtimeNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.ctimeNs = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    stamp.device = quint64(info.st_dev);
    stamp.inode = quint64(info.st_ino);
    return stamp;
}

QString LibraryRecord::filePath() const
{
    return QFile::decodeName(path);
}

std::shared_ptr<ROM> copyOf(const ROM &rom)
{
    auto copy = std::make_shared<ROM>();
    const auto take = [](const auto &value, auto setter) {
        if (value)
            setter(*value);
    };
    take(rom.filePath(), [&](const QUrl &v) { copy->setFilePath(v); });
    take(rom.cic(), [&](qint32 v) { copy->setCic(v); });
    take(rom.name(), [&](const QString &v) { copy->setName(v); });
    take(rom.gameCode(), [&](const QString &v) { copy->setGameCode(v); });
    take(rom.CRC1(), [&](quint32 v) { copy->setCRC1(v); });
    take(rom.CRC2(), [&](quint32 v) { copy->setCRC2(v); });
    take(rom.calculatedCRC1(), [&](const QVariant &v) { copy->setCalculatedCRC1(v); });
    take(rom.calculatedCRC2(), [&](const QVariant &v) { copy->setCalculatedCRC2(v); });
    take(rom.MD5(), [&](const QString &v) { copy->setMD5(v); });
    take(rom.byteOrder(), [&](const QString &v) { copy->setByteOrder(v); });
    take(rom.fileSize(), [&](qint64 v) { copy->setFileSize(v); });
    take(rom.regionCode(), [&](quint8 v) { copy->setRegionCode(v); });
    take(rom.refusal(), [&](ROM::Refusal v) { copy->setRefusal(v, rom.refusalError()); });
    return copy;
}
