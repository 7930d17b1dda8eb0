#include "mainwindow/RomCover.h"

#include "library/CoverDelegate.h"
#include "library/CoverLoader.h"
#include "library/LibraryController.h"
#include "mainwindow/ROMViewController.h"
#include "mainwindow/WindowController.h"
#include "platform/LocalPath.h"
#include "rom/ROM.h"

#include <QGuiApplication>
#include <QPainter>
#include <QUrl>

RomCover::RomCover(WindowController *window, CoverLoader *loader, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_loader(loader)
{
    // Beside the cover, the view says what the same library's DAT files make of the game.
    window->romVC()->setGameLibrary(window->library()->gameLibrary());
    connect(window, &WindowController::romChanged, this, &RomCover::show);
    connect(loader, &CoverLoader::coverReady, this, [this](const QString &key) {
        if (key == m_key)
            show();
    });
    // A picture added, replaced or removed: the loader is asked again.
    connect(loader, &CoverLoader::coversChanged, this, &RomCover::show);
}

void RomCover::show()
{
    const std::shared_ptr<ROM> rom = m_window->rom();
    if (!rom || !rom->MD5() || !rom->filePath()) {
        m_key.clear();
        m_window->romVC()->setCover(QImage());
        return;
    }
    const LocalPath file = LocalPath::fromUrl(*rom->filePath());
    // Named as the library's grid names it, so a cover it has shown is not looked for again.
    m_key = QString::fromLatin1(file.bytes()) + QLatin1Char('#') + QString::number(rom->archiveIndex().value_or(-1));
    QImage cover = m_loader->cover(
        m_key, {*rom->MD5(), rom->gameCode().value_or(QString()), rom->name().value_or(QString()), file}, kWidth);
    if (cover.isNull() && !m_loader->hasNoCover(m_key)) {
        // Not known yet: a neutral tile of a cover's shape, as the grid shows one.
        cover = QImage(kWidth, kWidth * 7 / 5, QImage::Format_ARGB32_Premultiplied);
        cover.fill(Qt::transparent);
        QPainter painter(&cover);
        painter.setRenderHint(QPainter::Antialiasing);
        CoverDelegate::paintLoading(&painter, cover.rect(), QGuiApplication::palette());
    }
    m_window->romVC()->setCover(cover, m_loader->problem(m_key));
}
