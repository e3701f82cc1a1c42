#pragma once
// The open and save dialog components, over Services().
#include <string>
#include <vector>

#include "platform/gui/Services.h"
#include "platform/gui/Types.h"

enum TOpenOption : unsigned {
    ofOverwritePrompt = 1, ofHideReadOnly = 2, ofAllowMultiSelect = 4, ofPathMustExist = 8,
    ofFileMustExist = 16, ofNoChangeDir = 32
};

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* owner = nullptr, bool save = false);
    std::string Filter;      // "Description|*.smi|...", code page 949
    int FilterIndex = 1;
    std::string FileName;
    std::string InitialDir;
    std::string DefaultExt;
    std::string Title;
    unsigned Options = ofHideReadOnly;
    std::vector<std::string> Files;
    QWidget* ParentWindow = nullptr;
    // Shows the dialog; true (with FileName, Files and FilterIndex set) when a file was chosen.
    bool Execute();
private:
    bool save_;
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* owner = nullptr) : TOpenDialog(owner, true) {}
};
