#pragma once
// A table of byte-string keys and values kept in key order and searched by binary search.
// Despite the name nothing is hashed.
//
// Key order (CompareKeys): a number key (blanks, an optional '-', then decimal digits and nothing
// else, as the caption document's sync keys "%9d" are) sorts by its number, negative ones first,
// and before every other key; of two number keys with one value (" 5" and "5") the byte-wise
// smaller first. Other keys sort byte-wise (bytes compared as unsigned, a prefix first).
//
// The capacity is fixed at construction: a full table refuses new keys and also value changes of
// keys it already holds (Set returns 0). Empty keys are refused. Lookups are O(log n); inserting
// and deleting move the tail (O(n)). Storage for the slots is taken as entries arrive, so a large
// capacity costs nothing until it is used.

#include <string>
#include <string_view>
#include <vector>

class TTarkiHash {
public:
    explicit TTarkiHash(int capacity);
    TTarkiHash(const TTarkiHash&) = delete;
    TTarkiHash& operator=(const TTarkiHash&) = delete;

    // Removes every entry and gives their storage back.
    void Clear();

    // Index of the key, or -1.
    int IndexOf(std::string_view key) const;
    // The stored value; "" for an empty or absent key.
    std::string Get(std::string_view key) const;
    // Adds the key or replaces its value (the stored key stays). Returns the new count, or 0 when
    // refused (full table, empty key). The value is moved in: pass a temporary to avoid a copy.
    int Set(std::string_view key, std::string value);
    int Add(std::string_view key, std::string value) { return Set(key, std::move(value)); }
    // Ignored when the index is outside 0 .. Count() - 1.
    void DeleteAt(int index);
    // An absent key changes nothing.
    void Delete(std::string_view key);

    int Count() const { return static_cast<int>(keys_.size()); }
    int Capacity() const { return capacity_; }
    // Entry i in key order, 0 <= i < Count().
    const std::string& Key(int i) const { return keys_[static_cast<size_t>(i)]; }
    const std::string& Value(int i) const { return values_[static_cast<size_t>(i)]; }

    // Reserves storage for `count` slots (at most the capacity) so that filling the table does not
    // reallocate.
    void Reserve(int count);

    // ---- Block operations: one pass for what one Set or Delete per entry would do ----
    // Replaces the key of entry `index` when the new key still sorts strictly between its
    // neighbours; false, with nothing changed, otherwise (or for an index outside the table).
    bool SetKeyAt(int index, std::string key);
    // Replaces the value of entry `index` (also in a full table); ignored outside the table.
    void SetValueAt(int index, std::string value);
    // Replaces every key, entry by entry, by `keys` (moved from) when they are as many as the
    // entries, none is empty and they are strictly ascending; false, with nothing changed,
    // otherwise.
    bool ReplaceKeys(std::vector<std::string>& keys);
    // The same for the entries from `from` on: `keys` (moved from) replace their keys when they are
    // as many, none is empty, they are strictly ascending and the first sorts after entry
    // from - 1; false, with nothing changed, otherwise.
    bool ReplaceKeysFrom(int from, std::vector<std::string>& keys);
    // Inserts entries whose keys are strictly ascending and sort strictly between entry index - 1
    // and entry `index` (0 <= index <= Count()) in one move of the tail. False, with nothing
    // changed, when they do not fit there, a key is empty, the sizes differ or the capacity is
    // too small.
    bool InsertAt(int index, std::vector<std::string>& keys, std::vector<std::string>& values);
    // Takes every entry of `from` (which is left empty) when this table is empty and large
    // enough; false, with nothing changed, otherwise.
    bool TakeEntries(TTarkiHash& from);
    // Number of stored keys that compare less than `key`: where the key stands or would stand.
    int LowerBound(std::string_view key) const { return InsertPosition(key); }
    // Takes `keys` and `values` (moved from) as the entries when this table is empty, they are as
    // many, fit the capacity, no key is empty and the keys are strictly ascending; false, with
    // nothing changed, otherwise.
    bool TakeSorted(std::vector<std::string>& keys, std::vector<std::string>& values);

    // The table's key order: < 0, 0 (the same bytes) or > 0.
    static int CompareKeys(std::string_view a, std::string_view b);
    static bool KeyLess(std::string_view a, std::string_view b) { return CompareKeys(a, b) < 0; }

private:
    // Number of stored keys that compare less than `key` (the key is absent).
    int InsertPosition(std::string_view key) const;
    // True when the keys are non-empty and strictly ascending.
    static bool Ascending(const std::vector<std::string>& keys);

    int capacity_;
    std::vector<std::string> keys_;
    std::vector<std::string> values_;
};
