#pragma once
// Character boundaries of code page 949 text. A byte >= 0x80 starts a double-byte character and
// the byte after it is its trail byte, whatever that byte's value; so whether a byte is a trail
// byte depends on the bytes before it, and these helpers scan from the start of the line.

#include <string_view>

// True when the byte at 0-based `index` is the second byte of a double-byte character.
inline bool QzIsTrailAt(std::string_view s, int index)
{
    if (index <= 0 || index >= static_cast<int>(s.size())) return false;
    int i = 0;
    while (i < index) i += static_cast<unsigned char>(s[static_cast<size_t>(i)]) >= 0x80 ? 2 : 1;
    return i == index + 1;
}

// True when the byte at 0-based `index` starts a double-byte character.
inline bool QzIsLeadAt(std::string_view s, int index)
{
    if (index < 0 || index >= static_cast<int>(s.size())) return false;
    return static_cast<unsigned char>(s[static_cast<size_t>(index)]) >= 0x80 && !QzIsTrailAt(s, index);
}

// The column moved right off a trail byte (block edges never split a character).
inline int QzAdjustEdge(std::string_view s, int column)
{
    return QzIsTrailAt(s, column) ? column + 1 : column;
}

// Width in bytes of the character starting at `index` (1 or 2, bounded by the text).
inline int QzCharWidthAt(std::string_view s, int index)
{
    if (index < 0 || index >= static_cast<int>(s.size())) return 1;
    return (static_cast<unsigned char>(s[static_cast<size_t>(index)]) >= 0x80 &&
            index + 1 < static_cast<int>(s.size()))
               ? 2
               : 1;
}
