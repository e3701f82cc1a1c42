// Construction, published properties, change notification, geometry and whole-text operations.

#include "editor/model/QzPadModel.h"

#include "editor/model/QzPadDbcs.h"

#include "platform/core/Cp949.h"
#include "platform/core/StringList.h"

#include <algorithm>

namespace {

IQzPadView& NullView()
{
    static IQzPadView view;
    return view;
}

}  // namespace

TQzPrintHeader::TQzPrintHeader()
{
    Font.Name = Cp949("굴림");
    Font.Size = 10;
}

TQzPrintOptions::TQzPrintOptions()
{
    Font.Name = Cp949("굴림");
    Font.Size = 10;
}

TQzPadModel::TQzPadModel() : view_(&NullView())
{
    font_.Name = "Courier";
    font_.FixedPitch = true;
    newLineMark_ = Cp949("↓");
    lines_.Add(std::string());
    lines_.OnInserted = [this](TQzPadStrings&, int index, int count) { LinesInsertedOrDeleted(index, count, true); };
    lines_.OnDeleted = [this](TQzPadStrings&, int index, int count) { LinesInsertedOrDeleted(index, count, false); };
    lines_.OnChange = [this](TQzPadStrings&) { LinesChanged(); };
    lines_.OnConfirmConvert = [this]() {
        if (OnConfirmConvert) OnConfirmConvert(*this);
    };
    MeasureFont();
    SetMaxColumn(0);
    LayoutEditRect();
}

TQzPadModel::~TQzPadModel()
{
    lines_.OnChange = nullptr;
    lines_.OnInserted = nullptr;
    lines_.OnDeleted = nullptr;
}

void TQzPadModel::SetView(IQzPadView* view)
{
    view_ = view ? view : &NullView();
}

std::string TQzPadModel::About()
{
    return "TQzPad,0.6";
}

// ---- change notification ----

void TQzPadModel::FireChanged()
{
    if (!loading_ && OnChanged) OnChanged(*this);
}

void TQzPadModel::LinesChanged()
{
    if (loading_) return;
    if (updateCount_ < 1) {
        LayoutEditRect();
        StoreCaret(ClampPos(CaretPos()));
        UpdateCaretPos();
        UpdateVertScrollBar();
        UpdateHorzScrollBar();
        SetSelStart(CaretPos());
    }
    modified_ = true;
    FireChanged();
}

void TQzPadModel::LinesInsertedOrDeleted(int index, int count, bool inserted)
{
    if (updateCount_ >= 1) return;
    const int now = lines_.Count();
    const int before = inserted ? now - count : now + count;
    if (DecimalDigits(now + 1) == DecimalDigits(before + 1)) {
        InvalidateLines(index, topLine_ + VisibleLines());
    } else {
        if (options_.Contains(qzoShowLineNo)) LayoutEditRect();
        Invalidate();
    }
}

void TQzPadModel::EndUpdate()
{
    if (updateCount_ <= 0) return;
    if (--updateCount_ == 0) Invalidate();
}

// ---- properties ----

void TQzPadModel::SetColorProp(TColor& field, TColor c)
{
    if (field == c) return;
    field = c;
    Invalidate();
}

void TQzPadModel::SetCursorWidth(int v)
{
    if (v < 1) v = 1;
    if (v == cursorWidth_) return;
    cursorWidth_ = v;
    Invalidate();
}

void TQzPadModel::SetBlockMode(TQzBlockMode m)
{
    // The moving edge of a column block may stand inside a character; a stream's may not.
    if (m == qzbmLine && blockMode_ == qzbmColumn && QzIsTrailAt(ExpandedCurLine(), caretX_)) {
        if (selEnd_ == CaretPos()) ++selEnd_.X;
        StoreCaret(TPoint(caretX_ + 1, caretY_));
        UpdateCaretPos();
    }
    blockMode_ = m;
    if (GetSelectAvail()) InvalidateLines(GetSelStart().Y - 1, GetSelEnd().Y + 1);
    FireChanged();
}

void TQzPadModel::SetBorderStyle(TQzBorderStyle s)
{
    if (s == borderStyle_) return;
    borderStyle_ = s;
    view_->RecreateWindow();
}

void TQzPadModel::SetColumnCount(int v)
{
    if (v == columnCount_) return;
    columnCount_ = v;
    // Wrapped at the column count, every line follows the new width at once: lines wrapped at
    // two widths would move under the next edit of the line.
    if (wordWrap_ == qzwwUser) Rewrap();
    Invalidate();
}

void TQzPadModel::SetEditMode(TQzEditMode m)
{
    editMode_ = m;
    if (view_->HasFocus()) {
        HideCaret();
        view_->DestroyCaret();
        InitializeCaret();
        UpdateCaretPos();
    }
}

void TQzPadModel::SetFont(const TQzFontDesc& f)
{
    font_ = f;
    Invalidate();
}

void TQzPadModel::SetGutterWidth(int v)
{
    if (v == gutterWidth_) return;
    gutterWidth_ = v;
    LayoutEditRect();
    Invalidate();
}

void TQzPadModel::SetHanguelCode(TQzPadCodeType t)
{
    if (t == hanguelCodeType_) return;
    hanguelCodeType_ = t;
    modified_ = true;
    FireChanged();
}

void TQzPadModel::SetLineSpace(int v)
{
    if (v == lineSpace_) return;
    lineSpace_ = v;
    MeasureFont();
    LayoutEditRect();
    Invalidate();
}

void TQzPadModel::SetNewLineMark(const std::string& s)
{
    if (s == newLineMark_) return;
    newLineMark_ = s;
    Invalidate();
}

void TQzPadModel::SetOptions(TQzPadOptions o)
{
    options_ = o;
    LayoutEditRect();
    if (!o.Contains(qzoScrollPastEOL)) {
        caretX_ = std::min(caretX_, ExpandedCurLineLength());
    } else if (maxColumn_ < 2048) {
        SetMaxColumn(2048);
        UpdateHorzScrollBar();
    }
    Invalidate();
}

void TQzPadModel::SetSyntax(TQzSyntax* s)
{
    syntax_ = s;
    Invalidate();
}

void TQzPadModel::SetTabSize(int v)
{
    // The composition's place is a column of the expanded text, which the new size moves.
    ImeRemoveShown();
    const bool changed = v != tabSize_;
    tabSize_ = v;
    // Under word wrap a line that keeps its tabs takes another width now (and so may a line that
    // undo would give back): the text is wrapped again, which empties the undo list.
    if (changed && wordWrap_ != qzwwNone) Rewrap();
    // The caret's column may now fall inside a character of a line with tabs, or past its end.
    if (!PastEndAllowed(caretY_)) caretX_ = std::min(caretX_, ExpandedCurLineLength());
    if (QzIsTrailAt(ExpandedCurLine(), caretX_)) StoreCaret(TPoint(caretX_ + 1, caretY_));
    UpdateCaretPos();
    Invalidate();
}

void TQzPadModel::SetGutterImages(int count, int width, int height)
{
    gutterImageCount_ = std::max(count, 0);
    gutterImageWidth_ = std::max(width, 0);
    gutterImageHeight_ = std::max(height, 0);
    Invalidate();
}

void TQzPadModel::ForgetComponent(const void* component)
{
    if (!component) return;
    if (component == syntax_) {
        syntax_ = nullptr;
        Invalidate();
    }
    if (component == shortCut_) shortCut_ = nullptr;
    if (component == macro_) macro_ = nullptr;
}

void TQzPadModel::SetMaxColumn(int n)
{
    if (n == 0 && options_.Contains(qzoScrollPastEOL)) n = 2048;
    maxColumn_ = std::max(n, 0);
    advances_.assign(static_cast<size_t>(maxColumn_), charWidth_);
}

// ---- geometry ----

void TQzPadModel::MeasureFont()
{
    lineHeight_ = fontHeight_ + lineSpace_ + 2;
}

void TQzPadModel::SetFontMetrics(int charWidth, int fontHeight)
{
    charWidth_ = std::max(charWidth, 1);
    fontHeight_ = std::max(fontHeight, 1);
    MeasureFont();
    advances_.assign(static_cast<size_t>(maxColumn_), charWidth_);
    LayoutEditRect();
    RewrapForWindow();
    UpdateHorzScrollBar();
    UpdateVertScrollBar();
    Invalidate();
}

void TQzPadModel::SetClientSize(int width, int height)
{
    clientWidth_ = std::max(width, 0);
    clientHeight_ = std::max(height, 0);
    LayoutEditRect();
    RewrapForWindow();
    if (lines_.Count() <= VisibleLines()) topLine_ = 0;
    if (VisibleCols() >= maxColumn_) leftCol_ = 0;
    UpdateVertScrollBar();
    UpdateHorzScrollBar();
    Invalidate();
}

void TQzPadModel::LayoutEditRect()
{
    const int lh = SafeLineHeight();
    const int visible = std::max((clientHeight_ - 4) / lh, 0);
    int left = 4;
    if (options_.Contains(qzoShowGutter)) left += gutterWidth_;
    if (options_.Contains(qzoShowLineNo)) left += (DecimalDigits(lines_.Count() + 1) + 1) * charWidth_;
    editRect_ = TRect(left, 4, clientWidth_, 4 + visible * lh);
}

int TQzPadModel::VisibleLines() const
{
    return std::max(editRect_.Height() / SafeLineHeight(), 1);
}

int TQzPadModel::VisibleCols() const
{
    return std::max(editRect_.Width() / SafeCharWidth(), 1);
}

// ---- whole-text operations ----

void TQzPadModel::Initialize()
{
    caretX_ = 0;
    caretY_ = 0;
    topLine_ = 0;
    leftCol_ = 0;
    modified_ = false;
    SetMaxColumn(0);
    selAnchor_ = selEnd_ = TPoint();
    trailStep_ = false;
    // The text is replaced: a composition shown in it goes with it.
    imeShown_.clear();
    imeCovered_.clear();
    imePad_ = 0;
    lines_.FreeAttributes();
    if (loading_) {
        lines_.Clear();
        lines_.Add(std::string());
    }
}

void TQzPadModel::Clear()
{
    const bool wasLoading = loading_;
    loading_ = true;
    Initialize();
    undoList_.Clear();
    UpdateVertScrollBar();
    loading_ = wasLoading;
    UpdateHorzScrollBar();
    LayoutEditRect();
    UpdateCaretPos();
    Invalidate();
}

void TQzPadModel::SetLines(const std::vector<std::string>& source)
{
    SetLines(std::vector<std::string>(source));
}

void TQzPadModel::SetLines(std::vector<std::string>&& source)
{
    ReplaceLines([&] { lines_.Assign(std::move(source)); });
}

void TQzPadModel::SetLinesOf(std::string_view text)
{
    ReplaceLines([&] { lines_.AssignSplit(text); });
}

void TQzPadModel::ReplaceLines(const std::function<void()>& fill)
{
    BeginUpdate();
    const bool wasLoading = loading_;
    loading_ = true;
    Initialize();
    fill();
    if (lines_.Count() == 0) lines_.Add(std::string());
    undoList_.Clear();
    UpdateVertScrollBar();
    loading_ = false;
    UpdateHorzScrollBar();
    if (wordWrap_ != qzwwNone) {
        loading_ = true;
        lastWrapWidth_ = 0;
        RewrapForWindow();
        if (wordWrap_ == qzwwUser) MakeWordWrap(wordWrap_);
        loading_ = false;
    }
    loading_ = wasLoading;
    LayoutEditRect();
    FireChanged();
    EndUpdate();
    UpdateCaretPos();
}

void TQzPadModel::SetLines(const TStringList& source)
{
    SetLines(source.Strings);
}

void TQzPadModel::SetText(std::string_view text)
{
    TStringList list;
    list.SetText(text);
    SetLines(std::move(list.Strings));
}

void TQzPadModel::TrimTrailingSpace()
{
    ImeRemoveShown();
    BeginUpdate();
    lines_.BeginUpdate();
    bool changed = false;
    // Under word wrap the ends of the logical lines are trimmed and the lines wrapped again.
    for (int i = 0; i < lines_.Count(); i = LogicalLast(i) + 1) {
        const std::string s = LogicalLast(i) > i ? LogicalLine(i) : lines_.Get(i);
        size_t n = s.size();
        while (n > 0 && static_cast<unsigned char>(s[n - 1]) <= ' ') --n;
        if (n == s.size()) continue;
        changed = true;
        if (LogicalLast(i) > i)
            RewriteLogicalLine(i, s.substr(0, n), [n](int p) { return std::min(p, static_cast<int>(n)); });
        else
            lines_.Put(i, s.substr(0, n));
    }
    // Undo records no trimming; the records of the text before it would no longer fit.
    if (changed) undoList_.Clear();
    if (!options_.Contains(qzoScrollPastEOL)) caretX_ = std::min(caretX_, ExpandedCurLineLength());
    lines_.EndUpdate();
    EndUpdate();
}

std::string TQzPadModel::GetHexCode() const
{
    static const char hex[] = "0123456789ABCDEF";
    const std::string line = ExpandedCurLine();
    if (caretX_ >= static_cast<int>(line.size())) return lines_.SaveFormat == qzsfUnix ? "10" : "13";
    std::string out;
    auto put = [&](unsigned char b) {
        out += hex[b >> 4];
        out += hex[b & 15];
    };
    const auto b = static_cast<unsigned char>(line[static_cast<size_t>(caretX_)]);
    put(b);
    if (IsDbcsLeadByte(b) && caretX_ + 1 < static_cast<int>(line.size()))
        put(static_cast<unsigned char>(line[static_cast<size_t>(caretX_) + 1]));
    return out;
}

// ---- undo list ----

TQzUndoItem* TQzUndoItems::AddUndo(TQzPadCommand command, TQzBlockMode blockMode, TPoint caretPos,
                                   TPoint startPos, TPoint endPos, std::string text)
{
    auto item = std::make_unique<TQzUndoItem>();
    item->Command = command;
    item->BlockMode = blockMode;
    item->CaretPos = caretPos;
    item->StartPos = startPos;
    item->EndPos = endPos;
    item->Text = std::move(text);
    items_.push_back(std::move(item));
    return items_.back().get();
}

TQzUndoItem* TQzUndoItems::GetItem(int i) const
{
    if (i < 0 || i >= Count()) return nullptr;
    return items_[static_cast<size_t>(i)].get();
}

void TQzUndoItems::DeleteLast()
{
    if (items_.empty()) return;
    items_.pop_back();
}

void TQzUndoItems::Clear()
{
    items_.clear();
    items_.shrink_to_fit();
}
