#include "RomInfoTool.h"

#include "platform/Translations.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>

int main(int argc, char **argv)
{
    // Bytes, not text: a file name need not be UTF-8.
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
    // The application object holds the catalogues; the JSON output never goes through them.
    QCoreApplication app(argc, argv);
    Translations::install(app);
    RomInfoTool tool(stdout, stderr);
    return tool.run(arguments);
}
