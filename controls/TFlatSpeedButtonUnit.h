#pragma once
// A window-less speed button with a flat one-pixel frame, its own colours for the normal, hot and
// pressed looks, exclusive groups, a glyph strip of up to four images and hot tracking. One timer
// shared by all buttons notices when the mouse has left the hot button.

#include "controls/ButtonAccel.h"
#include "controls/Flatutilitys.h"
#include "platform/gui/Controls.h"

// The look of a speed button: up, disabled, held down, or down and staying down.
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TFlatSpeedButton : public TGraphicControl {
public:
    explicit TFlatSpeedButton(QWidget* parent = nullptr, TComponent* owner = nullptr);
    ~TFlatSpeedButton() override;

    Flatutilitys::TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(Flatutilitys::TTransparentMode v);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v);
    TColor ColorFocused() const { return colors_[0]; }
    void SetColorFocused(TColor c) { SetColors(0, c); }
    TColor ColorDown() const { return colors_[1]; }
    void SetColorDown(TColor c) { SetColors(1, c); }
    TColor ColorBorder() const { return colors_[2]; }
    void SetColorBorder(TColor c) { SetColors(2, c); }
    TColor ColorHighLight() const { return colors_[3]; }
    void SetColorHighLight(TColor c) { SetColors(3, c); }
    TColor ColorShadow() const { return colors_[4]; }
    void SetColorShadow(TColor c) { SetColors(4, c); }
    // Index 0 ColorFocused, 1 ColorDown, 2 ColorBorder, 3 ColorHighLight, 4 ColorShadow.
    void SetColors(int index, TColor c);
    TAdvColors AdvColorFocused() const { return advColors_[0]; }
    void SetAdvColorFocused(TAdvColors v) { SetAdvColors(0, v); }
    TAdvColors AdvColorDown() const { return advColors_[1]; }
    void SetAdvColorDown(TAdvColors v) { SetAdvColors(1, v); }
    TAdvColors AdvColorBorder() const { return advColors_[2]; }
    void SetAdvColorBorder(TAdvColors v) { SetAdvColors(2, v); }
    // Index 0 AdvColorFocused, 1 AdvColorDown, 2 AdvColorBorder; values are clamped to 0..100.
    void SetAdvColors(int index, TAdvColors v);
    // With advanced colours the focused, down and border colours follow the button's Color.
    bool UseAdvColors() const { return useAdvColors_; }
    void SetUseAdvColors(bool v);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v);
    bool Down() const { return down_; }
    // Only a grouped button can be down; a down button of a group that may not be all up stays
    // down. Becoming down raises the group's other down button.
    void SetDown(bool v);
    TBitmap* Glyph() { return &glyph_; }
    // A strip whose width is a whole multiple (1..4) of its height sets NumGlyphs.
    void SetGlyph(const TBitmap& bitmap);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout v);
    int Margin() const { return margin_; }
    void SetMargin(int v); // -1 centres; below -1 is ignored
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int v); // 1..4
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int v) { modalResult_ = v; }
    int Spacing() const { return spacing_; }
    void SetSpacing(int v);

    // State a caller or test can read.
    TButtonState State() const { return state_; }
    bool MouseInControl() const { return mouseInControl_; }
    // The button that is hot now (nullptr when none) and the hover timer shared by all buttons
    // (nullptr while no button exists).
    static TFlatSpeedButton* HotButton();
    static TTimer* SharedTimer();
    // A dialog character: clicks an enabled button whose caption has `key` as accelerator.
    bool DialogChar(char key);

    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Click() override;
    void DblClick() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void EnabledChanged() override;
    void ColorChanged() override;
    void FontChanged() override;
    void TextChanged() override;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void CalcAdvColors();
    void GlyphChanged();
    void UpdateExclusive();
    void ButtonPressed(int group, TFlatSpeedButton* sender);
    bool CursorOverThis() const;
    void TrackHot();
    void HotEnter();
    void HotLeave();
    void StopBeingHot();
    void TimerTick();
    void UpdateTracking();
    bool Inside(int x, int y) const;

    Flatutilitys::TTransparentMode transparentMode_ = tmNone;
    bool allowAllUp_ = false;
    TColor colors_[5] = {0xE1EAEB, 0xC5D6D9, 0x8396A0, 0xFFFFFF, 0x000000};
    TAdvColors advColors_[3] = {10, 10, 50};
    bool useAdvColors_ = false;
    int groupIndex_ = 0;
    bool down_ = false;
    TBitmap glyph_;
    TButtonLayout layout_ = blGlyphTop;
    int margin_ = -1;
    int numGlyphs_ = 1;
    int modalResult_ = 0;
    int spacing_ = 4;

    TRect textBounds_;
    TPoint glyphPos_;
    bool dragging_ = false;
    bool mouseInControl_ = false;
    TButtonState state_ = bsUp;
    TAccelShortcut accel_;
};
