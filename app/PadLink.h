#pragma once
// The main window's two editor controls and the components they share (the SAMI colouriser and
// the key bindings), reached through plain functions. This file and its .cpp are the only parts
// of the window that see the editor control's own headers; the window works with TQzPad pointers.

#include <functional>
#include <memory>
#include <string>

#include "editor/model/QzPadScan.h"

class QMenu;
class QWidget;
class TQzPad;

class TPadLink {
public:
    TPadLink();
    ~TPadLink();
    TPadLink(const TPadLink&) = delete;
    TPadLink& operator=(const TPadLink&) = delete;

    // A new editor control under `parent` with the shared colouriser and key bindings, the
    // fixed-pitch font and SAMI colouring; `memo` adds automatic indentation and keeps the gutter.
    TQzPad* CreatePad(QWidget* parent, bool memo);
    // Detaches the shared components from every control created here (before they go).
    void Release();

    static QWidget* Widget(TQzPad* pad);
    static QWidget* Viewport(TQzPad* pad);
    static TQzPad* FromWidget(QWidget* widget);

    // The whole text, lines joined by LF; replacing it clears the undo list.
    static std::string Text(TQzPad* pad);
    static void SetText(TQzPad* pad, const std::string& text);
    // SetText that keeps the caret's line and the top line, as far as the new text reaches.
    static void RefillText(TQzPad* pad, std::string&& text);
    // True when Text(pad) would give `text`, without making that text.
    static bool TextIs(TQzPad* pad, std::string_view text);
    // The caret to the start of the 0-based line, scrolled into view; nothing past the last line.
    static void GoToLine(TQzPad* pad, int line);
    static bool Modified(TQzPad* pad);
    static void SetModified(TQzPad* pad, bool modified);
    static std::string SelText(TQzPad* pad);
    static void SetSelText(TQzPad* pad, const std::string& text);
    static void Undo(TQzPad* pad);
    static void Cut(TQzPad* pad);
    static void Copy(TQzPad* pad);
    static void Paste(TQzPad* pad);
    static void SelectAll(TQzPad* pad);
    // The control's context menu, whose keys the control takes before its own (not owned).
    static void SetPopupMenu(TQzPad* pad, QMenu* menu);
    // 0 no wrap, 1 at the window's edge, 2 at the column line.
    static void SetWordWrap(TQzPad* pad, int mode);
    // Line (stream) selection rather than column blocks.
    static void SetLineBlockMode(TQzPad* pad);
    // The control's find (a control created here): selects the match; true when found. The
    // search is remembered per control.
    bool Find(TQzPad* pad, const std::string& text, TQzFindOptions options);
    static bool IsLineBlockMode(TQzPad* pad);

    // The control's change event; a key went down, a character was typed, a key went up.
    static void OnChanged(TQzPad* pad, std::function<void()> run);
    static void OnKeyDown(TQzPad* pad, std::function<void()> run);
    static void OnKeyPress(TQzPad* pad, std::function<void()> run);
    static void OnKeyUp(TQzPad* pad, std::function<void()> run);

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
};
