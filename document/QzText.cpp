#include "document/QzText.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "document/BlockRemoval.h"
#include "document/QzBuf.h"
#include "platform/core/FileUtils.h"
#include "platform/core/StringList.h"

namespace {

inline unsigned char Fold(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

inline bool IsBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// True when `pattern` matches `text` at `pos` ignoring case; the caller guarantees the room.
inline bool MatchAt(const char* text, const char* pattern, size_t len) {
    for (size_t i = 0; i < len; ++i)
        if (Fold(static_cast<unsigned char>(text[i])) != Fold(static_cast<unsigned char>(pattern[i])))
            return false;
    return true;
}

// The replacement pass of ReplaceText: appends the result to `out`; returns the number of matches.
size_t ReplacePass(std::string_view s, std::string_view find, std::string_view replacement, bool all,
                   std::string& out) {
    size_t count = 0;
    size_t i = 0;
    const size_t n = s.size(), m = find.size();
    out.reserve(out.size() + s.size());
    while (i < n) {
        size_t p = (all || count == 0) ? FindTextPos(s, find, i) : std::string_view::npos;
        if (p == std::string_view::npos) {
            out.append(s.data() + i, n - i);
            break;
        }
        out.append(s.data() + i, p - i);
        out.append(replacement.data(), replacement.size());
        i = p + m;
        ++count;
    }
    return count;
}

std::string TakeMarker(std::string_view marker, int length) {
    if (length >= 0 && static_cast<size_t>(length) < marker.size()) marker = marker.substr(0, static_cast<size_t>(length));
    return std::string(marker);
}

// Offset of the first block at or after `from` and its length; false when there is none.
bool FindBlock(std::string_view s, std::string_view start, std::string_view end, size_t from,
               size_t& pos, size_t& len) {
    if (start.empty()) return false;
    size_t p = FindTextPos(s, start, from);
    if (p == std::string_view::npos) return false;
    size_t e = FindTextPos(s, end, p + start.size());
    if (e == std::string_view::npos) return false;
    pos = p;
    len = e + end.size() - p;
    return len > 0;
}

TMainFormGeometryHook& GeometryHook() {
    static TMainFormGeometryHook hook;
    return hook;
}

}  // namespace

// ---- Replacing and finding -------------------------------------------------------------------

size_t FindTextPos(std::string_view text, std::string_view pattern, size_t from) {
    const size_t n = text.size(), m = pattern.size();
    if (m == 0) return from <= n ? from : std::string_view::npos;
    if (m > n || from > n - m) return std::string_view::npos;
    const char* base = text.data();
    const char* p = base + from;
    const char* last = base + (n - m);  // the last position a match can start at
    const unsigned char first = Fold(static_cast<unsigned char>(pattern[0]));
    if (first >= 'A' && first <= 'Z') {
        for (; p <= last; ++p)
            if (Fold(static_cast<unsigned char>(*p)) == first && MatchAt(p + 1, pattern.data() + 1, m - 1))
                return static_cast<size_t>(p - base);
        return std::string_view::npos;
    }
    while (p <= last) {
        p = static_cast<const char*>(std::memchr(p, pattern[0], static_cast<size_t>(last - p) + 1));
        if (p == nullptr) return std::string_view::npos;
        if (MatchAt(p + 1, pattern.data() + 1, m - 1)) return static_cast<size_t>(p - base);
        ++p;
    }
    return std::string_view::npos;
}

const char* FindText(const char* text, const char* pattern, int patternLength) {
    if (text == nullptr || pattern == nullptr) return nullptr;
    std::string_view t(text);
    std::string_view p(pattern);
    if (patternLength >= 0 && static_cast<size_t>(patternLength) < p.size()) p = p.substr(0, static_cast<size_t>(patternLength));
    size_t pos = FindTextPos(t, p, 0);
    return pos == std::string_view::npos ? nullptr : text + pos;
}

char* FindText(char* text, const char* pattern, int patternLength) {
    return const_cast<char*>(FindText(static_cast<const char*>(text), pattern, patternLength));
}

size_t ReplaceInString(std::string& s, std::string_view find, std::string_view replacement, bool all,
                       size_t from) {
    if (find.empty() || from >= s.size()) return 0;
    if (replacement.size() > find.size()) {
        std::string out(s, 0, from);
        size_t count = ReplacePass(std::string_view(s).substr(from), find, replacement, all, out);
        if (count > 0) s.swap(out);
        return count;
    }
    const size_t m = find.size();
    size_t read = from, write = from, count = 0;
    while (read < s.size()) {
        size_t p = (all || count == 0) ? FindTextPos(s, find, read) : std::string::npos;
        size_t stop = p == std::string::npos ? s.size() : p;
        if (write != read) std::memmove(&s[write], &s[read], stop - read);
        write += stop - read;
        read = stop;
        if (p == std::string::npos) break;
        if (!replacement.empty()) std::memcpy(&s[write], replacement.data(), replacement.size());
        write += replacement.size();
        read += m;
        ++count;
    }
    s.resize(write);
    return count;
}

std::string ReplaceText(std::string_view s, std::string_view find, std::string_view replacement,
                        bool all) {
    if (find.empty()) return std::string(s);
    std::string out;
    ReplacePass(s, find, replacement, all, out);
    return out;
}

std::string ReplaceAll(std::string_view s, std::string_view find, std::string_view replacement) {
    if (find.empty()) return std::string(s);
    std::string out;
    out.reserve(s.size());
    const size_t n = s.size(), m = find.size();
    size_t i = 0, copied = 0;  // text from `copied` to i is copied when a match or the end comes
    while (i < n) {
        if (i + m <= n && MatchAt(s.data() + i, find.data(), m)) {
            out.append(s.data() + copied, i - copied);
            out.append(replacement.data(), replacement.size());
            i += m;
            copied = i;
            continue;
        }
        // Step over a whole character, so no match begins at a trail byte.
        i += (static_cast<unsigned char>(s[i]) >= 0x80 && i + 1 < n) ? 2 : 1;
    }
    out.append(s.data() + copied, n - copied);
    return out;
}

int ReplaceInBuffer(TQzBuf& buf, std::string_view find, std::string_view replacement, bool all) {
    if (find.empty()) return 0;
    std::string_view text = buf.Text() ? std::string_view(buf.Text()) : std::string_view();
    std::string out = ReplaceText(text, find, replacement, all);
    buf.Assign(out);
    return 1;
}

int ReplaceInPlace(char* text, std::string_view find, std::string_view replacement, bool all) {
    if (text == nullptr || find.empty() || find.size() < replacement.size()) return 0;
    std::string_view src(text);
    const size_t m = find.size();
    size_t read = 0, write = 0;
    bool replaced = false;
    while (read < src.size()) {
        size_t p = (all || !replaced) ? FindTextPos(src, find, read) : std::string_view::npos;
        size_t stop = p == std::string_view::npos ? src.size() : p;
        if (write != read) std::memmove(text + write, text + read, stop - read);
        write += stop - read;
        read = stop;
        if (p == std::string_view::npos) break;
        std::memcpy(text + write, replacement.data(), replacement.size());
        write += replacement.size();
        read += m;
        replaced = true;
    }
    text[write] = '\0';
    return replaced ? 1 : 0;
}

// ---- Single bytes and trimming ---------------------------------------------------------------

void RemoveChar(char* text, char c) {
    if (text == nullptr || c == '\0') return;
    char* w = text;
    for (char* r = text; *r; ++r)
        if (*r != c) *w++ = *r;
    *w = '\0';
}

std::string RemoveCharStr(std::string_view s, char c) {
    std::string out;
    out.reserve(s.size());
    for (char ch : s)
        if (ch != c) out += ch;
    return out;
}

void ReplaceChar(char* text, char from, char to) {
    if (text == nullptr || from == '\0') return;
    for (char* p = text; *p; ++p)
        if (*p == from) *p = to;
}

std::string KeepDigits(std::string_view s) {
    std::string out;
    for (char c : s)
        if ((c >= '0' && c <= '9') || c == '-') out += c;
    return out;
}

int TrimRightInPlace(char* text) {
    if (text == nullptr) return 0;
    size_t n = std::strlen(text);
    while (n > 0 && IsBlank(static_cast<unsigned char>(text[n - 1]))) --n;
    text[n] = '\0';
    return static_cast<int>(n);
}

const char* SkipBlanks(const char* text) {
    if (text == nullptr) return nullptr;
    while (*text && IsBlank(static_cast<unsigned char>(*text))) ++text;
    return text;
}

std::string TrimBlanks(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && IsBlank(static_cast<unsigned char>(s[e - 1]))) --e;
    return std::string(s.substr(b, e - b));
}

std::string TrimBlanksRight(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && IsBlank(static_cast<unsigned char>(s[e - 1]))) --e;
    return std::string(s.substr(0, e));
}

std::string StripTrailingBackslash(std::string_view path) {
    if (!path.empty() && path.back() == '/') path.remove_suffix(1);
    return std::string(path);
}

// ---- Double-byte text and caption lines ------------------------------------------------------

int DbcsByteType(std::string_view text, int index) {
    if (index < 0 || static_cast<size_t>(index) >= text.size()) return -1;
    size_t i = 0, target = static_cast<size_t>(index);
    while (i < target) i += static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1;
    if (i == target) return static_cast<unsigned char>(text[i]) >= 0x80 ? 1 : 0;
    return 2;
}

int TagSkipOffset(std::string_view text, int n) {
    if (n < 1) return 0;
    size_t i = 0, counted = 0;
    const size_t len = text.size();
    while (i < len && counted < static_cast<size_t>(n)) {
        if (text[i] == '<') {
            size_t close = text.find('>', i + 1);
            i = close == std::string_view::npos ? len : close + 1;
            continue;
        }
        ++i;
        ++counted;
    }
    return static_cast<int>(i);
}

int FindLineBreak(std::string_view s, int columns, bool hard) {
    const size_t len = s.size();
    if (columns <= 0 || len <= static_cast<size_t>(columns)) return 0;
    int n = TagSkipOffset(s, columns);
    if (n <= 0 || len <= static_cast<size_t>(n)) return 0;
    if (hard) {
        if (DbcsByteType(s, n) == 2) n -= 1;
        return n;
    }
    long k = 0;
    size_t b = 0, i = 0;
    while (i < len) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '<') {
            size_t close = s.find('>', i + 1);
            i = close == std::string_view::npos ? i + 1 : close + 1;
        } else if (c == ' ') {
            if (k == columns) return static_cast<int>(i);
            if (k > columns) return static_cast<int>(b);
            b = i + 1;
            k += 1;
            i += 1;
        } else if (c < 0x80) {
            k += 1;
            i += 1;
        } else {
            k += 2;
            i += 2;
        }
    }
    return k > columns ? static_cast<int>(b) : static_cast<int>(len);
}

// ---- Blocks ----------------------------------------------------------------------------------

std::string ExtractBetween(std::string_view text, std::string_view start, std::string_view end,
                           int startLength, int endLength) {
    std::string st = TakeMarker(start, startLength);
    std::string en = TakeMarker(end, endLength);
    size_t p = FindTextPos(text, st, 0);
    if (p == std::string_view::npos) return std::string();
    size_t e = FindTextPos(text, en, p + st.size());
    if (e == std::string_view::npos) return std::string(text.substr(p));
    return std::string(text.substr(p, e + en.size() - p));
}

std::string ExtractBlock(std::string_view s, std::string_view start, std::string_view end) {
    size_t pos = 0, len = 0;
    if (!FindBlock(s, start, end, 0, pos, len)) return std::string();
    return std::string(s.substr(pos, len));
}

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// True when `c` occurs in `marker` at most at index `only` (npos: nowhere).
bool OccursOnlyAt(std::string_view marker, char c, size_t only) {
    for (size_t i = 0; i < marker.size(); ++i)
        if (marker[i] == c && i != only) return false;
    return true;
}

// True when an occurrence of `marker` in `joined` crosses offset `cut` (starts before it, ends
// after it).
bool CrossesCut(std::string_view joined, size_t cut, std::string_view marker) {
    size_t from = cut >= marker.size() ? cut - marker.size() + 1 : 0;
    std::string_view near = joined.substr(from, cut - from + marker.size() - 1);
    size_t p = FindTextPos(near, marker, 0);
    return p != std::string_view::npos && from + p < cut;
}

// Removing every block (empty replacement) in one pass, where that gives what the passes of
// ReplaceBlocksInString give: the markers begin with a character that stands nowhere else in them
// and end with one that stands nowhere else in them (as '<' and '>' do), no block holds a second
// start marker, and no removal joins text into a new marker. Then every block found from the
// left is removed, in any order, and no block changes by the removal of another. False, with the
// text unchanged, when the text or the markers are not of that kind.
bool RemoveSimpleBlocks(std::string& s, std::string_view start, std::string_view end) {
    if (start.empty() || end.empty()) return false;
    const char first = start.front(), last = end.back();
    if (IsAsciiLetter(first) || IsAsciiLetter(last) || first == last) return false;
    const size_t lastOfStart = start.back() == last ? start.size() - 1 : std::string_view::npos;
    const size_t firstOfEnd = end.front() == first ? 0 : std::string_view::npos;
    if (!OccursOnlyAt(start, first, 0) || !OccursOnlyAt(end, first, firstOfEnd) ||
        !OccursOnlyAt(start, last, lastOfStart) || !OccursOnlyAt(end, last, end.size() - 1))
        return false;

    const std::string_view all(s);
    std::vector<std::pair<size_t, size_t>> runs;  // [begin, end) of adjacent blocks
    size_t p = FindTextPos(all, start, 0);
    while (p != std::string_view::npos) {
        size_t e = FindTextPos(all, end, p + start.size());
        if (e == std::string_view::npos) break;
        size_t stop = e + end.size();
        size_t next = FindTextPos(all, start, p + 1);
        if (next != std::string_view::npos && next < stop) return false;
        if (!runs.empty() && runs.back().second == p) runs.back().second = stop;
        else runs.emplace_back(p, stop);
        p = next;
    }
    if (runs.empty()) return true;
    // The kept stretch k runs from the end of run k - 1 to the start of run k; the text joins after
    // each but the last. Text that comes together there must not form a marker (checked in the
    // final text: a marker formed at any earlier step of the passes would stand there too), which
    // is looked at before anything moves: the bytes either side of each join, across stretches.
    auto keptBegin = [&](size_t k) { return k == 0 ? size_t{0} : runs[k - 1].second; };
    auto keptEnd = [&](size_t k) { return k == runs.size() ? all.size() : runs[k].first; };
    const size_t reach = std::max(start.size(), end.size()) - 1;
    std::string left, right;
    for (size_t k = 0; k < runs.size(); ++k) {
        left.clear();
        right.clear();
        for (size_t j = k + 1; j-- > 0 && left.size() < reach;) {
            const size_t take = std::min(reach - left.size(), keptEnd(j) - keptBegin(j));
            left.insert(0, all.substr(keptEnd(j) - take, take));
        }
        for (size_t j = k + 1; j <= runs.size() && right.size() < reach; ++j) {
            const size_t take = std::min(reach - right.size(), keptEnd(j) - keptBegin(j));
            right.append(all.substr(keptBegin(j), take));
        }
        const std::string joined = left + right;
        if (CrossesCut(joined, left.size(), start) || CrossesCut(joined, left.size(), end)) return false;
    }
    // The kept stretches move together in place.
    size_t write = runs[0].first;
    for (size_t k = 1; k <= runs.size(); ++k) {
        const size_t from = keptBegin(k), count = keptEnd(k) - from;
        std::memmove(&s[0] + write, s.data() + from, count);
        write += count;
    }
    s.resize(write);
    return true;
}

}  // namespace

void ReplaceBlocksInString(std::string& s, std::string_view start, std::string_view end,
                           std::string_view replacement) {
    if (replacement.empty() && (RemoveSimpleBlocks(s, start, end) || RemoveBlocksLinear(s, start, end))) return;
    // Text before the first block of a pass holds no start marker, so each pass searches and
    // replaces from just before that block on.
    size_t from = 0, pos = 0, len = 0;
    std::string previous;
    while (FindBlock(s, start, end, from, pos, len)) {
        std::string block = s.substr(pos, len);
        size_t q = pos + 1 >= start.size() ? pos + 1 - start.size() : 0;
        if (replacement.size() < block.size()) {
            // Every pass shortens the text, so the loop ends.
            ReplaceInString(s, block, replacement, true, q);
        } else {
            // A replacement as long as the block may recreate it: stop when a pass changes
            // nothing or the same block comes back.
            if (block == previous) break;
            std::string before = s.substr(q);
            ReplaceInString(s, block, replacement, true, q);
            if (std::string_view(s).substr(q) == before) break;
            previous = block;
        }
        from = q;
    }
}

void RemoveBlocks(TQzBuf& buf, std::string_view start, std::string_view end,
                  std::string_view replacement) {
    std::string text = buf.Text() ? std::string(buf.Text()) : std::string();
    std::string out = text;
    ReplaceBlocksInString(out, start, end, replacement);
    if (out != text) buf.Assign(out);
}

std::string ReplaceBlocks(std::string_view s, std::string_view start, std::string_view end,
                          std::string_view replacement) {
    std::string out(s);
    ReplaceBlocksInString(out, start, end, replacement);
    return out;
}

// ---- Name and value --------------------------------------------------------------------------

std::string ValueOfName(std::string_view name, const TStringList& lines) {
    int i = lines.IndexOfName(name);
    if (i < 0) return std::string();
    const std::string& line = lines[i];
    return line.substr(line.find('=') + 1);
}

std::string ValueFromText(std::string_view name, std::string_view text) {
    TStringList lines;
    lines.SetText(text);
    return ValueOfName(name, lines);
}

// ---- Windows and files -----------------------------------------------------------------------

void SetMainFormGeometryHook(TMainFormGeometryHook hook) { GeometryHook() = std::move(hook); }

void CenterOnMainForm(TQzPoint& out, int width, int height) {
    const TMainFormGeometryHook& hook = GeometryHook();
    if (!hook) {
        out = TQzPoint{};
        return;
    }
    TMainFormGeometry g = hook();
    if (g.MainVisible) {
        int left = g.Left + (g.Width - width) / 2;
        int top = g.Top + (g.Height - height) / 2;
        if (left < 0) left = 0;
        if (top < 0) top = 0;
        if (left > g.ScreenWidth - width) left = g.ScreenWidth - width;
        if (top > g.ScreenHeight - height) top = g.ScreenHeight - height;
        out.X = left;
        out.Y = top;
    } else {
        out.X = (g.ScreenWidth - width) / 2;
        out.Y = (g.ScreenHeight - height) / 2;
    }
}

std::unique_ptr<TStringList> LoadStringList(const std::string& path) {
    if (!FileExists(path)) return nullptr;
    auto list = std::make_unique<TStringList>();
    if (!list->LoadFromFile(path)) return nullptr;
    return list;
}

int64_t GetFileLength(const std::string& path) { return FileSize64(path); }
