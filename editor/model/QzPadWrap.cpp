// The mouse and word wrap.

#include "editor/model/QzPadDbcs.h"
#include "editor/model/QzPadModel.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr int kDragDistance = 4;  // pixels the pointer moves before a drag begins
}

// ---- mouse ----

void TQzPadModel::MouseDown(TQzMouseButton button, TShiftState shift, int x, int y)
{
    ImeTakeOut();
    if (HideCodeTemplatesHandler) HideCodeTemplatesHandler(*this);
    if (button == mbRight && HasPopupMenu) return;
    if (shift.Contains(ssDouble)) {
        dblClickPending_ = true;
        return;
    }
    dblClickPending_ = false;
    mouseDownPoint_ = TPoint(x, y);
    if (button == mbLeft) {
        dragPending_ = false;
        mouseCaptured_ = true;
        view_->SetMouseCapture(true);
        const TPoint old = CaretPos();
        const TPoint p = TextPosFromPoint(TPoint(x, y));
        SetCaretPosition(p);
        UpdateCaretPos();
        const bool shiftHeld = shift.Contains(ssShift);
        if (x >= editRect_.Left) {
            if (!GetSelectAvail()) {
                if (shiftHeld) {
                    SetSelStart(old);
                    SetSelEnd(p);
                } else {
                    SetSelStart(p);
                }
            } else if (!PosInSelect(p)) {
                if (shiftHeld)
                    SetSelEnd(p);
                else
                    SetSelStart(p);
            } else if (shiftHeld) {
                SetSelEnd(p);
            } else {
                dragPending_ = true;
            }
        } else {
            SetSelStart(p);
        }
    }
}

void TQzPadModel::MouseMove(TShiftState shift, int x, int y)
{
    if (!mouseCaptured_ || dblClickPending_) {
        view_->SetCursorShape(x <= editRect_.Left ? qzcsArrow : qzcsIBeam);
        return;
    }
    if (dragPending_ && !ReadOnly()) {
        if (std::abs(x - mouseDownPoint_.X) >= kDragDistance || std::abs(y - mouseDownPoint_.Y) >= kDragDistance) {
            dragPending_ = false;
            mouseCaptured_ = false;
            view_->SetMouseCapture(false);
            view_->BeginDrag();
        }
        return;
    }
    view_->SetCursorShape(x <= editRect_.Left ? qzcsArrow : qzcsIBeam);
    if (!shift.Contains(ssLeft)) {
        mouseSelecting_ = false;
        view_->SetAutoScrollTimer(false);
        return;
    }
    if (!mouseSelecting_) {
        SetBlockMode(shift.Contains(ssAlt) ? qzbmColumn : qzbmLine);
        mouseSelecting_ = true;
    }
    TPoint p = TextPosFromPoint(TPoint(x, y));
    const bool outside = x < editRect_.Left || x >= editRect_.Right || y < editRect_.Top || y >= editRect_.Bottom;
    if (outside) {
        if (x < editRect_.Left && leftCol_ > 0) {
            HScroll(qzscLineUp);
        } else if (x >= editRect_.Right) {
            HScroll(qzscLineDown);
        }
        if (y < editRect_.Top) {
            VScroll(qzscLineUp);
        } else if (y >= editRect_.Bottom && topLine_ + VisibleLines() < lines_.Count()) {
            VScroll(qzscLineDown);
        }
        p = TextPosFromPoint(TPoint(x, y));
        if (p.Y == 0) p.Y = topLine_;
        view_->SetAutoScrollTimer(true);
    } else if (p == CaretPos() && p == selEnd_) {
        return;
    }
    SetCaretPosition(p);
    UpdateCaretPos();
    SetSelEnd(p);
}

void TQzPadModel::MouseUp(TQzMouseButton button, TShiftState shift, int x, int y)
{
    if (HideCodeTemplatesHandler) HideCodeTemplatesHandler(*this);
    if (button == mbRight && HasPopupMenu) return;
    if (button != mbLeft || dblClickPending_) {
        dblClickPending_ = false;
        return;
    }
    mouseCaptured_ = false;
    view_->SetMouseCapture(false);
    view_->SetAutoScrollTimer(false);
    if (dragPending_) {
        dragPending_ = false;
        const TPoint p = TextPosFromPoint(TPoint(x, y));
        SetCaretPosition(p);
        SetSelStart(p);
        UpdateCaretPos();
    } else if (mouseSelecting_) {
        const TPoint p = TextPosFromPoint(TPoint(x, y));
        SetCaretPosition(p);
        SetSelEnd(p);
        mouseSelecting_ = false;
        UpdateCaretPos();
    }
    if (x < editRect_.Left && !GetSelectAvail()) {
        SetSelStart(CaretPos());
        SetBookmark(caretY_, -1);
    }
}

void TQzPadModel::DblClick(int x, int y)
{
    dblClickPending_ = false;
    if (options_.Contains(qzoSelectDblClick) && x >= editRect_.Left) {
        const TPoint p = TextPosFromPoint(TPoint(x, y));
        const std::string line = ExpandedLine(p.Y);
        const int len = static_cast<int>(line.size());
        if (len > 0) {
            const TCharSet delims = GetDelimSet();
            int from = std::min(p.X, len);
            while (from > 0 && !delims.Contains(line[static_cast<size_t>(from - 1)])) --from;
            int to = std::min(p.X, len);
            while (to < len && !delims.Contains(line[static_cast<size_t>(to)])) ++to;
            SetSelStart(TPoint(from, p.Y));
            SetCaretPosition(TPoint(to, p.Y));
            SetSelEnd(TPoint(to, p.Y));
            UpdateCaretPos();
        }
    }
    if (OnDblClick) OnDblClick(*this);
}

// ---- word wrap ----

void TQzPadModel::SetWordWrap(TQzWordWrapOption w)
{
    if (w == wordWrap_) return;
    wordWrap_ = w;
    MakeWordWrap(w);
}

void TQzPadModel::MakeWordWrap(TQzWordWrapOption w)
{
    // The composition is taken out of the text while it is laid out again; the input method's
    // next update shows it at the caret.
    ImeRemoveShown();
    undoList_.Clear();
    BeginUpdate();
    lines_.BeginUpdate();
    // Logical position of the caret, to find it again in the new layout.
    int logicalLine = 0;
    int offset = 0;
    for (int i = 0; i <= std::min(caretY_, lines_.Count() - 1); ++i) {
        const TQzLineAttribute* a = lines_.Attribute(i);
        if (i == 0 || !a || !a->Wrapped) {
            if (i > 0) ++logicalLine;
            offset = 0;
        }
        if (i < caretY_) offset += ExpandedLineLength(i);
    }
    offset += caretX_;

    // Join every continuation line to its line: the logical text.
    std::vector<std::string> logical;
    std::vector<std::unique_ptr<TQzLineAttribute>> logicalAttrs;
    logical.reserve(static_cast<size_t>(lines_.Count()));
    for (int i = 0; i < lines_.Count(); ++i) {
        const TQzLineAttribute* a = lines_.Attribute(i);
        if (a && a->Wrapped && !logical.empty()) {
            logical.back() += lines_.Get(i);
        } else {
            logical.push_back(lines_.Get(i));
            std::unique_ptr<TQzLineAttribute> own = lines_.TakeAttribute(i);
            if (own) own->Wrapped = false;
            logicalAttrs.push_back(std::move(own));
        }
    }

    std::vector<std::string> physical;
    std::vector<std::unique_ptr<TQzLineAttribute>> attrs;
    const int width = w == qzwwNone ? 0 : std::max(w == qzwwWindow ? editRect_.Width() / SafeCharWidth() : columnCount_, 2);
    TPoint caret(caretX_, caretY_);
    for (size_t i = 0; i < logical.size(); ++i) {
        std::vector<std::string> parts = width > 0 ? WrapLine(logical[i], width) : std::vector<std::string>{logical[i]};
        int left = offset;
        for (size_t j = 0; j < parts.size(); ++j) {
            if (static_cast<int>(i) == logicalLine) {
                const int len = static_cast<int>(parts[j].size());
                if (left >= 0 && (left < len || j + 1 == parts.size())) caret = TPoint(left, static_cast<int>(physical.size()));
                left -= len;
            }
            physical.push_back(std::move(parts[j]));
            if (j == 0)
                attrs.push_back(std::move(logicalAttrs[i]));
            else
                attrs.push_back(std::make_unique<TQzLineAttribute>(-2, true));
        }
    }
    lines_.DeleteLines(0, lines_.Count());
    lines_.InsertLines(0, std::move(physical), std::move(attrs));
    if (lines_.Count() == 0) lines_.Add(std::string());
    lastWrapWidth_ = width;
    StoreCaret(ClampPos(caret));
    selAnchor_ = selEnd_ = CaretPos();
    KeepCaretOnText();
    if (topLine_ >= lines_.Count()) topLine_ = std::max(lines_.Count() - 1, 0);
    lines_.EndUpdate();
    EndUpdate();
    UpdateVertScrollBar();
    UpdateCaretPos();
}

void TQzPadModel::RewrapForWindow()
{
    if (wordWrap_ != qzwwWindow) return;
    const int width = std::max(editRect_.Width() / SafeCharWidth(), 2);
    if (width == lastWrapWidth_) return;
    Rewrap();
}

void TQzPadModel::Rewrap()
{
    // A re-wrap to a new width changes the layout, not the text.
    const bool wasLoading = loading_;
    const bool wasModified = modified_;
    loading_ = true;
    MakeWordWrap(wordWrap_);
    loading_ = wasLoading;
    modified_ = wasModified;
}

void TQzPadModel::WrappedLineToNewLine()
{
    if (ReadOnly() || !GetSelectAvail()) return;
    const int first = GetSelStart().Y;
    const int last = std::min(GetSelEnd().Y, lines_.Count() - 1);
    bool changed = false;
    // A row that ends its own line changes the saved text: an edit, undone in one step.
    RewriteStep(first, last, [&] {
        for (int y = first; y <= last; ++y) {
            const TQzLineAttribute* a = lines_.Attribute(y);
            if (a && a->Wrapped) {
                lines_.SetWrapped(y, false);
                InvalidateLine(y);
                changed = true;
            }
        }
        return last;
    });
    if (changed) modified_ = true;
}

std::string TQzPadModel::LogicalText() const
{
    std::string out;
    for (int i = 0; i < lines_.Count(); ++i) {
        const TQzLineAttribute* a = lines_.Attribute(i);
        if (i > 0 && !(a && a->Wrapped)) out += "\r\n";
        out += lines_.Get(i);
    }
    if (lines_.Count() > 0) out += "\r\n";
    return out;
}
