#pragma once
// The one conversion between code page 949 byte strings and Qt's UTF-16 strings. Tolerant: a
// byte sequence that is not code page 949 becomes U+FFFD per bad byte, a character that code
// page 949 cannot hold becomes '?'; nothing throws and nothing is truncated.
#include <QString>
#include <string>
#include <string_view>

QString Cp949ToQString(std::string_view cp949);
std::string QStringToCp949(const QString& text);

// The Unicode character of one code page 949 character: a single byte below 0x80, or the pair
// (lead, trail). Returns 0 when the pair is not a code page 949 character. Results are cached.
char16_t Cp949CharToUnicode(unsigned char lead, unsigned char trail);

// The number of bytes of the character that starts at `i` (1 or 2; a lead byte at the very end,
// or one whose pair is not a character, counts as 1).
int Cp949CharLength(std::string_view text, size_t i);

// File paths are native UTF-8 bytes.
inline QString PathToQString(const std::string& path) { return QString::fromUtf8(path.data(), static_cast<int>(path.size())); }
inline std::string QStringToPath(const QString& path) { return path.toUtf8().toStdString(); }
