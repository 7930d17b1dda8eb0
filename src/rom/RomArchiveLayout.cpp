#include "rom/RomArchiveLayout.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A directory larger than this is not checked: the reader's bound on entries stops it anyway.
constexpr std::uint64_t kMaxDirectory = std::uint64_t(16) << 20;

std::uint64_t le(const std::uint8_t *at, int length)
{
    std::uint64_t value = 0;
    for (int i = length; i-- > 0;)
        value = value << 8 | at[i];
    return value;
}

std::optional<Bytes> readAt(int fd, std::uint64_t size, std::uint64_t offset, std::uint64_t length)
{
    if (offset > size || length > size - offset || length > kMaxDirectory)
        return std::nullopt;
    Bytes bytes(length);
    for (std::size_t done = 0; done < length;) {
        const ssize_t got = ::pread(fd, bytes.data() + done, length - done, off_t(offset + done));
        if (got <= 0)
            return std::nullopt;
        done += std::size_t(got);
    }
    return bytes;
}

struct Directory
{
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

// Where the central directory is, from the end record (and its zip64 twin when the numbers
// did not fit).
std::optional<Directory> findDirectory(int fd, std::uint64_t size)
{
    const std::uint64_t tailLength = std::min<std::uint64_t>(size, 65535 + 22);
    const std::optional<Bytes> tail = readAt(fd, size, size - tailLength, tailLength);
    if (!tail || tailLength < 22)
        return std::nullopt;
    for (std::size_t i = tailLength - 22 + 1; i-- > 0;) {
        const std::uint8_t *end = tail->data() + i;
        if (le(end, 4) != 0x06054b50)
            continue;
        Directory directory{le(end + 16, 4), le(end + 12, 4)};
        if (directory.offset != 0xFFFFFFFFu && directory.length != 0xFFFFFFFFu)
            return directory;
        // The zip64 locator sits just before the end record and names the zip64 end record.
        if (i < 20 || le(end - 20, 4) != 0x07064b50)
            return std::nullopt;
        const std::optional<Bytes> end64 = readAt(fd, size, le(end - 20 + 8, 8), 56);
        if (!end64 || le(end64->data(), 4) != 0x06064b50)
            return std::nullopt;
        return Directory{le(end64->data() + 48, 8), le(end64->data() + 40, 8)};
    }
    return std::nullopt;
}

} // namespace

bool RomArchiveLayout::zipEntriesOverlap(int fd, qint64 fileSize)
{
    const auto size = std::uint64_t(std::max<qint64>(fileSize, 0));
    const std::optional<Bytes> magic = readAt(fd, size, 0, 4);
    if (!magic || le(magic->data(), 4) != 0x04034b50)
        return false;
    const std::optional<Directory> where = findDirectory(fd, size);
    const std::optional<Bytes> directory = where ? readAt(fd, size, where->offset, where->length) : std::nullopt;
    if (!directory)
        return false;
    // Each entry's local header offset and packed length, zip64 values taken from its extra field.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> spans;
    for (std::size_t at = 0; at + 46 <= directory->size();) {
        const std::uint8_t *entry = directory->data() + at;
        if (le(entry, 4) != 0x02014b50)
            break;
        const std::size_t nameLength = le(entry + 28, 2), extraLength = le(entry + 30, 2), commentLength = le(entry + 32, 2);
        const std::uint64_t sizes[3] = {le(entry + 24, 4), le(entry + 20, 4), le(entry + 42, 4)};
        std::uint64_t packed = sizes[1], offset = sizes[2];
        const std::size_t extraAt = at + 46 + nameLength;
        for (std::size_t field = extraAt; field + 4 <= std::min(extraAt + extraLength, directory->size());) {
            const std::uint8_t *item = directory->data() + field;
            const std::size_t itemLength = le(item + 2, 2);
            if (le(item, 2) == 0x0001) {
                // In this order, and only those whose 32-bit field is full.
                std::size_t next = field + 4;
                std::uint64_t *targets[3] = {nullptr, &packed, &offset};
                for (int k = 0; k < 3; ++k) {
                    if (sizes[k] != 0xFFFFFFFFu)
                        continue;
                    if (next + 8 > field + 4 + itemLength || next + 8 > directory->size())
                        break;
                    if (targets[k])
                        *targets[k] = le(directory->data() + next, 8);
                    next += 8;
                }
            }
            field += 4 + itemLength;
        }
        // Clamped so that the sums below cannot wrap round.
        spans.emplace_back(std::min(offset, size), std::min(packed, size));
        at = extraAt + extraLength + commentLength;
    }
    std::sort(spans.begin(), spans.end());
    // A local header takes at least 30 bytes before its data.
    for (std::size_t i = 1; i < spans.size(); ++i) {
        if (spans[i].first < spans[i - 1].first + 30 + spans[i - 1].second)
            return true;
    }
    return false;
}
