#include "RomInfoTool.h"

#include <QFile>

// No QCoreApplication: nothing here needs an event loop, and skipping it keeps start-up short.
int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    RomInfoTool tool(stdout, stderr);
    return tool.run(arguments);
}
