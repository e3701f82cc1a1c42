#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

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

TEST(Files, AtomicWriteKeepsModeAndReplacesContent) {
    TTempFolder dir;
    std::string f = dir + "x.smi";
    ASSERT_TRUE(WriteFileAtomic(f, "one"));
    chmod(f.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomic(f, std::string("tw\0o", 4)));
    std::string data;
    ASSERT_TRUE(ReadFileBytes(f, data));
    EXPECT_EQ(data, std::string("tw\0o", 4));
    struct stat st;
    ASSERT_EQ(stat(f.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(FileSize64(f), 4);
    EXPECT_TRUE(FileExists(f));
    EXPECT_FALSE(FileExists(dir.Path()));
    EXPECT_TRUE(DirectoryExists(dir.Path()));
}

TEST(Files, AtomicWriteGoesThroughASymbolicLink) {
    TTempFolder dir;
    ASSERT_TRUE(WriteFileAtomic(dir + "real.smi", "old"));
    ASSERT_EQ(symlink((dir + "real.smi").c_str(), (dir + "link.smi").c_str()), 0);
    ASSERT_TRUE(WriteFileAtomic(dir + "link.smi", "new"));
    struct stat st;
    ASSERT_EQ(lstat((dir + "link.smi").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    std::string data;
    ASSERT_TRUE(ReadFileBytes(dir + "real.smi", data));
    EXPECT_EQ(data, "new");
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
