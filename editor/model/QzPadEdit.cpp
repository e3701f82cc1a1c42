// Editing operations: typing, deletions, line breaks, the selected text, the clipboard and the
// writer of edited lines.

#include "editor/model/QzPadDbcs.h"
#include "editor/model/QzPadModel.h"

#include "platform/core/SysUtils.h"

#include <algorithm>

namespace {

// Splits at CR LF, LF or CR; a final line end makes no empty piece.
std::vector<std::string> SplitPieces(const std::string& s)
{
    std::vector<std::string> pieces;
    size_t p = 0;
    const size_t n = s.size();
    while (p < n) {
        size_t q = p;
        while (q < n && s[q] != '\r' && s[q] != '\n') ++q;
        pieces.emplace_back(s, p, q - p);
        if (q < n && s[q] == '\r') {
            ++q;
            if (q < n && s[q] == '\n') ++q;
        } else if (q < n && s[q] == '\n') {
            ++q;
        }
        p = q;
    }
    return pieces;
}

}  // namespace

TPoint TQzPadModel::StablePos(TPoint p) const
{
    // The start of a continuation line is the same place as the end of the line above; the
    // latter survives an edit that removes the continuation, so records use it.
    if (wordWrap_ == qzwwNone || p.X != 0 || p.Y <= 0) return p;
    const TQzLineAttribute* a = lines_.Attribute(p.Y);
    return (a && a->Wrapped) ? TPoint(ExpandedLineLength(p.Y - 1), p.Y - 1) : p;
}

void TQzPadModel::Record(TQzPadCommand c, TPoint caret, TPoint start, TPoint end, std::string text)
{
    if (!undoRecording_) return;
    caret = StablePos(caret);
    start = StablePos(start);
    end = StablePos(end);
    TQzUndoItem* item = undoList_.AddUndo(c, blockMode_, caret, start, end, std::move(text));
    item->Changes = std::move(pending_);
    pending_.clear();
    item->CaretBefore = beforeCaret_;
    item->AnchorBefore = beforeAnchor_;
    item->EndBefore = beforeEnd_;
    MarkBefore();
}

void TQzPadModel::RecordStream(TQzPadCommand c, TPoint caret, TPoint start, TPoint end)
{
    if (!undoRecording_) return;
    Record(c, caret, start, end, std::string());
    undoList_.Last()->BlockMode = qzbmLine;
}

void TQzPadModel::AddMacroStep(TQzPadCommand c, const std::string& text)
{
    // A replay runs the steps again; recording them would append to the steps being replayed.
    if (playing_) return;
    if (macro_ && macro_->Recording()) macro_->AddStep(c, CaretPos(), GetSelStart(), GetSelEnd(), text);
}

void TQzPadModel::RepaintForComment(const std::string& s)
{
    if (CheckCommentChar(s)) Invalidate();
}

// ---- the line writer ----

int TQzPadModel::WrapWidth() const
{
    if (wordWrap_ == qzwwNone) return 0;
    const int width = wordWrap_ == qzwwWindow ? editRect_.Width() / SafeCharWidth() : columnCount_;
    return std::max(width, 2);
}

std::vector<std::string> TQzPadModel::WrapLine(const std::string& s, int width) const
{
    std::string rest = ExpandStr(s);
    if (static_cast<int>(rest.size()) <= width) return {s};
    std::vector<std::string> pieces;
    size_t from = 0;
    while (static_cast<int>(rest.size() - from) > width) {
        int cut = width;
        // A cut must not fall between the two bytes of a character.
        std::string_view view(rest.data() + from, rest.size() - from);
        if (QzIsTrailAt(view, cut)) --cut;
        pieces.emplace_back(rest, from, static_cast<size_t>(cut));
        from += static_cast<size_t>(cut);
    }
    pieces.emplace_back(rest, from, std::string::npos);
    return pieces;
}

void TQzPadModel::SetLine(int index, const std::string& s)
{
    if (!lines_.IsLine(index)) return;
    const bool wasLoading = loading_;
    loading_ = true;
    if (wordWrap_ == qzwwNone) {
        lines_.Put(index, s);
        InvalidateLine(index);
    } else {
        // The whole logical line (its first line, the continuations before and after index) is
        // wrapped again, so that the layout always follows from the text alone.
        int first = index;
        while (first > 0) {
            const TQzLineAttribute* a = lines_.Attribute(first);
            if (!a || !a->Wrapped) break;
            --first;
        }
        std::string text;
        for (int k = first; k < index; ++k) text += lines_.Get(k);
        const int prefix = static_cast<int>(text.size());
        text += s;
        int n = 0;
        while (lines_.IsLine(index + 1 + n)) {
            const TQzLineAttribute* a = lines_.Attribute(index + 1 + n);
            if (!a || !a->Wrapped) break;
            text += lines_.Get(index + 1 + n);
            ++n;
        }
        const int last = index + n;
        // The caret's offset in the logical line when it lies on it.
        int offset = -1;
        if (caretY_ >= first && caretY_ <= last) {
            if (caretY_ < index) {
                offset = caretX_;
                for (int k = first; k < caretY_; ++k) offset += static_cast<int>(lines_.Get(k).size());
            } else if (caretY_ == index) {
                offset = prefix + caretX_;
            } else {
                offset = prefix + static_cast<int>(s.size()) + caretX_;
                for (int k = index + 1; k < caretY_; ++k) offset += static_cast<int>(lines_.Get(k).size());
            }
        }
        std::vector<std::string> pieces = WrapLine(text, WrapWidth());
        if (offset >= 0) {
            int y = first;
            for (size_t k = 0; k + 1 < pieces.size(); ++k) {
                const int len = static_cast<int>(pieces[k].size());
                if (len > offset) break;
                offset -= len;
                ++y;
            }
            caretX_ = offset;
            caretY_ = y;
        }
        const int oldCount = last - first + 1;
        const bool sameCount = static_cast<int>(pieces.size()) == oldCount;
        if (sameCount) {
            for (int k = 0; k < oldCount; ++k) lines_.Put(first + k, std::move(pieces[static_cast<size_t>(k)]));
            InvalidateLines(first, last);
        } else {
            lines_.Put(first, std::move(pieces[0]));
            lines_.DeleteLines(first + 1, oldCount - 1);
            std::vector<std::string> rest(std::make_move_iterator(pieces.begin() + 1), std::make_move_iterator(pieces.end()));
            std::vector<std::unique_ptr<TQzLineAttribute>> attrs;
            for (size_t k = 0; k < rest.size(); ++k) attrs.push_back(std::make_unique<TQzLineAttribute>(-2, true));
            lines_.InsertLines(first + 1, std::move(rest), std::move(attrs));
            InvalidateLines(first, topLine_ + VisibleLines());
        }
    }
    // Merged continuation lines may have been below the caret or the selection.
    if (caretY_ >= lines_.Count()) caretY_ = std::max(lines_.Count() - 1, 0);
    selAnchor_ = ClampPos(selAnchor_);
    selEnd_ = ClampPos(selEnd_);
    loading_ = wasLoading;
    modified_ = true;
}

// ---- typing ----

void TQzPadModel::EnsureLine()
{
    if (lines_.Count() > 0) return;
    const bool wasLoading = loading_;
    loading_ = true;
    lines_.Add(std::string());
    loading_ = wasLoading;
    StoreCaret(TPoint(0, 0));
    selAnchor_ = selEnd_ = TPoint();
}

void TQzPadModel::PutString(const std::string& s)
{
    ImeTakeOut();
    EnsureLine();
    if (GetSelectAvail()) SetSelText(std::string());
    std::string line = ExpandedCurLine();
    const int len = static_cast<int>(line.size());
    if (caretX_ > len) {
        if (PastEndAllowed(caretY_))
            line.append(static_cast<size_t>(caretX_ - len), ' ');
        else
            SetCaretX(len);
    }
    // Text goes in before or after a double-byte character, never between its two bytes.
    if (QzIsTrailAt(line, caretX_)) SetCaretX(caretX_ + 1);
    const int x = caretX_;
    const std::string head = line.substr(0, static_cast<size_t>(x));
    // Under word wrap a tab goes in as the blanks it stands for on its row: the wrapped rows of a
    // line hold no tabs, and a tab kept on a continuation row would reach another tab stop.
    const std::string text = wordWrap_ != qzwwNone && s.find('\t') != std::string::npos ? ExpandStr(head + s).substr(head.size()) : s;
    const int newCol = static_cast<int>(ExpandStr(head + text).size());
    if (editMode_ == qzmOverwrite && x < static_cast<int>(line.size())) {
        // Whole characters are replaced: the overwritten range never ends inside a character.
        int end = std::min(x + static_cast<int>(text.size()), static_cast<int>(line.size()));
        if (QzIsTrailAt(line, end)) ++end;
        line.replace(static_cast<size_t>(x), static_cast<size_t>(end - x), text);
    } else {
        line.insert(static_cast<size_t>(x), text);
    }
    SetCaretX(newCol);
    SetLine(caretY_, line);
    RepaintForComment(line);
    trailStep_ = false;
}

void TQzPadModel::AddChar(char ch)
{
    TypeText(std::string(1, ch));
}

bool TQzPadModel::DeleteSelectionForTyping(TPoint& start)
{
    ClampSelectionToText();
    if (!GetSelectAvail()) return false;
    // The text goes in where the removal began: a block's left edge, like a stream's start, is
    // never inside a character.
    start = StablePos(SelEdge(GetSelStart()));
    const TPoint caret = CaretPos();
    const TPoint s = GetSelStart();
    const TPoint e = GetSelEnd();
    const std::string text = GetSelText();
    DeleteSelection();
    SetCaretPosition(start);
    Record(qzcDeleteSelBlock, caret, s, e, text);
    return true;
}

void TQzPadModel::TypeText(const std::string& text)
{
    if (ReadOnly() || text.empty()) return;
    TEditScope scope(*this);
    ImeTakeOut();
    TPoint p = CaretPos();
    TPoint selStart;
    if (DeleteSelectionForTyping(selStart)) p = selStart;
    if (!PastEndAllowed(p.Y)) p.X = std::min(p.X, ExpandedLineLength(p.Y));
    // A caret left inside a character (a column block's edge, an edit of the line) types after it.
    if (QzIsTrailAt(ExpandedLine(p.Y), p.X)) {
        ++p.X;
        SetCaretPosition(p);
    }
    p = StablePos(p);
    PutString(text);
    Record(qzcInsert, CaretPos(), p, CaretPos(), text);
    AddMacroStep(qzcInsert, text);
}

// ---- selected text ----

TPoint TQzPadModel::SelEdge(TPoint p) const
{
    p.X = QzAdjustEdge(ExpandedLine(p.Y), p.X);
    return p;
}

std::string TQzPadModel::GetSelText() const
{
    if (!GetSelectAvail()) return std::string();
    // A stream's ends, like a column block's edges, never fall inside a character.
    const TPoint s = blockMode_ == qzbmLine ? SelEdge(GetSelStart()) : GetSelStart();
    const TPoint e = blockMode_ == qzbmLine ? SelEdge(GetSelEnd()) : GetSelEnd();
    std::string out;
    if (blockMode_ == qzbmColumn) {
        for (int y = s.Y; y <= e.Y; ++y) {
            const std::string line = ExpandedLine(y);
            const int len = static_cast<int>(line.size());
            const int l = QzAdjustEdge(line, s.X);
            const int r = std::max(QzAdjustEdge(line, e.X), l);
            std::string row = l < len ? line.substr(static_cast<size_t>(l), static_cast<size_t>(std::min(r, len) - l)) : std::string();
            row.append(static_cast<size_t>(r - l) - row.size(), ' ');
            out += row;
            out += "\r\n";
        }
        return out;
    }
    auto part = [](const std::string& line, int from, int to) {
        const int len = static_cast<int>(line.size());
        from = std::min(from, len);
        to = std::min(to, len);
        return from < to ? line.substr(static_cast<size_t>(from), static_cast<size_t>(to - from)) : std::string();
    };
    if (s.Y == e.Y) return part(ExpandedLine(s.Y), s.X, e.X);
    const std::string first = ExpandedLine(s.Y);
    out = part(first, s.X, static_cast<int>(first.size()));
    // A soft-wrap continuation follows its line without a line break.
    auto lineBreak = [this](int y) {
        const TQzLineAttribute* a = lines_.Attribute(y);
        return (a && a->Wrapped) ? "" : "\r\n";
    };
    for (int y = s.Y + 1; y < e.Y; ++y) {
        out += lineBreak(y);
        out += ExpandedLine(y);
    }
    out += lineBreak(e.Y);
    out += part(ExpandedLine(e.Y), 0, e.X);
    return out;
}

void TQzPadModel::DeleteSelection()
{
    if (ReadOnly() || !GetSelectAvail()) return;
    BeginUpdate();
    const bool wasLoading = loading_;
    loading_ = true;
    const TPoint s = blockMode_ == qzbmLine ? SelEdge(GetSelStart()) : GetSelStart();
    const TPoint e = blockMode_ == qzbmLine ? SelEdge(GetSelEnd()) : GetSelEnd();
    if (blockMode_ == qzbmColumn) {
        for (int y = s.Y; y <= e.Y && lines_.IsLine(y); ++y) {
            std::string line = ExpandedLine(y);
            const int len = static_cast<int>(line.size());
            const int l = QzAdjustEdge(line, s.X);
            const int r = std::min(QzAdjustEdge(line, e.X), len);
            if (l < r) {
                line.erase(static_cast<size_t>(l), static_cast<size_t>(r - l));
                SetLine(y, line);
            }
        }
        // The caret goes to the block's left edge, where the text after the block now begins.
        if (caretY_ >= s.Y && caretY_ <= e.Y) caretX_ = QzAdjustEdge(ExpandedCurLine(), s.X);
        caretX_ = std::min(caretX_, ExpandedCurLineLength());
    } else if (s.Y == e.Y) {
        std::string line = ExpandedLine(s.Y);
        const int len = static_cast<int>(line.size());
        const int l = std::min(s.X, len);
        const int r = std::min(e.X, len);
        if (l < r) line.erase(static_cast<size_t>(l), static_cast<size_t>(r - l));
        StoreCaret(s);
        SetLine(s.Y, line);
        if (wordWrap_ == qzwwNone) StoreCaret(s);
    } else {
        std::string head = ExpandedLine(s.Y);
        // Past the line's end (ScrollPastEOL) the joined text begins at the selection's column.
        if (static_cast<int>(head.size()) > s.X)
            head.resize(static_cast<size_t>(s.X));
        else if (PastEndAllowed(s.Y))
            head.append(static_cast<size_t>(s.X) - head.size(), ' ');
        const std::string endLine = ExpandedLine(e.Y);
        const size_t tailLen = e.X < static_cast<int>(endLine.size()) ? endLine.size() - static_cast<size_t>(e.X) : 0;
        if (tailLen > 0) head += endLine.substr(static_cast<size_t>(e.X));
        const TQzLineAttribute* after = lines_.Attribute(e.Y + 1);
        // Under word wrap nothing is trimmed: the joined text may go on in continuation lines, and
        // trimming would move positions that undo records point to.
        const bool logicalEnd = !(after && after->Wrapped) && wordWrap_ == qzwwNone;
        if (logicalEnd) {
            size_t n = head.size();
            while (n > 0 && head[n - 1] == ' ') --n;
            head.resize(n);
        }
        // The joined line takes the end line's attribute but stays what the start line was: a
        // continuation or not.
        const TQzLineAttribute* startAttr = lines_.Attribute(s.Y);
        const bool startWrapped = startAttr && startAttr->Wrapped;
        lines_.SetAttribute(s.Y, lines_.TakeAttribute(e.Y));
        lines_.SetWrapped(s.Y, startWrapped);
        lines_.DeleteLines(s.Y + 1, e.Y - s.Y);
        const TPoint at(PastEndAllowed(s.Y) ? s.X : std::min(s.X, static_cast<int>(head.size())), s.Y);
        StoreCaret(at);
        SetLine(s.Y, head);
        if (wordWrap_ == qzwwNone) StoreCaret(at);
        if (s.Y < topLine_) topLine_ = s.Y;
        Invalidate();
    }
    StoreCaret(ClampPos(CaretPos()));
    selAnchor_ = selEnd_ = CaretPos();
    loading_ = wasLoading;
    UpdateVertScrollBar();
    UpdateHorzScrollBar();
    FireChanged();
    EndUpdate();
    UpdateCaretPos();
}

void TQzPadModel::InsertText(const std::string& s)
{
    EnsureLine();
    BeginUpdate();
    const bool wasLoading = loading_;
    loading_ = true;
    // Inserted text never overwrites (its undo removes exactly what went in) and is never indented.
    const TQzPadOptions savedOptions = options_;
    const TQzEditMode savedEdit = editMode_;
    editMode_ = qzmInsert;
    options_.Exclude(qzoAutoIndent);
    const std::vector<std::string> pieces = SplitPieces(s);
    const bool endsWithLf = !s.empty() && (s.back() == '\n' || s.back() == '\r');
    lastInsertMaxCol_ = caretX_;
    if (blockMode_ == qzbmColumn) {
        int k = caretX_;
        for (size_t i = 0; i < pieces.size(); ++i) {
            std::string line = ExpandedCurLine();
            if (static_cast<int>(line.size()) < k) line.append(static_cast<size_t>(k) - line.size(), ' ');
            if (QzIsTrailAt(line, k)) ++k;
            // A row goes in as the blanks its tabs stand for at the block's column, so that the
            // caret after it and the rows below line up with what is shown.
            const std::string piece = ExpandStr(line.substr(0, static_cast<size_t>(k)) + pieces[i]).substr(static_cast<size_t>(k));
            line.insert(static_cast<size_t>(k), piece);
            SetLine(caretY_, line);
            if (caretY_ == lines_.Count() - 1) lines_.Add(std::string());
            if (i + 1 < pieces.size()) StoreCaret(TPoint(caretX_, caretY_ + 1));
            caretX_ = k + static_cast<int>(piece.size());
            lastInsertMaxCol_ = std::max(lastInsertMaxCol_, caretX_);
        }
    } else if (!pieces.empty()) {
        InsertTextLines(pieces, endsWithLf);
    }
    options_ = savedOptions;
    editMode_ = savedEdit;
    loading_ = wasLoading;
    EndUpdate();
    UpdateVertScrollBar();
    UpdateHorzScrollBar();
    FireChanged();
}

void TQzPadModel::InsertTextLines(const std::vector<std::string>& pieces, bool endsWithLf)
{
    const size_t k = pieces.size();
    if (k == 1 && !endsWithLf) {
        PutString(pieces[0]);
        return;
    }
    // The result of putting each piece and breaking the line after it, built in one
    // splice. Every line broken after its piece is stored expanded, the last piece keeps its tabs.
    const int cy = caretY_;
    std::string line = ExpandedLine(cy);
    int cx = caretX_;
    // Text goes in before or after a double-byte character, never between its two bytes.
    if (QzIsTrailAt(line, cx)) ++cx;
    if (cx > static_cast<int>(line.size())) {
        if (PastEndAllowed(cy))
            line.append(static_cast<size_t>(cx) - line.size(), ' ');
        else
            cx = static_cast<int>(line.size());
    }
    const std::string head = line.substr(0, static_cast<size_t>(cx));
    const std::string tail = line.substr(static_cast<size_t>(cx));
    std::vector<std::string> out;
    out.reserve(k + 1);
    int caretCol = 0;
    for (size_t i = 0; i < k; ++i) {
        std::string text = i == 0 ? head + pieces[i] : pieces[i];
        if (i + 1 == k && !endsWithLf) {
            caretCol = static_cast<int>(ExpandStr(text).size());
            out.push_back(text + tail);
        } else {
            out.push_back(ExpandStr(text));
        }
    }
    if (endsWithLf) out.push_back(tail);
    const int added = static_cast<int>(out.size()) - 1;
    TPoint target(caretCol, cy + added);
    if (wordWrap_ == qzwwNone) {
        lines_.Put(cy, std::move(out[0]));
        out.erase(out.begin());
        lines_.InsertLines(cy + 1, std::move(out));
    } else {
        // The lines between the first and the last are whole lines of their own and are wrapped
        // here; the first and the last go through SetLine, which wraps the whole line each belongs
        // to (the last takes in the continuations that followed the caret line).
        const std::string first = out.front();
        const std::string last = out.back();
        const int width = WrapWidth();
        std::vector<std::string> physical;
        std::vector<std::unique_ptr<TQzLineAttribute>> attrs;
        for (int i = 1; i < added; ++i) {
            std::vector<std::string> parts = WrapLine(out[static_cast<size_t>(i)], width);
            for (size_t j = 0; j < parts.size(); ++j) {
                physical.push_back(std::move(parts[j]));
                attrs.push_back(j > 0 ? std::make_unique<TQzLineAttribute>(-2, true) : nullptr);
            }
        }
        const int lastIndex = cy + 1 + static_cast<int>(physical.size());
        physical.push_back(std::string());
        attrs.push_back(nullptr);
        lines_.InsertLines(cy + 1, std::move(physical), std::move(attrs));
        StoreCaret(TPoint(caretCol, lastIndex));
        SetLine(lastIndex, last);
        target = CaretPos();
        const int before = lines_.Count();
        SetLine(cy, first);
        target.Y += lines_.Count() - before;
        StoreCaret(TPoint(cx, cy));
    }
    SetCaretY(target.Y);
    SetCaretX(target.X);
    modified_ = true;
    trailStep_ = false;
}
