// The search's pattern compiler and matcher on outside bytes, checked against a plain
// backtracking matcher over the compiled elements.
//
// Input: one byte of flags (bit 0 case-sensitive, bit 1 literal text, the upper bits a start
// position), the search text up to the first NUL, the text to search after it.

#include "tests/fuzz/FuzzSupport.h"

#include "editor/model/Odregexpunit.h"

#include <vector>

using namespace odregexp;

namespace {

// The reference: the first start (never a trail byte) at or after `start` from which the elements
// match, stars greedy and giving back one byte at a time, the end never right after a lead byte.
class TReference {
public:
    TReference(std::string_view s, const TCompiledPattern& c, bool caseSensitive)
        : s_(s), size_(static_cast<int>(s.size())), e_(c.Elements), cs_(caseSensitive),
          trail_(s.size() + 2, 0), memo_((e_.size() + 1) * (s.size() + 2), -1) {
        for (int p = 1; p <= size_; ++p)
            if (static_cast<unsigned char>(s_[static_cast<size_t>(p - 1)]) >= 0x80 && p < size_) trail_[static_cast<size_t>(++p)] = 1;
    }

    bool Trail(int p) const { return p <= size_ && trail_[static_cast<size_t>(p)]; }

    int Find(int start, int& len) {
        for (int p = start < 1 ? 1 : start; p <= size_; ++p) {
            if (Trail(p)) continue;
            const int end = Match(0, p);
            if (end > 0) {
                len = end - p;
                return p;
            }
        }
        len = 0;
        return 0;
    }

private:
    bool Accepts(const TRegElement& e, int p) const {
        const unsigned char c = static_cast<unsigned char>(s_[static_cast<size_t>(p - 1)]);
        return cs_ || Trail(p) ? e.AcceptExact[c] : e.AcceptFolded[c];
    }

    // The end (one past the match) of elements i.. matched from p, or 0.
    int Match(size_t i, int p) {
        int& memo = memo_[i * (s_.size() + 2) + static_cast<size_t>(p)];
        if (memo >= 0) return memo;
        int r = 0;
        if (i == e_.size()) {
            r = Trail(p) ? 0 : p;
        } else if (e_[i].Kind == rekTextStart) {
            r = p == 1 ? Match(i + 1, p) : 0;
        } else if (e_[i].Kind == rekTextEnd) {
            r = p == size_ + 1 ? Match(i + 1, p) : 0;
        } else if (!e_[i].Starred) {
            r = p <= size_ && Accepts(e_[i], p) ? Match(i + 1, p + 1) : 0;
        } else {
            int q = p;
            while (q <= size_ && Accepts(e_[i], q)) ++q;
            for (; q >= p && r == 0; --q) r = Match(i + 1, q);
        }
        memo = r;
        return r;
    }

    std::string_view s_;
    int size_;
    const std::vector<TRegElement>& e_;
    bool cs_;
    std::vector<unsigned char> trail_;
    std::vector<int> memo_;
};

bool SameByte(unsigned char a, unsigned char b, bool fold) {
    auto up = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };
    return a == b || (fold && up(a) == up(b));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 4096) return 0;
    const bool caseSensitive = data[0] & 1;
    const bool literal = data[0] & 2;
    const int start = data[0] >> 2;
    std::string_view pattern, text;
    fuzz::Split(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1), '\0', pattern, text);

    TCompiledPattern compiled;
    if (literal)
        MakePatternNoRegEx(pattern, 1, compiled);
    else
        MakePattern(pattern, 1, compiled);

    int len = -1;
    const int pos = Find(text, start, compiled, len, caseSensitive);
    fuzz::Check(pos >= 0 && len >= 0, "a negative position or length");
    fuzz::Check(pos > 0 || len == 0, "no match with a length");
    if (pos > 0) {
        fuzz::Check(pos >= start && static_cast<size_t>(pos - 1 + len) <= text.size(), "the match lies outside the text");
        fuzz::Check(compiled.Valid, "an invalid pattern matched");
    }

    int refLen = 0;
    const int refPos = compiled.Valid ? TReference(text, compiled, caseSensitive).Find(start, refLen) : 0;
    fuzz::Check(pos == refPos && len == refLen, "the matcher and the backtracking reference differ");

    if (!text.empty()) {
        TPatternSearch search(text, 1, static_cast<int>(text.size()), compiled, caseSensitive);
        int nextLen = -1;
        const int next = search.Next(start, nextLen);
        fuzz::Check(next == pos && nextLen == len, "a window over the whole text differs from Find");
    }

    if (literal && pos > 0) {
        fuzz::Check(static_cast<size_t>(len) == pattern.size(), "a literal match has another length");
        TReference ref(text, compiled, caseSensitive);
        for (int i = 0; i < len; ++i)
            fuzz::Check(SameByte(static_cast<unsigned char>(text[static_cast<size_t>(pos - 1 + i)]),
                                 static_cast<unsigned char>(pattern[static_cast<size_t>(i)]),
                                 !caseSensitive && !ref.Trail(pos + i)),
                        "a literal match differs from the search text");
    }
    return 0;
}
