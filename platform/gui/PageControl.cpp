#include "platform/gui/PageControl.h"

#include <algorithm>

#include "platform/gui/ImageList.h"

TTabSheet::TTabSheet(TPageControl* pageControl)
    : TControl(pageControl, pageControl), pageControl_(pageControl)
{
    SetParentColor(true);
}

int TTabSheet::PageIndex() const
{
    const auto& pages = pageControl_->pages_;
    const auto it = std::find(pages.begin(), pages.end(), this);
    return it == pages.end() ? -1 : static_cast<int>(it - pages.begin());
}

void TTabSheet::TextChanged() { pageControl_->Invalidate(); }

TPageControl::TPageControl(QWidget* parent, TComponent* owner) : TControl(parent, owner)
{
    SetOpaque(false);
    resize(289, 193);
}

TTabSheet* TPageControl::AddPage(const std::string& caption)
{
    auto* page = new TTabSheet(this);
    page->SetCaption(caption);
    pages_.push_back(page);
    if (!active_)
        active_ = page;
    LayoutPages();
    Invalidate();
    return page;
}

int TPageControl::ActivePageIndex() const { return active_ ? active_->PageIndex() : -1; }

void TPageControl::SetActivePage(TTabSheet* page)
{
    if (page && page->PageControl() != this)
        return;
    active_ = page;
    LayoutPages();
    Invalidate();
}

void TPageControl::SetActivePageIndex(int i)
{
    SetActivePage(i >= 0 && i < PageCount() ? pages_[static_cast<size_t>(i)] : nullptr);
}

void TPageControl::SetTabPosition(TTabPosition p)
{
    if (p == tabPosition_)
        return;
    tabPosition_ = p;
    LayoutPages();
    Invalidate();
}

int TPageControl::TabHeight() const
{
    if (tabHeight_ > 0)
        return tabHeight_;
    TCanvas measure;
    measure.Font->Assign(*Font());
    return measure.TextHeight("W") + 6;
}

void TPageControl::SetTabHeight(int h)
{
    tabHeight_ = std::max(0, h);
    LayoutPages();
    Invalidate();
}

TRect TPageControl::TabRect(int index) const
{
    if (index < 0 || index >= PageCount() || !pages_[static_cast<size_t>(index)]->TabVisible)
        return TRect{};
    TCanvas measure;
    measure.Font->Assign(*Font());
    const int th = TabHeight();
    const int top = tabPosition_ == tpTop ? 2 : Height() - th - 2;
    int x = 2;
    for (int i = 0; i < PageCount(); ++i) {
        const TTabSheet* p = pages_[static_cast<size_t>(i)];
        if (!p->TabVisible)
            continue;
        int w = measure.TextWidth(p->Caption()) + 12;
        if (Images && p->ImageIndex >= 0)
            w += Images->Width() + 3;
        if (i == index)
            return Bounds(x, top, w, th);
        x += w;
    }
    return TRect{};
}

int TPageControl::IndexOfTabAt(int x, int y) const
{
    for (int i = 0; i < PageCount(); ++i)
        if (TabRect(i).Contains(x, y))
            return i;
    return -1;
}

TRect TPageControl::DisplayRect() const
{
    const int th = TabHeight() + 2;
    TRect r = ClientRect();
    if (tabPosition_ == tpTop)
        r.Top += th;
    else
        r.Bottom -= th;
    InflateRect(r, -2, -2);
    return r;
}

TRect TPageControl::AlignClientRect() const { return DisplayRect(); }

void TPageControl::LayoutPages()
{
    const TRect r = DisplayRect();
    for (TTabSheet* p : pages_) {
        p->setGeometry(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
        p->SetVisible(p == active_);
    }
}

void TPageControl::Resize()
{
    LayoutPages();
    TControl::Resize();
}

void TPageControl::SelectByUser(int index)
{
    if (index < 0 || index >= PageCount() || pages_[static_cast<size_t>(index)] == active_)
        return;
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    if (!allow)
        return;
    TPageControl::SetActivePage(pages_[static_cast<size_t>(index)]);
    if (OnChange)
        OnChange(this);
}

void TPageControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft)
        SelectByUser(IndexOfTabAt(x, y));
    TControl::MouseDown(button, shift, x, y);
}

void TPageControl::DrawTab(int index, const TRect& r, bool active)
{
    TCanvas* c = Canvas();
    const TTabSheet* p = pages_[static_cast<size_t>(index)];
    int x = r.Left + 6;
    if (Images && p->ImageIndex >= 0) {
        Images->Draw(c, x, r.Top + (r.Height() - Images->Height()) / 2, p->ImageIndex);
        x += Images->Width() + 3;
    }
    c->Brush->Style = bsClear;
    c->Font->Assign(*Font());
    c->TextOut(x, r.Top + (r.Height() - c->TextHeight("W")) / 2 + (active ? 0 : 1), p->Caption());
}

void TPageControl::Paint()
{
    TCanvas* c = Canvas();
    TRect body = ClientRect();
    const int th = TabHeight() + 2;
    if (tabPosition_ == tpTop)
        body.Top += th;
    else
        body.Bottom -= th;
    TRect frame = body;
    Frame3D(c, frame, clBtnHighlight, cl3DDkShadow, 1);
    for (int i = 0; i < PageCount(); ++i) {
        const TRect r = TabRect(i);
        if (r.IsEmpty())
            continue;
        const bool active = pages_[static_cast<size_t>(i)] == active_;
        c->Brush->Color = Color();
        c->Brush->Style = bsSolid;
        c->Font->Assign(*Font());
        c->Pen->Color = clBlack;
        TRect f = r;
        if (OwnerDraw && OnDrawTab) {
            // The frame goes on after the owner's drawing, which may fill the whole tab.
            OnDrawTab(this, i, r, active);
            Frame3D(c, f, clBtnHighlight, cl3DDkShadow, 1);
        } else {
            Frame3D(c, f, clBtnHighlight, cl3DDkShadow, 1);
            DrawTab(i, r, active);
        }
    }
}
