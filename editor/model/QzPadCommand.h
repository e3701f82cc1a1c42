#pragma once
// The editor's command set, the virtual-key codes and the key/mouse modifier state.
//
// Every keyboard action of the editor is one TQzPadCommand. The same numbers tag the undo records
// and the steps of a keyboard macro, and the value names are the first field of the key-binding
// file, so neither the order nor the names may change. This header has no Qt in it: the widget
// translates Qt's key events into the virtual-key codes and shift states below.

#include "platform/core/InputTypes.h"
#include <cstdint>
#include <string>
#include <string_view>

enum TQzPadCommand : uint8_t {
    qzcNone = 0,
    qzcMoveLeft,
    qzcMoveWordLeft,
    qzcMoveRight,
    qzcMoveWordRight,
    qzcMoveUp,
    qzcScrollUp,
    qzcMoveDown,
    qzcScrollDown,
    qzcPageUp,
    qzcPageDown,            // 10
    qzcLineBegin,
    qzcLineEnd,
    qzcTop,
    qzcBottom,
    qzcGotoLine,
    qzcMoveBottomScreen,
    qzcMoveTopScreen,
    qzcSelLeft,
    qzcSelWordLeft,
    qzcSelRight,            // 20
    qzcSelWordRight,
    qzcSelUp,
    qzcSelDown,
    qzcSelPageUp,
    qzcSelPageDown,
    qzcSelLineBegin,
    qzcSelLineEnd,
    qzcSelTop,
    qzcSelBottom,
    qzcSelectAll,           // 30
    qzcDeleteChar,
    qzcDeletePrevChar,
    qzcDeleteWord,
    qzcDeletePrevWord,
    qzcDeleteLine,
    qzcDeleteEOL,
    qzcDeleteSelBlock,
    qzcInsertCR,
    qzcInsertTab,
    qzcInsertNewLine,       // 40
    qzcUndo,
    qzcRedo,
    qzcCut,
    qzcCopy,
    qzcPaste,
    qzcToggleBlockMode,
    qzcToggleEditMode,
    qzcBlockIndent,
    qzcBlockUnindent,
    qzcSetBookmark0,        // 50
    qzcSetBookmark1,
    qzcSetBookmark2,
    qzcSetBookmark3,
    qzcSetBookmark4,
    qzcSetBookmark5,
    qzcSetBookmark6,
    qzcSetBookmark7,
    qzcSetBookmark8,
    qzcSetBookmark9,
    qzcGotoBookmark0,       // 60
    qzcGotoBookmark1,
    qzcGotoBookmark2,
    qzcGotoBookmark3,
    qzcGotoBookmark4,
    qzcGotoBookmark5,
    qzcGotoBookmark6,
    qzcGotoBookmark7,
    qzcGotoBookmark8,
    qzcGotoBookmark9,
    qzcSelectNone,          // 70
    qzcOpenFile,
    qzcForwardMatchBrace,
    qzcBackwardMatchBrace,
    qzcShowCodeTemplates,
    // 75..80 are never bound to a key: they tag undo records and macro steps.
    qzcDragDropCopy,
    qzcDragDropMove,
    qzcOverwriteBlock,
    qzcInsertBlock,
    qzcInsert,
    qzcSort,                // 80
    qzcToggleImeInputMode,
};

constexpr int QzPadCommandCount = 82;  // qzcNone .. qzcToggleImeInputMode

// Display names indexed by command ("Move Left"); every entry is non-empty.
extern const char* const EditorCommandString[QzPadCommandCount];

// The value name of a command as written in the key-binding file ("qzcMoveLeft"); empty for a
// value outside 0..81.
std::string EditorCommandName(int command);
// Looks a value name up ignoring ASCII case; false (command untouched) when it names no command.
bool EditorCommandFromName(std::string_view name, TQzPadCommand& command);

// ---------------------------------------------------------------------------------------------
// Shortcut words: the key code in the low byte, 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt.

using TShortCut = uint16_t;

constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// The word of a key and its modifiers; only Shift, Ctrl and Alt count, and only the key's low
// byte is kept (a key code above 255 gives 0).
TShortCut ShortCut(TVirtualKey key, TShiftState shift);
// Splits a word into its key (low byte) and modifiers.
void ShortCutToKey(TShortCut shortCut, TVirtualKey& key, TShiftState& shift);
// "Shift+Ctrl+Left", "Ctrl+Z", "F5", "Num 0"; empty for a word whose key has no name.
std::string ShortCutToText(TShortCut shortCut);
// The inverse of ShortCutToText (modifier names ignore ASCII case); 0 for text it does not know.
TShortCut TextToShortCut(std::string_view text);
