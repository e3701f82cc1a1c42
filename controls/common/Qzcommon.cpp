#include "controls/common/Qzcommon.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "platform/core/IniFile.h"
#include "platform/core/SysUtils.h"

std::string EnumName(int value, const TEnumTypeInfo& type) {
    if (type.Names.empty())
        return std::string();
    if (value < type.MinValue || value > type.MaxValue())
        value = type.MinValue;
    return type.Names[static_cast<size_t>(value - type.MinValue)];
}

int EnumValue(std::string_view name, const TEnumTypeInfo& type) {
    for (size_t i = 0; i < type.Names.size(); ++i)
        if (SameText(name, type.Names[i]))
            return type.MinValue + static_cast<int>(i);
    return -1;
}

std::string SetToString(uint32_t value, const TEnumTypeInfo& elementType) {
    std::string result = "[";
    for (int ord = elementType.MinValue; ord <= elementType.MaxValue(); ++ord) {
        int bit = ord - elementType.MinValue;
        if (bit < 32 && ((value >> bit) & 1u))
            result += EnumName(ord, elementType) + ",";
    }
    if (result.back() == ',')
        result.pop_back();
    return result + "]";
}

uint32_t StringToSet(std::string_view text, const TEnumTypeInfo& elementType) {
    uint32_t value = 0;
    for (int ord = elementType.MinValue; ord <= elementType.MaxValue(); ++ord) {
        const std::string& name = elementType.Names[static_cast<size_t>(ord - elementType.MinValue)];
        if (!name.empty() && text.find(name) != std::string_view::npos)
            value |= 1u << (((ord % 32) + 32) % 32);
    }
    return value;
}

std::string FloatToStr(double value) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    std::string s = buf;
    size_t e = s.find('E');
    if (e == std::string::npos)
        return s;
    // "1.5E+20" -> "1.5E20", "1E-05" -> "1E-5"
    std::string mantissa = s.substr(0, e);
    std::string exponent = s.substr(e + 1);
    bool negative = !exponent.empty() && exponent[0] == '-';
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-'))
        exponent.erase(0, 1);
    exponent.erase(0, std::min(exponent.find_first_not_of('0'), exponent.size() - 1));
    return mantissa + "E" + (negative ? "-" : "") + exponent;
}

namespace {

std::vector<TPublishedProp> SortedProps(TPublishedObject& obj) {
    std::vector<TPublishedProp> props = obj.PublishedProperties();
    std::stable_sort(props.begin(), props.end(),
                     [](const TPublishedProp& a, const TPublishedProp& b) { return CompareText(a.Name, b.Name) < 0; });
    return props;
}

}  // namespace

std::string GetClassProp(TPublishedObject& obj) {
    if (obj.IsStrings())
        return std::string();
    std::string result;
    bool first = true;
    for (const TPublishedProp& p : SortedProps(obj)) {
        if (!first)
            result += '|';
        first = false;
        switch (p.Kind) {
        case TPropKind::Integer:
        case TPropKind::Char:
            result += IntToStr(p.GetOrd());
            break;
        case TPropKind::Enumeration:
            result += EnumName(static_cast<int>(p.GetOrd()), *p.Type);
            break;
        case TPropKind::Float:
            result += FloatToStr(p.GetFloat());
            break;
        case TPropKind::String:
            result += p.GetStr();
            break;
        case TPropKind::Set:
            result += SetToString(static_cast<uint32_t>(p.GetOrd()), *p.Type);
            break;
        case TPropKind::Class:
            break;
        }
    }
    return result;
}

void SetClassProp(TPublishedObject& obj, std::string_view text) {
    if (obj.IsStrings() || text.empty())
        return;
    const TCharSet bar{'|'};
    int i = 0;
    for (const TPublishedProp& p : SortedProps(obj)) {
        const std::string field = GetWord(text, ++i, bar);
        switch (p.Kind) {
        case TPropKind::Integer:
        case TPropKind::Char:
            p.SetOrd(StrToIntDef(field, 0));
            break;
        case TPropKind::Enumeration:
            p.SetOrd(EnumValue(field, *p.Type));
            break;
        case TPropKind::Float:
            p.SetFloat(StrToFloatDef(field, 0));
            break;
        case TPropKind::String:
            p.SetStr(field);
            break;
        case TPropKind::Set:
            p.SetOrd(StringToSet(field, *p.Type));
            break;
        case TPropKind::Class:
            break;
        }
    }
}

const TEnumTypeInfo FontPitchInfo{0, {"fpDefault", "fpVariable", "fpFixed"}};
const TEnumTypeInfo FontStyleInfo{0, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};

void TFontValues::SetHeight(int height) {
    height_ = height;
    // Size in points at 96 pixels per inch, rounded to nearest like the platform's MulDiv.
    size_ = -static_cast<int>(std::lround(height * 72.0 / 96.0));
}

void TFontValues::SetSize(int size) {
    size_ = size;
    height_ = -static_cast<int>(std::lround(size * 96.0 / 72.0));
}

std::vector<TPublishedProp> TFontValues::PublishedProperties() {
    std::vector<TPublishedProp> props(7);
    props[0].Name = "Charset";
    props[0].GetOrd = [this] { return Charset; };
    props[0].SetOrd = [this](int64_t v) { Charset = static_cast<int>(v & 0xFF); };
    props[1].Name = "Color";
    props[1].GetOrd = [this] { return static_cast<int32_t>(Color); };
    props[1].SetOrd = [this](int64_t v) { Color = static_cast<uint32_t>(v); };
    props[2].Name = "Height";
    props[2].GetOrd = [this] { return height_; };
    props[2].SetOrd = [this](int64_t v) { SetHeight(static_cast<int>(v)); };
    props[3].Name = "Name";
    props[3].Kind = TPropKind::String;
    props[3].GetStr = [this] { return Name; };
    props[3].SetStr = [this](const std::string& v) { Name = v; };
    props[4].Name = "Pitch";
    props[4].Kind = TPropKind::Enumeration;
    props[4].Type = &FontPitchInfo;
    props[4].GetOrd = [this] { return Pitch; };
    // A pitch name that is not known gives the default pitch, never an invalid value.
    props[4].SetOrd = [this](int64_t v) { Pitch = v >= 0 && v <= FontPitchInfo.MaxValue() ? static_cast<int>(v) : 0; };
    props[5].Name = "Size";
    props[5].GetOrd = [this] { return size_; };
    props[5].SetOrd = [this](int64_t v) { SetSize(static_cast<int>(v)); };
    props[6].Name = "Style";
    props[6].Kind = TPropKind::Set;
    props[6].Type = &FontStyleInfo;
    props[6].GetOrd = [this] { return Style; };
    props[6].SetOrd = [this](int64_t v) { Style = static_cast<uint8_t>(v & 0x0F); };
    return props;
}

const uint16_t DigitWeights[16] = {1,     2,     4,     8,     16,    32,     64,     128,
                                   0x100, 0x200, 0x400, 0x800, 0x1000, 0x2000, 0x4000, 0x8000};

bool CheckBit(uint16_t value, int bit) { return bit >= 0 && bit < 16 && ((value >> bit) & 1u); }

uint16_t BitOn(uint16_t value, int bit) {
    return bit >= 0 && bit < 16 ? static_cast<uint16_t>(value | DigitWeights[bit]) : value;
}

uint16_t BitOff(uint16_t value, int bit) {
    return bit >= 0 && bit < 16 ? static_cast<uint16_t>(value & ~DigitWeights[bit]) : value;
}

uint16_t BitToggle(uint16_t value, int bit) {
    return bit >= 0 && bit < 16 ? static_cast<uint16_t>(value ^ DigitWeights[bit]) : value;
}

uint16_t GetBitSetValue(uint16_t value, int fromBit, int toBit) {
    if (toBit < fromBit)
        return 0;
    uint16_t result = 0;
    for (int bit = std::max(fromBit, 0); bit <= toBit && bit < 16; ++bit)
        if (CheckBit(value, bit) && bit - fromBit < 16)
            result = static_cast<uint16_t>(result + DigitWeights[bit - fromBit]);
    return result;
}

std::string AppPath = GetAppDir();
std::string ElapsedTime;

namespace {
std::chrono::steady_clock::time_point g_stopwatchStart = std::chrono::steady_clock::now();
}

void ElapsedTimeStart() { g_stopwatchStart = std::chrono::steady_clock::now(); }

void ElapsedTimeStop() {
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - g_stopwatchStart).count();
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", seconds);
    ElapsedTime = std::string(buf) + Cp949(" 초");
    if (ElapsedTime.size() > 255)
        ElapsedTime.resize(255);
}

std::string GetINIString(const std::string& fileName, std::string_view section, std::string_view key) {
    TIniFile ini(fileName);
    return ini.ReadString(section, key, "");
}

bool SetINIString(const std::string& fileName, std::string_view section, std::string_view key, std::string_view value) {
    TIniFile ini(fileName);
    ini.WriteString(section, key, value);
    return ini.UpdateFile();
}

int GetINIInteger(const std::string& fileName, std::string_view section, std::string_view key) {
    TIniFile ini(fileName);
    return ini.ReadInteger(section, key, 0);
}

bool SetINIInteger(const std::string& fileName, std::string_view section, std::string_view key, int value) {
    TIniFile ini(fileName);
    ini.WriteInteger(section, key, value);
    return ini.UpdateFile();
}

bool GetINIBoolean(const std::string& fileName, std::string_view section, std::string_view key) {
    TIniFile ini(fileName);
    return ini.ReadBool(section, key, false);
}

bool SetINIBoolean(const std::string& fileName, std::string_view section, std::string_view key, bool value) {
    TIniFile ini(fileName);
    ini.WriteBool(section, key, value);
    return ini.UpdateFile();
}

bool GetINIBoolName(const std::string& fileName, std::string_view section, std::string_view key) {
    TIniFile ini(fileName);
    return SameText(ini.ReadString(section, key, "False"), "True");
}

bool SetINIBoolName(const std::string& fileName, std::string_view section, std::string_view key, bool value) {
    TIniFile ini(fileName);
    ini.WriteString(section, key, value ? "True" : "False");
    return ini.UpdateFile();
}

bool EraseINISection(const std::string& fileName, std::string_view section) {
    TIniFile ini(fileName);
    ini.EraseSection(section);
    return ini.UpdateFile();
}
