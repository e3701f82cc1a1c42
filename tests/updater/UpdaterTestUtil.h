#pragma once
// Running Kelvoran and the stand-in program in a temporary folder.

#include <string>
#include <sys/types.h>
#include <vector>

// A fresh folder with a copy of Kelvoran in it, removed at the end.
class UpdaterFolder {
public:
    UpdaterFolder();
    ~UpdaterFolder();
    UpdaterFolder(const UpdaterFolder&) = delete;
    UpdaterFolder& operator=(const UpdaterFolder&) = delete;

    const std::string& Path() const { return path_; }   // with a trailing '/'
    // Copies the stand-in program to `name` in the folder.
    void PutStandIn(const std::string& name) const;
    // Writes a shell script `name` that appends `line` to "marker".
    void PutScript(const std::string& name, const std::string& line) const;
    // Runs Kelvoran from the folder with `args` and waits for it; its exit status (-1 when it did
    // not exit normally).
    int RunKelvoran(const std::vector<std::string>& args) const;
    // Starts `name` from the folder with `args`, as user `uid` when it is not -1 (root only);
    // its process id.
    pid_t Start(const std::string& name, const std::vector<std::string>& args, uid_t uid = static_cast<uid_t>(-1)) const;
    // The marker's lines once it has at least `lines` of them, or what it holds after 10 s.
    std::vector<std::string> WaitForMarker(size_t lines) const;
    std::vector<std::string> Marker() const;
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;

private:
    std::string path_;
};

std::string ReadWholeFile(const std::string& path);
