#include "mainwindow/DatDrop.h"

#include "dat/DatFile.h"
#include "library/DatCatalog.h"
#include "platform/LocalPath.h"
#include "rom/RomArchive.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>

namespace {

bool hasDatName(const QUrl &url)
{
    const QString name = LocalPath::fromUrl(url).fileName();
    return url.isLocalFile()
        && (name.endsWith(QLatin1String(".dat"), Qt::CaseInsensitive) || name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive));
}

} // namespace

struct DatDrop::Verdict
{
    enum class Kind { Rom, Dat, NotDat };
    Kind kind = Kind::Rom;
    QString path;
    /// The DAT's own name from its header, else its file's.
    QString name;
    DatFile::Refusal refusal;
};

DatDrop::DatDrop(URLDropDelegate *next, QWidget *window, QObject *parent) : QObject(parent), m_next(next), m_window(window)
{
    m_pool.setMaxThreadCount(1);
}

DatDrop::~DatDrop()
{
    m_pool.waitForDone();
}

bool DatDrop::acceptsURL(const QUrl &url)
{
    return hasDatName(url) || m_next->acceptsURL(url);
}

void DatDrop::dropURL(const QUrl &url)
{
    const bool datName = hasDatName(url);
    const QByteArray path = LocalPath::fromUrl(url).bytes();
    if (!datName && !RomArchive::hasArchiveExtension(path.constData(), std::size_t(path.size()))) {
        m_next->dropURL(url);
        return;
    }
    m_pool.start([this, url, datName] {
        const Verdict verdict = examine(url, !datName);
        QMetaObject::invokeMethod(this, [this, url, verdict] { answer(url, verdict); }, Qt::QueuedConnection);
    });
}

DatDrop::Verdict DatDrop::examine(const QUrl &url, bool archive)
{
    Verdict verdict;
    // An archive that holds a ROM image is a ROM archive, whatever else it holds; its headers
    // say so without an image being read. One the reader does not take as a DAT is left to
    // the ROM road too, which says why it cannot be opened, as it always did.
    if (archive && !RomArchive::listImages(url).entries.empty())
        return verdict;
    const LocalPath path = LocalPath::fromUrl(url);
    verdict.path = path.displayText();
    const std::shared_ptr<const DatFile> dat = DatFile::read(verdict.path, &verdict.refusal);
    if (dat) {
        verdict.kind = Verdict::Kind::Dat;
        verdict.name = dat->name().trimmed().isEmpty() ? path.fileName() : dat->name().trimmed();
    } else if (!archive) {
        verdict.kind = Verdict::Kind::NotDat;
    }
    return verdict;
}

void DatDrop::answer(const QUrl &url, const Verdict &verdict)
{
    if (verdict.kind == Verdict::Kind::Rom) {
        m_next->dropURL(url);
        return;
    }
    if (!m_window)
        return;
    const QString path = QDir::cleanPath(QFileInfo(verdict.path).absoluteFilePath());
    QMessageBox *box = nullptr;
    if (verdict.kind == Verdict::Kind::NotDat) {
        // The sentence the Preferences list gives a file it cannot use.
        const DatCatalog::Entry refused{verdict.path, -1, -1, nullptr, verdict.refusal};
        box = new QMessageBox(QMessageBox::Warning, tr("DAT Files"), refused.summary(), QMessageBox::Ok, m_window);
    } else if (DatCatalog::paths().contains(path)) {
        box = new QMessageBox(QMessageBox::Information, tr("DAT Files"),
                              tr("“%1” identifies your games already.").arg(verdict.name), QMessageBox::Ok, m_window);
    } else {
        box = new QMessageBox(QMessageBox::Question, tr("DAT Files"), tr("Use “%1” to identify games?").arg(verdict.name),
                              QMessageBox::Yes | QMessageBox::No, m_window);
        connect(box, &QMessageBox::finished, this, [box, path]() {
            if (box->standardButton(box->clickedButton()) == QMessageBox::Yes)
                DatCatalog::add(path);
        });
    }
    box->setObjectName(QStringLiteral("datDropMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_message = box;
    box->open();
}
