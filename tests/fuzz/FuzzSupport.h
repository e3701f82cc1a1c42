#pragma once
// Helpers of the fuzz entry points: the readers under test take file names, so each input is
// written to a file in a private folder of the process first.
//
// Every entry point defines LLVMFuzzerTestOneInput. A broken invariant calls FuzzCheck, which
// prints what broke and aborts, so libFuzzer and the corpus replay both report it as a crash.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fuzz {

// A path named `name` in the folder of this process (made on first use, removed at exit).
std::string TempPath(const std::string& name);
// Writes the bytes to TempPath(name) and returns that path.
std::string WriteTemp(const std::string& name, std::string_view bytes);

// Aborts with the message when `ok` is false.
void Check(bool ok, const char* what);

// Cuts the input in two at the first occurrence of `separator` (the whole input is the first part
// when there is none).
void Split(std::string_view input, char separator, std::string_view& first, std::string_view& second);

}  // namespace fuzz
