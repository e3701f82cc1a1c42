#include "tests/updater/UpdaterTestUtil.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

namespace {

pid_t Spawn(const std::string& program, const std::vector<std::string>& args, uid_t uid = static_cast<uid_t>(-1)) {
    std::vector<std::string> storage{program};
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : storage) argv.push_back(s.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        if (uid != static_cast<uid_t>(-1) && (setgroups(0, nullptr) != 0 || setgid(uid) != 0 || setuid(uid) != 0))
            _exit(126);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

}  // namespace

UpdaterFolder::UpdaterFolder() {
    std::string pattern = (fs::temp_directory_path() / "kelvoran-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
    // The canonical form, as the programs see their own paths in /proc.
    path_ = fs::canonical(pattern).string() + "/";
    fs::copy_file(KELVORAN_PATH, path_ + "Kelvoran");
    fs::permissions(path_ + "Kelvoran", fs::perms(0755));
}

UpdaterFolder::~UpdaterFolder() {
    std::error_code ec;
    fs::permissions(path_, fs::perms(0755), ec);
    fs::remove_all(path_, ec);
}

void UpdaterFolder::PutStandIn(const std::string& name) const {
    fs::copy_file(STANDIN_PATH, path_ + name, fs::copy_options::overwrite_existing);
    fs::permissions(path_ + name, fs::perms(0755));
}

void UpdaterFolder::PutScript(const std::string& name, const std::string& line) const {
    {
        std::ofstream out(path_ + name, std::ios::binary | std::ios::trunc);
        out << "#!/bin/sh\necho " << line << " >> \"$(dirname \"$0\")/marker\"\n";
    }
    fs::permissions(path_ + name, fs::perms(0755));
}

int UpdaterFolder::RunKelvoran(const std::vector<std::string>& args) const {
    const pid_t pid = Spawn(path_ + "Kelvoran", args);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

pid_t UpdaterFolder::Start(const std::string& name, const std::vector<std::string>& args, uid_t uid) const {
    return Spawn(path_ + name, args, uid);
}

std::vector<std::string> UpdaterFolder::Marker() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadWholeFile(path_ + "marker"));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> UpdaterFolder::WaitForMarker(size_t lines) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::vector<std::string> got = Marker();
    while (got.size() < lines && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        got = Marker();
    }
    return got;
}

std::string UpdaterFolder::Read(const std::string& name) const { return ReadWholeFile(path_ + name); }

bool UpdaterFolder::Exists(const std::string& name) const {
    struct stat st;
    return lstat((path_ + name).c_str(), &st) == 0;
}
