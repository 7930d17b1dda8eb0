#include "mainwindow/ExtractionController.h"

#include "launch/EntryExtractor.h"
#include "platform/LocalPath.h"
#include "rom/ROM.h"

#include <QFile>
#include <QProgressDialog>
#include <QUrl>

ExtractionController::ExtractionController(QWidget *window, QObject *parent)
    : QObject(parent), m_window(window), m_extractor(new EntryExtractor(this))
{
    connect(m_extractor, &EntryExtractor::progress, this, [this](qint64 done, qint64 total) {
        if (!m_progress)
            return;
        // Percent keeps the range within an int for any size.
        m_progress->setMaximum(total > 0 ? 100 : 0);
        if (total > 0)
            m_progress->setValue(int(std::min<qint64>(100, done * 100 / total)));
    });
    connect(m_extractor, &EntryExtractor::finished, this, &ExtractionController::extractionFinished);
}

ExtractionController::~ExtractionController()
{
    removeExtracted();
}

void ExtractionController::extract(const std::shared_ptr<ROM> &rom)
{
    if (!rom || !rom->filePath() || !rom->archiveEntry() || !rom->archiveIndex() || isExtracting())
        return;
    removeExtracted();
    m_rom = rom;
    m_progress = new QProgressDialog(tr("Extracting \u201c%1\u201d\u2026").arg(*rom->archiveEntry()), tr("Cancel"), 0, 100, m_window);
    m_progress->setAttribute(Qt::WA_DeleteOnClose);
    m_progress->setWindowTitle(tr("Extracting"));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    // A small entry is done before the dialog would be worth showing.
    m_progress->setMinimumDuration(300);
    connect(m_progress, &QProgressDialog::canceled, this, &ExtractionController::cancel);
    m_extractor->start(LocalPath::fromUrl(*rom->filePath()), *rom->archiveIndex(), *rom->archiveEntry());
}

bool ExtractionController::isExtracting() const
{
    return m_extractor->isRunning();
}

void ExtractionController::cancel()
{
    m_extractor->cancel();
}

void ExtractionController::removeExtracted()
{
    if (!m_extractedPath.isEmpty())
        QFile::remove(m_extractedPath);
    m_extractedPath.clear();
}

void ExtractionController::extractionFinished(const QString &filePath, const QString &error)
{
    if (m_progress)
        m_progress->close();
    const std::shared_ptr<ROM> rom = std::exchange(m_rom, nullptr);
    if (filePath.isEmpty()) {
        if (!error.isEmpty())
            Q_EMIT failed(error);
        return;
    }
    m_extractedPath = filePath;
    Q_EMIT ready(EntryExtractor::plainCopy(rom.get(), filePath));
}
