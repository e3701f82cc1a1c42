// Brace matching, the code-template shortcut and insertion, page breaks, and the replay of a
// keyboard macro.

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
    const size_t bar = code.find('|');
    std::string text = code;
    if (bar != std::string::npos) text.erase(bar, 1);
    ClampSelectionToText();
    TPoint start = GetSelectAvail() ? StablePos(GetSelStart()) : CaretPos();
    if (!options_.Contains(qzoScrollPastEOL)) start.X = std::min(start.X, ExpandedLineLength(start.Y));
    SetSelText(text);
    if (bar == std::string::npos) return;
    // The caret goes where the "|" stood: a line break (CR LF, CR or LF, as the insertion
    // splits them) starts a new line at column 0, any other byte is one column.
    TPoint target = start;
    for (size_t i = 0; i < bar; ++i) {
        const char b = code[i];
        if (b == '\r' || b == '\n') {
            if (b == '\r' && i + 1 < bar && code[i + 1] == '\n') ++i;
            target = TPoint(0, target.Y + 1);
        } else {
            ++target.X;
        }
    }
    trailStep_ = false;
    SetCaretPosition(ClampPos(target));
    SetSelStart(CaretPos());
    UpdateCaretPos();
}

// ---- page break ----

void TQzPadModel::InsertPageBreak()
{
    if (ReadOnly()) return;
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
        AddMacroStep(qzcInsertCR, std::string());
    }
    const TPoint before = StablePos(CaretPos());
    const std::string formFeed(1, '\f');
    PutString(formFeed);
    Record(qzcInsert, CaretPos(), before, CaretPos(), formFeed);
    editMode_ = savedEdit;
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
            case qzcInsert: TypeText(step.second); break;
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
