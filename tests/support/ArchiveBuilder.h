#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <archive.h>
#include <archive_entry.h>

/// Writes .zip and .7z archives for tests with libarchive, with any entry names (hostile
/// ones too), symlinks, and zip entries encrypted with a password.
class ArchiveBuilder
{
public:
    struct Entry
    {
        QByteArray name;
        QByteArray data;
        bool symlink = false;
    };

    ArchiveBuilder &add(const QByteArray &name, const QByteArray &data) { m_entries.append({name, data}); return *this; }
    ArchiveBuilder &addSymlink(const QByteArray &name) { m_entries.append({name, {}, true}); return *this; }
    /// Zip entries encrypted with this password (7z entries cannot be, with libarchive).
    ArchiveBuilder &setPassword(const QByteArray &password) { m_password = password; return *this; }

    /// By the suffix: .7z, else .zip.
    bool writeTo(const QString &path) const
    {
        archive *writer = archive_write_new();
        const bool sevenZip = path.endsWith(QLatin1String(".7z"));
        bool ok = (sevenZip ? archive_write_set_format_7zip(writer) : archive_write_set_format_zip(writer)) == ARCHIVE_OK;
        // The fastest level: test images are pseudo-random, which LZMA's default level packs
        // at a megabyte or two a second, and what is tested is the reading.
        ok = ok && archive_write_set_options(writer, sevenZip ? "7zip:compression-level=1" : "zip:compression-level=1") == ARCHIVE_OK;
        if (ok && !m_password.isEmpty())
            ok = archive_write_set_options(writer, "zip:encryption=zipcrypt") == ARCHIVE_OK
                && archive_write_set_passphrase(writer, m_password.constData()) == ARCHIVE_OK;
        ok = ok && archive_write_open_filename(writer, QFile::encodeName(path).constData()) == ARCHIVE_OK;
        for (const Entry &item : m_entries) {
            archive_entry *entry = archive_entry_new();
            archive_entry_copy_pathname(entry, item.name.constData());
            archive_entry_set_filetype(entry, item.symlink ? AE_IFLNK : AE_IFREG);
            archive_entry_set_perm(entry, 0644);
            if (item.symlink)
                archive_entry_copy_symlink(entry, "/etc/passwd");
            else
                archive_entry_set_size(entry, item.data.size());
            ok = ok && archive_write_header(writer, entry) == ARCHIVE_OK
                && archive_write_data(writer, item.data.constData(), std::size_t(item.data.size())) == item.data.size();
            archive_entry_free(entry);
        }
        ok = archive_write_close(writer) == ARCHIVE_OK && ok;
        archive_write_free(writer);
        return ok;
    }

    /// A .7z of one entry whose LZMA2 coder declares the dictionary of \a code (24: 16 MiB,
    /// 28: 64 MiB), its data kept in stored chunks: a large window without a large encoder.
    static QByteArray sevenZipWithWindow(const QByteArray &name, const QByteArray &data, char code)
    {
        const auto number = [](quint64 v) { // 7z's numbers: leading ones count the bytes after
            int extra = 0;
            while (v >> (7 * (extra + 1)))
                ++extra;
            QByteArray b(1, char((0xFF00 >> extra) | int(v >> (8 * extra))));
            for (int i = 0; i < extra; ++i)
                b += char(v >> (8 * i));
            return b;
        };
        QByteArray packed;
        for (qsizetype at = 0; at < data.size(); at += 0x10000) {
            const QByteArray chunk = data.mid(at, 0x10000);
            packed += (at ? '\2' : '\1') + QByteArray(1, char((chunk.size() - 1) >> 8)) + char(chunk.size() - 1) + chunk;
        }
        packed += '\0';
        const QString text = QString::fromUtf8(name);
        const QByteArray utf16 = QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2) + QByteArray(2, 0);
        const QByteArray header = QByteArray("\1\4\6\0\1\x09", 6) + number(quint64(packed.size())) + QByteArray("\0\7\x0B\1\0\1\x21\x21\1", 9)
            + code + '\x0C' + number(quint64(data.size())) + QByteArray("\0\x08\0\0\5\1\x11", 7) + number(quint64(utf16.size() + 1))
            + '\0' + utf16 + QByteArray(2, 0);
        const auto le = [](quint64 v, int n) { QByteArray b; for (int i = 0; i < n; ++i) b += char(v >> 8 * i); return b; };
        const QByteArray next = le(quint64(packed.size()), 8) + le(quint64(header.size()), 8) + le(crc32(header), 4);
        return QByteArray("7z\xBC\xAF\x27\x1C\0\4", 8) + le(crc32(next), 4) + next + packed + header;
    }
    static quint32 crc32(const QByteArray &bytes)
    {
        quint32 crc = ~0u;
        for (const char c : bytes) {
            crc ^= quint8(c);
            for (int k = 0; k < 8; ++k)
                crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
        }
        return ~crc;
    }

private:
    QList<Entry> m_entries;
    QByteArray m_password;
};
