#pragma once
// Keyboard macros: the steps that an editor control executes while a macro records, and the macro
// file that keeps them.
//
// The control points to a TQzPadMacro through its Macro property (IQzPadMacroRecorder); while
// Recording() is set it appends one step per executed command and per text insertion. Replay
// reads only Command and Data of each step.
//
// Macro file: the steps in the class library's binary component-stream encoding of a collection
// value: the collection marker (14), then per step a property list (marker 1) holding "Command"
// as an identifier (marker 7, the command's value name) and "Data" as a string (marker 6 with a
// one-byte length, or 12 with a four-byte little-endian length; written only when not empty),
// closed by 0, and a final 0. Positions are not stored.

#include "editor/model/QzPadCommand.h"
#include "editor/model/QzPadModel.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// A stream did not hold what its reader expected.
class EReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One macro step.
class TQzMacroItem {
public:
    TQzPadCommand Command = qzcNone;
    std::string Data;   // the inserted text of qzcInsert and qzcInsertBlock, else empty
    // The caret and the two ends of the selection when the step was recorded.
    TPoint Caret;
    TPoint SelA;
    TPoint SelB;

    void Assign(const TQzMacroItem& source) { *this = source; }
};

// The step collection.
class TQzMacro {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    TQzMacroItem& Add();
    // i must lie in 0 .. Count() - 1; out-of-range access throws std::out_of_range.
    TQzMacroItem& Items(int i) { return items_.at(static_cast<size_t>(i)); }
    const TQzMacroItem& Items(int i) const { return items_.at(static_cast<size_t>(i)); }
    void SetItems(int i, const TQzMacroItem& item) { Items(i).Assign(item); }
    void AddMacro(TQzPadCommand command, TPoint caret, TPoint selA, TPoint selB, const std::string& text);
    void Clear() { items_.clear(); }
    void Assign(const TQzMacro& source) { items_ = source.items_; }

    // The collection as a component-stream value, and back. ReadFromStream replaces the steps
    // only when the whole stream reads; otherwise it throws EReadError and keeps them.
    std::string WriteToStream() const;
    void ReadFromStream(const std::string& data);

private:
    std::vector<TQzMacroItem> items_;
};

class TQzPadMacro : public IQzPadMacroRecorder {
public:
    TQzMacro& Macro() { return macro_; }
    const TQzMacro& Macro() const { return macro_; }
    void SetMacro(const TQzMacro& m) { macro_.Assign(m); }

    bool Recording() const override { return recording_; }
    void SetRecording(bool on);
    bool Modified() const { return modified_; }
    void SetModified(bool v) { modified_ = v; }

    // Removes all steps and starts recording; the macro counts as modified.
    void RecordMacro() override;
    void StopRecord() override { recording_ = false; }
    void Clear() { macro_.Clear(); }
    int Count() const { return macro_.Count(); }

    // Throws EFCreateError when the file cannot be written (the old file then stays).
    void SaveToFile(const std::string& fileName);
    // Throws EFOpenError when the file cannot be read and EReadError when it holds no macro; the
    // steps then stay as they were.
    void LoadFromFile(const std::string& fileName);

    void AddStep(TQzPadCommand command, TPoint caret, TPoint selStart, TPoint selEnd,
                 const std::string& text) override;
    int StepCount() const override { return macro_.Count(); }
    bool GetStep(int index, TQzPadCommand& command, std::string& data) const override;

private:
    TQzMacro macro_;
    bool recording_ = false;
    bool modified_ = false;
};
