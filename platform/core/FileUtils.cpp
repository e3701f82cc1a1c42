#include "platform/core/FileUtils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
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
    // The file was cut short while it was read: what was read is a torn prefix, not the file.
    if (st.st_size > 0 && data.size() < want) {
        errno = ENODATA;
        return TFileRead::Failed;
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

// The file a save replaces: `path` itself, or the end of its chain of symbolic links, which need
// not exist (a dangling link is written through to its target). A relative target is resolved
// against the folder of the link that names it. False when a link cannot be read or the chain
// loops.
static bool ResolveLinkChain(const std::string& path, std::string& target) {
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        std::vector<char> buf(static_cast<size_t>(st.st_size > 0 ? st.st_size : 0) + 256);
        ssize_t n;
        while ((n = readlink(target.c_str(), buf.data(), buf.size())) >= 0 && static_cast<size_t>(n) == buf.size())
            buf.resize(buf.size() * 2);
        if (n <= 0) return false;
        std::string link(buf.data(), static_cast<size_t>(n));
        target = link[0] == '/' ? link : ExtractFilePath(target) + link;
    }
    errno = ELOOP;
    return false;
}

// Creates a new file beside `path` ("path.XXXXXX") with `mode`, less the umask; the descriptor,
// or -1 with errno set.
static int CreateFileBeside(const std::string& path, mode_t mode, std::string& name) {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = path + ".";
        for (int i = 0; i < 6; ++i) name += kChars[arc4random_uniform(sizeof kChars - 1)];
        int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

static bool WriteAll(int fd, std::string_view data) {
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        const ssize_t n = write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// Gives the new file the owner, group and permission bits of the file it replaces. Giving a file
// away needs privilege; a member of the file's group may still keep the group. A set-id bit is
// kept only with the owner or group it belongs to. Called after the bytes are written: a write by
// an unprivileged process clears the set-id bits.
static bool TakeOwnerAndMode(int fd, const struct stat& old) {
    mode_t mode = old.st_mode & 07777;
    if (fchown(fd, old.st_uid, old.st_gid) != 0) {
        if (old.st_uid != geteuid()) mode &= ~static_cast<mode_t>(S_ISUID);
        if (fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) mode &= ~static_cast<mode_t>(S_ISGID);
    }
    return fchmod(fd, mode) == 0;
}

// Gives the new file the access ACL of the file it replaces, or none when that file has none (one
// the new file inherited from its folder's default ACL goes). Called after TakeOwnerAndMode: a
// chmod rewrites an ACL's mask entry, while setting the ACL sets the group bits from its mask, so
// only this order gives both files one mode. A filesystem without ACLs has none to copy; an ACL
// that cannot be read or set fails the save, as losing its mask could widen the group's access.
static bool TakeAccessAcl(const std::string& from, int fd) {
    static const char kAcl[] = "system.posix_acl_access";
    std::vector<char> acl;
    for (;;) {
        const ssize_t size = getxattr(from.c_str(), kAcl, nullptr, 0);
        if (size <= 0) {
            if (size < 0 && errno != ENODATA && errno != ENOTSUP) return false;
            return fremovexattr(fd, kAcl) == 0 || errno == ENODATA || errno == ENOTSUP;
        }
        acl.resize(static_cast<size_t>(size));
        const ssize_t n = getxattr(from.c_str(), kAcl, acl.data(), acl.size());
        if (n >= 0) {
            acl.resize(static_cast<size_t>(n));
            break;
        }
        // ERANGE: the ACL grew since its size was asked.
        if (errno != ERANGE) return false;
    }
    return fsetxattr(fd, kAcl, acl.data(), acl.size(), 0) == 0;
}

// Looks at what stands at `path` without opening it or following a link: nothing (`exists` false)
// or a regular file (`st` filled) may be replaced. Anything else may not, and a save over it
// fails: errno EISDIR for a folder, EINVAL for a FIFO, a device, a socket, or a link put there
// since the chain of links was followed.
static bool Replaceable(const std::string& path, struct stat& st, bool& exists) {
    exists = lstat(path.c_str(), &st) == 0;
    if (!exists) return errno == ENOENT;
    if (S_ISREG(st.st_mode)) return true;
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return false;
}

// Flushes the folder's entry of a renamed file to disk. A folder the user may not read cannot be
// opened to be flushed: there the rename stands as the system keeps it, as it does where the
// filesystem does not flush folders.
static bool SyncFolder(const std::string& path) {
    std::string dir = ExtractFileDir(path);
    if (dir.empty()) dir = ".";
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno == EACCES;
    // A filesystem that cannot flush folders answers EINVAL or ENOTSUP every time: nothing more
    // can be done for the rename there.
    const bool ok = fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
    const int err = errno;
    close(fd);
    errno = err;
    return ok;
}

bool WriteFileAtomic(const std::string& pathGiven, std::string_view data) {
    std::string path;
    if (!ResolveLinkChain(pathGiven, path)) return false;
    struct stat old;
    bool replacing;
    if (!Replaceable(path, old, replacing)) return false;
    // A file the user may not write is not replaced, as a write in place would fail. The real user
    // is asked, so root may still replace a read-only file.
    if (replacing && access(path.c_str(), W_OK) != 0) return false;
    // A new file gets 0666 less the umask from open; a replacement stays private until its bytes
    // are written and it takes the old file's owner, group and mode.
    std::string tmp;
    const int fd = CreateFileBeside(path, replacing ? 0600 : 0666, tmp);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, data);
    if (ok && replacing) ok = TakeOwnerAndMode(fd, old) && TakeAccessAcl(path, fd);
    if (ok) ok = fsync(fd) == 0;
    int err = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    // Looked at again right before the rename: a FIFO, device or folder put at the name since is
    // left as it is.
    struct stat now;
    bool present;
    if (ok && !Replaceable(path, now, present)) {
        ok = false;
        err = errno;
    }
    if (ok && rename(tmp.c_str(), path.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        unlink(tmp.c_str());
        errno = err;
        return false;
    }
    // The new file is in place from here on: a failure only leaves it unflushed, nothing is undone.
    return SyncFolder(path);
}

std::string GetAppDir() {
    std::vector<char> buf(4096);
    ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) return "./";
    return ExtractFilePath(std::string(buf.data(), static_cast<size_t>(n)));
}
