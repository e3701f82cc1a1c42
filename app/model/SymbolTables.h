#pragma once
// The seven character tables of the special characters picker and the arithmetic of its grid:
// every table is a string of two-byte code page 949 characters, shown 15 to a row.

#include <string>

constexpr int kSpecTabCount = 7;
constexpr int kSpecColCount = 15;

// The tab's caption ("①약물" ...) and characters, code page 949; empty outside 0..6.
const std::string& SpecTabCaption(int tab);
const std::string& SpecTabChars(int tab);
// The number of characters of the tab and the grid rows they take (at least 1, so that an empty
// grid still has a row to stand on).
int SpecCharCount(int tab);
int SpecRowCount(int tab);
// The character of a cell as a two-byte string; empty after the last character and outside the
// grid.
std::string SpecCellText(int tab, int row, int col);

// The tab a key press selects: '1' .. '7' give 0 .. 6, any other key -1.
int SpecTabForKey(char key);
// The tab `step` places away from `tab`, wrapping around the seven tabs.
int SpecStepTab(int tab, int step);

// The tab and cell the picker returns to for the rest of the run; a cell index is
// row * 15 + column.
struct TSpecPlace {
    int Tab = 0;
    int Cell = 0;
    // The grid position to select on `tab`: the cell's row, at most the tab's last row, and its
    // column.
    int Row() const;
    int Col() const { return Cell % kSpecColCount; }
};
