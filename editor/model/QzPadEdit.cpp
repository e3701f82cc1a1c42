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

// ---- the rows the line writer works on ----

class TQzPadModel::TRows {
public:
    virtual ~TRows() = default;
    virtual int Count() const = 0;
    // Row y, 0 <= y < Count(); the reference lasts until the next call.
    virtual const std::string& Text(int y) = 0;
    virtual const TQzLineAttribute* Attr(int y) = 0;
    // Rows first..last become `pieces` (at least one): with as many pieces as rows every row
    // keeps its attribute; otherwise the first row keeps its own, the others go, and every
    // further piece is a new continuation row.
    virtual void Rewrite(int first, int last, std::vector<std::string> pieces) = 0;
    bool IsLine(int y) const { return y >= 0 && y < Count(); }
};

namespace {

// Where `offset` in a line's text falls among `pieces`, the line's rows from row `first` on, as the
// line writer places the caret: the end of a row that goes on belongs to the start of the next.
TPoint PlaceInRows(const std::vector<std::string>& pieces, int first, int offset)
{
    int y = first;
    for (size_t k = 0; k + 1 < pieces.size(); ++k) {
        const int n = static_cast<int>(pieces[k].size());
        if (n > offset) break;
        offset -= n;
        ++y;
    }
    return TPoint(offset, y);
}

std::vector<std::unique_ptr<TQzLineAttribute>> ContinuationAttrs(size_t n)
{
    std::vector<std::unique_ptr<TQzLineAttribute>> attrs;
    attrs.reserve(n);
    for (size_t k = 0; k < n; ++k) attrs.push_back(std::make_unique<TQzLineAttribute>(-2, true));
    return attrs;
}

bool SameAttr(const TQzLineAttribute* a, const TQzLineAttribute* b)
{
    if (!a || !b) return a == b;
    return a->Bookmark == b->Bookmark && a->Wrapped == b->Wrapped && a->SyntaxState == b->SyntaxState;
}

// A logical line's text laid out in rows as it is read, while text goes in at the row being
// read: `width` bytes a row, one less where the cut would split a character (0: one row). What
// is not read yet is head_[at_..] followed by tail_[from_..]; text goes in only into head_, which
// holds the row being read and what went into it, so an insertion costs its row, not the line.
class TRowStream {
public:
    TRowStream(std::string text, int width) : tail_(std::move(text)), width_(static_cast<size_t>(std::max(width, 0))) {}
    // Bytes not read yet.
    size_t Left() const { return head_.size() - at_ + tail_.size() - from_; }
    // The row being read is the line's last.
    bool LastRow() const { return width_ == 0 || Left() <= width_; }
    int RowLength()
    {
        if (LastRow()) return static_cast<int>(Left());
        const std::string_view next = Head(width_ + 1);
        return static_cast<int>(QzIsTrailAt(next, static_cast<int>(width_)) ? width_ - 1 : width_);
    }
    // The first n bytes not read yet, n <= Left(); valid until the next call.
    std::string_view Head(size_t n)
    {
        Fill(n);
        return std::string_view(head_.data() + at_, n);
    }
    // Puts `text` in `offset` bytes after the start of the row being read, offset <= Left().
    void Insert(size_t offset, const std::string& text)
    {
        Fill(offset);
        head_.insert(at_ + offset, text);
    }
    // Reads the row being read.
    std::string Read()
    {
        // The rows read before go once they are half of head_, so that a long piece read row by
        // row is moved in proportion to its length.
        if (at_ * 2 > head_.size()) {
            head_.erase(0, at_);
            at_ = 0;
        }
        const size_t n = static_cast<size_t>(RowLength());
        Fill(n);
        std::string row(head_, at_, n);
        last_ = at_;
        at_ += n;
        return row;
    }
    // Takes back the row read last: it is the row being read again.
    void Unread() { at_ = last_; }

private:
    void Fill(size_t n)
    {
        const size_t have = head_.size() - at_;
        if (have >= n) return;
        const size_t take = std::min(n - have, tail_.size() - from_);
        head_.append(tail_, from_, take);
        from_ += take;
    }

    std::string head_;
    size_t at_ = 0;
    size_t last_ = 0;  // where the row read last begins in head_
    std::string tail_;
    size_t from_ = 0;
    size_t width_;
};

}  // namespace

// The line store itself: every rewrite goes straight in and invalidates what it moved.
class TQzPadModel::TStoreRows : public TQzPadModel::TRows {
public:
    explicit TStoreRows(TQzPadModel& pad) : pad_(pad) {}
    int Count() const override { return pad_.lines_.Count(); }
    const std::string& Text(int y) override { return pad_.lines_.Get(y); }
    const TQzLineAttribute* Attr(int y) override { return pad_.lines_.Attribute(y); }
    void Rewrite(int first, int last, std::vector<std::string> pieces) override
    {
        TQzPadStrings& lines = pad_.lines_;
        const int oldCount = last - first + 1;
        if (static_cast<int>(pieces.size()) == oldCount) {
            for (int k = 0; k < oldCount; ++k) lines.Put(first + k, std::move(pieces[static_cast<size_t>(k)]));
            pad_.InvalidateLines(first, last);
            return;
        }
        lines.Put(first, std::move(pieces[0]));
        lines.DeleteLines(first + 1, oldCount - 1);
        std::vector<std::string> rest(std::make_move_iterator(pieces.begin() + 1), std::make_move_iterator(pieces.end()));
        const size_t n = rest.size();
        lines.InsertLines(first + 1, std::move(rest), ContinuationAttrs(n));
        pad_.InvalidateLines(first, pad_.topLine_ + pad_.VisibleLines());
    }

private:
    TQzPadModel& pad_;
};

// The rows from `base` down, taken out of the store as they are reached and rewritten here;
// Commit puts them back in one splice. A column block is written line by line from its top
// down, so each rewrite lies among the lowest rows taken and costs only its own rows: a block of
// n rows costs time in proportion to n plus one splice, where rewriting the store row by row moved
// all the rows below whenever a row's number of continuations changed (and its undo moved them
// back as often). Rows above `base` are read from the store; rewrites stay at or below it.
class TQzPadModel::TRowWindow : public TQzPadModel::TRows {
public:
    TRowWindow(TQzPadStrings& store, int base)
        : store_(store), base_(std::clamp(base, 0, store.Count())), next_(base_)
    {
    }
    int Count() const override { return store_.Count() - (next_ - base_) + static_cast<int>(rows_.size()); }
    const std::string& Text(int y) override { return y < base_ ? store_.Get(y) : Row(y).Text; }
    const TQzLineAttribute* Attr(int y) override { return y < base_ ? store_.Attribute(y) : Row(y).Attr.get(); }
    void Rewrite(int first, int last, std::vector<std::string> pieces) override
    {
        Row(last);
        const auto at = rows_.begin() + (first - base_);
        const int oldCount = last - first + 1;
        if (static_cast<int>(pieces.size()) == oldCount) {
            for (int k = 0; k < oldCount; ++k) at[k].Text = std::move(pieces[static_cast<size_t>(k)]);
            return;
        }
        at->Text = std::move(pieces[0]);
        const auto from = rows_.erase(at + 1, at + oldCount);
        std::vector<TRow> rest;
        rest.reserve(pieces.size() - 1);
        for (size_t k = 1; k < pieces.size(); ++k)
            rest.push_back(TRow{std::move(pieces[k]), std::make_unique<TQzLineAttribute>(-2, true)});
        rows_.insert(from, std::make_move_iterator(rest.begin()), std::make_move_iterator(rest.end()));
    }
    // Appends an empty row at the end of the text.
    void Add()
    {
        if (Count() - 1 >= base_) Row(Count() - 1);
        rows_.push_back(TRow{std::string(), nullptr});
    }
    // Replaces the store's rows base .. next - 1 by the window's: rows that stand unchanged at
    // either end stay; when as many rows as before remain, each keeping its attribute, only the
    // changed texts are written; otherwise the changed rows are spliced in.
    void Commit()
    {
        const int oldCount = next_ - base_;
        const int newCount = static_cast<int>(rows_.size());
        auto same = [this](const TRow& row, int y) { return row.Text == store_.Get(y) && SameAttr(row.Attr.get(), store_.Attribute(y)); };
        int head = 0;
        while (head < oldCount && head < newCount && same(rows_[static_cast<size_t>(head)], base_ + head)) ++head;
        int tail = 0;
        while (tail < oldCount - head && tail < newCount - head &&
               same(rows_[static_cast<size_t>(newCount - 1 - tail)], next_ - 1 - tail))
            ++tail;
        const int from = base_ + head;
        const int oldMid = oldCount - head - tail;
        const int newMid = newCount - head - tail;
        bool attrsKept = oldMid == newMid;
        for (int k = 0; attrsKept && k < newMid; ++k)
            attrsKept = SameAttr(rows_[static_cast<size_t>(head + k)].Attr.get(), store_.Attribute(from + k));
        if (attrsKept) {
            for (int k = 0; k < newMid; ++k) {
                TRow& row = rows_[static_cast<size_t>(head + k)];
                if (row.Text != store_.Get(from + k)) store_.Put(from + k, std::move(row.Text));
            }
        } else {
            store_.DeleteLines(from, oldMid);
            std::vector<std::string> texts;
            std::vector<std::unique_ptr<TQzLineAttribute>> attrs;
            texts.reserve(static_cast<size_t>(newMid));
            attrs.reserve(static_cast<size_t>(newMid));
            for (int k = 0; k < newMid; ++k) {
                TRow& row = rows_[static_cast<size_t>(head + k)];
                texts.push_back(std::move(row.Text));
                attrs.push_back(std::move(row.Attr));
            }
            store_.InsertLines(from, std::move(texts), std::move(attrs));
        }
        rows_.clear();
        next_ = base_;
    }

private:
    struct TRow {
        std::string Text;
        std::unique_ptr<TQzLineAttribute> Attr;
    };
    // Row y (base <= y < Count()), taking the store's rows down to it first.
    TRow& Row(int y)
    {
        while (base_ + static_cast<int>(rows_.size()) <= y && next_ < store_.Count()) {
            const TQzLineAttribute* a = store_.Attribute(next_);
            rows_.push_back(TRow{store_.Get(next_), a ? std::make_unique<TQzLineAttribute>(*a) : nullptr});
            ++next_;
        }
        return rows_[static_cast<size_t>(y - base_)];
    }

    TQzPadStrings& store_;
    const int base_;
    int next_;  // the first store row not taken
    std::vector<TRow> rows_;
};

void TQzPadModel::SetLine(int index, const std::string& s)
{
    TStoreRows rows(*this);
    WriteRow(rows, index, s);
}

void TQzPadModel::WriteRow(TRows& rows, int index, const std::string& s)
{
    if (!rows.IsLine(index)) return;
    const bool wasLoading = loading_;
    loading_ = true;
    if (wordWrap_ == qzwwNone) {
        rows.Rewrite(index, index, {s});
    } else {
        // The whole logical line (its first line, the continuations before and after index) is
        // wrapped again, so that the layout always follows from the text alone.
        int first = index;
        while (first > 0) {
            const TQzLineAttribute* a = rows.Attr(first);
            if (!a || !a->Wrapped) break;
            --first;
        }
        std::string text;
        for (int k = first; k < index; ++k) text += rows.Text(k);
        const int prefix = static_cast<int>(text.size());
        text += s;
        int n = 0;
        while (rows.IsLine(index + 1 + n)) {
            const TQzLineAttribute* a = rows.Attr(index + 1 + n);
            if (!a || !a->Wrapped) break;
            text += rows.Text(index + 1 + n);
            ++n;
        }
        const int last = index + n;
        // The caret's offset in the logical line when it lies on it.
        int offset = -1;
        if (caretY_ >= first && caretY_ <= last) {
            if (caretY_ < index) {
                offset = caretX_;
                for (int k = first; k < caretY_; ++k) offset += static_cast<int>(rows.Text(k).size());
            } else if (caretY_ == index) {
                offset = prefix + caretX_;
            } else {
                offset = prefix + static_cast<int>(s.size()) + caretX_;
                for (int k = index + 1; k < caretY_; ++k) offset += static_cast<int>(rows.Text(k).size());
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
        rows.Rewrite(first, last, std::move(pieces));
    }
    // Merged continuation lines may have been below the caret or the selection.
    const int count = rows.Count();
    auto clamp = [count](TPoint p) {
        p.X = std::max(p.X, 0);
        p.Y = std::clamp(p.Y, 0, std::max(count - 1, 0));
        return p;
    };
    if (caretY_ >= count) caretY_ = std::max(count - 1, 0);
    selAnchor_ = clamp(selAnchor_);
    selEnd_ = clamp(selEnd_);
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

void TQzPadModel::DeleteSelection(TPoint* keep)
{
    if (ReadOnly() || !GetSelectAvail()) return;
    BeginUpdate();
    const bool wasLoading = loading_;
    loading_ = true;
    const TPoint s = blockMode_ == qzbmLine ? SelEdge(GetSelStart()) : GetSelStart();
    const TPoint e = blockMode_ == qzbmLine ? SelEdge(GetSelEnd()) : GetSelEnd();
    if (blockMode_ == qzbmColumn) {
        RemoveColumn(s, e, keep);
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
        InsertColumn(pieces);
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

void TQzPadModel::RemoveColumn(TPoint s, TPoint e, TPoint* keep)
{
    // Each row's part of the block is taken as the rows stand when the removal begins. Every
    // logical line the block crosses is built once from its rows less their parts and wrapped
    // once, from the top down: rewrapping row by row would let a line that loses a continuation
    // pull the rows below it up between the cuts, so that later cuts fell on other rows. The lines
    // go through a row window, so the removal costs the rows of the lines it crosses.
    const bool wrap = wordWrap_ != qzwwNone;
    const int count = lines_.Count();
    const int bottom = std::min(e.Y, count - 1);
    const int top = LogicalFirst(s.Y);
    // A point carried through: its row as the removal began, and its column on that row once
    // the block's part is out of it.
    struct TTracked {
        TPoint* point;
        bool toEdge;  // the caret: on a row of the block it goes to the block's left edge
        TPoint was;   // where it stood as the removal began
        int x = 0;
        int offset = -1;  // in the new text of its logical line; -1 while its line is not reached
    };
    TPoint caret = CaretPos();
    std::vector<TTracked> tracked{{&caret, true, caret}};
    if (keep) tracked.push_back({keep, false, *keep});
    TRowWindow rows(lines_, top);
    int shift = 0;  // rows the lines rewritten so far gained (negative: lost)
    bool changed = false;
    int first = top;
    while (first <= bottom) {
        int last = first;
        while (wrap && last + 1 < count) {
            const TQzLineAttribute* a = rows.Attr(last + 1 + shift);
            if (!a || !a->Wrapped) break;
            ++last;
        }
        std::string text;
        bool cut = false;
        for (int y = first; y <= last; ++y) {
            std::string row = ExpandStr(rows.Text(y + shift));
            const int start = static_cast<int>(text.size());
            const int len = static_cast<int>(row.size());
            const bool inBlock = y >= s.Y && y <= e.Y;
            const int l = inBlock ? QzAdjustEdge(row, s.X) : len;
            const int r = inBlock ? std::max(std::min(QzAdjustEdge(row, e.X), len), l) : len;
            if (l < r) {
                row.erase(static_cast<size_t>(l), static_cast<size_t>(r - l));
                cut = true;
            }
            for (TTracked& t : tracked) {
                if (t.was.Y != y) continue;
                const int x = t.was.X;
                if (!inBlock)
                    t.x = x;
                else if (t.toEdge)
                    t.x = std::min(l, static_cast<int>(row.size()));
                else
                    t.x = x < l ? x : x < r ? l : x - (r - l);
                t.offset = start + t.x;
            }
            text += row;
        }
        if (cut) {
            std::vector<std::string> pieces = wrap ? WrapLine(text, WrapWidth()) : std::vector<std::string>{text};
            for (TTracked& t : tracked) {
                if (t.offset < 0) continue;
                *t.point = PlaceInRows(pieces, first + shift, t.offset);
                t.offset = -1;
            }
            const int n = static_cast<int>(pieces.size());
            rows.Rewrite(first + shift, last + shift, std::move(pieces));
            shift += n - (last - first + 1);
            changed = true;
        } else {
            for (TTracked& t : tracked) {
                if (t.offset < 0) continue;
                *t.point = TPoint(t.x, t.was.Y + shift);
                t.offset = -1;
            }
        }
        first = last + 1;
    }
    rows.Commit();
    // Rows below the lines crossed moved with them.
    for (TTracked& t : tracked)
        if (t.was.Y >= first) t.point->Y = t.was.Y + shift;
    caretX_ = caret.X;
    caretY_ = caret.Y;
    if (changed) modified_ = true;
}

void TQzPadModel::InsertColumn(const std::vector<std::string>& pieces)
{
    // Piece i goes in at the block's column of the row directly under the row that holds the
    // last byte of piece i - 1, as the rows stand once that piece is in: a piece that reaches or
    // passes its row's end pushes the rest of its line down, and the next piece follows it there
    // instead of skipping a row. Each logical line the block crosses is read once from its first
    // row and wrapped as its pieces go in, so that its rows are those a wrap of its text gives;
    // the rows go through a row window that the store takes in one splice, so the insertion
    // costs the rows of the lines it crosses however many rows one line has.
    const int width = WrapWidth();
    TRowWindow rows(lines_, LogicalFirst(caretY_));
    int k = caretX_;
    int y = caretY_;  // the row the next piece goes on
    TPoint caret = CaretPos();
    size_t i = 0;
    while (i < pieces.size()) {
        if (!rows.IsLine(y)) rows.Add();
        int first = y;
        while (width > 0 && first > 0) {
            const TQzLineAttribute* a = rows.Attr(first);
            if (!a || !a->Wrapped) break;
            --first;
        }
        int last = y;
        while (width > 0 && rows.IsLine(last + 1)) {
            const TQzLineAttribute* a = rows.Attr(last + 1);
            if (!a || !a->Wrapped) break;
            ++last;
        }
        std::string text;
        for (int j = first; j <= last; ++j) text += ExpandStr(rows.Text(j));
        TRowStream line(std::move(text), width);
        std::vector<std::string> out;
        bool lineRead = false;
        // The rows of the line above the first piece's row stay as they are (unless that piece
        // goes in at the start of its row, below).
        while (static_cast<int>(out.size()) < y - first && !line.LastRow()) out.push_back(line.Read());
        while (i < pieces.size() && !lineRead) {
            // A row shorter than the block's column is padded with blanks up to it.
            const int rowLength = line.RowLength();
            if (rowLength < k) line.Insert(static_cast<size_t>(rowLength), std::string(static_cast<size_t>(k - rowLength), ' '));
            if (QzIsTrailAt(line.Head(std::min(static_cast<size_t>(k) + 1, line.Left())), k)) ++k;
            // A piece goes in as the blanks its tabs stand for at the block's column, so that the
            // caret after it and the rows below line up with what is shown.
            const std::string piece = ExpandStr(std::string(line.Head(static_cast<size_t>(k))) + pieces[i]).substr(static_cast<size_t>(k));
            // The row above, cut a byte short before a character that straddled its end, takes the
            // first byte of a piece that goes in at the start of the row: it is read again.
            int lead = 0;
            if (k == 0 && !piece.empty() && !out.empty() && static_cast<int>(out.back().size()) == width - 1) {
                line.Unread();
                lead = width - 1;
                out.pop_back();
            }
            line.Insert(static_cast<size_t>(lead + k), piece);
            const int end = lead + k + static_cast<int>(piece.size());  // from the start of the row read first
            int read = 0;
            int rowStart = 0;
            do {
                lineRead = line.LastRow();
                rowStart = read;
                out.push_back(line.Read());
                read += static_cast<int>(out.back().size());
            } while (read < end && !lineRead);
            caret = TPoint(end - rowStart, first + static_cast<int>(out.size()) - 1);
            lastInsertMaxCol_ = std::max(lastInsertMaxCol_, k + static_cast<int>(piece.size()));
            ++i;
        }
        while (!lineRead) {
            lineRead = line.LastRow();
            out.push_back(line.Read());
        }
        const int n = static_cast<int>(out.size());
        rows.Rewrite(first, last, std::move(out));
        y = first + n;
        // A piece that ends on the last row of the text gets an empty row below it.
        if (caret.Y == rows.Count() - 1) rows.Add();
    }
    rows.Commit();
    caretX_ = caret.X;
    caretY_ = caret.Y;
    modified_ = true;
}

int TQzPadModel::RewriteLines(int top, int bottom, const std::function<bool(int first, int last, std::string& text)>& edit,
                              const std::function<int(int)>& move)
{
    // Each line is wrapped once into a row window, top down, and the store takes the window in
    // one splice: writing the lines into the store one by one would move every row below a line
    // that gains or loses rows, and the undo would move them back as often, in time proportional
    // to the rows times the lines.
    const int count = lines_.Count();
    if (count == 0 || top > bottom || top >= count) return 0;
    const bool wrap = wordWrap_ != qzwwNone;
    const int width = WrapWidth();
    struct TTracked {
        TPoint* point;
        TPoint was;  // where it stood when the rewrite began
        bool placed;
    };
    TPoint caret = CaretPos();
    TTracked tracked[] = {{&caret, caret, false}, {&selAnchor_, selAnchor_, false}, {&selEnd_, selEnd_, false}};
    const bool wasLoading = loading_;
    loading_ = true;
    int first = LogicalFirst(std::max(top, 0));
    TRowWindow rows(lines_, first);
    int shift = 0;  // rows the lines rewritten so far gained (negative: lost)
    bool changed = false;
    while (first <= bottom && first < count) {
        const int last = LogicalLast(first);
        std::string text;
        if (edit(first, last, text)) {
            std::vector<std::string> pieces = wrap ? WrapLine(text, width) : std::vector<std::string>{std::move(text)};
            for (TTracked& t : tracked) {
                if (t.was.Y < first || t.was.Y > last) continue;
                *t.point = PlaceInRows(pieces, first + shift, move(LogicalOffset(t.was)));
                t.placed = true;
            }
            const int n = static_cast<int>(pieces.size());
            rows.Rewrite(first + shift, last + shift, std::move(pieces));
            shift += n - (last - first + 1);
            changed = true;
        } else {
            // A point on a line kept moves with the rows above it.
            for (TTracked& t : tracked) {
                if (t.was.Y < first || t.was.Y > last) continue;
                t.point->Y = t.was.Y + shift;
                t.placed = true;
            }
        }
        first = last + 1;
    }
    rows.Commit();
    loading_ = wasLoading;
    if (!changed) return 0;
    for (TTracked& t : tracked)
        if (!t.placed && t.was.Y >= first) t.point->Y = t.was.Y + shift;
    StoreCaret(ClampPos(caret));
    selAnchor_ = ClampPos(selAnchor_);
    selEnd_ = ClampPos(selEnd_);
    modified_ = true;
    Invalidate();
    return shift;
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
