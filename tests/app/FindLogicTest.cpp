#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "app/model/CaptionRows.h"
#include "app/model/FindLogic.h"
#include "document/QzCaption.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "tests/ChildRun.h"
#include "tests/TempFolder.h"

namespace {

TFindHistory HistoryOf(std::initializer_list<const char*> words)
{
    TStringList items;
    for (const char* w : words)
        items.Add(w);
    TFindHistory h;
    h.Assign(items);
    return h;
}

// Rows 1..count with the texts given by `text(row)`, behind the banner row.
template <typename F>
TCaptionRows RowsOf(int count, F text)
{
    TCaptionRows rows;
    rows.AddBannerRow();
    for (int i = 1; i <= count; ++i)
        rows.Append(TQzCaption::GetSyncWidth(i * 1000), text(i));
    return rows;
}

}  // namespace

TEST(FindHistory, RecordMovesTheWordToTheTopIgnoringCaseAndKeepsTwenty)
{
    TFindHistory h = HistoryOf({"one", "two", "three", "four", "five", "six"});
    EXPECT_TRUE(h.Record("five"));
    EXPECT_EQ(h.Items().Strings, (std::vector<std::string>{"five", "one", "two", "three", "four", "six"}));
    // The item that differs only in case is replaced by the word as typed.
    EXPECT_TRUE(h.Record("TWO"));
    EXPECT_EQ(h.Items().Strings, (std::vector<std::string>{"TWO", "five", "one", "three", "four", "six"}));
    EXPECT_FALSE(h.Record(""));
    EXPECT_EQ(h.Count(), 6);

    TFindHistory full;
    for (int i = 0; i < 25; ++i)
        full.Record("w" + std::to_string(i));
    ASSERT_EQ(full.Count(), FindHistoryMax);
    EXPECT_EQ(full.Items()[0], "w24");
    EXPECT_EQ(full.Items()[19], "w5");
}

TEST(FindHistory, FileOfThirtyLinesIsReadWholeAndCutToTwentyOnTheNextSearch)
{
    const TTempFolder dir("findlogic");
    const std::string path = dir + FindHistoryFileName;
    std::string bytes;
    for (int i = 0; i < 30; ++i)
        bytes += "word" + std::to_string(i) + (i % 2 ? "\r\n" : "\n");
    ASSERT_TRUE(WriteFileAtomic(path, bytes));

    TFindHistory h;
    ASSERT_TRUE(h.LoadFromFile(path));
    EXPECT_EQ(h.Count(), 30);
    h.Record("word3");
    ASSERT_EQ(h.Count(), 20);
    EXPECT_EQ(h.Items()[0], "word3");
    EXPECT_EQ(h.Items()[1], "word0");
    EXPECT_EQ(h.Items()[19], "word19");

    ASSERT_TRUE(h.SaveToFile(path));
    std::string saved;
    ASSERT_TRUE(ReadFileBytes(path, saved));
    std::string expected = "word3\r\n";
    for (int i = 0; i < 20; ++i)
        if (i != 3)
            expected += "word" + std::to_string(i) + "\r\n";
    EXPECT_EQ(saved, expected);
}

TEST(FindHistory, MissingFileGivesAnEmptyHistoryAndAFailedWriteKeepsTheOldFile)
{
    const TTempFolder dir("findlogic");
    // No regular file where the history should be counts as none, and no read blocks.
    ASSERT_EQ(mkfifo((dir + "fifo.his").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", (dir + "zero.his").c_str()), 0);
    for (const char* name : {"missing.his", "fifo.his", "zero.his"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(RunInChild(
            [&] {
                TFindHistory h = HistoryOf({"kept"});
                EXPECT_FALSE(h.LoadFromFile(dir + name));
                EXPECT_EQ(h.Count(), 0);
            },
            10000));
    }

    const std::string path = dir + FindHistoryFileName;
    ASSERT_TRUE(HistoryOf({"old"}).SaveToFile(path));
    // A folder where the file should be cannot be replaced by a file.
    EXPECT_FALSE(HistoryOf({"new"}).SaveToFile(dir + "no/such/folder/" + FindHistoryFileName));
    std::string saved;
    ASSERT_TRUE(ReadFileBytes(path, saved));
    EXPECT_EQ(saved, "old\r\n");

    const std::string korean = Cp949("한글 단어");
    ASSERT_TRUE(HistoryOf({korean.c_str(), "abc"}).SaveToFile(path));
    TFindHistory back;
    ASSERT_TRUE(back.LoadFromFile(path));
    EXPECT_EQ(back.Items().Strings, (std::vector<std::string>{korean, "abc"}));
}

TEST(FindHistory, CompletionTakesTheFirstLongerItemWithTheTypedPrefix)
{
    TFindHistory h = HistoryOf({"", "abc", "abd", "abcdef"});
    EXPECT_EQ(h.Completion("ab"), "c");
    // An item equal to the typed text is skipped and later items are tried.
    EXPECT_EQ(h.Completion("abc"), "def");
    EXPECT_EQ(h.Completion("abd"), "");
    // Case-sensitive over the typed length.
    EXPECT_EQ(h.Completion("AB"), "");
    EXPECT_EQ(h.Completion(""), "");
    EXPECT_EQ(h.Completion("x"), "");

    const std::string han = Cp949("한글");
    const std::string hanWord = Cp949("한글자막");
    TFindHistory k = HistoryOf({hanWord.c_str()});
    EXPECT_EQ(k.Completion(han), Cp949("자막"));
}

TEST(FindText, CaseRulesAndDoubleByteCharactersAreNeverSplit)
{
    EXPECT_TRUE(TextContainsWord("xx abc yy", "ABC", false));
    EXPECT_FALSE(TextContainsWord("xx abc yy", "ABC", true));
    EXPECT_TRUE(TextContainsWord("xx abc yy", "abc", true));
    EXPECT_TRUE(TextContainsWord("first<BR>second", "<br>sec", false));
    EXPECT_FALSE(TextContainsWord("abc", "", false));
    EXPECT_FALSE(TextContainsWord("ab", "abc", false));

    const std::string text = Cp949("오늘은 한글 자막");
    EXPECT_TRUE(TextContainsWord(text, Cp949("한글"), true));
    EXPECT_TRUE(TextContainsWord(text, Cp949("한글"), false));
    EXPECT_FALSE(TextContainsWord(text, Cp949("한국"), false));

    // "가나" is B0 A1 B3 AA: the middle bytes A1 B3 are no character of the text.
    const std::string ganada = Cp949("가나");
    ASSERT_EQ(ganada, "\xB0\xA1\xB3\xAA");
    EXPECT_FALSE(TextContainsWord(ganada, "\xA1\xB3", true));
    EXPECT_FALSE(TextContainsWord(ganada, "\xA1\xB3", false));
    // Extended syllables have ASCII letters as trail bytes: 81 41 is one character, not "A".
    const std::string ext = "x\x81\x41y";
    EXPECT_FALSE(TextContainsWord(ext, "A", true));
    EXPECT_FALSE(TextContainsWord(ext, "a", false));
    EXPECT_TRUE(TextContainsWord(ext, "\x81\x41", false));
    // Ignoring case never folds a trail byte: 81 61 is another character than 81 41.
    EXPECT_FALSE(TextContainsWord(ext, "\x81\x61", false));
    EXPECT_TRUE(TextContainsWord("xA", "a", false));
}

TEST(FindRows, UpwardFromRowSevenSearchesSixDownToOneWithoutWrapping)
{
    const TCaptionRows rows = RowsOf(10, [](int i) { return i == 3 || i == 7 || i == 9 ? "hit " + std::to_string(i) : std::string("miss"); });
    EXPECT_EQ(FindCaptionRow(rows, "hit", 7, true, false), 3);
    EXPECT_EQ(FindCaptionRow(rows, "hit", 3, true, false), -1);
    EXPECT_EQ(FindCaptionRow(rows, "hit", 7, false, false), 9);
    EXPECT_EQ(FindCaptionRow(rows, "hit", 9, false, false), -1);
    // From the start: downward from row 1, upward from the last row.
    EXPECT_EQ(FindCaptionRow(rows, "hit", 0, false, false), 3);
    EXPECT_EQ(FindCaptionRow(rows, "hit", 0, true, false), 9);
    EXPECT_EQ(FindCaptionRow(rows, "HIT", 0, false, true), -1);
    // A stale selection past the end counts as the last row, which is itself not searched.
    const TCaptionRows tail = RowsOf(4, [](int i) { return i >= 3 ? std::string("hit") : std::string("miss"); });
    EXPECT_EQ(FindCaptionRow(tail, "hit", 50, true, false), 3);
    EXPECT_EQ(FindCaptionRow(tail, "hit", 50, false, false), -1);
}

TEST(FindRows, TheBannerRowIsNeverSearched)
{
    const TCaptionRows rows = RowsOf(3, [](int) { return std::string("caption"); });
    const std::string banner = rows[0].Text;
    ASSERT_FALSE(banner.empty());
    EXPECT_EQ(FindCaptionRow(rows, banner, 0, false, false), -1);
    EXPECT_EQ(FindCaptionRow(rows, banner, 2, true, false), -1);
    EXPECT_EQ(FindCaptionRow(rows, "caption", 1, true, false), -1);

    TCaptionRows onlyBanner;
    onlyBanner.AddBannerRow();
    EXPECT_EQ(FindCaptionRow(onlyBanner, "caption", 0, false, false), -1);
    EXPECT_EQ(FindCaptionRow(TCaptionRows(), "caption", 0, true, false), -1);
}

TEST(FindRows, AListOfOneCaption)
{
    const TCaptionRows rows = RowsOf(1, [](int) { return std::string("only hit"); });
    EXPECT_EQ(FindCaptionRow(rows, "hit", 0, false, false), 1);
    EXPECT_EQ(FindCaptionRow(rows, "hit", 0, true, false), 1);
    // From the caption itself there is nothing further either way.
    EXPECT_EQ(FindCaptionRow(rows, "hit", 1, false, false), -1);
    EXPECT_EQ(FindCaptionRow(rows, "hit", 1, true, false), -1);
    EXPECT_EQ(FindCaptionRow(rows, "miss", 0, false, false), -1);
}
