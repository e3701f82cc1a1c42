// Hanja to Hangul: the reading of a Hanja is found by its index among the Hanja of KS X 1001 in
// the run table of CodeconvHanjaReadings.cpp.

#include "editor/model/Codeconv.h"

bool hanja2hangul(unsigned char& lead, unsigned char& trail)
{
    if (lead < 0xE0 || lead > 0xF9)
        return false;
    // Each Johab Hanja lead holds 188 cells: trails 0x31..0x7E, then 0x91..0xFE.
    int cell;
    if (trail >= 0x31 && trail <= 0x7E)
        cell = trail - 0x31;
    else if (trail >= 0x91 && trail <= 0xFE)
        cell = trail - 0x43;
    else
        return false;
    const int index = (lead - 0xE0) * 188 + cell;
    int lo = 0, hi = kHanjaReadingCount - 2;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        if (index < kHanjaReadings[mid].Start) {
            hi = mid - 1;
        } else if (index >= kHanjaReadings[mid + 1].Start) {
            lo = mid + 1;
        } else {
            lead = static_cast<unsigned char>(kHanjaReadings[mid].Reading >> 8);
            trail = static_cast<unsigned char>(kHanjaReadings[mid].Reading & 0xFF);
            return true;
        }
    }
    return false;
}

void convert_hanja2Han(std::string& text, bool isJohab)
{
    const size_t n = text.size();
    for (size_t i = 0; i + 1 < n; ++i) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80)
            continue;
        unsigned char trail = static_cast<unsigned char>(text[i + 1]);
        if (isJohab) {
            hanja2hangul(lead, trail);
        } else {
            // Only a Hanja is written back: a round trip through Johab would turn some other
            // pairs (cells without a counterpart, the row D4 codes) into different characters.
            uint16_t code = static_cast<uint16_t>((lead << 8) | trail);
            Convert_Code(code, ccWansungToJohab);
            unsigned char jl = static_cast<unsigned char>(code >> 8);
            unsigned char jt = static_cast<unsigned char>(code & 0xFF);
            if (lead >= 0xCA && lead <= 0xFD && hanja2hangul(jl, jt)) {
                code = static_cast<uint16_t>((jl << 8) | jt);
                Convert_Code(code, ccJohabToWansung);
                lead = static_cast<unsigned char>(code >> 8);
                trail = static_cast<unsigned char>(code & 0xFF);
            }
        }
        text[i] = static_cast<char>(lead);
        text[i + 1] = static_cast<char>(trail);
        ++i;
    }
}

void convert_hanja2HanJ(std::string& text)
{
    convert_hanja2Han(text, true);
}

void convert_hanja2HanW(std::string& text)
{
    convert_hanja2Han(text, false);
}

bool Hanja2Han(uint16_t& code)
{
    unsigned char lead = static_cast<unsigned char>(code & 0xFF);
    unsigned char trail = static_cast<unsigned char>(code >> 8);
    const bool found = hanja2hangul(lead, trail);
    code = static_cast<uint16_t>(lead | (trail << 8));
    return found;
}
