#include "platform/OpenPanel.h"

#include <QFileInfo>

OpenPanel::OpenPanel(QWidget *parent, const QString &caption)
    : QFileDialog(parent, caption)
{
    // The platform dialog cannot be asked to take folders and files alike.
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
}

void OpenPanel::accept()
{
    const QStringList files = selectedFiles();
    if (m_canChooseDirectories && files.size() == 1 && QFileInfo(files.constFirst()).isDir()) {
        // QFileDialog would enter the folder; here it is the choice.
        QDialog::accept();
        return;
    }
    QFileDialog::accept();
}
