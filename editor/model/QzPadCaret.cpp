// Positions, caret, scrolling, selection and cursor movement.

#include "editor/model/QzPadDbcs.h"
#include "editor/model/QzPadModel.h"

#include <algorithm>

// ---- positions ----

std::string TQzPadModel::ExpandStr(std::string_view s) const
{
    if (s.find('\t') == std::string_view::npos) return std::string(s);
    const int ts = SafeTabSize();
    std::string out;
    out.reserve(s.size() + 8);
    for (char c : s) {
        if (c == '\t') {
            out.append(static_cast<size_t>(ts - static_cast<int>(out.size()) % ts), ' ');
        } else {
            out += c;
        }
    }
    return out;
}

std::string TQzPadModel::ExpandedLine(int i) const
{
    if (!lines_.IsLine(i)) return std::string();
    return ExpandStr(lines_.Get(i));
}

int TQzPadModel::ExpandedLineLength(int i) const
{
    if (!lines_.IsLine(i)) return 0;
    const std::string& s = lines_.Get(i);
    if (s.find('\t') == std::string::npos) return static_cast<int>(s.size());
    return static_cast<int>(ExpandStr(s).size());
}

int TQzPadModel::GetActualPos(int line, int column) const
{
    const std::string& s = lines_.Get(line);
    const int ts = SafeTabSize();
    int col = 0;
    int i = 0;
    for (; i < static_cast<int>(s.size()) && col < column; ++i) {
        col = s[static_cast<size_t>(i)] == '\t' ? col + ts - col % ts : col + 1;
    }
    return col < column ? i + (column - col) : i;
}

TPoint TQzPadModel::ClampPos(TPoint p) const
{
    p.X = std::max(p.X, 0);
    p.Y = std::clamp(p.Y, 0, std::max(lines_.Count() - 1, 0));
    return p;
}

bool TQzPadModel::PastEndAllowed(int y) const
{
    if (!options_.Contains(qzoScrollPastEOL)) return false;
    // Past the end of a row that goes on in a continuation lies the middle of its logical line.
    const TQzLineAttribute* next = wordWrap_ != qzwwNone ? lines_.Attribute(y + 1) : nullptr;
    return !(next && next->Wrapped);
}

void TQzPadModel::StoreCaret(TPoint p)
{
    caretX_ = std::max(p.X, 0);
    caretY_ = std::max(p.Y, 0);
}

int TQzPadModel::NextWordPos(int x, bool skipDelimiters) const
{
    const std::string line = ExpandedCurLine();
    const int len = static_cast<int>(line.size());
    if (x < 0 || x >= len) return 0;
    const TCharSet delims = GetDelimSet();
    int i = x;  // 0-based index of 1-based position x + 1
    if (!delims.Contains(line[static_cast<size_t>(i)])) {
        while (i < len && !delims.Contains(line[static_cast<size_t>(i)])) i += QzCharWidthAt(line, i);
        if (skipDelimiters)
            while (i < len && delims.Contains(line[static_cast<size_t>(i)])) ++i;
    } else {
        while (i < len && delims.Contains(line[static_cast<size_t>(i)])) ++i;
    }
    return std::min(i, len);
}

int TQzPadModel::PrevWordPos(int x) const
{
    const std::string line = ExpandedCurLine();
    const int len = static_cast<int>(line.size());
    if (x <= 0 || len == 0) return 0;
    const TCharSet delims = GetDelimSet();
    int p = std::min(x, len);  // 1-based position
    auto isDelim = [&](int pos) { return delims.Contains(line[static_cast<size_t>(pos - 1)]); };
    if (isDelim(p))
        while (p >= 1 && isDelim(p)) --p;
    while (p >= 1 && !isDelim(p)) --p;
    return std::max(p, 0);
}

// ---- caret ----

void TQzPadModel::InitializeCaret()
{
    if (cursorWidth_ < 1) cursorWidth_ = 2;
    view_->CreateCaret(editMode_ == qzmOverwrite ? charWidth_ : cursorWidth_, lineHeight_);
}

void TQzPadModel::UpdateCaretPos()
{
    if (!view_->HasFocus()) return;
    if (lines_.Count() > 0) caretY_ = std::clamp(caretY_, 0, lines_.Count() - 1);
    caretX_ = std::max(caretX_, 0);
    int x = editRect_.Left + (caretX_ - leftCol_) * charWidth_;
    const int y = editRect_.Top + (caretY_ - topLine_) * lineHeight_;
    if (x < editRect_.Left) x = -10;
    view_->SetCaretPos(x, y);
    ShowCaret();
}

void TQzPadModel::ShowCaret()
{
    if (!view_->HasFocus()) return;
    view_->ShowCaret();
    caretShown_ = true;
}

void TQzPadModel::HideCaret()
{
    if (!caretShown_) return;
    view_->HideCaret();
    caretShown_ = false;
}

void TQzPadModel::FocusIn()
{
    InitializeCaret();
    UpdateCaretPos();
    FireChanged();
}

void TQzPadModel::FocusOut()
{
    HideCaret();
    view_->DestroyCaret();
}

void TQzPadModel::SetCaretX(int x)
{
    if (x < 0) x = 0;
    if (x == caretX_) return;
    const int cw = SafeCharWidth();
    const int px = editRect_.Left + (caretX_ - leftCol_) * cw;
    const int d = x > caretX_ ? (x - caretX_ + 1) * cw : -(caretX_ - x + 1) * cw;
    const int np = px + d;
    const int width = editRect_.Width();
    const int oldLeft = leftCol_;
    if (np < editRect_.Left) {
        if (-d < width)
            leftCol_ -= std::max(VisibleCols() / 3, (-d) / cw);
        else
            leftCol_ -= (-d) / cw + 2;
        leftCol_ = std::max(leftCol_, 0);
    } else if (np >= editRect_.Right) {
        if (d < width)
            leftCol_ += std::max(VisibleCols() / 3, d / cw);
        else
            leftCol_ += (np - width) / cw + 2;
    }
    // A jump far outside the view must still end with the caret in it.
    if (x < leftCol_)
        leftCol_ = std::max(x - VisibleCols() / 3, 0);
    else if (x >= leftCol_ + VisibleCols())
        leftCol_ = x - VisibleCols() + VisibleCols() / 3 + 1;
    if (leftCol_ != oldLeft) {
        UpdateHorzScrollBar();
        ScrollHorz((oldLeft - leftCol_) * cw);
    }
    caretX_ = x;
    if (OnPosChanged) OnPosChanged(*this);
}

void TQzPadModel::SetCaretY(int y)
{
    if (y < 0) y = 0;
    if (lines_.Count() > 0 && y > lines_.Count() - 1) y = lines_.Count() - 1;
    if (y == caretY_) return;
    const bool mark = options_.Contains(qzoHighlightCurrentLine) || options_.Contains(qzoFillCurrentLine);
    const int old = caretY_;
    caretY_ = y;
    if (mark) InvalidateLine(old);
    const int oldTop = topLine_;
    const int visible = VisibleLines();
    if (y < topLine_) {
        topLine_ = std::max(topLine_ - (old - y), 0);
        if (y < topLine_) topLine_ = y;
    } else if (y - topLine_ + 1 > visible) {
        topLine_ += y - old;
        if (y - topLine_ + 1 > visible || y < topLine_) topLine_ = y - visible + 1;
        topLine_ = std::max(topLine_, 0);
    }
    if (topLine_ != oldTop) {
        UpdateVertScrollBar();
        ScrollVert((oldTop - topLine_) * lineHeight_);
    }
    if (mark) InvalidateLine(y);
    if (OnPosChanged) OnPosChanged(*this);
}

void TQzPadModel::SetCaretPosition(TPoint p)
{
    SetCaretY(p.Y);
    SetCaretX(p.X);
}

void TQzPadModel::AdjustCaretX()
{
    const std::string line = ExpandedCurLine();
    const int len = static_cast<int>(line.size());
    if (!PastEndAllowed(caretY_) && !(blockMode_ == qzbmColumn && selecting_) && caretX_ > len)
        SetCaretX(len);
    if (trailStep_) {
        SetCaretX(caretX_ - 1);
        trailStep_ = false;
    }
    if (caretX_ < len && QzIsTrailAt(line, caretX_)) {
        SetCaretX(caretX_ + 1);
        trailStep_ = true;
    }
    UpdateCaretPos();
    UpdateHorzScrollBar();
}

void TQzPadModel::MoveCaretY(int n)
{
    SetCaretY(caretY_ + n);
    AdjustCaretX();
    UpdateVertScrollBar();
}

// ---- selection ----

TPoint TQzPadModel::GetSelStart() const
{
    if (blockMode_ == qzbmColumn)
        return TPoint(std::min(selAnchor_.X, selEnd_.X), std::min(selAnchor_.Y, selEnd_.Y));
    const bool anchorFirst = selAnchor_.Y < selEnd_.Y || (selAnchor_.Y == selEnd_.Y && selAnchor_.X <= selEnd_.X);
    return anchorFirst ? selAnchor_ : selEnd_;
}

TPoint TQzPadModel::GetSelEnd() const
{
    if (blockMode_ == qzbmColumn)
        return TPoint(std::max(selAnchor_.X, selEnd_.X), std::max(selAnchor_.Y, selEnd_.Y));
    const bool anchorFirst = selAnchor_.Y < selEnd_.Y || (selAnchor_.Y == selEnd_.Y && selAnchor_.X <= selEnd_.X);
    return anchorFirst ? selEnd_ : selAnchor_;
}

void TQzPadModel::InvalidateSelection(TPoint a, TPoint b)
{
    const int lo = std::min(a.Y, b.Y);
    const int hi = std::max(a.Y, b.Y);
    if (hi - lo + 1 > VisibleLines())
        Invalidate();
    else
        InvalidateLines(lo, hi);
}

void TQzPadModel::SetSelStart(TPoint p)
{
    p = ClampPos(p);
    if (GetSelectAvail()) InvalidateSelection(selAnchor_, selEnd_);
    selAnchor_ = selEnd_ = p;
}

void TQzPadModel::SetSelEnd(TPoint p)
{
    p = ClampPos(p);
    if (p == selEnd_) return;
    if (blockMode_ == qzbmColumn) {
        const int lo = std::min({selAnchor_.Y, selEnd_.Y, p.Y});
        const int hi = std::max({selAnchor_.Y, selEnd_.Y, p.Y});
        InvalidateSelection(TPoint(0, lo), TPoint(0, hi));
    } else {
        InvalidateSelection(selEnd_, p);
    }
    selEnd_ = p;
}

void TQzPadModel::UpdateSelectionBegin()
{
    if (selecting_) {
        if (!GetSelectAvail())
            SetSelStart(CaretPos());
        else
            SetSelEnd(CaretPos());
    } else {
        SetSelStart(CaretPos());
    }
}

void TQzPadModel::UpdateSelectionEnd()
{
    if (selecting_)
        SetSelEnd(CaretPos());
    else
        SetSelStart(CaretPos());
}

void TQzPadModel::ClampSelectionToText()
{
    if (blockMode_ != qzbmLine) return;
    if (!PastEndAllowed(selAnchor_.Y)) selAnchor_.X = std::min(selAnchor_.X, ExpandedLineLength(selAnchor_.Y));
    if (!PastEndAllowed(selEnd_.Y)) selEnd_.X = std::min(selEnd_.X, ExpandedLineLength(selEnd_.Y));
}

void TQzPadModel::SelectAll()
{
    const int last = std::max(lines_.Count() - 1, 0);
    selAnchor_ = TPoint(0, 0);
    selEnd_ = TPoint(ExpandedLineLength(last), last);
    Invalidate();
}

void TQzPadModel::SelectNone()
{
    if (GetSelectAvail()) InvalidateSelection(selAnchor_, selEnd_);
    selAnchor_ = selEnd_ = CaretPos();
}

bool TQzPadModel::PosInSelect(TPoint p) const
{
    const TPoint s = GetSelStart();
    const TPoint e = GetSelEnd();
    if (p.Y < s.Y || p.Y > e.Y) return false;
    if (blockMode_ == qzbmColumn) {
        const std::string line = ExpandedLine(p.Y);
        return p.X >= QzAdjustEdge(line, s.X) && p.X < QzAdjustEdge(line, e.X);
    }
    if (p.Y == s.Y && p.X < s.X) return false;
    if (p.Y == e.Y && p.X >= e.X) return false;
    return true;
}

// ---- scrolling ----

void TQzPadModel::UpdateVertScrollBar()
{
    view_->SetScrollBar(qzsbVert, 0, std::max(lines_.Count() - 1, 0), VisibleLines(), std::max(topLine_, 0));
}

void TQzPadModel::UpdateHorzScrollBar()
{
    if (loading_) return;
    view_->SetScrollBar(qzsbHorz, 0, VisibleCols() + maxColumn_ - 1, VisibleCols(), leftCol_);
}

void TQzPadModel::ScrollVert(int pixels)
{
    if (pixels == 0 || !view_->IsVisible() || updateCount_ != 0) return;
    view_->ScrollArea(0, pixels, TRect(0, editRect_.Top, editRect_.Right, editRect_.Bottom));
}

void TQzPadModel::ScrollHorz(int pixels)
{
    if (pixels == 0 || !view_->IsVisible() || updateCount_ != 0) return;
    view_->ScrollArea(pixels, 0, TRect(editRect_.Left, 0, clientWidth_, clientHeight_));
}

void TQzPadModel::InvalidateLine(int y)
{
    InvalidateLines(y, y);
}

void TQzPadModel::InvalidateLines(int a, int b)
{
    if (a > b) std::swap(a, b);
    const int last = topLine_ + VisibleLines();
    a = std::max(a, topLine_);
    b = std::min(b, last);
    if (a > b) return;
    const int top = editRect_.Top + (a - topLine_) * lineHeight_;
    const int bottom = editRect_.Top + (b - topLine_ + 1) * lineHeight_;
    view_->InvalidateRect(TRect(0, top, editRect_.Right, bottom));
}

void TQzPadModel::Invalidate()
{
    view_->InvalidateAll();
}

void TQzPadModel::SetTopLine(int n)
{
    if (n < 0 || n >= lines_.Count() || n == topLine_) return;
    topLine_ = n;
    UpdateCaretPos();
    UpdateVertScrollBar();
    Invalidate();
}

void TQzPadModel::GoToLine(int n)
{
    if (n < 1 || n > lines_.Count()) return;
    const int visible = VisibleLines();
    SetCaretY((n - 1) - (n - 1) % visible);
    SetCaretY(n - 1);
    SetCaretX(0);
    UpdateCaretPos();
}

void TQzPadModel::GoToPos(TPoint p)
{
    GoToLine(p.Y);
    SetCaretX(p.X);
    AdjustCaretX();
    trailStep_ = false;
}

void TQzPadModel::VScroll(TQzScrollCode code, int count)
{
    const int last = std::max(lines_.Count() - 1, 0);
    const int from = std::max(topLine_, 0);
    int to = from;
    switch (code) {
    case qzscLineUp: to = from - count; break;
    case qzscLineDown: to = from + count; break;
    case qzscPageUp: to = from - VisibleLines(); break;
    case qzscPageDown: to = from + VisibleLines(); break;
    case qzscThumbPosition:
    case qzscThumbTrack: to = view_->ScrollTrackPos(qzsbVert); break;
    case qzscTop: to = 0; break;
    case qzscBottom: to = last; break;
    default: return;
    }
    to = std::clamp(to, 0, last);
    if (to == topLine_) return;
    const int old = topLine_;
    topLine_ = to;
    UpdateCaretPos();
    UpdateVertScrollBar();
    const int dist = std::abs(to - old);
    if (dist < VisibleLines() && !(to > old && old == 0))
        ScrollVert((old - to) * lineHeight_);
    else
        Invalidate();
}

void TQzPadModel::HScroll(TQzScrollCode code)
{
    int to = leftCol_;
    switch (code) {
    case qzscLineUp: to = leftCol_ - 1; break;
    case qzscLineDown: to = leftCol_ + 1; break;
    case qzscPageUp: to = leftCol_ - VisibleCols(); break;
    case qzscPageDown: to = leftCol_ + VisibleCols(); break;
    case qzscThumbPosition:
    case qzscThumbTrack: to = view_->ScrollTrackPos(qzsbHorz); break;
    case qzscTop: to = 0; break;
    case qzscBottom: to = maxColumn_; break;
    default: return;
    }
    to = std::clamp(to, 0, std::max(maxColumn_, 0));
    if (to == leftCol_) return;
    const int old = leftCol_;
    leftCol_ = to;
    UpdateCaretPos();
    UpdateHorzScrollBar();
    if (std::abs(to - old) < VisibleCols())
        ScrollHorz((old - to) * charWidth_);
    else
        Invalidate();
}

void TQzPadModel::MouseWheel(int delta, int lines)
{
    VScroll(delta > 0 ? qzscLineUp : qzscLineDown, std::max(lines, 1));
}

// ---- movement ----

void TQzPadModel::RunMove(void (TQzPadModel::*move)())
{
    UpdateSelectionBegin();
    (this->*move)();
    UpdateSelectionEnd();
}

void TQzPadModel::MoveLeft()
{
    trailStep_ = false;
    if (caretX_ <= 0) {
        if ((blockMode_ == qzbmLine || !selecting_) && caretY_ > 0) {
            SetCaretY(caretY_ - 1);
            SetCaretX(ExpandedCurLineLength());
        }
    } else {
        const std::string line = ExpandedCurLine();
        const int step = (caretX_ - 1 < static_cast<int>(line.size()) && QzIsTrailAt(line, caretX_ - 1)) ? 2 : 1;
        SetCaretX(caretX_ - step);
        UpdateHorzScrollBar();
    }
    UpdateCaretPos();
}

void TQzPadModel::MoveRight()
{
    trailStep_ = false;
    const std::string line = ExpandedCurLine();
    const int len = static_cast<int>(line.size());
    if (caretX_ < len) {
        SetCaretX(caretX_ + QzCharWidthAt(line, caretX_));
    } else if ((blockMode_ == qzbmLine || !selecting_) && !PastEndAllowed(caretY_)) {
        if (caretY_ < lines_.Count() - 1) {
            SetCaretY(caretY_ + 1);
            SetCaretX(0);
        }
    } else if (caretX_ < maxColumn_) {
        SetCaretX(caretX_ + 1);
    }
    UpdateCaretPos();
}

void TQzPadModel::MoveWordLeft()
{
    trailStep_ = false;
    if (caretX_ > 0) {
        SetCaretX(PrevWordPos(caretX_));
    } else if (caretY_ > 0) {
        SetCaretY(caretY_ - 1);
        SetCaretX(ExpandedCurLineLength());
    }
    UpdateCaretPos();
}

void TQzPadModel::MoveWordRight()
{
    trailStep_ = false;
    const int p = NextWordPos(caretX_, true);
    if (p == 0 && caretY_ < lines_.Count() - 1) {
        SetCaretY(caretY_ + 1);
        SetCaretX(0);
    } else if (p > 0) {
        SetCaretX(p);
    }
    UpdateCaretPos();
}

void TQzPadModel::MovePage(int dir)
{
    if (dir < 0 && caretY_ > 0) MoveCaretY(-VisibleLines());
    if (dir > 0 && topLine_ < lines_.Count() - 1) MoveCaretY(VisibleLines());
}

void TQzPadModel::MoveHome()
{
    trailStep_ = false;
    int col = 0;
    if (options_.Contains(qzoSmartHome)) {
        const std::string line = ExpandedCurLine();
        int n = 0;
        while (n < static_cast<int>(line.size()) && line[static_cast<size_t>(n)] == ' ') ++n;
        col = (n == static_cast<int>(line.size()) || caretX_ == n) ? 0 : n;
    }
    SetCaretX(col);
    UpdateCaretPos();
}

void TQzPadModel::MoveEnd()
{
    trailStep_ = false;
    SetCaretX(ExpandedCurLineLength());
    UpdateCaretPos();
}

void TQzPadModel::MoveTop()
{
    trailStep_ = false;
    SetCaretY(0);
    SetCaretX(0);
    UpdateCaretPos();
}

void TQzPadModel::MoveBottom()
{
    trailStep_ = false;
    const int target = std::max(lines_.Count() - VisibleLines(), 0);
    if (topLine_ != target) {
        topLine_ = target;
        UpdateVertScrollBar();
        Invalidate();
    }
    SetCaretY(std::max(lines_.Count() - 1, 0));
    SetCaretX(ExpandedCurLineLength());
    UpdateCaretPos();
}

void TQzPadModel::ScrollLine(int dir)
{
    const int to = topLine_ + dir;
    if (to < 0 || to > lines_.Count() - 1) return;
    topLine_ = to;
    UpdateCaretPos();
    UpdateVertScrollBar();
    UpdateHorzScrollBar();
    ScrollVert(-dir * lineHeight_);
}

// ---- hit-testing ----

TPoint TQzPadModel::TextPosFromPoint(TPoint p)
{
    int y = (p.Y - editRect_.Top) / SafeLineHeight() + topLine_;
    int x = (p.X - editRect_.Left) / SafeCharWidth() + leftCol_;
    if (y < 0) y = 0;
    y = std::min(y, lines_.Count() - 1);
    y = std::min(y, topLine_ + VisibleLines() - 1);
    if (y < 0) y = 0;
    if (x < 0) x = 0;
    const std::string line = ExpandedLine(y);
    const int len = static_cast<int>(line.size());
    if (x < len && QzIsTrailAt(line, x)) ++x;
    if (x > len && !PastEndAllowed(y) && !(mouseSelecting_ && blockMode_ == qzbmColumn)) x = len;
    trailStep_ = false;
    return TPoint(x, y);
}
