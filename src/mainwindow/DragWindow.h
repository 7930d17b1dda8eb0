#pragma once

#include <QMainWindow>

class URLDropDelegate;

/// The main window: takes URLs dragged onto it and hands them to its drop delegate.
class DragWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit DragWindow(QWidget *parent = nullptr);

    /// Runs once the window's form has been applied: no maximise button, and drops of
    /// URLs are received from now on.
    void awakeFromNib();

    URLDropDelegate *dropDelegate() const { return m_dropDelegate; }
    void setDropDelegate(URLDropDelegate *delegate) { m_dropDelegate = delegate; }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    URLDropDelegate *m_dropDelegate = nullptr;
    // The answer given when the drag entered holds until it leaves or drops.
    bool m_dragAccepted = false;
};
