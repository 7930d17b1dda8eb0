#pragma once

#include <QLineEdit>
#include <QPointer>

/// A text field that, when clicked while enabled, asks its delegate to choose a file by
/// invoking the delegate's textFieldSelected(QObject *) if it has one. Enter and Space
/// do the same, so the chooser can be reached without a mouse.
class ClickActionTextField : public QLineEdit
{
    Q_OBJECT

public:
    explicit ClickActionTextField(QWidget *parent = nullptr);

    QObject *delegate() const { return m_delegate; }
    void setDelegate(QObject *delegate) { m_delegate = delegate; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void askDelegate();

    QPointer<QObject> m_delegate;
};
