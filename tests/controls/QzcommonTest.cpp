#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "controls/common/Qzcommon.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"

namespace {

// The editor's option names, in their ordinal order.
const TEnumTypeInfo kPadOptions{0,
                                {"qzoAutoIndent", "qzoHighlightCurrentLine", "qzoFillCurrentLine",
                                 "qzoHighlightSyntax", "qzoReadOnly", "qzoSelectMatchBrace",
                                 "qzoSelectDblClick", "qzoShowColumnIndicator", "qzoShowGutter",
                                 "qzoShowLineNo", "qzoSmartHome", "qzoShowNewLineMark", "qzoUseSpace",
                                 "qzoCopyLine", "qzoScrollPastEOL"}};

TEST(QzcommonSets, SetToStringAndBack) {
    const uint32_t set = (1u << 3) | (1u << 12);
    const std::string text = SetToString(set, kPadOptions);
    EXPECT_EQ(text, "[qzoHighlightSyntax,qzoUseSpace]");
    EXPECT_EQ(StringToSet(text, kPadOptions), set);
    EXPECT_EQ(SetToString(0, kPadOptions), "[]");
    EXPECT_EQ(StringToSet("[nothing here]", kPadOptions), 0u);
    // Brackets, commas and blanks are not needed.
    EXPECT_EQ(StringToSet("qzoReadOnly qzoShowGutter", kPadOptions), (1u << 4) | (1u << 8));
}

TEST(QzcommonSets, EnumNames) {
    EXPECT_EQ(EnumName(2, FontPitchInfo), "fpFixed");
    EXPECT_EQ(EnumName(7, FontPitchInfo), "fpDefault");
    EXPECT_EQ(EnumName(-1, FontPitchInfo), "fpDefault");
    EXPECT_EQ(EnumValue("FPVARIABLE", FontPitchInfo), 1);
    EXPECT_EQ(EnumValue("fpWide", FontPitchInfo), -1);
}

class FakeStrings : public TPublishedObject {
public:
    bool IsStrings() const override { return true; }
    std::vector<TPublishedProp> PublishedProperties() override {
        TPublishedProp p;
        p.Name = "Count";
        p.GetOrd = [this] { return count; };
        p.SetOrd = [this](int64_t v) { count = static_cast<int>(v); };
        return {p};
    }
    int count = 3;
};

TEST(QzcommonClassProp, FontRoundTrip) {
    TFontValues font;
    font.Charset = 129;
    font.Color = 0xFF;
    font.Name = "NanumGothicCoding";
    font.SetSize(9);
    font.Style = 1 | 4;  // bold, underline
    const std::string text = GetClassProp(font);
    EXPECT_EQ(text, "129|255|-12|NanumGothicCoding|fpDefault|9|[fsBold,fsUnderline]");

    TFontValues copy;
    SetClassProp(copy, text);
    EXPECT_EQ(GetClassProp(copy), text);
    EXPECT_EQ(copy.Height(), -12);
    EXPECT_EQ(copy.Pitch, 0);
}

TEST(QzcommonClassProp, MissingFieldsAndBadValues) {
    TFontValues font;
    font.Name = "Old";
    font.Pitch = 2;
    // Two fields only: the name becomes empty, the numbers 0, an unknown pitch the default.
    SetClassProp(font, "129|42");
    EXPECT_EQ(font.Charset, 129);
    EXPECT_EQ(font.Color, 42u);
    EXPECT_EQ(font.Size(), 0);
    EXPECT_EQ(font.Name, "");
    EXPECT_EQ(font.Pitch, 0);
    EXPECT_EQ(font.Style, 0);

    TFontValues unchanged;
    unchanged.Name = "Keep";
    SetClassProp(unchanged, "");
    EXPECT_EQ(unchanged.Name, "Keep");

    FakeStrings strings;
    EXPECT_EQ(GetClassProp(strings), "");
    SetClassProp(strings, "7");
    EXPECT_EQ(strings.count, 3);
}

TEST(QzcommonFloat, FloatText) {
    EXPECT_EQ(FloatToStr(1.5), "1.5");
    EXPECT_EQ(FloatToStr(100), "100");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(-2.5e-7), "-2.5E-7");
}

TEST(QzcommonBits, BitHelpers) {
    EXPECT_TRUE(CheckBit(0x0004, 2));
    EXPECT_FALSE(CheckBit(0x0004, 3));
    EXPECT_FALSE(CheckBit(0xFFFF, 16));
    EXPECT_EQ(BitOn(0, 15), 0x8000);
    EXPECT_EQ(BitOff(0xFFFF, 0), 0xFFFE);
    EXPECT_EQ(BitToggle(0x0F0F, 4), 0x0F1F);
    EXPECT_EQ(BitOn(5, 20), 5);
    EXPECT_EQ(GetBitSetValue(0x00F0, 4, 7), 15);
    EXPECT_EQ(GetBitSetValue(0x00A0, 5, 7), 5);
    EXPECT_EQ(GetBitSetValue(0xFFFF, 7, 4), 0);
}

TEST(QzcommonMisc, StopwatchAndAppPath) {
    ASSERT_FALSE(AppPath.empty());
    EXPECT_EQ(AppPath.back(), '/');
    ElapsedTimeStart();
    ElapsedTimeStop();
    const std::string unit = Cp949(" 초");
    ASSERT_GT(ElapsedTime.size(), unit.size());
    EXPECT_EQ(ElapsedTime.substr(ElapsedTime.size() - unit.size()), unit);
}

TEST(QzcommonIni, ShortcutsByFileName) {
    char dir[] = "/tmp/qzcommonXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string file = std::string(dir) + "/t.ini";
    EXPECT_TRUE(SetINIString(file, "S", "Name", "value"));
    EXPECT_TRUE(SetINIInteger(file, "S", "Count", 42));
    EXPECT_TRUE(SetINIBoolean(file, "S", "On", true));
    EXPECT_TRUE(SetINIBoolName(file, "S", "Word", true));
    EXPECT_EQ(GetINIString(file, "s", "name"), "value");
    EXPECT_EQ(GetINIInteger(file, "S", "Count"), 42);
    EXPECT_TRUE(GetINIBoolean(file, "S", "On"));
    EXPECT_EQ(GetINIString(file, "S", "Word"), "True");
    EXPECT_TRUE(GetINIBoolName(file, "S", "Word"));
    EXPECT_FALSE(GetINIBoolName(file, "S", "Missing"));
    EXPECT_EQ(GetINIInteger(file, "S", "Missing"), 0);
    EXPECT_TRUE(EraseINISection(file, "S"));
    EXPECT_EQ(GetINIString(file, "S", "Name"), "");
    // A file that cannot be written reports failure.
    EXPECT_FALSE(SetINIString(std::string(dir) + "/no/such/dir.ini", "S", "K", "v"));
    DeleteFile(file);
    rmdir(dir);
}

}  // namespace
