#pragma once
// The look every window of the caption editor gives the controls it shares with the others: the
// shaded push buttons, the buttons of its own title bar and the icon left of the title.

#include <QPixmap>

class QLabel;
class QWidget;
class TFlatSpeedButton;
class TNvOS8PushButton;

// Base colour 0xD2D2D2, a plain (not bold) 12-pixel font. The button makes its caption bold by
// itself; every window takes that back.
void SetShadedButtonLook(TNvOS8PushButton* button);

// A title-bar button ("X", "_"): the focused and held faces in the title bar's blue 0xC58434, a
// white frame and shadow, a white 12-pixel font and the hand cursor.
void SetTitleButtonLook(TFlatSpeedButton* button);

// The 16 x 10 picture left of a title (a strip of film), as a label named "Image1" at (left, top)
// on `titleBar`; presses on it go through to the title bar, which moves the window.
QLabel* CreateTitleIcon(QWidget* titleBar, int left, int top);
