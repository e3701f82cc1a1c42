#include "app/model/CaptionRows.h"

#include <algorithm>
#include <climits>
#include <ostream>

#include "app/model/CaptionInfo.h"
#include "document/QzCaption.h"

std::string TRowKey::Str() const { return TQzCaption::GetSyncWidth(sync_); }

bool TRowKey::Is(std::string_view key) const { return key == TQzCaption::GetSyncWidth(sync_); }

std::ostream& operator<<(std::ostream& out, const TRowKey& key) { return out << '"' << key.Str() << '"'; }

std::ostream& operator<<(std::ostream& out, const TRowText& text) { return out << '"' << text.View() << '"'; }

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
    if (Count() > 0 && Sync(0) == 0) return;
    const std::string banner = BannerText();
    Append(int{0}, std::string_view(banner));
}

TCaptionRows::TStore::TEntry TCaptionRows::StoreText(int sync, std::string_view text) {
    TStore::TEntry e{sync, static_cast<uint32_t>(text.size()), store_.Texts.size()};
    store_.Texts.append(text.data(), text.size());
    return e;
}

void TCaptionRows::Forget(const TStore::TEntry& e) {
    store_.Unused += e.Length;
    if (store_.Unused > 4096 && store_.Unused * 2 > store_.Texts.size()) PackTexts();
}

void TCaptionRows::PackTexts() {
    std::string packed;
    packed.reserve(store_.Texts.size() - store_.Unused);
    for (TStore::TEntry& e : store_.Rows) {
        const uint64_t at = packed.size();
        packed.append(store_.Texts, e.Offset, e.Length);
        e.Offset = at;
    }
    store_.Texts.swap(packed);
    store_.Unused = 0;
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

void TCaptionRows::InsertEntries(int index, const TStore::TEntry* first, size_t count) {
    if (count == 0) return;
    // The pair (index - 1, index) is split by the new rows: its descent goes, the later ones move.
    auto at = std::lower_bound(descents_.begin(), descents_.end(), index);
    if (at != descents_.end() && *at == index) descents_.erase(at);
    ShiftDescents(index, static_cast<int>(count));
    std::vector<TStore::TEntry>& rows = store_.Rows;
    if (rows.size() + count > rows.capacity()) rows.reserve(std::max(rows.size() + count, rows.size() * 3 / 2));
    rows.insert(rows.begin() + index, first, first + count);
    for (int i = index; i <= index + static_cast<int>(count); ++i) UpdateDescent(i);
}

int TCaptionRows::Append(int sync, std::string_view text) {
    int index = Count();
    // Readers append in key order: no search is needed then.
    if (autoSort_ && Count() > 0 && TRowKey::KeyLess(sync, Sync(Count() - 1))) {
        auto at = std::upper_bound(store_.Rows.begin(), store_.Rows.end(), sync,
                                   [](int s, const TStore::TEntry& r) { return TRowKey::KeyLess(s, r.Sync); });
        index = static_cast<int>(at - store_.Rows.begin());
    }
    const TStore::TEntry e = StoreText(sync, text);
    if (index == Count()) {
        store_.Rows.push_back(e);
        UpdateDescent(index);
    } else {
        InsertEntries(index, &e, 1);
    }
    return index;
}

void TCaptionRows::InsertBlock(int index, const std::vector<TCaptionRow>& rows) {
    index = std::max(0, std::min(index, Count()));
    std::vector<TStore::TEntry> entries;
    entries.reserve(rows.size());
    for (const TCaptionRow& row : rows) entries.push_back(StoreText(row.Key.Sync(), row.Text));
    InsertEntries(index, entries.data(), entries.size());
}

void TCaptionRows::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    auto from = std::lower_bound(descents_.begin(), descents_.end(), index);
    auto to = from;
    while (to != descents_.end() && *to <= index + 1) ++to;
    descents_.erase(from, to);
    ShiftDescents(index + 2, -1);
    const TStore::TEntry gone = store_.Rows[static_cast<size_t>(index)];
    store_.Rows.erase(store_.Rows.begin() + index);
    UpdateDescent(index);
    Forget(gone);
}

void TCaptionRows::SetSync(int row, int sync) {
    if (row < 0 || row >= Count()) return;
    store_.Rows[static_cast<size_t>(row)].Sync = sync;
    UpdateDescent(row);
    UpdateDescent(row + 1);
}

void TCaptionRows::SetText(int row, std::string_view text) {
    if (row < 0 || row >= Count()) return;
    TStore::TEntry& e = store_.Rows[static_cast<size_t>(row)];
    if (text.size() <= e.Length) {
        // In place, front to back: the text may be a later part of this row's own text.
        std::copy(text.begin(), text.end(), store_.Texts.begin() + static_cast<std::ptrdiff_t>(e.Offset));
        store_.Unused += e.Length - text.size();
        e.Length = static_cast<uint32_t>(text.size());
        return;
    }
    const std::string copy(text);  // `text` may point into the buffer that grows now
    const TStore::TEntry old = e;
    const TStore::TEntry fresh = StoreText(e.Sync, copy);
    store_.Rows[static_cast<size_t>(row)] = fresh;
    Forget(old);
}

void TCaptionRows::SetSyncsFrom(int from, const std::vector<int>& syncs) {
    from = std::max(0, from);
    for (size_t k = 0; k < syncs.size() && from + k < store_.Rows.size(); ++k) store_.Rows[from + k].Sync = syncs[k];
    // The descents before `from` stay; those from it on are found again.
    descents_.erase(std::lower_bound(descents_.begin(), descents_.end(), from), descents_.end());
    for (int i = std::max(from, 1); i < Count(); ++i)
        if (Sync(i) < Sync(i - 1)) descents_.push_back(i);
}

void TCaptionRows::Clear() {
    store_ = TStore();
    descents_.clear();
}

void TCaptionRows::Reserve(int count, size_t textBytes) {
    store_.Rows.reserve(static_cast<size_t>(std::max(count, 0)));
    store_.Texts.reserve(textBytes);
}

TCaptionRows::TStore TCaptionRows::TakeAll() {
    TStore taken;
    std::swap(taken, store_);
    descents_.clear();
    return taken;
}

void TCaptionRows::Restore(TStore rows) {
    store_ = std::move(rows);
    RebuildDescents();
}

int TCaptionRows::FindRowBySync(int sync) const {
    // Each ordered run is searched in turn; the first run holding the sync holds its first row.
    const auto& rows = store_.Rows;
    int begin = 0;
    for (size_t d = 0; d <= descents_.size(); ++d) {
        const int end = d < descents_.size() ? descents_[d] : Count();
        auto first = rows.begin() + begin, last = rows.begin() + end;
        auto at = std::lower_bound(first, last, sync, [](const TStore::TEntry& r, int s) { return r.Sync < s; });
        if (at != last && at->Sync == sync) return static_cast<int>(at - rows.begin());
        begin = end;
    }
    return -1;
}

int TCaptionRows::FindRowBySync(const std::string& syncText) const { return FindRowBySync(ReadSync(syncText)); }

int TCaptionRows::FindRowAtTime(int time) const {
    // A pair across a descent never holds the time; within an ordered run the first row above
    // the time ends the pair that does.
    const auto& rows = store_.Rows;
    int begin = 0;
    for (size_t d = 0; d <= descents_.size(); ++d) {
        const int end = d < descents_.size() ? descents_[d] : Count();
        auto first = rows.begin() + begin, last = rows.begin() + end;
        auto above = std::upper_bound(first, last, time, [](int t, const TStore::TEntry& r) { return t < r.Sync; });
        if (above != first && above != last) return static_cast<int>(above - rows.begin()) - 1;
        begin = end;
    }
    if (Sync(Count() - 1) <= time) return Count() - 1;
    return -1;
}

void TCaptionRows::Sort() {
    auto byKey = [](const TStore::TEntry& a, const TStore::TEntry& b) { return TRowKey::KeyLess(a.Sync, b.Sync); };
    // A load leaves the rows in key order already.
    if (!std::is_sorted(store_.Rows.begin(), store_.Rows.end(), byKey)) {
        std::stable_sort(store_.Rows.begin(), store_.Rows.end(), byKey);
        RebuildDescents();
    }
    autoSort_ = false;
}

int TCaptionRows::KeepKeyOrder(int row) {
    if (!autoSort_) return row;
    std::vector<size_t> order(store_.Rows.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [this](size_t a, size_t b) { return TRowKey::KeyLess(store_.Rows[a].Sync, store_.Rows[b].Sync); });
    std::vector<TStore::TEntry> sorted;
    sorted.reserve(order.size());
    int moved = -1;
    for (size_t i = 0; i < order.size(); ++i) {
        if (static_cast<int>(order[i]) == row) moved = static_cast<int>(i);
        sorted.push_back(store_.Rows[order[i]]);
    }
    store_.Rows.swap(sorted);
    RebuildDescents();
    return moved;
}

void TCaptionRows::CopyToCaption(TQzCaption& caption) const {
    TTarkiHash& table = caption.List();
    table.Clear();
    caption.ReserveEntries(Count());
    TTarkiHash& grown = caption.List();
    grown.Reserve(Count());
    for (int i = 1; i < Count(); ++i) grown.Set(TRowKey(Sync(i)).Str(), std::string(Text(i).View()));
}

void TCaptionRows::CopyFromCaption(const TQzCaption& caption) {
    const TTarkiHash& table = caption.List();
    size_t bytes = 0;
    for (int i = 0; i < table.Count(); ++i) bytes += table.Value(i).size();
    const std::string banner = BannerText();
    TStore store;
    store.Rows.reserve(static_cast<size_t>(table.Count()) + 1);
    store.Texts.reserve(bytes + banner.size());
    store.Rows.push_back(TStore::TEntry{0, static_cast<uint32_t>(banner.size()), 0});
    store.Texts.append(banner);
    for (int i = 0; i < table.Count(); ++i) {
        const std::string& text = table.Value(i);
        store.Rows.push_back(TStore::TEntry{ReadSync(table.Key(i)), static_cast<uint32_t>(text.size()), store.Texts.size()});
        store.Texts += text;
    }
    store_ = std::move(store);
    RebuildDescents();
}
