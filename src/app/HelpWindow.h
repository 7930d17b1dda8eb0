#pragma once

#include <QWidget>

class QTextBrowser;

/// Shows the bundled HTML guide; links stay inside the guide.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    /// \a helpDirectory holds index.html and the pages it links to.
    explicit HelpWindow(const QString &helpDirectory, QWidget *parent = nullptr);

    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser;
};
