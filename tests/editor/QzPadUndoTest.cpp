// Undo after each kind of edit.

#include "QzPadTestUtil.h"

#include "platform/core/Cp949.h"

using Ls = std::vector<std::string>;

namespace {
const TShiftState kCtrl(ssCtrl);
const TShiftState kShift(ssShift);
const TShiftState kShiftCtrl = TShiftState(ssShift) | TShiftState(ssCtrl);
}

TEST_F(PadTest, UndoTypingRestoresTextAndCaret)
{
    SetText({"abc"});
    Caret(1, 0);
    Type("xy");
    EXPECT_EQ(Lines(), Ls{"axybc"});
    Key('Z', kCtrl);
    Key('Z', kCtrl);
    EXPECT_EQ(Lines(), Ls{"abc"});
    EXPECT_EQ(pad.CaretPos(), TPoint(1, 0));
    EXPECT_FALSE(pad.CanUndo());
}

TEST_F(PadTest, UndoEachDeletion)
{
    const Ls text{"one two", "three", "  four"};
    struct Case {
        TPoint caret;
        TVirtualKey key;
        TShiftState shift;
    };
    const Case cases[] = {
        {TPoint(1, 0), VK_DELETE, TShiftState()},   // a character
        {TPoint(7, 0), VK_DELETE, TShiftState()},   // a line join
        {TPoint(2, 1), VK_BACK, TShiftState()},     // a character
        {TPoint(0, 1), VK_BACK, TShiftState()},     // a line join
        {TPoint(0, 0), 'T', kCtrl},                 // a word
        {TPoint(7, 0), VK_BACK, kCtrl},             // the previous word
        {TPoint(0, 1), 'Y', kCtrl},                 // a line
        {TPoint(2, 0), 'Y', kShiftCtrl},            // to the line end
    };
    for (const Case& c : cases) {
        SetText(text);
        Caret(c.caret.X, c.caret.Y);
        Key(c.key, c.shift);
        EXPECT_NE(Lines(), text) << c.key;
        ASSERT_EQ(pad.UndoItems().Count(), 1) << c.key;
        pad.Undo();
        EXPECT_EQ(Lines(), text) << c.key;
        EXPECT_FALSE(pad.CanUndo()) << c.key;
    }
}

TEST_F(PadTest, UndoReplaysInInsertModeWithoutIndent)
{
    // A line join is undone with a raw line break even in overwrite mode with auto-indent.
    SetText({"  ab", "  cd"});
    Caret(4, 0);
    Key(VK_DELETE);
    EXPECT_EQ(Lines(), Ls{"  ab  cd"});
    pad.SetEditMode(qzmOverwrite);
    pad.Undo();
    EXPECT_EQ(Lines(), (Ls{"  ab", "  cd"}));
    EXPECT_EQ(pad.EditMode(), qzmOverwrite);
    EXPECT_TRUE(pad.HasOption(qzoAutoIndent));

    SetText({"xyz"});
    Caret(1, 0);
    Key(VK_DELETE);
    pad.Undo();
    EXPECT_EQ(Lines(), Ls{"xyz"});
}

TEST_F(PadTest, UndoDeletionOfTheOnlyLine)
{
    SetText({"only"});
    Key('Y', kCtrl);
    EXPECT_EQ(Lines(), Ls{""});
    pad.Undo();
    EXPECT_EQ(Lines(), Ls{"only"});

    SetText({"a", "b"});
    Key('Y', kCtrl);
    pad.Undo();
    EXPECT_EQ(Lines(), (Ls{"a", "b"}));
}

TEST_F(PadTest, UndoSelectionDeletionReselects)
{
    SetText({"abc", "def"});
    Select(TPoint(1, 0), TPoint(2, 1));
    Key(VK_DELETE, kCtrl);
    EXPECT_EQ(Lines(), Ls{"af"});
    pad.Undo();
    EXPECT_EQ(Lines(), (Ls{"abc", "def"}));
    EXPECT_EQ(pad.GetSelText(), "bc\r\nde");
}

TEST_F(PadTest, UndoPasteOverSelectionConsumesBothRecords)
{
    SetText({"hello world"});
    Select(TPoint(0, 0), TPoint(5, 0));
    view.ClipboardSetText("bye\r\nnow");
    Key('V', kCtrl);
    EXPECT_EQ(Lines(), (Ls{"bye", "now world"}));
    ASSERT_EQ(pad.UndoItems().Count(), 2);
    pad.Undo();
    EXPECT_EQ(Lines(), Ls{"hello world"});
    EXPECT_EQ(pad.GetSelText(), "hello");
    EXPECT_FALSE(pad.CanUndo());
}

TEST_F(PadTest, UndoEnterWithSelectionRestoresExactly)
{
    SetText({"  abcdef  "});
    Select(TPoint(4, 0), TPoint(6, 0));
    Key(VK_RETURN);
    EXPECT_EQ(Lines(), (Ls{"  ab", "  ef  "}));
    pad.Undo();
    EXPECT_EQ(Lines(), Ls{"  abef  "});
    pad.Undo();
    EXPECT_EQ(Lines(), Ls{"  abcdef  "});

    // Enter at the end of a line ending in blanks keeps them when undone.
    SetText({"ab  "});
    Key(VK_END);
    Key(VK_RETURN);
    pad.Undo();
    EXPECT_EQ(Lines(), Ls{"ab  "});
}

TEST_F(PadTest, UndoTabIndentAndUnindent)
{
    SetText({"ab"});
    Caret(1, 0);
    Key(VK_TAB);
    EXPECT_EQ(Lines(), Ls{"a b"});
    pad.Undo();
    EXPECT_EQ(Lines(), Ls{"ab"});

    SetText({"a", "b", "c"});
    Select(TPoint(0, 0), TPoint(1, 2));
    Key('I', kShiftCtrl);
    EXPECT_EQ(Lines(), (Ls{"  a", "  b", "  c"}));
    pad.Undo();
    EXPECT_EQ(Lines(), (Ls{"a", "b", "c"}));

    // Undo of an unindent gives blanks back only to the lines that lost them.
    SetText({"  a", "b", "  c"});
    Select(TPoint(0, 0), TPoint(3, 2));
    Key('U', kShiftCtrl);
    EXPECT_EQ(Lines(), (Ls{"a", "b", "c"}));
    pad.Undo();
    EXPECT_EQ(Lines(), (Ls{"  a", "b", "  c"}));
}

TEST_F(PadTest, UndoWithASelectionDeletesNothingElse)
{
    SetText({"abc"});
    Caret(3, 0);
    Type("d");
    Select(TPoint(0, 0), TPoint(2, 0));
    pad.Undo();
    EXPECT_EQ(Lines(), Ls{"abc"});
    EXPECT_FALSE(pad.CanUndo());
}

TEST_F(PadTest, UndoRefusedInReadOnlyAndClearedByNewText)
{
    Type("ab");
    pad.SetOptions(pad.Options().With(qzoReadOnly));
    pad.Undo();
    EXPECT_EQ(Lines(), Ls{"ab"});
    EXPECT_EQ(pad.UndoItems().Count(), 2);
    pad.SetOptions(pad.Options().Without(qzoReadOnly));
    pad.Clear();
    EXPECT_FALSE(pad.CanUndo());
    Type("x");
    SetText({"new"});
    EXPECT_FALSE(pad.CanUndo());
    Type("y");
    pad.SetText("p\nq\r\n");
    EXPECT_EQ(Lines(), (Ls{"p", "q"}));
    EXPECT_FALSE(pad.CanUndo());
    EXPECT_FALSE(pad.Modified());
}

TEST_F(PadTest, UndoColumnBlockPaste)
{
    SetText({"abc", "def", "ghi"});
    pad.SetBlockMode(qzbmColumn);
    Caret(1, 0);
    pad.SetSelText("12\r\n3\r\n");
    EXPECT_EQ(Lines()[0], "a12bc");
    EXPECT_EQ(Lines()[1], "d3ef");
    pad.Undo();
    EXPECT_EQ(Lines()[0], "abc");
    EXPECT_EQ(Lines()[1], "def");

    // Under word wrap the rows the block goes into wrap again and gain continuations; the rows
    // below move down with their attributes, and undo gives back the rows as they were.
    SetText({"abc", "def", "ghi", "jkl"});
    pad.SetColumnCount(3);
    pad.SetWordWrap(qzwwUser);
    pad.SetBookmark(3, 5);
    Caret(1, 0);
    pad.SetSelText("12\r\n34\r\n");
    EXPECT_EQ(pad.LogicalText(), "a12b34c\r\ndef\r\nghi\r\njkl\r\n");
    EXPECT_EQ(pad.Lines()[pad.FindBookmark(5)], "jkl");
    pad.Undo();
    EXPECT_EQ(Lines(), (Ls{"abc", "def", "ghi", "jkl"}));
    EXPECT_EQ(pad.GetBookmarkStr(), "3:5");
    EXPECT_EQ(pad.CaretPos(), TPoint(1, 0));
}

TEST_F(PadTest, UndoPositionsAreClamped)
{
    SetText({"abc", "def"});
    Caret(3, 1);
    Type("x");
    SetText({"a", "b"});  // a new text empties the records, so nothing replays against it
    EXPECT_FALSE(pad.CanUndo());
    // A record with positions past the text is clamped, not followed.
    Type("q");
    pad.Lines().Delete(0);
    pad.Undo();
    EXPECT_GE(pad.Lines().Count(), 1);
}

TEST_F(PadTest, UndoImeResult)
{
    SetText({"ab"});
    Caret(1, 0);
    pad.ImeStartComposition();
    pad.ImeComposition(Cp949("ㄱ"));
    pad.ImeResult(Cp949("가"));
    pad.ImeEndComposition();
    EXPECT_EQ(Lines(), Ls{"a" + Cp949("가") + "b"});
    EXPECT_EQ(pad.CaretX(), 3);
    ASSERT_EQ(pad.UndoItems().Count(), 1);
    EXPECT_EQ(pad.UndoItems().Last()->Command, qzcInsert);
    pad.Undo();
    EXPECT_EQ(Lines(), Ls{"ab"});

    // An emptied composition leaves the line as it was.
    pad.ImeStartComposition();
    pad.ImeComposition(Cp949("ㄱ"));
    pad.ImeComposition("");
    pad.ImeEndComposition();
    EXPECT_EQ(Lines(), Ls{"ab"});
}

TEST_F(PadTest, LargePasteIsOneStepAndUndoesExactly)
{
    SetText({"head tail", "last"});
    Caret(5, 0);
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "line " + std::to_string(i) + "\r\n";
    text += "end";
    pad.SetSelText(text);
    ASSERT_EQ(pad.Lines().Count(), 5002);
    EXPECT_EQ(pad.Lines()[0], "head line 0");
    EXPECT_EQ(pad.Lines()[4999], "line 4999");
    EXPECT_EQ(pad.Lines()[5000], "endtail");
    EXPECT_EQ(pad.CaretPos(), TPoint(3, 5000));
    EXPECT_EQ(pad.TopLine(), 5000);  // the view keeps the caret on its screen row
    ASSERT_EQ(pad.UndoItems().Count(), 1);
    pad.Undo();
    EXPECT_EQ(Lines(), (Ls{"head tail", "last"}));
}

TEST_F(PadTest, OverwriteTypingAndImeUndoGiveTheReplacedTextBack)
{
    SetText({"abcd"});
    pad.SetEditMode(qzmOverwrite);
    Caret(1, 0);
    pad.ImeStartComposition();
    pad.ImeComposition(Cp949("ㄱ"));
    EXPECT_EQ(Lines(), Ls{"a" + Cp949("ㄱ") + "d"});
    pad.ImeComposition("");
    pad.ImeEndComposition();
    EXPECT_EQ(Lines(), Ls{"abcd"});

    pad.ImeStartComposition();
    pad.ImeComposition(Cp949("ㄱ"));
    pad.ImeResult(Cp949("가"));
    pad.ImeEndComposition();
    EXPECT_EQ(Lines(), Ls{"a" + Cp949("가") + "d"});
    Type("x");
    EXPECT_EQ(Lines(), Ls{"a" + Cp949("가") + "x"});
    pad.Undo();
    EXPECT_EQ(Lines(), Ls{"a" + Cp949("가") + "d"});
    pad.Undo();
    EXPECT_EQ(Lines(), Ls{"abcd"});

    pad.SetOptions(pad.Options().With(qzoReadOnly));
    pad.ImeStartComposition();
    pad.ImeComposition(Cp949("ㄱ"));
    pad.ImeResult(Cp949("가"));
    pad.ImeEndComposition();
    EXPECT_EQ(Lines(), Ls{"abcd"});
    EXPECT_FALSE(pad.Composing());
}

TEST_F(PadTest, UndoLineBreaksInColumnBlockMode)
{
    SetText({"abc", "def"});
    pad.SetBlockMode(qzbmColumn);
    Key(VK_RETURN);
    Caret(1, 2);
    Key(VK_RETURN);
    EXPECT_EQ(Lines(), (Ls{"", "abc", "d", "ef"}));
    pad.Undo();
    pad.Undo();
    EXPECT_EQ(Lines(), (Ls{"abc", "def"}));
    EXPECT_EQ(pad.BlockMode(), qzbmColumn);
}

TEST_F(PadTest, UndoColumnBlockRemovalAtTheLastLineAddsNoLine)
{
    SetText({"abcd", "efgh"});
    Key('B', kCtrl);
    Caret(1, 0);
    Key(VK_RIGHT, kShift);
    Key(VK_DOWN, kShift);
    Key(VK_DELETE);
    EXPECT_EQ(Lines(), (Ls{"acd", "egh"}));
    pad.Undo();
    EXPECT_EQ(Lines(), (Ls{"abcd", "efgh"}));

    Caret(1, 0);
    Key(VK_RIGHT, kShift);
    Key(VK_DOWN, kShift);
    Type("x");
    EXPECT_EQ(Lines(), (Ls{"axcd", "egh"}));
    pad.Undo();
    pad.Undo();
    EXPECT_EQ(Lines(), (Ls{"abcd", "efgh"}));
}
