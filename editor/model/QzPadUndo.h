#pragma once
// The editor's undo records: one record per editing step, newest last, unbounded. Taking a
// record back is TQzPadModel::Undo.

#include "editor/model/QzPadCommand.h"
#include "editor/model/QzPadStrings.h"
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
    // What undo needs to give back exactly the text before the step, whatever the modes: the
    // changes of the lines the step made (taken back newest first), and the caret and the
    // selection (anchor and moving end) as they stood before them.
    std::vector<TQzLineChange> Changes;
    TPoint CaretBefore;
    TPoint AnchorBefore;
    TPoint EndBefore;
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
