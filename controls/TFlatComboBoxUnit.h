#pragma once
// A combo box with a flat one-pixel border and a small flat arrow button in colours of its own.
//
// Contract:
// - Texts (Text, Items, selections) are code page 949 bytes; selection positions count bytes.
// - The editable styles keep Qt's own completer and insert policy switched off: typing never
//   completes from the list and Enter never adds an item, so the owner's completion and history
//   rule alone.
// - OnChange fires when the user edits the text or picks an item (then after OnClick); setting
//   Text or ItemIndex from code fires nothing. OnKeyDown and OnKeyPress see every key first: a
//   handler that sets the key to 0 swallows it, one that changes the character types the new one.
// - OnEnter and OnExit fire when the focus comes to and leaves the combo with its edit box and its
//   list (opening the list keeps the focus inside).
// - Geometry: BW is ButtonWidth (11); the arrow button covers (W - BW - 1, 0, W - 1, H) and the edit
//   box is W - BW - 8 wide and H - 6 high at (3, 3).

#include <QComboBox>

class QLineEdit;

#include <memory>
#include <string>

#include "controls/Flatutilitys.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/Types.h"

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TFlatComboBox : public QComboBox, public TComponent {
public:
    explicit TFlatComboBox(QWidget* parent = nullptr, TComponent* owner = nullptr);
    ~TFlatComboBox() override;

    void SetBounds(int left, int top, int width, int height);
    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }

    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TColor ColorArrow() const { return colorArrow_; }
    void SetColorArrow(TColor c) { SetColors(0, c); }
    TColor ColorArrowBackground() const { return colorArrowBackground_; }
    void SetColorArrowBackground(TColor c) { SetColors(1, c); }
    TColor ColorBorder() const { return colorBorder_; }
    void SetColorBorder(TColor c) { SetColors(2, c); }
    // Index 0 ColorArrow, 1 ColorArrowBackground, 2 ColorBorder; then repaints.
    void SetColors(int index, TColor color);
    TAdvColors AdvColorBorder() const { return advColorBorder_; }
    void SetAdvColorBorder(TAdvColors v) { SetAdvColors(0, v); }
    TAdvColors AdvColorArrowBackground() const { return advColorArrowBackground_; }
    void SetAdvColorArrowBackground(TAdvColors v) { SetAdvColors(1, v); }
    // Index 0 AdvColorBorder, 1 AdvColorArrowBackground; recalculates and repaints.
    void SetAdvColors(int index, TAdvColors value);
    bool UseAdvColors() const { return useAdvColors_; }
    void SetUseAdvColors(bool v);
    // With UseAdvColors, ColorBorder and ColorArrowBackground are derived from the parent's colour
    // (darkened by the two percentages) and replace the stored colours.
    void CalcAdvColors();
    // The parent's colour or the system colours changed.
    void ParentColorChanged();

    TFont* Font() const { return font_.get(); }
    // Kept for the owner-draw styles; the list rows of the other styles follow the font.
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int v) { itemHeight_ = v; }
    int DropDownCount() const { return maxVisibleItems(); }
    void SetDropDownCount(int v) { setMaxVisibleItems(v < 1 ? 1 : v); }
    // Characters the edit box accepts; 0 for no limit.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int v);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool v);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool v) { setEnabled(v); }

    int ItemCount() const { return count(); }
    std::string Item(int index) const;
    // Returns the index of the new item (its sorted place when Sorted).
    int AddItem(const std::string& text);
    void InsertItem(int index, const std::string& text);
    void DeleteItem(int index);
    void ClearItems() { clear(); }
    // First item equal to `text` ignoring ASCII case; -1 when none.
    int IndexOfItem(const std::string& text) const;

    std::string Text() const;
    void SetText(const std::string& text);
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int index);
    // The selection in the edit box, in bytes.
    int SelStart() const;
    int SelLength() const;
    void SetSelStart(int start);
    void SetSelLength(int length);
    void SelectAll();

    bool DroppedDown() const { return dropped_; }
    void SetDroppedDown(bool v);
    // True while the input method composes a character in the edit box.
    bool Composing() const { return composing_; }
    // True while the list is dropped or the focus is on the combo (the "solid" border state).
    bool SolidBorder() const { return solidBorder_; }

    static constexpr int ButtonWidth = 11;
    TRect ButtonRect() const;

    TNotifyEvent OnChange;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    void showPopup() override;
    void hidePopup() override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    void ApplyStyle();
    void ApplyFont();
    void ApplyColors();
    void UpdateEditGeometry();
    void UpdateSolidBorder();
    void FocusChanged();
    void DrawBorder(TCanvas& canvas);
    void DrawButton(TCanvas& canvas);
    void DrawSelectionArea(TCanvas& canvas);
    void DrawListText(TCanvas& canvas);
    int SortedIndexFor(const std::string& text) const;

    TComboBoxStyle style_ = csDropDown;
    TColor color_ = clWindow;
    TColor colorArrow_ = clBlack;
    TColor colorArrowBackground_ = 0xC5D6D9;
    TColor colorBorder_ = 0x8396A0;
    TAdvColors advColorBorder_ = 50;
    TAdvColors advColorArrowBackground_ = 10;
    bool useAdvColors_ = false;
    std::unique_ptr<TFont> font_;
    TCanvas canvas_;
    int itemHeight_ = 13;
    int maxLength_ = 0;
    bool sorted_ = false;
    // Width of the platform's vertical scroll-bar arrow, read at construction.
    int scrollBarWidth_ = 0;
    bool dropped_ = false;
    bool composing_ = false;
    bool solidBorder_ = false;
    bool focusInside_ = false;
    // The edit box whose edits fire OnChange (Qt makes a new one when the combo becomes editable).
    QLineEdit* connectedEdit_ = nullptr;
};
