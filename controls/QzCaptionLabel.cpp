#include "controls/QzCaptionLabel.h"

#include <algorithm>
#include <cctype>

#include "document/QzText.h"
#include "platform/core/SysUtils.h"

namespace {

const char* const kColorNames[][2] = {
    {"TEAL", "008080"}, {"THISTLE", "D8BFD8"}, {"TOMATO", "FF6347"}, {"TURQUOISE", "40E0D0"},
    {"VIOLET", "EE82EE"}, {"ALICEBLUE", "F0F8FF"}, {"AQUA", "00FFFF"}, {"AQUAMARINE", "7FFFD4"},
    {"AZURE", "F0FFFF"}, {"BEIGE", "F5F5DC"}, {"HOTPINK", "FF69B4"}, {"INDIGO", "4B0082"},
    {"IVORY", "FFFFF0"}, {"KHAKI", "F0E68C"}, {"LAVENDER", "E6E6FA"}, {"LAVENDERBLUSH", "FFF0F5"},
    {"LAWNGREEN", "7CFC00"}, {"LIGHTBLUE", "ADD8E6"}, {"LIGHTCORAL", "F08080"}, {"LIGHTCYAN", "E0FFFF"},
    {"LIME", "00FF00"}, {"LIMEGREEN", "32CD32"}, {"LINEN", "FAF0E6"}, {"MAGENTA", "FF00FF"},
    {"WHITE", "FFFFFF"}, {"CYAN", "00FFFF"}, {"DARKBLUE", "00008B"}, {"DARKCYAN", "008B8B"},
    {"DARKGREEN", "006400"}, {"DARKKHAKI", "BDB76B"}, {"BISQUE", "FFE4C4"}, {"BLACK", "000000"},
    {"BLUE", "0000FF"}, {"BROWN", "A52A2A"}, {"BURLYWOOD", "DEB887"}, {"CADETBLUE", "5F9EA0"},
    {"CHOCOLATE", "D2691E"}, {"CORAL", "FF7F50"}, {"CORNSILK", "FFF8DC"}, {"CRIMSON", "DC143C"},
    {"FLORALWHITE", "FFFAF0"}, {"YELLOW", "FFFF00"}, {"DARKRED", "8B0000"}, {"DEEPPINK", "FF1493"},
    {"GOLD", "FFD700"}, {"DIMGRAY", "696969"}, {"DODGERBLUE", "1E90FF"}, {"FIREBRICK", "B22222"},
    {"FUCHSIA", "FF00FF"}, {"GAINSBORO", "DCDCDC"}, {"GHOSTWHITE", "F8F8FF"}, {"GOLDENROD", "DAA520"},
    {"GRAY", "808080"}, {"GREEN", "008000"}, {"HONEYDEW", "F0FFF0"}, {"MAROON", "800000"},
    {"MINTCREAM", "F5FFFA"}, {"MISTYROSE", "FFE4E1"}, {"MOCCASIN", "FFE4B5"}, {"PERU", "CD853F"},
    {"NAVY", "000080"}, {"OLDLACE", "FDF5E6"}, {"OLIVE", "808000"}, {"OLIVEDRAB", "6B8E23"},
    {"ORANGE", "FFA500"}, {"ORCHID", "DA70D6"}, {"PALEGREEN", "98FB98"}, {"WHEAT", "F5DEB3"},
    {"PAPAYAWHIP", "FFEFD5"}, {"PEACHPUFF", "FFDAB9"}, {"PINK", "FFC0CB"}, {"PLUM", "DDA0DD"},
    {"PURPLE", "800080"}, {"RED", "FF0000"}, {"ROSYBROWN", "BC8F8F"}, {"SALMON", "FA8072"},
    {"SANDYBROWN", "F4A460"}, {"SEAGREEN", "2E8B57"}, {"SEASHELL", "FFF5EE"}, {"SIENNA", "A0522D"},
    {"TAN", "D2B48C"}, {"SILVER", "C0C0C0"}, {"SKYBLUE", "87CEEB"}, {"SNOW", "FFFAFA"},
    {"STEELBLUE", "4682B4"}, {"LIGHTGREEN", "00FF00"}};

// Token kinds of one laid-out line, kept as the first byte of each token list entry.
constexpr char tkText = 'T', tkColor = 'C', tkReset = 'R', tkBoldOn = 'B', tkBoldOff = 'b',
               tkUnderOn = 'U', tkUnderOff = 'u';

// Only spaces delimit a colour value; a TAB or line break belongs to it.
bool IsValueBlank(char c) { return c == ' '; }

// The digit rule of the colour values: below 'A' the character minus '0', else the upper-cased
// character minus 'A' plus 10 (other characters give values outside 0..15).
int DigitValue(char ch)
{
    const auto c = static_cast<unsigned char>(ch);
    if (c < 'A')
        return static_cast<int>(c) - '0';
    return std::toupper(c) - 'A' + 10;
}

// The text with every line-break tag made a CR LF: "<BR>", and the "<BR/>" and "<BR />" that
// files written as XHTML carry, in any letter case, with any blanks before the '/' or '>'. A '<'
// is never the trail byte of a double-byte character, so the scan needs no character steps.
std::string BreakLines(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const size_t lt = text.find('<', i);
        if (lt == std::string::npos)
            break;
        size_t p = lt + 1;
        bool isBreak = p + 1 < text.size() && std::toupper(static_cast<unsigned char>(text[p])) == 'B' &&
                       std::toupper(static_cast<unsigned char>(text[p + 1])) == 'R';
        if (isBreak) {
            p += 2;
            while (p < text.size() && text[p] == ' ')
                ++p;
            if (p < text.size() && text[p] == '/')
                ++p;
            isBreak = p < text.size() && text[p] == '>';
        }
        out.append(text, i, lt - i);
        if (isBreak) {
            out += "\r\n";
            i = p + 1;
        } else {
            out += '<';
            i = lt + 1;
        }
    }
    out.append(text, i, std::string::npos);
    return out;
}

}  // namespace

TQzCaptionLabel::TQzCaptionLabel(QWidget* parent, TComponent* owner)
    : TCustomPanel(parent, owner), colorNames_(4096)
{
    SetOpaque(true);
    for (const auto& entry : kColorNames)
        colorNames_.Add(entry[0], entry[1]);
}

TQzCaptionLabel::~TQzCaptionLabel() = default;

// The height is fitted before painting: a label that has shrunk to no height is never painted,
// so painting alone could not make it grow again.
void TQzCaptionLabel::Changed()
{
    FitHeight();
    Repaint();
}

void TQzCaptionLabel::FitHeight()
{
    if (!autoSize_ && !autoHeight_)
        return;
    LayoutLines();
    const int h = FittedHeight(lines_.Count());
    if (h != Height())
        SetHeight(h);
}

int TQzCaptionLabel::FittedHeight(int count) const
{
    const int lines = count * LineHeight() + 2 * spaceTop_;
    return autoSize_ ? lines - spaceLine_ : lines;
}

void TQzCaptionLabel::Resize()
{
    TCustomPanel::Resize();
    // The wrapping, and with it the number of lines, follows the width.
    FitHeight();
}

void TQzCaptionLabel::FontChanged()
{
    TCustomPanel::FontChanged();
    FitHeight();
}

void TQzCaptionLabel::SetSpaceLeft(int v) { if (v != spaceLeft_) { spaceLeft_ = v; Changed(); } }
void TQzCaptionLabel::SetSpaceTop(int v) { if (v != spaceTop_) { spaceTop_ = v; Changed(); } }
void TQzCaptionLabel::SetSpaceLine(int v) { if (v != spaceLine_) { spaceLine_ = v; Changed(); } }
void TQzCaptionLabel::SetAutoHeight(bool v) { if (v != autoHeight_) { autoHeight_ = v; Changed(); } }
void TQzCaptionLabel::SetAutoSize(bool v) { if (v != autoSize_) { autoSize_ = v; Changed(); } }
void TQzCaptionLabel::SetWordWrap(bool v) { if (v != wordWrap_) { wordWrap_ = v; Changed(); } }
void TQzCaptionLabel::SetWordBreak(bool v) { if (v != wordBreak_) { wordBreak_ = v; Changed(); } }
void TQzCaptionLabel::SetTextAlign(TQzTextAlignOption v) { if (v != textAlign_) { textAlign_ = v; Changed(); } }
void TQzCaptionLabel::SetOutLine(bool v) { if (v != outLine_) { outLine_ = v; Changed(); } }

void TQzCaptionLabel::Update() { Repaint(); }
void TQzCaptionLabel::TextChanged() { Changed(); }

int TQzCaptionLabel::LineHeight() const { return -Font()->Height() + spaceLine_ + (outLine_ ? 2 : 0); }

int TQzCaptionLabel::WrapColumns() const
{
    // A font height of 0, 1 or above 0 would give no column width; one pixel is the least.
    const int columnWidth = std::max(1, (1 - Font()->Height()) / 2);
    const int columns = (Width() - 2 * spaceLeft_) / columnWidth;
    return std::min(columns, 4086);
}

void TQzCaptionLabel::LayoutLines()
{
    lines_.Clear();
    std::string text = Caption();
    std::replace(text.begin(), text.end(), '\t', ' ');
    text = BreakLines(text);
    rawLines_.SetText(text);
    if (!wordWrap_) {
        lines_.Assign(rawLines_);
        return;
    }
    const int columns = WrapColumns();
    for (const std::string& raw : rawLines_.Strings) {
        std::string_view rest(raw);
        for (;;) {
            // Blanks at the start of what is left (a break falls on the blank at the column
            // limit, or the line begins with blanks) would count as columns and be cut off as a
            // piece of their own: an empty line the caption does not hold.
            rest.remove_prefix(std::min(rest.size(), rest.find_first_not_of(" \t\r\n")));
            const int cut = FindLineBreak(rest, columns, wordBreak_);
            if (cut <= 0 || static_cast<size_t>(cut) > rest.size())
                break;
            lines_.Add(TrimBlanks(rest.substr(0, static_cast<size_t>(cut))));
            rest.remove_prefix(static_cast<size_t>(cut));
        }
        lines_.Add(TrimBlanks(rest));
    }
}

void TQzCaptionLabel::Paint()
{
    Canvas()->Brush->Style = bsClear;
    const int lineHeight = LineHeight();
    back_.SetSize(std::max(1, Width()), std::max(1, Height()));
    TCanvas* bc = back_.Canvas();
    bc->Font->Assign(*Font());
    bc->Pen->Color = Font()->Color();
    bc->Brush->Color = Color();
    bc->Brush->Style = bsSolid;
    bc->FillRect(Rect(0, 0, back_.Width(), back_.Height()));

    LayoutLines();
    const int count = lines_.Count();
    if ((autoSize_ || autoHeight_) && FittedHeight(count) != Height())
        SetHeight(FittedHeight(count));

    // Widths are measured in the label's plain font, whatever the markup left in the bitmap's.
    TCanvas measure;
    measure.Font->Assign(*Font());
    for (int i = 0; i < count; ++i) {
        const int y = i * lineHeight + spaceTop_;
        int x = spaceLeft_;
        if (textAlign_ != qztalLeft) {
            const int w = measure.TextWidth(ReplaceBlocks(lines_[i], "<", ">", ""));
            x = textAlign_ == qztalCenter ? (Width() - w) / 2 : Width() - w - spaceLeft_;
        }
        CaptionTextOut(bc, *Font(), x, y, lines_[i]);
    }
    Canvas()->Draw(0, 0, back_);
}

bool TQzCaptionLabel::ColorFromValue(const std::string& value, TColor& color) const
{
    std::string v = value;
    if (!v.empty() && v[0] == '#')
        v.erase(0, 1);
    v = UpperCase(v);
    std::string hex;
    if (colorNames_.IndexOf(v) >= 0)
        hex = colorNames_.Get(v);
    else if (v.size() == 6)
        hex = v;
    else
        return false;
    auto channel = [&](size_t at) {
        return std::clamp(DigitValue(hex[at]) * 16 + DigitValue(hex[at + 1]), 0, 255);
    };
    color = static_cast<TColor>(channel(0) + channel(2) * 256 + channel(4) * 65536);
    return true;
}

int TQzCaptionLabel::CaptionTextOut(TCanvas* canvas, const TFont& font, int X, int Y, const std::string& text)
{
    tokens_.Clear();
    const std::string upper = UpperCase(text);
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t lt = text.find('<', pos);
        if (lt == std::string::npos) {
            tokens_.Add(tkText + text.substr(pos));
            break;
        }
        const size_t gt = text.find('>', lt + 1);
        if (gt == std::string::npos) {
            tokens_.Add(tkText + text.substr(pos));
            break;
        }
        if (lt > pos)
            tokens_.Add(tkText + text.substr(pos, lt - pos));
        const std::string tag = upper.substr(lt, gt - lt + 1);
        if (tag.compare(0, 5, "<FONT") == 0) {
            // COLOR may stand anywhere after "<font", even past this tag's '>'.
            const size_t colorAt = upper.find("COLOR", lt + 5);
            const size_t eq = colorAt == std::string::npos ? std::string::npos : text.find('=', colorAt + 5);
            if (eq != std::string::npos) {
                size_t start = eq + 1;
                while (start < text.size() && IsValueBlank(text[start]))
                    ++start;
                size_t end = std::string::npos;
                if (start < text.size() && (text[start] == '"' || text[start] == '\'')) {
                    const size_t close = text.find(text[start], start + 1);
                    if (close != std::string::npos) {
                        ++start;
                        end = close;
                    }
                } else {
                    end = start;
                    while (end < text.size() && text[end] != '>' && !IsValueBlank(text[end]))
                        ++end;
                    if (end >= text.size())
                        end = std::string::npos;
                }
                TColor color;
                if (end != std::string::npos && ColorFromValue(text.substr(start, end - start), color))
                    tokens_.Add(tkColor + IntToStr(static_cast<int64_t>(color)));
            }
        } else if (tag == "</FONT>") {
            tokens_.Add(std::string(1, tkReset));
        } else if (tag == "<B>") {
            tokens_.Add(std::string(1, tkBoldOn));
        } else if (tag == "</B>") {
            tokens_.Add(std::string(1, tkBoldOff));
        } else if (tag == "<U>") {
            tokens_.Add(std::string(1, tkUnderOn));
        } else if (tag == "</U>") {
            tokens_.Add(std::string(1, tkUnderOff));
        }
        pos = gt + 1;
    }

    int x = X;
    for (const std::string& token : tokens_.Strings) {
        const std::string body = token.substr(1);
        switch (token[0]) {
        case tkColor: {
            const auto c = static_cast<TColor>(std::stoll(body));
            canvas->Font->SetColor(c);
            canvas->Pen->Color = c;
            break;
        }
        case tkReset:
            canvas->Font->SetColor(font.Color());
            canvas->Pen->Color = font.Color();
            break;
        case tkBoldOn: canvas->Font->SetStyle(canvas->Font->Style() | fsBold); break;
        case tkBoldOff: canvas->Font->SetStyle(canvas->Font->Style() & ~fsBold); break;
        case tkUnderOn: canvas->Font->SetStyle(canvas->Font->Style() | fsUnderline); break;
        case tkUnderOff: canvas->Font->SetStyle(canvas->Font->Style() & ~fsUnderline); break;
        default:
            if (!body.empty()) {
                canvas->TextOut(x, Y, body);
                x += canvas->TextWidth(body);
            }
            break;
        }
    }
    return x;
}
