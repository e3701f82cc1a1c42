// Line and selection rewrites of the editor model, and the number format they use.

#include "QzPadTestUtil.h"

#include "editor/model/QzPadFormat.h"
#include "editor/model/QzPadTransform.h"
#include "platform/core/Cp949.h"
#include "platform/core/SysUtils.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

class TransformTest : public PadTest {
protected:
    TQzPadTransform tx{pad};

    std::string TempFile(const std::string& name, const std::string& bytes) {
        std::string path = ::testing::TempDir() + "/qzpadtx_" + std::to_string(getpid()) + "_" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
};

using V = std::vector<std::string>;

}  // namespace

TEST(QzPadFormat, IntegerAndFloatConversions)
{
    EXPECT_EQ(QzFormatInt("%d.", 7), "7.");
    EXPECT_EQ(QzFormatInt("%.3d", 7), "007");
    EXPECT_EQ(QzFormatInt("%5d|%%", -7), "   -7|%");
    EXPECT_EQ(QzFormatInt("%-4d|", 7), "7   |");
    EXPECT_EQ(QzFormatInt("%x", 255), "FF");
    EXPECT_EQ(QzFormatInt("%0:d-%0:d", 3), "3-3");
    EXPECT_EQ(QzFormatFloat("%.2f", 0.5), "0.50");
    EXPECT_EQ(QzFormatFloat("%f", 1), "1.00");
    EXPECT_EQ(QzFormatFloat("%n", 1234567.891), "1,234,567.89");
    EXPECT_EQ(QzFormatFloat("%.3e", 1500), "1.50E+003");
    EXPECT_EQ(QzFormatFloat("no number", 1), "no number");
}

TEST(QzPadFormat, BadFormatsAreConvertErrors)
{
    EXPECT_THROW(QzFormatFloat("%d", 1.0), EConvertError);   // integer type, floating argument
    EXPECT_THROW(QzFormatInt("%f", 1), EConvertError);
    EXPECT_THROW(QzFormatInt("%d %d", 1), EConvertError);    // one argument only
    EXPECT_THROW(QzFormatInt("%s", 1), EConvertError);
    EXPECT_THROW(QzFormatInt("%*d", 1), EConvertError);
    EXPECT_THROW(QzFormatInt("abc%", 1), EConvertError);
    EXPECT_THROW(QzFormatInt("%1:d", 1), EConvertError);

    // The integer path is chosen only by "%[.0-9]*[dux]": "%-3d" goes the floating way and fails.
    EXPECT_TRUE(CheckFormat("%03d", 1.5));
    EXPECT_FALSE(CheckFormat("%-3d", 1.5));
    EXPECT_EQ(FormatIncNo("%d", 2.5), "2");
    EXPECT_EQ(FormatIncNo("%d", -2.5), "-2");
    EXPECT_FALSE(CheckFormat("%d", 1e300));  // beyond 64 bits: refused, not undefined
}

TEST_F(TransformTest, InsertAutoNumberInsertsLinesAndUndoesInOneStep)
{
    SetText({"head", "tail"});
    Caret(0, 1);
    ASSERT_TRUE(tx.InsertAutoNumber("%d.", 1, 1, 3));
    EXPECT_EQ(Lines(), (V{"head", "1.", "2.", "3.", "tail"}));
    EXPECT_EQ(pad.CaretPos(), TPoint(0, 4));
    EXPECT_FALSE(pad.GetSelectAvail());
    pad.Undo();
    EXPECT_EQ(Lines(), (V{"head", "tail"}));

    SetText({""});
    ASSERT_TRUE(tx.InsertAutoNumber("%.2f", 0.5, 0.25, 3));
    EXPECT_EQ(Lines(), (V{"0.50", "0.75", "1.00", ""}));

    SetText({""});
    ASSERT_TRUE(tx.InsertAutoNumber("%d", 2.5, 1, 3));
    EXPECT_EQ(Lines(), (V{"2", "3", "4", ""}));
}

TEST_F(TransformTest, InsertAutoNumberIsOneMacroStep)
{
    struct Recorder : IQzPadMacroRecorder {
        std::vector<std::pair<TQzPadCommand, std::string>> steps;
        bool Recording() const override { return true; }
        void AddStep(TQzPadCommand c, TPoint, TPoint, TPoint, const std::string& text) override {
            steps.emplace_back(c, text);
        }
    } recorder;
    pad.SetMacro(&recorder);
    SetText({""});
    ASSERT_TRUE(tx.InsertAutoNumber("%d)", 1, 2, 2));
    pad.SetMacro(nullptr);
    ASSERT_EQ(recorder.steps.size(), 1u);
    EXPECT_EQ(recorder.steps[0].first, qzcInsertBlock);
    EXPECT_EQ(recorder.steps[0].second, "1)\r\n3)\r\n");
}

TEST_F(TransformTest, InsertAutoNumberReplacesSelectionAndRefusesBadFormatOrReadOnly)
{
    SetText({"abcdef"});
    Select(TPoint(1, 0), TPoint(3, 0));
    ASSERT_TRUE(tx.InsertAutoNumber("[%d]", 9, 1, 1));
    EXPECT_EQ(Lines(), (V{"a[9]", "def"}));
    pad.Undo();
    EXPECT_EQ(Lines(), (V{"abcdef"}));

    SetText({"x"});
    EXPECT_FALSE(tx.InsertAutoNumber("%s", 1, 1, 3));
    pad.SetOptions(pad.Options().With(qzoReadOnly));
    EXPECT_FALSE(tx.InsertAutoNumber("%d", 1, 1, 3));
    EXPECT_EQ(Lines(), (V{"x"}));
}

TEST_F(TransformTest, AlignLineRightCentreLeft)
{
    pad.SetColumnCount(10);
    SetText({"  abc", " \tx  ", "0123456789AB  "});
    Caret(0, 0);
    tx.AlignLine(qztaRightJustify);
    EXPECT_EQ(Lines()[0], "       abc");

    Select(TPoint(0, 0), TPoint(2, 2));
    tx.AlignLine(qztaCenter);
    EXPECT_EQ(Lines(), (V{"   abc   ", "    x    ", "0123456789AB"}));  // too wide: only trimmed
    EXPECT_EQ(pad.GetSelStart(), TPoint(0, 0));
    EXPECT_EQ(pad.GetSelEnd(), TPoint(2, 2));

    tx.AlignLine(qztaLeftJustify);
    EXPECT_EQ(Lines(), (V{"abc   ", "x    ", "0123456789AB"}));
    pad.Undo();
    EXPECT_EQ(Lines(), (V{"   abc   ", "    x    ", "0123456789AB"}));

    pad.SetOptions(pad.Options().With(qzoReadOnly));
    tx.AlignLine(qztaRightJustify);
    EXPECT_EQ(Lines()[0], "   abc   ");
}

TEST_F(TransformTest, JoinLinesKeepsTheSelectedTextSelected)
{
    SetText({"one", "two", "three", "four"});
    Select(TPoint(1, 0), TPoint(2, 2));
    tx.JoinLines();
    EXPECT_EQ(Lines(), (V{"onetwothree", "four"}));
    EXPECT_EQ(pad.GetSelStart(), TPoint(1, 0));
    EXPECT_EQ(pad.GetSelEnd(), TPoint(8, 0));  // "th" of three ends at column 8
    EXPECT_EQ(pad.CaretPos(), TPoint(8, 0));
    pad.Undo();
    EXPECT_EQ(Lines(), (V{"one", "two", "three", "four"}));

    pad.SelectNone();
    tx.JoinLines();  // needs a selection
    EXPECT_EQ(pad.Lines().Count(), 4);
}

TEST_F(TransformTest, FillBlockOptions)
{
    SetText({"0123456789", "0123456789", "01"});
    pad.SetBlockMode(qzbmColumn);
    Select(TPoint(2, 0), TPoint(6, 1));
    ASSERT_TRUE(tx.FillBlock("ab", pfboFillAll, 0, 0));
    EXPECT_EQ(Lines(), (V{"01abab23456789", "01abab23456789", "01"}));  // insert mode keeps the old bytes

    SetText({"0123456789", "0123456789", "0"});
    pad.SetEditMode(qzmOverwrite);
    Select(TPoint(2, 0), TPoint(7, 2));
    ASSERT_TRUE(tx.FillBlock("ab", pfboFillAll, 0, 0));
    EXPECT_EQ(Lines(), (V{"01ababa789", "01ababa789", "0 ababa"}));  // short line padded first
    EXPECT_EQ(pad.BlockMode(), qzbmColumn);
    EXPECT_EQ(pad.SelAnchor(), TPoint(2, 0));
    EXPECT_EQ(pad.SelMovingEnd(), TPoint(7, 2));

    ASSERT_TRUE(tx.FillBlock("x", pfboRightALign | pfboLeftAlign, 0, 0));  // left wins
    EXPECT_EQ(Lines()[0], "01x    789");
    ASSERT_TRUE(tx.FillBlock("x", pfboRightALign, 0, 0));
    EXPECT_EQ(Lines()[0], "01    x789");
    ASSERT_TRUE(tx.FillBlock("%.2d", pfboUseAutoInc | pfboLeftAlign, 8, 1));
    EXPECT_EQ(Lines(), (V{"0108   789", "0109   789", "0 10   "}));
    EXPECT_FALSE(tx.FillBlock("%s", pfboUseAutoInc | pfboLeftAlign, 8, 1));
    pad.Undo();
    EXPECT_EQ(Lines()[0], "01    x789");

    pad.SetBlockMode(qzbmLine);
    EXPECT_FALSE(tx.FillBlock("ab", pfboFillAll, 0, 0));
}

TEST_F(TransformTest, FillBlockNeverSplitsADoubleByteCharacter)
{
    const std::string han = Cp949("가");
    SetText({"0123456789"});
    pad.SetBlockMode(qzbmColumn);
    pad.SetEditMode(qzmOverwrite);
    Select(TPoint(0, 0), TPoint(3, 0));
    ASSERT_TRUE(tx.FillBlock(han, pfboFillAll, 0, 0));
    EXPECT_EQ(Lines()[0], han + " 3456789");
}

TEST_F(TransformTest, SortRangesAndUndo)
{
    SetText({"pear", "Apple", "fig", "banana"});
    Select(TPoint(1, 0), TPoint(3, 0));
    tx.Sort(false);  // a selection within one line sorts nothing
    EXPECT_EQ(Lines(), (V{"pear", "Apple", "fig", "banana"}));

    pad.SelectNone();
    tx.Sort(false);
    EXPECT_EQ(Lines(), (V{"Apple", "banana", "fig", "pear"}));
    pad.Undo();
    EXPECT_EQ(Lines(), (V{"pear", "Apple", "fig", "banana"}));

    Select(TPoint(2, 1), TPoint(1, 3));
    pad.SetOptions(pad.Options().With(qzoReadOnly));  // sorting ignores read-only
    tx.Sort(true);
    EXPECT_EQ(Lines(), (V{"pear", "fig", "banana", "Apple"}));
    EXPECT_EQ(pad.GetSelStart(), TPoint(0, 1));
    EXPECT_EQ(pad.GetSelEnd(), TPoint(5, 3));
}

TEST_F(TransformTest, BookmarksStayWithTheirLines)
{
    SetText({"pear", "apple", "fig"});
    pad.SetBookmark(0, 3);
    pad.SetBookmark(2, 5);
    pad.SelectNone();
    tx.Sort(false);
    EXPECT_EQ(Lines(), (V{"apple", "fig", "pear"}));
    EXPECT_EQ(pad.FindBookmark(3), 2);
    EXPECT_EQ(pad.FindBookmark(5), 1);

    pad.SetColumnCount(8);
    Select(TPoint(0, 0), TPoint(2, 2));
    tx.AlignLine(qztaRightJustify);
    EXPECT_EQ(pad.FindBookmark(3), 2);
    EXPECT_EQ(pad.FindBookmark(5), 1);
    EXPECT_EQ(pad.GetBookmarkStr(), "1:5,2:3");
}

TEST_F(TransformTest, ConvertSelTextStreamAndColumn)
{
    SetText({"hello world", "middle", "last line"});
    Select(TPoint(6, 0), TPoint(4, 2));
    tx.ConvertSelText(ptctUpper);
    EXPECT_EQ(Lines(), (V{"hello WORLD", "MIDDLE", "LAST line"}));
    EXPECT_EQ(pad.GetSelStart(), TPoint(6, 0));
    EXPECT_EQ(pad.GetSelEnd(), TPoint(4, 2));
    tx.ConvertSelText(ptctInvert);
    EXPECT_EQ(Lines(), (V{"hello world", "middle", "last line"}));
    pad.Undo();
    EXPECT_EQ(Lines(), (V{"hello WORLD", "MIDDLE", "LAST line"}));

    SetText({"abc def", "ghi jkl"});
    pad.SetBlockMode(qzbmColumn);
    Select(TPoint(1, 0), TPoint(6, 1));
    tx.ConvertSelText(ptctCapitalize);
    EXPECT_EQ(Lines(), (V{"aBc Def", "gHi Jkl"}));
}

TEST_F(TransformTest, ConvertSelTextUsesCaretColumnsOnLinesWithTabs)
{
    pad.SetTabSize(4);
    SetText({"\tabc"});
    Select(TPoint(4, 0), TPoint(5, 0));  // the caret columns of "a"
    tx.ConvertSelText(ptctUpper);
    EXPECT_EQ(Lines()[0], "    Abc");
}

TEST_F(TransformTest, TabToSpaceIsOneUndoStep)
{
    pad.SetTabSize(4);
    SetText({"\tx", "a\tb", "plain"});
    Select(TPoint(1, 1), TPoint(2, 2));
    const int undo = pad.UndoItems().Count();
    tx.TabToSpace();
    EXPECT_EQ(Lines(), (V{"    x", "a   b", "plain"}));
    ASSERT_EQ(pad.UndoItems().Count(), undo + 2);
    EXPECT_EQ(pad.UndoItems().Last()->Command, qzcOverwriteBlock);
    EXPECT_TRUE(pad.Modified());
    pad.Undo();
    EXPECT_EQ(Lines(), (V{"\tx", "a\tb", "plain"}));
    EXPECT_EQ(pad.UndoItems().Count(), undo);
    EXPECT_EQ(pad.SelAnchor(), TPoint(1, 1));
    EXPECT_EQ(pad.SelMovingEnd(), TPoint(2, 2));
    // Once the tabs are gone a second call changes nothing and records nothing.
    tx.TabToSpace();
    tx.TabToSpace();
    EXPECT_EQ(pad.UndoItems().Count(), undo + 2);
}

TEST_F(TransformTest, InsertFileAtTopCaretAndEnd)
{
    const std::string file = TempFile("ins.txt", "f1\r\nf2\n");
    SetText({"abcd", "last"});
    Caret(2, 0);
    ASSERT_TRUE(tx.InsertFile(file, pfpCurrent));
    EXPECT_EQ(Lines(), (V{"ab", "f1", "f2", "cd", "last"}));
    pad.Undo();
    EXPECT_EQ(Lines(), (V{"abcd", "last"}));

    ASSERT_TRUE(tx.InsertFile(file, pfpTop));
    EXPECT_EQ(Lines(), (V{"f1", "f2", "abcd", "last"}));

    SetText({"abcd", "last"});
    ASSERT_TRUE(tx.InsertFile(file, pfpEnd));
    EXPECT_EQ(Lines(), (V{"abcd", "last", "f1", "f2"}));
    // An empty last line is a line too: the file goes after it.
    SetText({"a", ""});
    ASSERT_TRUE(tx.InsertFile(file, pfpEnd));
    EXPECT_EQ(Lines(), (V{"a", "", "f1", "f2"}));
    pad.Undo();
    EXPECT_EQ(Lines(), (V{"a", ""}));

    EXPECT_FALSE(tx.InsertFile(file + ".missing", pfpTop));
    EXPECT_EQ(Lines(), (V{"a", ""}));
    std::remove(file.c_str());
}

TEST_F(TransformTest, ReloadReadsTheFileAgainAndKeepsTheCaret)
{
    const std::string file = TempFile("reload.txt", "one\r\ntwo\r\nthree\r\n");
    pad.SetFileName(file);
    ASSERT_TRUE(tx.Reload());
    EXPECT_EQ(Lines(), (V{"one", "two", "three"}));
    Caret(2, 1);
    pad.SetLine(1, "changed");
    ASSERT_TRUE(tx.Reload());
    EXPECT_EQ(Lines(), (V{"one", "two", "three"}));
    EXPECT_EQ(pad.CaretPos(), TPoint(2, 1));
    EXPECT_FALSE(pad.Modified());

    std::remove(file.c_str());
    pad.SetLine(0, "kept");
    EXPECT_FALSE(tx.Reload());  // a file that is gone leaves the text alone
    EXPECT_EQ(Lines()[0], "kept");
    pad.SetFileName("/proc/self/clear_refs");  // one that cannot be read does too
    EXPECT_FALSE(tx.Reload());
    EXPECT_EQ(Lines()[0], "kept");
}
