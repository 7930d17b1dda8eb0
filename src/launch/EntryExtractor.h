#pragma once

#include "platform/LocalPath.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <thread>

class ROM;

/// Extracts one image entry of a .zip or .7z archive into a plain file for the emulator,
/// off the GUI thread. The files go into a folder of this session only
/// ($XDG_RUNTIME_DIR/tolvane-launcher/, mode 0700; a private folder under the temporary
/// directory when that variable is unset), under names of our own made from the entry's base
/// name; whoever is told finished() removes the file when the emulator is done with it, and
/// removeLeftovers() takes what a crash left behind.
class EntryExtractor : public QObject
{
    Q_OBJECT

public:
    explicit EntryExtractor(QObject *parent = nullptr);
    /// Cancels an extraction under way and waits for it (at most one chunk's time).
    ~EntryExtractor() override;

    /// The private folder, made if needed; empty when it cannot be made safely.
    static QString folderPath(QString *problem = nullptr);
    /// Removes the files extracted there by processes that have ended (call only where no
    /// emulator of a running Launcher can use one: at the start of the one Launcher).
    static void removeLeftovers();
    /// Our file name for an entry: its base name, reduced to safe characters, after a prefix
    /// that marks the file as ours.
    static QString fileNameFor(const QString &entry);
    /// The record the emulator is started with: \a entry's, at the extracted \a filePath.
    static std::shared_ptr<ROM> plainCopy(const ROM *entry, const QString &filePath);

    /// Starts extracting; one extraction at a time (false while one is under way).
    bool start(const LocalPath &archivePath, qint32 index, const QString &entry);
    void cancel();
    bool isRunning() const { return m_worker.joinable() && !m_done; }

Q_SIGNALS:
    /// \a done of \a total bytes (total -1 when the archive does not say).
    void progress(qint64 done, qint64 total);
    /// \a filePath of the plain file on success; else empty, with \a error a sentence for
    /// the player (empty when cancelled). No file is left behind on failure.
    void finished(const QString &filePath, const QString &error);

private:
    void run(const LocalPath &archivePath, qint32 index, const QString &entry, const QString &target);

    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_done{true};
};
