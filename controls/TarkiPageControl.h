#pragma once
// A page control that draws its own tabs: the active tab filled with the canvas brush and its
// content shifted 3 pixels right (and 3 down when the tabs are at the bottom); with the tabs at
// the top every tab's content is shifted 3 down; the page's image, then its caption.
#include "platform/gui/PageControl.h"

class TTarkiPageControl : public TPageControl {
public:
    explicit TTarkiPageControl(QWidget* parent = nullptr, TComponent* owner = nullptr);

    // Activating a page other than the current one activates it and fires OnChange.
    void SetActivePage(TTabSheet* page) override;

    // The tab drawing bound to OnDrawTab.
    void DrawTarkiTab(TPageControl* control, int tabIndex, const TRect& rect, bool active);

private:
    TTabSheet* lastPage_ = nullptr;
};
