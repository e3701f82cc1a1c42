#include "controls/QzLabel.h"

#include "controls/Flatutilitys.h"

TQzLabel::TQzLabel(QWidget* parent, TComponent* owner)
    : TGraphicControl(parent, owner), frame_(std::make_unique<TQzFrame>()),
      captionStyle_(std::make_unique<TQzCaptionStyle>())
{
    SetOpaque(true);
    SetColor(clWindow);
    SetBounds(0, 0, 65, 17);
    frame_->OnChange = [this](TObject* s) { Refresh(s); };
    captionStyle_->SetAllowRotation(true);
    captionStyle_->SetOrthogonalRotation(false);
    captionStyle_->OnChanged = [this](TObject* s) { Refresh(s); };
}

TQzLabel::~TQzLabel()
{
    frame_->OnChange = nullptr;
    captionStyle_->OnChanged = nullptr;
}

std::string TQzLabel::About() const { return "TQzLabel,1.0"; }

void TQzLabel::Refresh(TObject*) { Repaint(); }

void TQzLabel::SetFrame(const TQzFrame& frame)
{
    frame_->Assign(frame);
    Repaint();
}

void TQzLabel::SetCaptionStyle(const TQzCaptionStyle& style) { captionStyle_->Assign(style); }

void TQzLabel::SetAlignment(TAlignment v)
{
    if (v == alignment_)
        return;
    alignment_ = v;
    Invalidate();
}

void TQzLabel::SetLayout(TTextLayout v)
{
    if (v == layout_)
        return;
    layout_ = v;
    Invalidate();
}

void TQzLabel::SetAutoSize(bool v)
{
    if (v == autoSize_)
        return;
    autoSize_ = v;
    AdjustBounds();
}

void TQzLabel::SetShowAccelChar(bool v)
{
    if (v == showAccelChar_)
        return;
    showAccelChar_ = v;
    AdjustBounds();
    Invalidate();
}

void TQzLabel::SetTransparent(bool v)
{
    if (v == transparent_)
        return;
    transparent_ = v;
    Invalidate();
}

void TQzLabel::SetWordWrap(bool v)
{
    if (v == wordWrap_)
        return;
    wordWrap_ = v;
    AdjustBounds();
    Invalidate();
}

void TQzLabel::EndUpdate()
{
    --updateCount_;
    if (updateCount_ < 1) {
        updateCount_ = 0;
        Repaint();
    }
}

unsigned TQzLabel::TextFlags() const
{
    unsigned flags = DT_EXPANDTABS;
    if (wordWrap_)
        flags |= DT_WORDBREAK;
    if (!showAccelChar_)
        flags |= DT_NOPREFIX;
    return flags;
}

void TQzLabel::TextChanged()
{
    TGraphicControl::TextChanged();
    AdjustBounds();
    Invalidate();
}

void TQzLabel::FontChanged()
{
    TGraphicControl::FontChanged();
    AdjustBounds();
    Invalidate();
}

void TQzLabel::AdjustBounds()
{
    if (!autoSize_)
        return;
    TCanvas measure;
    measure.Font->Assign(*Font());
    TRect r = ClientRect();
    std::string text = Caption();
    // An empty caption (or a lone accelerator marker) still takes one line.
    if (text.empty() || (showAccelChar_ && text == "&"))
        text += ' ';
    measure.DrawText(text, r, TextFlags() | DT_CALCRECT);
    int x = Left();
    if (alignment_ == taRightJustify)
        x += Width() - r.Right;
    SetBounds(x, Top(), r.Right, r.Bottom);
}

void TQzLabel::Paint()
{
    if (updateCount_ >= 1)
        return;
    const int w = Width(), h = Height();
    if (w <= 0 || h <= 0)
        return;
    TBitmap bitmap(w, h);
    TCanvas* bc = bitmap.Canvas();
    TRect r = ClientRect();
    if (transparent_) {
        DrawParentImage(this, bc);
    } else {
        bc->Brush->Color = Color();
        bc->Brush->Style = bsSolid;
        bc->FillRect(r);
    }
    bc->Brush->Style = bsClear;
    bc->Font->Assign(*Font());
    frame_->DrawFrame(bc, r);
    captionStyle_->Draw(bc, Caption(), *Font(), r, alignment_, layout_, TextFlags());
    bc->Flush();
    Canvas()->CopyMode = SRCCOPY;
    Canvas()->Draw(0, 0, bitmap);
}

void TQzLabel::Highlight(const TQzNotifyHighlight& handler)
{
    ++updateCount_;
    bool changed = false;
    if (handler)
        handler(this, changed);
    if (changed)
        EndUpdate();
    else
        --updateCount_;
}

void TQzLabel::MouseEnter()
{
    TGraphicControl::MouseEnter();
    Highlight(OnMouseEnter);
}

void TQzLabel::MouseLeave()
{
    TGraphicControl::MouseLeave();
    Highlight(OnMouseLeave);
}
