#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FrameTestSupport.h"
#include "controls/QzCaptionLabel.h"
#include "platform/core/Cp949.h"

namespace {

// The look both windows give the label: black, white 12-pixel font, wrapped and centred.
void StyleAsMovieLabel(TQzCaptionLabel& label)
{
    label.SetColor(clBlack);
    label.Font()->SetHeight(-12);
    label.Font()->SetColor(clWhite);
    label.SetWordWrap(true);
    label.SetTextAlign(qztalCenter);
    label.SetSpaceTop(5);
    label.SetSpaceLine(2);
}

// Columns [x0, x1) of the image that hold a pixel of `color`.
int ColumnsWith(const QImage& img, TColor color, int x0, int x1)
{
    int n = 0;
    for (int x = x0; x < x1; ++x)
        for (int y = 0; y < img.height(); ++y)
            if (PixelAt(img, x, y) == color) {
                ++n;
                break;
            }
    return n;
}

int CountPixels(TBitmap& b, TColor color)
{
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            n += b.Pixel(x, y) == color;
    return n;
}

// Draws one line with CaptionTextOut on a black bitmap in a white 12-pixel font.
struct LineDrawing {
    TBitmap bmp{300, 20};
    TFont font;
    int endX = 0;
    LineDrawing(TQzCaptionLabel& label, const std::string& line)
    {
        font.SetHeight(-12);
        font.SetColor(clWhite);
        bmp.Canvas()->Brush->Color = clBlack;
        bmp.Canvas()->FillRect(Rect(0, 0, 300, 20));
        bmp.Canvas()->Font->Assign(font);
        endX = label.CaptionTextOut(bmp.Canvas(), font, 0, 0, line);
    }
};

}  // namespace

class QzCaptionLabelTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureFrameTestApp(); }
};

TEST_F(QzCaptionLabelTest, FontColourThenBackToTheLabelsColour)
{
    TQzCaptionLabel label;
    StyleAsMovieLabel(label);
    label.SetTextAlign(qztalLeft);
    label.SetBounds(0, 0, 200, 40);
    label.SetCaption("<font color=red>AAA</font>BBB");
    const QImage img = label.PaintToImage();
    TCanvas measure;
    measure.Font->SetHeight(-12);
    const int wA = measure.TextWidth("AAA");
    const int wB = measure.TextWidth("BBB");
    EXPECT_GT(ColumnsWith(img, clRed, 0, wA), 0);
    EXPECT_EQ(ColumnsWith(img, clRed, wA, 200), 0);
    EXPECT_GT(ColumnsWith(img, clWhite, wA, wA + wB), 0);
    EXPECT_EQ(ColumnsWith(img, clWhite, 0, wA), 0);
    EXPECT_EQ(PixelAt(img, 199, 39), clBlack);
    // The text sits below SpaceTop.
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(PixelAt(img, 1, y), clBlack);
}

TEST_F(QzCaptionLabelTest, ColourValuesByNameHexAndClamped)
{
    TQzCaptionLabel label;
    TColor c = 0;
    EXPECT_EQ(label.ColorNames().Count(), 86);
    ASSERT_TRUE(label.ColorFromValue("red", c));
    EXPECT_EQ(c, RGB(0xFF, 0, 0));
    ASSERT_TRUE(label.ColorFromValue("lightgreen", c));
    EXPECT_EQ(c, RGB(0, 0xFF, 0));
    ASSERT_TRUE(label.ColorFromValue("#00ff00", c));
    EXPECT_EQ(c, RGB(0, 0xFF, 0));
    ASSERT_TRUE(label.ColorFromValue("123456", c));
    EXPECT_EQ(c, RGB(0x12, 0x34, 0x56));
    EXPECT_FALSE(label.ColorFromValue("blueish", c));
    EXPECT_FALSE(label.ColorFromValue("", c));
    // Six characters are read as hexadecimal whatever they are; each channel stays in 0..255.
    ASSERT_TRUE(label.ColorFromValue("zzzzzz", c));
    EXPECT_EQ(c, RGB(255, 255, 255));
    ASSERT_TRUE(label.ColorFromValue("!!!!!!", c));
    EXPECT_EQ(c, RGB(0, 0, 0));
}

TEST_F(QzCaptionLabelTest, FontTagsInTheLine)
{
    TQzCaptionLabel label;
    {
        LineDrawing d(label, "<FONT COLOR='#00ff00'>X");
        EXPECT_GT(CountPixels(d.bmp, clLime), 0);
        EXPECT_EQ(CountPixels(d.bmp, clWhite), 0);
    }
    {
        LineDrawing d(label, "<font color=\"123456\">X");
        EXPECT_GT(CountPixels(d.bmp, RGB(0x12, 0x34, 0x56)), 0);
    }
    for (const char* dropped : {"<font color=blueish>X", "<font size=3>X", "<font color>X", "<font color='red>X",
                                "<i>X</i>"}) {
        LineDrawing d(label, dropped);
        EXPECT_GT(CountPixels(d.bmp, clWhite), 0) << dropped;
        TCanvas measure;
        measure.Font->SetHeight(-12);
        EXPECT_EQ(d.endX, measure.TextWidth("X")) << dropped;
    }
    {
        LineDrawing d(label, "a > b");
        TCanvas measure;
        measure.Font->SetHeight(-12);
        EXPECT_EQ(d.endX, measure.TextWidth("a > b"));
    }
    {
        // Bold stays in the canvas font for what follows until "</b>".
        LineDrawing d(label, "<b>X");
        EXPECT_TRUE(d.bmp.Canvas()->Font->HasStyle(fsBold));
        LineDrawing e(label, "<u>X</u><b>Y</b>");
        EXPECT_FALSE(e.bmp.Canvas()->Font->HasStyle(fsBold));
        EXPECT_FALSE(e.bmp.Canvas()->Font->HasStyle(fsUnderline));
    }
    {
        // An unclosed '<' is text.
        LineDrawing d(label, "x <font color=red");
        EXPECT_EQ(CountPixels(d.bmp, clRed), 0);
        EXPECT_GT(CountPixels(d.bmp, clWhite), 0);
    }
}

TEST_F(QzCaptionLabelTest, LinesBreaksTabsAndWrapping)
{
    TQzCaptionLabel label;
    StyleAsMovieLabel(label);
    label.SetSpaceLeft(5);
    label.SetBounds(0, 0, 202, 80);
    EXPECT_EQ(label.WrapColumns(), 32);

    // Every spelling of the line break, in any letter case; other tags stay in the line. Blanks
    // where a line is cut (at the column limit, leading the line) make no empty line. 46 pixels
    // wide is 6 columns.
    const struct {
        const char* caption;
        std::vector<std::string> lines;
        int width = 202;
    } breaks[] = {
        {"a<br>b<Br>c\td", {"a", "b", "c d"}},
        {"This is a test<br/>with multiple lines.", {"This is a test", "with multiple lines."}},
        {"a<BR />b<bR/>c<br  >d", {"a", "b", "c", "d"}},
        {"a<b>b</b><brx>c<br/ >d<br", {"a<b>b</b><brx>c<br/ >d<br"}},
        {"Visit our site for more details: http://www.example.com/a/long/path/file.html today",
         {"Visit our site for more details:", "http://www.example.com/a/long/path/file.html today"}},
        {"abcdef ghijkl mnopqr", {"abcdef", "ghijkl", "mnopqr"}, 46},
        {"abcdef  \t ghijkl<br>      mnopqr stuvwx", {"abcdef", "ghijkl", "mnopqr", "stuvwx"}, 46},
    };
    for (const auto& row : breaks) {
        SCOPED_TRACE(row.caption);
        label.SetBounds(0, 0, row.width, 80);
        label.SetCaption(row.caption);
        label.LayoutLines();
        EXPECT_EQ(label.Lines().Strings, row.lines);
        EXPECT_EQ(label.Caption(), row.caption);
    }
    label.SetBounds(0, 0, 202, 80);

    label.SetWordBreak(true);
    label.SetCaption(std::string(40, 'x'));
    label.LayoutLines();
    ASSERT_EQ(label.Lines().Count(), 2);
    EXPECT_EQ(label.Lines()[0].size(), 32u);
    EXPECT_EQ(label.Lines()[1].size(), 8u);

    label.SetWordBreak(false);
    label.SetCaption("aaaa bbbb cccc dddd eeee ffff gggg hhhh");  // 39 columns
    label.LayoutLines();
    ASSERT_EQ(label.Lines().Count(), 2);
    EXPECT_EQ(label.Lines()[0], "aaaa bbbb cccc dddd eeee ffff");
    EXPECT_EQ(label.Lines()[1], "gggg hhhh");

    // A double-byte character counts two columns and is never split.
    label.SetWordBreak(true);
    std::string korean;
    for (int i = 0; i < 20; ++i)
        korean += Cp949("가");
    label.SetCaption(korean);
    label.LayoutLines();
    ASSERT_EQ(label.Lines().Count(), 2);
    EXPECT_EQ(label.Lines()[0], korean.substr(0, 32));
}

TEST_F(QzCaptionLabelTest, AutoHeightFollowsTheLines)
{
    TQzCaptionLabel label;
    StyleAsMovieLabel(label);
    label.SetBounds(0, 0, 202, 10);
    label.SetAutoHeight(true);
    label.SetCaption("one<br>two<br>three");
    label.PaintToImage();
    EXPECT_EQ(label.Height(), 3 * (12 + 2) + 2 * 5);
    label.SetAutoHeight(false);
    label.SetAutoSize(true);
    label.SetCaption("one");
    label.PaintToImage();
    EXPECT_EQ(label.Height(), 1 * 14 + 2 * 5 - 2);
}

// Without a top margin an empty caption gives no height; the next caption must bring it back,
// although a label without height is never painted.
TEST_F(QzCaptionLabelTest, AutoHeightComesBackFromAnEmptyCaption)
{
    for (const bool autoSize : {false, true}) {
        TQzCaptionLabel label;
        StyleAsMovieLabel(label);
        label.SetSpaceTop(0);
        label.SetBounds(0, 0, 202, 30);
        label.show();
        autoSize ? label.SetAutoSize(true) : label.SetAutoHeight(true);
        label.SetCaption("");
        EXPECT_EQ(label.Height(), 0) << autoSize;
        label.SetCaption("1<br>2<br>3<br>4");
        EXPECT_EQ(label.Height(), 4 * 14 - (autoSize ? 2 : 0)) << autoSize;
        // A narrower label wraps into more lines and grows with them.
        label.SetCaption("aaaa bbbb cccc dddd");
        label.SetWidth(40);
        EXPECT_EQ(label.Height(), 4 * 14 - (autoSize ? 2 : 0)) << autoSize;
    }
}

TEST_F(QzCaptionLabelTest, TinyFontsAndVeryLongLinesAreLaidOutWhole)
{
    TQzCaptionLabel label;
    label.SetWordWrap(true);
    label.SetBounds(0, 0, 100, 40);
    for (int h : {0, 1, 5}) {
        label.Font()->SetHeight(h);
        EXPECT_GE(label.WrapColumns(), 1);
        label.SetCaption(std::string(300, 'y'));
        label.PaintToImage();
        label.LayoutLines();
        size_t total = 0;
        for (const std::string& l : label.Lines().Strings)
            total += l.size();
        EXPECT_EQ(total, 300u);
    }
    label.SetWordWrap(false);
    const std::string longLine = "<b>" + std::string(6000, 'z') + "</b>";
    label.SetCaption(longLine);
    label.PaintToImage();
    ASSERT_EQ(label.Lines().Count(), 1);
    EXPECT_EQ(label.Lines()[0], longLine);
}

TEST_F(QzCaptionLabelTest, CentredAndRightAlignedLines)
{
    TQzCaptionLabel label;
    StyleAsMovieLabel(label);
    label.SetSpaceLeft(5);
    label.SetBounds(0, 0, 202, 30);
    label.SetCaption("<b></b>MMMM");
    TCanvas measure;
    measure.Font->SetHeight(-12);
    const int w = measure.TextWidth("MMMM");
    auto firstWhite = [&](const QImage& img) {
        for (int x = 0; x < img.width(); ++x)
            if (ColumnsWith(img, clWhite, x, x + 1))
                return x;
        return -1;
    };
    auto lastWhite = [&](const QImage& img) {
        for (int x = img.width() - 1; x >= 0; --x)
            if (ColumnsWith(img, clWhite, x, x + 1))
                return x;
        return -1;
    };
    const QImage centred = label.PaintToImage();
    EXPECT_GE(firstWhite(centred), (202 - w) / 2);
    EXPECT_LT(lastWhite(centred), (202 - w) / 2 + w);
    label.SetTextAlign(qztalRight);
    const QImage right = label.PaintToImage();
    EXPECT_LT(lastWhite(right), 202 - 5);
    EXPECT_GE(firstWhite(right), 202 - 5 - w);
}

TEST_F(QzCaptionLabelTest, NoRoomForAColumnLeavesLinesUnwrapped)
{
    TQzCaptionLabel label;
    StyleAsMovieLabel(label);
    label.SetWordBreak(true);
    label.SetCaption("abc<br>de");
    // Margins wider than the label, and a label narrower than one 6-pixel column.
    for (auto [width, spaceLeft] : {std::pair{8, 5}, std::pair{5, 0}}) {
        label.SetSpaceLeft(spaceLeft);
        label.SetBounds(0, 0, width, 40);
        EXPECT_LE(label.WrapColumns(), 0) << width;
        label.LayoutLines();
        ASSERT_EQ(label.Lines().Count(), 2) << width;
        EXPECT_EQ(label.Lines()[0], "abc");
        EXPECT_EQ(label.Lines()[1], "de");
    }
    label.SetSpaceLeft(0);
    label.SetBounds(0, 0, 12, 40);
    EXPECT_EQ(label.WrapColumns(), 2);
    label.LayoutLines();
    EXPECT_EQ(label.Lines().Count(), 3);
}

TEST_F(QzCaptionLabelTest, OnlySpacesDelimitAnUnquotedColourValue)
{
    TQzCaptionLabel label;
    for (const char* dropped : {"<font color=\tred>X", "<font color=red\tx>X"}) {
        LineDrawing d(label, dropped);
        EXPECT_EQ(CountPixels(d.bmp, clRed), 0) << dropped;
        EXPECT_GT(CountPixels(d.bmp, clWhite), 0) << dropped;
    }
    LineDrawing d(label, "<font color=  red size=2>X");
    EXPECT_GT(CountPixels(d.bmp, clRed), 0);
}

TEST_F(QzCaptionLabelTest, MarkupCarriesIntoLaterLinesAndNotIntoTheNextPaint)
{
    TQzCaptionLabel label;
    StyleAsMovieLabel(label);
    label.SetTextAlign(qztalLeft);
    label.SetBounds(0, 0, 200, 60);
    label.SetCaption("<font color=red>A<br>B");
    const QImage both = label.PaintToImage();
    // Line 1 (y 5..18) and line 2 (y 19..32) are both red: no colour resets at a line's start.
    auto rowsWith = [](const QImage& img, TColor color, int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < img.width(); ++x)
                if (PixelAt(img, x, y) == color) {
                    ++n;
                    break;
                }
        return n;
    };
    EXPECT_GT(rowsWith(both, clRed, 5, 19), 0);
    EXPECT_GT(rowsWith(both, clRed, 19, 33), 0);
    EXPECT_EQ(rowsWith(both, clWhite, 0, 60), 0);
    label.SetCaption("B");
    const QImage next = label.PaintToImage();
    EXPECT_EQ(rowsWith(next, clRed, 0, 60), 0);
    EXPECT_GT(rowsWith(next, clWhite, 0, 60), 0);
}

TEST_F(QzCaptionLabelTest, ColourFoundPastTheFontTag)
{
    TQzCaptionLabel label;
    // COLOR after the tag's '>' still colours what follows the tag; a value that runs to the end
    // of the line has no end and is dropped.
    LineDrawing found(label, "<font>A color=red B");
    EXPECT_GT(CountPixels(found.bmp, clRed), 0);
    EXPECT_EQ(CountPixels(found.bmp, clWhite), 0);
    LineDrawing unended(label, "<font>A color=red");
    EXPECT_EQ(CountPixels(unended.bmp, clRed), 0);
    EXPECT_GT(CountPixels(unended.bmp, clWhite), 0);
}
