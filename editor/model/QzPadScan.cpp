#include "editor/model/QzPadScan.h"

#include <algorithm>

using odregexp::TCompiledPattern;
using odregexp::TPatternSearch;

TCharSet DefaultDelimSet() {
    return TCharSet::Range(0x20, 0x2F) + TCharSet::Range(0x3A, 0x40) + TCharSet::Range(0x5B, 0x60) +
           TCharSet::Range(0x7B, 0x7E);
}

void CompileSearchText(std::string_view pattern, TQzFindOptions options, TCompiledPattern& compiled) {
    if (options.Contains(qzfoRegular))
        odregexp::MakePattern(pattern, 1, compiled);
    else
        odregexp::MakePatternNoRegEx(pattern, 1, compiled);
}

namespace {

bool IsWholeWord(std::string_view line, int pos, int len, const TCharSet& delims) {
    const int n = static_cast<int>(line.size());
    const bool before = pos == 1 || delims.Contains(line[static_cast<size_t>(pos - 2)]);
    const bool after = pos + len > n || delims.Contains(line[static_cast<size_t>(pos + len - 1)]);
    return before && after;
}

}  // namespace

int Scan(std::string_view Line, std::string_view Pattern, int Start, const TCharSet& Delims, int& Len,
         TQzFindOptions Options) {
    Len = 0;
    if (Line.empty() || Pattern.empty())
        return 0;
    TCompiledPattern compiled;
    CompileSearchText(Pattern, Options, compiled);
    return ScanCompiled(Line, compiled, Start, Delims, Len, Options);
}

int ScanCompiled(std::string_view Line, const TCompiledPattern& Compiled, int Start, const TCharSet& Delims, int& Len,
                 TQzFindOptions Options) {
    Len = 0;
    const int n = static_cast<int>(Line.size());
    if (n == 0 || !Compiled.Valid)
        return 0;
    Start = std::max(Start, 1);
    const bool caseSensitive = Options.Contains(qzfoMatchCase);
    const bool wholeWord = Options.Contains(qzfoWholeWord);

    if (!Options.Contains(qzfoBackward))
        return ScanRange(Line, Compiled, Start, n, Start, Delims, Len, Options);

    const int last = std::min(Start - 1, n);
    if (last < 1)
        return 0;
    TPatternSearch search(Line, 1, last, Compiled, caseSensitive);
    const bool endAnchored = !Compiled.Elements.empty() && Compiled.Elements.back().Kind == odregexp::rekTextEnd;
    if (endAnchored) {
        // Every match ends right before the end of the searched head, so the scan of a head finds
        // one match: the first start whose match ends there. A rejected match makes the head end
        // before it.
        for (int end = last + 1; end > 1;) {
            const int pos = search.StartOfMatchEndingAt(end);
            if (pos == 0)
                return 0;
            if (!wholeWord || IsWholeWord(Line, pos, end - pos, Delims)) {
                Len = end - pos;
                return pos;
            }
            end = pos;
        }
        return 0;
    }
    // Without "$" a shorter head allows only matches that the longer one allows too, so the scan
    // of the head before a rejected match finds the same matches as the first scan up to it: the
    // result is the last accepted match of one left-to-right scan, in time linear in the line.
    int found = 0;
    for (int from = 1; from <= last;) {
        int len = 0;
        const int pos = search.Next(from, len);
        if (pos == 0)
            break;
        if (!wholeWord || IsWholeWord(Line, pos, len, Delims)) {
            found = pos;
            Len = len;
        }
        from = pos + std::max(len, 1);
    }
    if (found == 0)
        Len = 0;
    return found;
}

int ScanRange(std::string_view Line, const TCompiledPattern& Compiled, int First, int Last, int From,
              const TCharSet& Delims, int& Len, TQzFindOptions Options) {
    Len = 0;
    First = std::max(First, 1);
    Last = std::min(Last, static_cast<int>(Line.size()));
    int from = std::max(From, First);
    if (!Compiled.Valid || from > Last)
        return 0;
    TPatternSearch search(Line, First, Last, Compiled, Options.Contains(qzfoMatchCase));
    const bool wholeWord = Options.Contains(qzfoWholeWord);
    while (from <= Last) {
        int len = 0;
        const int pos = search.Next(from, len);
        if (pos == 0)
            return 0;
        if (!wholeWord || IsWholeWord(Line, pos, len, Delims)) {
            Len = len;
            return pos;
        }
        from = pos + std::max(len, 1);
    }
    return 0;
}
