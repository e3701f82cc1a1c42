#pragma once
// Code page 949 (Unified Hangul Code) byte strings and the one conversion to and from UTF-8.
//
// Every caption text, editor line, message and INI value is held as code page 949 bytes in a
// std::string. A byte >= 0x80 is a lead byte and the byte after it its trail byte. Conversion to
// UTF-8 happens only at the display boundary (platform/gui) and for Korean literals written in the
// source (Cp949 below); both directions are tolerant: they never throw and never truncate.

#include <string>
#include <string_view>

// True for a lead byte of a double-byte character (compare as unsigned char).
inline bool IsDbcsLeadByte(unsigned char c) { return c >= 0x80; }

// UTF-8 -> code page 949. A character that code page 949 cannot hold becomes '?'; a malformed
// UTF-8 sequence becomes '?' per bad byte.
std::string Cp949FromUtf8(std::string_view utf8);

// Code page 949 -> UTF-8. A byte sequence that is not valid code page 949 (an unassigned pair, a
// lead byte at the very end) becomes U+FFFD per bad byte; the rest converts.
std::string Cp949ToUtf8(std::string_view cp949);

// A Korean literal written in UTF-8 in the source, as code page 949 bytes: Cp949("메시지").
inline std::string Cp949(std::string_view utf8) { return Cp949FromUtf8(utf8); }

// True when the converter reads every byte of `text` as code page 949: no unassigned pair, no lone
// lead byte. ASCII text is code page 949 text.
bool IsCp949Text(std::string_view text);

// True when `text` is well-formed UTF-8 (no overlong form, no surrogate, nothing past U+10FFFF)
// and holds at least one multi-byte sequence.
bool IsUtf8WithMultiByte(std::string_view text);
