#pragma once
// Korean code conversion between Wansung (KS X 1001 in its EUC form, the editor's own code page
// 949 text) and Johab, for text files that the editor loads and saves; and the Hangul readings
// of the Hanja.
//
// Everything works on byte pairs: a byte of 0x80 or above is a lead byte and takes the byte after
// it as its trail byte; bytes below 0x80 stand alone. A 16-bit code holds the lead byte in its
// high byte.
//
// Besides the 2,350 syllables of KS X 1001, the 8,822 syllables that code page 949 adds are
// converted too (code page 949 <-> the Johab code of the same syllable), and a cell without a
// Johab counterpart is kept as it stands, so that loading a Johab file and saving it again gives
// back the same bytes.

#include <cstdint>
#include <string>
#include <vector>

class TStringList;

// Conversion directions of Convert_Text and Convert_Code.
constexpr int ccJohabToWansung = 1;
constexpr int ccWansungToJohab = 0;

// True when the text looks like Johab: the class of the last pair examined, where the walk stops
// at the 101st Johab-like or the 513th Wansung-like pair (false without double-byte pairs).
bool CheckCode(const std::string& text);

// Whether a loaded text is Johab, by its byte pairs (a byte of 0x80 or above with the byte after
// it; a lead byte in the last position is a pair that neither encoding defines):
// - a text that code page 949 does not define (it holds a pair that the code page lacks) but whose
//   every pair converts from Johab (Convert_Code) is Johab;
// - a text valid in both is code page 949 when at least half of its pairs are KS X 1001 codes
//   (both bytes in 0xA1..0xFE), else Johab;
// - a text valid in neither is Johab when CheckCode says so and every pair that does not convert
//   would be written back unchanged by the Wansung-to-Johab direction, so that loading and saving
//   keeps it; else it is code page 949.
// So a code page 949 text of mostly KS X 1001 characters is never taken for Johab, whichever
// characters it ends with.
bool IsJohabText(const std::string& text);

// Converts every line in place: Johab to Wansung when `toWansung`, else Wansung to Johab.
// False only when `lines` is null.
bool ConvertCode(TStringList* lines, bool toWansung);
bool ConvertCode(std::vector<std::string>* lines, bool toWansung);

// Converts one text (mode ccJohabToWansung or any other value for Wansung to Johab); a lead byte
// in the last position is left alone. Always true.
bool Convert_Text(std::string& text, int mode);

// Converts one character; false for code 0, and in the Johab direction when the code has no
// Wansung counterpart (the code then stays).
bool Convert_Code(uint16_t& code, int mode);

// Binary search of the Wansung-to-Johab table between the cell indexes lo and hi (inclusive);
// `index` receives where the search ended. True when the table holds `key` there.
bool BinSearch(uint16_t key, int lo, int hi, int& index);

// The Wansung-to-Johab table: the Johab code of cell (lead - 0xA1) * 94 + (trail - 0xA1), or
// 0x2020 for a cell without a Johab counterpart. `index` must lie in 0..8835.
uint16_t WansungToJohabCell(int index);

// Whether the byte at the 1-based `index` of `text` is the trail byte of a double-byte
// character; false for index 1 and for an index past the text.
bool Is2ndHan(const std::string& text, int index);

// ---- Hanja readings ----------------------------------------------------------------------------
// KS X 1001 orders its 4,888 Hanja (Wansung rows CA..FD, Johab leads E0..F9) by their Hangul
// reading; the Hanja index is a Hanja's place in that order, from 0.

// One run of the reading table: the Hanja indexes Start .. (the next record's Start) - 1 read as
// the syllable whose Johab code is Reading. The starts rise from 0; the last record (start 4888,
// reading 0x8F7B) only closes the run before it.
struct THanjaReading {
    uint16_t Reading;
    uint16_t Start;
};
constexpr int kHanjaReadingCount = 474;
extern const THanjaReading kHanjaReadings[kHanjaReadingCount];

// Replaces a Johab Hanja (lead 0xE0..0xF9, trail 0x31..0x7E or 0x91..0xFE) by the Johab code of
// its reading and answers true; any other pair is left as it stands and gives false.
bool hanja2hangul(unsigned char& lead, unsigned char& trail);

// Replaces every Hanja of the text by its Hangul reading, in Johab text (isJohab) or in Wansung
// text; every other byte and pair stays as it is, and the text keeps its length.
void convert_hanja2Han(std::string& text, bool isJohab);
void convert_hanja2HanJ(std::string& text);
void convert_hanja2HanW(std::string& text);

// hanja2hangul on two bytes of Johab text held as a 16-bit word in memory order, as a
// little-endian machine reads them: the low byte is the lead byte.
bool Hanja2Han(uint16_t& code);
