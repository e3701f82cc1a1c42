#pragma once
// Qt's key events in the editor's terms: the platform's virtual-key codes and shift states.
//
// Qt names a key by the character it produces ("!" for Shift+1, "." for the period key), and
// several of those codes equal virtual-key codes of other keys ("." is 0x2E, VK_DELETE; "-" is
// 0x2D, VK_INSERT). So no Qt code is ever passed through: every key goes through one explicit
// table, which names the physical key of a US layout; a key that is not in the table gives 0.

#include "editor/model/QzPadCommand.h"

#include <Qt>

// The virtual-key code of a Qt key; `modifiers` tells keypad keys (Qt::KeypadModifier) apart.
TVirtualKey QzPadVirtualKey(int qtKey, Qt::KeyboardModifiers modifiers);

// Shift, Ctrl and Alt, and the mouse buttons held.
TShiftState QzPadShiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);
