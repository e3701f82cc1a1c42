#include "document/TarkiHash.h"

#include <algorithm>
#include <cstring>

namespace {

// A key taken apart for the order: whether it is a number key, and then its sign and its digits
// without leading zeros (none for zero). Made once per key where one key meets many.
struct TKeyOrder {
    std::string_view Text;
    bool Number;
    bool Negative;
    const char* Digits;
    size_t Length;
};

inline TKeyOrder ReadKey(std::string_view key) {
    const char* p = key.data();
    const char* const end = p + key.size();
    while (p != end && *p == ' ') ++p;
    const bool minus = p != end && *p == '-';
    if (minus) ++p;
    while (p + 1 < end && *p == '0') ++p;
    const char* const first = p;
    while (p != end && static_cast<unsigned char>(*p - '0') <= 9) ++p;
    if (p != end || first == end) return TKeyOrder{key, false, false, nullptr, 0};
    const size_t length = first + 1 == end && *first == '0' ? 0 : static_cast<size_t>(end - first);
    return TKeyOrder{key, true, minus && length > 0, first, length};
}

inline int Compare(const TKeyOrder& x, const TKeyOrder& y) {
    if (x.Number != y.Number) return x.Number ? -1 : 1;
    if (x.Number) {
        if (x.Negative != y.Negative) return x.Negative ? -1 : 1;
        // Magnitudes of any length: the longer is the larger, else the digits decide.
        const int r = x.Length != y.Length ? (x.Length < y.Length ? -1 : 1) : std::memcmp(x.Digits, y.Digits, x.Length);
        if (r != 0) return (r < 0) != x.Negative ? -1 : 1;
    }
    // std::string_view::compare uses char_traits<char>::compare, which compares as unsigned char.
    const int r = x.Text.compare(y.Text);
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

}  // namespace

int TTarkiHash::CompareKeys(std::string_view a, std::string_view b) { return Compare(ReadKey(a), ReadKey(b)); }

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
    const TKeyOrder k = ReadKey(key);
    int lo = 0, hi = Count() - 1;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        int r = Compare(k, ReadKey(keys_[static_cast<size_t>(mid)]));
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
    const TKeyOrder k = ReadKey(key);
    int lo = 0, hi = Count();
    while (lo < hi) {
        int mid = lo + (hi - lo) / 2;
        if (Compare(ReadKey(keys_[static_cast<size_t>(mid)]), k) < 0)
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
    TKeyOrder previous{};
    for (size_t i = 0; i < keys.size(); ++i) {
        if (keys[i].empty()) return false;
        TKeyOrder k = ReadKey(keys[i]);
        if (i > 0 && Compare(previous, k) >= 0) return false;
        previous = k;
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
