#pragma once
// Korean code conversion between Wansung (KS X 1001 in its EUC form, the editor's own code page
// 949 text) and Johab, for text files that the editor loads and saves.
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
