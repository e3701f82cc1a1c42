#pragma once
// The control base of the owner-drawn controls, the panel, the form, the window timer and the
// application object, over Qt widgets.
//
// A TControl is a QWidget and a TComponent. It paints through a TCanvas in Paint() and receives
// input through the class library's handlers (MouseDown(Button, Shift, X, Y), KeyDown(Key, Shift),
// MouseEnter/MouseLeave, ...); each handler's default fires the matching event when one is
// assigned, so a subclass that overrides a handler calls the base to keep the event.
// Invalidate() repaints later, Repaint() at once.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "platform/gui/Graphics.h"

class QTimer;
class TForm;

class TControl : public QWidget, public TComponent {
public:
    explicit TControl(QWidget* parent = nullptr, TComponent* owner = nullptr);
    ~TControl() override;

    // Geometry in the parent's client coordinates (screen coordinates for a window).
    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return Bounds(Left(), Top(), Width(), Height()); }
    TRect ClientRect() const { return Rect(0, 0, width(), height()); }
    int ClientWidth() const { return width(); }
    int ClientHeight() const { return height(); }
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;

    // The parent widget and, when it is one, the parent control.
    QWidget* ParentWidget() const { return parentWidget(); }
    TControl* Parent() const;
    void SetParent(QWidget* parent);
    // The top-level form holding this control (nullptr when none).
    TForm* ParentForm() const;

    TColor Color() const { return color_; }
    void SetColor(TColor c);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool v);
    TFont* Font() const { return font_.get(); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool v);
    TAlign Align() const { return align_; }
    void SetAlign(TAlign a);
    uint8_t Anchors = akLeft | akTop;
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool v);
    bool Visible() const { return visibleFlag_; }
    void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& text);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor c);
    std::string Hint;
    bool ShowHint = false;
    // The control keeps Return and Escape for itself instead of leaving them to the window's
    // default and cancel buttons.
    bool WantAllKeys = false;

    // The canvas; bound to the widget while Paint runs, unbound (measuring only) otherwise.
    TCanvas* Canvas() { return &canvas_; }
    void Invalidate();
    virtual void Repaint();
    // Paints what is pending at once.
    virtual void Update();
    // Renders the control into an image of its size (what the screen would show).
    QImage PaintToImage();

    // Mouse capture: the control gets the mouse events until released.
    bool MouseCapture() const { return capture_; }
    void SetMouseCapture(bool v);
    bool MouseInControl() const { return mouseInside_; }
    bool Focused() const { return hasFocus(); }
    void SetFocus();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnResize;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // Handlers with the class library's signatures; the defaults fire the events above.
    virtual void Paint();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Click();
    virtual void DblClick();
    virtual void KeyDown(Word& key, TShiftState shift);
    virtual void KeyUp(Word& key, TShiftState shift);
    virtual void KeyPress(char& key);
    // Return (VK_RETURN) or Escape (VK_ESCAPE) pressed in `focus`, a control of this window that
    // leaves them to the window's buttons: true when this control takes the key (a default or
    // cancel button clicks). The default takes none.
    virtual bool DialogKey(Word key, const QWidget* focus);
    virtual void MouseEnter();   // the mouse came over the control
    virtual void MouseLeave();   // the mouse left it
    virtual void Resize();
    virtual void EnabledChanged();
    virtual void VisibleChanged();
    virtual void FontChanged();
    virtual void ColorChanged();
    virtual void TextChanged();
    virtual void DoEnter();
    virtual void DoExit();
    // The area aligned children share (the client rectangle; panels take off borders and bevels).
    virtual TRect AlignClientRect() const { return ClientRect(); }
    // Places the children that have an Align, in the platform's order (top, bottom, left, right,
    // client).
    void Realign();

    // Lays out aligned children of any widget (used for parents that are not controls).
    static void AlignChildren(QWidget* parent, const TRect& area);

protected:
    // When false, a double click arrives as a second press instead of DblClick.
    void SetAcceptDoubleClicks(bool v) { doubleClicks_ = v; }
    // When true the background is not erased before Paint (the control paints every pixel).
    void SetOpaque(bool v);
    // The canvas colours used before Paint: brush Color, font Font.
    virtual void PrepareCanvas();

    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;

protected:
    bool visibleFlag_ = true;

private:
    bool FromFocusedChild() const;
    void ParentFontChanged();
    void ParentColorChanged();
    void NotifyChildrenFont();
    void NotifyChildrenColor();

    std::unique_ptr<TFont> font_;
    TCanvas canvas_;
    TColor color_ = clBtnFace;
    bool parentColor_ = false;
    bool parentFont_ = true;
    TAlign align_ = alNone;
    std::string caption_;
    TCursor cursor_ = crDefault;
    bool capture_ = false;
    bool mouseInside_ = false;
    bool doubleClicks_ = true;
    bool leftPressed_ = false;
    bool inRealign_ = false;
    bool placedByParent_ = false;
    bool fromParent_ = false;
    bool opaque_ = false;
};

// Windowed and window-less owner-drawn controls are the same thing here.
using TCustomControl = TControl;
using TGraphicControl = TControl;
using TWinControl = TControl;

// Qt key code and modifiers -> the platform's virtual key code and shift state.
Word QtKeyToVirtualKey(int qtKey);
TShiftState ShiftStateFromQt(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons = Qt::NoButton);

// A panel: raised outer bevel by default, a border of BorderWidth pixels in Color, the caption
// centred.
class TCustomPanel : public TControl {
public:
    explicit TCustomPanel(QWidget* parent = nullptr, TComponent* owner = nullptr);

    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut v);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut v);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int v);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int v);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    bool Ctl3D = true;
    bool FullRepaint = true;

    void Paint() override;
    TRect AlignClientRect() const override;

private:
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = bsNone;
    TAlignment alignment_ = taCenter;
};
using TPanel = TCustomPanel;

enum TFormBorderStyle { bsFormNone, bsFormSingle, bsFormSizeable, bsFormDialog, bsFormToolWindow, bsFormSizeToolWin };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TFormStyle { fsNormal, fsStayOnTop };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

// A top-level window.
class TForm : public TControl {
public:
    explicit TForm(QWidget* parent = nullptr, TComponent* owner = nullptr);
    ~TForm() override;

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle v);
    TWindowState WindowState() const;
    void SetWindowState(TWindowState s);
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle s);
    void SetClientSize(int w, int h);
    // Key events reach the form's OnKeyDown before the focused control's.
    bool KeyPreview = false;

    void SetBounds(int left, int top, int width, int height) override;
    void TextChanged() override;   // the caption is the window title

    // Shows the window modally; returns its ModalResult (mrCancel when closed otherwise).
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int r);
    // Asks the window to close: OnCloseQuery may refuse, OnClose chooses the action.
    void Close();

    std::function<void(TObject* Sender, bool& CanClose)> OnCloseQuery;
    std::function<void(TObject* Sender, TCloseAction& Action)> OnClose;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool event(QEvent* e) override;

private:
    void ApplyWindowFlags();
    TFormBorderStyle borderStyle_ = bsFormSizeable;
    TFormStyle formStyle_ = fsNormal;
    int modalResult_ = mrNone;
    bool modal_ = false;
    bool closing_ = false;
};

// A window timer: OnTimer every Interval milliseconds on the UI thread while Enabled.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner = nullptr);
    ~TTimer() override;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned ms);
    TNotifyEvent OnTimer;
private:
    void Update();
    std::unique_ptr<QTimer> timer_;
    bool enabled_ = true;
    unsigned interval_ = 1000;
};

// The application object: the main window, the title and the message loop helpers.
class TApplication : public TComponent {
public:
    TApplication();
    TForm* MainForm = nullptr;
    std::string Title;   // code page 949
    // Runs pending events (input, paint, timers) and returns.
    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return terminated_; }
private:
    bool terminated_ = false;
};
TApplication* Application();
