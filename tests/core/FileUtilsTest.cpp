#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/core/FileUtils.h"
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
