#pragma once
// What the main window's commands need of the screen. The Qt main window implements these; the
// tests implement them with recorders. Texts are code page 949 bytes; line ends inside editor
// texts are LF.

#include <string>

#include "platform/core/InputTypes.h"

enum TMsgButtons { mbOkCancel, mbYesNoCancel };

class IMainView {
public:
    virtual ~IMainView() = default;

    // A question in a message box captioned "메시지"; the pressed button (mrOk, mrCancel, mrYes,
    // mrNo; closing the box is mrCancel).
    virtual int Ask(const std::string& text, TMsgButtons buttons) = 0;
    // A failure or notice under the application's title, with an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // The open dialog with filter index 1 (caption files) or 2 (movies); false when cancelled.
    virtual bool OpenFileDialog(int filterIndex, const std::string& initialDir, const std::string& fileName,
                                std::string& chosen) = 0;
    // The save dialog ("Save as...", overwrite prompt); false when cancelled.
    virtual bool SaveFileDialog(const std::string& initialDir, const std::string& fileName,
                                std::string& chosen) = 0;
    // The insert dialog: 0 after the chosen caption, 1 in front, 2 behind; -1 when cancelled.
    virtual int AskInsertMode() = 0;

    // The entry editor: its whole text, and replacing it (which also clears its modified flag).
    virtual std::string EntryText() = 0;
    virtual void SetEntryText(const std::string& text) = 0;
    // The sync field (milliseconds), the shift amount field and the shift option (0 every
    // caption, 1 from the selected caption on).
    virtual std::string SyncField() = 0;
    virtual void SetSyncField(const std::string& text) = 0;
    virtual std::string ShiftField() = 0;
    virtual int ShiftOption() = 0;

    // The advanced-mode editor: its logical text (wrapped lines joined), replacing it (one undo
    // step, modified flag cleared), and its modified flag.
    virtual std::string MemoText() = 0;
    virtual void SetMemoText(const std::string& text) = 0;
    // SetMemoText of a text the caller gives up, so that a large one need not be held twice.
    virtual void TakeMemoText(std::string&& text) { SetMemoText(text); }
    // True when MemoText() would give `text`.
    virtual bool MemoTextIs(const std::string& text) { return MemoText() == text; }
    virtual bool MemoModified() = 0;
    virtual void SetMemoModified(bool modified) = 0;
    // Shows the memo page (on) or the list page, with the mode's menu check and button.
    virtual void ShowAdvancedMode(bool on) = 0;
    // Puts the memo's caret at the start of its 0-based logical line and scrolls it into view.
    virtual void ShowMemoLine(int line) = 0;

    // The rows changed: the list re-reads them. The selection changed (-1: none).
    virtual void RowsChanged() = 0;
    virtual void SelectionChanged(int row) = 0;
    // Scrolls the list so that the row stands 30 pixels below the top of its client area.
    virtual void ScrollRowIntoView(int row) = 0;
    // Disabled while a load, an insert or the advanced mode's apply rebuilds the rows.
    virtual void SetListEnabled(bool enabled) = 0;

    virtual void SetTitle(const std::string& title) = 0;
    // Load progress; max < 0 keeps the range.
    virtual void SetProgress(int position, int max) = 0;
    // "0.35초"
    virtual void SetLoadTime(const std::string& text) = 0;
    // Lets the window repaint during a long load.
    virtual void ProcessMessages() = 0;
    // The 100 ms caption timer that follows playback.
    virtual void SetCaptionTimer(bool on) = 0;
};

// The movie window and its player. Null while the movie window does not exist.
class IMoviePort {
public:
    virtual ~IMoviePort() = default;
    // Path of the open movie; empty when none.
    virtual std::string PlayerFileName() = 0;
    virtual void PlayerOpen(const std::string& path) = 0;
    virtual void PlayerStop() = 0;
    virtual void PlayerPause() = 0;
    // Closes the media (the player's file name becomes empty).
    virtual void PlayerClose() = 0;
    // Position in seconds; writing seeks.
    virtual double PlayerPosition() = 0;
    virtual void SetPlayerPosition(double seconds) = 0;
    // The movie window's title-bar caption: native text (it carries the movie's file name).
    virtual void SetWindowCaption(const std::string& caption) = 0;
    // The movie window's caption label (repainted at once when set) and its position field.
    virtual std::string CaptionLabelText() = 0;
    virtual void SetCaptionLabelText(const std::string& text) = 0;
    virtual void SetPositionText(const std::string& text) = 0;
};
