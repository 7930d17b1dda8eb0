#include "library/LibraryFilterNotice.h"

#include "library/LibraryFilterModel.h"
#include "library/LibraryFolders.h"
#include "library/LibraryPanel.h"
#include "platform/UserDefaults.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

LibraryFilterNotice::LibraryFilterNotice(LibraryPanel *panel, LibraryFilterModel *filter, QObject *parent)
    : QObject(parent)
    , m_panel(panel)
    , m_filter(filter)
    , m_box(new QWidget(panel))
    , m_notice(new QLabel(m_box))
    , m_chooseFolder(new QPushButton(tr("Choose ROM Folder…"), m_box))
    , m_coversFolder(new QPushButton(tr("Covers Folder…"), m_box))
{
    m_notice->setObjectName(QStringLiteral("libraryNotice"));
    m_notice->setAlignment(Qt::AlignCenter);
    m_notice->setWordWrap(true);
    m_notice->setMargin(m_notice->fontMetrics().height());
    m_chooseFolder->setObjectName(QStringLiteral("chooseRomFolder"));
    m_coversFolder->setObjectName(QStringLiteral("coversFolderSetting"));
    m_coversFolder->setToolTip(tr("Opens Preferences ▸ Library, where the covers folder is set."));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_chooseFolder);
    buttons->addWidget(m_coversFolder);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(m_box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_notice);
    layout->addLayout(buttons);
    m_box->hide();
    // Above the views, which stay in place: an empty list under a sentence that says why.
    if (auto *panelLayout = qobject_cast<QBoxLayout *>(panel->layout()))
        panelLayout->insertWidget(panelLayout->indexOf(panel->tableView()->parentWidget()), m_box);
    connect(m_chooseFolder, &QPushButton::clicked, this, &LibraryFilterNotice::chooseFolderRequested);
    connect(m_coversFolder, &QPushButton::clicked, this, &LibraryFilterNotice::coversFolderRequested);
    // Every way the rows change: a search or the favourites (a reset), a scan, a removal.
    connect(filter, &QAbstractItemModel::modelReset, this, &LibraryFilterNotice::update);
    connect(filter, &QAbstractItemModel::rowsInserted, this, &LibraryFilterNotice::update);
    connect(filter, &QAbstractItemModel::rowsRemoved, this, &LibraryFilterNotice::update);
    connect(filter, &LibraryFilterModel::rowsRebuilt, this, &LibraryFilterNotice::update);
    connect(panel, &LibraryPanel::viewChanged, this, &LibraryFilterNotice::update);
    connect(&UserDefaults::standardUserDefaults(), &UserDefaults::valueChanged, this, [this](const QString &key) {
        if (key == LibraryFolders::key)
            update();
    });
    update();
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
    const bool empty = !filtering && m_filter->sourceModel() && m_filter->sourceModel()->rowCount() == 0;
    const bool noFolder = empty && LibraryFolders::folders().isEmpty();
    const bool emptyGrid = empty && m_panel->isGridShown();
    QStringList notice;
    if (filtering && matches == 0 && search.isEmpty())
        notice << tr("No favourites yet: press Ctrl+D on a game.");
    else if (filtering && matches == 0 && m_filter->favouritesOnly())
        notice << tr("No favourite matches “%1”.").arg(search);
    else if (filtering && matches == 0)
        notice << tr("No game matches “%1”.").arg(search);
    if (noFolder)
        notice << tr("No ROM folder is chosen yet. Choose one, and every ROM image in it and in its subfolders is listed here.");
    if (emptyGrid)
        notice << tr("Covers are pictures of your own: put them in a covers folder, named after each game's MD5, game "
                     "code, internal name or file name, or beside each ROM under its file name.");
    m_notice->setText(notice.join(QLatin1String("\n\n")));
    m_chooseFolder->setVisible(noFolder);
    m_coversFolder->setVisible(emptyGrid);
    m_box->setVisible(!notice.isEmpty());
    m_panel->statusLabel()->setText(filtering ? tr("%1 Matches: %n.", nullptr, matches).arg(m_libraryStatus).trimmed()
                                              : m_libraryStatus);
}
