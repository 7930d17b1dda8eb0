#include "app/HelpWindow.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(const QString &helpDirectory, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser(this))
{
    setWindowTitle(tr("Tolvane Launcher Help"));
    setAccessibleName(tr("Tolvane Launcher Help"));
    m_browser->setAccessibleName(tr("Guide"));
    // The guide is local; nothing is fetched from the network.
    m_browser->setOpenExternalLinks(false);
    m_browser->setOpenLinks(true);
    m_browser->setSearchPaths({helpDirectory});
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    const QString index = helpDirectory + QStringLiteral("/index.html");
    if (QFileInfo::exists(index))
        m_browser->setSource(QUrl::fromLocalFile(index));
    else
        m_browser->setPlainText(tr("The guide is not installed."));
    resize(640, 520);
}
