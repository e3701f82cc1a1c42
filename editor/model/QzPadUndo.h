#pragma once
// The editor's undo records: one record per editing step, newest last, unbounded. Replaying a
// record is TQzPadModel::Undo.

#include "editor/model/QzPadCommand.h"
#include "editor/model/QzPadTypes.h"

#include <memory>
#include <string>
#include <vector>

class TQzUndoItem {
public:
    TQzPadCommand Command = qzcNone;   // the kind of step
    TQzBlockMode BlockMode = qzbmLine; // block mode when the step was made
    TPoint CaretPos;                   // where the caret goes after the replay
    TPoint StartPos;                   // start of the range the replay selects or re-inserts at
    TPoint EndPos;                     // end of that range
    std::string Text;                  // removed or inserted text; "\r" stands for a line break
    // Blanks that deleting the selection also trimmed from the end of the joined line, so that
    // undo puts them back (removal records only).
    int TrailingBlanks = 0;
    // Text that typing in overwrite mode replaced (insertion records only); undo puts it back.
    std::string Overwritten;
};

class TQzUndoItems {
public:
    void Add(std::unique_ptr<TQzUndoItem> item) { items_.push_back(std::move(item)); }
    TQzUndoItem* AddUndo(TQzPadCommand command, TQzBlockMode blockMode, TPoint caretPos,
                         TPoint startPos, TPoint endPos, std::string text);
    int Count() const { return static_cast<int>(items_.size()); }
    // Null outside 0 .. Count() - 1.
    TQzUndoItem* GetItem(int i) const;
    TQzUndoItem* First() const { return GetItem(0); }
    TQzUndoItem* Last() const { return GetItem(Count() - 1); }
    void DeleteLast();
    void Clear();

private:
    std::vector<std::unique_ptr<TQzUndoItem>> items_;
};
