#pragma once
// Starting another program that outlives this one.

#include <string>
#include <vector>

// Starts `program` with `args` (argument 0 is `program` itself) in a session of its own, so it
// survives this process and its terminal. Descriptors other than 0, 1 and 2 are not inherited.
// Does not wait for it: its exit status is collected only when this process ends. False when it could not be started (missing, not executable).
bool StartDetached(const std::string& program, const std::vector<std::string>& args);

// A program kept to be started when this one ends: the updater, which replaces this program's file
// and must find this program ended, however long its close took.
class TProgramAtEnd {
public:
    // Keeps `program` with `args` in place of any kept before; false, keeping nothing, when
    // `program` is no regular file that this user may execute.
    bool Keep(const std::string& program, const std::vector<std::string>& args);
    bool Kept() const { return !program_.empty(); }
    // Starts the kept program with StartDetached and forgets it; false when it could not be
    // started. True when nothing is kept.
    bool Start();

private:
    std::string program_;
    std::vector<std::string> args_;
};

// The program this process starts when it ends: main starts it just before it returns, once the
// settings are written and the windows and the player are gone.
TProgramAtEnd& ProgramAtEnd();
