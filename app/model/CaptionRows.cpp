#include "app/model/CaptionRows.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <ostream>

#include "app/model/CaptionInfo.h"
#include "document/QzCaption.h"

namespace {

// The key text of a sync ("%9d") into `buf` (at least 12 bytes); returns its length.
size_t FormatKey(int sync, char* buf) {
    char tmp[16];
    char* end = tmp + sizeof tmp;
    char* p = end;
    uint32_t v = sync < 0 ? 0u - static_cast<uint32_t>(sync) : static_cast<uint32_t>(sync);
    do {
        *--p = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (sync < 0) *--p = '-';
    while (end - p < 9) *--p = ' ';
    const size_t n = static_cast<size_t>(end - p);
    std::memcpy(buf, p, n);
    return n;
}

}  // namespace

std::string TRowKey::Str() const {
    char buf[16];
    return std::string(buf, FormatKey(sync_, buf));
}

bool TRowKey::Is(std::string_view key) const {
    char buf[16];
    return key == std::string_view(buf, FormatKey(sync_, buf));
}

bool TRowKey::KeyLess(int a, int b) {
    // Nine right-aligned characters each: blanks sort before digits, so the fewer digits first.
    if (a >= 0 && b >= 0 && a < 1000000000 && b < 1000000000) return a < b;
    char ka[16], kb[16];
    const size_t na = FormatKey(a, ka), nb = FormatKey(b, kb);
    const int c = std::memcmp(ka, kb, std::min(na, nb));
    return c < 0 || (c == 0 && na < nb);
}

std::ostream& operator<<(std::ostream& out, const TRowKey& key) { return out << '"' << key.Str() << '"'; }

int TCaptionRows::ReadSync(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1) v = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) v = -v;
    if (v > INT_MAX) v = INT_MAX;
    return static_cast<int>(v);
}

std::string TCaptionRows::BannerText() {
    return std::string(kApplicationTitle) + " Caption Editor for " + kMakerSite;
}

void TCaptionRows::AddBannerRow() {
    if (!rows_.empty() && Sync(0) == 0) return;
    Append(0, BannerText());
}

void TCaptionRows::UpdateDescent(int i) {
    if (i < 1 || i >= Count()) return;
    auto at = std::lower_bound(descents_.begin(), descents_.end(), i);
    const bool present = at != descents_.end() && *at == i;
    const bool descent = Sync(i) < Sync(i - 1);
    if (descent && !present) descents_.insert(at, i);
    else if (!descent && present) descents_.erase(at);
}

void TCaptionRows::RebuildDescents() {
    descents_.clear();
    for (int i = 1; i < Count(); ++i)
        if (Sync(i) < Sync(i - 1)) descents_.push_back(i);
}

void TCaptionRows::ShiftDescents(int from, int delta) {
    for (auto at = std::lower_bound(descents_.begin(), descents_.end(), from); at != descents_.end(); ++at) *at += delta;
}

int TCaptionRows::Append(int sync, std::string text) {
    int index = Count();
    // Readers append in key order: no search is needed then.
    if (autoSort_ && !rows_.empty() && TRowKey::KeyLess(sync, rows_.back().Key.Sync())) {
        auto at = std::upper_bound(rows_.begin(), rows_.end(), sync,
                                   [](int s, const TCaptionRow& r) { return TRowKey::KeyLess(s, r.Key.Sync()); });
        index = static_cast<int>(at - rows_.begin());
    }
    if (index == Count()) {
        rows_.push_back(TCaptionRow{TRowKey(sync), std::move(text)});
        UpdateDescent(index);
        return index;
    }
    auto at = std::lower_bound(descents_.begin(), descents_.end(), index);
    if (at != descents_.end() && *at == index) descents_.erase(at);
    ShiftDescents(index, 1);
    rows_.insert(rows_.begin() + index, TCaptionRow{TRowKey(sync), std::move(text)});
    UpdateDescent(index);
    UpdateDescent(index + 1);
    return index;
}

void TCaptionRows::InsertBlock(int index, std::vector<TCaptionRow> rows) {
    index = std::max(0, std::min(index, Count()));
    const int k = static_cast<int>(rows.size());
    if (k == 0) return;
    // The pair (index - 1, index) is split by the block: its descent goes, the later ones move.
    auto at = std::lower_bound(descents_.begin(), descents_.end(), index);
    if (at != descents_.end() && *at == index) descents_.erase(at);
    ShiftDescents(index, k);
    if (rows_.size() + rows.size() > rows_.capacity()) rows_.reserve(std::max(rows_.size() + rows.size(), rows_.size() * 3 / 2));
    rows_.insert(rows_.begin() + index, std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    for (int i = index; i <= index + k; ++i) UpdateDescent(i);
}

void TCaptionRows::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    auto from = std::lower_bound(descents_.begin(), descents_.end(), index);
    auto to = from;
    while (to != descents_.end() && *to <= index + 1) ++to;
    descents_.erase(from, to);
    ShiftDescents(index + 2, -1);
    rows_.erase(rows_.begin() + index);
    UpdateDescent(index);
}

void TCaptionRows::SetSync(int row, int sync) {
    if (row < 0 || row >= Count()) return;
    rows_[static_cast<size_t>(row)].Key = TRowKey(sync);
    UpdateDescent(row);
    UpdateDescent(row + 1);
}

void TCaptionRows::SetText(int row, std::string text) {
    if (row >= 0 && row < Count()) rows_[static_cast<size_t>(row)].Text = std::move(text);
}

void TCaptionRows::SetSyncsFrom(int from, const std::vector<int>& syncs) {
    from = std::max(0, from);
    for (size_t k = 0; k < syncs.size() && from + k < rows_.size(); ++k) rows_[from + k].Key = TRowKey(syncs[k]);
    // The descents before `from` stay; those from it on are found again.
    descents_.erase(std::lower_bound(descents_.begin(), descents_.end(), from), descents_.end());
    for (int i = std::max(from, 1); i < Count(); ++i)
        if (Sync(i) < Sync(i - 1)) descents_.push_back(i);
}

void TCaptionRows::Clear() {
    rows_.clear();
    descents_.clear();
}

std::vector<TCaptionRow> TCaptionRows::TakeAll() {
    std::vector<TCaptionRow> taken;
    taken.swap(rows_);
    descents_.clear();
    return taken;
}

void TCaptionRows::Restore(std::vector<TCaptionRow> rows) {
    rows_ = std::move(rows);
    RebuildDescents();
}

int TCaptionRows::FindRowBySync(int sync) const {
    // Each ordered run is searched in turn; the first run holding the sync holds its first row.
    int begin = 0;
    for (size_t d = 0; d <= descents_.size(); ++d) {
        const int end = d < descents_.size() ? descents_[d] : Count();
        auto first = rows_.begin() + begin, last = rows_.begin() + end;
        auto at = std::lower_bound(first, last, sync, [](const TCaptionRow& r, int s) { return r.Key.Sync() < s; });
        if (at != last && at->Key.Sync() == sync) return static_cast<int>(at - rows_.begin());
        begin = end;
    }
    return -1;
}

int TCaptionRows::FindRowBySync(const std::string& syncText) const { return FindRowBySync(ReadSync(syncText)); }

int TCaptionRows::FindRowAtTime(int time) const {
    // A pair across a descent never holds the time; within an ordered run the first row above
    // the time ends the pair that does.
    int begin = 0;
    for (size_t d = 0; d <= descents_.size(); ++d) {
        const int end = d < descents_.size() ? descents_[d] : Count();
        auto first = rows_.begin() + begin, last = rows_.begin() + end;
        auto above = std::upper_bound(first, last, time, [](int t, const TCaptionRow& r) { return t < r.Key.Sync(); });
        if (above != first && above != last) return static_cast<int>(above - rows_.begin()) - 1;
        begin = end;
    }
    if (Sync(Count() - 1) <= time) return Count() - 1;
    return -1;
}

void TCaptionRows::Sort() {
    auto byKey = [](const TCaptionRow& a, const TCaptionRow& b) { return TRowKey::KeyLess(a.Key.Sync(), b.Key.Sync()); };
    // A load leaves the rows in key order already.
    if (!std::is_sorted(rows_.begin(), rows_.end(), byKey)) {
        std::stable_sort(rows_.begin(), rows_.end(), byKey);
        RebuildDescents();
    }
    autoSort_ = false;
}

int TCaptionRows::KeepKeyOrder(int row) {
    if (!autoSort_) return row;
    std::vector<size_t> order(rows_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [this](size_t a, size_t b) { return TRowKey::KeyLess(rows_[a].Key.Sync(), rows_[b].Key.Sync()); });
    std::vector<TCaptionRow> sorted;
    sorted.reserve(rows_.size());
    int moved = -1;
    for (size_t i = 0; i < order.size(); ++i) {
        if (static_cast<int>(order[i]) == row) moved = static_cast<int>(i);
        sorted.push_back(std::move(rows_[order[i]]));
    }
    rows_ = std::move(sorted);
    RebuildDescents();
    return moved;
}

void TCaptionRows::CopyToCaption(TQzCaption& caption) const {
    TTarkiHash& table = caption.List();
    table.Clear();
    caption.ReserveEntries(Count());
    TTarkiHash& grown = caption.List();
    grown.Reserve(Count());
    for (int i = 1; i < Count(); ++i) grown.Set((*this)[i].Key.Str(), (*this)[i].Text);
}

void TCaptionRows::CopyFromCaption(const TQzCaption& caption) {
    // Assigned over the rows there are, so their strings keep their storage where they can.
    const TTarkiHash& table = caption.List();
    rows_.resize(static_cast<size_t>(table.Count()) + 1);
    rows_[0].Key = TRowKey(0);
    rows_[0].Text = BannerText();
    for (int i = 0; i < table.Count(); ++i) {
        TCaptionRow& row = rows_[static_cast<size_t>(i) + 1];
        row.Key = TRowKey(ReadSync(table.Key(i)));
        row.Text = table.Value(i);
    }
    RebuildDescents();
}
