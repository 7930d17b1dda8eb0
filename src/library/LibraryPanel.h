#pragma once

#include <QWidget>

#include <optional>

class QAbstractItemView;

class LibraryFilterModel;
class LibraryGridView;
class QAction;
class QComboBox;
class QLabel;
class QSlider;
class QStackedWidget;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class QToolButton;

/// The library panel's widgets: the search field, the table and a status line with a
/// bar and Cancel. What they show is decided by LibraryController.
class LibraryPanel : public QWidget
{
    Q_OBJECT

public:
    explicit LibraryPanel(QWidget *parent = nullptr);

    /// Shows \a model in the table and the grid with one selection, and filters it by the
    /// search field and the Favourites button.
    void setModel(LibraryFilterModel *model);

    /// The columns for a first start, with no stored layout: the star, name, file name, region,
    /// last played and play time; the rest hidden (the ROM view has them). Returns the panel
    /// width that shows those columns and the scroll bar.
    int setFirstColumns();
    /// The Dump column and the dump filter are there only while the player has DAT files
    /// (with none, the list is as it always was); the column keeps the player's own choice
    /// for when they come back. A filter hidden this way shows all games again.
    void setDatsChosen(bool chosen);
    bool datsChosen() const { return m_datsChosen; }
    /// The columns' layout as the player left it: the Dump column as they chose it, not as
    /// hidden for want of DAT files.
    QByteArray columnsState();
    /// Takes a layout from columnsState(); false when it cannot be used.
    bool restoreColumns(const QByteArray &state);

    QLineEdit *searchField() const { return m_search; }
    QTableView *tableView() const { return m_table; }
    LibraryGridView *gridView() const { return m_grid; }
    /// The view shown now: the table or the grid.
    QAbstractItemView *currentView() const;
    bool isGridShown() const;
    /// Shows the grid (true) or the table; the other keeps the same rows and selection.
    void showGrid(bool grid);
    /// View ▸ Show as Grid (Ctrl+Shift+1) and Show as List (Ctrl+Shift+2), one checked.
    QAction *showGridAction() const { return m_showGrid; }
    QAction *showListAction() const { return m_showList; }
    /// Ctrl+plus and Ctrl+minus: larger and smaller covers.
    QAction *largerCoversAction() const { return m_larger; }
    QAction *smallerCoversAction() const { return m_smaller; }
    QSlider *coverSizeSlider() const { return m_sizeSlider; }
    /// The sort choices for the grid, which has no header: Name, Recently played, Play time.
    QComboBox *sortBox() const { return m_sortBox; }
    QLabel *statusLabel() const { return m_status; }
    QProgressBar *progressBar() const { return m_progress; }
    QPushButton *cancelButton() const { return m_cancel; }
    /// Beside the search field: lists the favourites only while checked.
    QToolButton *favouritesButton() const { return m_favourites; }
    /// All, Verified, Not verified, Duplicates: in LibraryFilterModel::DumpFilter's order.
    QComboBox *dumpFilterBox() const { return m_dumpFilter; }

    /// The TV layout: the grid and the status row alone, the grid in its TV layout (the
    /// search and view rows hidden); left, the table or grid shown before comes back.
    void setTvLayout(bool on);
    bool isTvLayout() const { return m_gridBeforeTv.has_value(); }

Q_SIGNALS:
    /// Enter or a double-click on a row of the table or grid (a row of the view's model).
    void rowActivated(int viewRow);
    /// The keypad's Enter on a row of the table or grid, or a screen reader's Play on the grid.
    void playRequested(int viewRow);
    /// The table or the grid was chosen.
    void viewChanged(bool grid);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void searchChanged(const QString &text);
    void scrollToCurrent();

    LibraryFilterModel *m_model = nullptr;
    QLineEdit *m_search;
    QTableView *m_table;
    QLabel *m_status;
    QProgressBar *m_progress;
    QPushButton *m_cancel;
    QToolButton *m_favourites;
    QComboBox *m_dumpFilter;
    LibraryGridView *m_grid;
    QStackedWidget *m_stack;
    QSlider *m_sizeSlider;
    QComboBox *m_sortBox;
    QAction *m_showGrid;
    QAction *m_showList;
    QAction *m_larger;
    QAction *m_smaller;
    QWidget *m_controls;
    QWidget *m_footer;
    // Whether the grid was shown when the TV layout came; nothing outside it.
    std::optional<bool> m_gridBeforeTv;
    bool m_datsChosen = true;
    bool m_dumpWanted = true;
};
