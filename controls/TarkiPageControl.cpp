#include "controls/TarkiPageControl.h"

#include "platform/gui/ImageList.h"

TTarkiPageControl::TTarkiPageControl(QWidget* parent, TComponent* owner) : TPageControl(parent, owner)
{
    OwnerDraw = true;
    OnDrawTab = [this](TPageControl* control, int tabIndex, const TRect& rect, bool active) {
        DrawTarkiTab(control, tabIndex, rect, active);
    };
}

void TTarkiPageControl::SetActivePage(TTabSheet* page)
{
    // Compared with the page actually shown, so a page the user switched away from by clicking
    // can be activated again from code.
    lastPage_ = ActivePage();
    if (page == lastPage_)
        return;
    lastPage_ = page;
    TPageControl::SetActivePage(page);
    if (OnChange)
        OnChange(this);
}

void TTarkiPageControl::DrawTarkiTab(TPageControl* control, int tabIndex, const TRect& rect, bool active)
{
    if (tabIndex < 0 || tabIndex >= control->PageCount())
        return;
    TCanvas* c = control->Canvas();
    int x = rect.Left + 1;
    int y = rect.Top + 1;
    if (active) {
        c->FillRect(rect);
        x += 3;
        if (control->TabPosition() == tpBottom)
            y += 3;
    }
    if (control->TabPosition() == tpTop)
        y += 3;
    const TTabSheet* page = control->Pages(tabIndex);
    if (control->Images && page->ImageIndex >= 0) {
        control->Images->Draw(c, x, y - 2, page->ImageIndex);
        x += control->Images->Width() + 3;
    }
    c->TextOut(x, y, page->Caption());
}
