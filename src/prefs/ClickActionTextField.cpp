#include "prefs/ClickActionTextField.h"

#include <QKeyEvent>

ClickActionTextField::ClickActionTextField(QWidget *parent)
    : QLineEdit(parent)
{
}

void ClickActionTextField::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    askDelegate();
}

void ClickActionTextField::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            askDelegate();
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QLineEdit::keyPressEvent(event);
}

void ClickActionTextField::askDelegate()
{
    if (isEnabled())
        Q_EMIT selected(this);
}
