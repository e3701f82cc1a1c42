// Key sequences on the editor model: resulting lines, caret and selection.

#include "QzPadTestUtil.h"

#include "editor/model/QzSyntax.h"
#include "platform/core/Cp949.h"

using Ls = std::vector<std::string>;

const TShiftState kShift(ssShift);
const TShiftState kCtrl(ssCtrl);

TEST_F(PadTest, ConstructionValues)
{
    TQzPadModel fresh;
    EXPECT_EQ(fresh.Options().Word(), 0x15C3);
    EXPECT_EQ(fresh.Lines().Count(), 1);
    EXPECT_EQ(fresh.BlockMode(), qzbmLine);
    EXPECT_EQ(fresh.TabSize(), 2);
    EXPECT_EQ(fresh.IndentSize(), 2);
    EXPECT_EQ(fresh.ColumnCount(), 80);
    EXPECT_EQ(fresh.GutterWidth(), 30);
    EXPECT_EQ(fresh.CursorWidth(), 2);
    EXPECT_EQ(fresh.Color(), 0xFFFFFFu);
    EXPECT_EQ(fresh.NewLineMark(), Cp949("↓"));
    EXPECT_EQ(fresh.Font().Name, "Courier");
    EXPECT_TRUE(fresh.ConvertNullToSpace());
    EXPECT_EQ(TQzPadModel::About(), "TQzPad,0.6");
    EXPECT_TRUE(fresh.UndoRecording());
}

TEST_F(PadTest, TypingInsertAndOverwrite)
{
    Type("abc");
    EXPECT_EQ(Lines(), Ls{"abc"});
    EXPECT_EQ(pad.CaretPos(), TPoint(3, 0));

    Caret(1, 0);
    Key(VK_INSERT);
    EXPECT_EQ(pad.EditMode(), qzmOverwrite);
    Type("x");
    EXPECT_EQ(Lines(), Ls{"axc"});
    Key(VK_END);
    Type("d");
    EXPECT_EQ(Lines(), Ls{"axcd"});

    // Whole characters are overwritten: a letter over a double-byte character takes both bytes.
    SetText({Cp949("가") + "b"});
    pad.SetEditMode(qzmOverwrite);
    Type("x");
    EXPECT_EQ(Lines(), Ls{"xb"});
    // and a double-byte character over a letter ending inside another one takes it whole too
    SetText({"a" + Cp949("나")});
    pad.SetEditMode(qzmOverwrite);
    pad.PutString(Cp949("다"));
    EXPECT_EQ(Lines(), Ls{Cp949("다")});
}

TEST_F(PadTest, ShiftSpaceAndCtrlDoNotType)
{
    char c = ' ';
    pad.KeyPress(c, kShift);
    c = 'a';
    pad.KeyPress(c, kCtrl);
    EXPECT_EQ(Lines(), Ls{""});
    pad.SetOptions(pad.Options().With(qzoReadOnly));
    Type("q");
    EXPECT_EQ(Lines(), Ls{""});
}

TEST_F(PadTest, EnterAutoIndentAndBlockBegin)
{
    SetText({"    abcd"});
    Caret(6, 0);
    Key(VK_RETURN);
    EXPECT_EQ(Lines(), (Ls{"    ab", "    cd"}));
    EXPECT_EQ(pad.CaretPos(), TPoint(4, 1));

    TQzSyntax syntax;
    syntax.BlockBegin = "{";
    pad.SetSyntax(&syntax);
    pad.SetOptions(pad.Options().With(qzoHighlightSyntax));
    SetText({"  {"});
    Key(VK_END);
    Key(VK_RETURN);
    EXPECT_EQ(Lines(), (Ls{"  {", "    "}));
    EXPECT_EQ(pad.CaretPos(), TPoint(4, 1));

    // An empty block-begin mark never matches.
    syntax.BlockBegin.clear();
    SetText({"x"});
    Key(VK_END);
    Key(VK_RETURN);
    EXPECT_EQ(Lines(), (Ls{"x", ""}));
}

TEST_F(PadTest, EnterAtColumnZeroAndInOverwriteMode)
{
    SetText({"ab"});
    Key(VK_RETURN);
    EXPECT_EQ(Lines(), (Ls{"", "ab"}));
    EXPECT_EQ(pad.CaretPos(), TPoint(0, 1));

    SetText({"abc", "def"});
    pad.SetEditMode(qzmOverwrite);
    Caret(1, 0);
    Key(VK_RETURN);
    EXPECT_EQ(Lines(), (Ls{"abc", "def"}));
    EXPECT_EQ(pad.CaretY(), 1);
    EXPECT_FALSE(pad.CanUndo());
}

TEST_F(PadTest, BackspaceAndDeleteAcrossLines)
{
    SetText({"ab", "cd"});
    Caret(0, 1);
    Key(VK_BACK);
    EXPECT_EQ(Lines(), Ls{"abcd"});
    EXPECT_EQ(pad.CaretPos(), TPoint(2, 0));
    Key(VK_END);
    Key(VK_DELETE);
    EXPECT_EQ(Lines(), Ls{"abcd"});
    Caret(0, 0);
    Key(VK_BACK);
    EXPECT_EQ(Lines(), Ls{"abcd"});

    SetText({Cp949("가나")});
    Caret(4, 0);
    Key(VK_BACK);
    EXPECT_EQ(Lines(), Ls{Cp949("가")});
    EXPECT_EQ(pad.CaretX(), 2);
    Caret(0, 0);
    Key(VK_DELETE);
    EXPECT_EQ(Lines(), Ls{""});
}

TEST_F(PadTest, WordAndLineDeletions)
{
    SetText({"one two three"});
    Caret(4, 0);
    Key('T', kCtrl);
    EXPECT_EQ(Lines(), Ls{"one  three"});
    Key(VK_END);
    Key(VK_BACK, kCtrl);
    EXPECT_EQ(Lines(), Ls{"one  "});
    Caret(1, 0);
    Key('Y', kShift | TShiftState(ssCtrl));
    EXPECT_EQ(Lines(), Ls{"o"});

    SetText({"a", "b", "c"});
    Caret(0, 1);
    Key('Y', kCtrl);
    EXPECT_EQ(Lines(), (Ls{"a", "c"}));
    SetText({"only"});
    Key('Y', kCtrl);
    EXPECT_EQ(Lines(), Ls{""});
}

TEST_F(PadTest, DeleteSelectionJoinsLines)
{
    SetText({"abc", "def"});
    Select(TPoint(2, 0), TPoint(2, 1));
    Key(VK_DELETE, kCtrl);
    EXPECT_EQ(Lines(), Ls{"abf"});
    EXPECT_EQ(pad.CaretPos(), TPoint(2, 0));
    EXPECT_FALSE(pad.GetSelectAvail());

    SetText({"ab  ", "xy"});
    Select(TPoint(4, 0), TPoint(2, 1));
    Key(VK_DELETE, kCtrl);
    EXPECT_EQ(Lines(), Ls{"ab"});
}

TEST_F(PadTest, PasteLinesAndColumnBlocks)
{
    view.ClipboardSetText("x\r\ny\r\n");
    Key('V', kCtrl);
    EXPECT_EQ(Lines(), (Ls{"x", "y", ""}));
    EXPECT_EQ(pad.CaretPos(), TPoint(0, 2));

    // Lines broken after their piece are stored expanded; the last piece keeps its tab.
    SetText({"abcd"});
    Caret(2, 0);
    pad.SetSelText("1\t2\r\n3\r\n\t4");
    EXPECT_EQ(Lines(), (Ls{"ab1 2", "3", "\t4cd"}));
    EXPECT_EQ(pad.CaretPos(), TPoint(3, 2));

    SetText({"abcd", "ef"});
    pad.SetBlockMode(qzbmColumn);
    Select(TPoint(1, 0), TPoint(3, 1));
    EXPECT_EQ(pad.GetSelText(), "bc\r\nf \r\n");
    Key('C', kCtrl);
    EXPECT_EQ(view.clipboard, "bc\r\nf \r\n");
    Caret(0, 0);
    pad.SelectNone();
    pad.SetSelText("12\r\n3\r\n");
    EXPECT_EQ(Lines()[0], "12abcd");
    EXPECT_EQ(Lines()[1], "3ef");
    EXPECT_EQ(pad.CaretPos(), TPoint(0, 0));
}

TEST_F(PadTest, CopyLineAndCut)
{
    SetText({"line one", "two"});
    pad.SetOptions(pad.Options().With(qzoCopyLine));
    Key('C', kCtrl);
    EXPECT_EQ(view.clipboard, "line one\r\n");
    Select(TPoint(5, 0), TPoint(1, 1));
    Key('X', kCtrl);
    EXPECT_EQ(view.clipboard, "one\r\nt");
    EXPECT_EQ(Lines(), Ls{"line wo"});
    pad.SetOptions(pad.Options().With(qzoReadOnly));
    Select(TPoint(0, 0), TPoint(4, 0));
    Key('X', kCtrl);
    EXPECT_EQ(Lines(), Ls{"line wo"});
    // SetSelText fills a read-only control.
    pad.SetSelText("LINE");
    EXPECT_EQ(Lines(), Ls{"LINE wo"});
}

TEST_F(PadTest, TypingOverSelectionRecordsTwoSteps)
{
    SetText({"hello"});
    Select(TPoint(1, 0), TPoint(4, 0));
    Type("a");
    EXPECT_EQ(Lines(), Ls{"hao"});
    ASSERT_EQ(pad.UndoItems().Count(), 2);
    EXPECT_EQ(pad.UndoItems().GetItem(0)->Command, qzcDeleteSelBlock);
    EXPECT_EQ(pad.UndoItems().GetItem(1)->Command, qzcInsert);
}

TEST_F(PadTest, CaretStepsOverDoubleByteCharacters)
{
    SetText({Cp949("가나"), "abcd", Cp949("가나"), "abcd"});
    Key(VK_RIGHT);
    EXPECT_EQ(pad.CaretX(), 2);
    Key(VK_END);
    Key(VK_LEFT);
    EXPECT_EQ(pad.CaretX(), 2);

    Caret(3, 1);
    Key(VK_DOWN);
    EXPECT_EQ(pad.CaretPos(), TPoint(4, 2));
    EXPECT_TRUE(pad.TrailStep());
    Key(VK_DOWN);
    EXPECT_EQ(pad.CaretPos(), TPoint(3, 3));
    EXPECT_FALSE(pad.TrailStep());

    // A click on the second half of a character lands after it.
    const TRect r = pad.EditRect();
    EXPECT_EQ(pad.TextPosFromPoint(TPoint(r.Left + 1 * 8 + 2, r.Top + 1)), TPoint(2, 0));
}

TEST_F(PadTest, HomeEndAndLineEdges)
{
    SetText({"   x", "   "});
    Key(VK_END);
    Key(VK_HOME);
    EXPECT_EQ(pad.CaretX(), 3);
    Key(VK_HOME);
    EXPECT_EQ(pad.CaretX(), 0);
    Caret(2, 1);
    Key(VK_HOME);
    EXPECT_EQ(pad.CaretX(), 0);

    Key(VK_END);
    Key(VK_RIGHT);
    EXPECT_EQ(pad.CaretPos(), TPoint(3, 1));
    pad.SetOptions(pad.Options().With(qzoScrollPastEOL));
    Key(VK_RIGHT);
    EXPECT_EQ(pad.CaretPos(), TPoint(4, 1));

    SetText({"ab", "cd"});
    Key(VK_END);
    pad.SetOptions(pad.Options().Without(qzoScrollPastEOL));
    Key(VK_RIGHT);
    EXPECT_EQ(pad.CaretPos(), TPoint(0, 1));
    Key(VK_LEFT);
    EXPECT_EQ(pad.CaretPos(), TPoint(2, 0));
}

TEST_F(PadTest, WordMovesAndSelectionKeys)
{
    SetText({"foo bar.baz", "next"});
    Key(VK_RIGHT, kCtrl);
    EXPECT_EQ(pad.CaretX(), 4);
    Key(VK_RIGHT, kCtrl);
    EXPECT_EQ(pad.CaretX(), 8);
    Key(VK_LEFT, kCtrl);
    EXPECT_EQ(pad.CaretX(), 4);
    Key(VK_RIGHT, kShift | TShiftState(ssCtrl));
    EXPECT_EQ(pad.GetSelText(), "bar.");
    Key(VK_END, kShift);
    EXPECT_EQ(pad.GetSelText(), "bar.baz");
    Key(VK_DOWN, kShift);
    EXPECT_EQ(pad.GetSelText(), "bar.baz\r\nnext");
    Key(VK_LEFT);
    EXPECT_FALSE(pad.GetSelectAvail());
    Key('A', kCtrl);
    EXPECT_EQ(pad.GetSelText(), "foo bar.baz\r\nnext");
    Key(VK_ESCAPE);
    EXPECT_FALSE(pad.GetSelectAvail());
}

TEST_F(PadTest, SelectionNormalisingAndHitTest)
{
    SetText({"0123456789", "0123456789", "0123456789", "0123456789"});
    pad.SetBlockMode(qzbmColumn);
    pad.SetSelStart(TPoint(5, 1));
    pad.SetSelEnd(TPoint(2, 3));
    EXPECT_EQ(pad.GetSelStart(), TPoint(2, 1));
    EXPECT_EQ(pad.GetSelEnd(), TPoint(5, 3));
    pad.SetBlockMode(qzbmLine);
    EXPECT_EQ(pad.GetSelStart(), TPoint(5, 1));
    EXPECT_EQ(pad.GetSelEnd(), TPoint(2, 3));
    EXPECT_TRUE(pad.PosInSelect(TPoint(5, 1)));
    EXPECT_FALSE(pad.PosInSelect(TPoint(2, 3)));
    EXPECT_FALSE(pad.PosInSelect(TPoint(4, 1)));
}

TEST_F(PadTest, ScrollingFollowsTheCaret)
{
    std::vector<std::string> many(50, std::string(200, 'x'));
    SetText(many);
    EXPECT_EQ(pad.VisibleLines(), 10);
    EXPECT_EQ(pad.VisibleCols(), 95);
    for (int i = 0; i < 10; ++i) Key(VK_DOWN);
    EXPECT_EQ(pad.TopLine(), 1);
    Key(VK_END, kCtrl);
    EXPECT_EQ(pad.CaretPos(), TPoint(200, 49));
    EXPECT_EQ(pad.TopLine(), 40);
    EXPECT_TRUE(pad.CaretX() >= pad.LeftCol() && pad.CaretX() < pad.LeftCol() + pad.VisibleCols());
    Key(VK_HOME, kCtrl);
    EXPECT_EQ(pad.TopLine(), 0);
    EXPECT_EQ(pad.LeftCol(), 0);
    // One column past the right edge scrolls by a third of the visible columns.
    Caret(93, 0);
    EXPECT_EQ(pad.LeftCol(), 0);
    Key(VK_RIGHT);
    EXPECT_EQ(pad.LeftCol(), 95 / 3);
    pad.GoToLine(25);
    EXPECT_EQ(pad.CaretPos(), TPoint(0, 24));
    EXPECT_TRUE(pad.IsLineVisible(24));
}

TEST_F(PadTest, TabsExpandAndTabKey)
{
    pad.SetTabSize(4);
    SetText({"a\tb"});
    EXPECT_EQ(pad.ExpandedLine(0), "a   b");
    EXPECT_EQ(pad.GetActualPos(0, 4), 2);
    Key(VK_END);
    Key(VK_LEFT);
    EXPECT_EQ(pad.CaretX(), 4);

    SetText({"x"});
    Key(VK_END);
    Key(VK_TAB);
    EXPECT_EQ(Lines(), Ls{"x   "});
    Key(VK_TAB);
    EXPECT_EQ(Lines(), Ls{"x       "});

    pad.SetOptions(pad.Options().Without(qzoUseSpace));
    SetText({"ab"});
    Key(VK_TAB);
    EXPECT_EQ(Lines(), Ls{"\tab"});
    EXPECT_EQ(pad.CaretX(), 4);
}

TEST_F(PadTest, BlockIndentAndUnindent)
{
    SetText({"l0", "l1", "l2", "l3", "l4", "l5"});
    Select(TPoint(0, 2), TPoint(0, 5));
    Key('I', kShift | TShiftState(ssCtrl));
    EXPECT_EQ(Lines(), (Ls{"l0", "l1", "  l2", "  l3", "  l4", "l5"}));

    SetText({" a", "  b"});
    Select(TPoint(0, 0), TPoint(3, 1));
    Key('U', kShift | TShiftState(ssCtrl));
    EXPECT_EQ(Lines(), (Ls{" a", "b"}));
    EXPECT_EQ(pad.GetSelEnd(), TPoint(1, 1));

    // Without a selection the blanks go in at the caret and end up selected.
    SetText({"abc"});
    Caret(1, 0);
    Key('I', kShift | TShiftState(ssCtrl));
    EXPECT_EQ(Lines(), Ls{"a  bc"});
    EXPECT_EQ(pad.GetSelText(), "  ");
    EXPECT_EQ(pad.CaretX(), 3);
}

TEST_F(PadTest, Bookmarks)
{
    SetText(std::vector<std::string>(14, "x"));
    pad.SetBookmark(3, 1);
    pad.SetBookmark(5, 1);
    EXPECT_EQ(pad.FindBookmark(1), 5);
    pad.SetBookmark(5, 1);
    EXPECT_EQ(pad.FindBookmark(1), -2);
    pad.SetBookmark(7, 4);
    pad.SetBookmark(7, -1);
    EXPECT_EQ(pad.GetBookmarkStr(), "");
    EXPECT_EQ(pad.Lines().Attribute(7)->Bookmark, -2);

    pad.SetBookmark(3, 0);
    pad.SetBookmark(7, -1);
    pad.SetBookmark(12, 5);
    EXPECT_EQ(pad.GetBookmarkStr(), "3:0,7,12:5");
    Caret(0, 12);
    EXPECT_FALSE(pad.NextBookmark());
    EXPECT_EQ(pad.CaretY(), 12);
    EXPECT_TRUE(pad.PrevBookmark());
    EXPECT_EQ(pad.CaretY(), 7);
    Key('5', kCtrl);
    EXPECT_EQ(pad.CaretY(), 12);
    Key('2', kShift | TShiftState(ssCtrl));
    EXPECT_EQ(pad.FindBookmark(2), 12);
    pad.ClearBookmark();
    EXPECT_EQ(pad.GetBookmarkStr(), "");
}

TEST_F(PadTest, ChangeNotificationRules)
{
    int changed = 0;
    pad.OnChanged = [&](TQzPadModel&) { ++changed; };
    SetText({"abc"});
    EXPECT_EQ(changed, 1);
    changed = 0;
    Type("xy");
    Key(VK_BACK);
    EXPECT_EQ(changed, 0);
    EXPECT_TRUE(pad.Modified());
    Key(VK_RETURN);
    EXPECT_GE(changed, 1);
    changed = 0;
    pad.SetBlockMode(qzbmColumn);
    EXPECT_EQ(changed, 1);
    pad.FocusIn();
    EXPECT_EQ(changed, 2);
    changed = 0;
    pad.Clear();
    EXPECT_EQ(changed, 0);
    EXPECT_FALSE(pad.Modified());
    EXPECT_EQ(Lines(), Ls{""});
    pad.SetHanguelCode(qzctJohab);
    EXPECT_EQ(changed, 1);
}

TEST_F(PadTest, KeyDownFiresTwiceAndCommandsReachTheMacro)
{
    std::vector<TVirtualKey> seen;
    pad.OnKeyDown = [&](TQzPadModel&, TVirtualKey& k, TShiftState) { seen.push_back(k); };
    Key(VK_RIGHT);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], VK_RIGHT);
    EXPECT_EQ(seen[1], 0);
    seen.clear();
    Key(VK_F1);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], VK_F1);

    struct Recorder : IQzPadMacroRecorder {
        std::vector<TQzPadCommand> steps;
        bool Recording() const override { return true; }
        void AddStep(TQzPadCommand c, TPoint, TPoint, TPoint, const std::string&) override { steps.push_back(c); }
    } macro;
    pad.SetMacro(&macro);
    const std::string before = pad.Text();
    for (TQzPadCommand c : {qzcGotoLine, qzcRedo, qzcDragDropCopy, qzcSort}) pad.ProcessEditorCommand(c);
    EXPECT_EQ(pad.Text(), before);
    EXPECT_EQ(macro.steps, (std::vector<TQzPadCommand>{qzcGotoLine, qzcRedo, qzcDragDropCopy, qzcSort}));
    Type("q");
    EXPECT_EQ(macro.steps.back(), qzcInsert);

    int imeEvents = 0;
    pad.OnImeInputModeChange = [&](TQzPadModel&) { ++imeEvents; };
    Key(VK_HANGUL);
    EXPECT_EQ(imeEvents, 1);
    Key(VK_SPACE, kShift);
    EXPECT_EQ(view.ime, imHangul);
    EXPECT_EQ(imeEvents, 1);
}

TEST_F(PadTest, OpenFileUsesTheWordAndTheFileExtension)
{
    std::string opened;
    pad.OnOpenFile = [&](TQzPadModel&, const std::string& f) { opened = f; };
    pad.SetFileName("dir.x/page.smi");
    SetText({"see intro now"});
    Caret(6, 0);
    Key(VK_RETURN, kCtrl);
    EXPECT_EQ(opened, "intro.smi");
    pad.SetFileName("dir.x/noext");
    Key(VK_RETURN, kCtrl);
    EXPECT_EQ(opened, "intro");
}

TEST_F(PadTest, MouseClickShiftClickAndDragSelection)
{
    SetText({"abcdef", "ghijkl"});
    const TRect r = pad.EditRect();
    auto at = [&](int col, int line) { return TPoint(r.Left + col * 8 + 1, r.Top + line * 17 + 1); };
    TPoint p = at(2, 0);
    pad.MouseDown(mbLeft, TShiftState(ssLeft), p.X, p.Y);
    pad.MouseUp(mbLeft, TShiftState(), p.X, p.Y);
    EXPECT_EQ(pad.CaretPos(), TPoint(2, 0));
    p = at(3, 1);
    pad.MouseDown(mbLeft, kShift | TShiftState(ssLeft), p.X, p.Y);
    pad.MouseUp(mbLeft, kShift, p.X, p.Y);
    EXPECT_EQ(pad.GetSelText(), "cdef\r\nghi");

    // Alt while dragging makes a column block.
    p = at(1, 0);
    pad.MouseDown(mbLeft, TShiftState(ssLeft), p.X, p.Y);
    EXPECT_FALSE(pad.GetSelectAvail());  // a plain click outside the selection drops it
    pad.MouseUp(mbLeft, TShiftState(), p.X, p.Y);
    pad.MouseDown(mbLeft, TShiftState(ssLeft), p.X, p.Y);
    TPoint q = at(3, 1);
    pad.MouseMove(TShiftState(ssLeft) | TShiftState(ssAlt), q.X, q.Y);
    pad.MouseUp(mbLeft, TShiftState(), q.X, q.Y);
    EXPECT_EQ(pad.BlockMode(), qzbmColumn);
    EXPECT_EQ(pad.GetSelText(), "bc\r\nhi\r\n");

    // A click in the gutter toggles an unnumbered bookmark.
    pad.MouseDown(mbLeft, TShiftState(ssLeft), 5, p.Y);
    pad.MouseUp(mbLeft, TShiftState(), 5, p.Y);
    EXPECT_EQ(pad.GetBookmarkStr(), "0");

    pad.SetBlockMode(qzbmLine);
    pad.DblClick(at(4, 1).X, at(4, 1).Y);
    EXPECT_EQ(pad.GetSelText(), "ghijkl");
}

TEST_F(PadTest, DragAndDropMovesWithinTheControl)
{
    SetText({"one two three"});
    Select(TPoint(0, 0), TPoint(4, 0));
    const TRect r = pad.EditRect();
    const int y = r.Top + 1;
    EXPECT_FALSE(pad.DragOver(false, r.Left + 13 * 8, y, TShiftState()));
    pad.DragDrop(false, r.Left + 13 * 8, y, TShiftState());
    EXPECT_EQ(Lines(), Ls{"one two three"});
    EXPECT_TRUE(pad.DragOver(true, r.Left + 13 * 8, y, TShiftState()));
    Select(TPoint(0, 0), TPoint(4, 0));
    pad.DragDrop(true, r.Left + 13 * 8, y, TShiftState());
    EXPECT_EQ(Lines(), Ls{"two threeone "});
    EXPECT_EQ(pad.GetSelText(), "one ");
    pad.Undo();
    EXPECT_EQ(Lines(), Ls{"one two three"});
    EXPECT_FALSE(pad.CanUndo());

    Select(TPoint(0, 0), TPoint(3, 0));
    pad.DragDrop(true, r.Left + 8 * 8, y, TShiftState(ssCtrl));
    EXPECT_EQ(Lines(), Ls{"one two onethree"});
    pad.Undo();
    EXPECT_EQ(Lines(), Ls{"one two three"});
}

TEST_F(PadTest, WordWrapSplitsAndJoins)
{
    pad.SetColumnCount(10);
    SetText({std::string(25, 'a')});
    Type("b");
    EXPECT_TRUE(pad.CanUndo());
    pad.SetWordWrap(qzwwUser);
    EXPECT_FALSE(pad.CanUndo());
    ASSERT_EQ(pad.Lines().Count(), 3);
    EXPECT_EQ(pad.Lines()[0].size(), 10u);
    EXPECT_EQ(pad.Lines()[1].size(), 10u);
    EXPECT_EQ(pad.Lines()[2].size(), 6u);
    EXPECT_TRUE(pad.Lines().Attribute(1)->Wrapped);
    EXPECT_TRUE(pad.Lines().Attribute(2)->Wrapped);
    EXPECT_EQ(pad.LogicalText(), "b" + std::string(25, 'a') + "\r\n");
    pad.SetWordWrap(qzwwNone);
    EXPECT_EQ(Lines(), Ls{"b" + std::string(25, 'a')});

    // A cut never splits a double-byte character, and a width below 2 counts as 2.
    pad.SetColumnCount(3);
    SetText({Cp949("가나다")});
    pad.SetWordWrap(qzwwUser);
    EXPECT_EQ(Lines(), (Ls{Cp949("가"), Cp949("나"), Cp949("다")}));
    pad.SetWordWrap(qzwwNone);
    pad.SetColumnCount(0);
    pad.SetWordWrap(qzwwUser);
    EXPECT_EQ(Lines(), (Ls{Cp949("가"), Cp949("나"), Cp949("다")}));
}

TEST_F(PadTest, SetLineUnderWrapMergesTheWrittenLine)
{
    pad.SetColumnCount(4);
    pad.SetWordWrap(qzwwUser);
    SetText({"abcdefgh", "xyz"});
    ASSERT_EQ(Lines(), (Ls{"abcd", "efgh", "xyz"}));
    Caret(0, 2);
    pad.SetLine(0, "1234");
    EXPECT_EQ(Lines(), (Ls{"1234", "efgh", "xyz"}));
    EXPECT_EQ(pad.CaretPos(), TPoint(0, 2));
    // Typing at the end of a full piece moves the caret onto the continuation.
    Caret(4, 0);
    Type("Z");
    EXPECT_EQ(Lines(), (Ls{"1234", "Zefg", "h", "xyz"}));
    EXPECT_EQ(pad.CaretPos(), TPoint(1, 1));
    EXPECT_FALSE(pad.Modified() == false);
}

TEST_F(PadTest, WindowWrapFollowsTheWidthWithoutModifying)
{
    pad.SetWordWrap(qzwwWindow);
    SetText({std::string(150, 'w')});
    EXPECT_EQ(pad.Lines().Count(), 2);
    EXPECT_FALSE(pad.Modified());
    pad.SetClientSize(34 + 50 * 8, 200);
    EXPECT_EQ(pad.Lines().Count(), 3);
    EXPECT_FALSE(pad.Modified());
    const int before = pad.Lines().Count();
    pad.BuildPaint();
    EXPECT_EQ(pad.Lines().Count(), before);
    EXPECT_EQ(pad.LogicalText(), std::string(150, 'w') + "\r\n");
}

TEST_F(PadTest, SizesNeverDivideByZero)
{
    pad.SetTabSize(0);
    SetText({"a\tb"});
    EXPECT_EQ(pad.ExpandedLine(0), "a b");
    pad.SetFontMetrics(0, 0);
    pad.SetClientSize(10, 2);
    EXPECT_EQ(pad.VisibleLines(), 1);
    SetText({"1", "2", "3"});
    pad.GoToLine(3);
    EXPECT_EQ(pad.CaretY(), 2);
    EXPECT_EQ(pad.TextPosFromPoint(TPoint(0, 0)).Y, pad.TopLine());
    pad.BuildPaint();
}

TEST_F(PadTest, TrimHexAndSort)
{
    SetText({"b  ", "A\t", "a"});
    Caret(3, 0);
    pad.TrimTrailingSpace();
    EXPECT_EQ(Lines(), (Ls{"b", "A", "a"}));
    EXPECT_EQ(pad.CaretX(), 1);
    EXPECT_EQ(pad.GetHexCode(), "13");
    Caret(0, 0);
    EXPECT_EQ(pad.GetHexCode(), "62");
    pad.Lines().SortBy(0, 2, true);
    EXPECT_EQ(pad.Lines()[2], "b");
    pad.Lines().SortBy(0, 2, false);
    EXPECT_EQ(pad.Lines()[0], "b");
    SetText({Cp949("가")});
    EXPECT_EQ(pad.GetHexCode(), "B0A1");
}

TEST_F(PadTest, ScrollBarsAndCaretPixels)
{
    SetText(std::vector<std::string>(50, "abc"));
    const auto& v = view.bars[qzsbVert];
    EXPECT_EQ(v.min, 0);
    EXPECT_EQ(v.max, 49);
    EXPECT_EQ(v.page, 10);
    EXPECT_EQ(v.pos, 0);
    Key(VK_END, kCtrl);
    EXPECT_EQ(view.bars[qzsbVert].pos, 40);
    Key(VK_HOME, kCtrl);
    Caret(3, 1);
    pad.UpdateCaretPos();
    EXPECT_EQ(view.caretPixel, TPoint(pad.EditRect().Left + 3 * 8, 4 + 17));
    pad.VScroll(qzscPageDown);
    EXPECT_EQ(pad.TopLine(), 10);
    EXPECT_EQ(view.bars[qzsbVert].pos, 10);
    pad.MouseWheel(120, 3);
    EXPECT_EQ(pad.TopLine(), 7);
    // With the caret out of view, a key first brings its line to the top.
    Key(VK_RIGHT);
    EXPECT_EQ(pad.TopLine(), 1);
    pad.SetOptions(pad.Options().With(qzoScrollPastEOL));
    EXPECT_EQ(view.bars[qzsbHorz].max, 95 + 2048 - 1);
    EXPECT_EQ(view.caretWidth, 2);
    Key(VK_INSERT);
    EXPECT_EQ(view.caretWidth, 8);
}

TEST_F(PadTest, AnEmptiedStoreStillTakesInput)
{
    pad.Lines().Clear();
    Type("a");
    EXPECT_EQ(Lines(), Ls{"a"});
    pad.Lines().Clear();
    pad.SetSelText("x\r\ny");
    EXPECT_EQ(Lines(), (Ls{"x", "y"}));
    pad.Lines().Clear();
    for (TQzPadCommand c : {qzcMoveDown, qzcSelBottom, qzcDeleteChar, qzcDeletePrevChar, qzcDeleteLine, qzcDeleteEOL,
                            qzcDeleteWord, qzcInsertTab, qzcBlockIndent, qzcBlockUnindent, qzcUndo, qzcSelectAll, qzcCut})
        pad.ProcessEditorCommand(c);
    pad.BuildPaint();
    EXPECT_EQ(pad.CaretPos(), TPoint(0, 0));
    pad.Lines().Clear();
    pad.ProcessEditorCommand(qzcInsertCR);
    EXPECT_EQ(pad.Lines().Count(), 2);
}

TEST_F(PadTest, WordKeysAndLineBreaksOverKoreanText)
{
    SetText({std::string("abc ") + Cp949("가나") + " d"});
    Key(VK_END);
    Key(VK_LEFT, kCtrl);
    EXPECT_EQ(pad.CaretX(), 9);
    Key(VK_LEFT, kCtrl);
    EXPECT_EQ(pad.CaretX(), 4);
    Key('T', kCtrl);
    EXPECT_EQ(Lines(), (Ls{"abc  d"}));
    Key(VK_BACK, kCtrl);
    EXPECT_EQ(Lines(), (Ls{" d"}));

    SetText({Cp949("가나") + ", d"});
    Key(VK_RIGHT, kShift | kCtrl);
    EXPECT_EQ(pad.GetSelText(), Cp949("가나") + ", ");
    Key(VK_BACK);
    EXPECT_EQ(Lines(), (Ls{"d"}));

    SetText({Cp949("가나")});
    Key(VK_RIGHT);
    Key(VK_RETURN);
    EXPECT_EQ(Lines(), (Ls{Cp949("가"), Cp949("나")}));
    Key(VK_BACK);
    EXPECT_EQ(Lines(), (Ls{Cp949("가나")}));
    EXPECT_EQ(pad.CaretX(), 2);
    Key(VK_END);
    Key(VK_RETURN, kShift);
    Key(VK_BACK);
    Key(VK_DELETE);
    EXPECT_EQ(Lines(), (Ls{Cp949("가나")}));
}

TEST_F(PadTest, PagingAndClipboardKeys)
{
    std::vector<std::string> many;
    for (int i = 0; i < 30; ++i) many.push_back("line" + std::to_string(i));
    SetText(many);
    Key(VK_NEXT, kShift);
    EXPECT_EQ(pad.CaretPos(), TPoint(0, 10));
    EXPECT_EQ(pad.GetSelEnd(), TPoint(0, 10));
    Key(VK_NEXT);
    EXPECT_EQ(pad.CaretPos(), TPoint(0, 20));
    EXPECT_FALSE(pad.GetSelectAvail());
    Key(VK_PRIOR);
    EXPECT_EQ(pad.CaretPos(), TPoint(0, 10));

    SetText({"hello world"});
    Key(VK_END);
    Key(VK_HOME, kShift);
    Key('X', kCtrl);
    EXPECT_EQ(Lines(), (Ls{""}));
    EXPECT_EQ(view.clipboard, "hello world");
    Key('V', kCtrl);
    Key(VK_INSERT, kShift);
    EXPECT_EQ(Lines(), (Ls{"hello worldhello world"}));
    EXPECT_EQ(pad.CaretX(), 22);
    Key(VK_LEFT, kShift);
    Key(VK_INSERT, kCtrl);
    EXPECT_EQ(view.clipboard, "d");
    Key(VK_DELETE, kShift);
    EXPECT_EQ(Lines(), (Ls{"hello worldhello worl"}));
}

// The caret never rests between the two bytes of a double-byte character after an edit, so text
// typed there cannot split one.
TEST_F(PadTest, EditsNeverLeaveTheCaretInsideACharacter)
{
    // Enter in overwrite mode keeps the column on the line below.
    SetText({"abc", Cp949("가나")});
    pad.SetEditMode(qzmOverwrite);
    Caret(1, 0);
    Key(VK_RETURN);
    EXPECT_EQ(pad.CaretPos(), TPoint(2, 1));
    Type("x");
    EXPECT_EQ(Lines(), (Ls{"abc", Cp949("가") + "x"}));
    pad.SetEditMode(qzmInsert);

    // Deleting a line moves the next one up under the caret.
    SetText({"abc", Cp949("가나")});
    Caret(1, 0);
    Key('Y', kCtrl);
    EXPECT_EQ(pad.CaretPos(), TPoint(2, 0));
    Type("x");
    EXPECT_EQ(Lines(), (Ls{Cp949("가") + "x" + Cp949("나")}));

    // A column block's start column can fall inside a character of its first row.
    SetText({Cp949("가나"), "abcd"});
    Key('B', kCtrl);
    Caret(3, 1);
    Key(VK_UP, kShift);
    EXPECT_EQ(pad.CaretPos(), TPoint(4, 0));
    Type("x");
    EXPECT_EQ(Lines(), (Ls{Cp949("가나") + "x", "abc"}));
    Key('Z', kCtrl);
    Key('Z', kCtrl);
    EXPECT_EQ(Lines(), (Ls{Cp949("가나"), "abcd"}));

    Caret(3, 1);
    Key(VK_ESCAPE);
    Key(VK_UP, kShift);
    Key(VK_DELETE);
    EXPECT_EQ(Lines(), (Ls{Cp949("가나"), "abc"}));
    EXPECT_EQ(pad.CaretPos(), TPoint(4, 0));
}

TEST_F(PadTest, PastingAnEmptyClipboardKeepsTheSelection)
{
    SetText({"keep me"});
    view.ClipboardSetText("");
    Key(VK_END, kShift);
    Key('V', kCtrl);
    EXPECT_EQ(Lines(), (Ls{"keep me"}));
    EXPECT_TRUE(pad.GetSelectAvail());
    EXPECT_FALSE(pad.CanUndo());
}

TEST_F(PadTest, InsertedTextNeverSplitsACharacterAtTheCaret)
{
    // A caret put between the two bytes of a character (by a caller) inserts after the character.
    SetText({Cp949("가나")});
    Caret(1, 0);
    view.ClipboardSetText("a\r\nb");
    Key('V', kCtrl);
    EXPECT_EQ(Lines(), (Ls{Cp949("가") + "a", "b" + Cp949("나")}));
    pad.Undo();
    EXPECT_EQ(Lines(), (Ls{Cp949("가나")}));

    Caret(3, 0);
    Type("x");
    EXPECT_EQ(Lines(), (Ls{Cp949("가나") + "x"}));
    pad.Undo();
    EXPECT_EQ(Lines(), (Ls{Cp949("가나")}));
}
