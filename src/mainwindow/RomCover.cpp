#include "mainwindow/RomCover.h"

#include "library/CoverLoader.h"
#include "library/LibraryController.h"
#include "mainwindow/ROMViewController.h"
#include "mainwindow/WindowController.h"
#include "platform/LocalPath.h"
#include "rom/ROM.h"

#include <QUrl>

RomCover::RomCover(WindowController *window, CoverLoader *loader, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_loader(loader)
{
    // The view says why a picture cannot be shown from the same loader.
    window->romVC()->setCoverLoader(loader);
    // Beside the cover, the view says what the same library's DAT files make of the game.
    window->romVC()->setGameLibrary(window->library()->gameLibrary());
    connect(window, &WindowController::romChanged, this, &RomCover::show);
    connect(loader, &CoverLoader::coverReady, this, [this](const QString &key) {
        if (key == m_key)
            show();
    });
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
    m_window->romVC()->setCover(m_loader->cover(
        m_key, {*rom->MD5(), rom->gameCode().value_or(QString()), rom->name().value_or(QString()), file}, kWidth));
}
