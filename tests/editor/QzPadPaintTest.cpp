// What a paint of the editor model draws: rows, selection spans, gutter marks and colours.

#include "QzPadTestUtil.h"

#include "editor/model/QzSyntax.h"

namespace {
const TQzPadPaintLine* Row(const TQzPadPaint& p, int line)
{
    for (const auto& r : p.Lines)
        if (r.Line == line) return &r;
    return nullptr;
}
}  // namespace

TEST_F(PadTest, PaintRowsAndSelectionSpans)
{
    SetText({"abcdef", "", "ghi", "jkl"});
    Select(TPoint(2, 0), TPoint(0, 3));
    TQzPadPaint p = pad.BuildPaint();
    ASSERT_FALSE(p.Skip);
    EXPECT_EQ(p.Lines.size(), 11u);
    const TRect r = p.EditRect;
    EXPECT_EQ(r.Left, 34);
    ASSERT_EQ(Row(p, 0)->Inverted.size(), 1u);
    EXPECT_EQ(Row(p, 0)->Inverted[0], std::make_pair(r.Left + 2 * 8, r.Right));
    EXPECT_EQ(Row(p, 1)->Inverted[0], std::make_pair(r.Left, r.Right));
    EXPECT_EQ(Row(p, 2)->Inverted[0], std::make_pair(r.Left, r.Right));
    EXPECT_TRUE(Row(p, 3)->Inverted.empty());  // the selection ends at column 0 of this line
    EXPECT_EQ(Row(p, 0)->Tokens.at(0).Text, "abcdef");
    EXPECT_EQ(Row(p, 0)->Tokens.at(0).X, r.Left);
    EXPECT_FALSE(Row(p, 5)->Exists);

    pad.SetBlockMode(qzbmColumn);
    pad.SetSelStart(TPoint(1, 0));
    pad.SetSelEnd(TPoint(3, 2));
    p = pad.BuildPaint();
    EXPECT_EQ(Row(p, 1)->Inverted[0], std::make_pair(r.Left + 8, r.Left + 3 * 8));
    EXPECT_EQ(Row(p, 2)->Inverted[0], std::make_pair(r.Left + 8, r.Left + 3 * 8));
}

TEST_F(PadTest, PaintSkipsDuringUpdateAndMarksLines)
{
    SetText({"\x0Cpage", "b", "c"});
    pad.SetOptions(pad.Options().With(qzoFillCurrentLine).With(qzoShowLineNo));
    pad.SetBookmark(1, 3);
    pad.SetBookmark(2, -1);
    pad.SetGutterImages(10, 12, 12);
    pad.BeginUpdate();
    EXPECT_TRUE(pad.BuildPaint().Skip);
    pad.EndUpdate();
    TQzPadPaint p = pad.BuildPaint();
    EXPECT_TRUE(Row(p, 0)->PageBreak);
    EXPECT_FALSE(Row(p, 1)->PageBreak);
    EXPECT_EQ(Row(p, 0)->Background, pad.CurrentLineColor());
    EXPECT_EQ(Row(p, 1)->Background, pad.BookmarkColor());
    EXPECT_EQ(Row(p, 2)->Background, pad.BookmarkColor());
    EXPECT_EQ(Row(p, 1)->GutterImages, std::vector<int>{3});
    EXPECT_TRUE(Row(p, 2)->GutterImages.empty());
    EXPECT_EQ(Row(p, 1)->LineNumber, "2");
    EXPECT_EQ(Row(p, 1)->LineNumberX, p.EditRect.Left - 8 - 10);
    EXPECT_EQ(p.ColumnIndicatorX, 80 * 8 + p.EditRect.Left + 1);
}

TEST_F(PadTest, LineNumberBandWidensWithTheDigits)
{
    pad.SetOptions(pad.Options().With(qzoShowLineNo));
    SetText(std::vector<std::string>(8, "x"));
    const int narrow = pad.EditRect().Left;
    view.invalidateAll = 0;
    Key(VK_END, TShiftState(ssCtrl));
    Key(VK_RETURN);  // 9 lines: count + 1 reaches two digits
    EXPECT_GT(view.invalidateAll, 0);
    EXPECT_EQ(pad.EditRect().Left, narrow + 8);
}

TEST_F(PadTest, ColouringCarriesStateDownThePaintedRows)
{
    TQzSyntax syntax;
    syntax.BlockCommentStart1 = "/*";
    syntax.BlockCommentEnd1 = "*/";
    pad.SetSyntax(&syntax);
    pad.SetOptions(pad.Options().With(qzoHighlightSyntax));
    SetText({"x", "a /* b", "c", "d */ e"});
    TQzPadPaint p = pad.BuildPaint();
    ASSERT_NE(pad.Lines().Attribute(1), nullptr);
    EXPECT_EQ(pad.Lines().Attribute(1)->SyntaxState, 1);
    EXPECT_EQ(pad.Lines().Attribute(2)->SyntaxState, 1);
    EXPECT_EQ(pad.Lines().Attribute(3)->SyntaxState, 0);
    const auto& row2 = Row(p, 2)->Tokens;
    ASSERT_FALSE(row2.empty());
    EXPECT_EQ(row2[0].Color, syntax.CommentColor);
    // Colouring makes attributes without marking the text modified.
    EXPECT_FALSE(pad.Modified());
    // Typing a comment mark repaints everything below.
    view.invalidateAll = 0;
    Caret(0, 0);
    Type("/*");
    EXPECT_GT(view.invalidateAll, 0);
}
