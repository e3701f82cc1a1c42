#include <gtest/gtest.h>

#include <QApplication>
#include <set>

#include "controls/QzcommonDraw.h"
#include "platform/gui/Screens.h"
#include "platform/gui/Services.h"
#include "tests/controls/ControlsTestApp.h"

namespace {

class QzcommonDrawTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureControlsTestApp(); }
};

TEST_F(QzcommonDrawTest, PatternTileAndTransparency) {
    auto pattern = CreateTwoColorPatternBitmap(4, 3, clRed, clBlue);
    ASSERT_EQ(pattern->Width(), 4);
    EXPECT_EQ(pattern->Pixel(0, 0), clBlue);
    EXPECT_EQ(pattern->Pixel(1, 0), clRed);
    EXPECT_EQ(pattern->Pixel(1, 1), clBlue);
    EXPECT_EQ(pattern->Pixel(2, 1), clRed);

    auto tiled = CreateTiledBitmap(7, 5, *pattern);
    EXPECT_EQ(tiled->Pixel(4, 3), pattern->Pixel(0, 0));
    EXPECT_EQ(tiled->Pixel(5, 3), pattern->Pixel(1, 0));
    EXPECT_EQ(tiled->Pixel(6, 4), pattern->Pixel(2, 1));

    TBitmap glyph(3, 2);
    glyph.SetPixel(0, 0, clFuchsia);
    glyph.SetPixel(1, 0, clBlack);
    glyph.SetPixel(2, 0, clFuchsia);
    glyph.SetPixel(0, 1, clGreen);
    glyph.SetPixel(1, 1, clFuchsia);
    glyph.SetPixel(2, 1, clWhite);
    auto over = CreateTransparentBitmap(glyph, clYellow, clFuchsia, false);
    EXPECT_EQ(over->Pixel(0, 0), clYellow);
    EXPECT_EQ(over->Pixel(1, 0), clBlack);
    EXPECT_EQ(over->Pixel(1, 1), clYellow);
    EXPECT_EQ(over->Pixel(2, 1), clWhite);
    // The corner colour replaces the given one.
    auto corner = CreateTransparentBitmap(glyph, clYellow, clBlack, true);
    EXPECT_EQ(corner->Pixel(1, 0), clBlack);
    EXPECT_EQ(corner->Pixel(2, 0), clYellow);

    TBitmap target(5, 4);
    DrawTransparentBitmap(target.Canvas(), glyph, 1, 1, clAqua, clFuchsia, false);
    EXPECT_EQ(target.Pixel(1, 1), clAqua);
    EXPECT_EQ(target.Pixel(2, 1), clBlack);
    EXPECT_EQ(target.Pixel(0, 0), clWhite);
}

TEST_F(QzcommonDrawTest, GradientBands) {
    auto lr = CreateGradientBitmap(8, 2, 3, RGB(0, 0, 0), RGB(200, 100, 0), tgsLeftRight);
    // Bands 0..3, 3..5, 5..8 (MulDiv rounds to nearest): 0, half, full.
    EXPECT_EQ(lr->Pixel(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(lr->Pixel(2, 1), RGB(0, 0, 0));
    EXPECT_EQ(lr->Pixel(3, 0), RGB(100, 50, 0));
    EXPECT_EQ(lr->Pixel(7, 0), RGB(200, 100, 0));

    auto bt = CreateGradientBitmap(2, 4, 2, clBlack, clWhite, tgsBottomTop);
    EXPECT_EQ(bt->Pixel(0, 3), clBlack);
    EXPECT_EQ(bt->Pixel(0, 0), clWhite);

    auto io = CreateGradientBitmap(10, 10, 2, clBlack, clWhite, tgsInnerOuter);
    EXPECT_EQ(io->Pixel(0, 0), clWhite);
    EXPECT_EQ(io->Pixel(5, 5), clBlack);

    // No division by zero with no steps.
    auto none = CreateGradientBitmap(4, 4, 0, clRed, clBlue, tgsTopBottom);
    EXPECT_EQ(none->Pixel(3, 3), clRed);
}

TEST_F(QzcommonDrawTest, DisabledBitmapIsEmbossed) {
    TBitmap glyph(4, 4);
    glyph.Canvas()->Brush->Color = clWhite;
    glyph.Canvas()->FillRect(Rect(0, 0, 4, 4));
    glyph.Canvas()->Flush();
    glyph.SetPixel(1, 1, clBlack);
    auto disabled = CreateDisabledBitmap(glyph, clWhite);
    EXPECT_EQ(disabled->Pixel(1, 1), ColorToRGB(clBtnShadow));
    EXPECT_EQ(disabled->Pixel(2, 2), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(disabled->Pixel(3, 0), ColorToRGB(clBtnFace));
}

TEST_F(QzcommonDrawTest, MessageBoxes) {
    auto recorder = std::make_shared<TRecordingServices>();
    auto previous = InstallServices(recorder);
    recorder->MessageAnswers.push_back(IDNO);
    EXPECT_EQ(Confirm("Title", "Sure?"), IDNO);
    Warning("W", "careful");
    Inform("I", "done");
    ASSERT_EQ(recorder->Messages.size(), 3u);
    EXPECT_EQ(recorder->Messages[0].Flags, 36u);
    EXPECT_EQ(recorder->Messages[0].Caption, "Title");
    EXPECT_EQ(recorder->Messages[0].Text, "Sure?");
    EXPECT_EQ(recorder->Messages[1].Flags, 48u);
    EXPECT_EQ(recorder->Messages[2].Flags, 64u);
    InstallServices(previous);
}

TEST_F(QzcommonDrawTest, ThreeDTextUsesItsColours) {
    TBitmap bmp(80, 30);
    TCanvas* c = bmp.Canvas();
    c->Font->SetName("DejaVu Sans Mono");
    c->Font->SetHeight(-16);
    c->Font->SetColor(clNavy);
    Draw3DText(c, 10, 5, 2, "W", clBlack, clRed, clLime, ptsRaised);
    EXPECT_EQ(c->Font->Color(), clNavy);
    c->Flush();
    std::set<TColor> seen;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            seen.insert(bmp.Pixel(x, y));
    EXPECT_TRUE(seen.count(clBlack));
    EXPECT_TRUE(seen.count(clRed));
    EXPECT_TRUE(seen.count(clLime));
    EXPECT_TRUE(seen.count(clWhite));  // the background stays

    TBitmap plain(80, 30);
    Draw3DTextAlign(plain.Canvas(), Rect(0, 0, 80, 30), 2, "W", clBlack, clRed, clLime, ptsNormal, taRightJustify);
    plain.Canvas()->Flush();
    bool red = false;
    int leftmost = 80;
    for (int y = 0; y < plain.Height(); ++y)
        for (int x = 0; x < plain.Width(); ++x) {
            red |= plain.Pixel(x, y) == clRed;
            if (plain.Pixel(x, y) == clBlack)
                leftmost = std::min(leftmost, x);
        }
    EXPECT_FALSE(red);
    EXPECT_GT(leftmost, 40);  // right-aligned
}

TEST_F(QzcommonDrawTest, FontAsText) {
    TFont font;
    font.SetName("NanumGothicCoding");
    font.SetSize(9);
    font.SetColor(clRed);
    font.SetStyle(fsBold);
    const std::string text = GetClassProp(font);
    EXPECT_EQ(text, "129|255|-12|NanumGothicCoding|fpDefault|9|[fsBold]");
    TFont other;
    SetClassProp(other, text);
    EXPECT_EQ(other.Name(), "NanumGothicCoding");
    EXPECT_EQ(other.Size(), 9);
    EXPECT_EQ(other.Color(), clRed);
    EXPECT_EQ(other.Style(), fsBold);

    TStringList list;
    list.Add("x");
    EXPECT_EQ(GetClassProp(list), "");
    SetClassProp(list, "a|b");
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(QzcommonDrawTest, CenterFormOnScreenAndParent) {
    SetScreenProvider(std::make_shared<TFixedScreenProvider>(std::vector<TRect>{Rect(0, 0, 1000, 800)}));
    TForm form;
    form.SetBounds(0, 0, 200, 100);
    CenterForm(&form, nullptr);
    EXPECT_EQ(form.Left(), 400);
    EXPECT_EQ(form.Top(), 350);
    SetScreenProvider(nullptr);
    EXPECT_EQ(RectWidth(Rect(3, 4, 10, 20)), 7);
    EXPECT_EQ(RectHeight(Rect(3, 4, 10, 20)), 16);
}

}  // namespace
