// Rescans library folders through the library core, as the Launcher does on every start
// after the first: load the cache, walk, compare stamps, read only what changed.
// Usage: tolvane-rescan-bench CACHE_FILE DIR...   prints "total fromCache read"
#include "library/LibraryScanner.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: tolvane-rescan-bench CACHE_FILE DIR...\n");
        return 2;
    }
    LibraryScanner scanner(arguments.constFirst());
    int status = 1;
    QObject::connect(&scanner, &LibraryScanner::finished, [&](int total, int fromCache, int read, bool, const QStringList &problems, auto...) {
        std::printf("%d %d %d\n", total, fromCache, read);
        status = problems.isEmpty() ? 0 : 1;
    });
    QObject::connect(&scanner, &LibraryScanner::cacheMessage, [](const QString &message) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    scanner.scan(arguments.mid(1));
    // Like most command-line tools, leave freeing the records to the end of the process.
    std::fflush(stdout);
    std::_Exit(status);
}
