#pragma once

#include <QRectF>
#include <QStringList>
#include <QWidget>

#include <memory>

class QSvgRenderer;

/// A picture of the controller beside the mapping table. Each input of the input name list
/// is an element of the picture found by its name; the selected row's input is
/// highlighted, and a click on an input asks for its row. The picture never takes the
/// keyboard focus: the table stays the road for keys and screen readers.
class ControllerPicture : public QWidget
{
    Q_OBJECT

public:
    /// Draws the SVG file at \a svgPath in the colours of the widget's palette.
    explicit ControllerPicture(const QString &svgPath, QWidget *parent = nullptr);
    ~ControllerPicture() override;

    /// The id of the picture's element for an input name: "input-" and the name with
    /// every character other than a letter or digit written as "-".
    static QString elementIdForInput(const QString &inputName);

    /// The input names, in row order.
    void setInputNames(const QStringList &names);
    /// Highlights the input of \a row; -1 highlights nothing.
    void setSelectedRow(int row);
    int selectedRow() const { return m_selectedRow; }
    /// Where the input of \a row is drawn, in widget coordinates; empty when the picture
    /// has no element for it.
    QRectF inputRect(int row) const;
    /// Whether the picture has an element for \a inputName.
    bool hasInput(const QString &inputName) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    /// The user clicked the input of \a row.
    void inputClicked(int row);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private:
    void loadPicture();
    QRectF pictureRect() const;
    int rowAt(const QPointF &point) const;

    QString m_svgPath;
    QByteArray m_svgText;
    std::unique_ptr<QSvgRenderer> m_renderer;
    QStringList m_inputNames;
    int m_selectedRow = -1;
};
