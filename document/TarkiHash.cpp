#include "document/TarkiHash.h"

#include <algorithm>

namespace {

// A number key taken apart: its sign and its digits without leading zeros ("" for zero).
struct TNumberKey {
    bool Negative = false;
    std::string_view Digits;
};

// False when the key is not blanks, an optional '-' and one or more digits.
bool ReadNumberKey(std::string_view key, TNumberKey& out) {
    size_t i = 0;
    while (i < key.size() && key[i] == ' ') ++i;
    const bool minus = i < key.size() && key[i] == '-';
    if (minus) ++i;
    if (i == key.size()) return false;
    for (size_t j = i; j < key.size(); ++j)
        if (key[j] < '0' || key[j] > '9') return false;
    while (i + 1 < key.size() && key[i] == '0') ++i;
    out.Digits = key[i] == '0' ? std::string_view() : key.substr(i);
    out.Negative = minus && !out.Digits.empty();
    return true;
}

// Magnitudes of any length: the longer is the larger, else the digits decide.
int CompareMagnitudes(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

}  // namespace

int TTarkiHash::CompareKeys(std::string_view a, std::string_view b) {
    TNumberKey x, y;
    const bool numberA = ReadNumberKey(a, x), numberB = ReadNumberKey(b, y);
    if (numberA != numberB) return numberA ? -1 : 1;
    if (numberA) {
        if (x.Negative != y.Negative) return x.Negative ? -1 : 1;
        const int r = CompareMagnitudes(x.Digits, y.Digits);
        if (r != 0) return x.Negative ? -r : r;
    }
    // std::string_view::compare uses char_traits<char>::compare, which compares as unsigned char.
    const int r = a.compare(b);
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

TTarkiHash::TTarkiHash(int capacity) : capacity_(capacity < 0 ? 0 : capacity) {}

void TTarkiHash::Clear() {
    std::vector<std::string>().swap(keys_);
    std::vector<std::string>().swap(values_);
}

void TTarkiHash::Reserve(int count) {
    size_t n = static_cast<size_t>(std::min(std::max(count, 0), capacity_));
    keys_.reserve(n);
    values_.reserve(n);
}

int TTarkiHash::IndexOf(std::string_view key) const {
    int lo = 0, hi = Count() - 1;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        int r = CompareKeys(key, keys_[static_cast<size_t>(mid)]);
        if (r == 0) return mid;
        if (r > 0)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return -1;
}

std::string TTarkiHash::Get(std::string_view key) const {
    if (key.empty()) return std::string();
    int i = IndexOf(key);
    return i < 0 ? std::string() : values_[static_cast<size_t>(i)];
}

int TTarkiHash::InsertPosition(std::string_view key) const {
    // Lower bound: the first stored key that is not less than `key`.
    int lo = 0, hi = Count();
    while (lo < hi) {
        int mid = lo + (hi - lo) / 2;
        if (CompareKeys(keys_[static_cast<size_t>(mid)], key) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

int TTarkiHash::Set(std::string_view key, std::string value) {
    if (Count() >= capacity_ || key.empty()) return 0;
    // Readers add keys in ascending order: appending needs no search.
    int pos = (keys_.empty() || CompareKeys(keys_.back(), key) < 0) ? Count() : InsertPosition(key);
    size_t p = static_cast<size_t>(pos);
    if (pos < Count() && keys_[p] == key) {
        values_[p] = std::move(value);
        return Count();
    }
    keys_.emplace(keys_.begin() + pos, key);
    values_.emplace(values_.begin() + pos, std::move(value));
    return Count();
}

void TTarkiHash::DeleteAt(int index) {
    if (index < 0 || index >= Count()) return;
    keys_.erase(keys_.begin() + index);
    values_.erase(values_.begin() + index);
}

void TTarkiHash::Delete(std::string_view key) {
    if (key.empty()) return;
    DeleteAt(IndexOf(key));
}

bool TTarkiHash::SetKeyAt(int index, std::string key) {
    if (index < 0 || index >= Count() || key.empty()) return false;
    if (index > 0 && CompareKeys(keys_[static_cast<size_t>(index) - 1], key) >= 0) return false;
    if (index + 1 < Count() && CompareKeys(key, keys_[static_cast<size_t>(index) + 1]) >= 0) return false;
    keys_[static_cast<size_t>(index)] = std::move(key);
    return true;
}

void TTarkiHash::SetValueAt(int index, std::string value) {
    if (index >= 0 && index < Count()) values_[static_cast<size_t>(index)] = std::move(value);
}

bool TTarkiHash::Ascending(const std::vector<std::string>& keys) {
    for (size_t i = 0; i < keys.size(); ++i) {
        if (keys[i].empty()) return false;
        if (i > 0 && CompareKeys(keys[i - 1], keys[i]) >= 0) return false;
    }
    return true;
}

bool TTarkiHash::ReplaceKeys(std::vector<std::string>& keys) {
    if (keys.size() != keys_.size() || !Ascending(keys)) return false;
    keys_.swap(keys);
    keys.clear();
    return true;
}

bool TTarkiHash::ReplaceKeysFrom(int from, std::vector<std::string>& keys) {
    if (from < 0 || from > Count() || keys.size() != keys_.size() - static_cast<size_t>(from)) return false;
    if (!Ascending(keys)) return false;
    if (from > 0 && !keys.empty() && CompareKeys(keys_[static_cast<size_t>(from) - 1], keys.front()) >= 0) return false;
    std::move(keys.begin(), keys.end(), keys_.begin() + from);
    keys.clear();
    return true;
}

bool TTarkiHash::InsertAt(int index, std::vector<std::string>& keys, std::vector<std::string>& values) {
    if (index < 0 || index > Count() || keys.size() != values.size()) return false;
    if (keys.empty()) return true;
    if (keys.size() > static_cast<size_t>(capacity_ - Count())) return false;
    if (!Ascending(keys)) return false;
    if (index > 0 && CompareKeys(keys_[static_cast<size_t>(index) - 1], keys.front()) >= 0) return false;
    if (index < Count() && CompareKeys(keys.back(), keys_[static_cast<size_t>(index)]) >= 0) return false;
    keys_.insert(keys_.begin() + index, std::make_move_iterator(keys.begin()), std::make_move_iterator(keys.end()));
    values_.insert(values_.begin() + index, std::make_move_iterator(values.begin()),
                   std::make_move_iterator(values.end()));
    return true;
}

bool TTarkiHash::TakeEntries(TTarkiHash& from) {
    if (!keys_.empty() || from.Count() > capacity_) return false;
    keys_ = std::move(from.keys_);
    values_ = std::move(from.values_);
    from.keys_.clear();
    from.values_.clear();
    return true;
}

bool TTarkiHash::TakeSorted(std::vector<std::string>& keys, std::vector<std::string>& values) {
    if (!keys_.empty() || keys.size() != values.size() || keys.size() > static_cast<size_t>(capacity_)) return false;
    if (!Ascending(keys)) return false;
    keys_.swap(keys);
    values_.swap(values);
    keys.clear();
    values.clear();
    return true;
}
