#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;

/// The library panel's widgets: the search field, the table and a status line with a
/// bar and Cancel. What they show is decided by LibraryController.
class LibraryPanel : public QWidget
{
    Q_OBJECT

public:
    explicit LibraryPanel(QWidget *parent = nullptr);

    QLineEdit *searchField() const { return m_search; }
    QTableView *tableView() const { return m_table; }
    QLabel *statusLabel() const { return m_status; }
    QProgressBar *progressBar() const { return m_progress; }
    QPushButton *cancelButton() const { return m_cancel; }

Q_SIGNALS:
    /// Enter or a double-click on a row of the table (a row of the view's model).
    void rowActivated(int viewRow);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_search;
    QTableView *m_table;
    QLabel *m_status;
    QProgressBar *m_progress;
    QPushButton *m_cancel;
};
