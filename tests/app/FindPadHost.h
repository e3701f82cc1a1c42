#pragma once
// A real advanced-mode editor for the find dialog's tests: the editor control with the model's
// find, as the main window runs it when the dialog asks.

#include <memory>
#include <string>

#include "editor/model/QzPadScan.h"
#include "platform/core/InputTypes.h"

class TTestAdvancedPad {
public:
    TTestAdvancedPad();
    ~TTestAdvancedPad();

    // Replaces the text (LF between lines); the caret goes to the start.
    void SetText(const std::string& text);
    // The editor's find, as the main window runs it for the dialog.
    bool Find(const std::string& text, TQzFindOptions options);
    std::string SelText() const;
    // The caret: X the column, Y the line.
    TPoint Caret() const;
    void SetCaret(TPoint p);

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
};
