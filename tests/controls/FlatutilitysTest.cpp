// Colour conversion, the advanced colours, the shade ramp and the button layout maths.
#include <gtest/gtest.h>

#include "controls/Flatutilitys.h"
#include "controls/Hslutils.h"
#include "controls/Nvos8routines.h"

TEST(Hslutils, RoundTripsPrimariesAndGreys)
{
    const uint32_t colours[] = {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000, 0x808080,
                                0x00FFFF, 0xFF00FF, 0xC58434, 0xE1EAEB, 0x123456};
    for (uint32_t c : colours) {
        double h, s, l;
        RGBtoHSL(c, h, s, l);
        EXPECT_EQ(HSLtoRGB(h, s, l), c) << std::hex << c;
    }
}

TEST(Hslutils, FractionsOfKnownColours)
{
    double h, s, l;
    RGBtoHSL(0x0000FF, h, s, l); // pure red: hue 0
    EXPECT_DOUBLE_EQ(h, 0.0);
    EXPECT_DOUBLE_EQ(s, 1.0);
    EXPECT_DOUBLE_EQ(l, 0.5);
    RGBtoHSL(0xFF0000, h, s, l); // pure blue: hue 4/6
    EXPECT_DOUBLE_EQ(h, 4.0 / 6.0);
    RGBtoHSL(0xFF00FF, h, s, l); // magenta: red is the maximum and (G - B) / d is negative
    EXPECT_DOUBLE_EQ(h, 5.0 / 6.0);
    RGBtoHSL(0x808080, h, s, l);
    EXPECT_DOUBLE_EQ(h, 0.0);
    EXPECT_DOUBLE_EQ(s, 0.0);
    // The top byte (a system-colour flag) is ignored.
    double h2, s2, l2;
    RGBtoHSL(0x80808080, h2, s2, l2);
    EXPECT_DOUBLE_EQ(l2, l);
}

TEST(Hslutils, RangeScaleRoundsHalvesToEven)
{
    int h, s, l;
    RGBtoHSLRange(0x0000FF, h, s, l);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s, 240);
    EXPECT_EQ(l, 120);
    RGBtoHSLRange(0x00FF00, h, s, l); // hue 1/3 of 239 = 79.67
    EXPECT_EQ(h, 80);
    // Lightness of 0x808080 is 128/255 * 240 = 120.47 -> 120.
    RGBtoHSLRange(0x808080, h, s, l);
    EXPECT_EQ(l, 120);
    // 0x7F: 127/255 * 240 = 119.53 -> 120; and back 120/240 * 255 = 127.5 -> 128 (even).
    EXPECT_EQ(HSLRangeToRGB(0, 0, 120), 0x808080u);
    EXPECT_EQ(HSLRangeToRGB(0, 240, 120), 0x0000FFu);
    EXPECT_EQ(HSLRangeToRGB(0, 0, 240), 0xFFFFFFu);
}

TEST(Hslutils, OutOfRangeComponentsAreClamped)
{
    EXPECT_EQ(HSLtoRGB(0.0, 0.0, 1.7), 0xFFFFFFu);
    EXPECT_EQ(HSLtoRGB(0.0, 0.0, -0.5), 0x000000u);
    EXPECT_EQ(HSLRangeToRGB(0, 300, 400), 0xFFFFFFu);
    const uint32_t c = HSLtoRGB(0.3, 1.5, 0.6);
    EXPECT_EQ(c, HSLtoRGB(0.3, 1.0, 0.6));
}

TEST(CalcAdvancedColor, ZeroPercentKeepsTheDefault)
{
    EXPECT_EQ(CalcAdvancedColor(0x123456, 0xABCDEF, 0, lighten), 0xABCDEFu);
    EXPECT_EQ(CalcAdvancedColor(clBtnFace, clNone, 0, darken), clNone);
}

TEST(CalcAdvancedColor, LightensAndDarkensGreys)
{
    // 0x808080 has L 120; +10 and +/-20 give 150 and 110.
    EXPECT_EQ(CalcAdvancedColor(0x808080, 0, 20, lighten), HSLRangeToRGB(0, 0, 150));
    EXPECT_EQ(CalcAdvancedColor(0x808080, 0, 20, darken), HSLRangeToRGB(0, 0, 110));
    // Darkening never goes below black.
    EXPECT_EQ(CalcAdvancedColor(0x101010, 0, 100, darken), 0x000000u);
}

TEST(CalcAdvancedColor, LighteningABrightColourStaysBright)
{
    // White has L 240: lightening must not pull it down to 100 on the 240 scale.
    EXPECT_EQ(CalcAdvancedColor(clWhite, 0, 10, lighten), 0xFFFFFFu);
    int h, s, l0, l1;
    RGBtoHSLRange(0xE1EAEB, h, s, l0);
    RGBtoHSLRange(CalcAdvancedColor(0xE1EAEB, 0, 10, lighten), h, s, l1);
    EXPECT_GE(l1, l0);
}

TEST(CalcAdvancedColor, ResolvesSystemColours)
{
    EXPECT_EQ(CalcAdvancedColor(clBtnFace, 0, 30, darken),
              CalcAdvancedColor(ColorToRGB(clBtnFace), 0, 30, darken));
    EXPECT_EQ(CalcAdvancedColor(clBtnFace, 0, 30, darken) & 0xFF000000u, 0u);
}

TEST(Nvos8routines, ShadeColorClampsEachChannel)
{
    EXPECT_EQ(ShadeColor(0x102030, 0x10), 0x203040u);
    EXPECT_EQ(ShadeColor(0x10F020, 0x20), 0x30FF40u);
    EXPECT_EQ(ShadeColor(0x10F020, -0x18), 0x00D808u);
    EXPECT_EQ(ShadeColor(0xFF102030, 0), 0x102030u); // the top byte is dropped
}

TEST(Nvos8routines, ShadesOfTheDefaultBaseRunFromBlackToWhite)
{
    uint32_t s[16];
    LoadShades(0x777777, s);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(s[i], 0x111111u * i) << i;
}

TEST(Nvos8routines, ShadesOfTheWindowsBaseClampAtWhite)
{
    uint32_t s[16];
    LoadShades(0xD2D2D2, s);
    EXPECT_EQ(s[0], 0x5B5B5Bu);
    EXPECT_EQ(s[7], 0xD2D2D2u);
    EXPECT_EQ(s[8], 0xE3E3E3u);
    EXPECT_EQ(s[9], 0xF4F4F4u);
    for (int i = 10; i < 16; ++i)
        EXPECT_EQ(s[i], 0xFFFFFFu) << i;
    for (int i = 1; i < 16; ++i)
        EXPECT_GE(s[i] & 0xFF, s[i - 1] & 0xFF);
}

namespace {
struct Layout {
    TRect text;
    TPoint glyph;
};
Layout Place(TButtonLayout layout, int spacing, int margin, int gw, int gh, int tw, int th,
             TRect client = Rect(0, 0, 25, 25), TPoint offset = Point(0, 0))
{
    Layout r;
    CalcButtonLayoutExtent(client, offset, layout, spacing, margin, gw, gh, tw, th, r.text, r.glyph);
    return r;
}
} // namespace

TEST(CalcButtonLayout, CaptionOnlyIsCentred)
{
    // The title-bar buttons: 21 x 17, no glyph, Margin -1, Spacing 4 (dropped: no glyph).
    const Layout r = Place(blGlyphTop, 4, -1, 0, 0, 7, 13, Rect(0, 0, 21, 17));
    EXPECT_EQ(r.text, Rect(7, 2, 14, 15)); // x = (21 - 7 + 1) div 2, margin = (17 - 13 + 1) div 2
    EXPECT_EQ(r.glyph, Point(11, 2));
}

TEST(CalcButtonLayout, GlyphAndTextSideBySide)
{
    // Left: margin = (60 - (16 + 4 + 20) + 1) div 2 = 10.
    Layout r = Place(blGlyphLeft, 4, -1, 16, 16, 20, 10, Rect(0, 0, 60, 30));
    EXPECT_EQ(r.glyph, Point(10, 7));
    EXPECT_EQ(r.text, Rect(30, 10, 50, 20));
    // Right mirrors it.
    r = Place(blGlyphRight, 4, -1, 16, 16, 20, 10, Rect(0, 0, 60, 30));
    EXPECT_EQ(r.glyph, Point(34, 7));
    EXPECT_EQ(r.text, Rect(10, 10, 30, 20));
}

TEST(CalcButtonLayout, GlyphAboveAndBelowText)
{
    Layout r = Place(blGlyphTop, 2, 3, 16, 16, 20, 10, Rect(0, 0, 40, 40));
    EXPECT_EQ(r.glyph, Point(12, 3));
    EXPECT_EQ(r.text, Rect(10, 21, 30, 31));
    r = Place(blGlyphBottom, 2, 3, 16, 16, 20, 10, Rect(0, 0, 40, 40));
    EXPECT_EQ(r.glyph, Point(12, 21));
    EXPECT_EQ(r.text, Rect(10, 9, 30, 19));
}

TEST(CalcButtonLayout, ComputedMarginAndSpacing)
{
    // Both -1: margin = spacing = (60 - 36) div 3 = 8.
    Layout r = Place(blGlyphLeft, -1, -1, 16, 16, 20, 10, Rect(0, 0, 60, 30));
    EXPECT_EQ(r.glyph.X, 8);
    EXPECT_EQ(r.text.Left, 8 + 16 + 8);
    // Margin 5, spacing -1: spacing = ((60 - 21) - 20) div 2 = 9.
    r = Place(blGlyphLeft, -1, 5, 16, 16, 20, 10, Rect(0, 0, 60, 30));
    EXPECT_EQ(r.glyph.X, 5);
    EXPECT_EQ(r.text.Left, 5 + 16 + 9);
}

TEST(CalcButtonLayout, ClientOriginAndOffsetMoveBoth)
{
    const Layout a = Place(blGlyphTop, 4, -1, 16, 16, 20, 10, Rect(0, 0, 40, 40));
    // A pressed offset of (1, 2) moves text and glyph by exactly that, on both axes.
    const Layout b = Place(blGlyphTop, 4, -1, 16, 16, 20, 10, Rect(5, 7, 45, 47), Point(1, 2));
    EXPECT_EQ(b.glyph, Point(a.glyph.X + 6, a.glyph.Y + 9));
    EXPECT_EQ(b.text, Rect(a.text.Left + 6, a.text.Top + 9, a.text.Right + 6, a.text.Bottom + 9));
}

TEST(FlatutilitysMisc, RectInRectAndMin)
{
    EXPECT_TRUE(RectInRect(Rect(0, 0, 10, 10), Rect(9, 9, 20, 20)));
    EXPECT_FALSE(RectInRect(Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)));
    EXPECT_FALSE(RectInRect(Rect(0, 0, 10, 10), Rect(3, 3, 3, 8)));
    EXPECT_EQ(Min(3, 65535), 3);
    EXPECT_EQ(Min(65535, 7), 7);
}

#include "ButtonTestSupport.h"
#include "platform/gui/Graphics.h"

TEST(CreateDisabledBitmap, EmbossesTheOutlineColour)
{
    EnsureButtonTestApp();
    TBitmap src(16, 16);
    src.Canvas()->Brush->Color = clWhite;
    src.Canvas()->FillRect(Rect(0, 0, 16, 16));
    src.Canvas()->Brush->Color = clBlack;
    src.Canvas()->FillRect(Rect(4, 4, 8, 8));
    src.Canvas()->Brush->Color = clRed; // not the outline colour: dropped
    src.Canvas()->FillRect(Rect(10, 10, 14, 14));
    src.Canvas()->Flush();

    auto out = CreateDisabledBitmap(src, clBlack, 0x00FFFF, 0xFFFF00, 0x800000, true);
    ASSERT_EQ(out->Width(), 16);
    ASSERT_EQ(out->Height(), 16);
    EXPECT_EQ(out->Pixel(5, 5), 0x800000u);  // shadow over the shape
    EXPECT_EQ(out->Pixel(8, 8), 0xFFFF00u);  // highlight one pixel down-right of it
    EXPECT_EQ(out->Pixel(8, 5), 0xFFFF00u);
    EXPECT_EQ(out->Pixel(0, 0), 0x00FFFFu);  // background
    EXPECT_EQ(out->Pixel(11, 11), 0x00FFFFu);
    EXPECT_EQ(src.Pixel(5, 5), clBlack);     // the source is left alone

    auto flat = CreateDisabledBitmap(src, clBlack, 0x00FFFF, 0xFFFF00, 0x800000, false);
    EXPECT_EQ(flat->Pixel(5, 5), 0x800000u);
    EXPECT_EQ(flat->Pixel(8, 8), 0x00FFFFu);

    // An outline colour that does not occur leaves only the background.
    auto none = CreateDisabledBitmap(src, 0x123456, 0x00FFFF, 0xFFFF00, 0x800000, true);
    EXPECT_EQ(none->Pixel(5, 5), 0x00FFFFu);
}

TEST(FlatutilitysFonts, FontHeightAddsAnEighth)
{
    EnsureButtonTestApp();
    TFont small;
    small.SetHeight(-8);
    TFont large;
    large.SetHeight(-32);
    TTextMetric tm;
    GetFontMetrics(large, tm);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_GE(tm.tmHeight, 32);
    EXPECT_GE(GetFontHeight(large), tm.tmHeight + tm.tmHeight / 8);
    EXPECT_LE(GetFontHeight(large), tm.tmHeight + tm.tmHeight / 8 + 1);
    EXPECT_LT(GetFontHeight(small), GetFontHeight(large));
}

TEST(FlatutilitysDrawParentImage, PaintsTheParentUnderTheControl)
{
    EnsureButtonTestApp();
    TButtonHost host(0x00FF00);
    auto* child = new TControl(&host);
    child->SetBounds(30, 20, 10, 10);
    TBitmap out(10, 10);
    DrawParentImage(child, out.Canvas());
    out.Canvas()->Flush();
    EXPECT_EQ(out.Pixel(0, 0), 0x00FF00u);
    EXPECT_EQ(out.Pixel(9, 9), 0x00FF00u);

    TControl orphan;
    TBitmap untouched(4, 4);
    DrawParentImage(&orphan, untouched.Canvas());
    untouched.Canvas()->Flush();
    EXPECT_EQ(untouched.Pixel(1, 1), clWhite);
}
