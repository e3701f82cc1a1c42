#pragma once
// The desktop services the program asks for: message boxes, open and save dialogs, the print
// range dialog, the clipboard and shell "open". The Qt implementation is installed by default;
// tests install a TRecordingServices that records every request and answers from queues.
// All texts are code page 949 bytes; paths are native.
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPrinter;
class QWidget;

// Message box flags and results (the platform's values).
enum : unsigned {
    MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4, MB_RETRYCANCEL = 0x5, MB_ICONHAND = 0x10, MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20, MB_ICONEXCLAMATION = 0x30, MB_ICONWARNING = 0x30,
    MB_ICONASTERISK = 0x40, MB_ICONINFORMATION = 0x40, MB_DEFBUTTON1 = 0x0,
    MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// An open or save dialog request; the answer is written back into it.
struct TFileDialogRequest {
    bool Save = false;
    std::string Title;          // empty: the platform's own title
    std::string Filter;         // "Description|*.smi;*.txt|All|*.*", code page 949
    int FilterIndex = 1;        // 1-based; set to the chosen filter on OK
    std::string InitialDir;
    std::string FileName;       // in: proposed name; out: the chosen path
    std::string DefaultExt;     // without the dot; added to a name typed without extension
    bool OverwritePrompt = false;
    bool FileMustExist = false;
    bool AllowMultiSelect = false;
    std::vector<std::string> Files;  // out: every chosen path
};

struct TPrintRangeRequest {
    int MinPage = 1, MaxPage = 1;
    int FromPage = 1, ToPage = 1;   // in and out
    bool AllowPageRange = true;     // in: the page-numbers choice is offered
    bool AllPages = true;           // out: all pages rather than the range
    bool Selection = false;         // out: the selection choice (printing nothing of it)
    int Copies = 1;                 // out
    // In: the printer the dialog configures (a temporary one when null).
    QPrinter* Printer = nullptr;
};

class TPlatformServices {
public:
    virtual ~TPlatformServices() = default;
    // Returns IDOK, IDCANCEL, IDYES, IDNO, ... (IDCANCEL, or IDNO for MB_YESNO, when closed).
    virtual int MessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                           unsigned flags) = 0;
    // True when the user chose a file (req.FileName, req.Files and req.FilterIndex are set).
    virtual bool FileDialog(QWidget* parent, TFileDialogRequest& req) = 0;
    virtual bool PrintDialog(QWidget* parent, TPrintRangeRequest& req) = 0;
    virtual std::string ClipboardText() = 0;
    virtual bool ClipboardHasText() = 0;
    // Puts text on the clipboard; rtf, when not empty, is offered as "Rich Text Format" too.
    virtual void SetClipboard(const std::string& text, const std::string& rtf = std::string()) = 0;
    // Opens a file, folder or address with the desktop's handler ("open"); `params` are passed to
    // a program that is started. False when nothing could be started or the file does not exist.
    virtual bool ShellOpen(const std::string& target, const std::string& params = std::string(),
                           const std::string& dir = std::string()) = 0;
};

// Qt dialogs, QClipboard and QDesktopServices / QProcess.
class TQtServices : public TPlatformServices {
public:
    int MessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                   unsigned flags) override;
    bool FileDialog(QWidget* parent, TFileDialogRequest& req) override;
    bool PrintDialog(QWidget* parent, TPrintRangeRequest& req) override;
    std::string ClipboardText() override;
    bool ClipboardHasText() override;
    void SetClipboard(const std::string& text, const std::string& rtf) override;
    bool ShellOpen(const std::string& target, const std::string& params, const std::string& dir) override;
};

// Records every request; answers message boxes and dialogs from queues (a message box with an
// empty queue answers its first button: IDOK, IDYES, IDABORT or IDRETRY; a dialog with an empty
// queue is cancelled), keeps the clipboard in memory, and records shell opens without starting
// anything.
class TRecordingServices : public TPlatformServices {
public:
    // Parent: the window the box was given to stand above (compared, never used).
    struct Message { std::string Text, Caption; unsigned Flags; const QWidget* Parent; };
    // A file dialog's request as it was asked, and the window the dialog was given (compared only).
    struct FileDialogCall : TFileDialogRequest { const QWidget* Parent; };
    struct ShellCall { std::string Target, Params, Dir; };

    std::vector<Message> Messages;
    std::vector<FileDialogCall> FileDialogs;
    std::vector<ShellCall> ShellOpens;
    std::deque<int> MessageAnswers;
    // Run while the next box is up, before it is answered (once: it is cleared before it runs).
    std::function<void()> WhileShown;
    // An empty path cancels the dialog; otherwise it is the chosen file.
    std::deque<std::string> FileAnswers;
    std::deque<bool> PrintAnswers;
    bool ShellOpenResult = true;
    std::string Clipboard;
    std::string ClipboardRtf;

    int MessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                   unsigned flags) override;
    bool FileDialog(QWidget* parent, TFileDialogRequest& req) override;
    bool PrintDialog(QWidget* parent, TPrintRangeRequest& req) override;
    std::string ClipboardText() override { return Clipboard; }
    bool ClipboardHasText() override { return !Clipboard.empty(); }
    void SetClipboard(const std::string& text, const std::string& rtf) override;
    bool ShellOpen(const std::string& target, const std::string& params, const std::string& dir) override;
};

// The services in use. Install returns the previous ones; installing nullptr restores Qt's.
TPlatformServices& Services();
std::shared_ptr<TPlatformServices> InstallServices(std::shared_ptr<TPlatformServices> services);

// The window a message box raised now stands above: the program's active window (a dialog, the
// find dialog, the movie window), else the modal dialog that is up, else the main window; hidden
// windows are passed over. Null only when there is no main window either.
QWidget* MessageParent();

// The class library's helpers over Services(); their boxes stand above MessageParent().
// A message under the application's title with an OK button.
void ShowMessage(const std::string& text);
int MessageBox(const std::string& text, const std::string& caption, unsigned flags);

// What the application does with an exception that reached an event handler: its message in a
// box under the application's title. Never throws.
void HandleException(const char* what);
