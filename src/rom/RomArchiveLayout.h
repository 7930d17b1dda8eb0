#pragma once

#include <QtGlobal>

/// What an archive's own directory says about it, read with pread(2) before any entry is
/// unpacked, so that the decompressor's cursor is left alone.
namespace RomArchiveLayout {

/// Whether two entries of the zip behind \a fd share bytes of their data: the way a zip is
/// built to unpack to far more than it holds, never what an archiver writes. False for a file
/// that is no zip, or whose directory cannot be read (the reader then says why).
bool zipEntriesOverlap(int fd, qint64 fileSize);

} // namespace RomArchiveLayout
