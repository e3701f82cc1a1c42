#include "platform/core/FileUtils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <vector>

bool FileExists(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PathExists(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

bool DirectoryExists(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int64_t FileSize64(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

std::string ExtractFilePath(std::string_view path) {
    size_t p = path.rfind('/');
    return p == std::string_view::npos ? std::string() : std::string(path.substr(0, p + 1));
}

std::string ExtractFileDir(std::string_view path) {
    size_t p = path.rfind('/');
    if (p == std::string_view::npos) return std::string();
    return std::string(path.substr(0, p == 0 ? 1 : p));
}

std::string ExtractFileName(std::string_view path) {
    size_t p = path.rfind('/');
    return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

std::string ExtractFileExt(std::string_view path) {
    size_t slash = path.rfind('/');
    size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return std::string();
    return std::string(path.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
    size_t slash = path.rfind('/');
    size_t dot = path.rfind('.');
    std::string base(path);
    if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash)) base.resize(dot);
    base.append(ext);
    return base;
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
    std::string r(path);
    if (r.empty() || r.back() != '/') r.push_back('/');
    return r;
}

bool DeleteFile(const std::string& path) { return unlink(path.c_str()) == 0; }

bool RenameFile(const std::string& from, const std::string& to) { return rename(from.c_str(), to.c_str()) == 0; }

namespace {

// Reads from an open regular file until `want` bytes are held or the file ends. False on a read
// error (errno tells which).
bool ReadOpenFile(int fd, size_t want, std::string& data) {
    char buf[65536];
    while (data.size() < want) {
        const size_t chunk = std::min(want - data.size(), sizeof buf);
        const ssize_t n = read(fd, buf, chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) break;
        data.append(buf, static_cast<size_t>(n));
    }
    return true;
}

TFileRead ReadOpened(int fd, size_t limit, std::string& data) {
    struct stat st;
    if (fstat(fd, &st) != 0) return TFileRead::Failed;
    // The path may have been replaced since it was looked at.
    if (!S_ISREG(st.st_mode)) return TFileRead::NotRegular;
    size_t want = limit;
    if (st.st_size > 0) {
        if (static_cast<uint64_t>(st.st_size) > static_cast<uint64_t>(data.max_size())) return TFileRead::TooLarge;
        want = std::min(limit, static_cast<size_t>(st.st_size));
    }
    try {
        if (st.st_size > 0) data.reserve(want);
        if (!ReadOpenFile(fd, want, data)) return TFileRead::Failed;
    } catch (const std::bad_alloc&) {
        return TFileRead::TooLarge;
    } catch (const std::length_error&) {
        return TFileRead::TooLarge;
    }
    return TFileRead::Ok;
}

}  // namespace

TFileRead ReadRegularFile(const std::string& path, std::string& data, size_t limit) {
    std::string().swap(data);
    struct stat st;
    if (path.empty()) return TFileRead::Missing;
    // Decided before opening: opening a device can act on it, opening a FIFO waits for a writer.
    if (stat(path.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR ? TFileRead::Missing : TFileRead::Failed;
    if (!S_ISREG(st.st_mode)) return TFileRead::NotRegular;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return errno == ENOENT ? TFileRead::Missing : TFileRead::Failed;
    const TFileRead result = ReadOpened(fd, limit, data);
    const int err = errno;
    close(fd);
    if (result != TFileRead::Ok) std::string().swap(data);
    errno = err;
    return result;
}

bool ReadFileHead(const std::string& path, size_t limit, std::string& data) {
    return ReadRegularFile(path, data, limit) == TFileRead::Ok;
}

bool ReadFileBytes(const std::string& path, std::string& data) {
    return ReadFileHead(path, static_cast<size_t>(-1), data);
}

bool WriteFileAtomic(const std::string& pathGiven, std::string_view data) {
    // A symbolic link is written through: the file it points to is replaced, the link stays.
    std::string path = pathGiven;
    struct stat lst;
    if (lstat(pathGiven.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        if (char* target = realpath(pathGiven.c_str(), nullptr)) {
            path = target;
            free(target);
        }
    }
    std::string tmpl = path + ".XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0) return false;
    std::string tmp(name.data());

    bool ok = true;
    const char* p = data.data();
    size_t left = data.size();
    while (ok && left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    // The new file takes the permission bits of the file it replaces; a new file gets the usual
    // 0666 less the umask (mkstemp alone would leave 0600).
    if (ok) {
        struct stat st;
        mode_t mode;
        if (stat(path.c_str(), &st) == 0) {
            mode = st.st_mode & 07777;
        } else {
            mode_t mask = umask(0);
            umask(mask);
            mode = 0666 & ~mask;
        }
        ok = fchmod(fd, mode) == 0;
    }
    if (ok) ok = fsync(fd) == 0;
    if (close(fd) != 0) ok = false;
    if (ok) ok = rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) unlink(tmp.c_str());
    return ok;
}

std::string GetAppDir() {
    std::vector<char> buf(4096);
    ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) return "./";
    return ExtractFilePath(std::string(buf.data(), static_cast<size_t>(n)));
}
