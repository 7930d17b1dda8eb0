#pragma once

#include <QListView>

class CoverDelegate;

/// The library as a grid of covers: the same rows, order and selection as the table, each
/// game a cover with its name under it. Enter opens; the arrows move.
class LibraryGridView : public QListView
{
    Q_OBJECT

public:
    static constexpr int kMinimumCoverWidth = 80;
    static constexpr int kMaximumCoverWidth = 320;

    explicit LibraryGridView(QWidget *parent = nullptr);

    void setCoverDelegate(CoverDelegate *delegate);
    int coverWidth() const;
    /// Sets the cover width, within the limits above.
    void setCoverWidth(int width);

Q_SIGNALS:
    void coverWidthChanged(int width);
    /// Enter on the current item or a double-click (a row of the view's model).
    void rowActivated(int viewRow);
    /// A screen reader's Play on an item (a row of the view's model).
    void playRequested(int viewRow);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;

private:
    CoverDelegate *m_delegate = nullptr;
};
