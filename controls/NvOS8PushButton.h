#pragma once
// A push button that paints its own face from a ramp of 16 shades of one base colour: a rounded
// face with a two-pixel bevel that turns inward while the button is held, an octagonal outer ring
// on the default button and a bold centred caption.
//
// Keyboard: Space (press and release) and Return click the focused button; Return elsewhere in
// the window clicks the Default button and Escape the Cancel button, unless the focused control
// keeps those keys (the window's key routing offers them through DialogKey); Alt plus the
// caption's accelerator clicks it.

#include <QPointer>

#include "controls/ButtonAccel.h"
#include "platform/gui/Controls.h"

class TNvOS8PushButton : public TControl {
public:
    explicit TNvOS8PushButton(QWidget* parent = nullptr, TComponent* owner = nullptr);
    ~TNvOS8PushButton() override;

    TColor BaseColor() const { return baseColor_; }
    // Stores the colour, reloads the shades and repaints at once.
    void SetBaseColor(TColor c);
    // Shade i of the ramp: 0 darkest, 7 the base colour, 15 lightest.
    TColor Shade(int i) const { return shades_[i]; }

    bool Default() const { return default_; }
    void SetDefault(bool v);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int v) { modalResult_ = v; }
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool v);

    // Called when focus moves between buttons; only repaints (the face does not show it).
    void SetButtonStyle(bool isDefault);
    bool Active() const { return active_; }
    // Whether the face is drawn held down (the mouse or Space holds it).
    bool Pressed() const { return pressed_; }
    // A dialog character: clicks an enabled, visible button whose caption has `key` as accelerator.
    bool DialogChar(char key);
    bool DialogKey(Word key, const QWidget* focus) override;

    void Paint() override;
    void Click() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(Word& key, TShiftState shift) override;
    void KeyUp(Word& key, TShiftState shift) override;
    void EnabledChanged() override;
    void FontChanged() override;
    void TextChanged() override;
    void DoEnter() override;
    void DoExit() override;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    void SetPressed(bool v);

    TColor shades_[16] = {};
    TColor baseColor_ = 0x777777;
    bool active_ = false;
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
    bool tabStop_ = true;
    bool pressed_ = false;
    bool mouseHeld_ = false;
    bool spaceHeld_ = false;
    TAccelShortcut accel_;
};
