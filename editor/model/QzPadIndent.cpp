// Bookmarks, the tab key, block indent and unindent, word delimiters and block-comment marks.

#include "editor/model/QzPadDbcs.h"
#include "editor/model/QzPadModel.h"
#include "editor/model/QzPadScan.h"
#include "editor/model/QzSyntax.h"

#include "platform/core/SysUtils.h"

#include <algorithm>

// ---- bookmarks ----

void TQzPadModel::SetBookmark(int line, int number)
{
    if (!lines_.IsLine(line) || number < -1 || number > 9) return;
    const bool wasLoading = loading_;
    loading_ = true;
    TQzLineAttribute* attr = lines_.Attribute(line);
    if (number >= 0) {
        const int other = FindBookmark(number);
        if (other >= 0 && other != line) {
            lines_.Attribute(other)->Bookmark = -2;
            if (IsLineVisible(other)) InvalidateLine(other);
        }
        if (attr)
            attr->Bookmark = attr->Bookmark == number ? -2 : number;
        else
            lines_.EnsureAttribute(line, number, false);
    } else {
        if (attr)
            attr->Bookmark = attr->Bookmark == -2 ? -1 : -2;
        else
            lines_.EnsureAttribute(line, -1, false);
    }
    loading_ = wasLoading;
    InvalidateLine(line);
}

int TQzPadModel::FindBookmark(int number) const
{
    for (int i = 0; i < lines_.Count(); ++i) {
        const TQzLineAttribute* a = lines_.Attribute(i);
        if (a && a->Bookmark == number) return i;
    }
    return -2;
}

void TQzPadModel::GoToBookmark(int number)
{
    const int line = FindBookmark(number);
    if (line >= 0) GoToLine(line + 1);
}

bool TQzPadModel::NextBookmark()
{
    for (int i = caretY_ + 1; i < lines_.Count(); ++i) {
        const TQzLineAttribute* a = lines_.Attribute(i);
        if (a && a->Bookmark != -2) {
            GoToLine(i + 1);
            return true;
        }
    }
    return false;
}

bool TQzPadModel::PrevBookmark()
{
    for (int i = std::min(caretY_, lines_.Count()) - 1; i >= 0; --i) {
        const TQzLineAttribute* a = lines_.Attribute(i);
        if (a && a->Bookmark != -2) {
            GoToLine(i + 1);
            return true;
        }
    }
    return false;
}

void TQzPadModel::ClearBookmark()
{
    for (int i = 0; i < lines_.Count(); ++i)
        if (TQzLineAttribute* a = lines_.Attribute(i)) a->Bookmark = -2;
    InvalidateLines(topLine_, topLine_ + VisibleLines());
}

std::string TQzPadModel::GetBookmarkStr() const
{
    std::string out;
    for (int i = 0; i < lines_.Count(); ++i) {
        const TQzLineAttribute* a = lines_.Attribute(i);
        if (!a || a->Bookmark == -2) continue;
        out += std::to_string(i);
        if (a->Bookmark >= 0) out += ":" + std::to_string(a->Bookmark);
        out += ",";
    }
    if (!out.empty()) out.pop_back();
    return out;
}

// ---- tab and block indent ----

void TQzPadModel::InsertTab()
{
    if (ReadOnly()) return;
    TEditScope scope(*this);
    TPoint selStart;
    DeleteSelectionForTyping(selStart);
    const int len = ExpandedCurLineLength();
    std::string text;
    if (options_.Contains(qzoUseSpace)) {
        const int ts = SafeTabSize();
        text.assign(static_cast<size_t>(ts - std::min(caretX_, len) % ts), ' ');
    } else {
        text = "\t";
    }
    TPoint before = CaretPos();
    if (!PastEndAllowed(caretY_)) before.X = std::min(before.X, len);
    before = StablePos(before);
    PutString(text);
    // The macro gets the tab command from the dispatch, which replays it as a tab; a step with
    // the text as well would put the tab in twice.
    Record(qzcInsert, CaretPos(), CaretPos(), before, text);
}

void TQzPadModel::BlockIndent()
{
    if (ReadOnly()) return;
    DoBlockIndent(true);
}

void TQzPadModel::BlockUnindent()
{
    if (ReadOnly()) return;
    DoBlockIndent(false);
}

void TQzPadModel::DoBlockIndent(bool indent)
{
    TEditScope scope(*this);
    ImeTakeOut();
    const bool hasSel = GetSelectAvail();
    const TPoint s = hasSel ? GetSelStart() : CaretPos();
    const TPoint e = hasSel ? GetSelEnd() : CaretPos();
    const TPoint caret = CaretPos();
    const int size = std::max(indentSize_, 0);
    const std::string blanks(static_cast<size_t>(size), ' ');
    if (size > 0) {
        BeginUpdate();
        const bool wasLoading = loading_;
        loading_ = true;
        if (s.Y != e.Y && (blockMode_ == qzbmLine || wordWrap_ != qzwwNone))
            IndentLines(s, e, indent, blanks);
        else if (wordWrap_ != qzwwNone)
            IndentInRow(s, hasSel, indent, blanks);
        else
            IndentAtEdge(s, e, hasSel, indent, blanks);
        // Text never goes in between the two bytes of a character, so a caret that followed its
        // text stands on a character; one left behind on a changed line is moved off a trail byte.
        if (QzIsTrailAt(ExpandedCurLine(), caretX_)) StoreCaret(TPoint(caretX_ + 1, caretY_));
        loading_ = wasLoading;
        modified_ = true;
        EndUpdate();
    }
    Record(indent ? qzcBlockIndent : qzcBlockUnindent, caret, s, e, std::string());
    UpdateCaretPos();
}

// Several lines of a stream, or any block under word wrap: every logical line from S's to the
// last one (E's, or the one before when E is at column 0) gets the blanks at its start or loses
// them there. The caret and the selection points follow their text; a point at a line's start
// stays there.
void TQzPadModel::IndentLines(TPoint s, TPoint e, bool indent, const std::string& blanks)
{
    const int size = static_cast<int>(blanks.size());
    const int lastRow = e.X == 0 ? e.Y - 1 : e.Y;
    auto edit = [&](int first, int, std::string& text) {
        text = LogicalLine(first);
        if (indent) {
            text.insert(0, blanks);
            return true;
        }
        if (text.compare(0, blanks.size(), blanks) != 0) return false;
        text.erase(0, blanks.size());
        return true;
    };
    if (indent)
        RewriteLines(s.Y, lastRow, edit, [size](int p) { return p == 0 ? 0 : p + size; });
    else
        RewriteLines(s.Y, lastRow, edit, [size](int p) { return std::max(p - size, 0); });
}

// No selection, or one within a row, under word wrap: the blanks go in at the block's left edge
// (at the caret without a selection), or are taken out there, in the edge's logical line.
void TQzPadModel::IndentInRow(TPoint s, bool hasSel, bool indent, const std::string& blanks)
{
    const int size = static_cast<int>(blanks.size());
    const std::string line = ExpandedLine(s.Y);
    const int edge = QzAdjustEdge(line, s.X);
    const int first = LogicalFirst(s.Y);
    const int at = LogicalOffset(TPoint(edge, s.Y));
    std::string text = LogicalLine(first);
    if (static_cast<int>(line.size()) < edge) return;
    if (indent) {
        text.insert(static_cast<size_t>(at), blanks);
    } else {
        if (text.compare(static_cast<size_t>(at), blanks.size(), blanks) != 0) return;
        text.erase(static_cast<size_t>(at), blanks.size());
    }
    const int d = indent ? size : -size;
    // The block's left edge stays, what lies right of it follows its text.
    RewriteLogicalLine(first, text, [&](int p) { return p <= at ? p : std::max(p + d, at); });
    if (!hasSel && s.X == 0) {
        // As on a line of its own: at the row's start the caret stays before the blanks.
        selAnchor_ = selEnd_ = CaretPos();
    } else if (!hasSel) {
        // As on a line of its own: the blanks end up selected, the caret after them.
        selAnchor_ = PhysicalPos(first, at);
        selEnd_ = PhysicalPos(first, std::max(at + d, 0));
        StoreCaret(selEnd_);
    }
}

// A column block, or a selection within one line, without word wrap: each line of the block
// gets the blanks at the block's left edge (moved right off a trail byte), or loses them there.
void TQzPadModel::IndentAtEdge(TPoint s, TPoint e, bool hasSel, bool indent, const std::string& blanks)
{
    const int size = static_cast<int>(blanks.size());
    const TPoint caret = CaretPos();
    TPoint anchor = selAnchor_;
    TPoint end = selEnd_;
    bool lastChanged = false;
    bool caretMoves = false;
    int edge = 0;
    for (int y = s.Y; y <= e.Y && lines_.IsLine(y); ++y) {
        std::string line = ExpandedLine(y);
        edge = QzAdjustEdge(line, s.X);
        bool changed = false;
        if (indent) {
            // A line that ends before the edge has nothing to indent there.
            if (static_cast<int>(line.size()) >= edge) {
                line.insert(static_cast<size_t>(edge), blanks);
                changed = true;
            }
        } else if (static_cast<int>(line.size()) >= edge + size && line.compare(static_cast<size_t>(edge), blanks.size(), blanks) == 0) {
            line.erase(static_cast<size_t>(edge), blanks.size());
            changed = true;
        }
        if (changed) SetLine(y, line);
        lastChanged = changed;
        // The caret keeps to its character on any line that changed to its left.
        if (changed && y == caret.Y && caret.X > edge) caretMoves = true;
    }
    // At column 0 the selection and the caret stay where they are: a caret there without a
    // selection stays before the blanks.
    if (lastChanged && e.X != 0) {
        const std::string lastLine = ExpandedLine(e.Y);
        const int right = hasSel ? QzAdjustEdge(lastLine, e.X) : edge;
        const TPoint newEnd(indent ? right + size : std::max(right - size, 0), e.Y);
        if (!hasSel) {
            anchor = TPoint(edge, e.Y);
            end = newEnd;
        } else if (blockMode_ == qzbmColumn) {
            // Move whichever point carries the block's right edge.
            if (anchor.X >= end.X) anchor.X = newEnd.X; else end.X = newEnd.X;
            if (anchor.Y >= end.Y) anchor.Y = std::max(anchor.Y, newEnd.Y); else end.Y = std::max(end.Y, newEnd.Y);
        } else {
            if (anchor == e) anchor = newEnd; else end = newEnd;
        }
        if (caret.Y == e.Y) caretMoves = true;
    }
    if (caretMoves) StoreCaret(TPoint(std::max(caret.X + (indent ? size : -size), 0), caret.Y));
    selAnchor_ = ClampPos(anchor);
    selEnd_ = ClampPos(end);
}

// ---- delimiters and comment marks ----

TCharSet TQzPadModel::GetDelimSet() const
{
    TCharSet set;
    if (SyntaxDelimSet(set)) {
        set.Include(static_cast<unsigned char>(' '));
        return set;
    }
    return DefaultDelimSet();
}

bool TQzPadModel::CheckCommentChar(const std::string& s) const
{
    if (!Colouring()) return false;
    std::vector<std::string> marks;
    SyntaxCommentMarks(marks);
    for (const std::string& m : marks)
        if (!m.empty() && s.find(m) != std::string::npos) return true;
    return false;
}

std::string TQzPadModel::SyntaxBlockBegin() const
{
    return syntax_ ? syntax_->BlockBegin : std::string();
}

bool TQzPadModel::SyntaxDelimSet(TCharSet& set) const
{
    if (!syntax_ || syntax_->Delimiter().empty()) return false;
    set = syntax_->GetDelimSet();
    return true;
}

void TQzPadModel::SyntaxCommentMarks(std::vector<std::string>& marks) const
{
    marks = {syntax_->BlockCommentStart1, syntax_->BlockCommentStart2, syntax_->BlockCommentEnd1,
             syntax_->BlockCommentEnd2};
}

void TQzPadModel::SyntaxParse(const std::string& line, int& state,
                              std::vector<std::pair<std::string, TColor>>& items) const
{
    items.clear();
    syntax_->Parse(line, state);
    for (const TQzSyntaxItem& item : syntax_->ParsedItems()) items.emplace_back(item.Text, item.Color);
}
