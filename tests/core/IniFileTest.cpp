#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/core/FileUtils.h"
#include "platform/core/IniFile.h"
#include "tests/TempFolder.h"

namespace {
std::string TempFile(const TTempFolder& dir, const char* content) {
    std::string f = dir + "Morvane.ini";
    WriteFileAtomic(f, content);
    return f;
}
}  // namespace

TEST(IniFile, ProfileStringRules) {
    TTempFolder dir;
    std::string f = TempFile(dir, "; settings\r\n[window]\r\nLeft = 10 \r\nleft=99\r\nName=\"a b\"\r\n[Preview]\r\nPosition=x\r\n");
    TIniFile ini(f);
    EXPECT_EQ(ini.ReadInteger("WINDOW", "LEFT", 0), 10);  // first occurrence wins, case ignored
    EXPECT_EQ(ini.ReadString("Window", "Name", ""), "a b");
    EXPECT_EQ(ini.ReadInteger("Preview", "Position", 5), 5);  // not a number
    EXPECT_EQ(ini.ReadString("User", "Name", "dflt"), "dflt");
    EXPECT_TRUE(ini.ValueExists("preview", "position"));
    EXPECT_EQ(ini.ReadSection("Window").size(), 2u);
}

TEST(IniFile, WritesKeepOtherLinesAndBytes) {
    TTempFolder dir;
    std::string f = TempFile(dir, "; keep me\r\n[Window]\r\nLeft=10\r\n\r\n[Other]\r\nx=1\r\n");
    {
        TIniFile ini(f);
        ini.WriteInteger("window", "Left", 20);
        ini.WriteString("Window", "Top", "\xB8\xDE");
        // A pasted line break must not start a line, a key or a section of its own.
        ini.WriteString("User", "Name", "bob\r\n[Window]\r\nLeft=-99999");
        ini.WriteBool("User", "Auto", true);
        ASSERT_TRUE(ini.UpdateFile());
    }
    std::string data;
    ASSERT_TRUE(ReadFileBytes(f, data));
    EXPECT_EQ(data, "; keep me\r\n[Window]\r\nLeft=20\r\nTop=\xB8\xDE\r\n\r\n[Other]\r\nx=1\r\n"
                    "[User]\r\nName=bob  [Window]  Left=-99999\r\nAuto=1\r\n");
    TIniFile again(f);
    EXPECT_TRUE(again.ReadBool("User", "Auto", false));
    EXPECT_EQ(again.ReadInteger("Window", "Left", 0), 20);
    EXPECT_EQ(again.ReadSection("User").size(), 2u);
}

TEST(IniFile, DeletingErasingBooleansAndTheDestructorsWrite) {
    TTempFolder dir;
    std::string f = TempFile(dir, "[A]\r\nx=1\r\nX=2\r\nflag=0\r\nword=yes\r\n[B]\r\ny=3\r\n");
    {
        TIniFile ini(f);
        EXPECT_TRUE(ini.SectionExists("a"));
        EXPECT_FALSE(ini.SectionExists("C"));
        EXPECT_FALSE(ini.ReadBool("A", "flag", true));
        EXPECT_TRUE(ini.ReadBool("A", "x", false));
        EXPECT_TRUE(ini.ReadBool("A", "word", true));  // not a number: the default
        EXPECT_FALSE(ini.ReadBool("A", "word", false));
        ini.DeleteKey("a", "X");  // the first occurrence goes, and the duplicate is read from now on
        EXPECT_EQ(ini.ReadInteger("A", "x", 0), 2);
        ini.DeleteKey("A", "none");
        ini.DeleteKey("none", "x");
        ini.EraseSection("b");
        EXPECT_FALSE(ini.SectionExists("B"));
        EXPECT_TRUE(ini.ReadSection("B").empty());
        ini.WriteBool("A", "flag", true);
        ini.WriteBool("A", "new", false);
    }
    std::string data;
    ASSERT_TRUE(ReadFileBytes(f, data));
    EXPECT_EQ(data, "[A]\r\nX=2\r\nflag=1\r\nword=yes\r\nnew=0\r\n");

    TIniFile nowhere(dir + "no/such/folder/Morvane.ini");
    EXPECT_TRUE(nowhere.UpdateFile());  // nothing changed: nothing to write
    nowhere.WriteString("S", "k", "v");
    EXPECT_FALSE(nowhere.UpdateFile());
}
