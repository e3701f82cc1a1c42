#pragma once
// Small value types shared by the editor model and its widget: text positions, rectangles, the
// published enumerations and the option set of the editor control, and the print-setting records.
// No Qt in here.

#include "editor/model/QzColor.h"
#include "platform/core/InputTypes.h"

#include <cstdint>
#include <string>

enum TQzBlockMode : uint8_t { qzbmColumn, qzbmLine };
enum TQzEditMode : uint8_t { qzmInsert, qzmOverwrite };
enum TQzWordWrapOption : uint8_t { qzwwNone, qzwwWindow, qzwwUser };
enum TQzPadSaveFormat : uint8_t { qzsfDos, qzsfUnix, qzsfMac };
enum TQzPadCodeType : uint8_t { qzctWansung, qzctJohab };
enum TQzImeInputMode : uint8_t { imHangul, imEnglish };
enum TQzPagesPerSheet : uint8_t { ppps1, ppps2, ppps4 };
using TQzBorderStyle = TBorderStyle;

enum TQzPadOption : uint8_t {
    qzoAutoIndent,
    qzoHighlightCurrentLine,
    qzoFillCurrentLine,
    qzoHighlightSyntax,
    qzoReadOnly,
    qzoSelectMatchBrace,
    qzoSelectDblClick,
    qzoShowColumnIndicator,
    qzoShowGutter,
    qzoShowLineNo,
    qzoSmartHome,
    qzoShowNewLineMark,
    qzoUseSpace,
    qzoCopyLine,
    qzoScrollPastEOL,
};

// The option set, stored as a 16-bit word with bit n = option n (the stored layouts rely on it).
class TQzPadOptions {
public:
    constexpr TQzPadOptions() = default;
    static constexpr TQzPadOptions FromWord(uint16_t w) { TQzPadOptions o; o.bits_ = w & 0x7FFF; return o; }
    constexpr uint16_t Word() const { return bits_; }
    constexpr bool Contains(TQzPadOption o) const { return (bits_ >> o) & 1u; }
    TQzPadOptions& Include(TQzPadOption o) { bits_ = static_cast<uint16_t>(bits_ | (1u << o)); return *this; }
    TQzPadOptions& Exclude(TQzPadOption o) { bits_ = static_cast<uint16_t>(bits_ & ~(1u << o)); return *this; }
    TQzPadOptions With(TQzPadOption o) const { TQzPadOptions r = *this; r.Include(o); return r; }
    TQzPadOptions Without(TQzPadOption o) const { TQzPadOptions r = *this; r.Exclude(o); return r; }
    constexpr bool operator==(TQzPadOptions o) const { return bits_ == o.bits_; }
    constexpr bool operator!=(TQzPadOptions o) const { return bits_ != o.bits_; }

private:
    uint16_t bits_ = 0;
};

// The options a new control starts with: AutoIndent, HighlightCurrentLine, SelectDblClick,
// ShowColumnIndicator, ShowGutter, SmartHome, UseSpace.
constexpr uint16_t QzPadDefaultOptionsWord = 0x15C3;

// A font as the model knows it; the widget turns it into a real font and measures it.
struct TQzFontDesc {
    std::string Name;     // family name, code page 949 bytes
    int Size = 10;        // points
    TColor Color = clWindowText;
    bool FixedPitch = false;
    bool operator==(const TQzFontDesc& o) const {
        return Name == o.Name && Size == o.Size && Color == o.Color && FixedPitch == o.FixedPitch;
    }
};

// Header or footer of a printed page.
struct TQzPrintHeader {
    std::string TextLeft;
    std::string TextCenter;
    std::string TextRight;
    TQzFontDesc Font;
    bool Visible = true;
    TQzPrintHeader();
};

// Page layout of printing; margins in millimetres.
struct TQzPrintOptions {
    int MarginLeft = 15;
    int MarginRight = 15;
    int MarginTop = 15;
    int MarginBottom = 15;
    bool WordWrap = false;
    TQzFontDesc Font;
    bool PrintLineNo = false;
    bool PrintSeperator = false;
    TQzPagesPerSheet PagesPerSheet = ppps1;
    TQzPrintOptions();
};

// How many characters a line number takes: the decimal digits of `n`, 1 for any n below 10.
inline int DecimalDigits(int n)
{
    int d = 1;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}
