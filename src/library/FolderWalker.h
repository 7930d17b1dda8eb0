#pragma once

#include "library/LibraryRecord.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QSet>
#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

/// Finds the ROM images under the library folders: every file, at any depth, whose name ends
/// in .z64, .v64 or .n64, or is a .zip or .7z archive, in any letter case. Symlinked folders are followed once (a loop or
/// a second way into a folder already walked is skipped), pseudo file systems such as /proc
/// are not entered, and nothing found is opened: special files come back with their stamp
/// for the reader to refuse.
class FolderWalker
{
    Q_DECLARE_TR_FUNCTIONS(FolderWalker)

public:
    struct Entry
    {
        QByteArray path;
        /// Size -1 when the name cannot be followed (a dangling link).
        FileStamp stamp;
    };

    explicit FolderWalker(const std::atomic<bool> *cancel = nullptr) : m_cancel(cancel) {}

    /// Walks the folders; the entries come in no particular order.
    std::vector<Entry> walk(const QStringList &folders);
    /// The same for folders named by their bytes (a name need not be UTF-8).
    std::vector<Entry> walk(const QList<QByteArray> &folders);
    /// What could not be walked, one sentence each: a library folder missing or unreadable,
    /// a subfolder that cannot be read (no permission, a path longer than PATH_MAX).
    QStringList problems() const { return m_problems; }
    /// The folders that were walked, for watching.
    QStringList walkedFolders() const { return m_walkedFolders; }
    /// Folders that could not be entered (a library folder missing or unreadable, a subfolder
    /// that cannot be read): what lies under them is not known to be gone.
    QList<QByteArray> unreachable() const { return m_unreachable; }
    /// Folders walked that are the root of a file system of their own (a drive, a mount).
    QList<QByteArray> mountRoots() const { return m_mountRoots; }
    /// Called with each folder before its entries are read (to watch it from then on).
    void setFolderHook(std::function<void(const QByteArray &)> hook) { m_folderHook = std::move(hook); }
    /// Whether \a folder is the root of a file system of its own; nullopt when it cannot be seen.
    static std::optional<bool> isMountRoot(const QByteArray &folder);
    /// Whether the file name has an image extension, in any letter case.
    static bool hasRomExtension(const char *name, std::size_t length);
    /// Whether the library takes the file: an image or a .zip or .7z archive, by its name.
    static bool isLibraryFileName(const char *name, std::size_t length);

private:
    bool cancelled() const { return m_cancel && m_cancel->load(std::memory_order_relaxed); }
    void walkFolder(const QByteArray &path, bool isRoot, std::vector<QByteArray> &pending);
    void problemReading(const QByteArray &path, bool isRoot, int error);

    const std::atomic<bool> *m_cancel;
    QSet<std::pair<quint64, quint64>> m_visited;
    std::vector<Entry> m_entries;
    QStringList m_problems;
    QStringList m_walkedFolders;
    QList<QByteArray> m_unreachable;
    QList<QByteArray> m_mountRoots;
    std::function<void(const QByteArray &)> m_folderHook;
};
