#pragma once

#include <QLineEdit>

/// A text field that, when clicked while enabled, asks for a file to be chosen by emitting
/// selected(). Enter and Space do the same, so the chooser can be reached without a mouse.
class ClickActionTextField : public QLineEdit
{
    Q_OBJECT

public:
    explicit ClickActionTextField(QWidget *parent = nullptr);

Q_SIGNALS:
    /// Clicked, or Enter or Space pressed, while enabled; carries this field.
    void selected(QObject *sender);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void askDelegate();
};
