#include "editor/model/Codeconv.h"

#include "platform/core/Cp949.h"
#include "platform/core/StringList.h"

#include <gtest/gtest.h>

namespace {

std::string Bytes(std::initializer_list<int> b)
{
    std::string s;
    for (int c : b)
        s.push_back(static_cast<char>(c));
    return s;
}

uint16_t ToJohab(uint16_t c)
{
    Convert_Code(c, ccWansungToJohab);
    return c;
}

uint16_t ToWansung(uint16_t c)
{
    Convert_Code(c, ccJohabToWansung);
    return c;
}

}  // namespace

TEST(Codeconv, KnownCellsOfEachArea)
{
    EXPECT_EQ(ToJohab(0xB0A1), 0x8861);  // 가
    EXPECT_EQ(ToJohab(0xB0A2), 0x8862);
    EXPECT_EQ(ToJohab(0xB0A3), 0x8865);
    EXPECT_EQ(ToJohab(0xC8FE), 0xD3B7);  // 힝
    EXPECT_EQ(ToJohab(0xA1A1), 0xD931);
    EXPECT_EQ(ToJohab(0xA4A1), 0xDAA1);  // compatibility jamo by the symbol rule
    EXPECT_EQ(ToJohab(0xA1FE), 0xD9A0);  // even row, column above 0xEE
    EXPECT_EQ(ToJohab(0xCAA1), 0xE031);
    EXPECT_EQ(ToJohab(0xFDFE), 0xF9FE);
    EXPECT_EQ(ToJohab(0xADA1), 0xD480);
    EXPECT_EQ(ToJohab(0xAEC2), 0xD4FF);
    EXPECT_EQ(WansungToJohabCell(0), 0xD931);
    EXPECT_EQ(WansungToJohabCell((0xAF - 0xA1) * 94), 0x2020);
}

TEST(Codeconv, EveryKsSyllableRoundTrips)
{
    int count = 0;
    uint16_t previous = 0;
    for (int lead = 0xB0; lead <= 0xC8; ++lead)
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            const uint16_t w = static_cast<uint16_t>((lead << 8) | trail);
            const uint16_t j = ToJohab(w);
            ASSERT_GT(j, previous) << std::hex << w;
            previous = j;
            uint16_t back = j;
            ASSERT_TRUE(Convert_Code(back, ccJohabToWansung)) << std::hex << w;
            ASSERT_EQ(back, w);
            ++count;
        }
    EXPECT_EQ(count, 2350);
}

TEST(Codeconv, SymbolsAndHanjaRoundTrip)
{
    for (int row : {0xA1, 0xA2, 0xA7, 0xAC, 0xCA, 0xCB, 0xE0, 0xFD})
        for (int col = 0xA1; col <= 0xFE; ++col) {
            const uint16_t w = static_cast<uint16_t>((row << 8) | col);
            ASSERT_EQ(ToWansung(ToJohab(w)), w) << std::hex << w;
        }
}

TEST(Codeconv, EveryHangulSyllableOfTheCodePageRoundTrips)
{
    // All 11,172 syllables: those outside KS X 1001 go through the code page's extension.
    int converted = 0;
    for (unsigned cp = 0xAC00; cp <= 0xD7A3; ++cp) {
        const char utf8[3] = {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                              static_cast<char>(0x80 | (cp & 0x3F))};
        std::string text = Cp949FromUtf8(std::string_view(utf8, 3));
        ASSERT_EQ(text.size(), 2u);
        const std::string original = text;
        Convert_Text(text, ccWansungToJohab);
        const unsigned lead = static_cast<unsigned char>(text[0]);
        const unsigned s = cp - 0xAC00;
        // Johab packs initial, medial and final into 5-bit fields under the top bit.
        EXPECT_EQ((lead >> 2) & 0x1F, s / 588 + 2) << std::hex << cp;
        Convert_Text(text, ccJohabToWansung);
        ASSERT_EQ(text, original) << std::hex << cp;
        ++converted;
    }
    EXPECT_EQ(converted, 11172);
}

TEST(Codeconv, LoneJamoFromJohab)
{
    EXPECT_EQ(ToWansung(0x8841), 0xA4A1);  // ㄱ as an initial
    EXPECT_EQ(ToWansung(0x8444), 0xA4A3);  // ㄳ, a final only
    EXPECT_EQ(ToWansung(0x8442), 0xA4A1);  // ㄱ written as a final
    EXPECT_EQ(ToWansung(0x845D), 0xA4BE);  // ㅎ written as a final
    EXPECT_EQ(ToWansung(0x8461), 0xA4BF);  // ㅏ
    EXPECT_EQ(ToWansung(0x87A1), 0xA4D3);  // ㅣ
    EXPECT_EQ(ToWansung(0xD480), 0xA1A1);
    EXPECT_EQ(ToWansung(0xD483), 0xA2BE);
    EXPECT_EQ(ToWansung(0xD4FF), 0xA1A1);
}

TEST(Codeconv, UnconvertibleCodesStay)
{
    uint16_t c = 0x2A2A;
    EXPECT_FALSE(Convert_Code(c, ccJohabToWansung));
    EXPECT_EQ(c, 0x2A2A);
    c = 0;
    EXPECT_FALSE(Convert_Code(c, ccWansungToJohab));
    // A pair with a byte outside A1..FE that is no syllable stays in the Wansung direction.
    EXPECT_EQ(ToJohab(0xC741), 0xC741);
    EXPECT_EQ(ToJohab(0xFF41), 0xFF41);
    // A cell without a Johab counterpart is kept rather than blanked.
    EXPECT_EQ(ToJohab(0xC9A1), 0xC9A1);
    EXPECT_EQ(ToJohab(0xFEFE), 0xFEFE);
}

TEST(Codeconv, TextConversionKeepsAsciiAndLength)
{
    std::string text = "a" + Cp949("가나") + "b" + Bytes({0xB0});
    Convert_Text(text, ccWansungToJohab);
    EXPECT_EQ(text, "a" + Bytes({0x88, 0x61, 0x90, 0x61}) + "b" + Bytes({0xB0}));
    Convert_Text(text, ccJohabToWansung);
    EXPECT_EQ(text, "a" + Cp949("가나") + "b" + Bytes({0xB0}));

    TStringList lines;
    lines.Add(Bytes({0x88, 0x61}));
    lines.Add("plain");
    EXPECT_TRUE(ConvertCode(&lines, true));
    EXPECT_EQ(lines[0], Cp949("가"));
    EXPECT_EQ(lines[1], "plain");
    EXPECT_FALSE(ConvertCode(static_cast<TStringList*>(nullptr), true));
}

TEST(Codeconv, CheckCodeTakesTheClassOfTheLastPair)
{
    EXPECT_FALSE(CheckCode(""));
    EXPECT_FALSE(CheckCode("plain ascii text"));
    EXPECT_FALSE(CheckCode(Cp949("한글 문장")));
    EXPECT_TRUE(CheckCode(Bytes({0x88, 0x61, 0x20, 0x90, 0x61})));
    // Mostly Wansung, but the last pair looks Johab.
    EXPECT_TRUE(CheckCode(Cp949("가나다라") + Bytes({0x88, 0x61})));
    EXPECT_FALSE(CheckCode(Bytes({0x88, 0x61}) + Cp949("가")));
    // A lead byte in the last position is not examined.
    EXPECT_TRUE(CheckCode(Bytes({0x88, 0x61, 0xB0})));
    EXPECT_FALSE(CheckCode(Bytes({0xA1, 0xA1})));  // 0xA1A1 is not strictly inside a range
    EXPECT_TRUE(CheckCode(Bytes({0xD0, 0xA0})));   // Johab area with a trail of 0xA0
    EXPECT_FALSE(CheckCode(Bytes({0xB0, 0xA0})));

    // The walk stops at the 101st Johab-like pair, so a Wansung tail after it is not seen.
    std::string many;
    for (int i = 0; i < 101; ++i)
        many += Bytes({0x88, 0x61});
    EXPECT_TRUE(CheckCode(many + Cp949("가")));
    std::string wansung;
    for (int i = 0; i < 513; ++i)
        wansung += Cp949("가");
    EXPECT_FALSE(CheckCode(wansung + Bytes({0x88, 0x61})));
}

TEST(Codeconv, BinSearchFindsAndMisses)
{
    int index = -1;
    EXPECT_TRUE(BinSearch(0x8861, 1410, 3759, index));
    EXPECT_EQ(index, 1410);
    EXPECT_TRUE(BinSearch(0xD3B7, 1410, 3759, index));
    EXPECT_EQ(index, 3759);
    EXPECT_FALSE(BinSearch(0x8863, 1410, 3759, index));
    EXPECT_FALSE(BinSearch(0xD480, 0, 0, index));
}

TEST(Codeconv, Is2ndHan)
{
    const std::string text = Cp949("가") + "a" + Cp949("나");
    EXPECT_FALSE(Is2ndHan(text, 1));
    EXPECT_TRUE(Is2ndHan(text, 2));
    EXPECT_FALSE(Is2ndHan(text, 3));
    EXPECT_FALSE(Is2ndHan(text, 4));
    EXPECT_TRUE(Is2ndHan(text, 5));
    EXPECT_FALSE(Is2ndHan(text, 6));  // past the text
    EXPECT_FALSE(Is2ndHan("", 2));
}

TEST(Codeconv, IsJohabTextByValidityThenShareOfKsCodesThenTheLastPair)
{
    const struct {
        std::string text;
        bool johab;
    } cases[] = {
        {"", false},
        {"plain ascii", false},
        {Cp949("안녕하세요\r\n둘째 똠\r\n"), false},  // ends in an extended syllable
        {Cp949("가똠"), false},                        // half of the pairs are KS X 1001 codes
        {Cp949("똠똠가"), true},                       // fewer: valid Johab too, so Johab
        {Bytes({0x88, 0x61, 0x90, 0x61, 0x94, 0x61}), true},
        {Bytes({0xD0, 0x65, 0x8B, 0x69}), true},       // not code page 949 (D0 65)
        {Bytes({0x88, 0x61, 0x86, 0x86}), false},      // 86 86 is not Johab
        {Bytes({0xD0, 0x65, 0x80, 0x41}), true},       // neither; 80 41 survives a save
        {Bytes({0xD0, 0x65, 0x86, 0x86}), false},      // neither; 86 86 would not
        {Bytes({0xD0, 0x65, 0x80, 0x41}) + Cp949("가"), false},  // neither; the last pair is Wansung
        {Cp949("가") + Bytes({0xB0}), false},          // a lead byte at the very end
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsJohabText(c.text), c.johab) << Cp949ToUtf8(c.text);
}

TEST(Codeconv, HanjaReadingTable)
{
    ASSERT_EQ(kHanjaReadingCount, 474);
    const std::pair<uint16_t, uint16_t> first[] = {{0x8861, 0}, {0x8862, 29}, {0x8865, 40}, {0x8869, 64}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(kHanjaReadings[k].Reading, first[k].first);
        EXPECT_EQ(kHanjaReadings[k].Start, first[k].second);
    }
    EXPECT_EQ(kHanjaReadings[473].Reading, 0x8F7B);
    EXPECT_EQ(kHanjaReadings[473].Start, 4888);
    // The runs rise, each reading is a KS X 1001 syllable, and the readings rise with them.
    for (int k = 0; k < 473; ++k) {
        EXPECT_LT(kHanjaReadings[k].Start, kHanjaReadings[k + 1].Start) << k;
        if (k > 0) {
            EXPECT_LT(kHanjaReadings[k - 1].Reading, kHanjaReadings[k].Reading) << k;
        }
        const uint16_t wansung = ToWansung(kHanjaReadings[k].Reading);
        EXPECT_TRUE(wansung >= 0xB0A1 && wansung <= 0xC8FE && (wansung & 0xFF) >= 0xA1) << k;
    }
}

TEST(Codeconv, HanjaBecomeTheirReadings)
{
    std::string wansung = Cp949("大韓民國 學校 漢字, 똠") + Bytes({0xC9, 0xA1, 0xAD, 0xA1, 0xB0});
    const std::string untouched = wansung.substr(wansung.size() - 5);
    convert_hanja2HanW(wansung);
    EXPECT_EQ(wansung, Cp949("대한민국 학교 한자, 똠") + untouched);

    // The same in Johab: 大 E4DE, 韓 F7DB; the pairs around them stay.
    std::string johab = Bytes({0xE4, 0xDE, 'a', 0xF7, 0xDB, 0x88, 0x61, 0xF7});
    convert_hanja2HanJ(johab);
    EXPECT_EQ(johab, Bytes({0x94, 0x81, 'a', 0xD0, 0x65, 0x88, 0x61, 0xF7}));  // 대 and 한 in Johab
    std::string viaFlag = Bytes({0xE4, 0xDE});
    convert_hanja2Han(viaFlag, true);
    EXPECT_EQ(viaFlag, Bytes({0x94, 0x81}));

    const struct {
        int lead, trail;
        bool found;
        int readingLead, readingTrail;
    } pairs[] = {
        {0xE0, 0x31, true, 0x88, 0x61},   // the first Hanja, read 가
        {0xF9, 0xFE, true, 0xD3, 0xA9},   // the last, read 힐
        {0xE0, 0x7E, true, 0x88, 0x71},   // index 77: the run from 74
        {0xE0, 0x91, true, 0x88, 0x71},   // index 78
        {0xE0, 0x80, false, 0xE0, 0x80},  // no Johab Hanja trail
        {0xE0, 0x30, false, 0xE0, 0x30},
        {0xDF, 0x31, false, 0xDF, 0x31},  // not the Hanja area
        {0x88, 0x61, false, 0x88, 0x61},
    };
    for (const auto& p : pairs) {
        unsigned char lead = static_cast<unsigned char>(p.lead), trail = static_cast<unsigned char>(p.trail);
        EXPECT_EQ(hanja2hangul(lead, trail), p.found) << std::hex << p.lead << p.trail;
        EXPECT_EQ(lead, p.readingLead);
        EXPECT_EQ(trail, p.readingTrail);
    }

    // Hanja2Han reads the word's bytes in memory order: the low byte is the lead byte.
    uint16_t code = 0x31E0;
    EXPECT_TRUE(Hanja2Han(code));
    EXPECT_EQ(code, 0x6188);
    code = 0xE031;
    EXPECT_FALSE(Hanja2Han(code));
    EXPECT_EQ(code, 0xE031);
}

TEST(Codeconv, ATextTakenForJohabSavesEveryPairItKeptAsItWas)
{
    // Random texts of ASCII, KS X 1001 and extended syllables, Johab syllables and jamo, Hanja and
    // pairs that one or both codes lack; whenever such a text is read as Johab, converting it to
    // Wansung and back gives each pair that the first conversion kept as it was.
    const std::string pieces[] = {"a",      " ",        Cp949("가"), Cp949("똠"), Cp949("※"), Cp949("漢"),
                                  Bytes({0x88, 0x61}), Bytes({0xD0, 0x65}), Bytes({0x88, 0x41}),
                                  Bytes({0x86, 0x86}), Bytes({0x80, 0x41}), Bytes({0xC9, 0xA1}),
                                  Bytes({0xD4, 0x80}), Bytes({0xA2, 0xE8}), Bytes({0xE0, 0x31})};
    unsigned seed = 949;
    auto rnd = [&](unsigned m) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % m;
    };
    int johabTexts = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (unsigned i = 0, n = 1 + rnd(6); i < n; ++i)
            text += pieces[rnd(15)];
        if (!IsJohabText(text))
            continue;
        ++johabTexts;
        std::string saved = text;
        Convert_Text(saved, ccJohabToWansung);
        Convert_Text(saved, ccWansungToJohab);
        ASSERT_EQ(saved.size(), text.size());
        for (size_t i = 0; i + 1 < text.size(); ++i) {
            const unsigned char lead = static_cast<unsigned char>(text[i]);
            if (lead < 0x80)
                continue;
            uint16_t code = static_cast<uint16_t>((lead << 8) | static_cast<unsigned char>(text[i + 1]));
            if (!Convert_Code(code, ccJohabToWansung)) {
                ASSERT_EQ(saved.substr(i, 2), text.substr(i, 2)) << "pair " << i << " of " << Cp949ToUtf8(text);
            }
            ++i;
        }
    }
    EXPECT_GT(johabTexts, 300);
}
