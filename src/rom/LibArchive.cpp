#include "rom/LibArchive.h"

#include <type_traits>

#include <dlfcn.h>

const LibArchive *LibArchive::load()
{
    // A function-local static: loaded by the first thread that asks, the others wait for it.
    static const LibArchive *const functions = [] {
        static LibArchive library;
        // Never closed: the functions are used until the process ends.
        void *handle = ::dlopen("libarchive.so.13", RTLD_NOW | RTLD_LOCAL);
        return handle && library.resolve(handle) ? &library : nullptr;
    }();
    return functions;
}

bool LibArchive::resolve(void *handle)
{
    bool complete = true;
    const auto take = [handle, &complete](auto &function, const char *name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(::dlsym(handle, name));
        complete = complete && function;
    };
#define TOLVANE_TAKE(name) take(name, #name)
    TOLVANE_TAKE(archive_read_new);
    TOLVANE_TAKE(archive_read_free);
    TOLVANE_TAKE(archive_read_support_format_zip);
    TOLVANE_TAKE(archive_read_support_format_7zip);
    TOLVANE_TAKE(archive_read_open_fd);
    TOLVANE_TAKE(archive_read_next_header);
    TOLVANE_TAKE(archive_read_data);
    TOLVANE_TAKE(archive_read_has_encrypted_entries);
    TOLVANE_TAKE(archive_format);
    TOLVANE_TAKE(archive_entry_pathname);
    TOLVANE_TAKE(archive_entry_pathname_utf8);
    TOLVANE_TAKE(archive_entry_filetype);
    TOLVANE_TAKE(archive_entry_size);
    TOLVANE_TAKE(archive_entry_size_is_set);
    TOLVANE_TAKE(archive_entry_is_encrypted);
#undef TOLVANE_TAKE
    return complete;
}
