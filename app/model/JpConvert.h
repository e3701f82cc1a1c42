#pragma once
// Conversion of a text between Hangul and the two Japanese kana scripts, character by character,
// through a fixed table of 101 corresponding syllables, and the conversion between code page 949
// (Wansung with the extended syllables) and Johab that the splitting of a syllable works on.
//
// Every text is code page 949 bytes: a byte >= 0x80 starts a two-byte character.

#include <cstddef>
#include <cstdint>
#include <string>

// The conversion modes, in the order of the dialog's choices.
enum TJpConvertMode {
    jcmKanaToHangul = 0,     // Hiragana and Katakana -> Hangul
    jcmHangulToHiragana = 1,
    jcmHangulToKatakana = 2,
    jcmKatakanaToHiragana = 3,
    jcmHiraganaToKatakana = 4,
};

// The rows of the syllable table: the characters at one index correspond.
enum TJpRow { jrHangul = 0, jrHiragana = 1, jrKatakana = 2 };
constexpr int kJpSyllableCount = 101;

// Entry `index` (0..100) of a row, as a two-byte string.
std::string JpSyllable(int row, int index);
// Index of the first entry of the row equal to the character's two bytes; -1 when none (a
// character that is not two bytes long is never found).
int FindSyllable(const std::string& ch, int row);

// The text converted in the mode; a mode outside 0..4 gives the text unchanged. Bytes below 0x80
// and characters the mode does not look up, or that the table does not hold, are copied.
std::string JpConvertText(const std::string& text, int mode);

// A Hangul syllable split for the kana conversion.
struct TKanaSplit {
    std::string Syllable;    // the simplified syllable (code page 949); two blanks when unmappable
    std::string SmallVowel;  // the compatibility jamo of a small kana vowel, or empty
    uint16_t Final = 0;      // Johab code of the lone final (0x8442..0x845D), 0 when none
};
// Splits a two-byte code page 949 character: the final is taken off, tense initials become
// aspirated, the medials ㅐ and ㅓ become ㅔ and ㅏ, and a medial ㅑ ㅛ ㅠ (after an initial other
// than ㅇ) or ㅘ ㅝ ㅞ ㅟ gives up a small vowel. A character outside the Johab Hangul area is
// returned unchanged in Syllable. True when a small vowel was produced.
bool SplitHangulToKana(const std::string& ch, TKanaSplit& out);

// The two Korean encodings of ConvertHangulCode.
enum THangulCode { hcWansung, hcJohab };
// Converts every two-byte character of buffer[0, length) in place between code page 949 and
// Johab, by the standard correspondence: all 11,172 Hangul syllables, the compatibility jamo and
// the symbol and Hanja rows of KS X 1001. A character that cannot be mapped becomes two blanks;
// a lead byte in the last position is left alone. Equal codes change nothing.
void ConvertHangulCode(THangulCode from, THangulCode to, char* buffer, size_t length);
// One character, as a 16-bit code (lead byte high); 0 when it cannot be mapped.
uint16_t WansungToJohab(uint16_t code);
uint16_t JohabToWansung(uint16_t code);
