#pragma once

#include <archive.h>
#include <archive_entry.h>

/// libarchive's functions that the reader calls, loaded with dlopen() the first time an
/// archive is opened. Most files are plain images: not linking libarchive spares every
/// start (tolvane-rominfo on one image above all) the loading and binding of it and its
/// eight compression and XML libraries. The members bear the functions' own names.
class LibArchive
{
public:
    /// The functions, loaded once per process; null when libarchive.so.13 or one of its
    /// functions cannot be found.
    static const LibArchive *load();

    decltype(&::archive_read_new) archive_read_new = nullptr;
    decltype(&::archive_read_free) archive_read_free = nullptr;
    decltype(&::archive_read_support_format_zip) archive_read_support_format_zip = nullptr;
    decltype(&::archive_read_support_format_7zip) archive_read_support_format_7zip = nullptr;
    decltype(&::archive_read_open_fd) archive_read_open_fd = nullptr;
    decltype(&::archive_read_next_header) archive_read_next_header = nullptr;
    decltype(&::archive_read_data) archive_read_data = nullptr;
    decltype(&::archive_read_has_encrypted_entries) archive_read_has_encrypted_entries = nullptr;
    decltype(&::archive_format) archive_format = nullptr;
    decltype(&::archive_entry_pathname) archive_entry_pathname = nullptr;
    decltype(&::archive_entry_pathname_utf8) archive_entry_pathname_utf8 = nullptr;
    decltype(&::archive_entry_filetype) archive_entry_filetype = nullptr;
    decltype(&::archive_entry_size) archive_entry_size = nullptr;
    decltype(&::archive_entry_size_is_set) archive_entry_size_is_set = nullptr;
    decltype(&::archive_entry_is_encrypted) archive_entry_is_encrypted = nullptr;

private:
    LibArchive() = default;
    bool resolve(void *handle);
};
