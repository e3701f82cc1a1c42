#pragma once
// Geometry, input and dialog-result values shared by the editor model, the controls and the widgets, with the
// class library's layout: points and rectangles in pixels or text positions, the one-byte shift
// state of key and mouse events, and the platform's virtual-key codes (stored in key-binding
// files, so the numbering must stay). No Qt in here.

#include <cstdint>

using Word = uint16_t;

// A pixel point, or a text position (X the 0-based column of the tab-expanded line, Y the line).
struct TPoint {
    int X = 0;
    int Y = 0;
    constexpr TPoint() = default;
    constexpr TPoint(int x, int y) : X(x), Y(y) {}
    constexpr bool operator==(const TPoint& o) const { return X == o.X && Y == o.Y; }
    constexpr bool operator!=(const TPoint& o) const { return !(*this == o); }
};

// A rectangle; Right and Bottom lie just outside it ((0, 0, 10, 5) covers columns 0..9 and rows
// 0..4).
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    constexpr TRect() = default;
    constexpr TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    constexpr bool operator==(const TRect& o) const {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
    constexpr bool operator!=(const TRect& o) const { return !(*this == o); }
};

// Modifier and mouse-button state of a key or mouse event. The flags have the bit values of the
// class library's set (bit n for element n), so Bits() is the stored one-byte form.
enum TShiftStateFlag : uint8_t {
    ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64
};

class TShiftState {
public:
    constexpr TShiftState() = default;
    constexpr TShiftState(TShiftStateFlag flag) : bits_(flag) {}
    static constexpr TShiftState FromBits(uint8_t bits) { TShiftState s; s.bits_ = bits; return s; }

    constexpr uint8_t Bits() const { return bits_; }
    constexpr bool Contains(TShiftStateFlag flag) const { return (bits_ & flag) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }

    TShiftState& operator<<(TShiftStateFlag flag) { bits_ = static_cast<uint8_t>(bits_ | flag); return *this; }
    TShiftState& operator>>(TShiftStateFlag flag) { bits_ = static_cast<uint8_t>(bits_ & ~flag); return *this; }
    constexpr TShiftState operator|(TShiftState o) const { return FromBits(static_cast<uint8_t>(bits_ | o.bits_)); }
    constexpr TShiftState operator&(TShiftState o) const { return FromBits(static_cast<uint8_t>(bits_ & o.bits_)); }
    constexpr TShiftState operator-(TShiftState o) const { return FromBits(static_cast<uint8_t>(bits_ & ~o.bits_)); }
    TShiftState& operator|=(TShiftState o) { bits_ = static_cast<uint8_t>(bits_ | o.bits_); return *this; }
    TShiftState& operator-=(TShiftState o) { bits_ = static_cast<uint8_t>(bits_ & ~o.bits_); return *this; }
    constexpr bool operator==(TShiftState o) const { return bits_ == o.bits_; }
    constexpr bool operator!=(TShiftState o) const { return bits_ != o.bits_; }

private:
    uint8_t bits_ = 0;
};

constexpr TShiftState operator|(TShiftStateFlag a, TShiftStateFlag b) { return TShiftState(a) | TShiftState(b); }

// The modifiers that take part in key matching.
constexpr TShiftState ssModifiers = TShiftState(ssShift) | ssAlt | ssCtrl;

// The mouse button of a press or release, and the border of a control.
enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };
enum TBorderStyle : uint8_t { bsNone, bsSingle };

// Virtual-key codes (16-bit). Letters and digits are their upper-case ASCII codes ('A', '0').
using TVirtualKey = Word;

constexpr TVirtualKey VK_LBUTTON = 0x01;
constexpr TVirtualKey VK_RBUTTON = 0x02;
constexpr TVirtualKey VK_CANCEL = 0x03;
constexpr TVirtualKey VK_MBUTTON = 0x04;
constexpr TVirtualKey VK_BACK = 0x08;
constexpr TVirtualKey VK_TAB = 0x09;
constexpr TVirtualKey VK_CLEAR = 0x0C;
constexpr TVirtualKey VK_RETURN = 0x0D;
constexpr TVirtualKey VK_SHIFT = 0x10;
constexpr TVirtualKey VK_CONTROL = 0x11;
constexpr TVirtualKey VK_MENU = 0x12;
constexpr TVirtualKey VK_PAUSE = 0x13;
constexpr TVirtualKey VK_CAPITAL = 0x14;
constexpr TVirtualKey VK_HANGUL = 0x15;
constexpr TVirtualKey VK_JUNJA = 0x17;
constexpr TVirtualKey VK_FINAL = 0x18;
constexpr TVirtualKey VK_HANJA = 0x19;
constexpr TVirtualKey VK_ESCAPE = 0x1B;
constexpr TVirtualKey VK_CONVERT = 0x1C;
constexpr TVirtualKey VK_NONCONVERT = 0x1D;
constexpr TVirtualKey VK_SPACE = 0x20;
constexpr TVirtualKey VK_PRIOR = 0x21;
constexpr TVirtualKey VK_NEXT = 0x22;
constexpr TVirtualKey VK_END = 0x23;
constexpr TVirtualKey VK_HOME = 0x24;
constexpr TVirtualKey VK_LEFT = 0x25;
constexpr TVirtualKey VK_UP = 0x26;
constexpr TVirtualKey VK_RIGHT = 0x27;
constexpr TVirtualKey VK_DOWN = 0x28;
constexpr TVirtualKey VK_SELECT = 0x29;
constexpr TVirtualKey VK_PRINT = 0x2A;
constexpr TVirtualKey VK_EXECUTE = 0x2B;
constexpr TVirtualKey VK_SNAPSHOT = 0x2C;
constexpr TVirtualKey VK_INSERT = 0x2D;
constexpr TVirtualKey VK_DELETE = 0x2E;
constexpr TVirtualKey VK_HELP = 0x2F;
constexpr TVirtualKey VK_LWIN = 0x5B;
constexpr TVirtualKey VK_RWIN = 0x5C;
constexpr TVirtualKey VK_APPS = 0x5D;
constexpr TVirtualKey VK_NUMPAD0 = 0x60;  // .. VK_NUMPAD9 = 0x69
constexpr TVirtualKey VK_MULTIPLY = 0x6A;
constexpr TVirtualKey VK_ADD = 0x6B;
constexpr TVirtualKey VK_SEPARATOR = 0x6C;
constexpr TVirtualKey VK_SUBTRACT = 0x6D;
constexpr TVirtualKey VK_DECIMAL = 0x6E;
constexpr TVirtualKey VK_DIVIDE = 0x6F;
constexpr TVirtualKey VK_F1 = 0x70;       // .. VK_F24 = 0x87
constexpr TVirtualKey VK_F2 = 0x71;
constexpr TVirtualKey VK_F3 = 0x72;
constexpr TVirtualKey VK_F4 = 0x73;
constexpr TVirtualKey VK_F5 = 0x74;
constexpr TVirtualKey VK_F6 = 0x75;
constexpr TVirtualKey VK_F7 = 0x76;
constexpr TVirtualKey VK_F8 = 0x77;
constexpr TVirtualKey VK_F9 = 0x78;
constexpr TVirtualKey VK_F10 = 0x79;
constexpr TVirtualKey VK_F11 = 0x7A;
constexpr TVirtualKey VK_F12 = 0x7B;
constexpr TVirtualKey VK_F24 = 0x87;
constexpr TVirtualKey VK_NUMLOCK = 0x90;
constexpr TVirtualKey VK_SCROLL = 0x91;
constexpr TVirtualKey VK_OEM_1 = 0xBA;    // ";:"
constexpr TVirtualKey VK_OEM_PLUS = 0xBB; // "=+"
constexpr TVirtualKey VK_OEM_COMMA = 0xBC;
constexpr TVirtualKey VK_OEM_MINUS = 0xBD;
constexpr TVirtualKey VK_OEM_PERIOD = 0xBE;
constexpr TVirtualKey VK_OEM_2 = 0xBF;    // "/?"
constexpr TVirtualKey VK_OEM_3 = 0xC0;    // "`~"
constexpr TVirtualKey VK_OEM_4 = 0xDB;    // "[{"
constexpr TVirtualKey VK_OEM_5 = 0xDC;    // "\|"
constexpr TVirtualKey VK_OEM_6 = 0xDD;    // "]}"
constexpr TVirtualKey VK_OEM_7 = 0xDE;    // "'\""
constexpr TVirtualKey VK_PROCESSKEY = 0xE5;  // a key taken by the input method

// Dialog and message-box results.
enum TModalResult : int {
    mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7
};
