#include "library/CoverDelegate.h"

#include "library/CoverLoader.h"
#include "library/LibraryFilterModel.h"
#include "library/LibraryModel.h"

#include <QApplication>

#include <algorithm>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QToolTip>
#include <QHelpEvent>
#include <QAbstractItemView>

namespace {

constexpr int kMargin = 6;
constexpr double kAspect = 1.4;
// Long enough for the cache to have filled the list and the player to have settled on a size.
constexpr int kCleanDelayMs = 20000;

} // namespace

CoverDelegate::CoverDelegate(CoverLoader *loader, LibraryFilterModel *filter, LibraryModel *model, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_loader(loader)
    , m_filter(filter)
    , m_model(model)
    , m_cleanTimer(new QTimer(this))
{
    m_cleanTimer->setSingleShot(true);
    m_cleanTimer->setInterval(kCleanDelayMs);
    connect(m_cleanTimer, &QTimer::timeout, this, [this]() {
        QList<CoverFinder::Game> games;
        for (int row = 0; row < m_model->rowCount(); ++row) {
            const LibraryRecord &record = m_model->record(row);
            if (record.valid)
                games.append({record.md5(), record.gameCode(), record.name(), LocalPath(record.path)});
        }
        m_loader->cleanThumbnails(games, qRound(m_coverWidth * m_deviceRatio));
    });
}

void CoverDelegate::setCoverWidth(int width)
{
    m_coverWidth = width;
    // The TV size lasts as long as TV mode: the thumbnails of the player's own size stay.
    if (!m_tv)
        m_cleanTimer->start();
}

void CoverDelegate::setTvLayout(bool on)
{
    m_tv = on;
    if (on)
        m_cleanTimer->stop();
    else
        m_cleanTimer->start();
}

int CoverDelegate::margin(int width) const
{
    return m_tv ? std::max(kMargin, width / 24) : kMargin;
}

QSize CoverDelegate::cellSize(const QFont &font) const
{
    const QFontMetrics metrics(font);
    const int margin = this->margin(m_coverWidth);
    return QSize(m_coverWidth + 2 * margin, int(m_coverWidth * kAspect) + metrics.height() + 3 * margin);
}

QSize CoverDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return cellSize(option.font);
}

QRect CoverDelegate::coverRect(const QRect &cell) const
{
    const int margin = this->margin(m_coverWidth);
    return QRect(cell.x() + margin, cell.y() + margin, m_coverWidth, int(m_coverWidth * kAspect));
}

QRect CoverDelegate::starRect(const QRect &cell) const
{
    const QRect cover = coverRect(cell);
    const int side = std::max(20, m_coverWidth / 6);
    return QRect(cover.right() - side - 2, cover.top() + 2, side, side);
}

QColor CoverDelegate::regionColour(quint8 regionCode)
{
    switch (regionCode) {
    case 'J': return QColor(0xb0, 0x3a, 0x2e); // Japan
    case 'E':
    case 'N': return QColor(0x2e, 0x5c, 0xb0); // North America
    case 'P':
    case 'X':
    case 'Y':
    case 'D':
    case 'F':
    case 'I':
    case 'S':
    case 'H':
    case 'W':
    case 'U': return QColor(0x2e, 0x8b, 0x57); // Europe and Australia
    case 0: return QColor(0x60, 0x60, 0x60);
    default: return QColor(0x7a, 0x4e, 0xa8);
    }
}

void CoverDelegate::paintLoading(QPainter *painter, const QRect &cover, const QPalette &palette)
{
    QPainterPath tile;
    tile.addRoundedRect(QRectF(cover).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    painter->fillPath(tile, palette.color(QPalette::Midlight));
    painter->strokePath(tile, QPen(palette.color(QPalette::Mid), 1));
}

void CoverDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QModelIndex source = m_filter->mapToSource(index);
    if (!source.isValid())
        return;
    const LibraryRecord &record = m_model->record(source.row());
    const QRect cell = option.rect;
    const QRect cover = coverRect(cell);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    const QPalette &palette = option.palette;
    const bool selected = option.state & QStyle::State_Selected;
    // Across a room a filled cell reads as a colour, not as a place: TV draws a frame instead.
    if (selected && !m_tv)
        painter->fillRect(cell, palette.brush(QPalette::Highlight));

    const QString name = record.valid ? record.name().trimmed() : QFileInfo(record.filePath()).fileName();
    const QString key = coverKey(index);
    // As many pixels as the screen shows there: at two device pixels to the point, twice as many.
    m_deviceRatio = painter->device()->devicePixelRatioF();
    QImage image = record.valid ? m_loader->cover(key, {record.md5(), record.gameCode(), record.name(), LocalPath(record.path)},
                                                  qRound(m_coverWidth * m_deviceRatio))
                                : QImage();
    if (!image.isNull()) {
        image.setDevicePixelRatio(m_deviceRatio);
        const QSize shown = image.deviceIndependentSize().toSize().scaled(cover.size(), Qt::KeepAspectRatio);
        const QRect target(cover.x() + (cover.width() - shown.width()) / 2, cover.bottom() + 1 - shown.height(),
                           shown.width(), shown.height());
        painter->drawImage(target, image);
        // A hairline of the palette's mid colour, so that a white cover on a white view (or a
        // black one on a dark view) still shows where it ends.
        painter->setPen(QPen(palette.color(QPalette::Mid), 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(target).adjusted(0.5, 0.5, -0.5, -0.5));
    } else if (record.valid && !m_loader->hasNoCover(key)) {
        // Still looked for: a picture on its way must not look like a game without one.
        paintLoading(painter, cover, palette);
    } else {
        // A clean tile rather than a broken picture, in the colour of the game's region.
        QPainterPath tile;
        tile.addRoundedRect(cover, 6, 6);
        painter->fillPath(tile, regionColour(record.valid ? record.regionCode : 0));
        painter->setPen(Qt::white);
        QFont font = option.font;
        font.setBold(true);
        painter->setFont(font);
        painter->drawText(cover.adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, name);
    }
    if (record.valid) {
        const bool favourite = m_model->history(record.md5()).favourite;
        QFont font = option.font;
        font.setPixelSize(starRect(cell).height());
        painter->setFont(font);
        // Filled, or hollow with a dark outline under a light one, so that it shows on any picture.
        const QRect star = starRect(cell);
        QPainterPath glyph;
        glyph.addText(0, 0, font, QStringLiteral("\u2605"));
        glyph.translate(star.center() - glyph.boundingRect().center());
        painter->setBrush(favourite ? QColor(0xf5, 0xc5, 0x18) : QColor(0, 0, 0, 60));
        painter->setPen(QPen(QColor(0, 0, 0, 170), std::max(2.0, star.height() / 8.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->drawPath(glyph);
        painter->strokePath(glyph, QPen(favourite ? QColor(0xf5, 0xc5, 0x18) : QColor(Qt::white), std::max(1.0, star.height() / 16.0)));
        // The star's fill is its own: what is drawn after it (the focus frame) fills nothing.
        painter->setBrush(Qt::NoBrush);
    }
    QFont labelFont = option.font;
    labelFont.setBold(m_tv && selected);
    const QFontMetrics labelMetrics(labelFont);
    painter->setFont(labelFont);
    painter->setPen(palette.color(selected && !m_tv ? QPalette::HighlightedText : QPalette::Text));
    const int margin = this->margin(m_coverWidth);
    const QRect label(cell.x() + margin, cover.bottom() + margin, cell.width() - 2 * margin, labelMetrics.height());
    painter->drawText(label, Qt::AlignHCenter | Qt::AlignVCenter, labelMetrics.elidedText(name, Qt::ElideRight, label.width()));
    if (m_tv && selected) {
        // Thick, in the palette's highlight, with a thin line of its text colour inside, so that
        // it stands out on a dark or a light background and on a cover of any colour.
        const qreal thick = std::max(4, margin * 2 / 3);
        const QRectF ring = QRectF(cover).adjusted(-thick / 2 - 1, -thick / 2 - 1, thick / 2 + 1, thick / 2 + 1);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(palette.color(QPalette::Highlight), thick));
        painter->drawRoundedRect(ring, thick, thick);
        painter->setPen(QPen(palette.color(QPalette::HighlightedText), 2));
        painter->drawRoundedRect(ring.adjusted(thick / 2 + 1, thick / 2 + 1, -thick / 2 - 1, -thick / 2 - 1), 4, 4);
    } else if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(palette.color(QPalette::Highlight).darker(130), 2));
        painter->drawRect(cell.adjusted(1, 1, -1, -1));
    }
    painter->restore();
}

QString CoverDelegate::coverKey(const QModelIndex &index) const
{
    const QModelIndex source = m_filter->mapToSource(index);
    if (!source.isValid())
        return QString();
    const LibraryRecord &record = m_model->record(source.row());
    // Latin-1 keeps every byte of a path that is not UTF-8; entries of one archive differ by index.
    return QString::fromLatin1(record.path) + QLatin1Char('#') + QString::number(record.entryIndex);
}

bool CoverDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                              const QModelIndex &index)
{
    const QString problem = event->type() == QEvent::ToolTip ? m_loader->problem(coverKey(index)) : QString();
    if (problem.isEmpty())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString tip = index.data(Qt::ToolTipRole).toString();
    QToolTip::showText(event->globalPos(), tip.isEmpty() ? problem : tip + QLatin1Char('\n') + problem, view);
    return true;
}

bool CoverDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                const QModelIndex &index)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && starRect(option.rect).contains(mouse->position().toPoint())) {
            Q_EMIT favouriteClicked(index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
