#pragma once
// The editor's key bindings: a table mapping a key with its modifiers to a command, the 78
// default bindings, and the key-binding file ("qzcUndo,Ctrl+Z", one binding per line).

#include <memory>
#include <string>
#include <vector>

#include "editor/model/QzPadCommand.h"

// One binding.
class TQzShortCutItem {
public:
    TQzPadCommand EditorCommand = qzcNone;
    TVirtualKey Key = 0;
    // Only Shift, Alt and Ctrl take part in matching.
    TShiftState ShiftState;

    TShortCut GetShortCut() const { return ::ShortCut(Key, ShiftState); }
    void SetShortCut(TShortCut shortCut) { ShortCutToKey(shortCut, Key, ShiftState); }
    // The command's display name ("Move Left").
    std::string DisplayName() const;
    // Copies the shortcut and the command.
    void Assign(const TQzShortCutItem& other);
};

// The binding table, in table order.
class TQzShortCut {
public:
    TQzShortCut() = default;
    TQzShortCut(const TQzShortCut& other) { Assign(other); }
    TQzShortCut& operator=(const TQzShortCut& other) { Assign(other); return *this; }

    int Count() const { return static_cast<int>(items_.size()); }
    // A new, empty binding at the end; the reference stays valid until the item is removed.
    TQzShortCutItem& Add();
    TQzShortCutItem& Items(int i) { return *items_.at(static_cast<size_t>(i)); }
    const TQzShortCutItem& Items(int i) const { return *items_.at(static_cast<size_t>(i)); }
    void SetItems(int i, const TQzShortCutItem& item) { Items(i).Assign(item); }
    TQzShortCutItem& AddShortCut(TQzPadCommand command, TVirtualKey key, TShiftState shift);
    void Clear() { items_.clear(); }
    void Assign(const TQzShortCut& other);

private:
    std::vector<std::unique_ptr<TQzShortCutItem>> items_;
};

// The key-binding component the editor asks on every key press.
class TQzPadShortCut {
public:
    TQzPadShortCut() = default;

    TQzShortCut& ShortCut() { return shortCut_; }
    const TQzShortCut& ShortCut() const { return shortCut_; }
    void SetShortCut(const TQzShortCut& value) { shortCut_.Assign(value); }

    // The command of the first binding whose shortcut word equals that of key and shift
    // (only Shift, Ctrl and Alt count); qzcNone when none matches or the key has no word.
    TQzPadCommand FindShortCut(TVirtualKey key, TShiftState shift) const;
    // Empties the table and appends the 78 default bindings in their fixed order.
    void ResetToDefaultShortCut();
    void Clear() { shortCut_.Clear(); }

    // Reads a key-binding file. A missing file changes nothing and gives false; so does a file
    // that cannot be read. Otherwise the bindings are replaced by the file's lines once the
    // whole file has been read: a line whose command is unknown, empty or outside 0..81 is
    // skipped, and a shortcut text that is not understood gives a binding that never matches.
    bool LoadFromFile(const std::string& fileName);
    // Writes every binding as "<value name>,<shortcut text>" CR LF, replacing the file.
    // Throws EFCreateError when the file cannot be written (the old file is then untouched).
    void SaveToFile(const std::string& fileName) const;

private:
    TQzShortCut shortCut_;
};
