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

protected:
    void keyPressEvent(QKeyEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    CoverDelegate *m_delegate = nullptr;
};
