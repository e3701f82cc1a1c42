#pragma once
// A page control: a row of tabs (top or bottom) over a stack of pages, one visible at a time.
// With OwnerDraw on, OnDrawTab paints each tab through the control's canvas, and the control then
// frames it as it frames the tabs it draws itself.
#include <functional>
#include <vector>

#include "platform/gui/Controls.h"

class TImageList;
class TPageControl;

class TTabSheet : public TControl {
public:
    explicit TTabSheet(TPageControl* pageControl);
    TPageControl* PageControl() const { return pageControl_; }
    int PageIndex() const;
    int ImageIndex = -1;
    bool TabVisible = true;
    void TextChanged() override;
private:
    TPageControl* pageControl_;
};

enum TTabPosition { tpTop, tpBottom };

class TPageControl : public TControl {
public:
    explicit TPageControl(QWidget* parent = nullptr, TComponent* owner = nullptr);

    // Creates a page with the caption at the end and returns it (owned by the control).
    TTabSheet* AddPage(const std::string& caption);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int i) const { return pages_[static_cast<size_t>(i)]; }
    TTabSheet* ActivePage() const { return active_; }
    // Makes the page active (no OnChange; the user's tab clicks fire OnChanging and OnChange).
    virtual void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int i);

    TTabPosition TabPosition() const { return tabPosition_; }
    void SetTabPosition(TTabPosition p);
    int TabHeight() const;
    void SetTabHeight(int h);   // 0: from the font
    bool OwnerDraw = false;
    TImageList* Images = nullptr;
    // The tab's rectangle in the control's client coordinates (empty for a hidden tab).
    TRect TabRect(int index) const;
    // The index of the tab under (x, y), -1 when none.
    int IndexOfTabAt(int x, int y) const;

    std::function<void(TPageControl* Control, int TabIndex, const TRect& Rect, bool Active)> OnDrawTab;
    std::function<void(TObject* Sender, bool& AllowChange)> OnChanging;
    TNotifyEvent OnChange;

    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void Resize() override;
    TRect AlignClientRect() const override;
    // The page area.
    TRect DisplayRect() const;
    void LayoutPages();

protected:
    // Draws one tab's caption and image in the default look.
    virtual void DrawTab(int index, const TRect& r, bool active);
    // A page was chosen by the user: asks OnChanging, switches, fires OnChange.
    void SelectByUser(int index);

private:
    friend class TTabSheet;
    std::vector<TTabSheet*> pages_;
    TTabSheet* active_ = nullptr;
    TTabPosition tabPosition_ = tpTop;
    int tabHeight_ = 0;
};
