#include "editor/model/QzPadCommand.h"

#include "platform/core/SysUtils.h"

const char* const EditorCommandString[QzPadCommandCount] = {
    "None",
    "Move Left",
    "Move Word Left",
    "Move Right",
    "Move Word Right",
    "Move Up",
    "Scroll Up",
    "Move Down",
    "Scroll Down",
    "Page Up",
    "Page Down",
    "Line Begin",
    "Line End",
    "Top",
    "Bottom",
    "Goto Line",
    "Move to Bottom Screen",
    "Move to Top Screen",
    "Select Left",
    "Select Word Left",
    "Select Right",
    "Select Word Right",
    "Select Up",
    "Select Down",
    "Select Page Up",
    "Select Page Down",
    "Select Line Begin",
    "Select Line End",
    "Select Top",
    "Select Bottom",
    "Select All",
    "Delete Char",
    "Delete Previous Char",
    "Delete Word",
    "Delete Previous Word",
    "Delete Line",
    "Delete End Of Line",
    "Delete A Currently Selected Block",
    "Insert Carriage Return",
    "Insert Tab",
    "Insert New Line",
    "Undo",
    "Redo",
    "Cut",
    "Copy",
    "Paste",
    "Toggle Block Mode",
    "Toggle Edit Mode",
    "Block Indent",
    "Block Unindent",
    "Set Bookmark0",
    "Set Bookmark1",
    "Set Bookmark2",
    "Set Bookmark3",
    "Set Bookmark4",
    "Set Bookmark5",
    "Set Bookmark6",
    "Set Bookmark7",
    "Set Bookmark8",
    "Set Bookmark9",
    "Goto Bookmark0",
    "Goto Bookmark1",
    "Goto Bookmark2",
    "Goto Bookmark3",
    "Goto Bookmark4",
    "Goto Bookmark5",
    "Goto Bookmark6",
    "Goto Bookmark7",
    "Goto Bookmark8",
    "Goto Bookmark9",
    "Select None",
    "Open File",
    "Forward Brace Matching",
    "Backward Brace Matching",
    "Show Code Templates",
    "Drag And Drop Copy",
    "Drag And Drop Move",
    "Overwrite Block",
    "Insert Block",
    "Insert",
    "Sort",
    "Toggle IME Input Mode",
};

namespace {

const char* const kCommandNames[QzPadCommandCount] = {
    "qzcNone",
    "qzcMoveLeft",
    "qzcMoveWordLeft",
    "qzcMoveRight",
    "qzcMoveWordRight",
    "qzcMoveUp",
    "qzcScrollUp",
    "qzcMoveDown",
    "qzcScrollDown",
    "qzcPageUp",
    "qzcPageDown",
    "qzcLineBegin",
    "qzcLineEnd",
    "qzcTop",
    "qzcBottom",
    "qzcGotoLine",
    "qzcMoveBottomScreen",
    "qzcMoveTopScreen",
    "qzcSelLeft",
    "qzcSelWordLeft",
    "qzcSelRight",
    "qzcSelWordRight",
    "qzcSelUp",
    "qzcSelDown",
    "qzcSelPageUp",
    "qzcSelPageDown",
    "qzcSelLineBegin",
    "qzcSelLineEnd",
    "qzcSelTop",
    "qzcSelBottom",
    "qzcSelectAll",
    "qzcDeleteChar",
    "qzcDeletePrevChar",
    "qzcDeleteWord",
    "qzcDeletePrevWord",
    "qzcDeleteLine",
    "qzcDeleteEOL",
    "qzcDeleteSelBlock",
    "qzcInsertCR",
    "qzcInsertTab",
    "qzcInsertNewLine",
    "qzcUndo",
    "qzcRedo",
    "qzcCut",
    "qzcCopy",
    "qzcPaste",
    "qzcToggleBlockMode",
    "qzcToggleEditMode",
    "qzcBlockIndent",
    "qzcBlockUnindent",
    "qzcSetBookmark0",
    "qzcSetBookmark1",
    "qzcSetBookmark2",
    "qzcSetBookmark3",
    "qzcSetBookmark4",
    "qzcSetBookmark5",
    "qzcSetBookmark6",
    "qzcSetBookmark7",
    "qzcSetBookmark8",
    "qzcSetBookmark9",
    "qzcGotoBookmark0",
    "qzcGotoBookmark1",
    "qzcGotoBookmark2",
    "qzcGotoBookmark3",
    "qzcGotoBookmark4",
    "qzcGotoBookmark5",
    "qzcGotoBookmark6",
    "qzcGotoBookmark7",
    "qzcGotoBookmark8",
    "qzcGotoBookmark9",
    "qzcSelectNone",
    "qzcOpenFile",
    "qzcForwardMatchBrace",
    "qzcBackwardMatchBrace",
    "qzcShowCodeTemplates",
    "qzcDragDropCopy",
    "qzcDragDropMove",
    "qzcOverwriteBlock",
    "qzcInsertBlock",
    "qzcInsert",
    "qzcSort",
    "qzcToggleImeInputMode",
};

// Names of the keys that are neither letters, digits nor function keys. The names of keys that
// the platform names by its keyboard layout are fixed here to the usual English captions, so
// that a written key-binding file reads back the same on every machine.
struct KeyName {
    TVirtualKey key;
    const char* name;
};

const KeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},
    {VK_TAB, "Tab"},
    {VK_CLEAR, "Clear"},
    {VK_RETURN, "Enter"},
    {VK_PAUSE, "Pause"},
    {VK_CAPITAL, "Caps Lock"},
    {VK_HANGUL, "Hangul"},
    {VK_HANJA, "Hanja"},
    {VK_ESCAPE, "Esc"},
    {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"},
    {VK_NEXT, "PgDn"},
    {VK_END, "End"},
    {VK_HOME, "Home"},
    {VK_LEFT, "Left"},
    {VK_UP, "Up"},
    {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},
    {VK_SNAPSHOT, "Prnt Scrn"},
    {VK_INSERT, "Ins"},
    {VK_DELETE, "Del"},
    {VK_HELP, "Help"},
    {VK_LWIN, "Left Windows"},
    {VK_RWIN, "Right Windows"},
    {VK_APPS, "Application"},
    {VK_MULTIPLY, "Num *"},
    {VK_ADD, "Num +"},
    {VK_SUBTRACT, "Num -"},
    {VK_DECIMAL, "Num Del"},
    {VK_DIVIDE, "Num /"},
    {VK_NUMLOCK, "Num Lock"},
    {VK_SCROLL, "Scroll Lock"},
    {VK_OEM_1, ";"},
    {VK_OEM_PLUS, "="},
    {VK_OEM_COMMA, "Comma"},  // "," would split the key-binding file's line
    {VK_OEM_MINUS, "-"},
    {VK_OEM_PERIOD, "."},
    {VK_OEM_2, "/"},
    {VK_OEM_3, "`"},
    {VK_OEM_4, "["},
    {VK_OEM_5, "\\"},
    {VK_OEM_6, "]"},
    {VK_OEM_7, "'"},
};

std::string KeyNameOf(unsigned key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9)
        return "Num " + std::string(1, static_cast<char>('0' + key - VK_NUMPAD0));
    if (key >= VK_F1 && key <= VK_F24)
        return "F" + IntToStr(key - VK_F1 + 1);
    for (const KeyName& k : kKeyNames)
        if (k.key == key)
            return k.name;
    return std::string();
}

// Removes `prefix` from the front of `text` ignoring ASCII case.
bool StripPrefix(std::string_view& text, std::string_view prefix) {
    if (text.size() < prefix.size() || !SameText(text.substr(0, prefix.size()), prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

}  // namespace

std::string EditorCommandName(int command) {
    if (command < 0 || command >= QzPadCommandCount)
        return std::string();
    return kCommandNames[command];
}

bool EditorCommandFromName(std::string_view name, TQzPadCommand& command) {
    for (int i = 0; i < QzPadCommandCount; ++i) {
        if (SameText(name, kCommandNames[i])) {
            command = static_cast<TQzPadCommand>(i);
            return true;
        }
    }
    return false;
}

TShortCut ShortCut(TVirtualKey key, TShiftState shift) {
    if (key > 0xFF)
        return 0;
    TShortCut result = key;
    if (shift.Contains(ssShift))
        result |= scShift;
    if (shift.Contains(ssCtrl))
        result |= scCtrl;
    if (shift.Contains(ssAlt))
        result |= scAlt;
    return result;
}

void ShortCutToKey(TShortCut shortCut, TVirtualKey& key, TShiftState& shift) {
    key = static_cast<TVirtualKey>(shortCut & 0xFF);
    shift = TShiftState();
    if (shortCut & scShift)
        shift |= ssShift;
    if (shortCut & scCtrl)
        shift |= ssCtrl;
    if (shortCut & scAlt)
        shift |= ssAlt;
}

std::string ShortCutToText(TShortCut shortCut) {
    std::string name = KeyNameOf(shortCut & 0xFF);
    if (name.empty())
        return name;
    std::string text;
    if (shortCut & scShift)
        text += "Shift+";
    if (shortCut & scCtrl)
        text += "Ctrl+";
    if (shortCut & scAlt)
        text += "Alt+";
    return text + name;
}

TShortCut TextToShortCut(std::string_view text) {
    TShortCut modifiers = 0;
    // Modifiers may come in any order; a key name itself never starts with one of them.
    for (;;) {
        if (StripPrefix(text, "Shift+"))
            modifiers |= scShift;
        else if (StripPrefix(text, "Ctrl+"))
            modifiers |= scCtrl;
        else if (StripPrefix(text, "Alt+"))
            modifiers |= scAlt;
        else
            break;
    }
    if (text.empty())
        return 0;
    for (unsigned key = 1; key <= 0xFF; ++key) {
        std::string name = KeyNameOf(key);
        if (!name.empty() && SameText(name, text))
            return static_cast<TShortCut>(modifiers | key);
    }
    return 0;
}
