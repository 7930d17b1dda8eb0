#include "library/ReadVerdict.h"

#include <cerrno>
#include <ctime>

#include <sys/stat.h>

namespace {

// The time step of the coarsest file systems in use (FAT keeps 2 s, exFAT as mounted here
// whole seconds): a file read within it of its last change can be rewritten afterwards with
// its size and times unchanged, so what was read is not trusted.
constexpr qint64 kTimeStepNs = qint64(2) * 1000000000;

qint64 nowNs()
{
    struct timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Errors that tell of the file's drive or connection, or of a passing shortage, not of the file.
bool mayPass(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENODEV:
    case ENXIO:
    case EIO:
    case ESTALE:
    case ENOTCONN:
    case ENOMEDIUM:
    case ETIMEDOUT:
    case EHOSTDOWN:
    case ECONNRESET:
    case ECONNABORTED:
    case ENOMEM:
        return true;
    default:
        return false;
    }
}

} // namespace

ReadVerdict::Outcome ReadVerdict::judge(const QByteArray &path, const FileStamp &walked, const ParallelReader::Records &roms)
{
    const qint64 readNs = nowNs();
    // A name the walk could not follow (a dangling link) is refused for good.
    if (walked.size < 0)
        return Trusted;
    bool passing = false;
    bool refused = false;
    for (const std::shared_ptr<ROM> &rom : roms) {
        const std::optional<ROM::Refusal> refusal = rom->refusal();
        refused = refused || refusal.has_value();
        passing = passing || refusal == ROM::Refusal::Missing
            || ((refusal == ROM::Refusal::CannotOpen || refusal == ROM::Refusal::ReadFailed) && mayPass(rom->refusalError()));
    }
    if (refused) {
        // An archive's reader keeps no error number: the file itself says whether it is still there.
        struct stat info;
        if (::stat(path.constData(), &info) != 0)
            return Away;
        if (passing || !FileStamp::fromStat(info).sameFileAs(walked))
            return Untrusted;
    }
    const qint64 sinceChange = readNs - walked.mtimeNs;
    return sinceChange > -kTimeStepNs && sinceChange < kTimeStepNs ? Untrusted : Trusted;
}

