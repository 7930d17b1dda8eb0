#include "library/LibraryFilterNotice.h"

#include "library/LibraryFilterModel.h"
#include "library/LibraryPanel.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

LibraryFilterNotice::LibraryFilterNotice(LibraryPanel *panel, LibraryFilterModel *filter, QObject *parent)
    : QObject(parent)
    , m_panel(panel)
    , m_filter(filter)
    , m_notice(new QLabel(panel))
{
    m_notice->setObjectName(QStringLiteral("libraryNotice"));
    m_notice->setAlignment(Qt::AlignCenter);
    m_notice->setWordWrap(true);
    m_notice->setMargin(m_notice->fontMetrics().height());
    m_notice->hide();
    // Above the views, which stay in place: an empty list under a sentence that says why.
    if (auto *layout = qobject_cast<QBoxLayout *>(panel->layout()))
        layout->insertWidget(layout->indexOf(panel->tableView()->parentWidget()), m_notice);
    // Every way the rows change: a search or the favourites (a reset), a scan, a removal.
    connect(filter, &QAbstractItemModel::modelReset, this, &LibraryFilterNotice::update);
    connect(filter, &QAbstractItemModel::rowsInserted, this, &LibraryFilterNotice::update);
    connect(filter, &QAbstractItemModel::rowsRemoved, this, &LibraryFilterNotice::update);
    connect(filter, &LibraryFilterModel::rowsRebuilt, this, &LibraryFilterNotice::update);
}

void LibraryFilterNotice::setLibraryStatus(const QString &text)
{
    m_libraryStatus = text;
    update();
}

void LibraryFilterNotice::update()
{
    const QString search = m_panel->searchField()->text().trimmed();
    const bool filtering = m_filter->favouritesOnly() || !search.isEmpty();
    const int matches = m_filter->rowCount();
    QString notice;
    if (filtering && matches == 0 && search.isEmpty())
        notice = tr("No favourites yet: press Ctrl+D on a game.");
    else if (filtering && matches == 0 && m_filter->favouritesOnly())
        notice = tr("No favourite matches “%1”.").arg(search);
    else if (filtering && matches == 0)
        notice = tr("No game matches “%1”.").arg(search);
    m_notice->setText(notice);
    m_notice->setVisible(!notice.isEmpty());
    m_panel->statusLabel()->setText(filtering ? tr("%1 Matches: %n.", nullptr, matches).arg(m_libraryStatus).trimmed()
                                              : m_libraryStatus);
}
