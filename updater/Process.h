#pragma once
// Processes and files of the updater, over /proc and POSIX.

#include <string>

// The directory of the running executable, from /proc/self/exe, with a trailing '/'; empty when
// it cannot be read.
std::string OwnDirectory();

// True when `name` names an entry of a folder and nothing else: not empty, without '/', not "."
// or "..".
bool IsPlainFileName(const std::string& name);

// True when `path` names a regular file (symbolic links followed).
bool IsRegularFile(const std::string& path);

// True when process `pid` (> 0) runs the executable `program` (an absolute, resolved path).
bool ProcessRunsProgram(long pid, const std::string& program);

// True when any process this user may inspect runs the executable `program`.
bool AnyProcessRunsProgram(const std::string& program);

// True when process `pid` (> 0) belongs wholly to this process's user: its real, effective and
// saved user ids are all this process's effective user id.
bool ProcessOfOwnUser(long pid);

// Asks process `pid` to close with SIGTERM, but only when it runs `program` and is of this
// process's user; a number that names no such process gets nothing. True when the request was
// sent.
bool RequestClose(long pid, const std::string& program);

// Starts `program` without arguments in a session of its own and does not wait for it; false when
// it could not be started.
bool StartProgram(const std::string& program);

// Sleeps for `ms` milliseconds.
void SleepMs(int ms);
