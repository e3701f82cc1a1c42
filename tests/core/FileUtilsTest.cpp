#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iterator>
#include <map>
#include <string_view>

#include "platform/core/FileUtils.h"
#include "tests/ChildRun.h"
#include "tests/TempFolder.h"

// This program's open, read, write, fsync, fsetxattr and close stand in for the C library's (the
// code under test is linked into the program, so its calls reach these first) and call the kernel
// directly, so that a test can watch a call of the code under test or make it fail. While a watch
// is set, it is given each call's name and descriptor and answers 0 to let the call run or an
// errno to fail it (a close that fails still closes; open is watched once it has opened, with the
// descriptor it got, which a failed open closes again).
namespace {

using TCallWatch = std::function<int(std::string_view call, int fd)>;
const TCallWatch* gCallWatch = nullptr;
thread_local bool gInWatch = false;

int Watched(std::string_view call, int fd) {
    if (!gCallWatch || gInWatch) return 0;
    gInWatch = true;
    const int err = (*gCallWatch)(call, fd);
    gInWatch = false;
    return err;
}

class TWatchCalls {
public:
    explicit TWatchCalls(TCallWatch watch) : watch_(std::move(watch)) { gCallWatch = &watch_; }
    ~TWatchCalls() { gCallWatch = nullptr; }
    TWatchCalls(const TWatchCalls&) = delete;
    TWatchCalls& operator=(const TWatchCalls&) = delete;

private:
    TCallWatch watch_;
};

mode_t FileType(int fd) {
    struct stat st;
    return fstat(fd, &st) == 0 ? st.st_mode & S_IFMT : 0;
}

// Adds ACL entries (setfacl's -m form) to `path`; false where setfacl is missing or the
// filesystem keeps no ACLs.
bool SetAcl(const std::string& path, const std::string& entries) {
    return std::system(("setfacl -m " + entries + " '" + path + "' 2>/dev/null").c_str()) == 0;
}

// The access ACL of `path` as the filesystem keeps it; empty when it has none.
std::string AccessAcl(const std::string& path) {
    char acl[1024];
    const ssize_t n = getxattr(path.c_str(), "system.posix_acl_access", acl, sizeof acl);
    return n > 0 ? std::string(acl, static_cast<size_t>(n)) : std::string();
}

}  // namespace

extern "C" int open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, unsigned));
        va_end(args);
    }
    const int fd = static_cast<int>(syscall(SYS_openat, AT_FDCWD, path, flags, mode));
    if (fd < 0) return fd;
    if (const int err = Watched("open", fd)) {
        syscall(SYS_close, fd);
        return errno = err, -1;
    }
    return fd;
}

extern "C" ssize_t read(int fd, void* buf, size_t count) {
    if (const int err = Watched("read", fd)) return errno = err, -1;
    return syscall(SYS_read, fd, buf, count);
}

extern "C" ssize_t write(int fd, const void* buf, size_t count) {
    if (const int err = Watched("write", fd)) return errno = err, -1;
    return syscall(SYS_write, fd, buf, count);
}

extern "C" int fsync(int fd) {
    if (const int err = Watched("fsync", fd)) return errno = err, -1;
    return static_cast<int>(syscall(SYS_fsync, fd));
}

extern "C" int fsetxattr(int fd, const char* name, const void* value, size_t size, int flags) {
    if (const int err = Watched("fsetxattr", fd)) return errno = err, -1;
    return static_cast<int>(syscall(SYS_fsetxattr, fd, name, value, size, flags));
}

extern "C" int close(int fd) {
    const int err = Watched("close", fd);
    const int closed = static_cast<int>(syscall(SYS_close, fd));
    if (err) return errno = err, -1;
    return closed;
}

TEST(Paths, NameExtensionAndFolder) {
    EXPECT_EQ(ExtractFilePath("/a/b/c.smi"), "/a/b/");
    EXPECT_EQ(ExtractFileDir("/a/b/c.smi"), "/a/b");
    EXPECT_EQ(ExtractFileName("/a/b/c.smi"), "c.smi");
    EXPECT_EQ(ExtractFileExt("/a/b.d/c"), "");
    EXPECT_EQ(ExtractFileExt("movie.AVI"), ".AVI");
    EXPECT_EQ(ChangeFileExt("/a/movie.avi", ".smi"), "/a/movie.smi");
    EXPECT_EQ(ChangeFileExt("/a.b/movie", ".smi"), "/a.b/movie.smi");
}

TEST(Files, AtomicWriteKeepsModeOwnerAndGroupAndReplacesContent) {
    TTempFolder dir;
    std::string f = dir + "x.smi";
    // The permission bits of the file while its bytes are written.
    std::vector<mode_t> whileWritten;
    TWatchCalls watch([&](std::string_view call, int fd) {
        struct stat st;
        if (call == "write" && fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) whileWritten.push_back(st.st_mode & 07777);
        return 0;
    });
    // A new file gets 0666 less the umask.
    mode_t mask = umask(027);
    bool created = WriteFileAtomic(f, "one");
    umask(mask);
    ASSERT_TRUE(created);
    struct stat st;
    ASSERT_EQ(stat(f.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    chmod(f.c_str(), 0604);
    // Another user's file of another group (only root may hand a file over).
    const bool root = chown(f.c_str(), 4321, 5678) == 0;
    ASSERT_TRUE(WriteFileAtomic(f, std::string("tw\0o", 4)));
    // A replacement shows its bytes to nobody else before it takes the old file's mode.
    EXPECT_EQ(whileWritten, (std::vector<mode_t>{0640, 0600}));
    std::string data;
    ASSERT_TRUE(ReadFileBytes(f, data));
    EXPECT_EQ(data, std::string("tw\0o", 4));
    ASSERT_EQ(stat(f.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    if (root) {
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 5678u);
    }
    EXPECT_EQ(FileSize64(f), 4);
    EXPECT_TRUE(FileExists(f));
    EXPECT_FALSE(FileExists(dir.Path()));
    EXPECT_TRUE(DirectoryExists(dir.Path()));
    // Root may write any file, so it may replace a read-only one.
    if (root) {
        ASSERT_EQ(chmod(f.c_str(), 0444), 0);
        EXPECT_TRUE(WriteFileAtomic(f, "root"));
        EXPECT_EQ(FileSize64(f), 4);
    }
}

TEST(Files, AnUnprivilegedSaverKeepsTheGroupItBelongsToAndTheSetIdBitsOfItsOwnFiles) {
    // Root acts as user 1234 of group 1234 who also belongs to group 5678; another user saves as
    // itself, and only the rows of its own files run.
    const bool root = geteuid() == 0;
    const uid_t saver = root ? 1234 : geteuid();
    const gid_t group = root ? 1234 : getegid();
    const auto becomeSaver = [] {
        const gid_t groups[] = {1234, 5678};
        return setgroups(2, groups) == 0 && setgid(1234) == 0 && setuid(1234) == 0;
    };
    if (root && !RunInChild([&] { EXPECT_TRUE(becomeSaver()); }, 10000))
        GTEST_SKIP() << "root cannot act as user 1234 here (no CAP_SETUID or CAP_SETGID)";
    TTempFolder dir;
    ASSERT_EQ(chmod(dir.Path().c_str(), 0777), 0);
    const struct {
        const char* name;
        uid_t owner;  // 0: the saver
        gid_t gid;    // 0: the saver's group
        mode_t mode;
        bool saved;
        uid_t ownerAfter;  // 0: the saver
        gid_t gidAfter;    // 0: the saver's group
        mode_t modeAfter;
        const char* acl = nullptr;  // ACL entries the file has besides its mode
    } cases[] = {
        // Another user's files: the saver takes them over and keeps a shared group.
        {"shared.smi", 4321, 5678, 0664, true, 0, 5678, 0664},
        {"foreign-setgid.smi", 4321, 9999, 02666, true, 0, 0, 0666},  // the set-group-id bit goes with the group
        {"foreign-setuid.smi", 4321, 5678, 04775, true, 0, 5678, 0775},  // and set-user-id with the owner
        // The saver's own: a write clears the set-id bits, the saved mode brings them back.
        {"setid.smi", 0, 0, 06755, true, 0, 0, 06755},
        {"sticky.smi", 0, 0, 07775, true, 0, 0, 07775},
        {"shared-setgid.smi", 0, 5678, 02775, true, 0, 5678, 02775},
        // The ACL comes along: without it user 4321 would lose its access, and the group would
        // gain what the mask gives (the mode's group bits).
        {"acl.smi", 0, 0, 0600, true, 0, 0, 0660, "u:4321:rw"},
        // A file that may not be written is not replaced, nor is it through a link.
        {"readonly.smi", 0, 0, 0444, false, 0, 0, 0444},
        {"readonly-foreign.smi", 4321, 5678, 0644, false, 4321, 5678, 0644},
    };
    const auto ownerOf = [&](uid_t u) { return u == 0 ? saver : u; };
    const auto groupOf = [&](gid_t g) { return g == 0 ? group : g; };
    for (const auto& c : cases) {
        if (!root && c.owner != 0) continue;
        ASSERT_TRUE(WriteFileAtomic(dir + c.name, "old"));
        ASSERT_EQ(chown((dir + c.name).c_str(), ownerOf(c.owner), root ? groupOf(c.gid) : static_cast<gid_t>(-1)), 0);
        ASSERT_EQ(chmod((dir + c.name).c_str(), c.mode), 0);
    }
    // A new file in the folder inherits its default ACL: a replacement of a file without an ACL
    // keeps none.
    const bool acls = SetAcl(dir.Path(), "d:u:4321:rw");
    std::map<std::string, std::string> aclBefore;
    for (const auto& c : cases) {
        if (c.acl && acls) {
            ASSERT_TRUE(SetAcl(dir + c.name, c.acl));
        }
        aclBefore[c.name] = AccessAcl(dir + c.name);
    }
    ASSERT_EQ(symlink("readonly.smi", (dir + "link.smi").c_str()), 0);
    // A folder the saver may write but not read: it cannot be flushed, and a save there stands.
    ASSERT_EQ(mkdir((dir + "noread").c_str(), 0300), 0);
    ASSERT_EQ(chown((dir + "noread").c_str(), saver, static_cast<gid_t>(-1)), 0);
    EXPECT_TRUE(RunInChild(
        [&] {
            ASSERT_TRUE(!root || becomeSaver());
            for (const auto& c : cases) {
                if (!root && c.owner != 0) continue;
                SCOPED_TRACE(c.name);
                errno = 0;
                EXPECT_EQ(WriteFileAtomic(dir + c.name, "new"), c.saved);
                if (!c.saved) {
                    EXPECT_EQ(errno, EACCES);
                }
            }
            EXPECT_FALSE(WriteFileAtomic(dir + "link.smi", "new"));
            EXPECT_TRUE(WriteFileAtomic(dir + "noread/x.smi", "new"));
        },
        10000));
    for (const auto& c : cases) {
        if (!root && c.owner != 0) continue;
        SCOPED_TRACE(c.name);
        struct stat st;
        ASSERT_EQ(stat((dir + c.name).c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, ownerOf(c.ownerAfter));
        if (root) {
            EXPECT_EQ(st.st_gid, groupOf(c.gidAfter));
        }
        EXPECT_EQ(st.st_mode & 07777, c.acl && !acls ? c.mode : c.modeAfter);
        EXPECT_EQ(AccessAcl(dir + c.name), aclBefore[c.name]);
        std::string data;
        ASSERT_TRUE(ReadFileBytes(dir + c.name, data));
        EXPECT_EQ(data, c.saved ? "new" : "old");
    }
    EXPECT_EQ(FileSize64(dir + "noread/x.smi"), 3);
    // No temporary file is left: the files, the link and the folder.
    namespace fs = std::filesystem;
    EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator())),
              root ? std::size(cases) + 2 : 7);
    if (!acls) GTEST_SKIP() << "the ACL rows ran without ACLs: setfacl is missing or the filesystem keeps none";
}

TEST(Files, AtomicWriteGoesThroughSymbolicLinksAlsoDanglingOnes) {
    TTempFolder dir;
    ASSERT_TRUE(WriteFileAtomic(dir + "real.smi", "old"));
    ASSERT_EQ(symlink((dir + "real.smi").c_str(), (dir + "link.smi").c_str()), 0);
    ASSERT_EQ(mkdir((dir + "sub").c_str(), 0755), 0);
    // Relative targets count from the link's folder, not from the working folder.
    ASSERT_EQ(symlink("../link.smi", (dir + "sub/chain.smi").c_str()), 0);
    ASSERT_EQ(symlink("sub/new.smi", (dir + "dangling.smi").c_str()), 0);
    ASSERT_EQ(symlink("missing/new.smi", (dir + "nofolder.smi").c_str()), 0);
    ASSERT_EQ(symlink("loop.smi", (dir + "loop.smi").c_str()), 0);
    // Only a regular file is replaced: a FIFO or a device is left as it is, also at the end of a
    // link or when it is put in the file's place while the new file is written. Making a device
    // node takes privilege.
    ASSERT_EQ(mkfifo((dir + "fifo.smi").c_str(), 0666), 0);
    const bool device = mknod((dir + "null.smi").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    for (const char* name : {"fifo.smi", "null.smi"})
        ASSERT_EQ(symlink(name, (dir + "to-" + name).c_str()), 0);
    ASSERT_TRUE(WriteFileAtomic(dir + "swapped.smi", "old"));
    struct Case {
        const char* link;
        bool saved;
        const char* target;
        int error;
        bool swapped = false;  // the target becomes a FIFO while the new file is written
    } cases[] = {
        {"link.smi", true, "real.smi", 0},
        {"sub/chain.smi", true, "real.smi", 0},
        {"dangling.smi", true, "sub/new.smi", 0},
        {"nofolder.smi", false, "missing/new.smi", ENOENT},
        {"loop.smi", false, "loop.smi", ELOOP},
        {"fifo.smi", false, "fifo.smi", EINVAL},
        {"to-fifo.smi", false, "fifo.smi", EINVAL},
        {"null.smi", false, "null.smi", EINVAL},
        {"to-null.smi", false, "null.smi", EINVAL},
        {"swapped.smi", false, "swapped.smi", EINVAL, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        if (!device && std::string_view(c.target) == "null.smi") continue;
        // What stands at the name and at the end of its links before the save.
        struct stat name, target, st;
        ASSERT_EQ(lstat((dir + c.link).c_str(), &name), 0);
        bool targetWas = lstat((dir + c.target).c_str(), &target) == 0;
        TWatchCalls swap([&](std::string_view call, int fd) {
            if (c.swapped && call == "fsync" && FileType(fd) == S_IFREG) {
                const std::string at = dir + c.target;
                EXPECT_TRUE(unlink(at.c_str()) == 0 && mkfifo(at.c_str(), 0666) == 0);
                targetWas = lstat(at.c_str(), &target) == 0 && lstat(at.c_str(), &name) == 0;
            }
            return 0;
        });
        errno = 0;
        EXPECT_EQ(WriteFileAtomic(dir + c.link, c.link), c.saved);
        if (!c.saved) {
            EXPECT_EQ(errno, c.error);
            EXPECT_EQ(lstat((dir + c.target).c_str(), &st) == 0, targetWas);
            if (targetWas) {
                EXPECT_EQ(st.st_ino, target.st_ino);
                EXPECT_EQ(st.st_mode, target.st_mode);
            }
        }
        ASSERT_EQ(lstat((dir + c.link).c_str(), &st), 0);
        EXPECT_EQ(st.st_ino, name.st_ino);
        EXPECT_EQ(st.st_mode, name.st_mode);
        std::string data;
        EXPECT_EQ(ReadFileBytes(dir + c.target, data), c.saved);
        if (c.saved) {
            EXPECT_EQ(data, c.link);
        }
    }
    // No temporary file is left behind: the eleven names above (without the device, ten) and
    // sub/chain.smi, sub/new.smi.
    namespace fs = std::filesystem;
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(dir.Path()), fs::recursive_directory_iterator()),
              device ? 13 : 12);
    if (!device) GTEST_SKIP() << "the device rows did not run: making a device node takes CAP_MKNOD";
}

TEST(Files, FailedWriteLeavesNothingBehind) {
    EXPECT_FALSE(WriteFileAtomic("/nonexistent-dir/x.smi", "data"));
    std::string data = "stale";
    EXPECT_FALSE(ReadFileBytes("/nonexistent-dir/x.smi", data));
    EXPECT_TRUE(data.empty());
    EXPECT_EQ(FileSize64("/nonexistent-dir/x.smi"), -1);

    // A step that fails: the save fails with its error and leaves no temporary file. Up to the
    // rename the old file stands; once renamed, the new file stays.
    const struct {
        const char* step;
        const char* call;  // the call that fails, on a descriptor of `type`
        mode_t type;
        int error;
        const char* after;
        bool saved = false;
        const char* acl = nullptr;  // ACL entries of the old file
    } cases[] = {
        {"the file's flush", "fsync", S_IFREG, EIO, "old"},
        {"the file's close", "close", S_IFREG, EIO, "old"},
        {"the folder's flush", "fsync", S_IFDIR, EIO, "new"},
        // A filesystem that does not flush folders: the save stands.
        {"the folder's flush, not done there", "fsync", S_IFDIR, EINVAL, "new", true},
        {"the folder's flush, not supported there", "fsync", S_IFDIR, ENOTSUP, "new", true},
        {"a write past the file-size limit", "", 0, EFBIG, "old"},
        // Without its ACL the replacement would widen the group's access to the mask's.
        {"the old file's ACL on the replacement", "fsetxattr", S_IFREG, EPERM, "old", false, "u:4321:rw"},
    };
    bool aclsSkipped = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        TTempFolder dir;
        const std::string f = dir + "x.smi";
        ASSERT_TRUE(WriteFileAtomic(f, "old"));
        if (c.acl && !SetAcl(f, c.acl)) {
            aclsSkipped = true;
            continue;
        }
        // In a child: the file-size limit stays there. Past it a write fails with EFBIG once
        // SIGXFSZ, which would end the process, is ignored.
        EXPECT_TRUE(RunInChild(
            [&] {
                if (c.error == EFBIG) {
                    signal(SIGXFSZ, SIG_IGN);
                    const rlimit limit{2, 2};
                    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
                }
                TWatchCalls fail([&](std::string_view call, int fd) {
                    return call == c.call && FileType(fd) == c.type ? c.error : 0;
                });
                errno = 0;
                EXPECT_EQ(WriteFileAtomic(f, "new"), c.saved);
                if (!c.saved) {
                    EXPECT_EQ(errno, c.error);
                }
            },
            10000));
        std::string bytes;
        ASSERT_TRUE(ReadFileBytes(f, bytes));
        EXPECT_EQ(bytes, c.after);
        namespace fs = std::filesystem;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
    }
    if (aclsSkipped) GTEST_SKIP() << "the ACL row did not run: setfacl is missing or the filesystem keeps no ACLs";
}

TEST(Files, OnlyRegularFilesAreRead) {
    TTempFolder dir;
    ASSERT_TRUE(WriteFileAtomic(dir + "real.smi", "<SAMI>"));
    ASSERT_EQ(symlink((dir + "real.smi").c_str(), (dir + "link.smi").c_str()), 0);
    ASSERT_EQ(symlink((dir + "gone.smi").c_str(), (dir + "dangling.smi").c_str()), 0);
    ASSERT_EQ(symlink("/dev/zero", (dir + "zero.smi").c_str()), 0);
    ASSERT_EQ(mkfifo((dir + "fifo.smi").c_str(), 0600), 0);
    ASSERT_EQ(mkdir((dir + "folder.smi").c_str(), 0700), 0);
    const struct {
        std::string path;
        TFileRead read;
        std::string bytes;
    } cases[] = {
        {dir + "real.smi", TFileRead::Ok, "<SAMI>"},
        {dir + "link.smi", TFileRead::Ok, "<SAMI>"},
        {dir + "missing.smi", TFileRead::Missing, ""},
        {dir + "dangling.smi", TFileRead::Missing, ""},
        {dir + "zero.smi", TFileRead::NotRegular, ""},  // read, it never ends
        {dir + "fifo.smi", TFileRead::NotRegular, ""},  // opened without O_NONBLOCK, it waits for a writer
        {dir + "folder.smi", TFileRead::NotRegular, ""},
        {"/dev/null", TFileRead::NotRegular, ""},
        {"/proc/self/clear_refs", TFileRead::Failed, ""},  // a regular file that nobody may read
    };
    // In a child with a deadline: a FIFO that blocks or a device read without end fails the test.
    EXPECT_TRUE(RunInChild(
        [&] {
            // Opening a device can act on it: anything but a regular file is refused unopened.
            TWatchCalls opens([](std::string_view call, int fd) {
                EXPECT_TRUE(call != "open" || FileType(fd) == S_IFREG) << "opened a file of type " << FileType(fd);
                return 0;
            });
            for (const auto& c : cases) {
                SCOPED_TRACE(c.path);
                std::string data = "stale";
                EXPECT_EQ(ReadRegularFile(c.path, data), c.read);
                EXPECT_EQ(data, c.bytes);
                EXPECT_EQ(ReadFileBytes(c.path, data), c.read == TFileRead::Ok);
                EXPECT_EQ(ReadFileHead(c.path, 3, data), c.read == TFileRead::Ok);
                EXPECT_EQ(data, c.bytes.substr(0, 3));
                EXPECT_EQ(FileExists(c.path), c.read == TFileRead::Ok || c.read == TFileRead::Failed);
            }
        },
        10000));
}

TEST(Files, AFileTooLargeToHoldIsReportedNotThrown) {
    if (!kAddressSpaceLimitWorks) GTEST_SKIP() << "RLIMIT_AS cannot be set under AddressSanitizer";
    TTempFolder dir;
    // A sparse file: 1 GiB on paper, no blocks on the disk.
    const std::string big = dir + "big.smi";
    ASSERT_TRUE(WriteFileAtomic(big, "<SAMI>"));
    ASSERT_EQ(truncate(big.c_str(), int64_t{1} << 30), 0);
    EXPECT_TRUE(RunInChild(
        [&] {
            std::string data = "stale";
            EXPECT_EQ(ReadRegularFile(big, data), TFileRead::TooLarge);
            EXPECT_TRUE(data.empty());
            EXPECT_FALSE(ReadFileBytes(big, data));
            // What memory allows is still read.
            EXPECT_EQ(ReadRegularFile(big, data, 4096), TFileRead::Ok);
            EXPECT_EQ(data.substr(0, 6), "<SAMI>");
        },
        10000, size_t{256} << 20));
}

TEST(Files, AFileCutShortWhileItIsReadIsNotRead) {
    TTempFolder dir;
    const std::string f = dir + "cut.smi";
    const size_t size = 200000;  // read in more than one call
    std::string bytes(size, 'x');
    for (size_t i = 0; i < size; i += 7) bytes[i] = static_cast<char>('a' + i % 26);
    const struct {
        const char* what;
        size_t limit;
        off_t sizeAfterFirstRead;  // -1: the file stays
        bool read;
        size_t bytesRead;
    } cases[] = {
        {"cut short", SIZE_MAX, 100000, false, 0},
        {"cut to nothing", SIZE_MAX, 0, false, 0},
        {"cut behind the head read", 80000, 100000, true, 80000},
        {"cut inside the head read", 150000, 100000, false, 0},
        {"grown", SIZE_MAX, 300000, true, size},  // read as it was when opened
        {"left alone", SIZE_MAX, -1, true, size},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteFileAtomic(f, bytes));
        int reads = 0;
        TWatchCalls cut([&](std::string_view call, int fd) {
            if (call == "read" && FileType(fd) == S_IFREG && ++reads == 2 && c.sizeAfterFirstRead >= 0) {
                EXPECT_EQ(truncate(f.c_str(), c.sizeAfterFirstRead), 0);
            }
            return 0;
        });
        std::string data = "stale";
        errno = 0;
        const TFileRead read = ReadRegularFile(f, data, c.limit);
        EXPECT_GE(reads, 2);
        EXPECT_EQ(read, c.read ? TFileRead::Ok : TFileRead::Failed);
        if (!c.read) {
            EXPECT_EQ(errno, ENODATA);
        }
        EXPECT_EQ(data, bytes.substr(0, c.bytesRead));
    }
    // A file that reports size 0 is read to its end.
    std::string status;
    EXPECT_EQ(ReadRegularFile("/proc/self/status", status), TFileRead::Ok);
    EXPECT_EQ(status.substr(0, 5), "Name:");
    EXPECT_EQ(FileSize64("/proc/self/status"), 0);
}
