#pragma once
// A fresh folder under the system's temporary folder ($TMPDIR, else /tmp) for one test, removed
// with everything in it when the object goes, also when a test made parts of it read-only. Its
// path ends in '/', so file names are appended to it directly: dir + "a.smi".

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

class TTempFolder {
public:
    explicit TTempFolder(std::string_view prefix = "morvane-test") {
        std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp " + pattern);
        path_ = pattern + "/";
    }
    ~TTempFolder() {
        namespace fs = std::filesystem;
        std::error_code ec;
        const fs::path root(path_);
        fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ec);
        for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec)) {
            std::error_code ignored;
            if (it->is_directory(ignored) && !it->is_symlink(ignored))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::remove_all(root, ec);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::string& Path() const { return path_; }
    operator const std::string&() const { return path_; }
    std::string operator+(std::string_view name) const { return path_ + std::string(name); }

private:
    std::string path_;
};
