#pragma once

#include "mainwindow/ArchiveEntryChooser.h"
#include "rom/RomArchive.h"
#include "rom/RomSource.h"

#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTimer;
class QWidget;
class ROM;
class RomSourceReader;

/// The main window's way in for a ROM source, for every road (Open, a drop, Open Recent, the
/// library, a second start, a play asked for from outside). A file or an archive's entry is
/// read off the GUI thread; an archive is first listed from its headers and, when it holds
/// several images, the player picks one in a chooser that blocks nothing; the image is then
/// read off the GUI thread too. A read that takes a while shows a bar with Cancel in the
/// status bar, and the toolbar, repaint and the emulator's output go on meanwhile.
///
/// One open at a time, and the newest wins: an open that arrives while another is under way
/// (its chooser up or its image being read) closes that chooser or cancels that read, and
/// the earlier open ends with nothing opened.
class RomOpener : public QObject
{
    Q_OBJECT

public:
    RomOpener(QWidget *window, QStatusBar *statusBar, QObject *parent = nullptr);
    ~RomOpener() override;

    /// Hears how an open ended: the record read (possibly a refused one), or null when
    /// nothing was opened (no image chosen, cancelled, or replaced by a newer open).
    using Done = std::function<void(const std::shared_ptr<ROM> &record)>;
    /// Starts opening \a url and returns at once; \a done follows on this thread.
    void open(const QUrl &url, const Done &done);
    /// Ends the open under way, if any, with nothing opened.
    void cancel();
    bool isBusy() const { return bool(m_done); }

    /// The chooser while it asks.
    ArchiveEntryChooser *chooser() const { return m_chooser; }
    /// The Cancel button of the read under way (hidden until the read takes a while).
    QPushButton *cancelButton() const { return m_cancelButton; }

private:
    void listed(const RomArchive::Listing &listing);
    void read(const RomSource &source, const QString &what);
    void showProgress(qint64 done, qint64 total);
    void finish(const std::shared_ptr<ROM> &record);
    void closeChooser();

    QPointer<QWidget> m_window;
    RomSourceReader *m_reader;
    std::optional<RomSource> m_source;
    Done m_done;
    QPointer<ArchiveEntryChooser> m_chooser;
    QPointer<QWidget> m_progress;
    QLabel *m_progressLabel = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QTimer *m_progressDelay = nullptr;
};
