#include "editor/model/QzPadSearch.h"

#include "editor/model/QzPadModel.h"
#include "platform/core/Cp949.h"

#include <algorithm>
#include <utility>
#include <vector>

using odregexp::TCompiledPattern;

namespace {

// True when the byte at 0-based `index` is the trail byte of a double-byte character.
bool IsTrailAt(const std::string& s, int index) {
    if (index <= 0 || index >= static_cast<int>(s.size()))
        return false;
    int i = 0;
    while (i < index)
        i += IsDbcsLeadByte(static_cast<unsigned char>(s[static_cast<size_t>(i)])) ? 2 : 1;
    return i == index + 1;
}

// Width in bytes of the character at the 1-based position p (1 past the end).
int CharWidthAt(const std::string& s, int p) {
    const int n = static_cast<int>(s.size());
    if (p < 1 || p > n)
        return 1;
    return IsDbcsLeadByte(static_cast<unsigned char>(s[static_cast<size_t>(p - 1)])) && p < n ? 2 : 1;
}

// Replaces, left to right, every match that starts at or after `from` and ends by `limit` (a
// 1-based position; -1 for the line's end). Returns the count. The searched part of the line
// starts at `from`, so "^" matches there and nowhere else; "$" matches only at the line's end,
// so a pattern ending in "$" finds nothing when the limit lies before that end.
//
// Replaced text is never searched again, so the matches are those of one scan of the original
// line, each resuming after the previous one; the new line is built as the scan goes, in time
// linear in the line. A whole word is judged as in the line being rewritten: right after a
// replacement the byte before the next match is the replacement's last byte.
int ReplaceInLine(std::string& line, int from, int limit, const TCompiledPattern& compiled,
                  const std::string& replacement, const TCharSet& delims, TQzFindOptions options) {
    const int n = static_cast<int>(line.size());
    const int last = limit < 0 ? n : std::min(limit, n);
    int pos = std::max(from, 1);
    const bool endAnchored = !compiled.Elements.empty() && compiled.Elements.back().Kind == odregexp::rekTextEnd;
    if (pos > last || (endAnchored && last < n))
        return 0;
    odregexp::TPatternSearch search(line, pos, last, compiled, options.Contains(qzfoMatchCase));
    const bool wholeWord = options.Contains(qzfoWholeWord);
    std::string out;
    size_t copied = 0;
    int resume = 0;
    int count = 0;
    while (pos <= last) {
        int len = 0;
        const int m = search.Next(pos, len);
        if (m == 0)
            break;
        if (wholeWord) {
            bool before = m == 1;
            if (!before)
                before = count > 0 && m == resume ? out.empty() || delims.Contains(out.back())
                                                  : delims.Contains(line[static_cast<size_t>(m - 2)]);
            const bool after = m + len > n || delims.Contains(line[static_cast<size_t>(m + len - 1)]);
            if (!before || !after) {
                pos = m + std::max(len, 1);
                continue;
            }
        }
        out.append(line, copied, static_cast<size_t>(m - 1) - copied);
        out += replacement;
        copied = static_cast<size_t>(m - 1 + len);
        ++count;
        resume = m + len;
        pos = m + len;
        if (len == 0)
            pos += CharWidthAt(line, m);
    }
    if (count > 0) {
        out.append(line, copied, std::string::npos);
        line.swap(out);
    }
    return count;
}

}  // namespace

bool TQzPadSearch::Find(const std::string& Text, TQzFindOptions Options) {
    if (Text.empty())
        return false;
    TCompiledPattern compiled;
    CompileSearchText(Text, Options, compiled);
    if (!compiled.Valid)
        return false;
    text_ = Text;
    options_ = Options.Without(qzfoEntire);
    if (Options.Contains(qzfoEntire)) {
        emptyMatch_ = false;
        if (Options.Contains(qzfoBackward)) {
            const int y = std::max(pad_.Lines().Count() - 1, 0);
            pad_.SetCaretPosition(TPoint(pad_.ExpandedLineLength(y), y));
        } else {
            pad_.SetCaretPosition(TPoint(0, 0));
        }
        pad_.UpdateCaretPos();
    }
    return Search(compiled, Options);
}

bool TQzPadSearch::FindContinue() {
    if (text_.empty())
        return false;
    TCompiledPattern compiled;
    CompileSearchText(text_, options_, compiled);
    if (!compiled.Valid)
        return false;
    return Search(compiled, options_);
}

bool TQzPadSearch::Search(const TCompiledPattern& compiled, TQzFindOptions options) {
    const TCharSet delims = DefaultDelimSet();
    const int count = pad_.Lines().Count();
    const TPoint caret = pad_.CaretPos();
    const bool backward = options.Contains(qzfoBackward);
    // Repeating a search that stopped on an empty match must not find that same match again.
    const bool stepOver = !backward && emptyMatch_ && emptyMatchAt_ == caret && !pad_.GetSelectAvail();
    emptyMatch_ = false;

    if (caret.Y < count) {
        if (!backward) {
            for (int y = caret.Y; y < count; ++y) {
                const std::string line = pad_.ExpandedLine(y);
                int start = 1;
                if (y == caret.Y) {
                    start = caret.X + 1;
                    if (stepOver)
                        start += CharWidthAt(line, start);
                }
                int len = 0;
                const int r = ScanCompiled(line, compiled, start, delims, len, options);
                if (r) {
                    pad_.SetSelStart(TPoint(r - 1, y));
                    pad_.SetCaretPosition(TPoint(r - 1 + len, y));
                    pad_.UpdateCaretPos();
                    pad_.SetSelEnd(pad_.CaretPos());
                    emptyMatch_ = len == 0;
                    emptyMatchAt_ = pad_.CaretPos();
                    return true;
                }
            }
        } else {
            for (int y = caret.Y; y >= 0; --y) {
                const std::string line = pad_.ExpandedLine(y);
                const int start = y == caret.Y ? caret.X + 1 : static_cast<int>(line.size()) + 1;
                int len = 0;
                const int r = ScanCompiled(line, compiled, start, delims, len, options);
                if (r) {
                    // The anchor at the match's end, so that the moving end is the caret.
                    pad_.SetSelStart(TPoint(r - 1 + len, y));
                    pad_.SetCaretPosition(TPoint(r - 1, y));
                    pad_.UpdateCaretPos();
                    pad_.SetSelEnd(pad_.CaretPos());
                    return true;
                }
            }
        }
    }
    pad_.SetSelStart(pad_.CaretPos());
    return false;
}

bool TQzPadSearch::ReplaceAll(const std::string& FindText, const std::string& ReplaceText, TQzFindOptions Options) {
    if (FindText.empty())
        return false;
    TCompiledPattern compiled;
    CompileSearchText(FindText, Options, compiled);
    if (!compiled.Valid)
        return false;
    text_ = FindText;
    options_ = Options;
    emptyMatch_ = false;

    TQzPadStrings& lines = pad_.Lines();
    const bool selected = pad_.GetSelectAvail();
    const bool column = pad_.BlockMode() == qzbmColumn;
    const TPoint selStart = pad_.GetSelStart();
    const TPoint selEnd = pad_.GetSelEnd();
    const TPoint caret = pad_.CaretPos();
    const TPoint anchor = pad_.SelAnchor();
    const TPoint moving = pad_.SelMovingEnd();
    const int first = selected ? selStart.Y : caret.Y;
    const int last = selected ? selEnd.Y : std::max(lines.Count() - 1, 0);
    const TCharSet delims = DefaultDelimSet();
    const TQzFindOptions options = Options.Without(qzfoBackward);

    bool replaced = false;
    pad_.BeginUpdate();
    // One undo step: the lines, the caret and the selection of this moment come back together.
    pad_.RewriteStep(first, last, [&] {
        // Rows first..last are searched one by one; a line of text whose rows had a replacement
        // is written back whole: its other rows (those outside the range too) as they stand.
        const int gained = pad_.RewriteLines(first, last, [&](int top, int bottom, std::string& text) {
            bool changed = false;
            for (int i = top; i <= bottom; ++i) {
                if (i < first || i > last) {
                    text += lines.Get(i);
                    continue;
                }
                std::string piece = pad_.ExpandedLine(i);
                int from = 1;
                int limit = -1;
                if (!selected) {
                    if (i == first)
                        from = caret.X + 1;
                } else if (!column) {
                    if (i == first)
                        from = selStart.X + 1;
                    if (i == last)
                        limit = selEnd.X;
                } else {
                    from = selStart.X + 1 + (IsTrailAt(piece, selStart.X) ? 1 : 0);
                    limit = selEnd.X + (IsTrailAt(piece, selEnd.X) ? 1 : 0);
                }
                if (ReplaceInLine(piece, from, limit, compiled, ReplaceText, delims, options) > 0) {
                    changed = true;
                    text += piece;
                } else {
                    text += lines.Get(i);
                }
            }
            replaced = replaced || changed;
            return changed;
        }, [](int p) { return p; });
        // Inside the step, so that the caret ends on the text as after every edit.
        if (pad_.CaretPos() != caret)
            pad_.SetCaretPosition(caret);
        if (pad_.SelAnchor() != anchor || pad_.SelMovingEnd() != moving) {
            pad_.SetSelStart(anchor);
            pad_.SetSelEnd(moving);
        }
        return std::min(last + gained, lines.Count() - 1);
    });
    pad_.EndUpdate();
    return replaced;
}
