#pragma once
// A search result as the tests compare it: the 1-based position and the length of a match.

#include <ostream>

struct Hit {
    int Pos;
    int Len;
    bool operator==(const Hit& o) const { return Pos == o.Pos && Len == o.Len; }
};

inline std::ostream& operator<<(std::ostream& os, const Hit& h) { return os << "{" << h.Pos << ", " << h.Len << "}"; }
