#include "editor/model/Odregexpunit.h"

#include "platform/core/Cp949.h"

#include <algorithm>

namespace odregexp {

namespace {

bool IsAsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The byte an escape stands for: "\t" is the tab, any other escaped byte is itself.
unsigned char EscapedByte(unsigned char c) { return c == 't' ? 9 : c; }

// `bytes` with both cases of every ASCII letter that is in it in either case.
std::bitset<256> FoldCase(const std::bitset<256>& bytes) {
    std::bitset<256> folded = bytes;
    for (unsigned c = 'A'; c <= 'Z'; ++c) {
        if (bytes[c] || bytes[c + 32]) {
            folded[c] = true;
            folded[c + 32] = true;
        }
    }
    return folded;
}

void AppendLiteral(TCompiledPattern& compiled, unsigned char b) {
    TRegElement e;
    e.Kind = rekByte;
    e.Bytes[b] = true;
    // The byte after an unstarred literal lead byte is that character's trail byte.
    if (!compiled.Elements.empty()) {
        const TRegElement& prev = compiled.Elements.back();
        if (prev.Kind == rekByte && !prev.Starred && !prev.Exact) {
            for (unsigned lead = 0x80; lead < 256; ++lead) {
                if (prev.Bytes[lead]) {
                    e.Exact = true;
                    break;
                }
            }
        }
    }
    compiled.Elements.push_back(e);
}

void MarkInvalid(TCompiledPattern& compiled) {
    compiled.Elements.clear();
    compiled.Valid = false;
}

// Fills in what each element accepts, so that searches need no preparation of their own.
void Finish(TCompiledPattern& compiled) {
    for (TRegElement& e : compiled.Elements) {
        compiled.HasStar = compiled.HasStar || e.Starred;
        switch (e.Kind) {
        case rekAny:
            e.AcceptExact.set();
            e.AcceptFolded.set();
            break;
        case rekByte:
        case rekSet:
            e.AcceptExact = e.Bytes;
            e.AcceptFolded = e.Exact ? e.Bytes : FoldCase(e.Bytes);
            break;
        case rekNotSet:
            e.AcceptExact = ~e.Bytes;
            e.AcceptFolded = ~FoldCase(e.Bytes);
            break;
        case rekTextStart:
        case rekTextEnd:
            break;
        }
        e.AcceptEither = e.AcceptExact | e.AcceptFolded;
    }
}

}  // namespace

void MakePattern(std::string_view Text, int Start, TCompiledPattern& Compiled) {
    Compiled.Clear();
    const size_t n = Text.size();
    const size_t first = static_cast<size_t>(std::max(Start, 1)) - 1;
    auto at = [&](size_t i) { return static_cast<unsigned char>(Text[i]); };

    size_t i = first;
    while (i < n) {
        const unsigned char c = at(i);
        if (c == '.') {
            TRegElement e;
            e.Kind = rekAny;
            Compiled.Elements.push_back(e);
            ++i;
        } else if (c == '^' && i == first) {
            TRegElement e;
            e.Kind = rekTextStart;
            Compiled.Elements.push_back(e);
            ++i;
        } else if (c == '$' && i == n - 1) {
            TRegElement e;
            e.Kind = rekTextEnd;
            Compiled.Elements.push_back(e);
            ++i;
        } else if (c == '[') {
            TRegElement e;
            e.Kind = rekSet;
            size_t j = i + 1;
            if (j < n && at(j) == '^') {
                e.Kind = rekNotSet;
                ++j;
            }
            bool closed = false;
            bool havePrev = false;
            unsigned char prev = 0;
            while (j < n) {
                unsigned char b = at(j);
                if (b == ']') {
                    closed = true;
                    ++j;
                    break;
                }
                if (b == '\\') {
                    b = j + 1 < n ? EscapedByte(at(j + 1)) : '\\';
                    j += j + 1 < n ? 2 : 1;
                } else if (b == '-' && havePrev && IsAsciiAlnum(prev) && j + 1 < n && IsAsciiAlnum(at(j + 1)) &&
                           prev <= at(j + 1)) {
                    const unsigned char last = at(j + 1);
                    for (unsigned r = prev + 1u; r <= last; ++r)
                        e.Bytes[r] = true;
                    prev = last;
                    j += 2;
                    continue;
                } else {
                    ++j;
                }
                e.Bytes[b] = true;
                prev = b;
                havePrev = true;
            }
            if (!closed) {
                // An unterminated set is dropped together with the rest of the expression. When
                // nothing is left, the pattern matches nothing: an empty one would match the empty
                // text everywhere.
                if (Compiled.Elements.empty()) {
                    MarkInvalid(Compiled);
                    return;
                }
                break;
            }
            Compiled.Elements.push_back(e);
            i = j;
        } else if (c == '*' && i > first) {
            if (Compiled.Elements.empty()) {
                MarkInvalid(Compiled);
                return;
            }
            TRegElement& last = Compiled.Elements.back();
            if (last.Kind == rekTextStart || last.Kind == rekTextEnd || last.Starred) {
                MarkInvalid(Compiled);
                return;
            }
            last.Starred = true;
            ++i;
        } else if (c == '\\') {
            if (i + 1 < n) {
                AppendLiteral(Compiled, EscapedByte(at(i + 1)));
                i += 2;
            } else {
                AppendLiteral(Compiled, '\\');
                ++i;
            }
        } else {
            AppendLiteral(Compiled, c);
            ++i;
        }
    }
    Finish(Compiled);
}

void MakePatternNoRegEx(std::string_view Text, int Start, TCompiledPattern& Compiled) {
    Compiled.Clear();
    for (size_t i = static_cast<size_t>(std::max(Start, 1)) - 1; i < Text.size(); ++i)
        AppendLiteral(Compiled, static_cast<unsigned char>(Text[i]));
    Finish(Compiled);
}

int Find(std::string_view S, int Start, const TCompiledPattern& Compiled, int& Len, bool CaseSensitive) {
    TPatternSearch search(S, 1, static_cast<int>(S.size()), Compiled, CaseSensitive);
    return search.Next(Start, Len);
}

TPatternSearch::TPatternSearch(std::string_view S, int First, int Last, const TCompiledPattern& Compiled,
                               bool CaseSensitive)
    : s_(S),
      size_(static_cast<int>(S.size())),
      first_(std::max(First, 1)),
      last_(std::min(Last, static_cast<int>(S.size()))),
      caseSensitive_(CaseSensitive),
      compiled_(Compiled),
      elements_(Compiled.Elements) {}

// Tells lead and trail bytes apart, reading from the first byte of S up to the byte after the
// window.
void TPatternSearch::ParseCharacters() {
    parsed_ = true;
    trail_.assign(static_cast<size_t>(size_) + 2, 0);
    const int scanTo = std::min(size_, std::max(last_, 0) + 1);
    for (int p = 1; p <= scanTo;) {
        if (IsDbcsLeadByte(static_cast<unsigned char>(s_[static_cast<size_t>(p - 1)])) && p < size_) {
            trail_[static_cast<size_t>(p + 1)] = 1;
            p += 2;
        } else {
            ++p;
        }
    }
}

// A necessary condition for a match starting at or after `from`: the elements that must consume a
// byte (the unstarred ones) find bytes they accept at increasing positions within the window.
bool TPatternSearch::CanMatchFrom(int from) const {
    int p = from;
    for (const TRegElement& e : elements_) {
        if (e.Starred || e.Kind == rekTextStart || e.Kind == rekTextEnd)
            continue;
        while (p <= last_ && !e.AcceptEither[static_cast<unsigned char>(s_[static_cast<size_t>(p - 1)])])
            ++p;
        if (p > last_)
            return false;
        ++p;
    }
    return true;
}

// The end of the match at p for a pattern without stars (one candidate per start), or 0.
int TPatternSearch::MatchAt(int p) const {
    int q = p;
    for (size_t j = 0; j < elements_.size(); ++j) {
        switch (elements_[j].Kind) {
        case rekTextStart:
            if (q != first_ || q > last_)
                return 0;
            break;
        case rekTextEnd:
            if (q != last_ + 1)
                return 0;
            break;
        default:
            if (q > last_ || !Matches(j, q))
                return 0;
            ++q;
            break;
        }
    }
    return IsBoundary(q) ? q : 0;
}

// Computes, for every start p in from..last_ + 1, where the preferred match starting at p ends.
//
// Working from the last element to the first, end[j][p] is the end of the preferred match of
// elements j.. from position p (0: none). A starred element at p may take any count of bytes up to
// the run r of matching bytes from p, and prefers the largest count whose continuation matches:
// end[j][p] = end[j+1][q] for the largest q in p..p+r with end[j+1][q] != 0. All starts inside one
// run share the run's end, so sweeping p right to left carries that choice along in O(1) per
// position. The final end must lie on a character boundary.
void TPatternSearch::BuildEnds(int from) {
    const int count = last_ + 2 - from;
    std::vector<int> next(static_cast<size_t>(count));
    std::vector<int> cur(static_cast<size_t>(count));
    for (int p = from; p <= last_ + 1; ++p)
        next[static_cast<size_t>(p - from)] = IsBoundary(p) ? p : 0;

    for (size_t j = elements_.size(); j-- > 0;) {
        const TRegElement& e = elements_[j];
        if (e.Kind == rekTextStart) {
            for (int p = from; p <= last_ + 1; ++p)
                cur[static_cast<size_t>(p - from)] =
                    p == first_ && p <= last_ ? next[static_cast<size_t>(p - from)] : 0;
        } else if (e.Kind == rekTextEnd) {
            for (int p = from; p <= last_ + 1; ++p)
                cur[static_cast<size_t>(p - from)] = p == last_ + 1 ? next[static_cast<size_t>(p - from)] : 0;
        } else if (!e.Starred) {
            for (int p = from; p <= last_ + 1; ++p)
                cur[static_cast<size_t>(p - from)] =
                    p <= last_ && Matches(j, p) ? next[static_cast<size_t>(p + 1 - from)] : 0;
        } else {
            int best = 0;
            for (int p = last_ + 1; p >= from; --p) {
                const int here = next[static_cast<size_t>(p - from)];
                if (p > last_ || !Matches(j, p) || best == 0)
                    best = here;
                cur[static_cast<size_t>(p - from)] = best;
            }
        }
        next.swap(cur);
    }
    ends_.swap(next);
    endsFrom_ = from;
}

// One left-to-right pass over the window with every element but the final "$": at each position
// p, best[j] is the smallest start from which elements 0..j-1 can match S[start..p-1] (0: none).
// Two threads in the same element at the same position have the same future, so keeping the
// smaller start is enough. A starred element may be skipped (best[j + 1] takes best[j]) or take
// the byte at p and stay; "^" may be passed only at First.
void TPatternSearch::BuildEndStarts() {
    if (!parsed_)
        ParseCharacters();
    const size_t core = elements_.empty() ? 0 : elements_.size() - 1;
    endStarts_.assign(static_cast<size_t>(std::max(last_ + 2 - first_, 1)), 0);
    std::vector<int> best(core + 1, 0);
    std::vector<int> next(core + 1, 0);
    auto keep = [](int& slot, int start) {
        if (start && (slot == 0 || start < slot))
            slot = start;
    };
    for (int p = first_; p <= last_ + 1; ++p) {
        if (p <= last_ && IsBoundary(p))
            keep(best[0], p);
        for (size_t j = 0; j < core; ++j) {
            const TRegElement& e = elements_[j];
            if (e.Starred || (e.Kind == rekTextStart && p == first_ && p <= last_))
                keep(best[j + 1], best[j]);
        }
        if (IsBoundary(p))
            endStarts_[static_cast<size_t>(p - first_)] = best[core];
        if (p > last_)
            break;
        std::fill(next.begin(), next.end(), 0);
        for (size_t j = 0; j < core; ++j) {
            const TRegElement& e = elements_[j];
            if (best[j] == 0 || e.Kind == rekTextStart || e.Kind == rekTextEnd || !Matches(j, p))
                continue;
            keep(next[e.Starred ? j : j + 1], best[j]);
        }
        best.swap(next);
    }
}

int TPatternSearch::StartOfMatchEndingAt(int End) {
    if (!compiled_.Valid || elements_.empty() || elements_.back().Kind != rekTextEnd)
        return 0;
    if (endStarts_.empty())
        BuildEndStarts();
    if (End <= first_ || End > last_ + 1)
        return 0;
    const int start = endStarts_[static_cast<size_t>(End - first_)];
    return start != 0 && start < End ? start : 0;
}

int TPatternSearch::Next(int From, int& Len) {
    Len = 0;
    const int from = std::max(From, first_);
    if (!compiled_.Valid || from > last_ || (hopelessFrom_ && from >= hopelessFrom_))
        return 0;
    if (!CanMatchFrom(from)) {
        hopelessFrom_ = hopelessFrom_ ? std::min(hopelessFrom_, from) : from;
        return 0;
    }
    if (!parsed_)
        ParseCharacters();

    if (!compiled_.HasStar) {
        // Cheap rejection by the first consuming element before the full test at a start.
        const TRegElement* lead = nullptr;
        if (!elements_.empty() && elements_[0].Kind != rekTextStart && elements_[0].Kind != rekTextEnd)
            lead = &elements_[0];
        for (int p = from; p <= last_; ++p) {
            if (lead && !lead->AcceptEither[static_cast<unsigned char>(s_[static_cast<size_t>(p - 1)])])
                continue;
            if (!IsBoundary(p))
                continue;
            const int end = MatchAt(p);
            if (end) {
                Len = end - p;
                return p;
            }
        }
        return 0;
    }
    if (ends_.empty() || from < endsFrom_)
        BuildEnds(from);
    for (int p = from; p <= last_; ++p) {
        const int end = ends_[static_cast<size_t>(p - endsFrom_)];
        if (end && IsBoundary(p)) {
            Len = end - p;
            return p;
        }
    }
    return 0;
}

}  // namespace odregexp
