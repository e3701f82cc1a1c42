// Korean input-method composition in the model: the syllable shown in place, cancelling,
// overwrite mode, long strings, a caret that moves away, scrolling and read-only mode.

#include "QzPadTestUtil.h"

#include "platform/core/Cp949.h"

namespace {
using Ls = std::vector<std::string>;
}

TEST_F(PadTest, ImeComposesOneSyllableInPlace)
{
    SetText({"ab"});
    Caret(1, 0);
    pad.ImeStartComposition();
    EXPECT_TRUE(pad.Composing());
    EXPECT_EQ(Lines(), Ls{"a  b"});
    pad.ImeComposition(Cp949("ㄱ"));
    EXPECT_EQ(Lines(), Ls{"a" + Cp949("ㄱ") + "b"});
    EXPECT_EQ(pad.CaretX(), 1);
    EXPECT_EQ(view.caretWidth, 2 * 8);  // the caret covers the syllable
    pad.ImeComposition(Cp949("가"));
    EXPECT_EQ(Lines(), Ls{"a" + Cp949("가") + "b"});
    EXPECT_EQ(pad.UndoItems().Count(), 0);
    pad.ImeResult(Cp949("가"));
    EXPECT_FALSE(pad.Composing());
    EXPECT_EQ(Lines(), Ls{"a" + Cp949("가") + "b"});
    EXPECT_EQ(pad.CaretX(), 3);
    ASSERT_EQ(pad.UndoItems().Count(), 1);
    EXPECT_EQ(pad.UndoItems().Last()->Command, qzcInsert);
    pad.ImeEndComposition();
    EXPECT_EQ(view.caretWidth, pad.CursorWidth());

    // The next syllable comes as a new composition; Delete and Backspace wait for it.
    pad.ImeStartComposition();
    pad.ImeComposition(Cp949("ㄴ"));
    Key(VK_BACK);
    Key(VK_DELETE);
    EXPECT_EQ(Lines(), Ls{"a" + Cp949("가") + Cp949("ㄴ") + "b"});
    pad.ImeResult(Cp949("나"));
    pad.ImeEndComposition();
    EXPECT_EQ(Lines(), Ls{"a" + Cp949("가나") + "b"});
    EXPECT_EQ(pad.CaretX(), 5);
}

TEST_F(PadTest, ImeCancelledOrEndedCompositionLeavesTheLineAsItWas)
{
    SetText({"ab"});
    Caret(1, 0);
    pad.ImeStartComposition();
    pad.ImeComposition(Cp949("ㄱ"));
    pad.ImeComposition("");
    EXPECT_FALSE(pad.Composing());
    EXPECT_EQ(Lines(), Ls{"ab"});
    pad.ImeEndComposition();
    EXPECT_EQ(Lines(), Ls{"ab"});

    // An end without result or cancel takes the placeholder out too.
    pad.ImeStartComposition();
    pad.ImeComposition(Cp949("ㄱ"));
    pad.ImeEndComposition();
    EXPECT_EQ(Lines(), Ls{"ab"});
    EXPECT_EQ(pad.CaretPos(), TPoint(1, 0));

    // Overwrite mode: the character written over comes back whole.
    SetText({"a" + Cp949("한") + "b"});
    pad.SetEditMode(qzmOverwrite);
    Caret(1, 0);
    pad.ImeStartComposition();
    EXPECT_EQ(Lines(), Ls{"a" + Cp949("한") + "b"});
    pad.ImeComposition(Cp949("ㄱ"));
    EXPECT_EQ(Lines(), Ls{"a" + Cp949("ㄱ") + "b"});
    pad.ImeComposition("x");  // one byte over a double-byte character replaces all of it
    EXPECT_EQ(Lines(), Ls{"axb"});
    pad.ImeComposition("");
    EXPECT_EQ(Lines(), Ls{"a" + Cp949("한") + "b"});
    // At the line's end overwrite mode inserts.
    Key(VK_END);
    pad.ImeStartComposition();
    pad.ImeComposition(Cp949("ㄱ"));
    pad.ImeResult(Cp949("각"));
    EXPECT_EQ(Lines(), Ls{"a" + Cp949("한") + "b" + Cp949("각")});
}

TEST_F(PadTest, ImeLongStringsNeverEatTheFollowingText)
{
    SetText({"xyz"});
    Caret(1, 0);
    pad.ImeStartComposition();
    pad.ImeComposition(Cp949("가") + "a");
    EXPECT_EQ(Lines(), Ls{"x" + Cp949("가") + "ayz"});
    pad.ImeComposition(Cp949("가"));
    EXPECT_EQ(Lines(), Ls{"x" + Cp949("가") + "yz"});
    pad.ImeResult(Cp949("가나"));
    EXPECT_EQ(Lines(), Ls{"x" + Cp949("가나") + "yz"});
    EXPECT_EQ(pad.CaretX(), 5);
    pad.Undo();
    EXPECT_EQ(Lines(), Ls{"xyz"});

    // A one-byte result in insert mode goes in where the placeholder was.
    pad.ImeStartComposition();
    pad.ImeResult("!");
    EXPECT_EQ(Lines(), Ls{"x!yz"});
}

TEST_F(PadTest, ImeFollowsACaretThatLeftTheComposition)
{
    SetText({"ab", "cd"});
    Caret(1, 0);
    pad.ImeStartComposition();
    pad.ImeComposition(Cp949("ㄱ"));
    Caret(0, 1);
    pad.ImeComposition(Cp949("가"));
    EXPECT_EQ(Lines(), (Ls{"ab", Cp949("가") + "cd"}));
    Caret(2, 0);
    pad.ImeResult(Cp949("가"));
    EXPECT_EQ(Lines(), (Ls{"ab" + Cp949("가"), "cd"}));
    EXPECT_EQ(pad.CaretPos(), TPoint(4, 0));
}

TEST_F(PadTest, ImeScrollsNearTheRightEdgeAndIsRefusedReadOnly)
{
    SetText({std::string(93, 'x')});
    Key(VK_END);
    ASSERT_EQ(pad.LeftCol(), 0);
    pad.ImeStartComposition();
    EXPECT_EQ(pad.LeftCol(), 2);
    pad.ImeComposition(Cp949("ㄱ"));
    pad.ImeResult(Cp949("가"));
    pad.ImeEndComposition();
    EXPECT_EQ(pad.ExpandedLine(0), std::string(93, 'x') + Cp949("가"));

    SetText({"ro"});
    Caret(1, 0);
    pad.SetOptions(pad.Options().With(qzoReadOnly));
    pad.ImeStartComposition();
    pad.ImeComposition(Cp949("ㄱ"));
    EXPECT_EQ(Lines(), Ls{"ro"});
    pad.ImeResult(Cp949("가"));
    pad.ImeEndComposition();
    EXPECT_EQ(Lines(), Ls{"ro"});
    EXPECT_FALSE(pad.Composing());
    EXPECT_EQ(pad.UndoItems().Count(), 0);
}

TEST_F(PadTest, ImeInputModeCommandAndHangulKey)
{
    int changes = 0;
    pad.OnImeInputModeChange = [&](TQzPadModel&) { ++changes; };
    EXPECT_EQ(pad.GetImeInputMode(), imEnglish);
    pad.ProcessEditorCommand(qzcToggleImeInputMode);
    EXPECT_EQ(pad.GetImeInputMode(), imHangul);
    pad.ProcessEditorCommand(qzcToggleImeInputMode);
    EXPECT_EQ(pad.GetImeInputMode(), imEnglish);
    EXPECT_EQ(changes, 0);
    TVirtualKey key = VK_HANGUL;
    pad.KeyDown(key, TShiftState());
    EXPECT_EQ(key, 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(pad.GetImeInputMode(), imEnglish);  // the input method switches itself
}

TEST_F(PadTest, ImeUnderWordWrapFollowsTheSyllableToTheNextRow)
{
    pad.SetColumnCount(6);
    SetText({"abcdefgh"});
    pad.SetWordWrap(qzwwUser);
    ASSERT_EQ(Lines(), (Ls{"abcdef", "gh"}));
    Caret(5, 0);
    pad.ImeStartComposition();
    pad.ImeComposition(Cp949("ㄱ"));
    EXPECT_EQ(pad.LogicalText(), "abcde" + Cp949("ㄱ") + "fgh\r\n");
    pad.ImeComposition(Cp949("각"));
    pad.ImeResult(Cp949("각"));
    pad.ImeEndComposition();
    EXPECT_EQ(pad.LogicalText(), "abcde" + Cp949("각") + "fgh\r\n");
    // The caret is after the syllable, wherever the wrap put it.
    EXPECT_EQ(pad.ExpandedLine(pad.CaretY()).substr(static_cast<size_t>(pad.CaretX()), 1), "f");
    pad.Undo();
    EXPECT_EQ(pad.LogicalText(), "abcdefgh\r\n");
}
