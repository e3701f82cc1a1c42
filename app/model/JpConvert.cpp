#include "app/model/JpConvert.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/core/Cp949.h"

namespace {

// ---- the syllable table ----------------------------------------------------------------------

// Row 0 Hangul, row 1 Hiragana (the Katakana ヴ where no Hiragana exists), row 2 Katakana.
const char* const kRowsUtf8[3] = {
    "아카가사싸자타다나하바파마야라와이키기시지디치티니히비피미리우으쿠구쿠그스수즈주츠쓰드두누느후흐부브푸프무므유루르"
    "에케게세제테데네헤베페메레오코고소조토트도노호보포모요로어ㅏㅣㅜㅔㅐㅗㅑㅠㅛㅘㄱㅋㅅㅇㄴ",
    "あかがささざただなはばぱまやらわいきぎしじぢちちにひびぴみりううくぐくぐすすずずつつづづぬぬふふぶヴぷぷむむゆるる"
    "えけげせぜてでねへべぺめれおこごそぞととどのほぼぽもよろをぁぃぅぇぇぉゃゅょゎくくっんん",
    "アカガササザタダナハバパマヤラワイキギシジヂチチニヒビピミリウウクグクグススズズツツヅヅヌヌフフブヴププムムユルル"
    "エケゲセゼテデネヘベペメレオコゴソゾトトドノホボポモヨロヲァィゥェェォャュョヮククッンン",
};

const std::array<std::string, 3>& Rows()
{
    static const std::array<std::string, 3> rows = {Cp949(kRowsUtf8[0]), Cp949(kRowsUtf8[1]),
                                                     Cp949(kRowsUtf8[2])};
    return rows;
}

// Lone finals of the final-consonant table (Johab: initial and medial fill codes) with their
// Hiragana and Katakana. Any other final gives entry 1 (ん / ン).
struct TFinalKana {
    uint16_t Johab;
    const char* Hiragana;
    const char* Katakana;
};
const TFinalKana kFinalKana[15] = {
    {0x8442, "く", "ク"}, {0x8445, "ん", "ン"}, {0x8448, "っ", "ッ"}, {0x8449, "る", "ル"},
    {0x8451, "ん", "ン"}, {0x8453, "ぷ", "プ"}, {0x8455, "っ", "ッ"}, {0x8456, "っ", "ッ"},
    {0x8457, "ん", "ン"}, {0x8458, "っ", "ッ"}, {0x8459, "っ", "ッ"}, {0x845A, "く", "ク"},
    {0x845B, "っ", "ッ"}, {0x845C, "ぷ", "プ"}, {0x845D, "っ", "ッ"},
};

std::string FinalKana(uint16_t final, bool katakana)
{
    const TFinalKana* entry = &kFinalKana[1];
    for (const TFinalKana& f : kFinalKana)
        if (f.Johab == final) {
            entry = &f;
            break;
        }
    return Cp949(katakana ? entry->Katakana : entry->Hiragana);
}

// ---- Johab fields ----------------------------------------------------------------------------

// Johab: bit 15 set, initial in bits 14-10, medial in bits 9-5, final in bits 4-0.
constexpr int kInitialFill = 1;
constexpr int kMedialFill = 2;
constexpr int kFinalFill = 1;

// Medial codes of the 21 vowels in syllable order (ㅏ .. ㅣ).
constexpr int kMedialCodes[21] = {3, 4, 5, 6, 7, 10, 11, 12, 13, 14, 15, 18, 19, 20, 21, 22, 23, 26, 27, 28, 29};

enum : int {
    jiKK = 3, jiTT = 6, jiPP = 10, jiIeung = 13, jiJJ = 15, jiCh = 16, jiK = 17, jiT = 18, jiP = 19,
    jmA = 3, jmAe = 4, jmYa = 5, jmEo = 7, jmE = 10, jmO = 13, jmWa = 14, jmYo = 19, jmU = 20,
    jmWo = 21, jmWe = 22, jmWi = 23, jmYu = 26, jmI = 29,
};

uint16_t MakeJohab(int initial, int medial, int final)
{
    return static_cast<uint16_t>(0x8000 | initial << 10 | medial << 5 | final);
}

int MedialIndex(int code)
{
    for (int i = 0; i < 21; ++i)
        if (kMedialCodes[i] == code)
            return i;
    return -1;
}

// Final code of syllable final T (0 none, 1..27); code 18 is not used.
int FinalCode(int t) { return t == 0 ? kFinalFill : (t <= 16 ? t + 1 : t + 2); }
int FinalIndex(int code)
{
    if (code == kFinalFill)
        return 0;
    if (code >= 2 && code <= 17)
        return code - 1;
    if (code >= 19 && code <= 29)
        return code - 2;
    return -1;
}

uint16_t JohabOfSyllable(int index)
{
    return MakeJohab(index / 588 + 2, kMedialCodes[index % 588 / 28], FinalCode(index % 28));
}

// The syllable index (0..11171) of a complete Johab syllable; -1 otherwise.
int SyllableOfJohab(uint16_t code)
{
    const int l = (code >> 10 & 31) - 2;
    const int v = MedialIndex(code >> 5 & 31);
    const int t = FinalIndex(code & 31);
    if (!(code & 0x8000) || l < 0 || l > 18 || v < 0 || t < 0)
        return -1;
    return (l * 21 + v) * 28 + t;
}

// The 51 modern compatibility jamo of code page 949 (0xA4A1 .. 0xA4D3): the 30 consonants as a
// lone initial where they can begin a syllable, else as a lone final; the 21 vowels as a lone
// medial.
const std::array<uint16_t, 51>& JamoJohab()
{
    static const std::array<uint16_t, 51> table = [] {
        // Initial code, or 0 with the final code for a consonant that only ends a syllable.
        const int consonants[30][2] = {{2, 0},  {3, 0},  {0, 4},  {4, 0},  {0, 6},  {0, 7},  {5, 0},  {6, 0},
                                       {7, 0},  {0, 10}, {0, 11}, {0, 12}, {0, 13}, {0, 14}, {0, 15}, {0, 16},
                                       {8, 0},  {9, 0},  {10, 0}, {0, 20}, {11, 0}, {12, 0}, {13, 0}, {14, 0},
                                       {15, 0}, {16, 0}, {17, 0}, {18, 0}, {19, 0}, {20, 0}};
        std::array<uint16_t, 51> t{};
        for (int i = 0; i < 30; ++i)
            t[i] = consonants[i][0] ? MakeJohab(consonants[i][0], kMedialFill, kFinalFill)
                                    : MakeJohab(kInitialFill, kMedialFill, consonants[i][1]);
        for (int i = 0; i < 21; ++i)
            t[30 + i] = MakeJohab(kInitialFill, kMedialCodes[i], kFinalFill);
        return t;
    }();
    return table;
}

// ---- the syllable tables of code page 949 ----------------------------------------------------

// The 2,350 syllables of KS X 1001 (0xB0A1 .. 0xC8FE) as syllable indices, ascending, and the
// other 8,822 in the order the extended area of code page 949 holds them. Built once from the
// code page conversion; both empty when it fails, and Hangul is then unmappable.
struct TSyllableTables {
    std::vector<uint16_t> Ks;
    std::vector<uint16_t> Extended;
};

const TSyllableTables& SyllableTables()
{
    static const TSyllableTables tables = [] {
        TSyllableTables t;
        std::string block;
        for (int lead = 0xB0; lead <= 0xC8; ++lead)
            for (int trail = 0xA1; trail <= 0xFE; ++trail) {
                block += static_cast<char>(lead);
                block += static_cast<char>(trail);
            }
        const std::string utf8 = Cp949ToUtf8(block);
        // Every syllable U+AC00 .. U+D7A3 is three UTF-8 bytes.
        for (size_t i = 0; i + 2 < utf8.size(); i += 3) {
            const auto b0 = static_cast<unsigned char>(utf8[i]);
            const auto b1 = static_cast<unsigned char>(utf8[i + 1]);
            const auto b2 = static_cast<unsigned char>(utf8[i + 2]);
            const int cp = (b0 & 0x0F) << 12 | (b1 & 0x3F) << 6 | (b2 & 0x3F);
            if ((b0 & 0xF0) != 0xE0 || cp < 0xAC00 || cp > 0xD7A3)
                return TSyllableTables{};
            t.Ks.push_back(static_cast<uint16_t>(cp - 0xAC00));
        }
        if (t.Ks.size() != 2350 || !std::is_sorted(t.Ks.begin(), t.Ks.end()))
            return TSyllableTables{};
        t.Extended.reserve(11172 - 2350);
        size_t k = 0;
        for (int s = 0; s < 11172; ++s) {
            if (k < t.Ks.size() && t.Ks[k] == s)
                ++k;
            else
                t.Extended.push_back(static_cast<uint16_t>(s));
        }
        return t;
    }();
    return tables;
}

// The extended area: leads 0x81..0xA0 take 178 trails (0x41-0x5A, 0x61-0x7A, 0x81-0xFE), leads
// 0xA1..0xC6 take 84 (0x41-0x5A, 0x61-0x7A, 0x81-0xA0); the syllables fill it in order.
constexpr int kExtendedWide = 178;
constexpr int kExtendedNarrow = 84;
constexpr int kExtendedWideCount = 32 * kExtendedWide;

int TrailPosition(int trail, int width)
{
    if (trail >= 0x41 && trail <= 0x5A)
        return trail - 0x41;
    if (trail >= 0x61 && trail <= 0x7A)
        return trail - 0x61 + 26;
    if (trail >= 0x81 && trail - 0x81 + 52 < width)
        return trail - 0x81 + 52;
    return -1;
}

int TrailAt(int position)
{
    if (position < 26)
        return 0x41 + position;
    if (position < 52)
        return 0x61 + position - 26;
    return 0x81 + position - 52;
}

int ExtendedPosition(int lead, int trail)
{
    if (lead >= 0x81 && lead <= 0xA0) {
        const int p = TrailPosition(trail, kExtendedWide);
        return p < 0 ? -1 : (lead - 0x81) * kExtendedWide + p;
    }
    if (lead >= 0xA1 && lead <= 0xC6) {
        const int p = TrailPosition(trail, kExtendedNarrow);
        return p < 0 ? -1 : kExtendedWideCount + (lead - 0xA1) * kExtendedNarrow + p;
    }
    return -1;
}

uint16_t ExtendedCode(int position)
{
    if (position < kExtendedWideCount)
        return static_cast<uint16_t>((0x81 + position / kExtendedWide) << 8 | TrailAt(position % kExtendedWide));
    position -= kExtendedWideCount;
    return static_cast<uint16_t>((0xA1 + position / kExtendedNarrow) << 8 | TrailAt(position % kExtendedNarrow));
}

// ---- symbol and Hanja rows: the row arithmetic of KS X 1001 ----------------------------------

// Two KS rows share one Johab lead byte: the first row's cells go to trails 0x31-0x7E and
// 0x91-0xA0, the second row's keep their trail byte.
uint16_t RowPairToJohab(int lead, int trail, int firstRow, int firstJohabLead)
{
    const int pair = (lead - firstRow) / 2;
    const int j1 = firstJohabLead + pair;
    int j2 = trail;
    if ((lead - firstRow) % 2 == 0) {
        j2 = trail - 0xA1 + 0x31;
        if (j2 > 0x7E)
            j2 += 0x12;
    }
    return static_cast<uint16_t>(j1 << 8 | j2);
}

// The KS code of a Johab symbol or Hanja code; 0 when j2 is outside both halves.
uint16_t JohabToRowPair(int j1, int j2, int firstRow, int firstJohabLead)
{
    const int base = firstRow + (j1 - firstJohabLead) * 2;
    if (j2 >= 0x31 && j2 <= 0x7E)
        return static_cast<uint16_t>(base << 8 | (j2 - 0x31 + 0xA1));
    if (j2 >= 0x91 && j2 <= 0xA0)
        return static_cast<uint16_t>(base << 8 | (j2 - 0x43 + 0xA1));
    if (j2 >= 0xA1 && j2 <= 0xFE)
        return static_cast<uint16_t>((base + 1) << 8 | j2);
    return 0;
}

uint16_t WansungOfSyllable(int index)
{
    const TSyllableTables& t = SyllableTables();
    if (t.Ks.empty())
        return 0;
    const auto it = std::lower_bound(t.Ks.begin(), t.Ks.end(), static_cast<uint16_t>(index));
    const int below = static_cast<int>(it - t.Ks.begin());
    if (it != t.Ks.end() && *it == index)
        return static_cast<uint16_t>((0xB0 + below / 94) << 8 | (0xA1 + below % 94));
    return ExtendedCode(index - below);
}

std::string TwoBytes(uint16_t code)
{
    return std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

uint16_t CodeOf(const std::string& ch)
{
    return static_cast<uint16_t>(static_cast<unsigned char>(ch[0]) << 8 | static_cast<unsigned char>(ch[1]));
}

// Lead bytes of the kana rows (and the unused rows next to them) that modes 0, 3 and 4 look up.
bool IsKanaLead(unsigned char lead) { return lead >= 0xAA && lead <= 0xAE; }

}  // namespace

// ---- code conversion -------------------------------------------------------------------------

uint16_t WansungToJohab(uint16_t code)
{
    const int lead = code >> 8;
    const int trail = code & 0xFF;
    if (lead >= 0xB0 && lead <= 0xC8 && trail >= 0xA1 && trail <= 0xFE) {
        const TSyllableTables& t = SyllableTables();
        if (t.Ks.empty())
            return 0;
        return JohabOfSyllable(t.Ks[static_cast<size_t>((lead - 0xB0) * 94 + trail - 0xA1)]);
    }
    const int ext = ExtendedPosition(lead, trail);
    if (ext >= 0) {
        const TSyllableTables& t = SyllableTables();
        if (ext >= static_cast<int>(t.Extended.size()))
            return 0;
        return JohabOfSyllable(t.Extended[static_cast<size_t>(ext)]);
    }
    if (trail < 0xA1 || trail > 0xFE)
        return 0;
    if (lead == 0xA4) {
        if (trail <= 0xD3)
            return JamoJohab()[static_cast<size_t>(trail - 0xA1)];
        return RowPairToJohab(lead, trail, 0xA1, 0xD9);
    }
    if (lead >= 0xA1 && lead <= 0xAC)
        return RowPairToJohab(lead, trail, 0xA1, 0xD9);
    if (lead >= 0xCA && lead <= 0xFD)
        return RowPairToJohab(lead, trail, 0xCA, 0xE0);
    return 0;
}

uint16_t JohabToWansung(uint16_t code)
{
    const int j1 = code >> 8;
    const int j2 = code & 0xFF;
    if (j1 >= 0x84 && j1 <= 0xD3) {
        const int syllable = SyllableOfJohab(code);
        if (syllable >= 0)
            return WansungOfSyllable(syllable);
        const auto& jamo = JamoJohab();
        const auto it = std::find(jamo.begin(), jamo.end(), code);
        if (it != jamo.end())
            return static_cast<uint16_t>(0xA4A1 + (it - jamo.begin()));
        return 0;
    }
    if (j1 >= 0xD9 && j1 <= 0xDE) {
        const uint16_t ks = JohabToRowPair(j1, j2, 0xA1, 0xD9);
        // The modern jamo live in the Hangul area; only the filler and the old jamo of their row
        // are coded here.
        if (ks >= 0xA4A1 && ks <= 0xA4D3)
            return 0;
        return ks;
    }
    if (j1 >= 0xE0 && j1 <= 0xF9)
        return JohabToRowPair(j1, j2, 0xCA, 0xE0);
    return 0;
}

void ConvertHangulCode(THangulCode from, THangulCode to, char* buffer, size_t length)
{
    if (from == to || !buffer)
        return;
    for (size_t i = 0; i + 1 < length; ++i) {
        const auto lead = static_cast<unsigned char>(buffer[i]);
        if (lead < 0x80)
            continue;
        const auto code = static_cast<uint16_t>(lead << 8 | static_cast<unsigned char>(buffer[i + 1]));
        const uint16_t out = from == hcWansung ? WansungToJohab(code) : JohabToWansung(code);
        buffer[i] = out ? static_cast<char>(out >> 8) : ' ';
        buffer[i + 1] = out ? static_cast<char>(out & 0xFF) : ' ';
        ++i;
    }
}

// ---- the kana conversion ---------------------------------------------------------------------

std::string JpSyllable(int row, int index)
{
    if (row < 0 || row > 2 || index < 0 || index >= kJpSyllableCount)
        return std::string();
    return Rows()[static_cast<size_t>(row)].substr(static_cast<size_t>(index) * 2, 2);
}

int FindSyllable(const std::string& ch, int row)
{
    if (row < 0 || row > 2 || ch.size() != 2)
        return -1;
    const std::string& r = Rows()[static_cast<size_t>(row)];
    for (size_t i = 0; i + 1 < r.size(); i += 2)
        if (r[i] == ch[0] && r[i + 1] == ch[1])
            return static_cast<int>(i / 2);
    return -1;
}

bool SplitHangulToKana(const std::string& ch, TKanaSplit& out)
{
    out = TKanaSplit{};
    if (ch.size() != 2) {
        out.Syllable = ch;
        return false;
    }
    uint16_t johab = WansungToJohab(CodeOf(ch));
    if (johab == 0) {
        out.Syllable = "  ";
        return false;
    }
    if ((johab >> 8) < 0x84 || (johab >> 8) > 0xD3) {
        out.Syllable = ch;
        return false;
    }
    int initial = johab >> 10 & 31;
    int medial = johab >> 5 & 31;
    const int final = johab & 31;
    if (final >= 2)
        out.Final = MakeJohab(kInitialFill, kMedialFill, final);

    switch (initial) {
    case jiKK: initial = jiK; break;
    case jiTT: initial = jiT; break;
    case jiPP: initial = jiP; break;
    case jiJJ: initial = jiCh; break;
    default: break;
    }
    if (medial == jmAe)
        medial = jmE;
    else if (medial == jmEo)
        medial = jmA;

    int small = 0;
    if (initial != jiIeung && (medial == jmYa || medial == jmYo || medial == jmYu)) {
        small = medial;
        medial = jmI;
    } else if (medial == jmWa || medial == jmWo || medial == jmWe || medial == jmWi) {
        small = medial == jmWa ? jmA : medial == jmWo ? jmO : medial == jmWe ? jmE : jmI;
        medial = jmU;
    }
    if (small)
        out.SmallVowel = TwoBytes(JohabToWansung(MakeJohab(kInitialFill, small, kFinalFill)));

    johab = MakeJohab(initial, medial, kFinalFill);
    const uint16_t simplified = JohabToWansung(johab);
    out.Syllable = simplified ? TwoBytes(simplified) : std::string("  ");
    return small != 0;
}

std::string JpConvertText(const std::string& text, int mode)
{
    if (mode < jcmKanaToHangul || mode > jcmHiraganaToKatakana)
        return text;
    std::string out;
    out.reserve(text.size() * 2);
    for (size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80 || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        const std::string ch = text.substr(i, 2);
        ++i;
        const bool kana = IsKanaLead(lead);
        switch (mode) {
        case jcmKanaToHangul: {
            int index = kana ? FindSyllable(ch, jrHiragana) : -1;
            if (kana && index < 0)
                index = FindSyllable(ch, jrKatakana);
            out += index >= 0 ? JpSyllable(jrHangul, index) : ch;
            break;
        }
        case jcmKatakanaToHiragana:
        case jcmHiraganaToKatakana: {
            const int source = mode == jcmKatakanaToHiragana ? jrKatakana : jrHiragana;
            const int target = mode == jcmKatakanaToHiragana ? jrHiragana : jrKatakana;
            const int index = kana ? FindSyllable(ch, source) : -1;
            out += index >= 0 ? JpSyllable(target, index) : ch;
            break;
        }
        default: {
            if (kana) {
                out += ch;
                break;
            }
            const int target = mode == jcmHangulToHiragana ? jrHiragana : jrKatakana;
            int index = FindSyllable(ch, jrHangul);
            if (index >= 0) {
                out += JpSyllable(target, index);
                break;
            }
            TKanaSplit split;
            const bool small = SplitHangulToKana(ch, split);
            index = FindSyllable(split.Syllable, jrHangul);
            if (index < 0) {
                out += ch;
                break;
            }
            out += JpSyllable(target, index);
            if (small) {
                const int s = FindSyllable(split.SmallVowel, jrHangul);
                if (s >= 0)
                    out += JpSyllable(target, s);
            }
            if (split.Final)
                out += FinalKana(split.Final, target == jrKatakana);
            break;
        }
        }
    }
    return out;
}
