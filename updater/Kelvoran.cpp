// Kelvoran finishes a self-update: it waits for the old program to be gone, puts the downloaded
// file in its place and starts it.
//
//   Kelvoran <name> [<number>]
//
// The program is <name> in Kelvoran's own directory and the download is <name>.tmp beside it. The
// program shows nothing, and every way out ends with exit code 0.

#include "updater/Process.h"
#include "updater/QzExec.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kCloseWaits = 5;        // polls for a closing program
constexpr int kCloseWaitMs = 500;
constexpr int kRenameTries = 5;
constexpr int kRenameRetryMs = 100;

// Waits until nobody publishes a process id under `name` any more; false when one is still
// published after the waits.
bool WaitUntilUnpublished(const std::string& name) {
    for (int i = 0; i < kCloseWaits; ++i) {
        TQzExec probe(name);
        if (probe.GetHandle() == 0) break;
        SleepMs(kCloseWaitMs);
    }
    TQzExec last(name);
    return last.GetHandle() == 0;
}

// Waits until no process runs `program`; false when one still does after the waits.
bool WaitUntilNotRunning(const std::string& program) {
    for (int i = 0; i < kCloseWaits; ++i) {
        if (!AnyProcessRunsProgram(program)) return true;
        SleepMs(kCloseWaitMs);
    }
    return !AnyProcessRunsProgram(program);
}

void Run(int argc, char** argv) {
    if (argc < 2) return;
    const std::string name = argv[1];
    // The name must stay a file name of Kelvoran's own directory.
    if (!IsPlainFileName(name)) return;
    const long handle = argc >= 3 ? LeadingNumber(argv[1]) : 0;

    const std::string dir = OwnDirectory();
    if (dir.empty()) return;
    const std::string program = dir + name;
    const std::string download = program + ".tmp";
    if (!IsRegularFile(download)) return;

    if (handle != 0) {
        RequestClose(handle, program);
    } else {
        TQzExec exec(name);
        const long published = exec.GetHandle();
        if (published != 0) {
            RequestClose(published, program);
            if (!WaitUntilUnpublished(name)) return;
        }
        // The old program must have ended before it is replaced; one that keeps running keeps
        // its file, and the download stays for a later attempt.
        if (!WaitUntilNotRunning(program)) return;
    }

    // One rename replaces the program in a single step: at every moment one complete program file
    // stands under its name. When every try fails the old program stays and is started.
    for (int i = 0; i < kRenameTries; ++i) {
        if (std::rename(download.c_str(), program.c_str()) == 0) break;
        SleepMs(kRenameRetryMs);
    }
    StartProgram(program);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        Run(argc, argv);
    } catch (...) {
    }
    return 0;
}
