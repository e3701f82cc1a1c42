#pragma once
// The common helpers that draw or talk to the user: transparent and embossed bitmaps, gradients
// and tiles, 3-D text and frames, message boxes, a delay that keeps the program responsive,
// centring a window, and fonts and string lists as property texts.

#include <memory>
#include <string>

#include "controls/common/Qzcommon.h"
#include "platform/core/StringList.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Graphics.h"

int RectWidth(const TRect& r);
int RectHeight(const TRect& r);

// Draws `bitmap` at (x, y) with its pixels of `transparentColor` (of the bitmap's top-left
// pixel when `useCornerColor`) painted in `backColor`. The canvas's pen, brush and font are
// left as they were.
void DrawTransparentBitmap(TCanvas* canvas, const TBitmap& bitmap, int x, int y, TColor backColor,
                           TColor transparentColor, bool useCornerColor);
// The same, stretched into `r`.
void DrawTransparentBitmapRect(TCanvas* canvas, const TBitmap& bitmap, const TRect& r, TColor backColor,
                               TColor transparentColor, bool useCornerColor);
// A bitmap filled with color1 whose pixels with x and y of equal parity are color2.
std::unique_ptr<TBitmap> CreateTwoColorPatternBitmap(int width, int height, TColor color1, TColor color2);
// A bitmap of the same size in the button-face colour with the glyph's shape (every pixel not of
// `transparentColor`) embossed: in the button-highlight colour one pixel down-right, then in the
// button-shadow colour in place.
std::unique_ptr<TBitmap> CreateDisabledBitmap(const TBitmap& bitmap, TColor transparentColor);
// `bitmap` over `backColor`, its transparent pixels showing `backColor`.
std::unique_ptr<TBitmap> CreateTransparentBitmap(const TBitmap& bitmap, TColor backColor, TColor transparentColor,
                                                 bool useCornerColor);
// A width x height bitmap in `steps` bands of equal size (band i from MulDiv(i, size, steps) to
// MulDiv(i + 1, size, steps) along the style's direction), each band one solid colour stepping
// linearly from colorFrom to colorTo. Steps below 1 count as 1.
std::unique_ptr<TBitmap> CreateGradientBitmap(int width, int height, int steps, TColor colorFrom, TColor colorTo,
                                              TQzGradientStyle style);
std::unique_ptr<TBitmap> CreateGradientBitmapD(int width, int height, int steps, TColor colorFrom, TColor colorTo,
                                               TQzGradientStyle style);
// A bitmap of the given size covered with copies of `tile` (left empty when the tile is empty).
std::unique_ptr<TBitmap> CreateTiledBitmap(int width, int height, const TBitmap& tile);

// Message boxes through the platform's services: a question with Yes and No (returns IDYES or
// IDNO), a warning and an information, each with an OK button; each stands above MessageParent().
int Confirm(const std::string& caption, const std::string& text);
void Warning(const std::string& caption, const std::string& text);
void Inform(const std::string& caption, const std::string& text);

// Keeps processing the program's events until `milliseconds` have passed.
void Delay(int milliseconds);
// Centres `form` on `parent`, or on the primary screen when there is no parent.
void CenterForm(TForm* form, TControl* parent);

// Draws `text` on one line with its top-left at (x, y) and a transparent background:
// ptsRaised draws it in color3 offset up-left by depth, in color2 offset down-right, then in
// textColor in place; ptsSunken the same with color2 up-left and color3 down-right; every other
// style draws it in textColor only. The canvas's font colour and brush are restored.
void Draw3DText(TCanvas* canvas, int x, int y, int depth, const std::string& text, TColor textColor, TColor color2,
                TColor color3, TQzTextStyle style);
// Draw3DText placed left, right or centred in `r` and centred vertically.
void Draw3DTextAlign(TCanvas* canvas, const TRect& r, int depth, const std::string& text, TColor textColor,
                     TColor color2, TColor color3, TQzTextStyle style, TAlignment alignment);
// A rectangle border in the button highlight and shadow colours; with `fill` the rectangle is
// filled with the canvas brush first.
void Draw3DRect(TCanvas* canvas, const TRect& r, TQzRectStyle style, bool fill);

// A font as "Charset|Color|Height|Name|Pitch|Size|Style" and back (see GetClassProp).
std::string GetClassProp(TFont& font);
void SetClassProp(TFont& font, const std::string& text);
// A string list gives an empty text and takes none.
std::string GetClassProp(TStringList& list);
void SetClassProp(TStringList& list, const std::string& text);
