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
    /// Covers across the grid in the TV layout, whatever the screen.
    static constexpr int kTvColumns = 5;

    explicit LibraryGridView(QWidget *parent = nullptr);

    void setCoverDelegate(CoverDelegate *delegate);
    int coverWidth() const;
    /// Sets the cover width, within the limits above. Ignored in the TV layout, which keeps
    /// the player's width for its end.
    void setCoverWidth(int width);

    /// The TV layout: kTvColumns covers across whatever the view's width, a font to match,
    /// no scroll bar, a thick focus frame, and Enter plays. The player's cover width is neither
    /// changed nor told (coverWidthChanged()), and comes back when the layout is left.
    void setTvLayout(bool on);
    bool isTvLayout() const { return m_tv; }

Q_SIGNALS:
    void coverWidthChanged(int width);
    /// Enter on the current item or a double-click (a row of the view's model).
    void rowActivated(int viewRow);
    /// A screen reader's Play on an item (a row of the view's model).
    void playRequested(int viewRow);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;

private:
    /// Gives the cells the size of the cover width (and in TV the font).
    void applyCoverWidth(int width);
    /// In the TV layout, the cover width that fits kTvColumns across the viewport.
    void fitTvCovers();

    CoverDelegate *m_delegate = nullptr;
    bool m_tv = false;
    int m_playerCoverWidth = 0;
    Qt::ScrollBarPolicy m_playerScrollBar = Qt::ScrollBarAsNeeded;
};
