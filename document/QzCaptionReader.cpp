// The readers of the caption document: SAMI and plain text (Open, Apply) and ".s2k" (OpenS2k).
//
// The SAMI reader does not parse markup: it cuts the text into one line per SYNC tag with a few
// substitutions, takes the time from the SYNC tag and the rest of the line as the caption. Every
// read builds its entry table aside; the document's table is replaced only when the read succeeds.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "document/QzCaption.h"
#include "document/QzText.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "platform/core/SysUtils.h"

namespace {

constexpr size_t TextTestLength = 2047;
constexpr int ExtraCapacity = 20480;
// A caption's own line break while the text is cut at SYNC tags. The text holds no CR by then, so
// no byte of a caption can be taken for it.
constexpr char LineMark = '\r';

inline bool IsBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
inline unsigned char Fold(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

// Clears a flag when the scope ends, also by an exception.
class QuietScope {
public:
    explicit QuietScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~QuietScope() { flag_ = false; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;

private:
    bool& flag_;
};

// The file's bytes as the string list reads them, joined again with LF: nothing after the first
// NUL, and every line end (CR LF, LF or CR) one LF.
void NormalizeLineEnds(std::string& s) {
    size_t nul = s.find('\0');
    if (nul != std::string::npos) s.resize(nul);
    const size_t n = s.size();
    size_t w = 0, r = 0;
    while (r < n) {
        const char* cr = static_cast<const char*>(std::memchr(s.data() + r, '\r', n - r));
        size_t stop = cr ? static_cast<size_t>(cr - s.data()) : n;
        if (w != r) std::memmove(&s[w], &s[r], stop - r);
        w += stop - r;
        if (!cr) break;
        s[w++] = '\n';
        r = stop + 1;
        if (r < n && s[r] == '\n') ++r;
    }
    // A last line without a line end is split off just the same, so none is added (that could
    // double the buffer).
    s.resize(w);
}

bool StartsWithFolded(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (Fold(static_cast<unsigned char>(s[i])) != Fold(static_cast<unsigned char>(prefix[i]))) return false;
    return true;
}

bool EndsWithFolded(std::string_view s, std::string_view suffix) {
    if (s.size() < suffix.size()) return false;
    s = s.substr(s.size() - suffix.size());
    for (size_t i = 0; i < suffix.size(); ++i)
        if (Fold(static_cast<unsigned char>(s[i])) != Fold(static_cast<unsigned char>(suffix[i]))) return false;
    return true;
}

// The value of the first START attribute of a SYNC tag's head (the line through its first '>'):
// an optional sign and the digits after "START", blanks, '=', blanks and one quote. `at` receives
// the position where the value begins and `end` the position after its digits; false when the
// head has no START attribute.
bool FindStartValue(std::string_view head, std::string& value, size_t& at, size_t& end) {
    size_t from = 0;
    for (;;) {
        // "<SYNC START=": the first START stands right after the tag's name.
        size_t p = from == 0 && StartsWithFolded(head, "<SYNC START") ? 6 : FindTextPos(head, "START", from);
        if (p == std::string_view::npos) return false;
        from = p + 1;
        unsigned char before = p > 0 ? static_cast<unsigned char>(head[p - 1]) : ' ';
        bool partOfName = (before >= '0' && before <= '9') || (Fold(before) >= 'A' && Fold(before) <= 'Z') || before == '_';
        if (partOfName) continue;
        size_t i = p + 5;
        while (i < head.size() && (head[i] == ' ' || head[i] == '\t')) ++i;
        if (i >= head.size() || head[i] != '=') continue;
        ++i;
        while (i < head.size() && (head[i] == ' ' || head[i] == '\t')) ++i;
        if (i < head.size() && (head[i] == '"' || head[i] == '\'')) ++i;
        while (i < head.size() && (head[i] == ' ' || head[i] == '\t')) ++i;
        at = i;
        if (i < head.size() && (head[i] == '-' || head[i] == '+')) ++i;
        while (i < head.size() && head[i] >= '0' && head[i] <= '9') ++i;
        value.assign(head.data() + at, i - at);
        end = i;
        return true;
    }
}

// The time text of a SYNC tag's head: the signed number of its START attribute, or else every
// digit and minus sign of the head run together.
std::string SyncTextOfHead(std::string_view head) {
    std::string value;
    size_t at = 0, end = 0;
    if (FindStartValue(head, value, at, end)) return value == "-" || value == "+" ? std::string() : value;
    return KeepDigits(head);
}

bool StartsWithSyncTag(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == LineMark)) ++i;
    return StartsWithFolded(line.substr(i), "<SYNC");
}

// The time of a sync text: 1 for an empty text, one that begins with '-' (whatever follows, so
// "-5-3" is not converted) or a value at or below 0. Any other text that is not a 32-bit integer
// throws EConvertError.
int SyncTime(const std::string& syncText) {
    if (syncText.empty() || syncText[0] == '-') return 1;
    int v = StrToInt(syncText);
    return v <= 0 ? 1 : v;
}

// The stored form of a caption's body: line breaks as "<BR>", no trailing line breaks or blanks,
// "" for a blank caption. One pass does what replacing " \n" and then "<BR>\n" by "\n" until
// neither is left does: before each line break the spaces and "<BR>" tags go, in any mix.
std::string CleanBody(std::string_view line) {
    std::string b;
    b.reserve(line.size() + 8);
    bool breaks = false;
    size_t i = 0;
    const size_t n = line.size();
    while (i < n) {
        size_t j = i;
        while (j < n && line[j] != '\n' && line[j] != LineMark) ++j;
        b.append(line.data() + i, j - i);
        if (j == n) break;
        for (;;) {
            while (!b.empty() && b.back() == ' ') b.pop_back();
            if (!EndsWithFolded(b, "<BR>")) break;
            b.resize(b.size() - 4);
        }
        b += '\n';
        breaks = true;
        i = j + 1;
    }
    size_t first = 0, last = b.size();
    while (first < last && IsBlank(static_cast<unsigned char>(b[first]))) ++first;
    while (last > first && IsBlank(static_cast<unsigned char>(b[last - 1]))) --last;
    b.erase(last);
    b.erase(0, first);
    // A line break at the very end of the caption (before the next SYNC tag) goes too.
    while (EndsWithFolded(b, "<BR>")) {
        b.resize(b.size() - 4);
        while (!b.empty() && IsBlank(static_cast<unsigned char>(b.back()))) b.pop_back();
    }
    if (breaks) {
        // Every LF becomes "<BR>", widened in place from the end.
        size_t lfs = 0;
        for (const char* p = b.data(); (p = static_cast<const char*>(std::memchr(p, '\n', b.data() + b.size() - p))); ++p) ++lfs;
        size_t r = b.size(), w = r + 3 * lfs;
        b.resize(w);
        for (; lfs > 0; --lfs) {
            const size_t q = static_cast<size_t>(static_cast<const char*>(memrchr(b.data(), '\n', r)) - b.data());
            w -= r - q - 1;
            std::memmove(&b[w], b.data() + q + 1, r - q - 1);
            w -= 4;
            std::memcpy(&b[w], "<BR>", 4);
            r = q;
        }
    }
    if (SameText(b, "&nbsp;") || SameText(b, "<BR>")) b.clear();
    return b;
}

// Step of the reader: removes the blocks "<TITLE>" .. "</TITLE>", "<SCRIPT" .. "</SCRIPT>" and
// "<STYLE" .. "</STYLE>" (ignoring case), one kind after the other. One scan finds which start
// markers occur; a kind without one is skipped unless an earlier removal could have joined one.
void DeleteHeadBlocks(std::string& text) {
    static constexpr std::string_view starts[] = {"<TITLE>", "<SCRIPT", "<STYLE"};
    static constexpr std::string_view ends[] = {"</TITLE>", "</SCRIPT>", "</STYLE>"};
    bool present[3] = {};
    const std::string_view all(text);
    for (size_t p = 0; (p = all.find('<', p)) != std::string_view::npos; ++p) {
        if (p + 1 >= all.size()) break;
        if (Fold(static_cast<unsigned char>(all[p + 1])) != 'T' && Fold(static_cast<unsigned char>(all[p + 1])) != 'S') continue;
        for (size_t k = 0; k < 3; ++k)
            if (!present[k] && StartsWithFolded(all.substr(p), starts[k])) present[k] = true;
    }
    bool removed = false;
    for (size_t k = 0; k < 3; ++k) {
        if (!present[k] && !removed) continue;
        const size_t before = text.size();
        ReplaceBlocksInString(text, starts[k], ends[k], "");
        removed = removed || text.size() != before;
    }
}

// Step of the reader: deletes "<SAMI>", "</SAMI>", "<HEAD>", "</HEAD>", "<BODY>" and "</BODY>"
// (ignoring case), one tag after the other. A tag that occurs nowhere is skipped unless an earlier
// deletion could have joined one together, so the result is that of six full passes.
void DeleteDocumentTags(std::string& text) {
    static constexpr std::string_view tags[] = {"<SAMI>", "</SAMI>", "<HEAD>", "</HEAD>", "<BODY>", "</BODY>"};
    bool present[6] = {};
    const std::string_view all(text);
    for (size_t p = 0; (p = all.find('<', p)) != std::string::npos; ++p) {
        if (p + 1 >= all.size()) break;
        unsigned char second = Fold(static_cast<unsigned char>(all[p + 1]));
        if (second != 'S' && second != 'H' && second != 'B' && second != '/') continue;
        for (size_t t = 0; t < 6; ++t)
            if (!present[t] && all.size() - p >= tags[t].size() && StartsWithFolded(all.substr(p), tags[t]))
                present[t] = true;
    }
    bool deleted = false;
    for (size_t t = 0; t < 6; ++t)
        if (present[t] || deleted) deleted = ReplaceInString(text, tags[t], "", true) > 0 || deleted;
}

// Step of the reader: writes every "<BR>", "<FONT ", "</FONT>", " COLOR=" and " STYLE=" in upper
// case. Upper-casing changes no match and none of the tags overlaps itself, so one scan that
// upper-cases every match of every tag equals one pass per tag.
void UpperCaseMarkup(std::string& text) {
    const size_t n = text.size();
    char* s = text.data();
    auto upper = [s](size_t at, size_t len) {
        for (size_t i = 0; i < len; ++i) s[at + i] = static_cast<char>(Fold(static_cast<unsigned char>(s[at + i])));
    };
    for (char* p = s; (p = static_cast<char*>(std::memchr(p, '<', s + n - p))) != nullptr; ++p) {
        std::string_view rest(p, static_cast<size_t>(s + n - p));
        for (std::string_view tag : {std::string_view("<BR>"), std::string_view("<FONT "), std::string_view("</FONT>")})
            if (StartsWithFolded(rest, tag)) upper(static_cast<size_t>(p - s), tag.size());
    }
    // " COLOR=" and " STYLE=" end in '=', which is rare in caption text.
    for (char* p = s; (p = static_cast<char*>(std::memchr(p, '=', s + n - p))) != nullptr; ++p) {
        size_t end = static_cast<size_t>(p - s) + 1;
        if (end < 7) continue;
        std::string_view rest(s + end - 7, 7);
        if (StartsWithFolded(rest, " COLOR=") || StartsWithFolded(rest, " STYLE=")) upper(end - 7, 7);
    }
}

// The entries of a read, in the order the file gives them, put in time order once: a stable
// order by time in which, of the captions at one time, the last one read stays (as adding them
// one by one into the table leaves it). `times` and `texts` are parallel; the kept entries end up
// at their front, in ascending time, and both are cut to them. Returns how many were dropped.
// Files in time order, by far the most, are only checked.
size_t OrderEntries(std::vector<int>& times, std::vector<std::string>& texts) {
    const size_t n = times.size();
    bool ascending = true;
    for (size_t i = 1; i < n && ascending; ++i) ascending = times[i - 1] < times[i];
    if (ascending) return 0;
    // Time and read position in one number: sorting it is the stable order by time.
    std::vector<uint64_t> order(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = (static_cast<uint64_t>(static_cast<uint32_t>(times[i]) ^ 0x80000000u) << 32) | static_cast<uint32_t>(i);
    std::sort(order.begin(), order.end());
    // from[j]: the read position that entry j of the result comes from. The kept entries come
    // first; the dropped ones follow, so that from[] is a whole permutation that can be applied in
    // place.
    std::vector<uint32_t> from(n);
    size_t kept = 0;
    for (size_t i = 0; i < n; ++i)
        if (i + 1 == n || (order[i] >> 32) != (order[i + 1] >> 32)) ++kept;
    size_t k = 0, d = kept;
    for (size_t i = 0; i < n; ++i) {
        const bool last = i + 1 == n || (order[i] >> 32) != (order[i + 1] >> 32);
        from[last ? k++ : d++] = static_cast<uint32_t>(order[i]);
    }
    std::vector<uint64_t>().swap(order);
    // Each cycle of the permutation is walked once; a visited place points at itself.
    for (size_t start = 0; start < n; ++start) {
        if (from[start] == start) continue;
        std::string text = std::move(texts[start]);
        const int time = times[start];
        size_t at = start;
        for (;;) {
            const size_t src = from[at];
            from[at] = static_cast<uint32_t>(at);
            if (src == start) {
                texts[at] = std::move(text);
                times[at] = time;
                break;
            }
            texts[at] = std::move(texts[src]);
            times[at] = times[src];
            at = src;
        }
    }
    times.resize(kept);
    texts.resize(kept);
    return n - kept;
}

// The entry table of a read: the entries (in ascending time, one per time) under their sync keys.
std::unique_ptr<TTarkiHash> MakeTable(int capacity, const std::vector<int>& times, std::vector<std::string>& texts) {
    auto table = std::make_unique<TTarkiHash>(capacity);
    std::vector<std::string> keys;
    keys.reserve(times.size());
    for (int t : times) keys.push_back(TQzCaption::GetSyncWidth(t));
    table->TakeSorted(keys, texts);
    return table;
}

std::string WithCrLf(std::string_view s) {
    std::string out;
    out.reserve(s.size() + s.size() / 16);
    for (char c : s) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace

bool TQzCaption::IsTextFile(const std::string& fileName) {
    if (!FileExists(fileName)) return false;
    std::string head;
    if (!ReadFileHead(fileName, TextTestLength, head)) return false;
    return head.find('\0') == std::string::npos;
}

void TQzCaption::FireErrorOpen(const std::string& fileName, const char* utf8Message) {
    // The path is native (UTF-8); the message, like every text of the document, is code page 949.
    if (OnErrorOpen) OnErrorOpen(this, Cp949FromUtf8(ExtractFileName(fileName)) + Cp949(utf8Message));
}

bool TQzCaption::Open(const std::string& fileName) {
    if (!IsTextFile(fileName)) return false;
    if (LowerCase(ExtractFileExt(fileName)) == ".s2k") return OpenS2k(fileName);
    if (!FileExists(fileName)) {
        if (!Quiet) FireErrorOpen(fileName, " 파일이 존재하지 않습니다.");
        return false;
    }
    std::string text;
    if (!ReadFileBytes(fileName, text)) {
        if (!Quiet) FireErrorOpen(fileName, " 파일을 읽을 수 없습니다.");
        return false;
    }
    return ReadText(fileName, std::move(text));
}

bool TQzCaption::Open(const std::string& fileName, std::string bytes) {
    if (std::string_view(bytes).substr(0, TextTestLength).find('\0') != std::string_view::npos) return false;
    if (LowerCase(ExtractFileExt(fileName)) == ".s2k") return OpenS2k(fileName);
    return ReadText(fileName, std::move(bytes));
}

bool TQzCaption::ReadText(const std::string& fileName, std::string text) {
    NormalizeLineEnds(text);

    bool sami = FindTextPos(text, "<SAMI>") != std::string::npos;
    std::string info = ExtractBlock(text, "<!--", "-->");
    if (!info.empty()) ReplaceInString(text, info, "", true);
    if (sami) {
        // From "<BODY" through "</BODY>"; a truncated file without "</BODY>" keeps the rest.
        size_t b = FindTextPos(text, "<BODY");
        if (b == std::string::npos) {
            text.clear();
        } else {
            size_t e = FindTextPos(text, "</BODY>", b + 5);
            if (e != std::string::npos) {
                text.resize(e + 7);
            } else if (!text.empty() && text.back() != '\n') {
                // The rest of the text ends with its last line's line end, present in the file or
                // not, so a last SYNC tag with nothing after it still makes a blank caption.
                text += '\n';
            }
            text.erase(0, b);
        }
    }
    info = WithCrLf(info);

    QuietScope quiet(Quiet);
    int lineCount = 0;
    std::unique_ptr<TTarkiHash> table = ParseText(text, sami, lineCount);
    // The header comment is handed over only once the file has been read.
    if (!info.empty() && OnReadInfo) OnReadInfo(this, info);
    FileName = fileName;
    captionType_ = sami ? qctCaption : qctText;
    AdoptTable(std::move(table), lineCount);
    return true;
}

void TQzCaption::Apply(const TStringList& lines) {
    std::string text;
    size_t total = 0;
    for (const std::string& line : lines.Strings) total += line.size() + 1;
    text.reserve(total);
    for (const std::string& line : lines.Strings) {
        text += line;
        text += '\n';
    }
    // As the joined text is read back through a string list: CR goes, nothing after a NUL counts.
    size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    ApplyJoined(text);
}

void TQzCaption::ApplyText(std::string text) {
    // The lines as a string list splits them, each followed by LF.
    NormalizeLineEnds(text);
    if (!text.empty() && text.back() != '\n') text += '\n';
    ApplyJoined(text);
}

void TQzCaption::ApplyJoined(std::string& text) {
    QuietScope quiet(Quiet);
    int lineCount = 0;
    std::unique_ptr<TTarkiHash> table = ParseText(text, true, lineCount);
    captionType_ = qctCaption;
    AdoptTable(std::move(table), lineCount);
}

int TQzCaption::FindMistypedSync(std::string_view text, std::string_view* badLine) {
    text = text.substr(0, text.find('\0'));
    size_t pos = 0;
    // The next CR at or after pos (text.size() when there is none), found again only once passed.
    size_t nextCr = std::min(text.find('\r'), text.size());
    for (int i = 0; pos < text.size(); ++i) {
        if (nextCr < pos) nextCr = std::min(text.find('\r', pos), text.size());
        const char* lf = static_cast<const char*>(std::memchr(text.data() + pos, '\n', std::min(nextCr, text.size()) - pos));
        size_t stop = lf ? static_cast<size_t>(lf - text.data()) : nextCr;
        const std::string_view whole = text.substr(pos, stop - pos);
        pos = stop;
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;
        if (badLine) *badLine = whole;
        std::string_view line = whole;
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (!StartsWithFolded(line, "<SYNC")) continue;
        if (line.size() > 5 && line[5] != ' ' && line[5] != '\t' && line[5] != '>') continue;  // another tag
        // Only "<SYNC " begins a caption: after "<SYNC\t" or "<SYNC>" the line would join the one before.
        if (line.size() == 5 || line[5] != ' ') return i;
        size_t gt = line.find('>');
        if (gt == std::string_view::npos) return i;
        std::string_view head = line.substr(0, gt + 1);
        std::string value;
        size_t at = 0, end = 0;
        int time;
        if (!FindStartValue(head, value, at, end) || !TryStrToInt(value, time)) return i;
        char next = head[end];  // the head ends in '>', so the value never reaches its end
        if (next != ' ' && next != '\t' && next != '"' && next != '\'' && next != '>') return i;
    }
    return -1;
}

std::unique_ptr<TTarkiHash> TQzCaption::ParseText(std::string& text, bool sami, int& lineCount) {
    ReplaceBlocksInString(text, "<P ", ">", "");
    DeleteHeadBlocks(text);
    DeleteDocumentTags(text);
    UpperCaseMarkup(text);
    if (text.find('\r') != std::string::npos) text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    ReplaceInString(text, "\n\n", "\n", true);

    if (sami) {
        // Every SYNC tag begins a line (also one indented by blanks); the caption's own line
        // breaks become LineMark.
        for (char* p = text.data(); (p = static_cast<char*>(std::memchr(p, '\n', text.data() + text.size() - p))) != nullptr;)
            *p++ = LineMark;
        size_t p = 0;
        while ((p = FindTextPos(text, "<SYNC ", p)) != std::string::npos) {
            size_t b = p;
            while (b > 0 && (text[b - 1] == ' ' || text[b - 1] == '\t')) --b;
            if (b > 0 && text[b - 1] == LineMark) text[b - 1] = '\n';
            p += 6;
        }
    }

    // The lines, as a string list splits them: the text now has LF line ends only.
    const std::string_view all(text);
    size_t lines = 0;
    for (const char* p = all.data(); (p = static_cast<const char*>(std::memchr(p, '\n', all.data() + all.size() - p))) != nullptr; ++p)
        ++lines;
    if (!all.empty() && all.back() != '\n') ++lines;
    const int n = lines > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(lines);
    lineCount = n;
    // The entries are read first and put in time order once.
    std::vector<int> times;
    std::vector<std::string> texts;
    times.reserve(static_cast<size_t>(n));
    texts.reserve(static_cast<size_t>(n));

    int64_t k = 0;
    size_t start = 0;
    for (int i = 0; i < n; ++i) {
        size_t e = all.find('\n', start);
        if (e == std::string_view::npos) e = all.size();
        std::string_view line = all.substr(start, e - start);
        start = e + 1;
        if (i % 100 == 0 && OnRead) OnRead(this, i + 1, n);
        std::string_view body;
        int time;
        if (sami) {
            size_t gt = line.find('>');
            std::string_view head = gt == std::string_view::npos ? std::string_view() : line.substr(0, gt + 1);
            body = gt == std::string_view::npos ? line : line.substr(gt + 1);
            std::string syncText = SyncTextOfHead(head);
            // Only the first line can lack a SYNC tag (the text after BODY); a head there whose
            // digits are no number, such as a comment's dashes, is not a time.
            int value;
            if (!syncText.empty() && !StartsWithSyncTag(line) && !TryStrToInt(syncText, value)) syncText.clear();
            time = SyncTime(syncText);
        } else {
            body = line;
            time = SyncTime(IntToStr((k + 1) * addStep_));
        }
        if (body.empty()) continue;
        std::string text = CleanBody(body);
        // The line breaks between BODY and the first SYNC tag (all an empty document's file
        // holds there) are no caption; text there still is one.
        if (sami && text.empty() && !StartsWithSyncTag(line)) continue;
        ++k;
        times.push_back(time);
        texts.push_back(std::move(text));
    }
    droppedOnRead_ = static_cast<int>(OrderEntries(times, texts));
    return MakeTable(n > INT_MAX - ExtraCapacity ? INT_MAX : n + ExtraCapacity, times, texts);
}

void TQzCaption::AdoptTable(std::unique_ptr<TTarkiHash> table, int lineCount) {
    list_ = std::move(table);
    if (OnChange) {
        for (int i = 0; i < list_->Count(); ++i) OnChange(this, StrToInt(list_->Key(i)), list_->Value(i));
    }
    if (OnReadEnd) OnReadEnd(this, 0, lineCount);
}

bool TQzCaption::OpenS2k(const std::string& fileName) {
    if (!FileExists(fileName)) {
        if (!Quiet) FireErrorOpen(fileName, " 파일이 존재하지 않습니다.");
        return false;
    }
    std::unique_ptr<TStringList> file = LoadStringList(fileName);
    if (!file) {
        FireErrorOpen(fileName, " 파일을 읽을 수 없습니다.");
        return false;
    }
    QuietScope quiet(Quiet);
    static constexpr std::string_view StartLine = ";Set.Time.Start=";

    std::vector<std::string>& lines = file->Strings;
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const std::string& l) {
                                   if (l.compare(0, 2, "//") == 0) return true;
                                   return !l.empty() && l[0] == ';' &&
                                          !SameText(std::string_view(l).substr(0, StartLine.size()), StartLine);
                               }),
                lines.end());
    const int n = static_cast<int>(lines.size());
    // The captions in the order their times first come, each with the index of its time; a
    // caption's lines are joined in place.
    std::vector<int> times;
    std::vector<std::string> texts;
    std::unordered_map<int, size_t> indexOfTime;
    bool started = false;
    int time = 0;
    size_t current = SIZE_MAX;  // the caption of the current start line, once it has a line
    for (int i = 0; i < n; ++i) {
        if (i % 100 == 0 && OnRead) OnRead(this, i + 1, n);
        const std::string& line = lines[static_cast<size_t>(i)];
        if (line.compare(0, 2, "//") == 0) continue;
        if (!line.empty() && line[0] == ';') {
            if (!SameText(std::string_view(line).substr(0, StartLine.size() - 1), StartLine.substr(0, 15))) continue;
            size_t p = StartLine.size() - 1;
            while (p < line.size() && (line[p] == ' ' || line[p] == '\t')) ++p;
            if (p >= line.size() || line[p] != '=') continue;
            ++p;
            while (p < line.size() && (line[p] == ' ' || line[p] == '\t')) ++p;
            bool negative = false;
            if (p < line.size() && (line[p] == '-' || line[p] == '+')) negative = line[p++] == '-';
            int64_t v = 0;
            while (p < line.size() && line[p] >= '0' && line[p] <= '9') {
                v = std::min<int64_t>(v * 10 + (line[p++] - '0'), INT_MAX);
            }
            time = negative || v <= 0 ? 1 : static_cast<int>(v);
            started = true;
            current = SIZE_MAX;
            continue;
        }
        if (!started) continue;
        if (current == SIZE_MAX) {
            auto [at, added] = indexOfTime.emplace(time, times.size());
            if (added) {
                times.push_back(time);
                texts.emplace_back();
            }
            current = at->second;
        }
        // An empty caption takes the line as its text (an empty line included); else the line
        // joins it.
        std::string& text = texts[current];
        const std::string t = TrimBlanksRight(line);
        if (!text.empty()) text += '\n';
        text += t;
    }
    std::unordered_map<int, size_t>().swap(indexOfTime);
    OrderEntries(times, texts);
    // Each caption's lines in the form the SAMI reader gives them (no blank lines at either end,
    // line breaks as "<BR>"), so that saving and reading the file back changes no caption.
    for (std::string& text : texts) text = CleanBody(text);
    std::unique_ptr<TTarkiHash> table = MakeTable(n > INT_MAX - ExtraCapacity ? INT_MAX : n + ExtraCapacity, times, texts);
    droppedOnRead_ = 0;
    AdoptTable(std::move(table), n);
    return true;
}
