// Undo: takes the newest record back.
//
// Every edit that records runs inside an edit scope; while the outermost scope lasts the line
// store logs each change of the lines, and each record takes the changes made since the record
// before it in the scope. Undo takes exactly those changes back, newest first, so the text
// before the step comes back whatever the block mode, the edit mode, the word wrap and the
// options were, and then puts back the caret and the selection of that moment.

#include "editor/model/QzPadDbcs.h"
#include "editor/model/QzPadModel.h"

#include <algorithm>

TQzPadModel::TEditScope::TEditScope(TQzPadModel& pad) : pad_(pad)
{
    if (pad_.editDepth_++ > 0) return;
    // An edit takes the composition out of the text first (the input method's next update
    // shows it again at the caret), so that the caret and selection noted here fit the text.
    pad_.ImeRemoveShown();
    // The moving edge of a column block may stand inside a character; what an edit reads at the
    // caret begins after it. The block itself keeps its edge: each of its rows is cut at that
    // column, moved off a trail byte on that row alone, as it is shown; moving the edge for all
    // rows would take a column more from the others than the selected text holds.
    if (QzIsTrailAt(pad_.ExpandedCurLine(), pad_.caretX_)) {
        const bool block = pad_.blockMode_ == qzbmColumn && pad_.GetSelectAvail();
        if (pad_.selEnd_ == pad_.CaretPos() && !block) ++pad_.selEnd_.X;
        pad_.StoreCaret(TPoint(pad_.caretX_ + 1, pad_.caretY_));
    }
    pad_.pending_.clear();
    if (pad_.undoRecording_) pad_.lines_.SetJournal(&pad_.pending_);
    pad_.MarkBefore();
}

TQzPadModel::TEditScope::~TEditScope()
{
    if (--pad_.editDepth_ > 0) return;
    pad_.lines_.SetJournal(nullptr);
    pad_.pending_.clear();
    pad_.KeepCaretOnText();
    // The window's caret goes where the next character will go.
    pad_.UpdateCaretPos();
}

void TQzPadModel::KeepCaretOnText()
{
    // The moving edge of a column block may stand inside a character or past the line's end.
    if (blockMode_ == qzbmColumn && GetSelectAvail() && selEnd_ == CaretPos()) return;
    if (!lines_.IsLine(caretY_)) return;
    const std::string line = ExpandedCurLine();
    int x = caretX_;
    if (!PastEndAllowed(caretY_)) x = std::min(x, static_cast<int>(line.size()));
    x = QzAdjustEdge(line, x);
    if (x == caretX_) return;
    if (selAnchor_ == selEnd_ && selEnd_ == CaretPos()) selAnchor_ = selEnd_ = TPoint(x, caretY_);
    StoreCaret(TPoint(x, caretY_));
}

void TQzPadModel::MarkBefore()
{
    beforeCaret_ = CaretPos();
    beforeAnchor_ = selAnchor_;
    beforeEnd_ = selEnd_;
}

void TQzPadModel::RewriteStep(int first, int last, const std::function<int()>& rewrite)
{
    TEditScope scope(*this);
    // The rows as text: tab-expanded, a continuation row following its row without a break.
    auto rowsText = [this](int from, int to) {
        std::string out;
        for (int y = std::max(from, 0); y <= to && lines_.IsLine(y); ++y) {
            const TQzLineAttribute* a = lines_.Attribute(y);
            if (y > from && !(a && a->Wrapped)) out += "\r";
            out += ExpandedLine(y);
        }
        return out;
    };
    const size_t logged = pending_.size();
    const TPoint caret = CaretPos();
    const TPoint start(0, first);
    const TPoint end(ExpandedLineLength(last), last);
    std::string before = undoRecording_ ? rowsText(first, last) : std::string();
    const int newLast = rewrite();
    if (!undoRecording_ || pending_.size() == logged) return;
    Record(qzcDeleteSelBlock, caret, start, end, std::move(before));
    const TPoint newEnd(ExpandedLineLength(newLast), newLast);
    Record(qzcOverwriteBlock, start, start, newEnd, rowsText(first, newLast));
}

void TQzPadModel::Undo()
{
    if (ReadOnly() || undoList_.Count() == 0) return;
    ImeTakeOut();
    BeginUpdate();
    const bool wasLoading = loading_;
    loading_ = true;
    TQzUndoItem* r = undoList_.Last();
    // A move by drag and drop and an overwrite of a selection are taken back together with the
    // removal that preceded them.
    const bool paired = r->Command == qzcDragDropMove || r->Command == qzcOverwriteBlock;
    lines_.Revert(r->Changes);
    TPoint caret = r->CaretBefore;
    TPoint anchor = r->AnchorBefore;
    TPoint end = r->EndBefore;
    undoList_.DeleteLast();
    if (TQzUndoItem* p = undoList_.Last(); paired && p && p->Command == qzcDeleteSelBlock) {
        lines_.Revert(p->Changes);
        caret = p->CaretBefore;
        anchor = p->AnchorBefore;
        end = p->EndBefore;
        undoList_.DeleteLast();
    }
    if (lines_.Count() == 0) lines_.Add(std::string());
    loading_ = wasLoading;
    modified_ = true;
    trailStep_ = false;
    selAnchor_ = ClampPos(anchor);
    selEnd_ = ClampPos(end);
    LayoutEditRect();
    EndUpdate();
    // The caret of that moment, kept to where a caret may stand now (the tab size or the options
    // may have changed since): on a character's first byte, and past the line's end only where
    // that is allowed, unless it is the moving edge of a column block.
    caret = ClampPos(caret);
    const bool extending = blockMode_ == qzbmColumn && GetSelectAvail() && selEnd_ == caret;
    if (!extending) {
        if (!PastEndAllowed(caret.Y)) caret.X = std::min(caret.X, ExpandedLineLength(caret.Y));
        caret.X = QzAdjustEdge(ExpandedLine(caret.Y), caret.X);
    }
    SetCaretPosition(caret);
    UpdateVertScrollBar();
    UpdateHorzScrollBar();
    Invalidate();
    FireChanged();
    UpdateCaretPos();
}
