// Deletions, line breaks, SetSelText, the clipboard, keys, the command dispatch and drag and
// drop of the selection.

#include "editor/model/QzPadDbcs.h"
#include "editor/model/QzPadModel.h"
#include "editor/model/QzPadShortCut.h"

#include "platform/core/FileUtils.h"
#include "platform/core/SysUtils.h"

#include <algorithm>

// ---- SetSelText and the clipboard ----

TPoint TQzPadModel::OffTrailByte(TPoint p) const
{
    // Stream text goes in before or after a double-byte character, never between its bytes; a
    // column block moves its own insertion column row by row.
    if (blockMode_ == qzbmLine && QzIsTrailAt(ExpandedLine(p.Y), p.X)) ++p.X;
    return p;
}

void TQzPadModel::SetSelText(const std::string& s)
{
    TEditScope scope(*this);
    ImeTakeOut();
    BeginUpdate();
    ClampSelectionToText();
    // Without a selection the text goes in at the caret (a collapsed selection may lie elsewhere).
    TPoint p = StablePos(GetSelectAvail() ? GetSelStart() : CaretPos());
    if (GetSelectAvail()) {
        const TPoint caret = CaretPos();
        const TPoint selStart = GetSelStart();
        const TPoint selEnd = GetSelEnd();
        const std::string removed = GetSelText();
        const bool ro = options_.Contains(qzoReadOnly);
        options_.Exclude(qzoReadOnly);  // SetSelText fills read-only controls too
        DeleteSelection();
        if (ro) options_.Include(qzoReadOnly);
        Record(qzcDeleteSelBlock, caret, selStart, selEnd, removed);
        // Trimming the joined line may have left the start past the line's end.
        if (!PastEndAllowed(p.Y) && blockMode_ == qzbmLine) p.X = std::min(p.X, ExpandedLineLength(p.Y));
        p = OffTrailByte(p);
        SetCaretPosition(p);
        SetSelStart(p);
        if (!s.empty()) {
            InsertText(s);
            TPoint end = CaretPos();
            if (blockMode_ == qzbmColumn) end.X = std::max(end.X, lastInsertMaxCol_);
            Record(qzcOverwriteBlock, p, p, end, s);
        }
    } else if (!s.empty()) {
        p = CaretPos();
        if (!PastEndAllowed(p.Y)) p.X = std::min(p.X, ExpandedLineLength(p.Y));
        const TPoint off = OffTrailByte(p);
        if (off != p) SetCaretPosition(off);
        p = StablePos(off);
        InsertText(s);
        TPoint end = CaretPos();
        if (blockMode_ == qzbmColumn) end.X = std::max(end.X, lastInsertMaxCol_);
        // A column block keeps its text, so that undo can take out each row exactly.
        Record(qzcInsertBlock, p, p, end, blockMode_ == qzbmColumn ? s : std::string());
    }
    // The block's start column may fall inside a character of its first row; the caret goes after it.
    if (blockMode_ == qzbmColumn) SetCaretPosition(TPoint(QzAdjustEdge(ExpandedLine(p.Y), p.X), p.Y));
    if (caretX_ <= leftCol_) {
        leftCol_ = std::max(caretX_ - VisibleCols() / 2, 0);
        UpdateHorzScrollBar();
    }
    EndUpdate();
    UpdateCaretPos();
}

void TQzPadModel::CopyToClipboard()
{
    view_->ClipboardClear();
    if (GetSelectAvail())
        view_->ClipboardSetText(GetSelText());
    else if (options_.Contains(qzoCopyLine))
        view_->ClipboardSetText(ExpandedCurLine() + "\r\n");
}

void TQzPadModel::CutToClipboard()
{
    if (ReadOnly()) return;
    view_->ClipboardSetText(GetSelText());
    SetSelText(std::string());
    FireChanged();
}

void TQzPadModel::PasteFromClipboard()
{
    if (ReadOnly()) return;
    std::string text;
    // An empty clipboard holds no text: pasting it must not delete the selection.
    if (!view_->ClipboardGetText(text) || text.empty()) return;
    SetSelText(text);
    FireChanged();
}

// ---- deletions ----

void TQzPadModel::DeleteChar()
{
    if (ReadOnly() || composing_) return;
    TEditScope scope(*this);
    if (GetSelectAvail()) {
        SetSelText(std::string());
        return;
    }
    std::string line = ExpandedCurLine();
    int len = static_cast<int>(line.size());
    const TQzLineAttribute* next = lines_.Attribute(caretY_ + 1);
    if (caretX_ >= len && wordWrap_ != qzwwNone && next && next->Wrapped && !lines_.Get(caretY_ + 1).empty()) {
        // The end of a wrapped piece is no line end: the next character is the continuation's first.
        SetCaretY(caretY_ + 1);
        SetCaretX(0);
        line = ExpandedCurLine();
        len = static_cast<int>(line.size());
    }
    if (caretX_ >= len) {
        if (caretY_ >= lines_.Count() - 1) return;
        if (caretX_ > len) {
            if (PastEndAllowed(caretY_))
                line.append(static_cast<size_t>(caretX_ - len), ' ');
            else
                SetCaretX(len);
        }
        const TPoint at = CaretPos();
        const std::string next = ExpandedLine(caretY_ + 1);
        lines_.Delete(caretY_ + 1);
        SetLine(caretY_, line + next);
        Record(qzcDeleteChar, at, at, at, "\r");
    } else {
        const int w = QzCharWidthAt(line, caretX_);
        const std::string removed = line.substr(static_cast<size_t>(caretX_), static_cast<size_t>(w));
        line.erase(static_cast<size_t>(caretX_), static_cast<size_t>(w));
        const TPoint at = CaretPos();
        SetLine(caretY_, line);
        Record(qzcDeleteChar, at, at, at, removed);
        RepaintForComment(removed);
    }
    UpdateCaretPos();
}

void TQzPadModel::DeletePrevChar()
{
    if (ReadOnly() || composing_) return;
    TEditScope scope(*this);
    if (GetSelectAvail()) {
        SetSelText(std::string());
        return;
    }
    if (caretX_ >= 1) {
        std::string line = ExpandedCurLine();
        const int len = static_cast<int>(line.size());
        if (caretX_ > len) {
            SetCaretX(caretX_ - 1);
        } else {
            const int w = (caretX_ >= 2 && QzIsTrailAt(line, caretX_ - 1)) ? 2 : 1;
            const std::string removed = line.substr(static_cast<size_t>(caretX_ - w), static_cast<size_t>(w));
            line.erase(static_cast<size_t>(caretX_ - w), static_cast<size_t>(w));
            SetCaretX(caretX_ - w);
            SetLine(caretY_, line);
            Record(qzcDeletePrevChar, CaretPos(), CaretPos(), CaretPos(), removed);
            RepaintForComment(removed);
        }
    } else if (caretY_ > 0) {
        const TQzLineAttribute* attr = lines_.Attribute(caretY_);
        if (wordWrap_ != qzwwNone && attr && attr->Wrapped) {
            // A continuation line is not a real line break: remove the character before it.
            SetCaretY(caretY_ - 1);
            std::string line = ExpandedCurLine();
            const int len = static_cast<int>(line.size());
            if (len > 0) {
                const int w = (len >= 2 && QzIsTrailAt(line, len - 1)) ? 2 : 1;
                const std::string removed = line.substr(static_cast<size_t>(len - w));
                line.resize(static_cast<size_t>(len - w));
                SetCaretX(len - w);
                SetLine(caretY_, line);
                Record(qzcDeletePrevChar, CaretPos(), CaretPos(), CaretPos(), removed);
            }
        } else {
            SetCaretY(caretY_ - 1);
            const std::string line = ExpandedCurLine();
            SetCaretX(static_cast<int>(line.size()));
            const std::string next = ExpandedLine(caretY_ + 1);
            lines_.Delete(caretY_ + 1);
            SetLine(caretY_, line + next);
            Record(qzcDeletePrevChar, CaretPos(), CaretPos(), CaretPos(), "\r");
        }
    }
    UpdateCaretPos();
}

void TQzPadModel::DeleteWord()
{
    if (ReadOnly()) return;
    TEditScope scope(*this);
    const int p = NextWordPos(caretX_, false);
    // At or past the line's end this is Delete, which takes a selection out.
    if (p == 0) {
        DeleteChar();
        return;
    }
    SelectNone();  // an old selection would no longer match the text
    std::string line = ExpandedCurLine();
    if (p <= caretX_) return;
    const std::string original = line;
    const std::string removed = line.substr(static_cast<size_t>(caretX_), static_cast<size_t>(p - caretX_));
    line.erase(static_cast<size_t>(caretX_), static_cast<size_t>(p - caretX_));
    const TPoint at = CaretPos();
    SetLine(caretY_, line);
    Record(qzcDeleteWord, at, at, at, removed);
    RepaintForComment(original);
    UpdateCaretPos();
}

void TQzPadModel::DeletePrevWord()
{
    if (ReadOnly() || caretX_ <= 0) return;
    TEditScope scope(*this);
    SelectNone();  // an old selection would no longer match the text
    std::string line = ExpandedCurLine();
    const int len = static_cast<int>(line.size());
    const int p = PrevWordPos(caretX_);
    const int to = std::min(caretX_, len);
    if (p >= to) {
        SetCaretX(p);
        UpdateCaretPos();
        return;
    }
    const std::string original = line;
    const std::string removed = line.substr(static_cast<size_t>(p), static_cast<size_t>(to - p));
    line.erase(static_cast<size_t>(p), static_cast<size_t>(to - p));
    SetCaretX(p);
    const TPoint at = CaretPos();
    SetLine(caretY_, line);
    Record(qzcDeletePrevWord, at, at, at, removed);
    RepaintForComment(original);
    UpdateCaretPos();
}

void TQzPadModel::DeleteLine()
{
    if (ReadOnly()) return;
    TEditScope scope(*this);
    SelectNone();  // an old selection would no longer match the text
    const std::string raw = CurLine();
    const TPoint at = CaretPos();
    const int first = LogicalFirst(caretY_);
    if (LogicalLast(first) > first) {
        // A row of a wrapped line: its text leaves the line, which is wrapped again in its place.
        std::string text = LogicalLine(first);
        const int from = LogicalOffset(TPoint(0, caretY_));
        text.erase(static_cast<size_t>(from), static_cast<size_t>(ExpandedCurLineLength()));
        RewriteLogicalLine(first, text, [from](int p) { return std::min(p, from); });
        StoreCaret(at);
    } else if (lines_.Count() >= 2) {
        lines_.Delete(caretY_);
    } else {
        SetLine(0, std::string());
    }
    Record(qzcDeleteLine, at, at, at, raw);
    RepaintForComment(raw);
    caretY_ = std::clamp(caretY_, 0, std::max(lines_.Count() - 1, 0));
    SetCaretX(std::min(caretX_, ExpandedCurLineLength()));
    // The line that moved up may hold a double-byte character at the caret column.
    if (QzIsTrailAt(ExpandedCurLine(), caretX_)) SetCaretX(caretX_ + 1);
    UpdateCaretPos();
}

void TQzPadModel::DeleteEOL()
{
    if (ReadOnly()) return;
    TEditScope scope(*this);
    SelectNone();  // an old selection would no longer match the text
    std::string line = ExpandedCurLine();
    if (caretX_ >= static_cast<int>(line.size())) return;
    const std::string original = line;
    const std::string removed = line.substr(static_cast<size_t>(caretX_));
    const TPoint at = CaretPos();
    line.resize(static_cast<size_t>(caretX_));
    SetLine(caretY_, line);
    Record(qzcDeleteEOL, at, at, at, removed);
    RepaintForComment(original);
}

// ---- line breaks ----

void TQzPadModel::ProcessReturn()
{
    EnsureLine();
    if (editMode_ == qzmOverwrite || ReadOnly()) {
        if (caretY_ == lines_.Count() - 1) {
            lines_.Add(std::string());
            SetCaretX(0);
        }
        SetCaretY(caretY_ + 1);
        // The column is kept, but never past the end of the line below (unless the caret may
        // stand there) nor inside one of its characters: text typed there would land elsewhere
        // in the line or split the character.
        if (!PastEndAllowed(caretY_)) SetCaretX(std::min(caretX_, ExpandedCurLineLength()));
        if (QzIsTrailAt(ExpandedCurLine(), caretX_)) SetCaretX(caretX_ + 1);
        trailStep_ = false;
        UpdateCaretPos();
        return;
    }
    if (GetSelectAvail()) SetSelText(std::string());
    const std::string line = ExpandedCurLine();
    const int len = static_cast<int>(line.size());
    int newCol = 0;
    if (caretX_ == 0 && BreakAtContinuation()) {
        return;
    } else if (caretX_ == 0) {
        lines_.Insert(caretY_, std::string());
    } else {
        int n = 0;
        if (options_.Contains(qzoAutoIndent)) {
            n = static_cast<int>(line.find_first_not_of(' '));
            if (n < 0) n = len;
            const std::string begin = Colouring() ? SyntaxBlockBegin() : std::string();
            if (!begin.empty() && Trim(line).compare(0, begin.size(), begin) == 0) n += SafeTabSize();
        }
        const std::string indent(static_cast<size_t>(n), ' ');
        const std::string rest = caretX_ >= len ? indent : indent + line.substr(static_cast<size_t>(caretX_));
        lines_.Insert(caretY_ + 1, rest);
        if (caretX_ < len) SetLine(caretY_, line.substr(0, static_cast<size_t>(caretX_)));
        // Under word wrap the new line takes the continuations that followed the caret line.
        if (wordWrap_ != qzwwNone) SetLine(caretY_ + 1, rest);
        newCol = n;
    }
    trailStep_ = false;
    SetCaretY(caretY_ + 1);
    SetCaretX(newCol);
}

void TQzPadModel::ProcessInsertNewLine()
{
    if (ReadOnly()) return;
    TEditScope scope(*this);
    EnsureLine();
    // The selection goes first, so that the record below starts where the break is made.
    if (GetSelectAvail()) SetSelText(std::string());
    const TPoint start = StablePos(CaretPos());
    const int countBefore = lines_.Count();
    // At the start of a continuation row, in either mode, the break goes where the row begins.
    if (caretX_ == 0 && BreakAtContinuation()) {
        Record(qzcInsertCR, CaretPos(), CaretPos(), CaretPos(), std::string());
        SetSelStart(CaretPos());
        UpdateCaretPos();
        return;
    }
    if (caretX_ == 0) {
        lines_.Insert(caretY_, std::string());
        SetCaretY(caretY_ + 1);
    } else {
        ProcessReturn();
    }
    if (editMode_ == qzmInsert || start.X == 0 || lines_.Count() > countBefore) {
        if (editMode_ == qzmOverwrite && start.X != 0) {
            // Overwrite mode broke nothing; only an appended last line is undone.
            RecordStream(qzcInsertBlock, CaretPos(), TPoint(ExpandedLineLength(start.Y), start.Y), CaretPos());
        } else {
            RecordStream(qzcInsertBlock, CaretPos(), start, CaretPos());
        }
    }
    SetSelStart(CaretPos());
    UpdateCaretPos();
}

bool TQzPadModel::BreakAtContinuation()
{
    TQzLineAttribute* attr = lines_.Attribute(caretY_);
    if (wordWrap_ == qzwwNone || !attr || !attr->Wrapped) return false;
    // The start of a continuation line is the middle of a line: breaking there makes the
    // continuation a line of its own, which an undo of kind 38 joins back.
    lines_.SetWrapped(caretY_, false);
    modified_ = true;
    InvalidateLines(caretY_, topLine_ + VisibleLines());
    return true;
}

// ---- open the word under the caret ----

void TQzPadModel::OpenFileUnderCaret()
{
    const std::string line = ExpandedCurLine();
    const int len = static_cast<int>(line.size());
    const TCharSet delims = GetDelimSet();
    int from = std::min(caretX_, len);
    while (from > 0 && !delims.Contains(line[static_cast<size_t>(from - 1)])) --from;
    int to = std::min(caretX_, len);
    while (to < len && !delims.Contains(line[static_cast<size_t>(to)])) ++to;
    std::string word = line.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
    const size_t dot = fileName_.find_last_of(".\\:/");
    if (dot != std::string::npos && fileName_[dot] == '.') word += fileName_.substr(dot);
    if (OnOpenFile) OnOpenFile(*this, word);
}

// ---- keys ----

void TQzPadModel::KeyDown(TVirtualKey& key, TShiftState shift)
{
    if (OnKeyDown) OnKeyDown(*this, key, shift);
    if (lines_.Count() == 0) lines_.Add(std::string());
    if (shortCut_ && key != 0) {
        const TQzPadCommand command = shortCut_->FindShortCut(key, shift);
        if (command != qzcScrollUp && command != qzcScrollDown && !shift.Contains(ssShift) &&
            !IsLineVisible(caretY_)) {
            topLine_ = std::max(caretY_, 0);
            UpdateVertScrollBar();
            Invalidate();
        }
        if (command != qzcNone) {
            key = 0;
            ProcessEditorCommand(command);
        } else if (key == VK_HANGUL) {
            key = 0;
            if (OnImeInputModeChange) OnImeInputModeChange(*this);
        }
    }
    if (OnKeyDown) OnKeyDown(*this, key, shift);
}

void TQzPadModel::KeyPress(char& key, TShiftState shift)
{
    if (OnKeyPress) OnKeyPress(*this, key);
    const auto k = static_cast<unsigned char>(key);
    if (k >= 32 && !shift.Contains(ssCtrl) && !(k == ' ' && shift.Contains(ssShift)) && !ReadOnly()) AddChar(key);
    if (OnKeyPress) OnKeyPress(*this, key);
}

// ---- the command dispatch ----

void TQzPadModel::ProcessEditorCommand(TQzPadCommand command)
{
    // Delete and Backspace wait for the composition and the mode switch leaves it alone;
    // everything else acts on the text without it.
    if (command != qzcNone && command != qzcDeleteChar && command != qzcDeletePrevChar &&
        command != qzcToggleImeInputMode)
        ImeTakeOut();
    selecting_ = command >= qzcSelLeft && command <= qzcSelBottom;
    switch (command) {
    case qzcMoveLeft: case qzcSelLeft: RunMove(&TQzPadModel::MoveLeft); break;
    case qzcMoveWordLeft: case qzcSelWordLeft: RunMove(&TQzPadModel::MoveWordLeft); break;
    case qzcMoveRight: case qzcSelRight: RunMove(&TQzPadModel::MoveRight); break;
    case qzcMoveWordRight: case qzcSelWordRight: RunMove(&TQzPadModel::MoveWordRight); break;
    case qzcMoveUp: case qzcSelUp:
        UpdateSelectionBegin();
        if (caretY_ > 0) MoveCaretY(-1);
        UpdateSelectionEnd();
        break;
    case qzcMoveDown: case qzcSelDown:
        UpdateSelectionBegin();
        if (caretY_ < lines_.Count() - 1) MoveCaretY(1);
        UpdateSelectionEnd();
        break;
    case qzcScrollUp: ScrollLine(-1); break;
    case qzcScrollDown: ScrollLine(1); break;
    case qzcPageUp: case qzcSelPageUp:
        UpdateSelectionBegin();
        MovePage(-1);
        UpdateSelectionEnd();
        break;
    case qzcPageDown: case qzcSelPageDown:
        UpdateSelectionBegin();
        MovePage(1);
        UpdateSelectionEnd();
        break;
    case qzcLineBegin: case qzcSelLineBegin: RunMove(&TQzPadModel::MoveHome); break;
    case qzcLineEnd: case qzcSelLineEnd: RunMove(&TQzPadModel::MoveEnd); break;
    case qzcTop: case qzcSelTop: RunMove(&TQzPadModel::MoveTop); break;
    case qzcBottom: case qzcSelBottom: RunMove(&TQzPadModel::MoveBottom); break;
    case qzcMoveBottomScreen:
        UpdateSelectionBegin();
        trailStep_ = false;
        SetCaretY(topLine_ + VisibleLines() - 1);
        SetCaretX(0);
        UpdateCaretPos();
        UpdateSelectionEnd();
        break;
    case qzcMoveTopScreen:
        UpdateSelectionBegin();
        trailStep_ = false;
        SetCaretY(topLine_);
        SetCaretX(0);
        UpdateCaretPos();
        UpdateSelectionEnd();
        break;
    case qzcSelectAll: SelectAll(); break;
    case qzcDeleteChar: DeleteChar(); break;
    case qzcDeletePrevChar: DeletePrevChar(); break;
    case qzcDeleteWord: DeleteWord(); break;
    case qzcDeletePrevWord: DeletePrevWord(); break;
    case qzcDeleteLine: DeleteLine(); break;
    case qzcDeleteEOL: DeleteEOL(); break;
    case qzcDeleteSelBlock: {
        TEditScope scope(*this);
        ClampSelectionToText();
        if (GetSelectAvail() && !ReadOnly()) {
            const TPoint caret = CaretPos();
            const TPoint s = GetSelStart();
            const TPoint e = GetSelEnd();
            const std::string removed = GetSelText();
            DeleteSelection();
            Record(qzcDeleteSelBlock, caret, s, e, removed);
        }
        break;
    }
    case qzcInsertCR: case qzcInsertNewLine: ProcessInsertNewLine(); break;
    case qzcInsertTab: InsertTab(); break;
    case qzcUndo: Undo(); break;
    case qzcCut: CutToClipboard(); break;
    case qzcCopy: CopyToClipboard(); break;
    case qzcPaste: PasteFromClipboard(); break;
    case qzcToggleBlockMode: SetBlockMode(blockMode_ == qzbmLine ? qzbmColumn : qzbmLine); break;
    case qzcToggleEditMode: SetEditMode(editMode_ == qzmInsert ? qzmOverwrite : qzmInsert); break;
    case qzcBlockIndent: BlockIndent(); break;
    case qzcBlockUnindent: BlockUnindent(); break;
    case qzcSelectNone: SelectNone(); break;
    case qzcOpenFile: OpenFileUnderCaret(); break;
    case qzcForwardMatchBrace: case qzcBackwardMatchBrace:
        if (MatchBraceHandler)
            MatchBraceHandler(*this, command == qzcForwardMatchBrace);
        else
            MatchBrace(command == qzcForwardMatchBrace);
        break;
    case qzcShowCodeTemplates: ShowCodeTemplates(); break;
    case qzcToggleImeInputMode:
        SetImeInputMode(GetImeInputMode() == imEnglish ? imHangul : imEnglish);
        break;
    default:
        if (command >= qzcSetBookmark0 && command <= qzcSetBookmark9)
            SetBookmark(caretY_, command - qzcSetBookmark0);
        else if (command >= qzcGotoBookmark0 && command <= qzcGotoBookmark9)
            GoToBookmark(command - qzcGotoBookmark0);
        break;
    }
    selecting_ = false;
    AddMacroStep(command, std::string());
}

// ---- drag and drop of the selection ----

TQzPadModel::TLogicalPos TQzPadModel::ToLogical(TPoint p) const
{
    int line = 0;
    const int first = LogicalFirst(p.Y);
    for (int y = 0; y < first; y = LogicalLast(y) + 1) ++line;
    return TLogicalPos{line, LogicalOffset(p)};
}

TPoint TQzPadModel::FromLogical(TLogicalPos p) const
{
    int y = 0;
    for (int k = 0; k < p.Line && lines_.IsLine(LogicalLast(y) + 1); ++k) y = LogicalLast(y) + 1;
    return PhysicalPos(y, p.Offset);
}

bool TQzPadModel::DragOver(bool fromSelf, int x, int y, TShiftState shift)
{
    // Text moves only within this control.
    if (!fromSelf || ReadOnly()) return false;
    const TPoint p = TextPosFromPoint(TPoint(x, y));
    SetCaretPosition(p);
    UpdateCaretPos();
    view_->SetCursorShape(shift.Contains(ssCtrl) ? qzcsMultiDrag : qzcsDrag);
    return true;
}

void TQzPadModel::DragDrop(bool fromSelf, int x, int y, TShiftState shift)
{
    TEditScope scope(*this);
    ImeTakeOut();
    if (!fromSelf || ReadOnly()) return;
    ClampSelectionToText();
    if (!GetSelectAvail()) return;
    SetCaretPosition(TextPosFromPoint(TPoint(x, y)));
    TPoint d = CaretPos();
    if (PosInSelect(d)) {
        SetSelStart(d);
        return;
    }
    const std::string text = GetSelText();
    const TPoint s = blockMode_ == qzbmLine ? SelEdge(GetSelStart()) : GetSelStart();
    const TPoint e = blockMode_ == qzbmLine ? SelEdge(GetSelEnd()) : GetSelEnd();
    const bool copy = shift.Contains(ssCtrl);
    BeginUpdate();
    if (copy) {
        SetSelStart(CaretPos());
    } else {
        const TPoint caret = CaretPos();
        // A drop point behind the moved text keeps its place in the text that remains, counted in
        // logical lines, since a word wrap lays the joined line out again.
        const TLogicalPos ls = ToLogical(s);
        const TLogicalPos le = ToLogical(e);
        TLogicalPos ld = ToLogical(d);
        // A column removal takes a row's part of the block as that row shows it, and under word
        // wrap lays the lines it crosses out again: the drop point keeps its place in the text.
        TPoint kept = d;
        const bool keep = blockMode_ == qzbmColumn;
        DeleteSelection(keep ? &kept : nullptr);
        Record(qzcDeleteSelBlock, caret, s, e, text);
        if (blockMode_ == qzbmLine) {
            if (ld.Line == le.Line && ld.Offset >= le.Offset) {
                ld = TLogicalPos{ls.Line, ls.Offset + ld.Offset - le.Offset};
                d = FromLogical(ld);
            } else if (ld.Line > le.Line) {
                ld.Line -= le.Line - ls.Line;
                d = FromLogical(ld);
            }
        } else {
            d = kept;
        }
    }
    if (!PastEndAllowed(d.Y) && blockMode_ == qzbmLine) d.X = std::min(d.X, ExpandedLineLength(d.Y));
    d = ClampPos(d);
    SetCaretPosition(d);
    SetSelStart(d);
    // Where the dropped text begins, in its logical line: a word wrap may move it to another row.
    const int dropFirst = blockMode_ == qzbmLine ? LogicalFirst(d.Y) : d.Y;
    const int dropOffset = blockMode_ == qzbmLine ? LogicalOffset(d) : d.X;
    InsertText(text);
    TPoint end = CaretPos();
    if (blockMode_ == qzbmColumn) end.X = std::max(end.X, lastInsertMaxCol_);
    selAnchor_ = blockMode_ == qzbmLine ? PhysicalPos(dropFirst, dropOffset) : d;
    selEnd_ = end;
    Record(copy ? qzcDragDropCopy : qzcDragDropMove, CaretPos(), GetSelStart(), GetSelEnd(), text);
    EndUpdate();
    UpdateCaretPos();
}
