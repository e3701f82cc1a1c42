// Undo: replays the newest record backwards.

#include "editor/model/QzPadDbcs.h"
#include "editor/model/QzPadModel.h"

#include <algorithm>
#include <string>
#include <vector>

void TQzPadModel::Undo()
{
    if (ReadOnly() || undoList_.Count() == 0) return;
    ImeTakeOut();
    TQzUndoItem* r = undoList_.Last();

    // Replay always inserts, breaks lines without indentation and records nothing, whatever the
    // user's mode; a selection of the user's is collapsed first so that nothing else is deleted.
    const TQzBlockMode savedBlock = blockMode_;
    const TQzEditMode savedEdit = editMode_;
    const TQzPadOptions savedOptions = options_;
    const bool savedRecording = undoRecording_;
    editMode_ = qzmInsert;
    options_.Exclude(qzoAutoIndent);
    undoRecording_ = false;
    replaying_ = true;
    if (GetSelectAvail()) SetSelStart(CaretPos());
    SetBlockMode(r->BlockMode);

    auto caretTo = [this](TPoint p) {
        p = ClampPos(p);
        SetCaretY(p.Y);
        SetCaretX(p.X);
    };
    auto reinsert = [this](const std::string& text) {
        if (text == "\r")
            ProcessReturn();
        else
            PutString(text);
    };
    auto selectRange = [this](TPoint a, TPoint b) {
        SetSelStart(a);
        SetSelEnd(b);
    };

    switch (r->Command) {
    case qzcDeleteChar:
    case qzcDeleteWord:
        caretTo(r->CaretPos);
        reinsert(r->Text);
        caretTo(r->CaretPos);
        break;
    case qzcDeletePrevChar:
    case qzcDeletePrevWord:
        caretTo(r->CaretPos);
        reinsert(r->Text);
        break;
    case qzcDeleteLine:
        if (r->EndPos == TPoint(-1, -1) && lines_.Count() == 1 && lines_.Get(0).empty()) {
            SetLine(0, r->Text);
        } else {
            lines_.Insert(std::clamp(r->CaretPos.Y, 0, lines_.Count()), r->Text);
        }
        caretTo(r->CaretPos);
        InvalidateLines(caretY_, topLine_ + VisibleLines());
        break;
    case qzcDeleteEOL:
        caretTo(r->CaretPos);
        PutString(r->Text);
        caretTo(r->CaretPos);
        break;
    case qzcDeleteSelBlock: {
        const TPoint start = ReinsertRemoved(*r);
        SetSelStart(start);
        SetSelEnd(CaretPos());
        caretTo(r->CaretPos);
        break;
    }
    case qzcInsertCR:
        caretTo(r->CaretPos);
        if (caretY_ > 0) {
            const int y = caretY_;
            const std::string above = ExpandedLine(y - 1);
            const std::string line = ExpandedCurLine();
            SetCaretY(y - 1);
            SetCaretX(static_cast<int>(above.size()));
            lines_.Delete(y);
            StoreCaret(TPoint(static_cast<int>(above.size()), y - 1));
            SetLine(y - 1, above + line);
        }
        break;
    case qzcBlockIndent:
    case qzcBlockUnindent:
        selectRange(ClampPos(r->StartPos), ClampPos(r->EndPos));
        caretTo(r->CaretPos);
        DoBlockIndent(r->Command == qzcBlockUnindent, false, r->Command == qzcBlockUnindent ? r->Text : std::string());
        break;
    case qzcDragDropCopy:
    case qzcInsertBlock:
    case qzcInsert:
        if (r->BlockMode == qzbmColumn && !r->Text.empty() && r->Command != qzcInsert) {
            UndoColumnInsert(ClampPos(r->StartPos), r->Text);
        } else {
            selectRange(ClampPos(r->StartPos), ClampPos(r->EndPos));
            DeleteSelection();
        }
        if (!r->Overwritten.empty()) {
            const TPoint at = CaretPos();
            PutString(r->Overwritten);
            caretTo(at);
        }
        break;
    case qzcDragDropMove:
    case qzcOverwriteBlock: {
        const bool overwrite = r->Command == qzcOverwriteBlock;
        if (r->BlockMode == qzbmColumn && !r->Text.empty()) {
            UndoColumnInsert(ClampPos(r->StartPos), r->Text);
        } else {
            selectRange(ClampPos(r->StartPos), ClampPos(r->EndPos));
            DeleteSelection();
        }
        undoList_.DeleteLast();
        TQzUndoItem* p = undoList_.Last();
        if (p && p->Command == qzcDeleteSelBlock) {
            SetBlockMode(p->BlockMode);
            ReinsertRemoved(*p);
            caretTo(p->CaretPos);
            if (overwrite) selectRange(ClampPos(p->StartPos), ClampPos(p->EndPos));
        }
        r = p;
        break;
    }
    case qzcSort:
        selectRange(ClampPos(r->StartPos), ClampPos(r->EndPos));
        if (GetSelectAvail()) DeleteSelection();
        InsertText(r->Text);
        caretTo(r->CaretPos);
        break;
    default:
        break;
    }

    SetBlockMode(savedBlock);
    if (r) undoList_.DeleteLast();
    editMode_ = savedEdit;
    options_ = savedOptions;
    undoRecording_ = savedRecording;
    replaying_ = false;
    UpdateCaretPos();
}

namespace {

// The rows of a column block's text: split at CR LF, LF or CR; a final line end adds no row.
std::vector<std::string> ColumnRows(const std::string& text)
{
    std::vector<std::string> rows;
    size_t p = 0;
    while (p < text.size()) {
        size_t q = text.find_first_of("\r\n", p);
        if (q == std::string::npos) q = text.size();
        rows.push_back(text.substr(p, q - p));
        if (q < text.size() && text[q] == '\r') ++q;
        if (q < text.size() && text[q] == '\n') ++q;
        p = q;
    }
    return rows;
}

}  // namespace

// A column block went in row by row, each row at most one column right of the start column (off
// a trail byte); each row's piece is taken out again where it stands.
void TQzPadModel::UndoColumnInsert(TPoint start, const std::string& text)
{
    const std::vector<std::string> pieces = ColumnRows(text);
    BeginUpdate();
    const bool wasLoading = loading_;
    loading_ = true;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const int y = start.Y + static_cast<int>(i);
        if (!lines_.IsLine(y) || pieces[i].empty()) continue;
        std::string line = ExpandedLine(y);
        for (int k : {start.X, start.X + 1}) {
            if (k + pieces[i].size() <= line.size() && line.compare(static_cast<size_t>(k), pieces[i].size(), pieces[i]) == 0) {
                line.erase(static_cast<size_t>(k), pieces[i].size());
                SetLine(y, line);
                break;
            }
        }
    }
    loading_ = wasLoading;
    modified_ = true;
    SetSelStart(start);
    SetCaretPosition(start);
    EndUpdate();
    FireChanged();
}

// Puts the text of a removal record back at its start (the restored line gets back the blanks
// that the removal trimmed before and after it) and answers where the text begins.
TPoint TQzPadModel::ReinsertRemoved(const TQzUndoItem& item)
{
    const TPoint start = ClampPos(item.StartPos);
    if (item.BlockMode == qzbmLine && ExpandedLineLength(start.Y) < start.X) {
        std::string line = ExpandedLine(start.Y);
        line.append(static_cast<size_t>(start.X) - line.size(), ' ');
        SetLine(start.Y, line);
    }
    SetCaretY(start.Y);
    SetCaretX(start.X);
    SetSelStart(start);
    if (item.BlockMode == qzbmColumn)
        ReinsertColumnRows(start, item.Text);
    else
        InsertText(item.Text);
    if (item.TrailingBlanks > 0) {
        const std::string line = ExpandedCurLine() + std::string(static_cast<size_t>(item.TrailingBlanks), ' ');
        const TPoint caret = CaretPos();
        SetLine(caretY_, line);
        StoreCaret(caret);
    }
    return start;
}

// The rows of a removed column block go back where each was taken from: a row's left edge was
// moved right off a trail byte on its own line, so each row is put back at its own edge. Removing
// the block removed no lines, so none are added below the text.
void TQzPadModel::ReinsertColumnRows(TPoint start, const std::string& text)
{
    const std::vector<std::string> pieces = ColumnRows(text);
    BeginUpdate();
    const bool wasLoading = loading_;
    loading_ = true;
    TPoint caret = start;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const int y = start.Y + static_cast<int>(i);
        if (!lines_.IsLine(y)) lines_.Add(std::string());
        std::string line = ExpandedLine(y);
        if (static_cast<int>(line.size()) < start.X) line.append(static_cast<size_t>(start.X) - line.size(), ' ');
        const int k = QzAdjustEdge(line, start.X);
        line.insert(static_cast<size_t>(k), pieces[i]);
        StoreCaret(TPoint(k, y));
        SetLine(y, line);
        caret = TPoint(k + static_cast<int>(pieces[i].size()), y);
    }
    loading_ = wasLoading;
    modified_ = true;
    SetCaretY(caret.Y);
    SetCaretX(caret.X);
    EndUpdate();
    UpdateVertScrollBar();
    UpdateHorzScrollBar();
    FireChanged();
}
