#pragma once
// The caption list's rows: the working copy of the caption order and texts. Row 0 is the banner
// row at sync 0, never saved. Each row holds the sync key (the sync right-aligned in 9 characters,
// so byte order is time order) and the stored caption text (line breaks as "<BR>").

#include <string>
#include <vector>

class TQzCaption;

struct TCaptionRow {
    std::string Key;
    std::string Text;
};

class TCaptionRows {
public:
    int Count() const { return static_cast<int>(rows_.size()); }
    const TCaptionRow& operator[](int i) const { return rows_[static_cast<size_t>(i)]; }
    TCaptionRow& operator[](int i) { return rows_[static_cast<size_t>(i)]; }
    const std::vector<TCaptionRow>& Rows() const { return rows_; }

    // A sync text read as a number: leading blanks skipped, an optional sign, the digits up to the
    // first other character; 0 when there are none; saturates at the 32-bit range.
    static int ReadSync(const std::string& text);
    int Sync(int row) const { return ReadSync(rows_[static_cast<size_t>(row)].Key); }

    // The banner row's text: the title, " Caption Editor for " and the maker's site.
    static std::string BannerText();
    // Adds the banner row unless row 0 already reads as sync 0.
    void AddBannerRow();

    // Appends a row; while AutoSort is on (before the first sort) the rows are kept in key order.
    // Returns the new row's index.
    int Append(const std::string& key, const std::string& text);
    void Insert(int index, const std::string& key, const std::string& text);
    // Inserts the rows in their order in front of row `index` in one move of the later rows.
    void InsertBlock(int index, std::vector<TCaptionRow> rows);
    void Delete(int index);
    void Clear() { rows_.clear(); }
    // Every row taken out (the rows are left empty, AutoSort as it was) and put back: a command
    // that may fail keeps the previous rows without copying them.
    std::vector<TCaptionRow> TakeAll();
    void Restore(std::vector<TCaptionRow> rows) { rows_ = std::move(rows); }

    // Index of the first row whose sync equals the text read as a number, -1 when none.
    int FindRowBySync(const std::string& syncText) const;
    int FindRowBySync(int sync) const;

    // Sorts the rows once by key bytes (stable), and switches AutoSort off for good.
    void Sort();
    bool AutoSort() const { return autoSort_; }
    // While AutoSort is on, puts rows whose keys were changed back in key order (stable); returns
    // the new index of `row` (-1 stays -1).
    int KeepKeyOrder(int row);

    // Rows 1 .. last copied into the document's table (emptied first); of two rows with one key
    // the later row's text wins. The table grows as needed.
    void CopyToCaption(TQzCaption& caption) const;
    // Rows rebuilt from the document's entries in key order, behind a fresh banner row.
    void CopyFromCaption(const TQzCaption& caption);

private:
    std::vector<TCaptionRow> rows_;
    bool autoSort_ = true;
};
