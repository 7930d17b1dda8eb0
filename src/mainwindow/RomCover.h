#pragma once

#include <QObject>
#include <QString>

class CoverLoader;
class WindowController;

/// The open game's cover at the top of the ROM view, found and scaled by the library's
/// loader off the GUI thread; a neutral tile while it loads, none when the game has none.
class RomCover : public QObject
{
    Q_OBJECT

public:
    /// The width the cover is shown at: a picture, not a poster, above the details.
    static constexpr int kWidth = 160;

    RomCover(WindowController *window, CoverLoader *loader, QObject *parent = nullptr);

private:
    void show();

    WindowController *m_window;
    CoverLoader *m_loader;
    // The game whose cover is awaited.
    QString m_key;
};
