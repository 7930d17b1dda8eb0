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

private:
    QList<Entry> m_entries;
    QByteArray m_password;
};
