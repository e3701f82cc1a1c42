#pragma once
// Operations of the editor control that rewrite a range of lines or the selection in one step:
// sorting, a numbered sequence, aligning, joining, filling a column block, case conversion,
// tabs to blanks, inserting a file and reloading.
//
// Contract:
// - Every operation that changes text does nothing in a read-only control, except Sort,
//   TabToSpace, InsertFile and Reload, which rewrite read-only text too.
// - Lines are read in their tab-expanded form and stored back, so a rewritten line loses its tabs.
//   Columns are caret columns; a column on the trail byte of a double-byte character counts as
//   the column after it.
// - A rewrite is one undo step (Undo of the control puts the old text back) while the control
//   records undo; Reload records nothing.
// - Each operation runs inside one update bracket of the control, so it repaints once.

#include "editor/model/QzPadModel.h"

#include <string>

enum TQzTextConvertType : uint8_t { ptctUpper, ptctLower, ptctInvert, ptctCapitalize };
enum TQzInsertPos : uint8_t { pfpTop, pfpCurrent, pfpEnd };
// The alignments of AlignLine, in the order of the class library's TAlignment (left 0, right 1,
// centre 2).
enum TQzAlignment : uint8_t { qztaLeftJustify, qztaRightJustify, qztaCenter };

enum TQzFillBlockOption : uint8_t { pfboLeftAlign = 1, pfboRightALign = 2, pfboFillAll = 4, pfboUseAutoInc = 8 };
using TQzFillBlockOptions = uint8_t;  // a set of TQzFillBlockOption bits

class TQzPadTransform {
public:
    explicit TQzPadTransform(TQzPadModel& pad) : pad_(pad) {}

    // Sorts the selection's lines (a selection over more than one line) or, without a selection,
    // all lines, ignoring ASCII case. The sorted lines stay selected.
    void Sort(bool descending);
    // Deletes the selection, then inserts `count` lines at the caret, each the value formatted
    // with `format` (see FormatIncNo), the value going from `start` by `step`; the caret ends on
    // the line after them. False (nothing done) for a format that fails CheckFormat with start.
    bool InsertAutoNumber(const std::string& format, double start, double step, int count);
    // The selection's lines, else the caret line, aligned within ColumnCount columns (with window
    // word wrap: the character cells of the text area).
    void AlignLine(TQzAlignment alignment);
    // Joins the selection's lines into its first line.
    void JoinLines();
    // Fills each line of a column block with `text` (or, with pfboUseAutoInc, the formatted
    // running number); false when there is no column block or the format fails.
    bool FillBlock(const std::string& text, TQzFillBlockOptions options, double start, double step);
    // Converts the letter case of the selected text; the selection stays.
    void ConvertSelText(TQzTextConvertType type);
    // Replaces every line by its tab-expanded form.
    void TabToSpace();
    // Inserts the lines of a file at the top, at the caret line or at the end. False when the file
    // does not exist or cannot be read.
    bool InsertFile(const std::string& fileName, TQzInsertPos pos);
    // Loads the control's FileName again through its LoadFromFile and puts back the scroll and
    // caret position. False, with the text left alone, when the file is gone or cannot be read.
    bool Reload();

private:
    // Replaces lines first..last with `lines` as one undo step (nothing when they are equal).
    // When the number of lines stays, each new line gets the bookmark of `bookmarks` at its index
    // (by default the bookmark its line had), so a rewrite moves no bookmark.
    void ReplaceLines(int first, int last, const std::vector<std::string>& lines,
                      std::vector<int32_t> bookmarks = {});
    std::vector<int32_t> Bookmarks(int first, int last) const;
    void InsertAt(TPoint at, const std::string& text);
    int AlignWidth() const;
    bool ReadOnly() const { return pad_.HasOption(qzoReadOnly); }

    TQzPadModel& pad_;
};
