#pragma once
// Find and replace on an editor model, with the search it remembers for "find next".
//
// Contract:
// - Lines are searched in their tab-expanded form, line by line, from the caret; there is no
//   wrap-around. A match never covers half of a double-byte character.
// - Find selects the match: forward the caret ends after it, backward at its start. Without a
//   match the selection collapses at the caret and the caret stays. A search text that is empty, or
//   a regular expression that does not compile, returns false and changes nothing.
// - Find and ReplaceAll remember their text and options (Find without qzfoEntire); FindContinue
//   repeats the remembered search from the caret. A forward search that ended on an empty match
//   moves on by one character when it is repeated from that same place.
// - ReplaceAll replaces every match, left to right, in the selection (a stream or a column block)
//   or from the caret to the end; qzfoBackward is not read. "^" matches where the searched part of
//   each line starts (the caret or the selection's start column on the first line, the block's
//   left column in a column block, else column 0), as Find would match it, and never again after a
//   replacement; "$" matches only at the line's end. Replaced text is not searched again. Changed
//   lines are written back whole (tabs become blanks); with word wrap on, a wrapped line is written
//   back with its own continuation lines. The caret and the selection stay where they were (the
//   caret kept on the text, as after every edit). A ReplaceAll that changes the lines is one undo
//   step, which gives back the text, caret and selection before it.

#include "editor/model/QzPadScan.h"
#include "editor/model/QzPadTypes.h"

#include <string>

class TQzPadModel;

class TQzPadSearch {
public:
    explicit TQzPadSearch(TQzPadModel& pad) : pad_(pad) {}

    bool Find(const std::string& Text, TQzFindOptions Options);
    bool FindContinue();
    bool ReplaceAll(const std::string& FindText, const std::string& ReplaceText, TQzFindOptions Options);

    const std::string& SearchText() const { return text_; }
    TQzFindOptions SearchOptions() const { return options_; }

private:
    bool Search(const odregexp::TCompiledPattern& compiled, TQzFindOptions options);

    TQzPadModel& pad_;
    std::string text_;
    TQzFindOptions options_;
    // Where the last forward search left an empty match (the caret stays on it).
    bool emptyMatch_ = false;
    TPoint emptyMatchAt_;
};
