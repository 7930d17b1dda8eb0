#pragma once

#include "dat/DatStatus.h"
#include "library/GameHistory.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class DatIndex;
class DatLibrary;
class LibraryModel;
struct LibraryRecord;
class LibraryScanner;
class PlayHistory;
class QThread;
class QTimer;
class QUrl;
class ROM;

/// The ROM library without widgets: keeps the rows filled from the scanner and the player's
/// history (each on a thread of its own), reads the folders again whenever the stored list
/// changes, whoever changed it, adds folders through LibraryFolders, keeps favourites and
/// play time, and says in words what it is doing. Windows only show it and ask it.
class GameLibrary : public QObject
{
    Q_OBJECT

public:
    explicit GameLibrary(QObject *parent = nullptr);
    /// Stops the scan under way and waits for it; writes what is queued for the history.
    ~GameLibrary() override;

    /// Opens the history and reads the folders; once, after the caller has connected.
    void start();

    LibraryModel *model() const { return m_model; }
    /// What the library is doing or did last, one line per matter.
    QString statusText() const { return m_statusText; }

    /// Adds a folder to the settings (once); one listed already is read again.
    void addFolder(const QString &folder);

    /// The player's history of the game with this MD5.
    GameHistory history(const QString &md5) const;
    /// Notes a run of the game with this MD5 that has just ended.
    void recordRun(const QString &md5, qint64 activeMilliseconds);
    void setFavourite(const QString &md5, bool favourite);
    void toggleFavourite(const QString &md5) { setFavourite(md5, !history(md5).favourite); }

    /// Asks for \a record to be opened (\a play: and started): as it is when the file is
    /// unchanged since it was read, else by reading the file again.
    void open(const LibraryRecord &record, bool play = false);
    /// The file, or the archive entry, to read for a record.
    static QUrl fileUrl(const LibraryRecord &record);
    /// What the player's DAT files say of an image; no status without DAT files.
    DatStatus dumpStatus(const ROM &rom) const;
    /// By path, the chosen DAT files as "NAME, VERSION, N games", or why one is not used.
    QHash<QString, QString> datSummaries() const { return m_datSummaries; }
    /// Watches the player's covers folder too; picturesChanged() tells of changes there.
    void watchCovers(const QString &folder);

public Q_SLOTS:
    /// Reads the folders now (after the one under way, if any).
    void rescan();
    /// Stops the scan under way soon.
    void cancelScan();

Q_SIGNALS:
    /// Open this record as it is: the file is unchanged since it was read.
    void openRecord(const std::shared_ptr<ROM> &rom);
    /// Open this file by reading it (it changed, or it was refused when listed), and start it
    /// once shown when \a play.
    void openFile(const QUrl &url, bool play);
    /// Open this record as it is and start it.
    void playRecord(const std::shared_ptr<ROM> &rom);
    /// A scan began or ended.
    void scanningChanged(bool scanning);
    /// \a read of \a toRead files read in the scan under way; \a toRead 0 while still looking.
    void progress(int read, int toRead);
    /// statusText() changed.
    void statusChanged(const QString &text);
    /// A scan ended.
    void scanFinished();
    /// A game's history changed (a run ended, a favourite was marked); every game's when \a md5
    /// is empty (the history file has been read).
    void historyChanged(const QString &md5);
    /// The history file could not be used or written; a sentence for the player.
    void historyProblem(const QString &message);
    /// Pictures changed in \a folder (the covers folder, or one holding images), or it went.
    void picturesChanged(const QByteArray &folder);
    /// The DAT files were read again: every status may have changed.
    void datsChanged();

private:
    void changeHistory(const QString &md5, const std::function<void(GameHistory &)> &change);
    /// \a changesOnly: for changes told, leaving what a Cancel left unread as it is.
    void startScan(bool changesOnly);
    void showProgress(int read, int toRead, int fromCache);
    void scanFinishedWith(int total, int fromCache, int read, bool cancelled, const QStringList &problems,
                          const QStringList &walkedFolders, bool recentChange);
    void setStatusText(const QString &text);
    void updateStatus();
    /// Has the DAT files' thread read the stored list (again).
    void readDats();

    LibraryModel *m_model;
    QThread *m_scanThread;
    QThread *m_historyThread;
    QThread *m_datThread;
    DatLibrary *m_dats;
    std::shared_ptr<const DatIndex> m_datIndex;
    QHash<QString, QString> m_datSummaries;
    LibraryScanner *m_scanner;
    PlayHistory *m_history;
    QTimer *m_debounce;
    bool m_scanning = false;
    // The DAT files were asked for: at a start once the first scan ends or reads images, at
    // once when the player changes the list.
    bool m_datsAsked = false;
    bool m_rescanPending = false;
    bool m_changesOnly = false;
    // Change notices were lost: said once the scan they caused has ended.
    bool m_eventsLost = false;
    bool m_eventsLostNote = false;
    QString m_cacheMessage;
    QString m_historyMessage;
    /// Changes the player made before the history file was read, made again on what it holds.
    using ChangesBeforeHistory = std::vector<std::pair<QString, std::function<void(GameHistory &)>>>;
    std::optional<ChangesBeforeHistory> m_changesBeforeHistory{std::in_place};
    QString m_problemText;
    QString m_summary;
    QString m_statusText;
};
