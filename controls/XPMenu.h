#pragma once
// Flat menus: a component that owner-draws the menus of the window it sits on (a light icon
// column, a filled and framed selection bar, framed check and radio marks, dimmed and shadowed
// icons, a lighter shortcut column, an optional flat border), and can give tool bars and standard
// controls of that window the same look. The kinds it touches are chosen by XPControls and
// XPContainers; Tag 999 on a menu, item, control or a control's parent keeps it out.
//
// Switching it on for a window (after the window has built its menus):
//     XPMenu1 = new TXPMenu(form);   // owned and freed by the form
//     XPMenu1->SetActive(true);      // hooks the menu bar and the popup menus of the form
#include <QPointer>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/OwnerDrawMenu.h"
#include "platform/gui/Controls.h"

class QObject;
class QToolBar;
class QToolButton;
class TControlSubClass;
class TImageList;

enum TXPControl : uint8_t {
    xcMainMenu, xcPopupMenu, xcToolbar, xcControlbar, xcCombo, xcEdit, xcMaskEdit, xcMemo, xcRichEdit,
    xcCheckBox, xcRadioButton, xcButton, xcBitBtn, xcSpeedButton, xcPanel, xcGroupBox
};
// A set of TXPControl: bit n for element n.
using TXPControls = uint16_t;
enum TXPContainer : uint8_t {
    xccForm, xccFrame, xccToolbar, xccCoolbar, xccControlbar, xccPanel, xccScrollBox, xccGroupBox, xccTabSheet,
    xccPageScroller
};
using TXPContainers = uint16_t;
constexpr uint16_t XPBit(int element) { return static_cast<uint16_t>(1u << element); }
constexpr TXPControls xcAllControls = 0xFFFF;
constexpr TXPContainers xccAllContainers = 0x3FF;

// ---- colour and bitmap helpers (the canvas decides colour matching; null means exact) ---------

// Darker by `value` per channel (lighter for a negative value); green keeps 2 more. Clamped.
TColor GetShadeColor(TCanvas* canvas, TColor color, int value);
// Each channel moved toward white by value per cent (value capped at 100).
TColor NewColor(TCanvas* canvas, TColor color, int value);
// The grey of the channels' mean plus value, capped at 240.
TColor GrayColor(TCanvas* canvas, TColor color, int value);
// Every pixel through NewColor(value) / GrayColor(value), in place.
void DimBitmap(TBitmap& bitmap, int value);
void GrayBitmap(TBitmap& bitmap, int value);
// Paints `shadow` at (x, y) + each pixel of the bitmap that is not of its bottom-left colour.
void DrawBitmapShadow(const TBitmap& bitmap, TCanvas* canvas, int x, int y, TColor shadow);
// A 5-3-1 pixel downward triangle with the current pen, top row at (x, y).
void DrawArrow(TCanvas* canvas, int x, int y);
// Three parallel tick strokes with the current pen.
void DrawCheckMark(TCanvas* canvas, int x, int y);
// The toolkit's menu font, in the menu text colour.
void GetSystemMenuFont(TFont& font);
// Bits per pixel of the device behind the canvas (32 for an unbound canvas).
int CanvasBitsPerPixel(TCanvas* canvas);

// The custom-draw state of a tool button.
enum : unsigned {
    cdsSelected = 0x1, cdsGrayed = 0x2, cdsDisabled = 0x4, cdsChecked = 0x8, cdsFocused = 0x10, cdsDefault = 0x20,
    cdsHot = 0x40, cdsMarked = 0x80, cdsIndeterminate = 0x100
};
// The image lists of a tool bar's buttons (each may be null); a button chooses its picture by its
// "ImageIndex" property and falls back to its icon.
void SetToolBarImages(QToolBar* bar, TImageList* images, TImageList* hotImages, TImageList* disabledImages);
// The state of a tool button as the tool bar painter sees it.
unsigned ToolButtonState(QToolButton* button);

class TXPMenu : public TComponent {
public:
    // `form` owns the component and is the window whose menus and controls it draws (null: none,
    // and the component cannot be switched on until SetForm gives it one).
    explicit TXPMenu(TControl* form);
    ~TXPMenu() override;

    int DimLevel = 30;
    int GrayLevel = 10;
    TFont* Font() { return font_.get(); }
    void SetFont(const TFont& font);
    TColor Color() const { return color_; }
    void SetColor(TColor v) { color_ = v; }
    bool DrawMenuBar() const { return drawMenuBar_; }
    void SetDrawMenuBar(bool v);
    TColor IconBackColor() const { return iconBackColor_; }
    void SetIconBackColor(TColor v) { iconBackColor_ = v; }
    TColor MenuBarColor() const { return menuBarColor_; }
    void SetMenuBarColor(TColor v);
    TColor SelectColor() const { return selectColor_; }
    void SetSelectColor(TColor v) { selectColor_ = v; }
    TColor SelectBorderColor() const { return selectBorderColor_; }
    void SetSelectBorderColor(TColor v) { selectBorderColor_ = v; }
    TColor SelectFontColor() const { return selectFontColor_; }
    void SetSelectFontColor(TColor v) { selectFontColor_ = v; }
    TColor DisabledColor() const { return disabledColor_; }
    void SetDisabledColor(TColor v) { disabledColor_ = v; }
    TColor SeparatorColor() const { return separatorColor_; }
    void SetSeparatorColor(TColor v) { separatorColor_ = v; }
    TColor CheckedColor() const { return checkedColor_; }
    void SetCheckedColor(TColor v) { checkedColor_ = v; }
    int IconWidth() const { return iconWidth_; }
    void SetIconWidth(int v) { iconWidth_ = v; }
    bool DrawSelect() const { return drawSelect_; }
    void SetDrawSelect(bool v) { drawSelect_ = v; }
    bool UseSystemColors() const { return useSystemColors_; }
    void SetUseSystemColors(bool v);
    bool UseDimColor() const { return useDimColor_; }
    void SetUseDimColor(bool v) { useDimColor_ = v; }
    // Whether handlers of others are replaced; applies to items hooked after the change.
    bool OverrideOwnerDraw() const { return overrideOwnerDraw_; }
    void SetOverrideOwnerDraw(bool v) { overrideOwnerDraw_ = v; }
    bool Gradient() const { return gradient_; }
    void SetGradient(bool v) { gradient_ = v; }
    bool FlatMenu() const { return flatMenu_; }
    void SetFlatMenu(bool v);
    bool AutoDetect() const { return autoDetect_; }
    void SetAutoDetect(bool v) { autoDetect_ = v; }
    TXPContainers XPContainers() const { return xpContainers_; }
    void SetXPContainers(TXPContainers v);
    TXPControls XPControls() const { return xpControls_; }
    void SetXPControls(TXPControls v);
    bool Active() const { return active_; }
    // Hooks (true) or unhooks (false) everything the form owns, then redraws its menu bar.
    void SetActive(bool v);

    TControl* Form() const { return form_; }
    void SetForm(TControl* form);

    // Runs after the form has built its contents: hooks again when active.
    void Loaded();
    // A component added to the form: hooked at once when active and AutoDetect.
    void Notification(QObject* component);

    void InitItems(QObject* control, bool enable, bool update);
    void InitItem(QObject* component, bool enable, bool update);
    void InitComponent(QObject* component);
    void ActivateMenuItem(TMenuItem item);

    // The menu item handlers.
    void DrawItem(TMenuItem& sender, TCanvas* canvas, const TRect& rect, bool selected);
    void MeasureItem(TMenuItem& sender, TCanvas* canvas, int& width, int& height);
    void MenueDrawItem(TMenuItem& sender, TCanvas* canvas, TRect rect, bool selected);
    // (width, height) of the item's picture; a drop-down item's width is at least IconWidth.
    TSize GetImageExtent(TMenuItem& item);

    // Working colours from the settings and the canvas's device.
    void SetGlobalColor(TCanvas* canvas);
    bool UseShades() const { return useShades_; }
    TColor WorkColor = 0, WorkIconBackColor = 0, WorkSelectColor = 0, WorkSelectBorderColor = 0,
           WorkSelectFontColor = 0, WorkCheckedAreaColor = 0, WorkCheckedAreaSelectColor = 0, WorkCheckedColor = 0,
           WorkMenuBarColor = 0, WorkDisabledColor = 0, WorkSeparatorColor = 0, WorkBorderColor = 0,
           WorkShadowColor = 0;
    // The lightening steps the control painters use for a control that takes its parent's colour.
    int ParentLight = 16;
    int ParentLighter = 40;

    // Drawing steps shared with the tool bar and control painters.
    void DrawTopMenuItem(TCanvas* canvas, TRect r, TColor barColor, bool rtl, bool isMenuItem = true);
    void DrawCheckedItem(bool radio, bool checked, bool selected, bool enabled, bool hasPicture, TCanvas* canvas,
                         const TRect& r);
    void DrawIcon(bool isToolButton, TCanvas* canvas, TBitmap* picture, const TRect& column, bool selected,
                  bool pushed, bool enabled, bool checked, bool barItem, bool rtl);
    void DrawTheText(bool isToolButton, const std::string& text, const std::string& shortcut, TCanvas* canvas,
                     TRect r, bool selected, bool enabled, bool isDefault, bool barItem, bool rtl, const TFont& font,
                     unsigned format);
    void DrawGradient(TCanvas* canvas, const TRect& r, bool rtl);
    void DrawWindowBorder(TCanvas* canvas, TRect w, bool rtl);
    TColor TopMenuFontColor(TCanvas* canvas, TColor color);

    // Tool bar buttons and control bar bands (see XPMenuToolBar.cpp).
    void ToolBarDrawButton(QToolBar* bar, QToolButton* button, TCanvas* canvas, unsigned state);
    void ControlBarPaint(QWidget* bar, TCanvas* canvas, TRect& rect, unsigned& options);

private:
    friend class TControlSubClass;
    void HookItem(TMenuItem item, bool enable);
    void HookTree(TMenuItem item, bool enable);
    void InitMenu(QWidget* menu, bool enable);
    void InitToolBar(QToolBar* bar, bool enable, bool update);
    void InitControl(QWidget* control, bool enable, bool update);
    void RedrawMenuBar();
    std::vector<QObject*> OwnedComponents(QObject* control) const;

    std::unique_ptr<TFont> font_;
    // The control painters made by this component; freed with it at the latest.
    std::vector<QPointer<QObject>> subclasses_;
    QPointer<QWidget> formWidget_;
    TControl* form_ = nullptr;
    std::unique_ptr<QObject> formWatch_;
    TColor color_ = clBtnFace;
    bool drawMenuBar_ = false;
    TColor iconBackColor_ = clBtnFace;
    TColor menuBarColor_ = clBtnFace;
    TColor selectColor_ = clHighlight;
    TColor selectBorderColor_ = clHighlight;
    TColor selectFontColor_ = clMenuText;
    TColor disabledColor_ = clInactiveCaption;
    TColor separatorColor_ = clBtnFace;
    TColor checkedColor_ = clHighlight;
    int iconWidth_ = 24;
    bool drawSelect_ = true;
    bool useSystemColors_ = true;
    bool useDimColor_ = false;
    bool overrideOwnerDraw_ = false;
    bool gradient_ = false;
    bool flatMenu_ = false;
    bool autoDetect_ = false;
    TXPContainers xpContainers_ = xccAllContainers;
    TXPControls xpControls_ = xcAllControls;
    bool active_ = false;
    bool useShades_ = true;
};
