#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QWindow>

class QMimeData;
class QSplitter;
class QTimer;
class QUrl;
class URLDropDelegate;

/// The main window: takes URLs dragged anywhere onto it, also onto a child that takes
/// drops of text (the library's search field), and hands them to its drop delegate.
class DragWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit DragWindow(QWidget *parent = nullptr);
    /// Keeps a panel width still waiting to be written.
    ~DragWindow() override;

    /// Runs once the window's form has been applied: no maximise button, and drops of
    /// URLs are received from now on.
    void awakeFromNib();

    URLDropDelegate *dropDelegate() const { return m_dropDelegate; }
    void setDropDelegate(URLDropDelegate *delegate) { m_dropDelegate = delegate; }

    /// Puts \a panel on the left of \a viewContainer, in a splitter that takes the container's
    /// place. The panel takes what the window has; the container is a column as wide as the
    /// view it shows asks (the ROM's details, or a short hint), kept when the window grows.
    /// The window is widened to show the panel as wide as it was last (at a first start
    /// \a firstWidth) beside that column. What happens inside the container is unchanged.
    void placeLibraryPanel(QWidget *panel, QWidget *viewContainer, int firstWidth);

    /// The splitter placeLibraryPanel() made: the library panel, then the view container.
    QSplitter *librarySplitter() const { return m_splitter; }

    /// The first URL of a drag, read from the raw "text/uri-list" so that a file name that
    /// is not UTF-8 keeps its bytes (also when the source did not percent-encode them).
    static QUrl firstURL(const QMimeData *mime);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void writePanelWidth();
    /// Gives the container's column the width of the view now shown in it, once per swap.
    void fitViewColumn();

    URLDropDelegate *m_dropDelegate = nullptr;
    QSplitter *m_splitter = nullptr;
    QPointer<QWidget> m_viewContainer;
    // The view the column was last fitted to: a later layout change inside it keeps the width.
    QPointer<QWidget> m_columnView;
    QTimer *m_widthTimer = nullptr;
    // Taken when the splitter moves, written a moment later or when the window goes.
    int m_unsavedPanelWidth = 0;
    // The answer given when the drag entered holds until it leaves or drops.
    bool m_dragAccepted = false;
    // The platform window whose drags of URLs we take before any child widget sees them.
    QPointer<QWindow> m_watchedWindow;
};
