#pragma once

#include <QFileDialog>

/// A file chooser that, like the Open command expects, can pick a file or a folder.
///
/// Qt's own dialog chooses either files or folders; this one takes a folder that is
/// selected when Open is pressed as the choice, while a double-click still enters it.
class OpenPanel : public QFileDialog
{
    Q_OBJECT

public:
    explicit OpenPanel(QWidget *parent = nullptr, const QString &caption = QString());

    void setCanChooseDirectories(bool canChoose) { m_canChooseDirectories = canChoose; }
    bool canChooseDirectories() const { return m_canChooseDirectories; }

public Q_SLOTS:
    void accept() override;

private:
    bool m_canChooseDirectories = false;
};
