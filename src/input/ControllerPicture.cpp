#include "input/ControllerPicture.h"

#include "input/ControllerRecord.h"

#include <QEvent>
#include <QFile>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <QToolTip>

namespace {

// The drawing's own colours, each standing for a role of the palette.
const QByteArray kBodyColour = QByteArrayLiteral("#c8ccd0");
const QByteArray kLineColour = QByteArrayLiteral("#202428");
const QByteArray kInputColour = QByteArrayLiteral("#f4f4f4");

QByteArray colourName(const QColor &colour)
{
    return colour.name(QColor::HexRgb).toLatin1();
}

} // namespace

ControllerPicture::ControllerPicture(const QString &svgPath, QWidget *parent)
    : QWidget(parent)
    , m_svgPath(svgPath)
{
    // Clicking must leave the keyboard focus where it is, on the table.
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAccessibleName(tr("Controller picture"));
    setAccessibleDescription(tr("Click an input to select its row in the mapping table."));
    QFile file(m_svgPath);
    if (file.open(QIODevice::ReadOnly))
        m_svgText = file.readAll();
    loadPicture();
}

ControllerPicture::~ControllerPicture() = default;

QString ControllerPicture::elementIdForInput(const QString &inputName)
{
    QString id = QStringLiteral("input-");
    for (const QChar c : inputName)
        id += (c.isLetterOrNumber() && c.unicode() < 128) ? c : QLatin1Char('-');
    return id;
}

void ControllerPicture::loadPicture()
{
    // The picture follows the palette, dark themes included, by swapping its colours.
    const QPalette &colours = palette();
    QByteArray text = m_svgText;
    text.replace(kBodyColour, colourName(colours.color(QPalette::Button)));
    text.replace(kLineColour, colourName(colours.color(QPalette::WindowText)));
    text.replace(kInputColour, colourName(colours.color(QPalette::Base)));
    m_renderer = std::make_unique<QSvgRenderer>(text);
    update();
}

void ControllerPicture::setInputNames(const QStringList &names)
{
    m_inputNames = names;
    update();
}

void ControllerPicture::setSelectedRow(int row)
{
    if (row == m_selectedRow)
        return;
    m_selectedRow = row;
    update();
}

bool ControllerPicture::hasInput(const QString &inputName) const
{
    return m_renderer->isValid() && m_renderer->elementExists(elementIdForInput(inputName));
}

QSize ControllerPicture::sizeHint() const
{
    return QSize(320, 240);
}

QSize ControllerPicture::minimumSizeHint() const
{
    return QSize(160, 120);
}

QRectF ControllerPicture::pictureRect() const
{
    // Scaled to the widget, keeping the drawing's proportions, centred.
    const QSizeF picture = m_renderer->viewBoxF().size();
    if (picture.isEmpty())
        return {};
    QSizeF fitted = picture.scaled(QSizeF(size()), Qt::KeepAspectRatio);
    return QRectF(QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
}

QRectF ControllerPicture::inputRect(int row) const
{
    if (row < 0 || row >= m_inputNames.size() || !hasInput(m_inputNames.at(row)))
        return {};
    const QString id = elementIdForInput(m_inputNames.at(row));
    const QRectF inPicture = m_renderer->transformForElement(id).mapRect(m_renderer->boundsOnElement(id));
    const QRectF target = pictureRect();
    const QRectF viewBox = m_renderer->viewBoxF();
    const qreal scale = target.width() / viewBox.width();
    return QRectF(target.topLeft() + (inPicture.topLeft() - viewBox.topLeft()) * scale, inPicture.size() * scale);
}

int ControllerPicture::rowAt(const QPointF &point) const
{
    // Where inputs overlap (the stick's arrows and its base), the smaller one wins.
    int found = -1;
    qreal foundArea = 0;
    for (int row = 0; row < m_inputNames.size(); ++row) {
        const QRectF rect = inputRect(row);
        const qreal area = rect.width() * rect.height();
        if (rect.contains(point) && (found < 0 || area < foundArea)) {
            found = row;
            foundArea = area;
        }
    }
    return found;
}

void ControllerPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!m_renderer->isValid())
        return;
    m_renderer->render(&painter, pictureRect());
    const QRectF selected = inputRect(m_selectedRow);
    if (selected.isEmpty())
        return;
    QColor fill = palette().color(QPalette::Highlight);
    fill.setAlphaF(0.45);
    painter.setBrush(fill);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
    painter.drawRoundedRect(selected.adjusted(-3, -3, 3, 3), 4, 4);
}

void ControllerPicture::mousePressEvent(QMouseEvent *event)
{
    const int row = rowAt(event->position());
    if (event->button() == Qt::LeftButton && row >= 0) {
        Q_EMIT inputClicked(row);
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

bool ControllerPicture::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int row = rowAt(help->pos());
        if (row >= 0)
            QToolTip::showText(help->globalPos(), ControllerRecord::displayName(m_inputNames.at(row)), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void ControllerPicture::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        loadPicture();
    QWidget::changeEvent(event);
}
