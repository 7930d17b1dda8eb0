#pragma once

#include <QStyledItemDelegate>

class CoverLoader;
class QTimer;
class LibraryFilterModel;
class LibraryModel;

/// Paints a game of the grid: its cover (a neutral tile while it loads, a tile with its
/// internal name, coloured by region, when there is none), its name under it and its star.
class CoverDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    CoverDelegate(CoverLoader *loader, LibraryFilterModel *filter, LibraryModel *model, QObject *parent = nullptr);

    /// The cover's width; its height is 1.4 times that. The thumbnails of other widths are
    /// removed a while after the last change.
    void setCoverWidth(int width);
    int coverWidth() const { return m_coverWidth; }
    /// The whole cell: cover, name and margins.
    QSize cellSize(const QFont &font) const;
    /// The margin around a cover of \a width: wider in the TV layout, where it holds the focus frame.
    int margin(int width) const;

    /// The TV layout: no filled selection but a thick frame in the palette's highlight around
    /// the current cover, wide margins for it, and no thumbnail clean-up for its passing size.
    void setTvLayout(bool on);
    bool isTvLayout() const { return m_tv; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
    /// The tooltip says why a game's picture is not shown, when it is not.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

    /// The colour of a placeholder for a region code.
    static QColor regionColour(quint8 regionCode);
    /// What a cover not known yet shows in \a cover: a plain tile in the palette's own shades,
    /// neither a picture nor the tile of a game without one.
    static void paintLoading(QPainter *painter, const QRect &cover, const QPalette &palette);

Q_SIGNALS:
    /// A click on the star of an item (a row of the filter).
    void favouriteClicked(const QModelIndex &index);

private:
    QRect coverRect(const QRect &cell) const;
    QRect starRect(const QRect &cell) const;
    /// The loader's name for the game of a row of the filter; empty for no game.
    QString coverKey(const QModelIndex &index) const;

    CoverLoader *m_loader;
    LibraryFilterModel *m_filter;
    LibraryModel *m_model;
    int m_coverWidth = 160;
    // Device pixels to the point where covers were last painted.
    mutable qreal m_deviceRatio = 1;
    QTimer *m_cleanTimer;
    bool m_tv = false;
};
