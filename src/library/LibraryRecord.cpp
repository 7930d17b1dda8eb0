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
