#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/model/Settings.h"
#include "tests/ChildRun.h"
#include "tests/app/FakeMainView.h"

TEST(Settings, FirstStartGivesDefaults) {
    // No settings file, or no regular file where it should be: the defaults, and no read blocks.
    // A file that cannot be read gives the defaults too, and the close does not write over it.
    // Root reads every file: it acts as user 1234 here.
    const bool root = geteuid() == 0;
    const std::string folder = MakeTempDir();
    ASSERT_EQ(chmod(folder.c_str(), 0777), 0);
    ASSERT_EQ(mkfifo((folder + "fifo.ini").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", (folder + "zero.ini").c_str()), 0);
    const std::string unreadable = "; the user's own\r\n[Other]\r\nKey=1\r\n";
    WriteFile(folder + "unreadable.ini", unreadable);
    if (root) {
        ASSERT_EQ(chown((folder + "unreadable.ini").c_str(), 1234, 1234), 0);
    }
    ASSERT_EQ(chmod((folder + "unreadable.ini").c_str(), 0200), 0);
    const struct {
        const char* name;
        int saved;  // the close's save: 1 written, 0 refused, -1 not tried (a link to a device)
    } rows[] = {{"Morvane.ini", 1}, {"fifo.ini", 0}, {"zero.ini", -1}, {"unreadable.ini", 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(RunInChild(
            [&] {
                if (root) {
                    ASSERT_TRUE(setgroups(0, nullptr) == 0 && setgid(1234) == 0 && setuid(1234) == 0);
                }
                TWindowSettings w;
                w.Width = 465;
                w.Height = 360;
                w.CaptionEditorHeight = 120;
                TCaptionInfo user;
                LoadSettings(folder + row.name, w, user);
                EXPECT_EQ(w.Left, 100);
                EXPECT_EQ(w.Top, 50);
                EXPECT_EQ(w.Width, 465);
                EXPECT_EQ(w.CaptionEditorHeight, 120);
                EXPECT_EQ(user.PreviewPosition, 5);
                EXPECT_EQ(user.TopWindow, 0);
                EXPECT_EQ(user.DisplaySize, 4);
                if (row.saved >= 0) {
                    EXPECT_EQ(SaveSettings(folder + row.name, w, user), row.saved == 1);
                }
            },
            10000));
    }
    ASSERT_EQ(chmod((folder + "unreadable.ini").c_str(), 0600), 0);
    EXPECT_EQ(ReadFile(folder + "unreadable.ini"), unreadable);
    struct stat st;
    ASSERT_EQ(lstat((folder + "fifo.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_NE(ReadFile(folder + "Morvane.ini").find("[Window]\r\nLeft=100\r\n"), std::string::npos);
}

TEST(Settings, PreviewNumbersAreClamped) {
    std::string ini = MakeTempDir() + "Morvane.ini";
    WriteFile(ini, "[Preview]\r\nPosition=12\r\nTopWindow=-1\r\nDisplaySize=3\r\n");
    TWindowSettings w;
    TCaptionInfo user;
    LoadSettings(ini, w, user);
    EXPECT_EQ(user.PreviewPosition, 8);
    EXPECT_EQ(user.TopWindow, 0);
    EXPECT_EQ(user.DisplaySize, 4);
}

TEST(Settings, NoticeTravelsOnOneLine) {
    std::string ini = MakeTempDir() + "Morvane.ini";
    TWindowSettings w{10, 20, 600, 400, 150};
    TCaptionInfo user;
    // A code page 949 name stays as bytes; a pasted line break in it starts no section of its own.
    user.MakerName = "\xB1\xE8\r\n[Window]\r\nLeft=-99999";
    user.MakerMail = "m@x";
    user.Notice = "a\r\nb";
    user.DisplaySize = 2;
    ASSERT_TRUE(SaveSettings(ini, w, user));
    std::string bytes = ReadFile(ini);
    EXPECT_NE(bytes.find("Notice=a\tb\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("[Window]\r\nLeft=10\r\nTop=20\r\nWidth=600\r\nHeight=400\r\nCaptionEditor.Height=150\r\n"),
              std::string::npos);

    TWindowSettings w2;
    TCaptionInfo back;
    LoadSettings(ini, w2, back);
    EXPECT_EQ(back.Notice, "a\r\nb");
    EXPECT_EQ(back.MakerName, "\xB1\xE8  [Window]  Left=-99999");
    EXPECT_EQ(back.MakerMail, "m@x");
    EXPECT_EQ(w2.Left, 10);
    EXPECT_EQ(back.DisplaySize, 2);
    EXPECT_EQ(w2.Height, 400);
    EXPECT_FALSE(SaveSettings("/nonexistent-dir/Morvane.ini", w, user));
}
