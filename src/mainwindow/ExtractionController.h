#pragma once

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>

#include <memory>

class EntryExtractor;
class QWidget;
class ROM;

/// Play for an image inside an archive: extracts the entry with a progress dialog that can
/// be cancelled, hands on a record of the plain copy for the emulator, and removes that copy
/// when the emulator is done with it or the Launcher quits.
class ExtractionController : public QObject
{
    Q_OBJECT

public:
    explicit ExtractionController(QWidget *window, QObject *parent = nullptr);
    ~ExtractionController() override;

    /// Starts extracting the entry of \a rom; ready() or failed() follows (nothing after Cancel).
    void extract(const std::shared_ptr<ROM> &rom);
    bool isExtracting() const;
    void cancel();
    /// Removes the extracted copy, if any.
    void removeExtracted();
    QString extractedPath() const { return m_extractedPath; }
    /// The progress dialog while it is up.
    QProgressDialog *progressDialog() const { return m_progress; }

Q_SIGNALS:
    /// \a plainCopy: the record that was asked for, with filePath the extracted file.
    void ready(const std::shared_ptr<ROM> &plainCopy);
    /// A sentence for the player; nothing was started.
    void failed(const QString &message);

private:
    void extractionFinished(const QString &filePath, const QString &error);

    QPointer<QWidget> m_window;
    EntryExtractor *m_extractor;
    QPointer<QProgressDialog> m_progress;
    std::shared_ptr<ROM> m_rom;
    QString m_extractedPath;
};
