#pragma once
// What the auto-update command needs of the main window. The application implements it; texts
// are code page 949 bytes, paths native.

#include <cstdint>
#include <string>
#include <vector>

class TUpdateHost {
public:
    virtual ~TUpdateHost() = default;

    // The program's directory, with its trailing '/'.
    virtual std::string AppDir() = 0;
    // The application title ("Morvane 1.22 p1"), the running version.
    virtual std::string ApplicationTitle() = 0;
    // True when the open caption document has unsaved changes.
    virtual bool IsDocumentModified() = 0;

    // A plain message under the application title with an OK button (modal).
    virtual void ShowMessage(const std::string& msg) = 0;
    // An OK / Cancel message box captioned `caption`; true for OK.
    virtual bool AskOkCancel(const std::string& msg, const std::string& caption) = 0;

    // Enables or disables the auto-update menu command.
    virtual void SetUpdateCommandEnabled(bool enabled) = 0;

    // The progress display of a transfer. Positions and maxima are byte counts; a display with a
    // smaller range scales or clamps them.
    virtual void ShowProgress(bool visible) = 0;
    virtual void SetProgressMax(int64_t max) = 0;
    virtual void SetProgressPosition(int64_t position) = 0;

    // Called between the blocks of a transfer: repaints what is pending. It must not deliver user
    // input (keys, mouse, menu commands) and must not let the window close; the main window
    // refuses to close while TAutoUpdate::Busy() is true.
    virtual void ProcessPaintEvents() = 0;

    // Has `program` started with `args`, as a process of its own, when this program ends: after
    // the main window closed, its settings were written (and a failure shown), and the windows and
    // the player are gone. False, keeping nothing, when it cannot be started (no executable file).
    // ProgramAtEnd (ProgramStart.h) does this.
    virtual bool StartProgramAtEnd(const std::string& program, const std::vector<std::string>& args) = 0;

    // Closes the main window as the user's close would (settings are saved, the program ends).
    // It may close at once or after the current command returns.
    virtual void CloseMainWindow() = 0;
};
