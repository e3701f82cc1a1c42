#pragma once
// What the editor model asks of the window that shows it. The widget implements this; tests use a
// recorder. Every call has a harmless default, so a model without a window works (and the defaults
// describe a window without focus and with an empty clipboard).
//
// Pixels are client coordinates of the control. Clipboard text is code page 949 bytes.

#include "editor/model/QzPadTypes.h"

#include <string>

enum TQzScrollBarKind : uint8_t { qzsbHorz, qzsbVert };
enum TQzCursorShape : uint8_t { qzcsIBeam, qzcsArrow, qzcsDrag, qzcsMultiDrag };

class IQzPadView {
public:
    virtual ~IQzPadView() = default;

    // Repaint later.
    virtual void InvalidateRect(const TRect& r) {}
    virtual void InvalidateAll() {}
    // Move the pixels of `area` by (dx, dy), invalidate what is uncovered and paint at once.
    virtual void ScrollArea(int dx, int dy, const TRect& area) {}
    // Range min..max, page size, position; a bar whose range fits in one page is disabled.
    virtual void SetScrollBar(TQzScrollBarKind bar, int min, int max, int page, int pos) {}
    // The thumb position while the user drags it.
    virtual int ScrollTrackPos(TQzScrollBarKind bar) { return 0; }

    virtual bool HasFocus() { return false; }
    virtual bool IsVisible() { return false; }

    // The text caret: created with a size, moved, shown and hidden; destroyed when focus leaves.
    virtual void CreateCaret(int width, int height) {}
    virtual void DestroyCaret() {}
    virtual void SetCaretPos(int x, int y) {}
    virtual void ShowCaret() {}
    virtual void HideCaret() {}

    // False when the clipboard holds no text.
    virtual bool ClipboardGetText(std::string& text) { return false; }
    // Empties the clipboard and puts `text` on it.
    virtual void ClipboardSetText(const std::string& text) {}
    virtual void ClipboardClear() {}

    // Mouse capture, the 1 ms auto-scroll timer of a drag selection, the pointer shape, and the
    // start of a drag-and-drop of the selection.
    virtual void SetMouseCapture(bool on) {}
    virtual void SetAutoScrollTimer(bool on) {}
    virtual void SetCursorShape(TQzCursorShape shape) {}
    virtual void BeginDrag() {}

    // The input method's Hangul/English conversion mode.
    virtual TQzImeInputMode GetImeInputMode() { return imEnglish; }
    virtual void SetImeInputMode(TQzImeInputMode mode) {}

    // The border style changed: the window is made again.
    virtual void RecreateWindow() {}
};
