#include "editor/model/Codeconv.h"

#include "platform/core/Cp949.h"
#include "platform/core/StringList.h"

#include <algorithm>
#include <array>
#include <utility>

extern const uint16_t kWansungSyllableJohab[2350];

namespace {

constexpr int kCells = 94 * 94;
constexpr uint16_t kNoJohab = 0x2020;

// Cell index ranges that rise strictly (symbols, syllables, Hanja).
constexpr int kSymbolFirst = 0, kSymbolLast = 1127;          // rows A1..AC
constexpr int kSyllableFirst = 1410, kSyllableLast = 3759;   // rows B0..C8
constexpr int kHanjaFirst = 3854, kHanjaLast = 8741;         // rows CA..FD

// Johab trail byte of a symbol or Hanja cell: rows at an even offset from the area's first row
// take the trails 0x31..0x7E and 0x91..0xA0, rows at an odd offset the trails 0xA1..0xFE.
int SymbolTrail(int rowOffset, int column)
{
    if (rowOffset % 2 != 0)
        return column;
    return column <= 0xEE ? column - 0x70 : column - 0x5E;
}

std::array<uint16_t, kCells> BuildWansungTable()
{
    std::array<uint16_t, kCells> t;
    t.fill(kNoJohab);
    for (int row = 0xA1; row <= 0xAC; ++row)
        for (int col = 0xA1; col <= 0xFE; ++col) {
            const int off = row - 0xA1;
            t[off * 94 + (col - 0xA1)] = static_cast<uint16_t>(((0xD9 + off / 2) << 8) | SymbolTrail(off, col));
        }
    // Row AD and the first 34 cells of row AE take the 128 codes of Johab row D4.
    for (int i = 0; i < 128; ++i)
        t[(0xAD - 0xA1) * 94 + i] = static_cast<uint16_t>(0xD480 + i);
    for (int i = 0; i < 2350; ++i)
        t[kSyllableFirst + i] = kWansungSyllableJohab[i];
    for (int row = 0xCA; row <= 0xFD; ++row)
        for (int col = 0xA1; col <= 0xFE; ++col) {
            const int off = row - 0xCA;
            t[(row - 0xA1) * 94 + (col - 0xA1)] = static_cast<uint16_t>(((0xE0 + off / 2) << 8) | SymbolTrail(off, col));
        }
    return t;
}

const std::array<uint16_t, kCells>& WansungTable()
{
    static const std::array<uint16_t, kCells> table = BuildWansungTable();
    return table;
}

// Wansung cells of the Johab codes 0xD480..0xD4FF. The codes with a known symbol reading map to
// that symbol; the others map back to the cell of rows AD/AE that the forward table gives them.
std::array<uint16_t, 128> BuildRowD4Table()
{
    std::array<uint16_t, 128> t;
    for (int i = 0; i < 128; ++i)
        t[i] = static_cast<uint16_t>(i < 94 ? 0xADA1 + i : 0xAEA1 + (i - 94));
    t[0] = 0xA1A1;
    t[1] = 0xA1D9;
    t[2] = 0xA1DA;
    t[3] = 0xA2BE;
    t[127] = 0xA1A1;
    return t;
}

// Johab codes of the compatibility jamo A4A1 + j: 30 consonants, then 21 vowels. A consonant
// that can begin a syllable is written as an initial with fill vowel and no final; the others as
// a final with fill initial and fill vowel; a vowel with fill initial and no final.
constexpr uint16_t kInitialJamo[51] = {
    0x8841, 0x8C41, 0x8444, 0x9041, 0x8446, 0x8447, 0x9441, 0x9841, 0x9C41, 0x844A,
    0x844B, 0x844C, 0x844D, 0x844E, 0x844F, 0x8450, 0xA041, 0xA441, 0xA841, 0x8454,
    0xAC41, 0xB041, 0xB441, 0xB841, 0xBC41, 0xC041, 0xC441, 0xC841, 0xCC41, 0xD041,
    0x8461, 0x8481, 0x84A1, 0x84C1, 0x84E1, 0x8541, 0x8561, 0x8581, 0x85A1, 0x85C1,
    0x85E1, 0x8641, 0x8661, 0x8681, 0x86A1, 0x86C1, 0x86E1, 0x8741, 0x8761, 0x8781,
    0x87A1,
};

// Johab codes of the consonants A4A1 + j written as a final only; 0x2A2A where a consonant has
// no final form (never matches).
constexpr uint16_t kFinalJamo[30] = {
    0x8442, 0x8443, 0x8444, 0x8445, 0x8446, 0x8447, 0x8448, 0x2A2A, 0x8449, 0x844A,
    0x844B, 0x844C, 0x844D, 0x844E, 0x844F, 0x8450, 0x8451, 0x8453, 0x2A2A, 0x8454,
    0x8455, 0x8456, 0x8457, 0x8458, 0x2A2A, 0x8459, 0x845A, 0x845B, 0x845C, 0x845D,
};

// The syllables that code page 949 adds to KS X 1001, as (code page 949 code, Johab code) pairs,
// once sorted by the first and once by the second member.
struct TExtendedSyllables {
    std::vector<std::pair<uint16_t, uint16_t>> ByCp949;
    std::vector<std::pair<uint16_t, uint16_t>> ByJohab;
};

const TExtendedSyllables& ExtendedSyllables()
{
    static const TExtendedSyllables tables = [] {
        static constexpr int kVowelCode[21] = {3, 4, 5, 6, 7, 10, 11, 12, 13, 14, 15,
                                               18, 19, 20, 21, 22, 23, 26, 27, 28, 29};
        TExtendedSyllables t;
        for (int s = 0; s < 11172; ++s) {
            const int l = s / 588, v = (s % 588) / 28, f = s % 28;
            const int fc = f == 0 ? 1 : (f <= 16 ? f + 1 : f + 2);
            const uint16_t johab = static_cast<uint16_t>(0x8000 | ((l + 2) << 10) | (kVowelCode[v] << 5) | fc);
            const unsigned cp = 0xAC00 + static_cast<unsigned>(s);
            const char utf8[3] = {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                                  static_cast<char>(0x80 | (cp & 0x3F))};
            const std::string bytes = Cp949FromUtf8(std::string_view(utf8, 3));
            if (bytes.size() != 2)
                continue;
            const unsigned char lead = static_cast<unsigned char>(bytes[0]);
            const unsigned char trail = static_cast<unsigned char>(bytes[1]);
            if (lead >= 0xA1 && trail >= 0xA1)
                continue;  // a KS X 1001 cell: the main table has it
            t.ByCp949.emplace_back(static_cast<uint16_t>((lead << 8) | trail), johab);
        }
        std::sort(t.ByCp949.begin(), t.ByCp949.end());
        t.ByJohab = t.ByCp949;
        std::sort(t.ByJohab.begin(), t.ByJohab.end(),
                  [](const auto& a, const auto& b) { return a.second < b.second; });
        return t;
    }();
    return tables;
}

bool WansungLike(uint16_t code)
{
    static constexpr std::pair<uint16_t, uint16_t> kOpen[] = {
        {0xA1A1, 0xA1FF}, {0xA2A0, 0xA2E6}, {0xA3A0, 0xA3FF}, {0xA4A0, 0xA4FF}, {0xA5A0, 0xA5F9},
        {0xA6A0, 0xA6E5}, {0xA7A0, 0xA7F0}, {0xA8A0, 0xA8FF}, {0xA9A0, 0xA9FF}, {0xAAA0, 0xAAF4},
        {0xABA0, 0xABF7}, {0xACA0, 0xACC2}, {0xACD0, 0xACF2},
    };
    for (const auto& r : kOpen)
        if (code > r.first && code < r.second)
            return true;
    const int lead = code >> 8, trail = code & 0xFF;
    if (trail > 0xA0 && ((lead >= 0xB0 && lead <= 0xC8) || (lead >= 0xCA && lead <= 0xFD)))
        return true;
    return code == 0xAEC2;
}

bool JohabArea(uint16_t code)
{
    return (code >= 0xD000 && code <= 0xD3FF) || (code >= 0xDDA1 && code <= 0xDE98) ||
           (code >= 0xDBA1 && code <= 0xDBC8) || (code >= 0xD9B0 && code <= 0xD9CF) ||
           (code >= 0xD4B0 && code <= 0xD4CF);
}

// Which pairs code page 949 defines, as the system's conversion reads them; index
// (lead - 0x80) * 256 + trail.
const std::vector<bool>& Cp949Pairs()
{
    static const std::vector<bool> pairs = [] {
        std::vector<bool> t(128 * 256, false);
        for (int lead = 0x81; lead <= 0xFE; ++lead)
            for (int trail = 0x41; trail <= 0xFE; ++trail) {
                const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                const std::string utf8 = Cp949ToUtf8(std::string_view(pair, 2));
                t[static_cast<size_t>((lead - 0x80) * 256 + trail)] =
                    !utf8.empty() && utf8.find("\xEF\xBF\xBD") == std::string::npos;
            }
        return t;
    }();
    return pairs;
}

}  // namespace

uint16_t WansungToJohabCell(int index)
{
    return index >= 0 && index < kCells ? WansungTable()[static_cast<size_t>(index)] : kNoJohab;
}

bool CheckCode(const std::string& text)
{
    int johab = 0, wansung = 0;
    bool result = false;
    const size_t n = text.size();
    size_t i = 0;
    while (i + 1 < n) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const unsigned char trail = static_cast<unsigned char>(text[i + 1]);
        const uint16_t code = static_cast<uint16_t>((lead << 8) | trail);
        i += 2;
        bool isJohab;
        if (trail < 0xA0)
            isJohab = true;
        else if (WansungLike(code))
            isJohab = false;
        else
            isJohab = JohabArea(code);
        if (isJohab) {
            result = true;
            if (johab >= 100)
                break;
            ++johab;
        } else {
            result = false;
            if (wansung >= 512)
                break;
            ++wansung;
        }
    }
    return result;
}

bool IsJohabText(const std::string& text)
{
    const std::vector<bool>& cp949 = Cp949Pairs();
    bool cp949Valid = true, johabValid = true, keptOnSave = true;
    size_t pairs = 0, ksPairs = 0;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80)
            continue;
        if (i + 1 == n) {
            cp949Valid = johabValid = false;
            break;
        }
        const unsigned char trail = static_cast<unsigned char>(text[++i]);
        const uint16_t code = static_cast<uint16_t>((lead << 8) | trail);
        ++pairs;
        if (lead >= 0xA1 && lead <= 0xFE && trail >= 0xA1 && trail <= 0xFE)
            ++ksPairs;
        if (!cp949[static_cast<size_t>((lead - 0x80) * 256 + trail)])
            cp949Valid = false;
        uint16_t converted = code;
        if (!Convert_Code(converted, ccJohabToWansung)) {
            johabValid = false;
            // Kept as it stands on loading: it must come back as the same pair on saving.
            uint16_t saved = code;
            Convert_Code(saved, ccWansungToJohab);
            keptOnSave = keptOnSave && saved == code;
        }
    }
    if (johabValid)
        return !cp949Valid || ksPairs * 2 < pairs;
    if (cp949Valid)
        return false;
    return keptOnSave && CheckCode(text);
}

bool ConvertCode(TStringList* lines, bool toWansung)
{
    if (!lines)
        return false;
    return ConvertCode(&lines->Strings, toWansung);
}

bool ConvertCode(std::vector<std::string>* lines, bool toWansung)
{
    if (!lines)
        return false;
    for (std::string& line : *lines)
        Convert_Text(line, toWansung ? ccJohabToWansung : ccWansungToJohab);
    return true;
}

bool Convert_Text(std::string& text, int mode)
{
    const size_t n = text.size();
    for (size_t i = 0; i + 1 < n; ++i) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80)
            continue;
        uint16_t code = static_cast<uint16_t>((lead << 8) | static_cast<unsigned char>(text[i + 1]));
        Convert_Code(code, mode);
        text[i] = static_cast<char>(code >> 8);
        text[i + 1] = static_cast<char>(code & 0xFF);
        ++i;
    }
    return true;
}

bool BinSearch(uint16_t key, int lo, int hi, int& index)
{
    const auto& table = WansungTable();
    lo = std::clamp(lo, 0, kCells - 1);
    hi = std::clamp(hi, 0, kCells - 1);
    while (hi > lo) {
        const int mid = (lo + hi) / 2;
        const uint16_t entry = table[static_cast<size_t>(mid)];
        if (key > entry)
            lo = mid + 1;
        else if (key < entry)
            hi = mid - 1;
        else {
            lo = mid;
            break;
        }
    }
    index = lo;
    return table[static_cast<size_t>(lo)] == key;
}

bool Convert_Code(uint16_t& code, int mode)
{
    if (code == 0)
        return false;
    const int lead = code >> 8, trail = code & 0xFF;
    if (mode != ccJohabToWansung) {
        if (lead >= 0xA1 && lead <= 0xFE && trail >= 0xA1 && trail <= 0xFE) {
            const uint16_t johab = WansungTable()[static_cast<size_t>((lead - 0xA1) * 94 + (trail - 0xA1))];
            if (johab != kNoJohab)
                code = johab;
            return true;
        }
        const auto& ext = ExtendedSyllables().ByCp949;
        const auto it = std::lower_bound(ext.begin(), ext.end(), std::make_pair(code, uint16_t(0)));
        if (it != ext.end() && it->first == code)
            code = it->second;
        return true;
    }

    int lo = 0, hi = 0;
    if (lead >= 0x88 && lead <= 0xD3) {
        lo = kSyllableFirst;
        hi = kSyllableLast;
    } else if (lead >= 0xD9 && lead <= 0xDE) {
        lo = kSymbolFirst;
        hi = kSymbolLast;
    } else if (lead >= 0xE0 && lead <= 0xF9) {
        lo = kHanjaFirst;
        hi = kHanjaLast;
    }
    int n = 0;
    if (BinSearch(code, lo, hi, n)) {
        code = static_cast<uint16_t>(((n / 94 + 0xA1) << 8) | (n % 94 + 0xA1));
        return true;
    }
    if (lead == 0xD4 && trail >= 0x80) {
        static const std::array<uint16_t, 128> rowD4 = BuildRowD4Table();
        code = rowD4[static_cast<size_t>(trail - 0x80)];
        return true;
    }
    for (int j = 0; j < 51; ++j)
        if (kInitialJamo[j] == code) {
            code = static_cast<uint16_t>(0xA4A1 + j);
            return true;
        }
    if ((code | 0x87FF) == 0x87FF)
        for (int j = 0; j < 30; ++j)
            if (kFinalJamo[j] == code) {
                code = static_cast<uint16_t>(0xA4A1 + j);
                return true;
            }
    const auto& ext = ExtendedSyllables().ByJohab;
    const auto it = std::lower_bound(ext.begin(), ext.end(), code,
                                     [](const auto& e, uint16_t k) { return e.second < k; });
    if (it != ext.end() && it->second == code) {
        code = it->first;
        return true;
    }
    return false;
}

bool Is2ndHan(const std::string& text, int index)
{
    if (index <= 1 || static_cast<size_t>(index - 1) >= text.size())
        return false;
    bool trail = false;
    for (int i = 0; i < index - 1; ++i) {
        if (trail)
            trail = false;
        else
            trail = static_cast<unsigned char>(text[static_cast<size_t>(i)]) >= 0x80;
    }
    return trail;
}
