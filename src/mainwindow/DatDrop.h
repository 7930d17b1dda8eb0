#pragma once

#include "mainwindow/URLDropDelegate.h"

#include <QObject>
#include <QPointer>
#include <QThreadPool>

class QMessageBox;
class QWidget;

/// Stands before the main window's own drop delegate and takes the DAT files dropped on the
/// window: a .dat or .xml, or a .zip or .7z that holds no ROM image and one DAT. Such a file
/// is read off the GUI thread; a DAT brings the question "Use “NAME” to identify games?",
/// whose yes adds it to the player's DAT files, and a .dat or .xml that is not one is refused
/// with the reader's reason and line. Everything else goes to the next delegate as it came:
/// an archive that holds a ROM image, or no DAT the reader takes, opens as a ROM archive,
/// as it always did.
class DatDrop : public QObject, public URLDropDelegate
{
    Q_OBJECT

public:
    DatDrop(URLDropDelegate *next, QWidget *window, QObject *parent = nullptr);
    /// Waits for a read under way (a DAT is read whole in well under a second).
    ~DatDrop() override;

    bool acceptsURL(const QUrl &url) override;
    void dropURL(const QUrl &url) override;

    /// The question or the refusal on show, if any.
    QMessageBox *message() const { return m_message; }

private:
    struct Verdict;
    /// What the dropped file is; runs on the pool.
    static Verdict examine(const QUrl &url, bool archive);
    void answer(const QUrl &url, const Verdict &verdict);

    URLDropDelegate *m_next;
    QPointer<QWidget> m_window;
    QPointer<QMessageBox> m_message;
    QThreadPool m_pool;
};
