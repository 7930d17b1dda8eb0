#include "RomInfoTool.h"

#include <QByteArray>
#include <QList>

// No QCoreApplication: nothing here needs an event loop, and skipping it keeps start-up short.
int main(int argc, char **argv)
{
    // Bytes, not text: a file name need not be UTF-8.
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
    RomInfoTool tool(stdout, stderr);
    return tool.run(arguments);
}
