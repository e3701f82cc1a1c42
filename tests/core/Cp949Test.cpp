#include <gtest/gtest.h>

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
