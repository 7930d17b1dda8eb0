#pragma once

#include <QByteArray>

#include <cstdint>

/// How much memory the decompressor may need to read an archive: the largest dictionary,
/// window or model among its coders, as the archive's own headers declare it. The decoder
/// reserves that much whatever the entry's size, so it is what a reader running several
/// archives at once must bound.
///
/// Learnt cheaply, before anything is decompressed: a .7z's coder properties from its header
/// (a packed header, as 7-Zip writes for more than a few files, is unpacked first: it is
/// small), a .zip's compression methods from its central directory. Whatever cannot be
/// read or is not known gives `unknown`, so a caller that bounds memory errs on the safe side.
namespace ArchiveWindow {

constexpr std::uint64_t unknown = UINT64_MAX;

/// The window of the archive at \a path: .7z and .zip by their signature, else unknown.
std::uint64_t ofFile(const QByteArray &path);

} // namespace ArchiveWindow
