#include "mainwindow/RomOpener.h"

#include "mainwindow/ArchiveEntryChooser.h"
#include "platform/LocalPath.h"
#include "rom/ROM.h"
#include "rom/RomArchive.h"
#include "rom/RomSourceReader.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <utility>

namespace {

// A read quicker than this shows no bar: it would only flicker.
constexpr int kProgressDelayMs = 250;

} // namespace

RomOpener::RomOpener(QWidget *window, QStatusBar *statusBar, QObject *parent)
    : QObject(parent), m_window(window), m_reader(new RomSourceReader(this)), m_progressDelay(new QTimer(this))
{
    m_progress = new QWidget(statusBar);
    m_progress->setObjectName(QStringLiteral("romReadProgress"));
    auto *layout = new QHBoxLayout(m_progress);
    layout->setContentsMargins(0, 0, 0, 0);
    m_progressLabel = new QLabel(m_progress);
    m_progressBar = new QProgressBar(m_progress);
    m_progressBar->setMaximumWidth(160);
    m_progressBar->setTextVisible(false);
    m_progressBar->setAccessibleName(tr("Reading progress"));
    m_cancelButton = new QPushButton(tr("Cancel"), m_progress);
    m_cancelButton->setAccessibleName(tr("Cancel reading"));
    layout->addWidget(m_progressLabel);
    layout->addWidget(m_progressBar);
    layout->addWidget(m_cancelButton);
    m_progress->hide();
    if (statusBar)
        statusBar->addPermanentWidget(m_progress);
    m_progressDelay->setSingleShot(true);
    m_progressDelay->setInterval(kProgressDelayMs);
    connect(m_progressDelay, &QTimer::timeout, m_progress.data(), &QWidget::show);
    connect(m_cancelButton, &QPushButton::clicked, this, &RomOpener::cancel);
    connect(m_reader, &RomSourceReader::listed, this, &RomOpener::listed);
    connect(m_reader, &RomSourceReader::finished, this, &RomOpener::finish);
    connect(m_reader, &RomSourceReader::progress, this, &RomOpener::showProgress);
}

RomOpener::~RomOpener()
{
    closeChooser();
}

void RomOpener::open(const QUrl &url, const Done &done)
{
    cancel();
    m_done = done;
    m_source.emplace(url);
    const QString name = LocalPath::fromUrl(url).fileName();
    if (m_source->kind() == RomSource::Kind::Archive) {
        m_progressLabel->setText(tr("Reading \u201c%1\u201d\u2026").arg(name));
        m_progressBar->setRange(0, 0);
        m_progressDelay->start();
        m_reader->list(*m_source);
        return;
    }
    read(*m_source, m_source->kind() == RomSource::Kind::ArchiveEntry ? RomArchive::entryDisplayName(name, m_source->entryName()) : name);
}

void RomOpener::cancel()
{
    if (!m_done)
        return;
    m_reader->cancel();
    closeChooser();
    finish(nullptr);
}

void RomOpener::listed(const RomArchive::Listing &listing)
{
    if (listing.entries.empty())
        return finish(listing.refused);
    const QString name = LocalPath::fromUrl(m_source->fileUrl()).fileName();
    if (listing.entries.size() == 1)
        return read(m_source->entry(listing.entries.front()), RomArchive::entryDisplayName(name, listing.entries.front().name));
    m_progressDelay->stop();
    m_progress->hide();
    auto *chooser = new ArchiveEntryChooser(m_window, name, listing.entries);
    m_chooser = chooser;
    connect(chooser, &ArchiveEntryChooser::chosen, this, [this, chooser, name, entries = listing.entries](int row) {
        if (m_chooser != chooser || row < 0 || std::size_t(row) >= entries.size())
            return;
        m_chooser = nullptr;
        const RomArchive::Entry &entry = entries[std::size_t(row)];
        read(m_source->entry(entry), RomArchive::entryDisplayName(name, entry.name));
    });
    connect(chooser, &QDialog::rejected, this, [this, chooser] {
        if (m_chooser == chooser)
            cancel();
    });
    chooser->show();
}

void RomOpener::read(const RomSource &source, const QString &what)
{
    m_progressLabel->setText(tr("Reading \u201c%1\u201d\u2026").arg(what));
    m_progressBar->setRange(0, 0);
    if (!m_progressDelay->isActive() && !m_progress->isVisible())
        m_progressDelay->start();
    m_reader->read(source);
}

void RomOpener::showProgress(qint64 done, qint64 total)
{
    // Percent keeps the range within an int for any size.
    if (total > 0) {
        m_progressBar->setRange(0, 100);
        m_progressBar->setValue(int(std::min<qint64>(100, done * 100 / total)));
    }
}

void RomOpener::finish(const std::shared_ptr<ROM> &record)
{
    m_progressDelay->stop();
    if (m_progress)
        m_progress->hide();
    m_source.reset();
    // Cleared first: the answer may start the next open.
    if (const Done done = std::exchange(m_done, nullptr))
        done(record);
}

void RomOpener::closeChooser()
{
    if (ArchiveEntryChooser *chooser = std::exchange(m_chooser, nullptr)) {
        chooser->disconnect(this);
        chooser->close();
    }
}
