#pragma once
// The caption list's rows: the working copy of the caption order and texts. Row 0 is the banner
// row at sync 0, never saved. Each row holds its sync (shown as its key, the sync right-aligned in
// 9 characters, and sorted by its number as the document's table sorts the keys) and the stored
// caption text (line breaks as "<BR>").
//
// A row is 16 bytes: its sync and where its text stands in one buffer holding the texts of all
// rows, so that passes over every row (find, copy, sort) walk memory in order. The rows also know
// where their syncs stand out of time order (a row whose sync is below the one before it), so
// that finding a row by time is a binary search per ordered run: O(log n) while the rows are in
// time order, as after every open and sort.

#include <algorithm>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

class TQzCaption;

// A row's sync as its key. Compares equal to the key text ("     1000").
class TRowKey {
public:
    TRowKey() = default;
    explicit TRowKey(int sync) : sync_(sync) {}
    int Sync() const { return sync_; }
    // The key text: the sync printed with "%9d".
    std::string Str() const;
    operator std::string() const { return Str(); }
    // True when `key` is this key's text.
    bool Is(std::string_view key) const;
    // True when a's key sorts before b's in the document's table: by the number, negative first.
    static bool KeyLess(int a, int b) { return a < b; }

    friend bool operator==(const TRowKey& a, const TRowKey& b) { return a.sync_ == b.sync_; }
    friend bool operator!=(const TRowKey& a, const TRowKey& b) { return a.sync_ != b.sync_; }
    friend bool operator==(const TRowKey& a, const std::string& b) { return a.Str() == b; }
    friend bool operator==(const std::string& a, const TRowKey& b) { return a == b.Str(); }
    friend bool operator!=(const TRowKey& a, const std::string& b) { return !(a == b); }
    friend bool operator!=(const std::string& a, const TRowKey& b) { return !(a == b); }

private:
    int sync_ = 0;
};
std::ostream& operator<<(std::ostream& out, const TRowKey& key);

// A row's text as the rows hold it, valid until the rows change.
class TRowText {
public:
    explicit TRowText(std::string_view text) : text_(text) {}
    std::string_view View() const { return text_; }
    operator std::string_view() const { return text_; }
    operator std::string() const { return std::string(text_); }
    size_t size() const { return text_.size(); }
    bool empty() const { return text_.empty(); }

    friend bool operator==(const TRowText& a, std::string_view b) { return a.text_ == b; }
    friend bool operator==(std::string_view a, const TRowText& b) { return a == b.text_; }
    friend bool operator!=(const TRowText& a, std::string_view b) { return a.text_ != b; }
    friend bool operator!=(std::string_view a, const TRowText& b) { return a != b.text_; }

private:
    std::string_view text_;
};
std::ostream& operator<<(std::ostream& out, const TRowText& text);

// A row to be inserted.
struct TCaptionRow {
    TRowKey Key;
    std::string Text;
};

// A row as the rows show it.
struct TCaptionRowView {
    TRowKey Key;
    TRowText Text;
};

class TCaptionRows {
public:
    // Every row and text, as TakeAll takes them out.
    struct TStore {
        struct TEntry {
            int32_t Sync;
            uint32_t Length;
            uint64_t Offset;  // of the text in Texts
        };
        std::vector<TEntry> Rows;
        std::string Texts;
        size_t Unused = 0;  // bytes of Texts that no row uses any more
    };

    int Count() const { return static_cast<int>(store_.Rows.size()); }
    TCaptionRowView operator[](int i) const { return TCaptionRowView{TRowKey(Sync(i)), Text(i)}; }
    TRowText Text(int row) const {
        const TStore::TEntry& e = store_.Rows[static_cast<size_t>(row)];
        return TRowText(std::string_view(store_.Texts).substr(e.Offset, e.Length));
    }

    // A sync text read as a number: leading blanks skipped, an optional sign, the digits up to the
    // first other character; 0 when there are none; saturates at the 32-bit range.
    static int ReadSync(const std::string& text);
    int Sync(int row) const { return store_.Rows[static_cast<size_t>(row)].Sync; }

    // The banner row's text: the title, " Caption Editor for " and the maker's site.
    static std::string BannerText();
    // Adds the banner row unless row 0 already reads as sync 0.
    void AddBannerRow();

    // Appends a row; while AutoSort is on (before the first sort) the rows are kept in key order
    // (a new row behind those with an equal key). Returns the new row's index.
    int Append(int sync, std::string_view text);
    int Append(const std::string& key, const std::string& text) { return Append(ReadSync(key), text); }
    // Inserts the rows in their order in front of row `index` in one move of the later rows.
    void InsertBlock(int index, const std::vector<TCaptionRow>& rows);
    void Delete(int index);
    void SetSync(int row, int sync);
    void SetText(int row, std::string_view text);
    // Rows from..last take the syncs of `syncs` (one per row) in one pass.
    void SetSyncsFrom(int from, const std::vector<int>& syncs);
    void Clear();
    // Room for `count` rows and `textBytes` bytes of their texts.
    void Reserve(int count, size_t textBytes = 0);
    // Every row taken out (the rows are left empty, AutoSort as it was) and put back: a command
    // that may fail keeps the previous rows without copying them.
    TStore TakeAll();
    void Restore(TStore rows);

    // Index of the first row whose sync equals the text read as a number, -1 when none.
    int FindRowBySync(const std::string& syncText) const;
    int FindRowBySync(int sync) const;
    // The first row i - 1 (i >= 1) with Sync(i - 1) <= time < Sync(i); else the last row when its
    // sync is at or below the time; else -1. Call with at least two rows.
    int FindRowAtTime(int time) const;
    // True when every row's sync is at or above the one before it.
    bool InTimeOrder() const { return descents_.empty(); }

    // Sorts the rows once by key (stable), and switches AutoSort off for good.
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
    // The text stored behind the others; its entry (offset, length).
    TStore::TEntry StoreText(int sync, std::string_view text);
    // A row's text no longer used; the texts are packed again once half of them is unused.
    void Forget(const TStore::TEntry& e);
    void PackTexts();
    // The descent at row i (1 <= i < Count()) entered or removed as the rows now stand.
    void UpdateDescent(int i);
    // Every descent found again in one pass.
    void RebuildDescents();
    // Adds `delta` to every descent index at or above `from`.
    void ShiftDescents(int from, int delta);
    // Inserts the entries at `index`, keeping the descents.
    void InsertEntries(int index, const TStore::TEntry* first, size_t count);

    TStore store_;
    // Ascending indices i >= 1 with Sync(i) < Sync(i - 1): the ends of the rows' ordered runs.
    std::vector<int> descents_;
    bool autoSort_ = true;
};
