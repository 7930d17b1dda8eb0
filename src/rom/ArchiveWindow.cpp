#include "rom/ArchiveWindow.h"

#include <lzma.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Headers larger than these are not worth reading to save a wait: the archive is taken as unknown.
constexpr std::uint64_t kMaxHeaderBytes = std::uint64_t(16) << 20;
constexpr std::uint64_t kMaxHeaderWindow = std::uint64_t(64) << 20;

class File
{
public:
    explicit File(const QByteArray &path) : m_fd(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK))
    {
        struct stat info;
        if (m_fd >= 0 && ::fstat(m_fd, &info) == 0 && S_ISREG(info.st_mode))
            m_size = std::uint64_t(info.st_size);
    }
    ~File()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    File(const File &) = delete;
    File &operator=(const File &) = delete;

    std::uint64_t size() const { return m_size; }
    // Exactly \a length bytes at \a offset, or nothing.
    std::optional<Bytes> read(std::uint64_t offset, std::uint64_t length) const
    {
        if (offset > m_size || length > m_size - offset || length > kMaxHeaderBytes)
            return std::nullopt;
        Bytes bytes(length);
        std::size_t done = 0;
        while (done < length) {
            const ssize_t got = ::pread(m_fd, bytes.data() + done, length - done, off_t(offset + done));
            if (got <= 0)
                return std::nullopt;
            done += std::size_t(got);
        }
        return bytes;
    }

private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
};

std::uint32_t le32(const std::uint8_t *p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }
std::uint64_t le64(const std::uint8_t *p) { return le32(p) | std::uint64_t(le32(p + 4)) << 32; }

// ---- .7z ----------------------------------------------------------------------------------

enum Id : std::uint8_t {
    kEnd = 0x00, kHeader = 0x01, kArchiveProperties = 0x02, kMainStreamsInfo = 0x04,
    kPackInfo = 0x06, kUnpackInfo = 0x07, kSize = 0x09, kCrc = 0x0A, kFolder = 0x0B,
    kCodersUnpackSize = 0x0C, kEncodedHeader = 0x17,
};

// Reads a header's fields; any read past its end, or any count out of reason, fails it.
class Cursor
{
public:
    explicit Cursor(const Bytes &bytes) : m_p(bytes.data()), m_end(bytes.data() + bytes.size()) {}
    bool ok() const { return m_ok; }
    bool fail() { return m_ok = false; }

    std::uint8_t byte()
    {
        if (m_p == m_end)
            return fail(), 0;
        return *m_p++;
    }
    // 7z's numbers: the first byte's leading ones count the bytes that follow.
    std::uint64_t number()
    {
        const std::uint8_t first = byte();
        std::uint64_t value = 0;
        for (int i = 0, mask = 0x80; i < 8; ++i, mask >>= 1) {
            if ((first & mask) == 0)
                return value | std::uint64_t(first & (mask - 1)) << (8 * i);
            value |= std::uint64_t(byte()) << (8 * i);
        }
        return value;
    }
    std::uint64_t count(std::uint64_t most)
    {
        const std::uint64_t value = number();
        return value > most ? fail(), 0 : value;
    }
    const std::uint8_t *take(std::uint64_t length)
    {
        if (length > std::uint64_t(m_end - m_p))
            return fail(), nullptr;
        const std::uint8_t *start = m_p;
        m_p += length;
        return start;
    }
    void digests(std::uint64_t streams)
    {
        std::uint64_t defined = streams;
        if (byte() == 0) {
            defined = 0;
            const std::uint8_t *bits = take((streams + 7) / 8);
            for (std::uint64_t i = 0; bits && i < streams; ++i)
                defined += (bits[i / 8] >> (7 - i % 8)) & 1;
        }
        take(4 * defined);
    }

private:
    const std::uint8_t *m_p;
    const std::uint8_t *m_end;
    bool m_ok = true;
};

struct Coder
{
    Bytes id;
    Bytes properties;
};

struct Streams
{
    std::uint64_t packPosition = 0;
    std::uint64_t firstPackSize = 0;
    std::vector<std::vector<Coder>> folders;
    std::uint64_t firstUnpackSize = 0;
};

void readPackInfo(Cursor &in, Streams &streams)
{
    streams.packPosition = in.number();
    const std::uint64_t count = in.count(1 << 20);
    for (std::uint8_t id = in.byte(); in.ok() && id != kEnd; id = in.byte()) {
        if (id == kSize) {
            for (std::uint64_t i = 0; i < count; ++i) {
                const std::uint64_t size = in.number();
                if (i == 0)
                    streams.firstPackSize = size;
            }
        } else if (id == kCrc) {
            in.digests(count);
        } else {
            in.fail();
        }
    }
}

void readUnpackInfo(Cursor &in, Streams &streams)
{
    if (in.byte() != kFolder)
        return void(in.fail());
    const std::uint64_t folderCount = in.count(1 << 20);
    if (in.byte() != 0) // folders kept elsewhere: never written in practice
        return void(in.fail());
    std::vector<std::uint64_t> outStreams;
    for (std::uint64_t f = 0; in.ok() && f < folderCount; ++f) {
        std::vector<Coder> coders(in.count(64));
        std::uint64_t inTotal = 0, outTotal = 0;
        for (Coder &coder : coders) {
            const std::uint8_t flags = in.byte();
            if (flags & 0x80)
                return void(in.fail());
            const std::uint8_t *id = in.take(flags & 0x0F);
            if (id)
                coder.id.assign(id, id + (flags & 0x0F));
            const bool complex = flags & 0x10;
            inTotal += complex ? in.count(64) : 1;
            outTotal += complex ? in.count(64) : 1;
            if (flags & 0x20) {
                const std::uint64_t length = in.count(4096);
                if (const std::uint8_t *properties = in.take(length))
                    coder.properties.assign(properties, properties + length);
            }
        }
        if (outTotal == 0 || inTotal < outTotal - 1)
            return void(in.fail());
        for (std::uint64_t i = 0; i < 2 * (outTotal - 1); ++i) // bind pairs
            in.number();
        if (const std::uint64_t packed = inTotal - (outTotal - 1); packed > 1)
            for (std::uint64_t i = 0; i < packed; ++i)
                in.number();
        outStreams.push_back(outTotal);
        streams.folders.push_back(std::move(coders));
    }
    if (in.byte() != kCodersUnpackSize)
        return void(in.fail());
    for (std::uint64_t f = 0; in.ok() && f < outStreams.size(); ++f) {
        for (std::uint64_t i = 0; i < outStreams[f]; ++i) {
            const std::uint64_t size = in.number();
            if (f == 0 && i == 0)
                streams.firstUnpackSize = size;
        }
    }
    for (std::uint8_t id = in.byte(); in.ok() && id != kEnd; id = in.byte()) {
        if (id == kCrc)
            in.digests(folderCount);
        else
            in.fail();
    }
}

// What follows is the packed and coders info, enough to know the coders; the substreams
// and the files are of no interest here.
Streams readStreams(Cursor &in)
{
    Streams streams;
    std::uint8_t id = in.byte();
    if (id == kPackInfo) {
        readPackInfo(in, streams);
        id = in.byte();
    }
    if (id == kUnpackInfo)
        readUnpackInfo(in, streams);
    return streams;
}

bool isId(const Coder &coder, std::initializer_list<std::uint8_t> id)
{
    return std::equal(coder.id.begin(), coder.id.end(), id.begin(), id.end());
}

std::uint64_t coderWindow(const Coder &coder)
{
    const Bytes &p = coder.properties;
    if (isId(coder, {0x03, 0x01, 0x01}) || isId(coder, {0x03, 0x04, 0x01})) // LZMA, PPMd: the size after one byte
        return p.size() >= 5 ? le32(p.data() + 1) : ArchiveWindow::unknown;
    if (isId(coder, {0x21})) { // LZMA2: the size as a code
        if (p.size() != 1 || p[0] > 40)
            return ArchiveWindow::unknown;
        return p[0] == 40 ? 0xFFFFFFFFu : std::uint64_t(2 | (p[0] & 1)) << (p[0] / 2 + 11);
    }
    // Copy, Deflate, Deflate64, BZip2 (900 KB blocks), branch and delta filters, AES.
    static const std::initializer_list<std::uint8_t> small[] = {
        {0x00}, {0x03}, {0x04}, {0x05}, {0x06}, {0x07}, {0x08}, {0x09}, {0x0A},
        {0x04, 0x01, 0x08}, {0x04, 0x01, 0x09}, {0x04, 0x02, 0x02}, {0x06, 0xF1, 0x07, 0x01},
        {0x03, 0x03, 0x01, 0x03}, {0x03, 0x03, 0x01, 0x1B}, {0x03, 0x03, 0x02, 0x05}, {0x03, 0x03, 0x04, 0x01},
        {0x03, 0x03, 0x05, 0x01}, {0x03, 0x03, 0x07, 0x01}, {0x03, 0x03, 0x08, 0x05},
    };
    for (const auto &id : small) {
        if (isId(coder, id))
            return std::uint64_t(1) << 20;
    }
    return ArchiveWindow::unknown;
}

// A packed header: one LZMA or LZMA2 coder, as 7-Zip writes it, unpacked with liblzma
// (what libarchive itself uses for it); anything else is not tried.
std::optional<Bytes> unpackHeader(const File &file, const Streams &streams)
{
    if (streams.folders.size() != 1 || streams.folders[0].size() != 1 || streams.firstUnpackSize > kMaxHeaderBytes
        || coderWindow(streams.folders[0][0]) > kMaxHeaderWindow || streams.packPosition > file.size())
        return std::nullopt;
    const Coder &coder = streams.folders[0][0];
    lzma_filter filters[2] = {{isId(coder, {0x21}) ? LZMA_FILTER_LZMA2 : LZMA_FILTER_LZMA1, nullptr},
                              {LZMA_VLI_UNKNOWN, nullptr}};
    if ((!isId(coder, {0x21}) && !isId(coder, {0x03, 0x01, 0x01}))
        || lzma_properties_decode(&filters[0], nullptr, coder.properties.data(), coder.properties.size()) != LZMA_OK)
        return std::nullopt;
    const std::optional<Bytes> packed = file.read(32 + streams.packPosition, streams.firstPackSize);
    Bytes header(streams.firstUnpackSize);
    lzma_stream stream = LZMA_STREAM_INIT;
    bool ok = packed && !header.empty() && lzma_raw_decoder(&stream, filters) == LZMA_OK;
    std::free(filters[0].options);
    if (ok) {
        stream.next_in = packed->data();
        stream.avail_in = packed->size();
        stream.next_out = header.data();
        stream.avail_out = header.size();
        const lzma_ret result = lzma_code(&stream, LZMA_RUN);
        ok = (result == LZMA_OK || result == LZMA_STREAM_END) && stream.avail_out == 0;
    }
    lzma_end(&stream);
    return ok ? std::optional<Bytes>(std::move(header)) : std::nullopt;
}

std::uint64_t sevenZipWindow(const File &file)
{
    const std::optional<Bytes> start = file.read(0, 32);
    if (!start)
        return ArchiveWindow::unknown;
    const std::uint64_t offset = le64(start->data() + 12), length = le64(start->data() + 20);
    if (offset > file.size())
        return ArchiveWindow::unknown;
    std::optional<Bytes> header = file.read(32 + offset, length);
    if (header && !header->empty() && header->front() == kEncodedHeader) {
        Cursor in(*header);
        in.byte();
        const Streams packed = readStreams(in);
        header = in.ok() ? unpackHeader(file, packed) : std::nullopt;
    }
    if (!header || header->empty() || header->front() != kHeader)
        return ArchiveWindow::unknown;
    Cursor in(*header);
    in.byte();
    std::uint8_t id = in.byte();
    if (id == kArchiveProperties) {
        while (in.ok() && in.byte() != 0)
            in.take(in.number());
        id = in.byte();
    }
    if (!in.ok() || id != kMainStreamsInfo) // no streams: only empty files, or extra streams we do not read
        return in.ok() && (id == kEnd || id == 0x05) ? 0 : ArchiveWindow::unknown;
    const Streams streams = readStreams(in);
    if (!in.ok())
        return ArchiveWindow::unknown;
    std::uint64_t window = 0;
    for (const std::vector<Coder> &folder : streams.folders)
        for (const Coder &coder : folder)
            window = std::max(window, coderWindow(coder));
    return window;
}

// ---- .zip ---------------------------------------------------------------------------------

std::uint64_t zipWindow(const File &file)
{
    // The end record is within the last 64 KiB (its comment's most) and 22 bytes.
    const std::uint64_t tailLength = std::min<std::uint64_t>(file.size(), 65535 + 22);
    const std::optional<Bytes> tail = file.read(file.size() - tailLength, tailLength);
    if (!tail || tailLength < 22)
        return ArchiveWindow::unknown;
    const std::uint8_t *end = nullptr;
    for (std::size_t i = tailLength - 22 + 1; i-- > 0 && !end;) {
        if (le32(tail->data() + i) == 0x06054b50)
            end = tail->data() + i;
    }
    // Zip64 holds its offsets elsewhere; such archives are rare enough to be unknown.
    if (!end || le32(end + 12) == 0xFFFFFFFFu || le32(end + 16) == 0xFFFFFFFFu)
        return ArchiveWindow::unknown;
    const std::optional<Bytes> directory = file.read(le32(end + 16), le32(end + 12));
    if (!directory)
        return ArchiveWindow::unknown;
    std::uint64_t window = 0;
    for (std::size_t at = 0; at + 46 <= directory->size();) {
        const std::uint8_t *entry = directory->data() + at;
        if (le32(entry) != 0x02014b50)
            return ArchiveWindow::unknown;
        // Stored, Deflate (32 KiB), Deflate64 (64 KiB), BZip2 (900 KB blocks); the others
        // (LZMA, XZ, PPMd, Zstandard) carry their sizes in the data and are not read here.
        switch (entry[10] | entry[11] << 8) {
        case 0: case 8: case 9: window = std::max<std::uint64_t>(window, 64 << 10); break;
        case 12: window = std::max<std::uint64_t>(window, 1 << 20); break;
        default: return ArchiveWindow::unknown;
        }
        at += 46 + std::size_t(entry[28] | entry[29] << 8) + std::size_t(entry[30] | entry[31] << 8)
            + std::size_t(entry[32] | entry[33] << 8);
    }
    return window;
}

} // namespace

std::uint64_t ArchiveWindow::ofFile(const QByteArray &path)
{
    const File file(path);
    const std::optional<Bytes> magic = file.read(0, 6);
    if (!magic)
        return unknown;
    if (std::memcmp(magic->data(), "7z\xBC\xAF\x27\x1C", 6) == 0)
        return sevenZipWindow(file);
    if (std::memcmp(magic->data(), "PK", 2) == 0)
        return zipWindow(file);
    return unknown;
}
