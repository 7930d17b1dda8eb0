#include <QApplication>
#include <QLabel>

// Placeholder until the main window lands.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel label(QObject::tr("Tolvane Launcher"));
    label.resize(480, 320);
    label.show();
    return app.exec();
}
