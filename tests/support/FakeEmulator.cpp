// tolvane-fake-emulator: a stand-in for the emulator's console program in tests.
//
// It records what the Launcher hands it, then waits to be signalled or exits at once:
//   TOLVANE_FAKE_RECORD=<file>  <file> gets every argument (argv[0] first), each followed
//                               by a NUL byte, so blanks, quotes and line ends survive;
//                               <file>.pid gets our pid (and the helper's, see below), one
//                               per line; <file>.ini gets a copy of the InputAutoCfg.ini we
//                               find, when there is one. <file> appears last, whole.
//   TOLVANE_FAKE_EXIT=<n>       exit with code n after recording instead of waiting.
//   TOLVANE_FAKE_SAY=<text>     write "<text> on stdout" and "<text> on stderr", one line each.
//   TOLVANE_FAKE_CHILD=1        start a helper process that waits too, as an emulator with
//                               its own child would; it shares our process group.
// The InputAutoCfg.ini is looked for where the emulator keeps it: in the Resources folder
// beside the folder of the core library named by --corelib.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
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

bool writeFile(const std::string &path, const std::string &bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    return static_cast<bool>(file.write(bytes.data(), std::streamsize(bytes.size())).flush());
}

std::string inputAutoCfgPath(int argc, char **argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--corelib") != 0)
            continue;
        // Two folders up, taken lexically: the library's own folder need not exist.
        const std::string library = argv[i + 1];
        const size_t slash = library.rfind('/');
        const size_t contents = slash == std::string::npos || slash == 0 ? std::string::npos : library.rfind('/', slash - 1);
        return contents == std::string::npos ? std::string() : library.substr(0, contents) + "/Resources/InputAutoCfg.ini";
    }
    return {};
}

} // namespace

int main(int argc, char **argv)
{
    if (const char *text = std::getenv("TOLVANE_FAKE_SAY")) {
        std::printf("%s on stdout\n", text);
        std::fflush(stdout);
        std::fprintf(stderr, "%s on stderr\n", text);
    }
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
        std::ifstream ini(inputAutoCfgPath(argc, argv), std::ios::binary);
        if (ini)
            writeFile(recordPath + ".ini", std::string(std::istreambuf_iterator<char>(ini), {}));
        writeFile(recordPath + ".pid", std::to_string(getpid()) + "\n" + (helperPid > 0 ? std::to_string(helperPid) + "\n" : ""));
        std::string arguments;
        for (int i = 0; i < argc; ++i)
            arguments.append(argv[i]).push_back('\0');
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
