#include <gtest/gtest.h>

#include <iconv.h>

#include <string>

#include "app/model/JpConvert.h"
#include "platform/core/Cp949.h"

namespace {

std::string Conv(const char* utf8, int mode) { return Cp949ToUtf8(JpConvertText(Cp949(utf8), mode)); }

uint16_t Code(const char* utf8)
{
    const std::string s = Cp949(utf8);
    return static_cast<uint16_t>(static_cast<unsigned char>(s[0]) << 8 | static_cast<unsigned char>(s[1]));
}

// The Johab code glibc gives one code page 949 character; 0 when it has none.
uint16_t IconvJohab(iconv_t cd, uint16_t code)
{
    char in[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    char out[8];
    char* inp = in;
    char* outp = out;
    size_t inLeft = 2, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1) || outp - out != 2)
        return 0;
    return static_cast<uint16_t>(static_cast<unsigned char>(out[0]) << 8 | static_cast<unsigned char>(out[1]));
}

}  // namespace

TEST(JpConvert, SyllableRowsHoldOneHundredAndOneTwoByteCharacters)
{
    for (int row = 0; row < 3; ++row) {
        for (int i = 0; i < kJpSyllableCount; ++i)
            ASSERT_EQ(JpSyllable(row, i).size(), 2u) << row << ' ' << i;
        EXPECT_EQ(JpSyllable(row, kJpSyllableCount), "");
    }
    EXPECT_EQ(FindSyllable(Cp949("아"), jrHangul), 0);
    EXPECT_EQ(FindSyllable(Cp949("ん"), jrHiragana), 99);  // the first of two entries
    EXPECT_EQ(FindSyllable(Cp949("ヴ"), jrHiragana), 49);  // no Hiragana exists for it
    EXPECT_EQ(FindSyllable(Cp949("뷁"), jrHangul), -1);
    EXPECT_EQ(FindSyllable("a", jrHangul), -1);
    EXPECT_EQ(FindSyllable(Cp949("아"), 3), -1);
}

TEST(JpConvert, HangulToHiraganaSplitsSyllables)
{
    EXPECT_EQ(Conv("가나다", jcmHangulToHiragana), "がなだ");
    EXPECT_EQ(Conv("한", jcmHangulToHiragana), "はん");       // final ㄴ
    EXPECT_EQ(Conv("캬", jcmHangulToHiragana), "きゃ");       // ㅑ gives a small vowel
    EXPECT_EQ(Conv("과", jcmHangulToHiragana), "ぐぁ");       // ㅘ -> ㅜ + small ㅏ
    EXPECT_EQ(Conv("깡", jcmHangulToHiragana), "かん");       // ㄲ -> ㅋ, final ㅇ
    EXPECT_EQ(Conv("쳐", jcmHangulToHiragana), "쳐");         // ㅕ has no kana: copied
    EXPECT_EQ(Conv("개", jcmHangulToHiragana), "げ");         // ㅐ -> ㅔ
    EXPECT_EQ(Conv("먹", jcmHangulToHiragana), "まく");       // ㅓ -> ㅏ, final ㄱ
    EXPECT_EQ(Conv("닭", jcmHangulToHiragana), "だん");       // a double final gives ん
    EXPECT_EQ(Conv("야", jcmHangulToHiragana), "や");         // after ㅇ, ㅑ stays
    EXPECT_EQ(Conv("똠", jcmHangulToHiragana), "とん");       // a syllable of the extended area
    EXPECT_EQ(Conv("a 1!", jcmHangulToHiragana), "a 1!");
    EXPECT_EQ(Conv("あ", jcmHangulToHiragana), "あ");         // kana are not looked up
    EXPECT_EQ(Conv("漢", jcmHangulToHiragana), "漢");         // Hanja: copied
}

TEST(JpConvert, HangulToKatakana)
{
    EXPECT_EQ(Conv("김치", jcmHangulToKatakana), "ギンチ");
    EXPECT_EQ(Conv("뷔", jcmHangulToKatakana), "ブィ");
    EXPECT_EQ(Conv("핫", jcmHangulToKatakana), "ハッ");
}

TEST(JpConvert, KanaToHangulTakesTheFirstMatch)
{
    EXPECT_EQ(Conv("きゃ", jcmKanaToHangul), "키ㅑ");
    EXPECT_EQ(Conv("ん", jcmKanaToHangul), "ㅇ");
    EXPECT_EQ(Conv("カタカナ", jcmKanaToHangul), "카타카나");
    EXPECT_EQ(Conv("abc 123", jcmKanaToHangul), "abc 123");
    EXPECT_EQ(Conv("한ぺ", jcmKanaToHangul), "한페");
    EXPECT_EQ(Conv("ゐ", jcmKanaToHangul), "ゐ");              // not in the table
}

TEST(JpConvert, BetweenTheKanaScripts)
{
    EXPECT_EQ(Conv("カタカナ", jcmKatakanaToHiragana), "かたかな");
    EXPECT_EQ(Conv("ひらがな", jcmKatakanaToHiragana), "ひらがな");
    EXPECT_EQ(Conv("ひらがな", jcmHiraganaToKatakana), "ヒラガナ");
    EXPECT_EQ(Conv("カナ", jcmHiraganaToKatakana), "カナ");
    EXPECT_EQ(Conv("가", jcmHiraganaToKatakana), "가");
}

TEST(JpConvert, BrokenInputAndUnknownModes)
{
    const std::string cut = Cp949("가") + Cp949("나").substr(0, 1);  // lead byte at the end
    EXPECT_EQ(JpConvertText(cut, jcmHangulToHiragana), Cp949("が") + cut.substr(2));
    EXPECT_EQ(JpConvertText(Cp949("가"), 5), Cp949("가"));
    EXPECT_EQ(JpConvertText(Cp949("가"), -1), Cp949("가"));
    EXPECT_EQ(JpConvertText("", jcmKanaToHangul), "");
    // A pair that is no character at all is copied, not split.
    const std::string bad("\xC9\x41", 2);
    EXPECT_EQ(JpConvertText(bad, jcmHangulToHiragana), bad);
}

TEST(JpConvert, SplitReportsTheSmallVowelAndFinal)
{
    TKanaSplit s;
    EXPECT_TRUE(SplitHangulToKana(Cp949("괍"), s));
    EXPECT_EQ(s.Syllable, Cp949("구"));
    EXPECT_EQ(s.SmallVowel, Cp949("ㅏ"));
    EXPECT_EQ(s.Final, 0x8453);  // ㅂ
    EXPECT_FALSE(SplitHangulToKana(Cp949("쌀"), s));
    EXPECT_EQ(s.Syllable, Cp949("싸"));
    EXPECT_EQ(s.SmallVowel, "");
    EXPECT_EQ(s.Final, 0x8449);  // ㄹ
    EXPECT_FALSE(SplitHangulToKana(Cp949("쭈"), s));
    EXPECT_EQ(s.Syllable, Cp949("추"));
    EXPECT_EQ(s.Final, 0);
}

TEST(JpConvert, JohabOfSyllablesJamoAndFinals)
{
    EXPECT_EQ(WansungToJohab(Code("가")), 0x8861);
    EXPECT_EQ(WansungToJohab(Code("힣")), 0xD3BD);
    EXPECT_EQ(WansungToJohab(Code("ㄱ")), 0x8841);
    EXPECT_EQ(WansungToJohab(Code("ㄳ")), 0x8444);
    EXPECT_EQ(WansungToJohab(Code("ㅏ")), 0x8461);
    EXPECT_EQ(JohabToWansung(0x8442), 0);  // a lone final ㄱ is written as the initial form
    EXPECT_EQ(WansungToJohab(0xC9A1), 0);  // user-defined row
    EXPECT_EQ(JohabToWansung(0x8000), 0);
}

TEST(JpConvert, EveryCodePageCharacterMatchesTheSystemsJohabAndRoundTrips)
{
    iconv_t cd = iconv_open("JOHAB", "CP949");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    int mapped = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x41; trail <= 0xFE; ++trail) {
            const auto code = static_cast<uint16_t>(lead << 8 | trail);
            const uint16_t expected = IconvJohab(cd, code);
            const uint16_t johab = WansungToJohab(code);
            if (expected == 0)
                continue;  // not a character of the code page, or none Johab holds
            ASSERT_EQ(johab, expected) << std::hex << code;
            ASSERT_EQ(JohabToWansung(johab), code) << std::hex << code;
            ++mapped;
        }
    iconv_close(cd);
    EXPECT_GT(mapped, 11172 + 4888);  // every syllable and every Hanja at least
}

TEST(JpConvert, ConvertHangulCodeInPlace)
{
    std::string text = Cp949("a가ㄱ漢똠") + "z";
    const std::string original = text;
    ConvertHangulCode(hcWansung, hcJohab, text.data(), text.size());
    EXPECT_EQ(text.substr(0, 3), std::string("a\x88\x61", 3));
    EXPECT_EQ(text.back(), 'z');
    ConvertHangulCode(hcJohab, hcWansung, text.data(), text.size());
    EXPECT_EQ(text, original);

    std::string unmappable("\xC9\xA1x\xB0", 4);  // a user-defined character, a cut lead byte
    ConvertHangulCode(hcWansung, hcJohab, unmappable.data(), unmappable.size());
    EXPECT_EQ(unmappable, std::string("  x\xB0", 4));
    std::string same = Cp949("가");
    ConvertHangulCode(hcJohab, hcJohab, same.data(), same.size());
    EXPECT_EQ(same, Cp949("가"));
}
