#pragma once
// Starting another program that outlives this one.

#include <string>
#include <vector>

// Starts `program` with `args` (argument 0 is `program` itself) in a session of its own, so it
// survives this process and its terminal. Descriptors other than 0, 1 and 2 are not inherited.
// Does not wait for it: its exit status is collected only when this process ends. False when it could not be started (missing, not executable).
bool StartDetached(const std::string& program, const std::vector<std::string>& args);
