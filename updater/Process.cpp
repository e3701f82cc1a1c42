#include "updater/Process.h"

#include <dirent.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

extern char** environ;

namespace {

// The target of a symbolic link such as /proc/<pid>/exe; empty when it cannot be read.
std::string ReadLink(const std::string& link) {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = readlink(link.c_str(), buffer.data(), buffer.size());
        if (n < 0) return {};
        if (static_cast<size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<size_t>(n));
        if (buffer.size() >= (1u << 20)) return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::string OwnDirectory() {
    const std::string self = ReadLink("/proc/self/exe");
    const size_t slash = self.rfind('/');
    if (self.empty() || slash == std::string::npos) return {};
    return self.substr(0, slash + 1);
}

bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos && name != "." && name != "..";
}

bool IsRegularFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ProcessRunsProgram(long pid, const std::string& program) {
    if (pid <= 0 || program.empty()) return false;
    return ReadLink("/proc/" + std::to_string(pid) + "/exe") == program;
}

bool AnyProcessRunsProgram(const std::string& program) {
    DIR* proc = opendir("/proc");
    if (!proc) return false;
    bool found = false;
    const long self = static_cast<long>(getpid());
    while (dirent* entry = readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0' || pid == self) continue;
        if (ProcessRunsProgram(pid, program)) {
            found = true;
            break;
        }
    }
    closedir(proc);
    return found;
}

bool ProcessOfOwnUser(long pid) {
    if (pid <= 0) return false;
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    const uid_t self = geteuid();
    for (std::string line; std::getline(status, line);) {
        if (line.compare(0, 4, "Uid:") != 0) continue;
        std::istringstream ids(line.substr(4));
        unsigned long real = 0, effective = 0, saved = 0;
        if (!(ids >> real >> effective >> saved)) return false;
        return real == self && effective == self && saved == self;
    }
    return false;
}

bool RequestClose(long pid, const std::string& program) {
    if (!ProcessRunsProgram(pid, program) || !ProcessOfOwnUser(pid)) return false;
    return kill(static_cast<pid_t>(pid), SIGTERM) == 0;
}

bool StartProgram(const std::string& program) {
    posix_spawnattr_t attr;
    if (posix_spawnattr_init(&attr) != 0) return false;
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    std::string arg0 = program;
    char* argv[] = {arg0.data(), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), nullptr, &attr, argv, environ);
    posix_spawnattr_destroy(&attr);
    return rc == 0;
}

void SleepMs(int ms) {
    timespec ts{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}
