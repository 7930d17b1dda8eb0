// tolvane-fake-emulator: a stand-in for the emulator's console program in tests.
//
// It records what the Launcher hands it, then waits to be signalled or exits at once:
//   TOLVANE_FAKE_RECORD=<file>  <file> gets every argument (argv[0] first), each followed
//                               by a NUL byte, so blanks, quotes and line ends survive;
//                               <file>.pid gets our pid (and the helper's, see below), one
//                               per line; <file>.ini gets a copy of the InputAutoCfg.ini we
//                               find, when there is one. <file> appears last, whole.
//   TOLVANE_FAKE_EXIT=<n>       exit with code n after recording instead of waiting.
//   TOLVANE_FAKE_CHILD=1        start a helper process that waits too, as an emulator with
//                               its own child would; it shares our process group.
// The InputAutoCfg.ini is looked for where the emulator keeps it: in the Resources folder
// beside the folder of the core library named by --corelib.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

pid_t helperPid = 0;

void onTerminate(int)
{
    // Reap our helper (it got the same request through the group), then end by the signal.
    if (helperPid > 0)
        waitpid(helperPid, nullptr, 0);
    signal(SIGTERM, SIG_DFL);
    raise(SIGTERM);
}

bool writeAll(int fd, const char *data, size_t length)
{
    while (length > 0) {
        const ssize_t written = write(fd, data, length);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        length -= size_t(written);
    }
    return true;
}

bool writeFile(const std::string &path, const std::string &bytes)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool ok = writeAll(fd, bytes.data(), bytes.size());
    return close(fd) == 0 && ok;
}

bool readFile(const std::string &path, std::string &bytes)
{
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char buffer[4096];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, count);
    std::fclose(file);
    return true;
}

std::string inputAutoCfgPath(int argc, char **argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--corelib") == 0) {
            // Two folders up, taken lexically: the library's own folder need not exist.
            std::string library = argv[i + 1];
            const size_t slash = library.rfind('/');
            if (slash == std::string::npos)
                return {};
            const size_t contents = library.rfind('/', slash == 0 ? 0 : slash - 1);
            if (contents == std::string::npos)
                return {};
            return library.substr(0, contents) + "/Resources/InputAutoCfg.ini";
        }
    }
    return {};
}

} // namespace

int main(int argc, char **argv)
{
    const char *child = std::getenv("TOLVANE_FAKE_CHILD");
    if (child && std::strcmp(child, "1") == 0) {
        signal(SIGTERM, onTerminate);
        helperPid = fork();
        if (helperPid == 0) {
            signal(SIGTERM, SIG_DFL);
            for (;;)
                pause();
        }
    }

    if (const char *record = std::getenv("TOLVANE_FAKE_RECORD")) {
        const std::string recordPath = record;
        std::string ini;
        const std::string iniPath = inputAutoCfgPath(argc, argv);
        if (!iniPath.empty() && readFile(iniPath, ini))
            writeFile(recordPath + ".ini", ini);
        std::string pids = std::to_string(getpid()) + "\n";
        if (helperPid > 0)
            pids += std::to_string(helperPid) + "\n";
        writeFile(recordPath + ".pid", pids);
        std::string arguments;
        for (int i = 0; i < argc; ++i) {
            arguments += argv[i];
            arguments += '\0';
        }
        const std::string partial = recordPath + ".partial";
        if (!writeFile(partial, arguments) || rename(partial.c_str(), recordPath.c_str()) != 0)
            return 90;
    }

    if (const char *exitCode = std::getenv("TOLVANE_FAKE_EXIT")) {
        if (helperPid > 0) {
            kill(helperPid, SIGKILL);
            waitpid(helperPid, nullptr, 0);
        }
        return std::atoi(exitCode);
    }
    for (;;)
        pause();
}
