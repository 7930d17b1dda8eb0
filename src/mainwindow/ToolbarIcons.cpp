#include "mainwindow/ToolbarIcons.h"

#include "platform/Bundle.h"

#include <QAction>
#include <QEvent>
#include <QFile>
#include <QIcon>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QSvgRenderer>
#include <QWidget>

namespace {

// The one fill of the bundled symbols, replaced by the palette's text colour.
constexpr char kSymbolColour[] = "#3b4a5a";
constexpr int kSizes[] = {16, 22, 24, 32, 48};

// Last resort when the bundled symbol is missing: the four symbols drawn plainly, so the
// toolbar never shows blank buttons.
void paintSymbol(QPainter &painter, const QString &themeName, const QColor &colour)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    if (themeName == QLatin1String("media-playback-start")) {
        painter.drawPolygon(QPolygonF({QPointF(9, 5), QPointF(27, 16), QPointF(9, 27)}));
    } else if (themeName == QLatin1String("media-playback-pause")) {
        painter.drawRect(QRectF(8, 6, 6, 20));
        painter.drawRect(QRectF(18, 6, 6, 20));
    } else if (themeName == QLatin1String("media-playback-stop")) {
        painter.drawRect(QRectF(7, 7, 18, 18));
    } else {
        painter.drawPolygon(QPolygonF({QPointF(16, 5), QPointF(27, 18), QPointF(5, 18)}));
        painter.drawRect(QRectF(5, 22, 22, 5));
    }
}

QPixmap symbol(const QByteArray &svg, const QString &themeName, const QColor &colour, int size, qreal ratio)
{
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QSvgRenderer renderer(QByteArray(svg).replace(kSymbolColour, colour.name(QColor::HexRgb).toLatin1()));
    if (renderer.isValid()) {
        renderer.render(&painter, QRectF(0, 0, size, size));
    } else {
        painter.scale(size / 32.0, size / 32.0);
        paintSymbol(painter, themeName, colour);
    }
    return pixmap;
}

} // namespace

ToolbarIcons::ToolbarIcons(QWidget *window, QList<std::pair<QAction *, QString>> items)
    : QObject(window)
    , m_window(window)
    , m_items(std::move(items))
{
    apply();
    window->installEventFilter(this);
}

bool ToolbarIcons::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::PaletteChange)
        apply();
    return QObject::eventFilter(watched, event);
}

void ToolbarIcons::apply()
{
    const QPalette &palette = m_window->palette();
    const qreal ratio = m_window->devicePixelRatioF();
    for (const auto &[action, themeName] : std::as_const(m_items)) {
        if (QIcon::hasThemeIcon(themeName)) {
            action->setIcon(QIcon::fromTheme(themeName));
            continue;
        }
        QFile file(Bundle::mainBundle().resourcePath() + QStringLiteral("/icons/") + themeName + QStringLiteral(".svg"));
        const QByteArray svg = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        // Disabled items in the palette's own disabled text colour, not a generated shade
        // that can come out brighter than the enabled ones on a dark toolbar.
        QIcon icon;
        for (const int size : kSizes) {
            icon.addPixmap(symbol(svg, themeName, palette.color(QPalette::Active, QPalette::WindowText), size, ratio));
            icon.addPixmap(symbol(svg, themeName, palette.color(QPalette::Disabled, QPalette::WindowText), size, ratio),
                           QIcon::Disabled);
        }
        action->setIcon(icon);
    }
}
