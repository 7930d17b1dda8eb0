#pragma once

#include "library/LibraryRecord.h"
#include "library/ParallelReader.h"

#include <QByteArray>

/// Whether what a read of the library gave may be kept as the file's record.
class ReadVerdict
{
public:
    enum Outcome {
        Trusted,
        /// Kept, but read again at the next scan: changed within a time step of the read, or
        /// refused for a reason that may pass (the drive's error, the file replaced meanwhile).
        Untrusted,
        /// The file or its drive went away between the walk and the read: nothing it says is kept.
        Away,
    };

    /// \a walked: the stamp the walk saw; the time of the read is now.
    static Outcome judge(const QByteArray &path, const FileStamp &walked, const ParallelReader::Records &roms);
};
