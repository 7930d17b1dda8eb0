#include "library/LibraryPanel.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

LibraryPanel::LibraryPanel(QWidget *parent)
    : QWidget(parent)
    , m_search(new QLineEdit(this))
    , m_table(new QTableView(this))
    , m_status(new QLabel(this))
    , m_progress(new QProgressBar(this))
    , m_cancel(new QPushButton(tr("Cancel"), this))
{
    setObjectName(QStringLiteral("LibraryPanel"));
    m_search->setObjectName(QStringLiteral("librarySearch"));
    m_search->setPlaceholderText(tr("Search name, file or game code"));
    m_search->setAccessibleName(tr("Search library"));
    m_search->setClearButtonEnabled(true);
    m_table->setObjectName(QStringLiteral("libraryTable"));
    m_table->setAccessibleName(tr("ROM library"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSortingEnabled(true);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setSectionsMovable(true);
    m_table->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    m_table->installEventFilter(this);
    m_search->installEventFilter(this);
    m_status->setObjectName(QStringLiteral("libraryStatus"));
    m_status->setWordWrap(true);
    m_progress->setObjectName(QStringLiteral("libraryProgress"));
    m_progress->setTextVisible(false);
    m_progress->setMaximumHeight(m_status->fontMetrics().height());
    m_progress->hide();
    m_cancel->setObjectName(QStringLiteral("libraryCancel"));
    m_cancel->hide();

    auto *statusRow = new QHBoxLayout;
    statusRow->addWidget(m_status, 1);
    statusRow->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_search);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_progress);
    layout->addLayout(statusRow);

    connect(m_table, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        Q_EMIT rowActivated(index.row());
    });
}

bool LibraryPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const QModelIndex current = m_table->currentIndex();
    if (watched == m_table && enter && current.isValid()) {
        Q_EMIT rowActivated(current.row());
        return true;
    }
    // Home and End go to the first and last game, not the first and last column.
    if (watched == m_table && (key->key() == Qt::Key_Home || key->key() == Qt::Key_End) && m_table->model()
        && m_table->model()->rowCount() > 0) {
        const int row = key->key() == Qt::Key_Home ? 0 : m_table->model()->rowCount() - 1;
        m_table->setCurrentIndex(m_table->model()->index(row, current.isValid() ? current.column() : 0));
        return true;
    }
    // Typing in the search field, the arrows and Enter still move through and open the list.
    if (watched == m_search && key->key() == Qt::Key_Escape && !m_search->text().isEmpty()) {
        m_search->clear();
        return true;
    }
    if (watched == m_search && m_table->model() && m_table->model()->rowCount() > 0) {
        if (enter) {
            Q_EMIT rowActivated(current.isValid() ? current.row() : 0);
            return true;
        }
        if (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up || key->key() == Qt::Key_PageDown
            || key->key() == Qt::Key_PageUp) {
            if (!current.isValid())
                m_table->selectRow(0);
            else
                QCoreApplication::sendEvent(m_table, event);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
