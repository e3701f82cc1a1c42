#include "app/update/ProgramStart.h"

#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

extern char** environ;

bool StartDetached(const std::string& program, const std::vector<std::string>& args) {
    std::vector<std::string> storage;
    storage.reserve(args.size() + 1);
    storage.push_back(program);
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : storage) argv.push_back(s.data());
    argv.push_back(nullptr);

    posix_spawnattr_t attr;
    if (posix_spawnattr_init(&attr) != 0) return false;
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) {
        posix_spawnattr_destroy(&attr);
        return false;
    }
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    return rc == 0;
}

bool TProgramAtEnd::Keep(const std::string& program, const std::vector<std::string>& args) {
    program_.clear();
    args_.clear();
    struct stat st;
    if (stat(program.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || access(program.c_str(), X_OK) != 0) return false;
    program_ = program;
    args_ = args;
    return true;
}

bool TProgramAtEnd::Start() {
    if (program_.empty()) return true;
    std::string program;
    std::vector<std::string> args;
    program.swap(program_);
    args.swap(args_);
    return StartDetached(program, args);
}

TProgramAtEnd& ProgramAtEnd() {
    static TProgramAtEnd atEnd;
    return atEnd;
}
