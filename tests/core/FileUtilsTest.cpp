#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <tuple>

#include "platform/core/FileUtils.h"
#include "tests/ChildRun.h"
#include "tests/TempFolder.h"

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
}

TEST(Files, AnUnprivilegedSaverKeepsTheGroupItBelongsTo) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as two users";
    TTempFolder dir;
    ASSERT_EQ(chmod(dir.Path().c_str(), 0777), 0);
    // A shared group's file and a foreign group's file with its set-group-id bit, both of
    // another owner, saved by user 1234 of group 1234 who also belongs to group 5678.
    const std::string shared = dir + "shared.smi", foreign = dir + "foreign.smi";
    for (const auto& [path, gid, mode] : {std::tuple{shared, 5678, 0664}, std::tuple{foreign, 9999, 02666}}) {
        ASSERT_TRUE(WriteFileAtomic(path, "old"));
        ASSERT_EQ(chown(path.c_str(), 4321, static_cast<gid_t>(gid)), 0);
        ASSERT_EQ(chmod(path.c_str(), static_cast<mode_t>(mode)), 0);
    }
    pid_t child = fork();
    if (child == 0) {
        const gid_t groups[] = {1234, 5678};
        bool ok = setgroups(2, groups) == 0 && setgid(1234) == 0 && setuid(1234) == 0 &&
                  WriteFileAtomic(shared, "new") && WriteFileAtomic(foreign, "new");
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    struct stat st;
    ASSERT_EQ(stat(shared.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, 5678u);
    EXPECT_EQ(st.st_mode & 07777, 0664u);
    ASSERT_EQ(stat(foreign.c_str(), &st), 0);
    EXPECT_EQ(st.st_gid, 1234u);
    EXPECT_EQ(st.st_mode & 07777, 0666u);  // the set-group-id bit went with the group
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
    struct Case { const char* link; bool saved; const char* target; } cases[] = {
        {"link.smi", true, "real.smi"},
        {"sub/chain.smi", true, "real.smi"},
        {"dangling.smi", true, "sub/new.smi"},
        {"nofolder.smi", false, "missing/new.smi"},
        {"loop.smi", false, "loop.smi"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        EXPECT_EQ(WriteFileAtomic(dir + c.link, c.link), c.saved);
        struct stat st;
        ASSERT_EQ(lstat((dir + c.link).c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode));
        std::string data;
        EXPECT_EQ(ReadFileBytes(dir + c.target, data), c.saved);
        if (c.saved) {
            EXPECT_EQ(data, c.link);
        }
    }
    // No temporary file is left behind: the six names above and sub/chain.smi, sub/new.smi.
    namespace fs = std::filesystem;
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(dir.Path()), fs::recursive_directory_iterator()), 8);
}

TEST(Files, FailedWriteLeavesNothingBehind) {
    EXPECT_FALSE(WriteFileAtomic("/nonexistent-dir/x.smi", "data"));
    std::string data = "stale";
    EXPECT_FALSE(ReadFileBytes("/nonexistent-dir/x.smi", data));
    EXPECT_TRUE(data.empty());
    EXPECT_EQ(FileSize64("/nonexistent-dir/x.smi"), -1);
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
