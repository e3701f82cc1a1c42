#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/core/Cp949.h"

TEST(Cp949, KoreanLiteralBecomesTwoBytesPerSyllable) {
    EXPECT_EQ(Cp949("메시지"), std::string("\xB8\xDE\xBD\xC3\xC1\xF6"));
    EXPECT_EQ(Cp949("abc"), "abc");
}

TEST(Cp949, ExtendedSyllablesRoundTrip) {
    // "똠" and "뷁" lie outside the 2,350 common syllables (extended code page 949 area).
    std::string bytes = Cp949("똠뷁");
    ASSERT_EQ(bytes.size(), 4u);
    EXPECT_GE(static_cast<unsigned char>(bytes[0]), 0x81);
    EXPECT_EQ(Cp949ToUtf8(bytes), "똠뷁");
}

TEST(Cp949, BadBytesBecomeReplacementCharacters) {
    EXPECT_EQ(Cp949ToUtf8(std::string("a\xB8")), "a\xEF\xBF\xBD");
    EXPECT_EQ(Cp949ToUtf8(std::string("\xFF" "b")), "\xEF\xBF\xBD" "b");
    // The C library's converter steps over this pair when it rejects it: no byte after it may be
    // lost, and at the end nothing may be read past the text.
    EXPECT_EQ(Cp949ToUtf8(std::string("\xA2\xE8")), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(Cp949ToUtf8(std::string("a\xA2\xE8" "b") + Cp949("가")), "a\xEF\xBF\xBD\xEF\xBF\xBD" "b가");
    EXPECT_EQ(Cp949FromUtf8("x\xC3\x28y"), "x?(y");
    EXPECT_EQ(Cp949FromUtf8("\xF0\x9F\x98\x80"), "?");  // an emoji has no code page 949 form
}

TEST(Cp949, TellsCodePage949FromUtf8) {
    const std::pair<std::string, bool> utf8[] = {
        {"\xED\x95\x9C\xEA\xB8\x80", true},  // "한글"
        {"ascii only", false},                // no multi-byte sequence
        {"\xC0\xAF", false},                  // overlong
        {"\xED\xA0\x80", false},              // a surrogate
        {"\xF4\x90\x80\x80", false},          // past U+10FFFF
        {"\xEA\xB0", false},                  // cut short
        {Cp949("한글"), false},
    };
    for (const auto& [text, expected] : utf8) EXPECT_EQ(IsUtf8WithMultiByte(text), expected) << text;
    EXPECT_TRUE(IsCp949Text(Cp949("똠방각하 abc")));
    EXPECT_TRUE(IsCp949Text("abc"));
    EXPECT_FALSE(IsCp949Text("\xED\x95\x9C\xEA\xB8\x80"));
    EXPECT_FALSE(IsCp949Text(Cp949("한") + "\xB0"));  // a lead byte at the end
}
