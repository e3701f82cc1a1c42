// Edits that once broke the text: column blocks with overwrite and tabs, positions past the line
// end, undo and block indent under word wrap, Korean characters under the caret, painting from a
// scrolled column, macro replay, templates, the caret's pixel, rewrites that recorded no undo
// step, bookmarks misplaced by undo, column removals that cut outside the block, column pastes
// whose pieces skipped a row under word wrap and points beside a column block taken for inside.

#include "QzPadTestUtil.h"

#include "editor/model/QzPadDbcs.h"
#include "editor/model/QzPadMacro.h"
#include "editor/model/QzPadSearch.h"
#include "editor/model/QzPadTransform.h"
#include "platform/core/Cp949.h"

#include <functional>

using Ls = std::vector<std::string>;

namespace {

const TShiftState kCtrl(ssCtrl);
const TShiftState kShiftCtrl = TShiftState(ssShift) | TShiftState(ssCtrl);

Ls K(std::initializer_list<const char*> utf8)
{
    Ls out;
    for (const char* s : utf8) out.push_back(Cp949(s));
    return out;
}

std::string JoinLines(const Ls& lines)
{
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

}  // namespace

// Each case: the lines, the edit, the text after it, and after undoing every step of it.
TEST_F(PadTest, UndoGivesBackTheTextInEveryBlockAndEditMode)
{
    auto commit = [this](const char* utf8) {
        pad.ImeStartComposition();
        pad.ImeComposition(Cp949(utf8));
        pad.ImeResult(Cp949(utf8));
        pad.ImeEndComposition();
    };
    struct Case {
        const char* name;
        Ls lines;
        std::function<void()> edit;
        Ls after;
        int wrap = 0;  // the lines wrapped at this many columns (0: no word wrap)
    };
    const Case cases[] = {
        {"overwrite in a column block", {"abc"},
         [&] {
             Key('B', kCtrl);
             Key(VK_INSERT);
             Type("X");
         },
         {"Xbc"}},
        {"overwrite of Korean text in a column block", K({"안녕하세요 abc"}),
         [&] {
             Key('B', kCtrl);
             Key(VK_INSERT);
             Key(VK_RIGHT);
             commit("반");
             Type("X");
         },
         K({"안반X세요 abc"})},
        {"column paste with a tab", {"xyz"},
         [&] {
             Key('B', kCtrl);
             view.ClipboardSetText("a\tb");
             Key('V', kCtrl);
         },
         {"a bxyz", ""}},
        {"column paste with a tab over a selection", {"xyz"},
         [&] {
             Key('B', kCtrl);
             Key(VK_RIGHT, TShiftState(ssShift));
             view.ClipboardSetText("a\tb");
             Key('V', kCtrl);
         },
         {"a byz", ""}},
        // The block is cut on each row as shown: the moving edge inside "가" moves after it on
        // its own row only, so the other row loses no more than was put on the clipboard.
        {"column cut with its moving edge inside a character", K({"ab가c", "abcdef"}),
         [&] {
             Key('B', kCtrl);
             Select(TPoint(1, 1), TPoint(3, 0));
             Key('X', kCtrl);
             EXPECT_EQ(view.clipboard, Cp949("b가\r\nbc\r\n"));
         },
         K({"ac", "adef"})},
        {"stream removal from past the line end", {"ab", "    xyz"},
         [&] {
             pad.SetOptions(pad.Options().With(qzoScrollPastEOL));
             Select(TPoint(5, 0), TPoint(2, 1));
             Key(VK_DELETE);
         },
         {"ab     xyz"}},
        {"typing past the line end", {"ab"},
         [&] {
             pad.SetOptions(pad.Options().With(qzoScrollPastEOL));
             Caret(5, 0);
             Type("x");
         },
         {"ab   x"}},
        // Under word wrap each piece of a column paste goes on the row under the one that holds
        // the end of the piece before it, whole, whether it reaches its row's end or not.
        {"column paste whose pieces reach their rows' ends", {"abcdefghijklmnopqrstuvwxyz"},
         [&] {
             Key('B', kCtrl);
             Caret(2, 0);
             view.ClipboardSetText("1111\r\n2222\r\n3333\r\n");
             Key('V', kCtrl);
             EXPECT_EQ(Lines(), (Ls{"ab1111", "cd2222", "ef3333", "ghijkl", "mnopqr", "stuvwx", "yz"}));
         },
         {"ab1111cd2222ef3333ghijklmnopqrstuvwxyz"}, 6},
        {"column paste whose pieces end inside their rows", {"abcdefghijklmnopqrstuvwxyz"},
         [&] {
             Key('B', kCtrl);
             Caret(2, 0);
             view.ClipboardSetText("1111\r\n2\r\n3\r\n");
             Key('V', kCtrl);
             EXPECT_EQ(Lines(), (Ls{"ab1111", "cd2efg", "hi3jkl", "mnopqr", "stuvwx", "yz"}));
         },
         {"ab1111cd2efghi3jklmnopqrstuvwxyz"}, 6},
        // Block indent: "without a selection the blanks go in at the caret and, unless the caret
        // is at column 0, end up selected with the caret after them".
        {"block indent at column 0 without a selection", {"abc"},
         [&] {
             Key('I', kShiftCtrl);
             EXPECT_EQ(pad.CaretPos(), TPoint(0, 0));
             EXPECT_FALSE(pad.GetSelectAvail());
         },
         {"  abc"}},
        {"block indent at column 0 without a selection under word wrap", {"abcdefghij"},
         [&] {
             Key('I', kShiftCtrl);
             EXPECT_EQ(Lines(), (Ls{"  abcd", "efghij"}));
             EXPECT_EQ(pad.CaretPos(), TPoint(0, 0));
             EXPECT_FALSE(pad.GetSelectAvail());
         },
         {"  abcdefghij"}, 6},
        // Word delete: "when p is 0 this is Delete", and Delete takes the selection out.
        {"word delete at the line's end with a selection", {"abc", "def"},
         [&] {
             Select(TPoint(0, 0), TPoint(2, 0));
             Caret(3, 0);
             Key('T', kCtrl);
             EXPECT_EQ(pad.CaretPos(), TPoint(0, 0));
             EXPECT_FALSE(pad.GetSelectAvail());
         },
         {"c", "def"}},
        {"word delete after selecting to the line's end", {"abc", "def"},
         [&] {
             Key(VK_END, TShiftState(ssShift));
             Key('T', kCtrl);
         },
         {"", "def"}},
        // A column paste and a column cut are edits: an unmodified pad asks to be saved after them.
        {"column paste on an unmodified pad", {"abc"},
         [&] {
             Key('B', kCtrl);
             view.ClipboardSetText("x\r\ny\r\n");
             pad.SetModified(false);
             Key('V', kCtrl);
             EXPECT_TRUE(pad.Modified());
         },
         {"xabc", "y", ""}},
        {"column cut on an unmodified pad", {"abc", "def"},
         [&] {
             Key('B', kCtrl);
             Select(TPoint(1, 0), TPoint(2, 1));
             pad.SetModified(false);
             Key('X', kCtrl);
             EXPECT_TRUE(pad.Modified());
         },
         {"ac", "df"}},
        // The line under the one a column paste crosses is a line of its own, bookmarked or not.
        {"column paste above a bookmarked line under word wrap", {"abcdefgh", "xyz"},
         [&] {
             pad.SetBookmark(2, 1);
             Key('B', kCtrl);
             Caret(2, 0);
             view.ClipboardSetText("1\r\n2\r\n");
             Key('V', kCtrl);
             EXPECT_EQ(Lines(), (Ls{"ab1cde", "fg2h", "xyz"}));
             EXPECT_EQ(pad.GetBookmarkStr(), "2:1");
         },
         {"ab1cdefg2h", "xyz"}, 6},
        // A point right of a column block on its first row is beside it: the block moves there.
        {"column drop beside the block", {"abcd", "efgh", "ijkl"},
         [&] {
             Key('B', kCtrl);
             Select(TPoint(1, 0), TPoint(3, 2));
             pad.DragDrop(true, pad.EditRect().Left + 4 * pad.CharWidth() + 1, pad.EditRect().Top + 2, TShiftState());
         },
         {"adbc", "ehfg", "iljk", ""}},
    };
    for (const Case& c : cases) {
        pad.SetColumnCount(c.wrap > 0 ? c.wrap : 80);
        pad.SetWordWrap(c.wrap > 0 ? qzwwUser : qzwwNone);
        SetText(c.lines);
        const Ls rows = Lines();
        pad.SetBlockMode(qzbmLine);
        pad.SetEditMode(qzmInsert);
        pad.SetOptions(pad.Options().Without(qzoScrollPastEOL));
        c.edit();
        EXPECT_EQ(pad.LogicalText(), JoinLines(c.after)) << c.name;
        while (pad.CanUndo()) Key('Z', kCtrl);
        EXPECT_EQ(Lines(), rows) << c.name;
    }
}

TEST_F(PadTest, UndoInAColumnBlockLeavesTheCaretOnACharacter)
{
    SetText(K({"가"}));
    Key('B', kCtrl);
    Type("a");
    Key('Z', kCtrl);
    EXPECT_EQ(pad.CaretPos(), TPoint(0, 0));
    Key(VK_RETURN);
    EXPECT_EQ(Lines(), K({"", "가"}));
}

TEST_F(PadTest, BlockIndentKeepsTheCaretWithItsCharacter)
{
    SetText(K({"x", "가b", "y"}));
    Caret(3, 1);
    Key('A', kCtrl);
    Key('I', kShiftCtrl);
    EXPECT_EQ(Lines(), K({"  x", "  가b", "  y"}));
    EXPECT_EQ(pad.CaretPos(), TPoint(5, 1));
    Key(VK_ESCAPE);
    Key(VK_BACK);
    Key(VK_LEFT);
    Key(VK_DELETE);
    pad.ImeStartComposition();
    pad.ImeResult(Cp949("반"));
    EXPECT_EQ(Lines(), K({"  x", "  반", "  y"}));
}

TEST_F(PadTest, UnderWordWrapEditsActOnTheLogicalLine)
{
    pad.SetColumnCount(6);
    pad.SetWordWrap(qzwwUser);

    // Enter in overwrite mode keeps to the row below, and a syllable committed there overwrites
    // the next character of the line.
    SetText(K({"abcdefghijk한글한"}));
    EXPECT_EQ(Lines(), K({"abcdef", "ghijk", "한글한"}));
    pad.SetEditMode(qzmOverwrite);
    Caret(6, 0);
    Key(VK_RETURN);
    EXPECT_EQ(pad.CaretPos(), TPoint(5, 1));
    pad.ImeStartComposition();
    pad.ImeComposition(Cp949("반"));
    pad.ImeResult(Cp949("반"));
    pad.ImeEndComposition();
    EXPECT_EQ(pad.LogicalText(), Cp949("abcdefghijk반글한\r\n"));
    pad.SetEditMode(qzmInsert);

    // Deleting a continuation row and undoing it puts the row back in its place.
    pad.SetColumnCount(5);
    SetText({"abcdefghij"});
    Caret(0, 1);
    Key('Y', kCtrl);
    EXPECT_EQ(Lines(), Ls{"abcde"});
    Key('Z', kCtrl);
    EXPECT_EQ(Lines(), (Ls{"abcde", "fghij"}));
    EXPECT_EQ(pad.LogicalText(), "abcdefghij\r\n");

    // Block indent indents each logical line at its start; undo takes exactly that back.
    pad.SetColumnCount(6);
    SetText({"abcdefghijkl", "mnop"});
    Select(TPoint(0, 0), TPoint(2, 2));
    Key('I', kShiftCtrl);
    EXPECT_EQ(pad.LogicalText(), "  abcdefghijkl\r\n  mnop\r\n");
    Key('Z', kCtrl);
    EXPECT_EQ(pad.LogicalText(), "abcdefghijkl\r\nmnop\r\n");
    EXPECT_EQ(Lines(), (Ls{"abcdef", "ghijkl", "mnop"}));
}

TEST_F(PadTest, PaintedTextNeverStartsInsideACharacter)
{
    // Scrolled so that the first visible column follows a Korean character.
    SetText({Cp949("한x가나")});
    pad.BuildPaint();
    for (int left = 1; left <= 6; ++left) {
        while (pad.LeftCol() < left) pad.HScroll(qzscLineDown);
        const TQzPadPaint paint = pad.BuildPaint();
        ASSERT_FALSE(paint.Lines.empty());
        ASSERT_EQ(paint.Lines[0].Tokens.size(), 1u);
        const TQzPadPaintToken& t = paint.Lines[0].Tokens[0];
        const int column = (t.X - pad.EditRect().Left) / pad.CharWidth() + left;
        EXPECT_FALSE(QzIsTrailAt(pad.ExpandedLine(0), column)) << left;
        EXPECT_EQ(t.Text, pad.ExpandedLine(0).substr(static_cast<size_t>(column))) << left;
    }
}

TEST_F(PadTest, AReplayedMacroGivesTheLinesItRecorded)
{
    TQzPadMacro macro;
    pad.SetMacro(&macro);
    // A tab goes in once; a page break begins its line, also with auto-indent on.
    SetText({"    ab"});
    Caret(6, 0);
    pad.RecordMacro();
    Key(VK_TAB);
    pad.InsertPageBreak();
    Type("c");
    pad.StopRecord();
    const Ls recorded = Lines();
    EXPECT_EQ(recorded, (Ls{"    ab  ", "\fc"}));
    SetText({"    ab"});
    Caret(6, 0);
    pad.PlayMacro(1);
    EXPECT_EQ(Lines(), recorded);
    pad.SetMacro(nullptr);
}

TEST_F(PadTest, TemplateCaretStandsAfterTheTab)
{
    pad.SetTabSize(4);
    SetText({"a"});
    Caret(1, 0);
    pad.InsertCodeTemplate("\t|x");
    EXPECT_EQ(Lines(), Ls{"a\tx"});
    EXPECT_EQ(pad.CaretPos(), TPoint(4, 0));
    Type("y");
    EXPECT_EQ(Lines(), Ls{"a   yx"});
}

TEST_F(PadTest, TheCaretPixelFollowsTyping)
{
    SetText({""});
    Type("abc");
    EXPECT_EQ(view.caretPixel, TPoint(pad.EditRect().Left + 3 * pad.CharWidth(), pad.EditRect().Top));
    pad.ImeStartComposition();
    pad.ImeResult(Cp949("가"));
    EXPECT_EQ(view.caretPixel.X, pad.EditRect().Left + 5 * pad.CharWidth());
}

// A replacement is one step: the first undo takes back exactly it, with the caret and selection
// of that moment, and the second the typing before it.
TEST_F(PadTest, ReplaceAllIsOneUndoStep)
{
    TQzPadSearch search(pad);
    SetText({"abc"});
    Caret(3, 0);
    Type("d");
    Caret(0, 0);
    ASSERT_TRUE(search.ReplaceAll("a", "AAA", TQzFindOptions{}));
    EXPECT_EQ(Lines(), Ls{"AAAbcd"});
    Key('Z', kCtrl);
    EXPECT_EQ(Lines(), Ls{"abcd"});
    EXPECT_EQ(pad.CaretPos(), TPoint(0, 0));
    EXPECT_FALSE(pad.GetSelectAvail());
    Key('Z', kCtrl);
    EXPECT_EQ(Lines(), Ls{"abc"});

    // Under word wrap the replacement adds a continuation row, which undo takes out again.
    pad.SetColumnCount(10);
    pad.SetWordWrap(qzwwUser);
    SetText({"abc", "klm", "nop"});
    Caret(3, 0);
    Type("d");
    Caret(0, 0);
    ASSERT_TRUE(search.ReplaceAll("b", "bbbbbbbbbbbb", TQzFindOptions{}));
    EXPECT_EQ(Lines(), (Ls{"abbbbbbbbb", "bbbcd", "klm", "nop"}));
    Key('Z', kCtrl);
    EXPECT_EQ(Lines(), (Ls{"abcd", "klm", "nop"}));
    EXPECT_EQ(pad.LogicalText(), "abcd\r\nklm\r\nnop\r\n");
    Key('Z', kCtrl);
    EXPECT_EQ(Lines(), (Ls{"abc", "klm", "nop"}));

    // A regular expression in a selection: the selection comes back with the text.
    pad.SetWordWrap(qzwwNone);
    SetText({"a1 b22", "c333 d"});
    Select(TPoint(1, 0), TPoint(4, 1));
    ASSERT_TRUE(search.ReplaceAll("[0-9][0-9]*", "#", TQzFindOptions{qzfoRegular}));
    EXPECT_EQ(Lines(), (Ls{"a# b#", "c# d"}));
    Key('Z', kCtrl);
    EXPECT_EQ(Lines(), (Ls{"a1 b22", "c333 d"}));
    EXPECT_EQ(pad.SelAnchor(), TPoint(1, 0));
    EXPECT_EQ(pad.SelMovingEnd(), TPoint(4, 1));
    EXPECT_FALSE(pad.CanUndo());
}

// TabToSpace and WrappedLineToNewLine are each one step of their own: undo takes back only them,
// not the edit before.
TEST_F(PadTest, TabToSpaceAndWrappedLineToNewLineAreOneUndoStepEach)
{
    TQzPadTransform transform(pad);
    pad.SetTabSize(4);
    SetText({"a\tb", "\tc"});
    Caret(5, 0);
    Type("x");
    transform.TabToSpace();
    EXPECT_EQ(Lines(), (Ls{"a   bx", "    c"}));
    Key('Z', kCtrl);
    EXPECT_EQ(Lines(), (Ls{"a   bx", "\tc"}));
    Key('Z', kCtrl);
    EXPECT_EQ(Lines(), (Ls{"a\tb", "\tc"}));

    pad.SetColumnCount(5);
    pad.SetWordWrap(qzwwUser);
    SetText({"abcdefgh", "ij"});
    pad.SetModified(false);
    Caret(2, 2);
    Type("k");
    pad.SetModified(false);
    Key('A', kCtrl);
    pad.WrappedLineToNewLine();
    EXPECT_EQ(pad.LogicalText(), "abcde\r\nfgh\r\nijk\r\n");
    EXPECT_TRUE(pad.Modified());
    Key('Z', kCtrl);
    EXPECT_EQ(pad.LogicalText(), "abcdefgh\r\nijk\r\n");
    EXPECT_EQ(pad.SelMovingEnd(), TPoint(3, 2));
    Key('Z', kCtrl);
    EXPECT_EQ(pad.LogicalText(), "abcdefgh\r\nij\r\n");
}

// Setting a bookmark is no edit, and a numbered one stands on one line at most. Each case: the
// bookmarks before the edit, the edit, the bookmarks set or cleared after it, and the bookmarks
// once the edit is undone (which gives back the text). Under word wrap (3 columns) "abcdef" is the
// rows "abc" and "def", the second a continuation that carries its own attribute.
TEST_F(PadTest, UndoOfAnEditLeavesTheBookmarksSetSince)
{
    const Ls plain{"abc", "def", "ghi", "jkl", "mno"};
    struct Case {
        const char* name;
        bool wrapped;
        std::function<void()> before, edit, since;
        std::string marks;
    };
    const auto breakAtRow = [&] {
        Caret(0, 1);
        Key(VK_RETURN);
    };
    const Case cases[] = {
        // A join moves line 2's bookmark to line 0; set again on line 2, it stays there and the
        // undo gives line 2 back without it.
        {"joined, then set again", false, [&] { pad.SetBookmark(2, 4); },
         [&] {
             Select(TPoint(1, 0), TPoint(1, 2));
             Key(VK_DELETE);
         },
         [&] { pad.SetBookmark(2, 4); }, "4:4"},
        // Lines 2 and 3 go; bookmark 0 is set on line 0 meanwhile: line 2 comes back without it.
        {"deleted, then 0 set elsewhere", false, [&] { pad.SetBookmark(2, 0); },
         [&] {
             Select(TPoint(0, 1), TPoint(0, 3));
             Key(VK_DELETE);
         },
         [&] { pad.SetBookmark(0, 0); }, "0:0"},
        // A break at a continuation row changes only that row's attribute.
        {"break at a row keeps the row's own bookmark", true, [&] { pad.SetBookmark(1, 4); }, breakAtRow, [] {},
         "1:4"},
        {"break at a row, then set", true, [] {}, breakAtRow, [&] { pad.SetBookmark(1, 7); }, "1:7"},
        {"break at a row, then cleared", true, [&] { pad.SetBookmark(1, 4); }, breakAtRow,
         [&] { pad.SetBookmark(1, 4); }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pad.SetWordWrap(qzwwNone);
        SetText(plain);
        if (c.wrapped) {
            SetText({"abcdef"});
            pad.SetColumnCount(3);
            pad.SetWordWrap(qzwwUser);
            ASSERT_EQ(Lines(), (Ls{"abc", "def"}));
        }
        c.before();
        c.edit();
        ASSERT_TRUE(pad.CanUndo());
        c.since();
        while (pad.CanUndo()) Key('Z', kCtrl);
        EXPECT_EQ(Lines(), (c.wrapped ? Ls{"abc", "def"} : plain));
        EXPECT_EQ(pad.GetBookmarkStr(), c.marks);
    }
}

// Setting a bookmark is no edit: undo gives back the text and leaves the bookmark on its line.
TEST_F(PadTest, UndoKeepsABookmarkSetSince)
{
    SetText({"abc", "def", "ghi"});
    Select(TPoint(1, 0), TPoint(1, 1));
    Key(VK_DELETE);
    pad.SetBookmark(0, 7);
    Type("Z");
    Key('Z', kCtrl);
    Key('Z', kCtrl);
    EXPECT_EQ(Lines(), (Ls{"abc", "def", "ghi"}));
    EXPECT_EQ(pad.GetBookmarkStr(), "0:7");
    // Unless the undo removes its line.
    Select(TPoint(3, 2), TPoint(3, 2));
    Key(VK_RETURN);
    pad.SetBookmark(3, 7);
    Key('Z', kCtrl);
    EXPECT_EQ(Lines(), (Ls{"abc", "def", "ghi"}));
    EXPECT_EQ(pad.GetBookmarkStr(), "");
}

// A column removal under word wrap takes exactly the block as the rows stood when it began: a
// line that loses its continuations pulls the rows below it up, yet no cut falls outside the
// block. The same holds where the removal comes before other text goes in. Undo gives back the
// rows.
TEST_F(PadTest, ColumnRemovalUnderWordWrapTakesOnlyTheBlock)
{
    pad.SetColumnCount(3);
    pad.SetWordWrap(qzwwUser);
    const Ls rows{"a12", "b34", "c", "def", "ghi", "jkl"};
    const TRect& r = pad.EditRect();
    struct Case {
        const char* name;
        std::function<void()> edit;
        std::string after;
        bool start = false;  // `after` is only the start of the text
    };
    const Case cases[] = {
        {"delete", [&] { Key(VK_DELETE); }, "24\r\nf\r\nghi\r\njkl\r\n"},
        {"delete block", [&] { Key(VK_DELETE, kCtrl); }, "24\r\nf\r\nghi\r\njkl\r\n"},
        {"cut", [&] { Key('X', kCtrl); }, "24\r\nf\r\nghi\r\njkl\r\n"},
        {"typing over the block", [&] { Type("X"); }, "X24\r\nf\r\nghi\r\njkl\r\n"},
        {"paste over the block",
         [&] {
             view.ClipboardSetText("PQ");
             Key('V', kCtrl);
         },
         "PQ24\r\nf\r\nghi\r\njkl\r\n"},
        // Dropped after the "g" of "ghi", two rows further up once the block is out; from there
        // the block goes down the rows as a column paste does.
        {"drop moved below the block",
         [&] { pad.DragDrop(true, r.Left + pad.CharWidth() + 1, r.Top + 4 * pad.LineHeight() + 2, TShiftState()); },
         "24\r\nf\r\nga1h", true},
        // Right of the block on a middle row is beside it: the drop point keeps its place between
        // "2" and "4", and from there the pieces go down the rows.
        {"drop moved beside the block",
         [&] { pad.DragDrop(true, r.Left + 2 * pad.CharWidth() + 1, r.Top + pad.LineHeight() + 2, TShiftState()); },
         "2a14b3\r\nfc \r\ngdehi\r\njkl\r\n"},
        // A press there places the caret instead of starting a drag.
        {"press beside the block",
         [&] {
             pad.MouseDown(mbLeft, TShiftState(ssLeft), r.Left + 2 * pad.CharWidth() + 1, r.Top + pad.LineHeight() + 2);
             EXPECT_FALSE(pad.GetSelectAvail());
             EXPECT_EQ(pad.CaretPos(), TPoint(2, 1));
             pad.MouseUp(mbLeft, TShiftState(), r.Left + 2 * pad.CharWidth() + 1, r.Top + pad.LineHeight() + 2);
         },
         "a12b34c\r\ndef\r\nghi\r\njkl\r\n"},
    };
    for (const Case& c : cases) {
        SetText({"a12b34c", "def", "ghi", "jkl"});
        ASSERT_EQ(Lines(), rows);
        pad.SetBlockMode(qzbmColumn);
        Select(TPoint(0, 0), TPoint(2, 3));
        c.edit();
        EXPECT_EQ(c.start ? pad.LogicalText().substr(0, c.after.size()) : pad.LogicalText(), c.after) << c.name;
        // The caret goes to the block's left edge on its row: where "f" now begins.
        if (c.name == std::string("delete block")) {
            EXPECT_EQ(pad.CaretPos(), TPoint(0, 1));
        }
        if (c.name == std::string("cut")) {
            EXPECT_EQ(view.clipboard, "a1\r\nb3\r\nc \r\nde\r\n");
        }
        while (pad.CanUndo()) Key('Z', kCtrl);
        EXPECT_EQ(Lines(), rows) << c.name;
    }
}
