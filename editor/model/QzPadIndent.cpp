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
    if (!options_.Contains(qzoScrollPastEOL)) before.X = std::min(before.X, len);
    before = StablePos(before);
    PutString(text);
    Record(qzcInsert, CaretPos(), CaretPos(), before, text);
    if (undoRecording_ && !lastOverwritten_.empty()) undoList_.Last()->Overwritten = lastOverwritten_;
    AddMacroStep(qzcInsert, text);
}

void TQzPadModel::BlockIndent()
{
    if (ReadOnly()) return;
    DoBlockIndent(true, true);
}

void TQzPadModel::BlockUnindent()
{
    if (ReadOnly()) return;
    DoBlockIndent(false, true);
}

void TQzPadModel::DoBlockIndent(bool indent, bool record, const std::string& mask)
{
    const bool hasSel = GetSelectAvail();
    const TPoint s = hasSel ? GetSelStart() : CaretPos();
    const TPoint e = hasSel ? GetSelEnd() : CaretPos();
    const int size = std::max(indentSize_, 0);
    const std::string blanks(static_cast<size_t>(size), ' ');
    TQzUndoItem* rec = nullptr;
    if (record && undoRecording_)
        rec = undoList_.AddUndo(indent ? qzcBlockIndent : qzcBlockUnindent, blockMode_, CaretPos(), s, e, std::string());
    if (size == 0) return;
    // An unindent notes which lines lost their blanks, so that its undo gives back only those.
    std::string changed;
    auto skip = [&](int y) {
        const size_t k = static_cast<size_t>(y - s.Y);
        return !mask.empty() && (k >= mask.size() || mask[k] != '1');
    };
    BeginUpdate();
    const bool wasLoading = loading_;
    loading_ = true;
    const TPoint caret = CaretPos();
    TPoint anchor = selAnchor_;
    TPoint end = selEnd_;
    bool caretOnLast = false;
    int caretShift = 0;
    if (blockMode_ == qzbmLine && s.Y != e.Y) {
        const int last = e.X == 0 ? e.Y - 1 : e.Y;
        bool lastChanged = false;
        for (int y = s.Y; y <= last; ++y) {
            std::string line = ExpandedLine(y);
            if (indent) {
                if (skip(y)) {
                    lastChanged = false;
                    continue;
                }
                SetLine(y, blanks + line);
                lastChanged = true;
            } else if (line.compare(0, blanks.size(), blanks) == 0) {
                SetLine(y, line.substr(blanks.size()));
                lastChanged = y == last;
                changed += '1';
            } else {
                if (y == last) lastChanged = false;
                changed += '0';
            }
        }
        if (e.X != 0 && lastChanged) {
            const int d = indent ? size : -size;
            // The selection's later point sits on the last line; it moves with the text.
            if (anchor == e) anchor.X = std::max(anchor.X + d, 0);
            if (end == e) end.X = std::max(end.X + d, 0);
            caretOnLast = caret.Y == e.Y;
            caretShift = d;
        }
    } else {
        bool lastChanged = false;
        int edge = 0;
        for (int y = s.Y; y <= e.Y && lines_.IsLine(y); ++y) {
            std::string line = ExpandedLine(y);
            edge = QzAdjustEdge(line, s.X);
            if (indent && skip(y)) {
                lastChanged = false;
                continue;
            }
            if (indent) {
                // A line that ends before the edge has nothing to indent there.
                if (static_cast<int>(line.size()) < edge) {
                    lastChanged = false;
                    continue;
                }
                line.insert(static_cast<size_t>(edge), blanks);
                SetLine(y, line);
                lastChanged = true;
            } else {
                const bool match = static_cast<int>(line.size()) >= edge + size &&
                                   line.compare(static_cast<size_t>(edge), blanks.size(), blanks) == 0;
                if (match) {
                    line.erase(static_cast<size_t>(edge), blanks.size());
                    SetLine(y, line);
                }
                lastChanged = match;
                changed += match ? '1' : '0';
            }
        }
        if (lastChanged && (e.X != 0 || !hasSel)) {
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
            caretOnLast = caret.Y == e.Y;
            caretShift = indent ? size : -size;
        }
    }
    if (rec && !indent) rec->Text = changed;
    if (caretOnLast) StoreCaret(TPoint(std::max(caret.X + caretShift, 0), caret.Y));
    selAnchor_ = ClampPos(anchor);
    selEnd_ = ClampPos(end);
    loading_ = wasLoading;
    modified_ = true;
    EndUpdate();
    UpdateCaretPos();
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
