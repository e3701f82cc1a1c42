#pragma once
// The find dialog's logic without widgets: the history of searched words and its file, the
// completion of a typed word from that history, and the search of the caption list's rows.
//
// Words and row texts are code page 949 bytes. A match always starts on a character boundary,
// so a search never finds a word across the halves of two double-byte characters, and ignoring
// case folds only ASCII letters that are whole characters (never a trail byte).

#include <string>
#include <string_view>

#include "platform/core/StringList.h"

class TCaptionRows;

// The history file's name beside the program.
inline constexpr const char* FindHistoryFileName = "FindWord.his";
// The history holds at most this many words after a search.
inline constexpr int FindHistoryMax = 20;

// The searched words, most recent first.
class TFindHistory {
public:
    const TStringList& Items() const { return items_; }
    int Count() const { return items_.Count(); }
    void Assign(const TStringList& items) { items_.Assign(items); }

    // Records a word at the start of a search: an empty word records nothing (false). Otherwise
    // the first item equal to it ignoring ASCII case is removed, the word goes to the top, and
    // every item beyond the first FindHistoryMax is removed.
    bool Record(const std::string& word);

    // The file's lines (CR LF, LF or CR) become the items, as many as it holds; they are cut to
    // FindHistoryMax by the next Record. False, with the items emptied, when the file is missing
    // or unreadable.
    bool LoadFromFile(const std::string& path);
    // Writes every item followed by CR LF. The previous file stays whole when writing fails
    // (false).
    bool SaveToFile(const std::string& path) const;

    // The bytes that complete `typed`: the rest of the first item that is not empty, begins with
    // `typed` (case-sensitive) and is longer than it. Empty when `typed` is empty or no item fits.
    std::string Completion(std::string_view typed) const;

private:
    TStringList items_;
};

// True when `word` occurs in `text` at a character boundary; with matchCase off ASCII letters
// compare without regard to case. An empty word occurs nowhere.
bool TextContainsWord(std::string_view text, std::string_view word, bool matchCase);

// The caption list's search: the first row whose text contains `word`, or -1. Row 0 (the banner)
// is never searched and the search does not wrap.
// `start` is the selected row for a find-next (0 when none, and always 0 for a search from the
// start). Downward the rows start + 1 .. last are searched; upward start - 1 .. 1 when start > 0,
// else last .. 1. A start beyond the last row counts as the last row.
int FindCaptionRow(const TCaptionRows& rows, std::string_view word, int start, bool up, bool matchCase);
