// The input method's composition: the syllable being built is shown inside its line at the caret
// and becomes typed text when the input method hands over its result.
//
// The composition is tracked in its logical line (a line with its soft-wrap continuations), so
// that a word wrap that moves it to another row never loses it.

#include "editor/model/QzPadDbcs.h"
#include "editor/model/QzPadModel.h"

#include "platform/core/SysUtils.h"

#include <algorithm>

namespace {

// The placeholder that holds the place of a syllable until the input method shows it.
const std::string kPlaceholder = "  ";

// Puts `bytes` into `text` at byte `x`, the line first padded with blanks up to x: inserted, or
// with `overwrite` written over the whole characters they reach. Returns the bytes written over.
std::string PutBytesAt(std::string& text, int x, const std::string& bytes, bool overwrite)
{
    if (static_cast<int>(text.size()) < x) text.append(static_cast<size_t>(x) - text.size(), ' ');
    const size_t at = static_cast<size_t>(x);
    std::string covered;
    if (overwrite && at < text.size()) {
        size_t end = std::min(at + bytes.size(), text.size());
        if (QzIsTrailAt(text, static_cast<int>(end))) ++end;
        covered = text.substr(at, end - at);
        text.replace(at, end - at, bytes);
    } else {
        text.insert(at, bytes);
    }
    return covered;
}

}  // namespace

// ---- logical lines ----

int TQzPadModel::LogicalFirst(int y) const
{
    if (wordWrap_ == qzwwNone) return y;
    while (y > 0) {
        const TQzLineAttribute* a = lines_.Attribute(y);
        if (!a || !a->Wrapped) break;
        --y;
    }
    return y;
}

int TQzPadModel::LogicalLast(int first) const
{
    int y = first;
    if (wordWrap_ == qzwwNone) return y;
    while (lines_.IsLine(y + 1)) {
        const TQzLineAttribute* a = lines_.Attribute(y + 1);
        if (!a || !a->Wrapped) break;
        ++y;
    }
    return y;
}

std::string TQzPadModel::LogicalLine(int first) const
{
    const int last = LogicalLast(first);
    std::string text = ExpandedLine(first);
    for (int y = first + 1; y <= last; ++y) text += ExpandedLine(y);
    return text;
}

int TQzPadModel::LogicalOffset(TPoint p) const
{
    int offset = p.X;
    for (int y = LogicalFirst(p.Y); y < p.Y; ++y) offset += ExpandedLineLength(y);
    return offset;
}

TPoint TQzPadModel::PhysicalPos(int first, int offset) const
{
    // As the line writer places the caret: an offset at the end of a row that has a continuation
    // belongs to the start of the continuation.
    const int last = LogicalLast(first);
    int y = first;
    while (y < last) {
        const int len = ExpandedLineLength(y);
        if (len > offset) break;
        offset -= len;
        ++y;
    }
    return TPoint(offset, y);
}

void TQzPadModel::RewriteLogicalLine(int first, const std::string& text, const std::function<int(int)>& move)
{
    const int last = LogicalLast(first);
    struct TTracked {
        TPoint* point;
        int offset;  // -1: not on the line
    };
    TPoint caret = CaretPos();
    TTracked tracked[] = {{&caret, -1}, {&selAnchor_, -1}, {&selEnd_, -1}};
    for (TTracked& t : tracked)
        if (t.point->Y >= first && t.point->Y <= last) t.offset = move(LogicalOffset(*t.point));

    const bool wasLoading = loading_;
    loading_ = true;
    // The continuations are emptied, so that the writer wraps exactly `text` again.
    for (int y = first + 1; y <= last; ++y) lines_.Put(y, std::string());
    loading_ = wasLoading;
    SetLine(first, text);

    const int shift = LogicalLast(first) - last;
    for (TTracked& t : tracked) {
        if (t.offset >= 0)
            *t.point = PhysicalPos(first, t.offset);
        else if (t.point->Y > last)
            t.point->Y += shift;
    }
    StoreCaret(ClampPos(caret));
    selAnchor_ = ClampPos(selAnchor_);
    selEnd_ = ClampPos(selEnd_);
}

// ---- composition ----

bool TQzPadModel::ImeAtCaret() const
{
    return LogicalFirst(caretY_) == imeFirst_ && LogicalOffset(CaretPos()) == imeOffset_;
}

void TQzPadModel::ImeRemoveShown()
{
    if (imeShown_.empty() && imeCovered_.empty()) return;
    const std::string shown = imeShown_;
    const std::string covered = imeCovered_;
    imeShown_.clear();
    imeCovered_.clear();
    const int pad = imePad_;
    imePad_ = 0;
    if (!lines_.IsLine(imeFirst_) || LogicalFirst(imeFirst_) != imeFirst_) return;
    std::string text = LogicalLine(imeFirst_);
    const int x = imeOffset_;
    if (x < pad || x > static_cast<int>(text.size()) || text.compare(static_cast<size_t>(x), shown.size(), shown) != 0)
        return;
    text.replace(static_cast<size_t>(x - pad), shown.size() + static_cast<size_t>(pad), covered);
    const int n = static_cast<int>(shown.size());
    const int delta = static_cast<int>(covered.size()) - n - pad;
    // Places behind the composition move with the text after it; a caret past the line's end
    // stays there. Showing and taking out a composition is no edit: undo never sees it.
    TJournalPause pause(lines_);
    RewriteLogicalLine(imeFirst_, text, [&](int p) { return p <= x ? p : (p < x + n ? x : p + delta); });
}

void TQzPadModel::ImeTakeOut()
{
    if (composing_) ImeRemoveShown();
}

void TQzPadModel::ImePutShown(const std::string& bytes)
{
    const int first = LogicalFirst(caretY_);
    int x = ImePlace(first);
    std::string text = LogicalLine(first);
    // Blanks that carry the line to a caret past its end go again with the composition.
    const int pad = std::max(x - static_cast<int>(text.size()), 0);
    // What the composition is written over comes back when it goes.
    const std::string covered = PutBytesAt(text, x, bytes, editMode_ == qzmOverwrite);
    const int delta = static_cast<int>(bytes.size()) - static_cast<int>(covered.size());
    const int n = static_cast<int>(covered.size());
    TJournalPause pause(lines_);
    RewriteLogicalLine(first, text, [&](int p) { return p <= x ? p : (p < x + n ? x : p + delta); });
    imeFirst_ = first;
    imeOffset_ = x;
    imePad_ = pad;
    imeShown_ = bytes;
    imeCovered_ = covered;
}

int TQzPadModel::ImePlace(int first)
{
    // A syllable goes in at the caret as typed text does: never inside a character, and past the
    // line's end only where the caret may stand there.
    const std::string text = LogicalLine(first);
    int x = LogicalOffset(CaretPos());
    const int len = static_cast<int>(text.size());
    if (x > len && !PastEndAllowed(LogicalLast(first))) x = len;
    if (QzIsTrailAt(text, x)) ++x;
    if (x != LogicalOffset(CaretPos())) StoreCaret(PhysicalPos(first, x));
    return x;
}

void TQzPadModel::ImeStartComposition()
{
    composing_ = true;
    if (ReadOnly()) return;
    EnsureLine();
    ImeRemoveShown();
    if (GetSelectAvail()) SetSelText(std::string());
    imeFirst_ = LogicalFirst(caretY_);
    imeOffset_ = ImePlace(imeFirst_);
    // A placeholder of two blanks holds the place of the syllable; in overwrite mode the text
    // itself is the place, except at the line's end.
    if (editMode_ == qzmInsert || imeOffset_ >= static_cast<int>(LogicalLine(imeFirst_).size()))
        ImePutShown(kPlaceholder);
    if (VisibleCols() < caretX_ - leftCol_ + 3) {
        leftCol_ += 2;
        UpdateHorzScrollBar();
        ScrollHorz(-2 * charWidth_);
    }
}

void TQzPadModel::ImeComposition(const std::string& compString)
{
    if (!composing_) ImeStartComposition();
    if (ReadOnly()) return;
    // The caret left the composition (a click or a key the input method let through): the
    // composition is taken out there and goes on at the caret.
    if (!ImeAtCaret()) ImeStartComposition();
    if (compString.empty()) {
        composing_ = false;
        ImeRemoveShown();
    } else {
        // The placeholder, or the previous state of the syllable, makes way for the new one.
        ImeRemoveShown();
        ImePutShown(compString);
    }
    HideCaret();
    view_->DestroyCaret();
    if (VisibleCols() < caretX_ - leftCol_ + 1) {
        leftCol_ += 2;
        UpdateHorzScrollBar();
        ScrollHorz(-2 * charWidth_);
    }
    // The caret covers the syllable being built, which the window shows inverted.
    const int width = std::max(static_cast<int>(imeShown_.size()), 2);
    view_->CreateCaret(width * charWidth_, lineHeight_);
    UpdateCaretPos();
}

void TQzPadModel::ImeResult(const std::string& resultString)
{
    composing_ = false;
    if (ReadOnly() || resultString.empty()) return;
    TEditScope scope(*this);
    const std::string& r = resultString;
    HideCaret();
    view_->DestroyCaret();
    EnsureLine();
    // The result takes the composition's place: what the composition was written over comes back
    // first, then the result goes in like typed text (written over in overwrite mode).
    ImeRemoveShown();
    const int first = LogicalFirst(caretY_);
    const int x = ImePlace(first);
    const TPoint b = CaretPos();
    std::string text = LogicalLine(first);
    const std::string overwritten = PutBytesAt(text, x, r, editMode_ == qzmOverwrite);
    const int delta = static_cast<int>(r.size()) - static_cast<int>(overwritten.size());
    const int n = static_cast<int>(overwritten.size());
    const int after = x + static_cast<int>(r.size());
    RewriteLogicalLine(first, text, [&](int p) { return p < x ? p : (p == x ? after : (p < x + n ? after : p + delta)); });
    Record(qzcInsert, b, b, CaretPos(), Trim(r));
    AddMacroStep(qzcInsert, r);
    if (VisibleCols() < caretX_ - leftCol_ + 1) {
        leftCol_ += static_cast<int>(r.size());
        UpdateHorzScrollBar();
        ScrollHorz(-static_cast<int>(r.size()) * charWidth_);
    }
    InitializeCaret();
    UpdateCaretPos();
}

void TQzPadModel::ImeEndComposition()
{
    composing_ = false;
    // A composition that ends without a result or a cancel leaves nothing behind.
    if (!ReadOnly()) ImeRemoveShown();
    HideCaret();
    view_->DestroyCaret();
    InitializeCaret();
    UpdateCaretPos();
}
