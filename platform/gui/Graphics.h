#pragma once
// Pens, brushes, fonts, the canvas and bitmaps with the drawing rules of the platform the
// controls were designed for, carried out over QPainter:
// - coordinates are whole pixels; antialiasing is off for shapes and text, so pixels are exact;
// - TextOut places the TOP of the text cell at y (not the baseline) and fills the cell with the
//   brush colour unless the brush style is bsClear;
// - LineTo and Polyline leave out their end pixel; Rectangle, Ellipse, FillRect and FrameRect
//   cover Left..Right-1 and Top..Bottom-1;
// - texts are code page 949 byte strings (std::string), converted only here.
#include <QImage>
#include <QFont>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/Color.h"
#include "platform/gui/Types.h"

class QPainter;
class QPaintDevice;
class QColor;
class TBitmap;

QColor ToQColor(TColor c);          // system colours resolved through the fixed table
TColor FromQColor(const QColor& c);

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;  // a set of TFontStyle flags
enum TFontPitch { fpDefault, fpVariable, fpFixed };

// Screen resolution the sizes are reckoned in (points <-> pixels).
constexpr int PixelsPerInch = 96;

// A font description. Height < 0 is the character height in pixels (the em size, -12 is a
// 12-pixel font); Height > 0 is the cell height including internal leading; Size is in points
// and kept consistent with Height. Names are code page 949 bytes; faces this machine does not
// have are replaced by a Korean-capable face (a fixed-pitch one for fixed-pitch faces).
class TFont : public TObject {
public:
    TFont();
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);  // copies the description, not OnChange

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    int Height() const { return height_; }
    void SetHeight(int height);
    int Size() const;
    void SetSize(int points);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    bool HasStyle(TFontStyle s) const { return (style_ & s) != 0; }
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    // Rotation of the text in tenths of a degree, counter-clockwise.
    int Orientation() const { return orientation_; }
    void SetOrientation(int tenths);
    int CharSet = 129;  // Hangul; kept for what stored layouts carry

    void Assign(const TFont& other) { *this = other; }
    bool SameDescription(const TFont& other) const;

    // The Qt font for this description (no antialiasing, pixel size from Height).
    QFont ToQFont() const;
    // The face this machine uses for a requested face name and pitch.
    static QString SubstituteFace(const std::string& name, TFontPitch pitch);

    // Fired after every change made through a setter.
    TNotifyEvent OnChange;

private:
    void Changed();
    std::string name_;
    int height_ = -11;
    TFontStyles style_ = 0;
    TFontPitch pitch_ = fpDefault;
    TColor color_ = clWindowText;
    int orientation_ = 0;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// Pen mixing modes. pmCopy draws the pen colour; pmNot inverts the destination; pmXor and
// pmNotXor combine pen and destination bitwise; pmBlack and pmWhite draw those colours.
enum TPenMode { pmCopy, pmNot, pmXor, pmNotXor, pmBlack, pmWhite, pmMask, pmMerge };

class TPen : public TObject {
public:
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
    void Assign(const TPen& o) { Color = o.Color; Width = o.Width; Style = o.Style; Mode = o.Mode; }
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TObject {
public:
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    void Assign(const TBrush& o) { Color = o.Color; Style = o.Style; }
};

// Raster operations of CopyRect/BitBlt (the platform's codes). Per colour bit, S source,
// D destination, P the canvas brush colour:
//   SRCCOPY S; SRCAND S & D; SRCPAINT S | D; SRCINVERT S ^ D; NOTSRCCOPY ~S; MERGEPAINT ~S | D;
//   SRCERASE S & ~D; DSTINVERT ~D; PATCOPY P; BLACKNESS 0; WHITENESS 1;
//   ROP_DSPDxax (0x00E20746) D ^ (S & (P ^ D)): the brush where the source is white, the
//   destination where the source is black. (To paint a colour where a mask is black use
//   TCanvas::FillMasked.)
enum : uint32_t {
    SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
    SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008, MERGEPAINT = 0x00BB0226,
    DSTINVERT = 0x00550009, PATCOPY = 0x00F00021, BLACKNESS = 0x00000042,
    WHITENESS = 0x00FF0062, ROP_DSPDxax = 0x00E20746
};

// Flags of DrawText (the platform's values).
enum : unsigned {
    DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40,
    DT_NOCLIP = 0x100, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_END_ELLIPSIS = 0x8000,
    DT_PATH_ELLIPSIS = 0x4000, DT_RTLREADING = 0x20000
};

// Options of TextOutAdvances.
enum : unsigned { ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4 };

// Edge kinds and side flags of DrawEdge (the platform's values).
enum : unsigned {
    BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4, BDR_SUNKENINNER = 0x8,
    EDGE_RAISED = 0x5, EDGE_SUNKEN = 0xA, EDGE_ETCHED = 0x6, EDGE_BUMP = 0x9,
    BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8, BF_RECT = 0xF,
    BF_MIDDLE = 0x800, BF_SOFT = 0x1000, BF_ADJUST = 0x2000, BF_FLAT = 0x4000, BF_MONO = 0x8000
};

// A drawing surface. It is bound either to a paint device (a bitmap's image: the canvas opens
// its own painter when it first draws) or to a painter owned by someone else (a paint event).
// An unbound canvas still measures text with its font; its drawing calls do nothing.
class TCanvas : public TObject {
public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TFont* const Font;
    TPen* const Pen;
    TBrush* const Brush;

    // Binding. BindPainter does not take ownership; Unbind ends a painter the canvas opened.
    void BindDevice(QPaintDevice* device);
    void BindPainter(QPainter* painter);
    void Unbind();
    bool IsBound() const;
    QPainter* Painter();   // the active painter (opened on demand); nullptr when unbound
    // The image behind the canvas when it draws on one (a bitmap); nullptr otherwise.
    QImage* TargetImage() const { return image_; }
    // A painter that the canvas opened on a device is ended, so the device can be read or resized.
    void Flush();

    TPoint PenPos() const { return penPos_; }
    void SetPenPos(TPoint p) { penPos_ = p; }
    void MoveTo(int x, int y) { penPos_ = {x, y}; }
    void LineTo(int x, int y);                       // leaves out (x, y); pen moves there
    void Polyline(const std::vector<TPoint>& points); // leaves out the last point
    void Polygon(const std::vector<TPoint>& points);  // filled with the brush, outlined with the pen
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int ellipseWidth, int ellipseHeight);
    void Ellipse(int x1, int y1, int x2, int y2);
    void FillRect(const TRect& r);          // the brush, no outline
    void FrameRect(const TRect& r);         // a one-pixel border in the brush colour
    void InvertRect(const TRect& r);        // every bit of the area inverted
    void DrawFocusRect(const TRect& r);     // a dotted frame drawn by inversion (twice removes it)
    // Paints `color` where `mask` (at mask position mx, my; size w x h) is black and keeps the
    // destination where it is not: the embossing step of disabled images.
    void FillMasked(int x, int y, int w, int h, const TBitmap& mask, int mx, int my, TColor color);

    TColor Pixel(int x, int y) const;       // clNone when nothing can be read there
    void SetPixel(int x, int y, TColor c);

    // Text: code page 949 bytes.
    void TextOut(int x, int y, const std::string& text);   // pen moves to (x + width, y)
    void TextRect(const TRect& r, int x, int y, const std::string& text);  // clipped to r
    int TextWidth(const std::string& text) const;
    int TextHeight(const std::string& text) const;          // ascent + descent of the font
    TSize TextExtent(const std::string& text) const;
    // Draws `text` at (x, y) (top of the cell) with byte i advancing the pen by advances[i]
    // pixels; a double-byte character is drawn at its lead byte's position and advances by both
    // entries. ETO_OPAQUE fills `rect` (or the text's cells) with the brush colour first;
    // ETO_CLIPPED clips to `rect` (rect may be null). `advances` holds text.size() entries or is
    // null (the font's own advances).
    void TextOutAdvances(int x, int y, unsigned options, const TRect* rect, const std::string& text,
                         const int* advances);
    // The platform's formatted text drawing; returns the height of the text drawn (or measured
    // with DT_CALCRECT, which also sets r's right and bottom and draws nothing).
    int DrawText(const std::string& text, TRect& r, unsigned flags);
    // Font metrics of the current font.
    int FontAscent() const;
    int FontDescent() const;
    int AverageCharWidth() const;
    int MaxCharWidth() const;
    int InternalLeading() const;

    // Bitmaps and copies.
    void Draw(int x, int y, const TBitmap& bitmap);       // honours bitmap.Transparent
    void StretchDraw(const TRect& r, const TBitmap& bitmap);
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& src);  // uses CopyMode
    void CopyRect(const TRect& dest, const TBitmap& source, const TRect& src);
    void BitBlt(int x, int y, int w, int h, const TBitmap& source, int sx, int sy, uint32_t rop);
    void BitBlt(int x, int y, int w, int h, TCanvas& source, int sx, int sy, uint32_t rop);
    void DrawImage(int x, int y, const QImage& image);
    uint32_t CopyMode = SRCCOPY;

    // Clipping, in canvas coordinates. SaveState/RestoreState nest.
    TRect ClipRect() const;
    void SetClipRect(const TRect& r);
    void IntersectClipRect(const TRect& r);
    void ExcludeClipRect(const TRect& r);
    void ResetClip();
    void SaveState();
    void RestoreState();
    // Moves the origin (the platform's viewport origin); drawing at (0, 0) lands at (dx, dy).
    void SetOrigin(int dx, int dy);
    TPoint Origin() const { return origin_; }

    // Size of what the canvas draws on (0 x 0 when unbound).
    TSize DeviceSize() const;

private:
    struct State;
    QFont& CurrentQFont() const;
    void ApplyPen(QPainter& p);
    void BlitImage(int x, int y, int w, int h, const QImage& src, int sx, int sy, uint32_t rop);

    QPainter* painter_ = nullptr;
    std::unique_ptr<QPainter> ownPainter_;
    QPaintDevice* device_ = nullptr;
    QImage* image_ = nullptr;
    TPoint penPos_;
    TPoint origin_;
    std::vector<State> saved_;
    std::unique_ptr<State> state_;
    mutable TFont cachedFontDesc_;
    mutable QFont cachedQFont_;
    mutable bool cachedValid_ = false;
};

enum TTransparentMode { tmAuto, tmFixed };

// A bitmap of 32-bit RGB pixels with its own canvas. Drawing through the canvas does not fire
// OnChange; size changes, Assign, loading and Monochrome do.
class TBitmap : public TObject {
public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    void SetWidth(int w) { SetSize(w, Height()); }
    void SetHeight(int h) { SetSize(Width(), h); }
    // New pixels are white; existing pixels inside the new size are kept.
    void SetSize(int width, int height);
    bool Empty() const { return image_.isNull() || Width() == 0 || Height() == 0; }

    TCanvas* Canvas() { return &canvas_; }

    // When Transparent, Draw leaves out the pixels of TransparentColor: the bottom-left pixel in
    // tmAuto, the stored colour in tmFixed (setting TransparentColor selects tmFixed).
    bool Transparent = false;
    TTransparentMode TransparentMode = tmAuto;
    TColor TransparentColor() const;
    void SetTransparentColor(TColor c) { transparentColor_ = c; TransparentMode = tmFixed; }

    // Turning Monochrome on maps every pixel equal to the canvas brush colour to white and every
    // other pixel to black.
    bool Monochrome() const { return monochrome_; }
    void SetMonochrome(bool mono);

    void Assign(const TBitmap& other);
    bool LoadFromFile(const std::string& path);   // BMP, PNG, ...; false when unreadable
    bool SaveToFile(const std::string& path) const;
    void Clear();  // size 0 x 0

    TColor Pixel(int x, int y) const;   // clNone outside
    void SetPixel(int x, int y, TColor c);

    const QImage& Image() const;        // ends drawing first
    void SetImage(const QImage& image); // converted to 32-bit RGB

    void Changed();
    TNotifyEvent OnChange;

private:
    mutable QImage image_;
    mutable TCanvas canvas_;
    TColor transparentColor_ = clNone;
    bool monochrome_ = false;
};

// The platform's 3-D frame: `width` nested one-pixel frames, top and left in topColor, bottom
// and right in bottomColor; r shrinks by width on every side.
void Frame3D(TCanvas* canvas, TRect& r, TColor topColor, TColor bottomColor, int width);
// The platform's edge drawing (BDR_*/EDGE_* kinds, BF_* sides); with BF_ADJUST r shrinks to the
// inside of the edges.
void DrawEdge(TCanvas* canvas, TRect& r, unsigned edge, unsigned flags);
