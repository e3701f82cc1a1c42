#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/core/FileUtils.h"
#include "platform/core/IniFile.h"

namespace {
std::string TempFile(const char* content) {
    char tmpl[] = "/tmp/morvane-ini-XXXXXX";
    std::string f = std::string(mkdtemp(tmpl)) + "/Morvane.ini";
    WriteFileAtomic(f, content);
    return f;
}
}  // namespace

TEST(IniFile, ProfileStringRules) {
    std::string f = TempFile("; settings\r\n[window]\r\nLeft = 10 \r\nleft=99\r\nName=\"a b\"\r\n[Preview]\r\nPosition=x\r\n");
    TIniFile ini(f);
    EXPECT_EQ(ini.ReadInteger("WINDOW", "LEFT", 0), 10);  // first occurrence wins, case ignored
    EXPECT_EQ(ini.ReadString("Window", "Name", ""), "a b");
    EXPECT_EQ(ini.ReadInteger("Preview", "Position", 5), 5);  // not a number
    EXPECT_EQ(ini.ReadString("User", "Name", "dflt"), "dflt");
    EXPECT_TRUE(ini.ValueExists("preview", "position"));
    EXPECT_EQ(ini.ReadSection("Window").size(), 2u);
}

TEST(IniFile, WritesKeepOtherLinesAndBytes) {
    std::string f = TempFile("; keep me\r\n[Window]\r\nLeft=10\r\n\r\n[Other]\r\nx=1\r\n");
    {
        TIniFile ini(f);
        ini.WriteInteger("window", "Left", 20);
        ini.WriteString("Window", "Top", "\xB8\xDE");
        ini.WriteBool("User", "Auto", true);
        ASSERT_TRUE(ini.UpdateFile());
    }
    std::string data;
    ASSERT_TRUE(ReadFileBytes(f, data));
    EXPECT_EQ(data, "; keep me\r\n[Window]\r\nLeft=20\r\nTop=\xB8\xDE\r\n\r\n[Other]\r\nx=1\r\n[User]\r\nAuto=1\r\n");
    TIniFile again(f);
    EXPECT_TRUE(again.ReadBool("User", "Auto", false));
}
