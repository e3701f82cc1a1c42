#include "platform/gui/Graphics.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QPaintDevice>
#include <QRegion>
#include <algorithm>
#include <cmath>

#include "platform/gui/QtText.h"

QColor ToQColor(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

namespace {

QRgb ToQRgb(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQRgb(QRgb v) { return RGB(qRed(v), qGreen(v), qBlue(v)); }

// The platform's MulDiv: a * b / c rounded half away from zero.
int MulDiv(int a, int b, int c)
{
    const long long n = static_cast<long long>(a) * b;
    const long long q = (std::llabs(n) * 2 + std::llabs(c)) / (2 * std::llabs(static_cast<long long>(c)));
    return static_cast<int>(((n < 0) != (c < 0)) ? -q : q);
}

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

// Dash patterns of one-pixel pens, as runs of on/off pixels.
const std::vector<int>& DashPattern(TPenStyle s)
{
    static const std::vector<int> none, dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6},
        dashDotDot{9, 3, 3, 3, 3, 3};
    switch (s) {
    case psDash: return dash;
    case psDot: return dot;
    case psDashDot: return dashDot;
    case psDashDotDot: return dashDotDot;
    default: return none;
    }
}

QPainter::CompositionMode PenComposition(TPenMode m)
{
    switch (m) {
    case pmNot: return QPainter::RasterOp_NotDestination;
    case pmXor: return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
    case pmMask: return QPainter::RasterOp_SourceAndDestination;
    case pmMerge: return QPainter::RasterOp_SourceOrDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

QColor PenColor(const TPen& pen)
{
    if (pen.Mode == pmBlack)
        return Qt::black;
    if (pen.Mode == pmWhite)
        return Qt::white;
    return ToQColor(pen.Color);
}

Qt::BrushStyle QtBrushStyle(TBrushStyle s)
{
    switch (s) {
    case bsClear: return Qt::NoBrush;
    case bsHorizontal: return Qt::HorPattern;
    case bsVertical: return Qt::VerPattern;
    case bsFDiagonal: return Qt::BDiagPattern;
    case bsBDiagonal: return Qt::FDiagPattern;
    case bsCross: return Qt::CrossPattern;
    case bsDiagCross: return Qt::DiagCrossPattern;
    default: return Qt::SolidPattern;
    }
}

QBrush ToQBrush(const TBrush& b) { return QBrush(ToQColor(b.Color), QtBrushStyle(b.Style)); }

// Sets `p` to invert the pixels it fills; false when there is no painter or `r` is empty. After
// true the caller restores `p`.
bool BeginInvert(QPainter* p, const TRect& r)
{
    if (!p || r.IsEmpty())
        return false;
    p->save();
    p->setCompositionMode(QPainter::RasterOp_NotDestination);
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TFont

TFont::TFont() : name_("MS Sans Serif") {}

TFont::TFont(const TFont& other)
    : TObject(), CharSet(other.CharSet), name_(other.name_), height_(other.height_),
      style_(other.style_), pitch_(other.pitch_), color_(other.color_), orientation_(other.orientation_)
{
}

TFont& TFont::operator=(const TFont& other)
{
    if (this != &other) {
        const bool same = SameDescription(other) && CharSet == other.CharSet;
        name_ = other.name_;
        height_ = other.height_;
        style_ = other.style_;
        pitch_ = other.pitch_;
        color_ = other.color_;
        orientation_ = other.orientation_;
        CharSet = other.CharSet;
        if (!same)
            Changed();
    }
    return *this;
}

bool TFont::SameDescription(const TFont& o) const
{
    return name_ == o.name_ && height_ == o.height_ && style_ == o.style_ && pitch_ == o.pitch_ &&
           color_ == o.color_ && orientation_ == o.orientation_;
}

void TFont::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TFont::SetName(const std::string& name)
{
    if (name != name_) { name_ = name; Changed(); }
}
void TFont::SetHeight(int height)
{
    if (height != height_) { height_ = height; Changed(); }
}
int TFont::Size() const { return -MulDiv(height_, 72, PixelsPerInch); }
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, PixelsPerInch, 72)); }
void TFont::SetStyle(TFontStyles style)
{
    if (style != style_) { style_ = style; Changed(); }
}
void TFont::SetPitch(TFontPitch pitch)
{
    if (pitch != pitch_) { pitch_ = pitch; Changed(); }
}
void TFont::SetColor(TColor color)
{
    if (color != color_) { color_ = color; Changed(); }
}
void TFont::SetOrientation(int tenths)
{
    if (tenths != orientation_) { orientation_ = tenths; Changed(); }
}

QString TFont::SubstituteFace(const std::string& name, TFontPitch pitch)
{
    const QString n = Cp949ToQString(name).toLower();
    static const char* const fixedHints[] = {"courier", "fixedsys", "terminal", "consol", "mono",
                                             "coding", "lucida console", "che"};
    bool fixed = pitch == fpFixed || n.contains(QChar(0xCCB4));  // U+CCB4 "체": fixed-pitch Korean faces
    for (const char* h : fixedHints)
        fixed = fixed || n.contains(QLatin1String(h));
    if (fixed)
        return QStringLiteral("NanumGothicCoding");
    if (n.contains(QStringLiteral("batang")) || n.contains(QString::fromUtf8("바탕")) ||
        n.contains(QString::fromUtf8("궁서")) || n.contains(QStringLiteral("times")) ||
        (n.contains(QStringLiteral("serif")) && !n.contains(QStringLiteral("sans"))))
        return QStringLiteral("NanumMyeongjo");
    return QStringLiteral("NanumGothic");
}

QFont TFont::ToQFont() const
{
    QFont f(SubstituteFace(name_, pitch_));
    int px = height_ < 0 ? -height_ : height_;
    if (px == 0)
        px = 11;
    f.setPixelSize(std::max(1, px));
    f.setBold((style_ & fsBold) != 0);
    f.setItalic((style_ & fsItalic) != 0);
    f.setUnderline((style_ & fsUnderline) != 0);
    f.setStrikeOut((style_ & fsStrikeOut) != 0);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setKerning(false);
    if (pitch_ == fpFixed)
        f.setFixedPitch(true);
    return f;
}

// ---------------------------------------------------------------------------------------------
// TCanvas

struct TCanvas::State {
    bool Clipped = false;
    QRegion Clip;      // device coordinates
    TPoint Origin;
};

TCanvas::TCanvas()
    : Font(new TFont), Pen(new TPen), Brush(new TBrush), state_(std::make_unique<State>())
{
}

TCanvas::~TCanvas()
{
    Unbind();
    delete Font;
    delete Pen;
    delete Brush;
}

void TCanvas::BindDevice(QPaintDevice* device)
{
    Unbind();
    device_ = device;
    image_ = device && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
}

void TCanvas::BindPainter(QPainter* painter)
{
    Unbind();
    painter_ = painter;
    QPaintDevice* dev = painter ? painter->device() : nullptr;
    image_ = dev && dev->devType() == QInternal::Image ? static_cast<QImage*>(dev) : nullptr;
    if (painter_) {
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setRenderHint(QPainter::TextAntialiasing, false);
        painter_->setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
}

void TCanvas::Unbind()
{
    Flush();
    painter_ = nullptr;
    device_ = nullptr;
    image_ = nullptr;
    *state_ = State{};
    saved_.clear();
    origin_ = {};
}

void TCanvas::Flush()
{
    if (ownPainter_) {
        ownPainter_->end();
        ownPainter_.reset();
        painter_ = nullptr;
    }
}

bool TCanvas::IsBound() const { return painter_ != nullptr || device_ != nullptr; }

QPainter* TCanvas::Painter()
{
    if (painter_)
        return painter_;
    if (!device_ || device_->width() <= 0 || device_->height() <= 0)
        return nullptr;
    ownPainter_ = std::make_unique<QPainter>(device_);
    painter_ = ownPainter_.get();
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, false);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (state_->Clipped)
        painter_->setClipRegion(state_->Clip);
    painter_->setTransform(QTransform::fromTranslate(origin_.X, origin_.Y));
    return painter_;
}

TSize TCanvas::DeviceSize() const
{
    const QPaintDevice* d = image_ ? image_ : device_ ? device_ : painter_ ? painter_->device() : nullptr;
    if (!d)
        return {};
    return {d->width(), d->height()};
}

QFont& TCanvas::CurrentQFont() const
{
    if (!cachedValid_ || !cachedFontDesc_.SameDescription(*Font)) {
        cachedFontDesc_ = *Font;
        cachedQFont_ = Font->ToQFont();
        cachedValid_ = true;
    }
    return cachedQFont_;
}

void TCanvas::ApplyPen(QPainter& p)
{
    if (Pen->Style == psClear) {
        p.setPen(Qt::NoPen);
        return;
    }
    QPen pen(PenColor(*Pen));
    pen.setWidth(std::max(1, Pen->Width));
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::SquareCap);
    if (Pen->Style == psDash) pen.setStyle(Qt::DashLine);
    if (Pen->Style == psDot) pen.setStyle(Qt::DotLine);
    if (Pen->Style == psDashDot) pen.setStyle(Qt::DashDotLine);
    if (Pen->Style == psDashDotDot) pen.setStyle(Qt::DashDotDotLine);
    p.setPen(pen);
    p.setCompositionMode(PenComposition(Pen->Mode));
}

void TCanvas::LineTo(int x, int y)
{
    const TPoint from = penPos_;
    penPos_ = {x, y};
    QPainter* p = Painter();
    if (!p || Pen->Style == psClear)
        return;
    p->save();
    p->setCompositionMode(PenComposition(Pen->Mode));
    const QColor color = PenColor(*Pen);
    if (Pen->Width > 1) {
        ApplyPen(*p);
        p->drawLine(from.X, from.Y, x, y);
        p->restore();
        return;
    }
    // Bresenham from `from` up to, not including, (x, y).
    const std::vector<int>& dashes = DashPattern(Pen->Style);
    size_t dashIndex = 0;
    int dashLeft = dashes.empty() ? 0 : dashes[0];
    int cx = from.X, cy = from.Y;
    const int dx = std::abs(x - cx), sx = cx < x ? 1 : -1;
    const int dy = -std::abs(y - cy), sy = cy < y ? 1 : -1;
    int err = dx + dy;
    while (cx != x || cy != y) {
        if (dashes.empty() || dashIndex % 2 == 0)
            p->fillRect(cx, cy, 1, 1, color);
        if (!dashes.empty() && --dashLeft == 0) {
            dashIndex = (dashIndex + 1) % dashes.size();
            dashLeft = dashes[dashIndex];
        }
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; cx += sx; }
        if (e2 <= dx) { err += dx; cy += sy; }
    }
    p->restore();
}

void TCanvas::Polyline(const std::vector<TPoint>& points)
{
    if (points.empty())
        return;
    MoveTo(points[0].X, points[0].Y);
    for (size_t i = 1; i < points.size(); ++i)
        LineTo(points[i].X, points[i].Y);
}

void TCanvas::Polygon(const std::vector<TPoint>& points)
{
    QPainter* p = Painter();
    if (!p || points.empty())
        return;
    QPolygon poly;
    for (const TPoint& pt : points)
        poly << QPoint(pt.X, pt.Y);
    p->save();
    if (Brush->Style != bsClear) {
        p->setPen(Qt::NoPen);
        p->setBrush(ToQBrush(*Brush));
        p->drawPolygon(poly);
    }
    p->restore();
    // The outline through every vertex, closed.
    std::vector<TPoint> closed = points;
    closed.push_back(points[0]);
    Polyline(closed);
    // A closed outline ends on its start point, which the first segment already drew.
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    QPainter* p = Painter();
    if (!p)
        return;
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    const bool pen = Pen->Style != psClear;
    const int w = pen ? std::max(1, Pen->Width) : 0;
    if (Brush->Style != bsClear) {
        // Without a pen the filled area is one pixel smaller on the right and bottom.
        const QRect inner = pen ? QRect(x1 + w, y1 + w, x2 - x1 - 2 * w, y2 - y1 - 2 * w)
                                : QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
        if (inner.width() > 0 && inner.height() > 0)
            p->fillRect(inner, ToQBrush(*Brush));
    }
    if (!pen || x2 - x1 < 1 || y2 - y1 < 1)
        return;
    if (Pen->Style == psSolid || Pen->Style == psInsideFrame || w > 1) {
        p->save();
        p->setCompositionMode(PenComposition(Pen->Mode));
        const QColor c = PenColor(*Pen);
        const int ww = std::min(w, (x2 - x1 + 1) / 2), hh = std::min(w, (y2 - y1 + 1) / 2);
        p->fillRect(x1, y1, x2 - x1, hh, c);
        p->fillRect(x1, y2 - hh, x2 - x1, hh, c);
        p->fillRect(x1, y1 + hh, ww, y2 - y1 - 2 * hh, c);
        p->fillRect(x2 - ww, y1 + hh, ww, y2 - y1 - 2 * hh, c);
        p->restore();
        return;
    }
    const TPoint keep = penPos_;
    Polyline({{x1, y1}, {x2 - 1, y1}, {x2 - 1, y2 - 1}, {x1, y2 - 1}, {x1, y1}});
    penPos_ = keep;
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int ew, int eh)
{
    QPainter* p = Painter();
    if (!p)
        return;
    p->save();
    ApplyPen(*p);
    p->setBrush(ToQBrush(*Brush));
    p->drawRoundedRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1), ew / 2.0, eh / 2.0);
    p->restore();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    QPainter* p = Painter();
    if (!p)
        return;
    p->save();
    ApplyPen(*p);
    p->setBrush(ToQBrush(*Brush));
    p->drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
    p->restore();
}

void TCanvas::FillRect(const TRect& r)
{
    QPainter* p = Painter();
    if (!p || r.IsEmpty() || Brush->Style == bsClear)
        return;
    p->fillRect(ToQRect(r), ToQBrush(*Brush));
}

void TCanvas::FrameRect(const TRect& r)
{
    QPainter* p = Painter();
    if (!p || r.IsEmpty())
        return;
    const QColor c = ToQColor(Brush->Color);
    p->fillRect(r.Left, r.Top, r.Width(), 1, c);
    p->fillRect(r.Left, r.Bottom - 1, r.Width(), 1, c);
    p->fillRect(r.Left, r.Top, 1, r.Height(), c);
    p->fillRect(r.Right - 1, r.Top, 1, r.Height(), c);
}

void TCanvas::InvertRect(const TRect& r)
{
    QPainter* p = Painter();
    if (!BeginInvert(p, r))
        return;
    p->fillRect(ToQRect(r), Qt::black);
    p->restore();
}

void TCanvas::DrawFocusRect(const TRect& r)
{
    QPainter* p = Painter();
    if (!BeginInvert(p, r))
        return;
    auto dot = [&](int x, int y) {
        if (((x - r.Left) + (y - r.Top)) % 2 == 0)
            p->fillRect(x, y, 1, 1, Qt::black);
    };
    for (int x = r.Left; x < r.Right; ++x) {
        dot(x, r.Top);
        if (r.Bottom - 1 > r.Top)
            dot(x, r.Bottom - 1);
    }
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
        dot(r.Left, y);
        if (r.Right - 1 > r.Left)
            dot(r.Right - 1, y);
    }
    p->restore();
}

void TCanvas::FillMasked(int x, int y, int w, int h, const TBitmap& mask, int mx, int my, TColor color)
{
    QPainter* p = Painter();
    if (!p || w <= 0 || h <= 0)
        return;
    QImage overlay(w, h, QImage::Format_ARGB32);
    overlay.fill(Qt::transparent);
    const QRgb c = ToQRgb(color);
    const QImage& m = mask.Image();
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const int sx = mx + i, sy = my + j;
            if (sx >= 0 && sy >= 0 && sx < m.width() && sy < m.height() && (m.pixel(sx, sy) & 0xFFFFFF) == 0)
                overlay.setPixel(i, j, c);
        }
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->drawImage(x, y, overlay);
    p->restore();
}

TColor TCanvas::Pixel(int x, int y) const
{
    if (!image_)
        return clNone;
    const int dx = x + origin_.X, dy = y + origin_.Y;
    if (dx < 0 || dy < 0 || dx >= image_->width() || dy >= image_->height())
        return clNone;
    return FromQRgb(image_->pixel(dx, dy));
}

void TCanvas::SetPixel(int x, int y, TColor c)
{
    QPainter* p = Painter();
    if (!p)
        return;
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->fillRect(x, y, 1, 1, ToQColor(c));
    p->restore();
}

int TCanvas::TextWidth(const std::string& text) const
{
    return QFontMetrics(CurrentQFont()).horizontalAdvance(Cp949ToQString(text));
}

int TCanvas::TextHeight(const std::string&) const { return QFontMetrics(CurrentQFont()).height(); }

TSize TCanvas::TextExtent(const std::string& text) const { return {TextWidth(text), TextHeight(text)}; }

int TCanvas::FontAscent() const { return QFontMetrics(CurrentQFont()).ascent(); }
int TCanvas::FontDescent() const { return QFontMetrics(CurrentQFont()).descent(); }
int TCanvas::AverageCharWidth() const { return QFontMetrics(CurrentQFont()).averageCharWidth(); }
int TCanvas::MaxCharWidth() const { return QFontMetrics(CurrentQFont()).maxWidth(); }
int TCanvas::InternalLeading() const
{
    const QFontMetrics fm(CurrentQFont());
    return std::max(0, fm.height() - CurrentQFont().pixelSize());
}

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    const QFont& f = CurrentQFont();
    const QFontMetrics fm(f);
    const QString s = Cp949ToQString(text);
    const int w = fm.horizontalAdvance(s);
    penPos_ = {x + w, y};
    QPainter* p = Painter();
    if (!p || s.isEmpty())
        return;
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (Font->Orientation() != 0) {
        p->translate(x, y);
        p->rotate(-Font->Orientation() / 10.0);
        if (Brush->Style != bsClear)
            p->fillRect(0, 0, w, fm.height(), ToQColor(Brush->Color));
        p->setFont(f);
        p->setPen(ToQColor(Font->Color()));
        p->drawText(0, fm.ascent(), s);
    } else {
        if (Brush->Style != bsClear)
            p->fillRect(x, y, w, fm.height(), ToQColor(Brush->Color));
        p->setFont(f);
        p->setPen(ToQColor(Font->Color()));
        p->drawText(x, y + fm.ascent(), s);
    }
    p->restore();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text)
{
    QPainter* p = Painter();
    if (!p)
        return;
    p->save();
    p->setClipRect(ToQRect(r), Qt::IntersectClip);
    if (Brush->Style != bsClear)
        p->fillRect(ToQRect(r), ToQColor(Brush->Color));
    const TBrushStyle keep = Brush->Style;
    Brush->Style = bsClear;
    TextOut(x, y, text);
    Brush->Style = keep;
    p->restore();
}

void TCanvas::TextOutAdvances(int x, int y, unsigned options, const TRect* rect, const std::string& text,
                              const int* advances)
{
    QPainter* p = Painter();
    if (!p)
        return;
    const QFont& f = CurrentQFont();
    const QFontMetrics fm(f);
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if ((options & ETO_CLIPPED) && rect)
        p->setClipRect(ToQRect(*rect), Qt::IntersectClip);
    if ((options & ETO_OPAQUE) && rect)
        p->fillRect(ToQRect(*rect), ToQColor(Brush->Color));
    // Positions of each character first, so the background goes under all of them.
    struct Glyph { int X; QChar C; };
    std::vector<Glyph> glyphs;
    int cx = x;
    for (size_t i = 0; i < text.size();) {
        const int len = Cp949CharLength(text, i);
        const auto lead = static_cast<unsigned char>(text[i]);
        QChar c = QChar(0xFFFD);
        if (len == 2)
            c = QChar(Cp949CharToUnicode(lead, static_cast<unsigned char>(text[i + 1])));
        else if (lead < 0x80)
            c = QChar(lead);
        int adv = 0;
        if (advances) {
            adv = advances[i];
            if (len == 2)
                adv += advances[i + 1];
        } else {
            adv = fm.horizontalAdvance(c);
        }
        glyphs.push_back({cx, c});
        cx += adv;
        i += static_cast<size_t>(len);
    }
    if (Brush->Style != bsClear && !(options & ETO_OPAQUE))
        p->fillRect(x, y, cx - x, fm.height(), ToQColor(Brush->Color));
    p->setFont(f);
    p->setPen(ToQColor(Font->Color()));
    for (const Glyph& g : glyphs)
        if (g.C != QLatin1Char(' ') && g.C != QLatin1Char('\t'))
            p->drawText(g.X, y + fm.ascent(), QString(g.C));
    p->restore();
    penPos_ = {cx, y};
}

int TCanvas::DrawText(const std::string& text, TRect& r, unsigned flags)
{
    const QFont& f = CurrentQFont();
    const QFontMetrics fm(f);
    QString s = Cp949ToQString(text);
    int qflags = 0;
    qflags |= (flags & DT_CENTER) ? Qt::AlignHCenter : (flags & DT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
    if (flags & DT_SINGLELINE)
        qflags |= Qt::TextSingleLine | ((flags & DT_VCENTER) ? Qt::AlignVCenter
                                        : (flags & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop);
    else
        qflags |= Qt::AlignTop;
    if (flags & DT_WORDBREAK)
        qflags |= Qt::TextWordWrap;
    if (flags & DT_EXPANDTABS)
        qflags |= Qt::TextExpandTabs;
    if (!(flags & DT_NOPREFIX))
        qflags |= Qt::TextShowMnemonic;
    if (flags & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS)) {
        QString plain = s;
        if (!(flags & DT_NOPREFIX))
            plain.remove(QLatin1Char('&'));
        s = fm.elidedText(plain, (flags & DT_PATH_ELLIPSIS) ? Qt::ElideMiddle : Qt::ElideRight, r.Width());
        qflags &= ~Qt::TextShowMnemonic;
    }
    const QRect area = ToQRect(r);
    if (flags & DT_CALCRECT) {
        const QRect b = fm.boundingRect((flags & DT_WORDBREAK) ? QRect(r.Left, r.Top, std::max(1, r.Width()), 100000)
                                                               : QRect(r.Left, r.Top, 100000, 100000),
                                        qflags & ~(Qt::AlignHCenter | Qt::AlignRight | Qt::AlignVCenter | Qt::AlignBottom),
                                        s);
        r.Right = r.Left + b.width();
        r.Bottom = r.Top + (s.isEmpty() ? fm.height() : b.height());
        return r.Height();
    }
    const QRect b = fm.boundingRect(area, qflags, s);
    QPainter* p = Painter();
    if (!p)
        return b.height();
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (!(flags & DT_NOCLIP))
        p->setClipRect(area, Qt::IntersectClip);
    if (Brush->Style != bsClear)
        p->fillRect(b, ToQColor(Brush->Color));
    p->setFont(f);
    p->setPen(ToQColor(Font->Color()));
    p->drawText(area, qflags, s);
    p->restore();
    return b.height();
}

void TCanvas::BlitImage(int x, int y, int w, int h, const QImage& srcImage, int sx, int sy, uint32_t rop)
{
    QPainter* p = Painter();
    if (!p || w <= 0 || h <= 0)
        return;
    // Work on a copy of the source area, so a canvas can copy from itself.
    QImage src(w, h, QImage::Format_RGB32);
    src.fill(Qt::black);
    {
        QPainter sp(&src);
        sp.setCompositionMode(QPainter::CompositionMode_Source);
        sp.drawImage(QPoint(0, 0), srcImage, QRect(sx, sy, w, h));
    }
    p->save();
    auto draw = [&](QPainter::CompositionMode mode, const QImage& img) {
        p->setCompositionMode(mode);
        p->drawImage(QPoint(x, y), img);
    };
    switch (rop) {
    case SRCCOPY: draw(QPainter::CompositionMode_Source, src); break;
    case SRCAND: draw(QPainter::RasterOp_SourceAndDestination, src); break;
    case SRCPAINT: draw(QPainter::RasterOp_SourceOrDestination, src); break;
    case SRCINVERT: draw(QPainter::RasterOp_SourceXorDestination, src); break;
    case NOTSRCCOPY: draw(QPainter::RasterOp_NotSource, src); break;
    case MERGEPAINT: draw(QPainter::RasterOp_NotSourceOrDestination, src); break;
    case SRCERASE: draw(QPainter::RasterOp_SourceAndNotDestination, src); break;
    case DSTINVERT:
        p->setCompositionMode(QPainter::RasterOp_NotDestination);
        p->fillRect(x, y, w, h, Qt::black);
        break;
    case PATCOPY: p->fillRect(x, y, w, h, ToQBrush(*Brush)); break;
    case BLACKNESS: p->fillRect(x, y, w, h, Qt::black); break;
    case WHITENESS: p->fillRect(x, y, w, h, Qt::white); break;
    case ROP_DSPDxax: {
        // D ^ (S & (P ^ D)) == (S & P) | (~S & D): clear the bits S selects, then add S & P.
        draw(QPainter::RasterOp_NotSourceAndDestination, src);
        QImage sp = src;
        const QRgb pat = ToQRgb(Brush->Color) | 0xFF000000u;
        for (int j = 0; j < h; ++j) {
            auto* line = reinterpret_cast<QRgb*>(sp.scanLine(j));
            for (int i = 0; i < w; ++i)
                line[i] = (line[i] & pat) | 0xFF000000u;
        }
        draw(QPainter::RasterOp_SourceOrDestination, sp);
        break;
    }
    default: draw(QPainter::CompositionMode_Source, src); break;
    }
    p->restore();
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap)
{
    if (bitmap.Empty())
        return;
    if (!bitmap.Transparent) {
        BlitImage(x, y, bitmap.Width(), bitmap.Height(), bitmap.Image(), 0, 0, SRCCOPY);
        return;
    }
    QPainter* p = Painter();
    if (!p)
        return;
    QImage img = bitmap.Image().convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ToQRgb(bitmap.TransparentColor()) & 0xFFFFFF;
    for (int j = 0; j < img.height(); ++j) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(j));
        for (int i = 0; i < img.width(); ++i)
            if ((line[i] & 0xFFFFFF) == key)
                line[i] = 0;
    }
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->drawImage(x, y, img);
    p->restore();
}

void TCanvas::StretchDraw(const TRect& r, const TBitmap& bitmap)
{
    if (bitmap.Empty() || r.IsEmpty())
        return;
    if (r.Width() == bitmap.Width() && r.Height() == bitmap.Height()) {
        Draw(r.Left, r.Top, bitmap);
        return;
    }
    TBitmap scaled;
    scaled.SetImage(bitmap.Image().scaled(r.Width(), r.Height(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
    scaled.Transparent = bitmap.Transparent;
    scaled.SetTransparentColor(bitmap.TransparentColor());
    Draw(r.Left, r.Top, scaled);
}

void TCanvas::CopyRect(const TRect& dest, const TBitmap& source, const TRect& src)
{
    if (source.Empty() || dest.IsEmpty() || src.IsEmpty())
        return;
    if (dest.Width() == src.Width() && dest.Height() == src.Height()) {
        BlitImage(dest.Left, dest.Top, dest.Width(), dest.Height(), source.Image(), src.Left, src.Top, CopyMode);
        return;
    }
    const QImage part = source.Image().copy(ToQRect(src)).scaled(dest.Width(), dest.Height(),
                                                                 Qt::IgnoreAspectRatio, Qt::FastTransformation);
    BlitImage(dest.Left, dest.Top, dest.Width(), dest.Height(), part, 0, 0, CopyMode);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& src)
{
    if (!source.image_ || dest.IsEmpty() || src.IsEmpty())
        return;
    const QImage copy = source.image_->copy(src.Left + source.origin_.X, src.Top + source.origin_.Y,
                                            src.Width(), src.Height());
    if (dest.Width() == src.Width() && dest.Height() == src.Height())
        BlitImage(dest.Left, dest.Top, dest.Width(), dest.Height(), copy, 0, 0, CopyMode);
    else
        BlitImage(dest.Left, dest.Top, dest.Width(), dest.Height(),
                  copy.scaled(dest.Width(), dest.Height(), Qt::IgnoreAspectRatio, Qt::FastTransformation), 0, 0,
                  CopyMode);
}

void TCanvas::BitBlt(int x, int y, int w, int h, const TBitmap& source, int sx, int sy, uint32_t rop)
{
    BlitImage(x, y, w, h, source.Image(), sx, sy, rop);
}

void TCanvas::BitBlt(int x, int y, int w, int h, TCanvas& source, int sx, int sy, uint32_t rop)
{
    if (!source.image_) {
        if (rop == PATCOPY || rop == DSTINVERT || rop == BLACKNESS || rop == WHITENESS)
            BlitImage(x, y, w, h, QImage(), 0, 0, rop);
        return;
    }
    BlitImage(x, y, w, h, *source.image_, sx + source.origin_.X, sy + source.origin_.Y, rop);
}

void TCanvas::DrawImage(int x, int y, const QImage& image)
{
    QPainter* p = Painter();
    if (!p)
        return;
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->drawImage(x, y, image);
    p->restore();
}

TRect TCanvas::ClipRect() const
{
    const TSize sz = DeviceSize();
    QRect r = state_->Clipped ? state_->Clip.boundingRect() : QRect(0, 0, sz.cx, sz.cy);
    r.translate(-origin_.X, -origin_.Y);
    return Rect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

namespace {
void ApplyClip(QPainter* p, bool clipped, const QRegion& clip, TPoint origin)
{
    if (!p)
        return;
    p->setTransform(QTransform());
    if (clipped)
        p->setClipRegion(clip);
    else
        p->setClipping(false);
    p->setTransform(QTransform::fromTranslate(origin.X, origin.Y));
}
}  // namespace

void TCanvas::SetClipRect(const TRect& r)
{
    state_->Clipped = true;
    state_->Clip = QRegion(ToQRect(r).translated(origin_.X, origin_.Y));
    ApplyClip(painter_, true, state_->Clip, origin_);
}

void TCanvas::IntersectClipRect(const TRect& r)
{
    const QRegion add(ToQRect(r).translated(origin_.X, origin_.Y));
    if (state_->Clipped) {
        state_->Clip = state_->Clip.intersected(add);
    } else {
        state_->Clipped = true;
        state_->Clip = add;
    }
    ApplyClip(painter_, true, state_->Clip, origin_);
}

void TCanvas::ExcludeClipRect(const TRect& r)
{
    if (!state_->Clipped) {
        const TSize sz = DeviceSize();
        state_->Clipped = true;
        state_->Clip = QRegion(0, 0, sz.cx > 0 ? sz.cx : 32767, sz.cy > 0 ? sz.cy : 32767);
    }
    state_->Clip = state_->Clip.subtracted(QRegion(ToQRect(r).translated(origin_.X, origin_.Y)));
    ApplyClip(painter_, true, state_->Clip, origin_);
}

void TCanvas::ResetClip()
{
    state_->Clipped = false;
    state_->Clip = QRegion();
    ApplyClip(painter_, false, state_->Clip, origin_);
}

void TCanvas::SaveState()
{
    State s = *state_;
    s.Origin = origin_;
    saved_.push_back(s);
}

void TCanvas::RestoreState()
{
    if (saved_.empty())
        return;
    *state_ = saved_.back();
    saved_.pop_back();
    origin_ = state_->Origin;
    ApplyClip(painter_, state_->Clipped, state_->Clip, origin_);
}

void TCanvas::SetOrigin(int dx, int dy)
{
    origin_ = {dx, dy};
    if (painter_)
        painter_->setTransform(QTransform::fromTranslate(dx, dy));
}

// ---------------------------------------------------------------------------------------------
// TBitmap

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) { SetSize(width, height); }

TBitmap::~TBitmap() { canvas_.Unbind(); }

void TBitmap::SetSize(int width, int height)
{
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == Width() && height == Height() && !image_.isNull())
        return;
    canvas_.Flush();
    QImage next(width, height, QImage::Format_RGB32);
    next.fill(Qt::white);
    if (!image_.isNull() && width > 0 && height > 0) {
        QPainter p(&next);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, image_);
    }
    image_ = next;
    canvas_.BindDevice(&image_);
    Changed();
}

TColor TBitmap::TransparentColor() const
{
    if (TransparentMode == tmFixed && transparentColor_ != clNone)
        return transparentColor_;
    if (Empty())
        return clNone;
    return Pixel(0, Height() - 1);
}

void TBitmap::SetMonochrome(bool mono)
{
    if (mono == monochrome_)
        return;
    monochrome_ = mono;
    if (mono && !Empty()) {
        canvas_.Flush();
        const QRgb bk = ToQRgb(canvas_.Brush->Color) & 0xFFFFFF;
        for (int j = 0; j < image_.height(); ++j) {
            auto* line = reinterpret_cast<QRgb*>(image_.scanLine(j));
            for (int i = 0; i < image_.width(); ++i)
                line[i] = (line[i] & 0xFFFFFF) == bk ? 0xFFFFFFFFu : 0xFF000000u;
        }
    }
    Changed();
}

void TBitmap::Assign(const TBitmap& other)
{
    if (&other == this)
        return;
    canvas_.Flush();
    other.canvas_.Flush();
    image_ = other.image_.copy();
    canvas_.BindDevice(&image_);
    Transparent = other.Transparent;
    TransparentMode = other.TransparentMode;
    transparentColor_ = other.transparentColor_;
    monochrome_ = other.monochrome_;
    Changed();
}

bool TBitmap::LoadFromFile(const std::string& path)
{
    QImage loaded;
    if (!loaded.load(PathToQString(path)))
        return false;
    SetImage(loaded);
    return true;
}

bool TBitmap::SaveToFile(const std::string& path) const { return Image().save(PathToQString(path)); }

void TBitmap::Clear()
{
    canvas_.Unbind();
    image_ = QImage();
    Changed();
}

TColor TBitmap::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return clNone;
    return FromQRgb(image_.pixel(x, y));
}

void TBitmap::SetPixel(int x, int y, TColor c)
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return;
    canvas_.Flush();
    image_.setPixel(x, y, ToQRgb(c));
}

const QImage& TBitmap::Image() const
{
    canvas_.Flush();
    return image_;
}

void TBitmap::SetImage(const QImage& image)
{
    canvas_.Unbind();
    image_ = image.convertToFormat(QImage::Format_RGB32);
    canvas_.BindDevice(&image_);
    Changed();
}

void TBitmap::Changed()
{
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------------------------------------
// Frames

void Frame3D(TCanvas* canvas, TRect& r, TColor topColor, TColor bottomColor, int width)
{
    canvas->Pen->Width = 1;
    --r.Bottom;
    --r.Right;
    while (width > 0) {
        --width;
        canvas->Pen->Color = topColor;
        canvas->Polyline({{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}});
        canvas->Pen->Color = bottomColor;
        canvas->Polyline({{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left - 1, r.Bottom}});
        InflateRect(r, -1, -1);
    }
    ++r.Bottom;
    ++r.Right;
}

void DrawEdge(TCanvas* canvas, TRect& r, unsigned edge, unsigned flags)
{
    // Outer and inner rings: (top-left colour, bottom-right colour) for raised and sunken.
    struct Ring { TColor TopLeft, BottomRight; bool Present; };
    const bool flat = (flags & BF_FLAT) != 0, mono = (flags & BF_MONO) != 0;
    Ring outer{0, 0, false}, inner{0, 0, false};
    if (edge & BDR_RAISEDOUTER) outer = {cl3DLight, cl3DDkShadow, true};
    if (edge & BDR_SUNKENOUTER) outer = {clBtnShadow, clBtnHighlight, true};
    if (edge & BDR_RAISEDINNER) inner = {clBtnHighlight, clBtnShadow, true};
    if (edge & BDR_SUNKENINNER) inner = {cl3DDkShadow, cl3DLight, true};
    if (flat || mono) {
        const TColor c = mono ? clWindowFrame : clBtnShadow;
        if (outer.Present) outer = {c, c, true};
        if (inner.Present) inner = {flat ? clBtnFace : c, flat ? clBtnFace : c, true};
    }
    TRect cur = r;
    const TColor keepPen = canvas->Pen->Color;
    const TPenStyle keepStyle = canvas->Pen->Style;
    const int keepWidth = canvas->Pen->Width;
    canvas->Pen->Style = psSolid;
    canvas->Pen->Width = 1;
    for (const Ring& ring : {outer, inner}) {
        if (!ring.Present || cur.IsEmpty())
            continue;
        canvas->Pen->Color = ring.TopLeft;
        if (flags & BF_LEFT) { canvas->MoveTo(cur.Left, cur.Bottom - 1); canvas->LineTo(cur.Left, cur.Top - 1); }
        if (flags & BF_TOP) { canvas->MoveTo(cur.Left, cur.Top); canvas->LineTo(cur.Right, cur.Top); }
        canvas->Pen->Color = ring.BottomRight;
        if (flags & BF_RIGHT) { canvas->MoveTo(cur.Right - 1, cur.Top); canvas->LineTo(cur.Right - 1, cur.Bottom); }
        if (flags & BF_BOTTOM) { canvas->MoveTo(cur.Left, cur.Bottom - 1); canvas->LineTo(cur.Right, cur.Bottom - 1); }
        if (flags & BF_LEFT) ++cur.Left;
        if (flags & BF_TOP) ++cur.Top;
        if (flags & BF_RIGHT) --cur.Right;
        if (flags & BF_BOTTOM) --cur.Bottom;
    }
    if ((flags & BF_MIDDLE) && !cur.IsEmpty()) {
        const TColor keepBrush = canvas->Brush->Color;
        const TBrushStyle keepBrushStyle = canvas->Brush->Style;
        canvas->Brush->Color = clBtnFace;
        canvas->Brush->Style = bsSolid;
        canvas->FillRect(cur);
        canvas->Brush->Color = keepBrush;
        canvas->Brush->Style = keepBrushStyle;
    }
    canvas->Pen->Color = keepPen;
    canvas->Pen->Style = keepStyle;
    canvas->Pen->Width = keepWidth;
    if (flags & BF_ADJUST)
        r = cur;
}
