// tolvane-fake-emulator: a stand-in for the emulator's console program in tests.
//
// It records what the Launcher hands it, then waits to be signalled or exits at once:
//   TOLVANE_FAKE_RECORD=<file>  <file> gets every argument (argv[0] first), each followed by a
//                               NUL byte; <file>.pid our pid (and the helper's), one per line;
//                               <file>.ini a copy of the InputAutoCfg.ini found in the Resources
//                               folder beside the folder of the --corelib library. <file>
//                               appears last, whole.
//   TOLVANE_FAKE_EXIT=<n>       exit with code n after recording instead of waiting; -<n>:
//                               die of signal n, without flushing standard output.
//   TOLVANE_FAKE_SAY=<text>     write "<text> on stdout" (not flushed) and "<text> on stderr".
//   TOLVANE_FAKE_CHILD=1        start a helper in our process group that waits too, as an
//                               emulator with its own child would; =orphan: and exit 0 at once
//                               after recording, leaving the helper to play on.
//   TOLVANE_FAKE_FLOOD=<n>      after recording, write n bytes of numbered 64-byte lines to stdout.
//   TOLVANE_FAKE_PROGRESS=<n>   after recording, write n progress updates "\rprogress i/n" to stdout,
//                               no line end and never flushed (stdio writes them as its buffer fills).
//   TOLVANE_FAKE_ON_TERM=<ms>   on SIGTERM, "save" for <ms> milliseconds, then exit 0;
//                               =ignore: ignore SIGTERM (only SIGKILL ends it), the helper too.
//   TOLVANE_FAKE_TALK=<ms>      while waiting, write "still playing" to stderr every <ms> milliseconds.
// While waiting, SIGUSR1 ends it with status 0 (the player quit the game), SIGUSR2 with 3.
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
    // Reap the helper (it got the same request through the group), then end by the signal.
    waitpid(helperPid, nullptr, 0);
    signal(SIGTERM, SIG_DFL);
    raise(SIGTERM);
}

bool writeFile(const std::string &path, const std::string &bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    return static_cast<bool>(file.write(bytes.data(), std::streamsize(bytes.size())).flush());
}

} // namespace

int main(int argc, char **argv)
{
    if (const char *text = std::getenv("TOLVANE_FAKE_SAY")) {
        std::printf("%s on stdout\n", text);
        std::fprintf(stderr, "%s on stderr\n", text);
    }
    const char *onTerm = std::getenv("TOLVANE_FAKE_ON_TERM");
    static int savingMs = onTerm ? std::atoi(onTerm) : 0;
    if (onTerm && std::strcmp(onTerm, "ignore") == 0)
        signal(SIGTERM, SIG_IGN);
    else if (savingMs > 0)
        signal(SIGTERM, [](int) { usleep(useconds_t(savingMs) * 1000), _exit(0); });
    const char *child = std::getenv("TOLVANE_FAKE_CHILD");
    const bool orphan = child && std::strcmp(child, "orphan") == 0;
    if (child && (std::strcmp(child, "1") == 0 || orphan)) {
        signal(SIGTERM, onTerminate);
        if ((helperPid = fork()) == 0) {
            signal(SIGTERM, onTerm && std::strcmp(onTerm, "ignore") == 0 ? SIG_IGN : SIG_DFL);
            signal(SIGUSR1, [](int) { _exit(0); });
            for (;;)
                pause();
        }
    }
    if (const char *record = std::getenv("TOLVANE_FAKE_RECORD")) {
        const std::string recordPath = record;
        std::string arguments;
        for (int i = 0; i < argc; ++i) {
            arguments.append(argv[i]).push_back('\0');
            const std::string library = i > 0 && std::strcmp(argv[i - 1], "--corelib") == 0 ? argv[i] : "";
            const size_t slash = library.rfind('/');
            const size_t contents = slash == std::string::npos || slash == 0 ? std::string::npos : library.rfind('/', slash - 1);
            std::ifstream ini(contents == std::string::npos ? "" : library.substr(0, contents) + "/Resources/InputAutoCfg.ini");
            if (ini)
                writeFile(recordPath + ".ini", std::string(std::istreambuf_iterator<char>(ini), {}));
        }
        writeFile(recordPath + ".pid", std::to_string(getpid()) + "\n" + (helperPid > 0 ? std::to_string(helperPid) + "\n" : ""));
        if (!writeFile(recordPath + ".partial", arguments) || rename((recordPath + ".partial").c_str(), record) != 0)
            return 90;
    }
    if (const char *flood = std::getenv("TOLVANE_FAKE_FLOOD")) {
        char line[65];
        for (long long i = 0, n = std::atoll(flood); i + 64 <= n; i += 64) {
            std::snprintf(line, sizeof line, "flood %057lld\n", i / 64);
            std::fwrite(line, 1, 64, stdout);
        }
        std::fflush(stdout);
    }
    const char *progress = std::getenv("TOLVANE_FAKE_PROGRESS");
    for (int i = 1, n = progress ? std::atoi(progress) : 0; i <= n; ++i)
        std::printf("\rprogress %d/%d", i, n);
    if (orphan)
        return 0;
    if (const char *exitCode = std::getenv("TOLVANE_FAKE_EXIT")) {
        if (helperPid > 0)
            kill(helperPid, SIGKILL), waitpid(helperPid, nullptr, 0);
        // The default action first: a sanitizer build catches SIGSEGV and would exit instead.
        if (std::atoi(exitCode) < 0)
            signal(-std::atoi(exitCode), SIG_DFL), raise(-std::atoi(exitCode));
        return std::atoi(exitCode);
    }
    signal(SIGUSR1, [](int) { _exit(0); });
    signal(SIGUSR2, [](int) { _exit(3); });
    for (const char *talk = std::getenv("TOLVANE_FAKE_TALK");;)
        talk ? usleep(useconds_t(std::atoi(talk)) * 1000), void(std::fputs("still playing\n", stderr)) : void(pause());
}
