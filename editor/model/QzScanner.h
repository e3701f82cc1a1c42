#pragma once
// A byte reader over a stream that it does not own, for the line-based files of the editor family
// (code templates). Constructing it rewinds the stream to position 0. Positions are stream
// positions in bytes.

#include "controls/common/QzString.h"

#include <cstdint>
#include <istream>
#include <string>

class TQzScanner {
public:
    // `stream` may be null: the scanner is then at its end and reads nothing.
    explicit TQzScanner(std::istream* stream);

    // One byte; 0 when nothing is left.
    unsigned char GetChar();
    // Moves the position `n` bytes back (not before the start).
    void GoBack(int64_t n);
    // True without a stream or when the position has reached the stream's size.
    bool QzEOF();
    int64_t Position();

    // Reads up to the first byte that is in `set` or to the end; every byte read that is not in
    // `set` is in the result. The stop byte is appended when `include`; otherwise the position is
    // left before it.
    std::string ReadStringUntil(const TCharSet& set, bool include);
    // The same, reading while the bytes are in `set`.
    std::string ReadStringWhile(const TCharSet& set, bool include);
    // Advances to the next byte that is in `set`, leaving the position before it (or at the end).
    void SkipOver(const TCharSet& set);
    // SkipOver with tab, LF, CR and blank: advances to the next white-space byte.
    void SkipWhiteSpace();

private:
    std::string ReadString(const TCharSet& set, bool include, bool stopInSet);

    std::istream* stream_;
    int64_t size_ = 0;
};
