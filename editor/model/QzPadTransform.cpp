// Line and selection rewrites of the editor control.

#include "editor/model/QzPadTransform.h"

#include "controls/common/QzString.h"
#include "editor/model/QzPadDbcs.h"
#include "editor/model/QzFileError.h"
#include "editor/model/QzPadFormat.h"
#include "platform/core/FileUtils.h"
#include "platform/core/StringList.h"
#include "platform/core/SysUtils.h"

#include <algorithm>

namespace {

std::string JoinCrLf(const std::vector<std::string>& lines)
{
    std::string s;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) s += "\r\n";
        s += lines[i];
    }
    return s;
}

// The first `n` bytes of `t`, one byte less when the cut would split a double-byte character;
// `width` is then reached with a blank so that the piece keeps its width.
std::string CutWhole(const std::string& t, size_t n)
{
    if (n >= t.size()) return t;
    if (QzIsTrailAt(t, static_cast<int>(n))) return t.substr(0, n - 1) + ' ';
    return t.substr(0, n);
}

std::string MakeFill(const std::string& t, size_t w, TQzFillBlockOptions options)
{
    if (options & pfboLeftAlign) {
        std::string s = CutWhole(t, w);
        s.append(w - s.size(), ' ');
        return s;
    }
    if (options & pfboRightALign) {
        std::string s = CutWhole(t, w);
        return std::string(w - s.size(), ' ') + s;
    }
    if (options & pfboFillAll) {
        if (t.empty()) return std::string();
        std::string s;
        while (s.size() + t.size() <= w) s += t;
        s += CutWhole(t, w - s.size());
        return s;
    }
    return std::string();
}

// Restores a selection (anchor and moving end) and the caret after a rewrite.
void RestoreSelection(TQzPadModel& pad, TPoint anchor, TPoint end, TPoint caret)
{
    // The rewritten line may hold a character across the old caret column (the caret goes after
    // it) or end before it.
    caret.Y = std::clamp(caret.Y, 0, std::max(pad.Lines().Count() - 1, 0));
    const std::string line = pad.ExpandedLine(caret.Y);
    if (!pad.HasOption(qzoScrollPastEOL)) caret.X = std::min(caret.X, static_cast<int>(line.size()));
    caret.X = QzAdjustEdge(line, caret.X);
    pad.SetCaretPosition(caret);
    pad.SetSelStart(anchor);
    pad.SetSelEnd(end);
}

}  // namespace

std::vector<int32_t> TQzPadTransform::Bookmarks(int first, int last) const
{
    std::vector<int32_t> marks;
    for (int i = first; i <= last; ++i) {
        const TQzLineAttribute* a = pad_.Lines().Attribute(i);
        marks.push_back(a ? a->Bookmark : -2);
    }
    return marks;
}

void TQzPadTransform::ReplaceLines(int first, int last, const std::vector<std::string>& lines,
                                   std::vector<int32_t> bookmarks)
{
    const bool keepMarks = last - first + 1 == static_cast<int>(lines.size());
    if (keepMarks && bookmarks.empty()) bookmarks = Bookmarks(first, last);
    bool same = last - first + 1 == static_cast<int>(lines.size());
    for (int i = first; same && i <= last; ++i) same = pad_.Lines()[i] == lines[static_cast<size_t>(i - first)];
    if (same) return;

    const TQzBlockMode mode = pad_.BlockMode();
    if (mode != qzbmLine) pad_.SetBlockMode(qzbmLine);
    const TPoint start(0, first);
    const TPoint end(pad_.ExpandedLineLength(last), last);
    pad_.SetCaretPosition(end);
    pad_.SetSelStart(start);
    pad_.SetSelEnd(end);
    if (start == end) pad_.SetCaretPosition(start);
    pad_.SetSelText(JoinCrLf(lines));
    if (keepMarks) {
        for (size_t k = 0; k < bookmarks.size() && k < lines.size(); ++k) {
            const int y = first + static_cast<int>(k);
            if (bookmarks[k] != -2)
                pad_.Lines().EnsureAttribute(y, bookmarks[k], false)->Bookmark = bookmarks[k];
            else if (TQzLineAttribute* a = pad_.Lines().Attribute(y))
                a->Bookmark = -2;
        }
    }
    if (mode != qzbmLine) pad_.SetBlockMode(mode);
}

void TQzPadTransform::InsertAt(TPoint at, const std::string& text)
{
    const TQzBlockMode mode = pad_.BlockMode();
    if (mode != qzbmLine) pad_.SetBlockMode(qzbmLine);
    pad_.SetCaretPosition(at);
    pad_.SetSelStart(pad_.CaretPos());
    pad_.SetSelText(text);
    if (mode != qzbmLine) pad_.SetBlockMode(mode);
}

void TQzPadTransform::Sort(bool descending)
{
    int first = 0;
    int last = pad_.Lines().Count() - 1;
    if (pad_.GetSelectAvail()) {
        const TPoint s = pad_.GetSelStart();
        const TPoint e = pad_.GetSelEnd();
        if (s.Y == e.Y) return;
        first = s.Y;
        last = std::min(e.Y, last);
    }
    if (last <= first) return;

    // The lines are sorted in a store of their own, whose attributes carry each line's bookmark.
    TQzPadStrings sorted;
    std::vector<std::string> raw;
    std::vector<std::unique_ptr<TQzLineAttribute>> marks;
    for (int i = first; i <= last; ++i) {
        raw.push_back(pad_.Lines()[i]);
        const TQzLineAttribute* a = pad_.Lines().Attribute(i);
        marks.push_back(std::make_unique<TQzLineAttribute>(a ? a->Bookmark : -2, false));
    }
    sorted.InsertLines(0, std::move(raw), std::move(marks));
    sorted.SortBy(0, sorted.Count() - 1, !descending);
    std::vector<std::string> out;
    std::vector<int32_t> bookmarks;
    for (int i = 0; i < sorted.Count(); ++i) {
        out.push_back(sorted[i]);
        bookmarks.push_back(sorted.Attribute(i)->Bookmark);
    }

    pad_.BeginUpdate();
    const TQzBlockMode mode = pad_.BlockMode();
    ReplaceLines(first, last, out, bookmarks);
    if (mode != qzbmLine) pad_.SetBlockMode(qzbmLine);
    const TPoint end(pad_.ExpandedLineLength(last), last);
    RestoreSelection(pad_, TPoint(0, first), end, end);
    if (mode != qzbmLine) pad_.SetBlockMode(mode);
    pad_.EndUpdate();
}

bool TQzPadTransform::InsertAutoNumber(const std::string& format, double start, double step, int count)
{
    if (ReadOnly() || !CheckFormat(format, start)) return false;
    std::string text;
    double value = start;
    for (int k = 0; k < count; ++k) {
        try {
            text += FormatIncNo(format, value);
        } catch (const EConvertError&) {
            break;  // the running value left the range the format can show
        }
        text += "\r\n";
        value += step;
    }
    if (text.empty()) return true;

    pad_.BeginUpdate();
    const TPoint before = pad_.GetSelectAvail() ? pad_.GetSelStart() : pad_.CaretPos();
    const TQzBlockMode mode = pad_.BlockMode();
    if (mode != qzbmLine) pad_.SetBlockMode(qzbmLine);
    if (!pad_.GetSelectAvail()) pad_.SetSelStart(pad_.CaretPos());
    pad_.SetSelText(text);
    if (IQzPadMacroRecorder* macro = pad_.Macro(); macro && macro->Recording())
        macro->AddStep(qzcInsertBlock, pad_.CaretPos(), before, pad_.CaretPos(), text);
    pad_.SetSelStart(pad_.CaretPos());
    if (mode != qzbmLine) pad_.SetBlockMode(mode);
    pad_.EndUpdate();
    return true;
}

int TQzPadTransform::AlignWidth() const
{
    if (pad_.WordWrap() == qzwwWindow) return pad_.EditRect().Width() / std::max(pad_.CharWidth(), 1);
    return pad_.ColumnCount();
}

void TQzPadTransform::AlignLine(TQzAlignment alignment)
{
    if (ReadOnly()) return;
    const int width = AlignWidth();
    int first = pad_.CaretY();
    int last = first;
    if (pad_.GetSelectAvail()) {
        first = pad_.GetSelStart().Y;
        last = pad_.GetSelEnd().Y;
    }
    last = std::min(last, pad_.Lines().Count() - 1);
    if (first < 0 || first > last) return;
    // Under word wrap the logical lines are aligned, each as a whole.
    first = pad_.LogicalFirst(first);
    last = pad_.LogicalLast(pad_.LogicalFirst(last));

    std::vector<std::string> out;
    for (int y = first; y <= last; y = pad_.LogicalLast(y) + 1) {
        const std::string line = pad_.LogicalLine(y);
        std::string t = alignment == qztaLeftJustify ? TrimLeft(line) : Trim(line);
        const int len = static_cast<int>(t.size());
        if (len < width) {
            if (alignment == qztaRightJustify) {
                t.insert(0, static_cast<size_t>(width - len), ' ');
            } else if (alignment == qztaCenter) {
                const size_t n = static_cast<size_t>((width - len) / 2);
                t = std::string(n, ' ') + t + std::string(n, ' ');
            }
        }
        out.push_back(std::move(t));
    }
    const TPoint anchor = pad_.SelAnchor();
    const TPoint end = pad_.SelMovingEnd();
    const TPoint caret = pad_.CaretPos();
    pad_.BeginUpdate();
    ReplaceLines(first, last, out);
    RestoreSelection(pad_, anchor, end, caret);
    pad_.EndUpdate();
}

void TQzPadTransform::JoinLines()
{
    if (ReadOnly() || !pad_.GetSelectAvail()) return;
    const TPoint s = pad_.GetSelStart();
    const TPoint e = pad_.GetSelEnd();
    const int last = std::min(e.Y, pad_.Lines().Count() - 1);
    if (last <= s.Y) return;

    std::string joined;
    for (int y = s.Y; y <= last; ++y) joined += pad_.ExpandedLine(y);
    const int lastLen = pad_.ExpandedLineLength(last);
    const int endX = last == e.Y ? std::min(e.X, lastLen) : lastLen;
    const TPoint newEnd(static_cast<int>(joined.size()) - (lastLen - endX), s.Y);

    pad_.BeginUpdate();
    ReplaceLines(s.Y, last, {joined});
    RestoreSelection(pad_, s, newEnd, newEnd);
    pad_.EndUpdate();
}

bool TQzPadTransform::FillBlock(const std::string& text, TQzFillBlockOptions options, double start, double step)
{
    if (ReadOnly() || pad_.BlockMode() != qzbmColumn || !pad_.GetSelectAvail()) return false;
    const bool autoInc = (options & pfboUseAutoInc) != 0;
    if (autoInc && !CheckFormat(text, start)) return false;

    const TPoint a = pad_.SelAnchor();
    const TPoint b = pad_.SelMovingEnd();
    const TPoint caret = pad_.CaretPos();
    const int top = std::min(a.Y, b.Y);
    const int bottom = std::min(std::max(a.Y, b.Y), pad_.Lines().Count() - 1);
    const int left = std::min(a.X, b.X);
    const int right = std::max(a.X, b.X);
    const bool overwrite = pad_.EditMode() == qzmOverwrite;

    std::vector<std::string> out;
    double value = start;
    for (int y = top; y <= bottom; ++y) {
        std::string line = pad_.ExpandedLine(y);
        if (static_cast<int>(line.size()) < left) line.append(static_cast<size_t>(left) - line.size(), ' ');
        const int len = static_cast<int>(line.size());
        const int l = QzAdjustEdge(line, left);
        const int r = std::max(right < len ? QzAdjustEdge(line, right) : right, l);
        std::string t = text;
        if (autoInc) {
            try {
                t = FormatIncNo(text, value);
            } catch (const EConvertError&) {
                t.clear();
            }
            value += step;
        }
        const std::string fill = MakeFill(t, static_cast<size_t>(r - l), options);
        if (overwrite) line.erase(static_cast<size_t>(l), static_cast<size_t>(std::min(r, len) - l));
        line.insert(static_cast<size_t>(l), fill);
        out.push_back(std::move(line));
    }
    pad_.BeginUpdate();
    ReplaceLines(top, bottom, out);
    RestoreSelection(pad_, a, b, caret);
    pad_.EndUpdate();
    return true;
}

void TQzPadTransform::ConvertSelText(TQzTextConvertType type)
{
    if (ReadOnly() || !pad_.GetSelectAvail()) return;
    auto convert = [type](std::string_view s) -> std::string {
        switch (type) {
        case ptctUpper: return LocaleUpperCase(s);
        case ptctLower: return LocaleLowerCase(s);
        case ptctInvert: return InvertCase(s);
        case ptctCapitalize: return Capitalize(s);
        }
        return std::string(s);
    };
    // Converts bytes [from, to) of a line, both edges kept off trail bytes.
    auto convertRange = [&convert](std::string line, int from, int to) {
        const int len = static_cast<int>(line.size());
        from = std::min(QzAdjustEdge(line, from), len);
        to = std::min(QzAdjustEdge(line, to), len);
        if (from >= to) return line;
        const std::string piece = convert(std::string_view(line).substr(static_cast<size_t>(from), static_cast<size_t>(to - from)));
        line.replace(static_cast<size_t>(from), static_cast<size_t>(to - from), piece);
        return line;
    };

    const TPoint anchor = pad_.SelAnchor();
    const TPoint end = pad_.SelMovingEnd();
    const TPoint caret = pad_.CaretPos();
    const int count = pad_.Lines().Count();
    std::vector<std::string> out;
    int first, last;
    if (pad_.BlockMode() == qzbmColumn) {
        first = std::min(anchor.Y, end.Y);
        last = std::min(std::max(anchor.Y, end.Y), count - 1);
        const int left = std::min(anchor.X, end.X);
        const int right = std::max(anchor.X, end.X);
        for (int y = first; y <= last; ++y) out.push_back(convertRange(pad_.ExpandedLine(y), left, right));
    } else {
        const TPoint s = pad_.GetSelStart();
        const TPoint e = pad_.GetSelEnd();
        first = s.Y;
        last = std::min(e.Y, count - 1);
        for (int y = first; y <= last; ++y) {
            const std::string line = pad_.ExpandedLine(y);
            const int from = y == s.Y ? s.X : 0;
            const int to = y == e.Y ? e.X : static_cast<int>(line.size());
            out.push_back(convertRange(line, from, to));
        }
    }
    if (first > last) return;
    pad_.BeginUpdate();
    ReplaceLines(first, last, out);
    RestoreSelection(pad_, anchor, end, caret);
    pad_.EndUpdate();
}

void TQzPadTransform::TabToSpace()
{
    pad_.BeginUpdate();
    bool changed = false;
    pad_.RewriteStep(0, pad_.Lines().Count() - 1, [&] {
        for (int i = 0; i < pad_.Lines().Count(); ++i) {
            if (pad_.Lines()[i].find('\t') == std::string::npos) continue;
            pad_.SetLine(i, pad_.ExpandedLine(i));
            changed = true;
        }
        return pad_.Lines().Count() - 1;
    });
    if (changed) {
        pad_.SetModified(true);
        pad_.Invalidate();
    }
    pad_.EndUpdate();
}

bool TQzPadTransform::InsertFile(const std::string& fileName, TQzInsertPos pos)
{
    if (!FileExists(fileName)) return false;
    TStringList file;
    if (!file.LoadFromFile(fileName)) return false;
    if (file.Count() == 0) return true;
    const std::string text = JoinCrLf(file.Strings);

    pad_.BeginUpdate();
    const int last = pad_.Lines().Count() - 1;
    switch (pos) {
    case pfpTop:
        InsertAt(TPoint(0, 0), text + "\r\n");
        break;
    case pfpCurrent: {
        const TPoint c = pad_.CaretPos();
        if (c.X != 0)
            InsertAt(TPoint(std::min(c.X, pad_.ExpandedCurLineLength()), c.Y), "\r\n" + text + "\r\n");
        else
            InsertAt(TPoint(0, c.Y), text + "\r\n");
        break;
    }
    case pfpEnd:
        // After the last line, also when that line is empty.
        if (last < 0)
            InsertAt(TPoint(0, 0), text);
        else
            InsertAt(TPoint(pad_.ExpandedLineLength(last), last), "\r\n" + text);
        break;
    }
    pad_.EndUpdate();
    return true;
}

bool TQzPadTransform::Reload()
{
    const std::string fileName = pad_.FileName();
    if (fileName.empty()) return false;
    const int top = pad_.TopLine();
    const TPoint caret = pad_.CaretPos();
    if (!FileExists(fileName)) return false;
    try {
        pad_.LoadFromFile(fileName);
    } catch (const EFOpenError&) {
        return false;  // nothing was changed
    }
    pad_.SetTopLine(std::min(top, pad_.Lines().Count() - 1));
    pad_.SetCaretPosition(caret);
    pad_.SetSelStart(pad_.CaretPos());
    pad_.UpdateVertScrollBar();
    pad_.UpdateHorzScrollBar();
    pad_.Invalidate();
    return true;
}
