#pragma once
// A large SAMI file in code page 949 for the document benchmarks: `captions` SYNC entries with
// multi-line captions, FONT COLOR tags, "&nbsp;" blanks and extended Hangul syllables (trail
// bytes in the ASCII letter range). The same count always gives the same bytes.

#include <string>

std::string MakeLargeSami(int captions);
