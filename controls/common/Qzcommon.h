#pragma once
// The common helpers that need no display: property values as text (sets, enumerations and whole
// objects such as fonts, so that each fits in one INI value), bit helpers, INI shortcuts by file
// name, a stopwatch and the program's folder. The drawing and message-box helpers live in
// controls/QzcommonDraw.h.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "controls/common/QzString.h"

class TObject;

enum TQzTextStyle : uint8_t { ptsNormal, ptsRaised, ptsRaisedHeavy, ptsSunken, ptsSunkenHeavy, ptsShadow };
enum TQzGradientStyle : uint8_t { tgsLeftRight, tgsRightLeft, tgsTopBottom, tgsBottomTop, tgsInnerOuter, tgsOuterInner };
enum TQzRectStyle : uint8_t { trsFlat, trsBump, trsEtched, trsRaised, trsSunken, trsRaisedHeavy, trsSunkenHeavy };

using TQzNotifyHighlight = std::function<void(TObject* Sender, bool& Changed)>;
using TQzNotifyMessage = std::function<void(TObject* Sender, const std::string& AMessage)>;

// ---- type information -----------------------------------------------------------------------

// An enumeration type: the value names of the ordinals MinValue, MinValue + 1, ...
struct TEnumTypeInfo {
    int MinValue = 0;
    std::vector<std::string> Names;
    int MaxValue() const { return MinValue + static_cast<int>(Names.size()) - 1; }
};

// The value's name when it lies within Min..Max, else the name of Min (empty for a type
// without values).
std::string EnumName(int value, const TEnumTypeInfo& type);
// The ordinal named `name` (ignoring ASCII case); -1 when no value has that name.
int EnumValue(std::string_view name, const TEnumTypeInfo& type);
// "[a,b]" for a set (bit ordinal - Min of `value`) over the element type; "[]" when empty.
std::string SetToString(uint32_t value, const TEnumTypeInfo& elementType);
// Sets bit (ordinal mod 32) for each element whose name occurs anywhere in `text`
// (case-sensitive substring test).
uint32_t StringToSet(std::string_view text, const TEnumTypeInfo& elementType);

// ---- objects as text ---------------------------------------------------------------------------

enum class TPropKind { Integer, Char, Enumeration, Float, String, Set, Class };

// One published property: its name, kind, type information (enumerations and sets) and the
// accessors of its kind (ordinal for Integer, Char, Enumeration and Set; Float; String).
struct TPublishedProp {
    std::string Name;
    TPropKind Kind = TPropKind::Integer;
    const TEnumTypeInfo* Type = nullptr;
    std::function<int64_t()> GetOrd;
    std::function<void(int64_t)> SetOrd;
    std::function<double()> GetFloat;
    std::function<void(double)> SetFloat;
    std::function<std::string()> GetStr;
    std::function<void(const std::string&)> SetStr;
};

// An object whose published properties can be written as one text.
class TPublishedObject {
public:
    virtual ~TPublishedObject() = default;
    // A string list contributes no text and takes none.
    virtual bool IsStrings() const { return false; }
    virtual std::vector<TPublishedProp> PublishedProperties() = 0;
};

// The property values in name order joined with "|": integers and characters in decimal,
// enumerations by name, floats in the general float form, strings as they are, sets as
// "[a,b]", class-typed properties as empty fields. Empty for a string list.
std::string GetClassProp(TPublishedObject& obj);
// Writes field i of `text` (split at "|", trimmed) back to the i-th property in name order; a
// missing field counts as empty (0, -1 for an enumeration, an empty string). Nothing happens for
// a string list or an empty text.
void SetClassProp(TPublishedObject& obj, std::string_view text);

// The class library's general float text: up to 15 significant digits, "1.5", "1E20", "1E-5".
std::string FloatToStr(double value);

// ---- fonts --------------------------------------------------------------------------------------

// Type information of a font's Pitch (fpDefault, fpVariable, fpFixed) and Style (fsBold,
// fsItalic, fsUnderline, fsStrikeOut) as the platform's font numbers them.
extern const TEnumTypeInfo FontPitchInfo;
extern const TEnumTypeInfo FontStyleInfo;

// The published values of a font without a display, as stored in one INI value:
// "Charset|Color|Height|Name|Pitch|Size|Style", e.g. "129|0|-12|NanumGothicCoding|fpDefault|9|[]".
// Height and Size describe one size at 96 pixels per inch: setting either sets the other.
class TFontValues : public TPublishedObject {
public:
    int Charset = 1;              // DEFAULT_CHARSET; 129 is the Korean character set
    uint32_t Color = 0x80000008;  // the window text system colour
    std::string Name;
    int Pitch = 0;                // ordinal of FontPitchInfo
    uint8_t Style = 0;            // bit n = element n of FontStyleInfo

    int Height() const { return height_; }
    int Size() const { return size_; }
    void SetHeight(int height);
    void SetSize(int size);

    std::vector<TPublishedProp> PublishedProperties() override;

private:
    int height_ = -11;
    int size_ = 8;
};

// ---- bits ---------------------------------------------------------------------------------------

extern const uint16_t DigitWeights[16];  // 1, 2, 4, .. 0x8000

// Bit numbers outside 0..15 test false and leave the value unchanged.
bool CheckBit(uint16_t value, int bit);
uint16_t BitOn(uint16_t value, int bit);
uint16_t BitOff(uint16_t value, int bit);
uint16_t BitToggle(uint16_t value, int bit);
// The bits fromBit..toBit of value as a number; 0 when toBit < fromBit.
uint16_t GetBitSetValue(uint16_t value, int fromBit, int toBit);

// ---- program folder and stopwatch -------------------------------------------------------------

// The program's folder with its trailing '/'.
extern std::string AppPath;
// The text of the last ElapsedTimeStop: the seconds in "%g" form followed by " 초" (code page
// 949), at most 255 bytes.
extern std::string ElapsedTime;
void ElapsedTimeStart();
void ElapsedTimeStop();

// ---- INI shortcuts: each opens the file, reads or writes one value and closes it ------------

std::string GetINIString(const std::string& fileName, std::string_view section, std::string_view key);
bool SetINIString(const std::string& fileName, std::string_view section, std::string_view key, std::string_view value);
int GetINIInteger(const std::string& fileName, std::string_view section, std::string_view key);
bool SetINIInteger(const std::string& fileName, std::string_view section, std::string_view key, int value);
bool GetINIBoolean(const std::string& fileName, std::string_view section, std::string_view key);
bool SetINIBoolean(const std::string& fileName, std::string_view section, std::string_view key, bool value);
// The words "True" and "False" (default "False").
bool GetINIBoolName(const std::string& fileName, std::string_view section, std::string_view key);
bool SetINIBoolName(const std::string& fileName, std::string_view section, std::string_view key, bool value);
bool EraseINISection(const std::string& fileName, std::string_view section);
