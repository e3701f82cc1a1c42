// Brace matching, the code-template shortcut and insertion, page breaks, and the replay of a
// keyboard macro.

#include "editor/model/QzPadDbcs.h"
#include "editor/model/QzPadModel.h"

#include <algorithm>
#include <cstring>
#include <utility>

// ---- brace matching ----

void TQzPadModel::MatchBrace(bool forward)
{
    const std::string line = ExpandedCurLine();
    const int len = static_cast<int>(line.size());
    if (caretX_ >= len) return;
    static const char kOpen[] = "([{";
    static const char kClose[] = ")]}";
    const char c = line[static_cast<size_t>(caretX_)];
    const char* own = forward ? kOpen : kClose;
    const char* at = c != '\0' ? std::strchr(own, c) : nullptr;
    if (!at) return;
    const char partner = (forward ? kClose : kOpen)[at - own];

    // Byte-wise over the expanded lines: strings, comments and trail bytes are not skipped.
    int depth = 0;
    // Counts the nesting at byte `b`; true at the partner that closes the caret's bracket.
    const auto closes = [&](char b) {
        if (b == c) {
            ++depth;
            return false;
        }
        if (b != partner) return false;
        if (depth == 0) return true;
        --depth;
        return false;
    };
    TPoint found(-1, -1);
    const int count = lines_.Count();
    if (forward) {
        for (int y = caretY_; y < count && found.Y < 0; ++y) {
            const std::string s = y == caretY_ ? line : ExpandedLine(y);
            for (int x = y == caretY_ ? caretX_ + 1 : 0; x < static_cast<int>(s.size()); ++x) {
                if (closes(s[static_cast<size_t>(x)])) {
                    found = TPoint(x, y);
                    break;
                }
            }
        }
    } else {
        for (int y = caretY_; y >= 0 && found.Y < 0; --y) {
            const std::string s = y == caretY_ ? line : ExpandedLine(y);
            for (int x = y == caretY_ ? caretX_ - 1 : static_cast<int>(s.size()) - 1; x >= 0; --x) {
                if (closes(s[static_cast<size_t>(x)])) {
                    found = TPoint(x, y);
                    break;
                }
            }
        }
    }
    if (found.Y < 0) return;

    const TPoint old = CaretPos();
    trailStep_ = false;
    if (!options_.Contains(qzoSelectMatchBrace)) {
        SetCaretPosition(found);
        SetSelStart(found);
    } else if (forward) {
        const TPoint end(found.X + 1, found.Y);
        SetCaretPosition(end);
        SetSelStart(old);
        SetSelEnd(end);
    } else {
        SetCaretPosition(found);
        SetSelStart(found);
        SetSelEnd(TPoint(old.X + 1, old.Y));
    }
    UpdateCaretPos();
}

// ---- code templates ----

TPoint QzCodeTemplatesPopupPos(TPoint caretScreen, int lineHeight, int popupWidth, int popupHeight,
                               const TRect& screen)
{
    TPoint p(caretScreen.X, caretScreen.Y + lineHeight);
    if (p.X + popupWidth > screen.Right) p.X -= popupWidth;
    if (p.Y + popupHeight > screen.Bottom) p.Y -= popupHeight + lineHeight;
    return p;
}

void TQzPadModel::ShowCodeTemplates()
{
    const std::string line = ExpandedCurLine();
    const int x = std::min(caretX_, static_cast<int>(line.size()));
    const TCharSet delims = GetDelimSet();
    int from = x;
    while (from > 0 && !delims.Contains(static_cast<unsigned char>(line[static_cast<size_t>(from - 1)]))) --from;
    const std::string word = line.substr(static_cast<size_t>(from), static_cast<size_t>(x - from));
    std::string code;
    if (!word.empty() && FindCodeTemplateHandler) code = FindCodeTemplateHandler(*this, word);
    if (code.empty()) {
        if (ShowCodeTemplatesHandler) ShowCodeTemplatesHandler(*this);
        return;
    }
    if (ReadOnly()) return;
    // The word is selected as a stream, so that the code replaces it in one undo step.
    const TQzBlockMode savedBlock = blockMode_;
    blockMode_ = qzbmLine;
    if (GetSelectAvail()) InvalidateSelection(selAnchor_, selEnd_);
    StoreCaret(TPoint(x, caretY_));
    selAnchor_ = TPoint(from, caretY_);
    selEnd_ = TPoint(x, caretY_);
    InsertCodeTemplate(code);
    blockMode_ = savedBlock;
}

void TQzPadModel::InsertCodeTemplate(const std::string& code)
{
    if (ReadOnly()) return;
    TEditScope scope(*this);
    const size_t bar = code.find('|');
    std::string text = code;
    if (bar != std::string::npos) text.erase(bar, 1);
    ClampSelectionToText();
    TPoint start = GetSelectAvail() ? StablePos(SelEdge(GetSelStart())) : CaretPos();
    if (!PastEndAllowed(start.Y)) start.X = std::min(start.X, ExpandedLineLength(start.Y));
    start = OffTrailByte(start);
    // Where the insertion begins, in its logical line (a stream) or its row (a column block).
    const bool column = blockMode_ == qzbmColumn;
    const int first = column ? start.Y : LogicalFirst(start.Y);
    const int startOffset = column ? start.X : LogicalOffset(start);
    const std::string head = column ? std::string(static_cast<size_t>(start.X), ' ') : LogicalLine(first).substr(0, static_cast<size_t>(startOffset));
    SetSelText(text);
    if (bar == std::string::npos) return;
    // The caret goes where the "|" stood: each line break before it (CR LF, CR or LF, as the
    // insertion splits them) goes on to the next line, and the text before it on that line
    // counts by the columns it takes, its tabs as the blanks they stand for.
    int breaks = 0;
    size_t from = 0;
    for (size_t i = 0; i < bar; ++i) {
        if (code[i] != '\r' && code[i] != '\n') continue;
        if (code[i] == '\r' && i + 1 < bar && code[i + 1] == '\n') ++i;
        ++breaks;
        from = i + 1;
    }
    const std::string segment = code.substr(from, bar - from);
    TPoint target;
    if (column) {
        const int x = static_cast<int>(ExpandStr(head + segment).size());
        target = ClampPos(TPoint(x, start.Y + breaks));
    } else {
        int y = first;
        for (int k = 0; k < breaks && lines_.IsLine(LogicalLast(y) + 1); ++k) y = LogicalLast(y) + 1;
        const int offset = static_cast<int>(ExpandStr(breaks == 0 ? head + segment : segment).size());
        target = PhysicalPos(y, offset);
    }
    if (!PastEndAllowed(target.Y)) target.X = std::min(target.X, ExpandedLineLength(target.Y));
    target.X = QzAdjustEdge(ExpandedLine(target.Y), target.X);
    trailStep_ = false;
    SetCaretPosition(target);
    SetSelStart(CaretPos());
    UpdateCaretPos();
}

// ---- page break ----

void TQzPadModel::InsertPageBreak()
{
    if (ReadOnly()) return;
    TEditScope scope(*this);
    ImeTakeOut();
    EnsureLine();
    TPoint selStart;
    DeleteSelectionForTyping(selStart);
    // The break is inserted in either edit mode: written over, the form feed would replace a byte
    // of the text.
    const TQzEditMode savedEdit = editMode_;
    editMode_ = qzmInsert;
    if (caretX_ != 0) {
        const bool autoIndent = options_.Contains(qzoAutoIndent);
        options_.Exclude(qzoAutoIndent);
        ProcessInsertNewLine();
        if (autoIndent) options_.Include(qzoAutoIndent);
    }
    const TPoint before = StablePos(CaretPos());
    const std::string formFeed(1, '\f');
    PutString(formFeed);
    Record(qzcInsert, CaretPos(), before, CaretPos(), formFeed);
    editMode_ = savedEdit;
    // One step for the whole break, which the replay runs as a page break: replayed as a line
    // break and a typed form feed, the break would take the indentation.
    AddMacroStep(qzcInsert, formFeed);
    UpdateCaretPos();
}

// ---- keyboard macros ----

void TQzPadModel::PlayMacro(int count)
{
    if (!macro_ || ReadOnly() || count < 1) return;
    // The steps are taken first: nothing the replay does may change what is replayed.
    std::vector<std::pair<TQzPadCommand, std::string>> steps;
    const int n = macro_->StepCount();
    steps.reserve(static_cast<size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i) {
        TQzPadCommand command = qzcNone;
        std::string data;
        if (macro_->GetStep(i, command, data)) steps.emplace_back(command, std::move(data));
    }
    if (steps.empty()) return;
    struct TPlayScope {
        bool& flag;
        explicit TPlayScope(bool& f) : flag(f) { flag = true; }
        ~TPlayScope() { flag = false; }
    } playing(playing_);
    for (int k = 0; k < count; ++k) {
        for (const auto& step : steps) {
            switch (step.first) {
            case qzcInsert:
                if (step.second == "\f")
                    InsertPageBreak();
                else
                    TypeText(step.second);
                break;
            case qzcInsertBlock:
                if (!step.second.empty()) SetSelText(step.second);
                break;
            default: ProcessEditorCommand(step.first); break;
            }
        }
    }
}

void TQzPadModel::RecordMacro()
{
    if (macro_) macro_->RecordMacro();
}

void TQzPadModel::StopRecord()
{
    if (macro_) macro_->StopRecord();
}
