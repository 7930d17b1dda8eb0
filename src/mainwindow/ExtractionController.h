#pragma once

#include <QObject>
#include <QPointer>
#include <QProgressDialog>

class GameSession;
class QWidget;

/// The window's view of Play for an image inside an archive: a progress dialog that can be
/// cancelled while the game session extracts the image.
class ExtractionController : public QObject
{
    Q_OBJECT

public:
    ExtractionController(GameSession *session, QWidget *window, QObject *parent = nullptr);

    /// The progress dialog while it is up.
    QProgressDialog *progressDialog() const { return m_progress; }

private:
    void show(const QString &entry);
    void showProgress(qint64 done, qint64 total);
    void close();

    GameSession *m_session;
    QPointer<QWidget> m_window;
    QPointer<QProgressDialog> m_progress;
};
