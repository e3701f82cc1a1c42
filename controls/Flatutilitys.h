#pragma once
// Drawing and layout helpers of the flat controls and the advanced-colour calculation.

#include <memory>
#include <string>

#include "platform/gui/Color.h"
#include "platform/gui/Types.h"

class TBitmap;
class TCanvas;
class TControl;
class TFont;

enum TColorCalcType { lighten, darken };

// The amount (0..100) by which an advanced colour is lightened or darkened.
using TAdvColors = int;

// How a flat control fills its background. The bitmap of the graphics layer has a type of the
// same name, so this one lives in a namespace of its own; the values are usable unqualified.
namespace Flatutilitys {
enum TTransparentMode { tmAlways, tmNotFocused, tmNone };
}
using Flatutilitys::tmAlways;
using Flatutilitys::tmNotFocused;
using Flatutilitys::tmNone;

// Where a button puts its glyph relative to the caption.
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Percent 0 returns defaultColor. Otherwise `color` (system colours resolved) goes to the HSL
// range scale, its lightness gains 10 and then moves by percent (darken: down to at least 0;
// lighten: up to at most HSLRange) before converting back.
TColor CalcAdvancedColor(TColor color, TColor defaultColor, TAdvColors percent, TColorCalcType calcType);

// An embossed copy of `source` (same size, owned by the caller): filled with backColor, then the
// pixels of `source` equal to outlineColor painted in highlightColor one pixel down and right
// (with drawHighlight) and in shadowColor in place.
std::unique_ptr<TBitmap> CreateDisabledBitmap(const TBitmap& source, TColor outlineColor, TColor backColor,
                                              TColor highlightColor, TColor shadowColor, bool drawHighlight);

// Places a glyph (gw x gh; 0 x 0 for none) and a one-line text (tw x th; 0 x 0 for none) in
// `client`. margin and spacing -1 mean "computed". Both results include client's top-left and
// `offset`. textBounds is tw x th at the text position.
void CalcButtonLayoutExtent(const TRect& client, const TPoint& offset, TButtonLayout layout, int spacing,
                            int margin, int gw, int gh, int tw, int th, TRect& textBounds, TPoint& glyphPos);

// As above, the glyph size taken from `glyph` (a cell of glyph width div numGlyphs; none when
// null or empty) and the text measured with the canvas font (single line).
void CalcButtonLayout(TCanvas* canvas, const TRect& client, const TPoint& offset, TButtonLayout layout,
                      int spacing, int margin, const TBitmap* glyph, int numGlyphs, const std::string& caption,
                      TRect& textBounds, TPoint& glyphPos);

struct TTextMetric {
    int tmHeight = 0;          // ascent + descent, pixels
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
};

void GetFontMetrics(const TFont& font, TTextMetric& metrics);
// round(h + h / 8), h the font's cell height; halves to even.
int GetFontHeight(const TFont& font);
// Whether the two rectangles overlap.
bool RectInRect(const TRect& r1, const TRect& r2);
Word Min(Word a, Word b);
// Paints the parent's background and its own painting (not its children) under `control` into
// `canvas`, shifted so that the control's top-left is the canvas origin.
void DrawParentImage(TControl* control, TCanvas* canvas);
