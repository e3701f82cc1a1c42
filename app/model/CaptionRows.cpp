#include "app/model/CaptionRows.h"

#include <algorithm>
#include <climits>

#include "app/model/CaptionInfo.h"
#include "document/QzCaption.h"

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
    Append(TQzCaption::GetSyncWidth(0), BannerText());
}

int TCaptionRows::Append(const std::string& key, const std::string& text) {
    if (autoSort_) {
        auto at = std::upper_bound(rows_.begin(), rows_.end(), key,
                                   [](const std::string& k, const TCaptionRow& r) { return k < r.Key; });
        at = rows_.insert(at, TCaptionRow{key, text});
        return static_cast<int>(at - rows_.begin());
    }
    rows_.push_back(TCaptionRow{key, text});
    return Count() - 1;
}

void TCaptionRows::Insert(int index, const std::string& key, const std::string& text) {
    index = std::max(0, std::min(index, Count()));
    rows_.insert(rows_.begin() + index, TCaptionRow{key, text});
}

void TCaptionRows::InsertBlock(int index, std::vector<TCaptionRow> rows) {
    index = std::max(0, std::min(index, Count()));
    rows_.insert(rows_.begin() + index, std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
}

std::vector<TCaptionRow> TCaptionRows::TakeAll() {
    std::vector<TCaptionRow> taken;
    taken.swap(rows_);
    return taken;
}

void TCaptionRows::Delete(int index) {
    if (index >= 0 && index < Count()) rows_.erase(rows_.begin() + index);
}

int TCaptionRows::FindRowBySync(int sync) const {
    for (int i = 0; i < Count(); ++i)
        if (Sync(i) == sync) return i;
    return -1;
}

int TCaptionRows::FindRowBySync(const std::string& syncText) const { return FindRowBySync(ReadSync(syncText)); }

void TCaptionRows::Sort() {
    auto byKey = [](const TCaptionRow& a, const TCaptionRow& b) { return a.Key < b.Key; };
    // A load leaves the rows in key order already.
    if (!std::is_sorted(rows_.begin(), rows_.end(), byKey)) std::stable_sort(rows_.begin(), rows_.end(), byKey);
    autoSort_ = false;
}

int TCaptionRows::KeepKeyOrder(int row) {
    if (!autoSort_) return row;
    std::vector<size_t> order(rows_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [this](size_t a, size_t b) { return rows_[a].Key < rows_[b].Key; });
    std::vector<TCaptionRow> sorted;
    sorted.reserve(rows_.size());
    int moved = -1;
    for (size_t i = 0; i < order.size(); ++i) {
        if (static_cast<int>(order[i]) == row) moved = static_cast<int>(i);
        sorted.push_back(std::move(rows_[order[i]]));
    }
    rows_ = std::move(sorted);
    return moved;
}

void TCaptionRows::CopyToCaption(TQzCaption& caption) const {
    TTarkiHash& table = caption.List();
    table.Clear();
    caption.ReserveEntries(Count());
    TTarkiHash& grown = caption.List();
    for (int i = 1; i < Count(); ++i) grown.Set((*this)[i].Key, (*this)[i].Text);
}

void TCaptionRows::CopyFromCaption(const TQzCaption& caption) {
    // Assigned over the rows there are, so their strings keep their storage where they can.
    const TTarkiHash& table = caption.List();
    rows_.resize(static_cast<size_t>(table.Count()) + 1);
    rows_[0].Key = TQzCaption::GetSyncWidth(0);
    rows_[0].Text = BannerText();
    for (int i = 0; i < table.Count(); ++i) {
        TCaptionRow& row = rows_[static_cast<size_t>(i) + 1];
        row.Key = table.Key(i);
        row.Text = table.Value(i);
    }
}
