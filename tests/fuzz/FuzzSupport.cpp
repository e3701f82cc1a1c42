// The private folder of a fuzzing process and the check that ends a run.

#include "tests/fuzz/FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fuzz {
namespace {

std::string& Folder() {
    static std::string folder;
    return folder;
}

void RemoveFolder() {
    std::error_code ec;
    if (!Folder().empty()) std::filesystem::remove_all(Folder(), ec);
}

}  // namespace

std::string TempPath(const std::string& name) {
    if (Folder().empty()) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/morvane-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        Folder() = pattern;
        std::atexit(RemoveFolder);
    }
    return Folder() + "/" + name;
}

std::string WriteTemp(const std::string& name, std::string_view bytes) {
    const std::string path = TempPath(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    Check(static_cast<bool>(out), "the input could not be written to the fuzz folder");
    return path;
}

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

void Split(std::string_view input, char separator, std::string_view& first, std::string_view& second) {
    const size_t at = input.find(separator);
    first = input.substr(0, at);
    second = at == std::string_view::npos ? std::string_view() : input.substr(at + 1);
}

}  // namespace fuzz
