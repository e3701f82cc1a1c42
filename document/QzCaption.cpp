#include "document/QzCaption.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include "document/QzText.h"
#include "platform/core/Cp949.h"
#include "platform/core/SysUtils.h"

namespace {

// Sum of a time and an offset, kept within 32 bits.
int AddTimes(int64_t time, int64_t offset) {
    int64_t v = time + offset;
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

const std::string& OverwriteQuestion() {
    static const std::string text = Cp949("같은 싱크가 존재합니다.\n덮어쓰겠습니까?");
    return text;
}

bool IsEmptySource(const TTarkiHash& source) {
    return source.Count() == 0 || (source.Count() == 1 && source.Value(0).empty());
}

}  // namespace

TQzCaption::TQzCaption() : list_(std::make_unique<TTarkiHash>(InitialCapacity)) {
    captionHead_.SetText("<SAMI>\n<BODY>\n");
    captionBody_.SetText("<SYNC START=($sync)><P CLASS=KALO_KRCC>($text)\n");
    captionTail_.SetText("</BODY>\n</SAMI>\n");
}

std::string TQzCaption::GetSyncWidth(int time) {
    // "%9d": the decimal digits, a '-' before them when negative, blanks in front up to 9 bytes.
    char buf[16];
    char* end = buf + sizeof buf;
    char* p = end;
    uint32_t v = time < 0 ? 0u - static_cast<uint32_t>(time) : static_cast<uint32_t>(time);
    do {
        *--p = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (time < 0) *--p = '-';
    while (end - p < 9) *--p = ' ';
    return std::string(p, static_cast<size_t>(end - p));
}

std::string TQzCaption::GetSyncWidth(const std::string& time) { return GetSyncWidth(StrToInt(time)); }

void TQzCaption::ReserveEntries(int count) {
    if (count <= list_->Capacity()) return;
    auto bigger = std::make_unique<TTarkiHash>(count);
    // The old table is dropped: its strings move over instead of being copied.
    bigger->TakeEntries(*list_);
    list_ = std::move(bigger);
}

namespace {
// The capacity a full table grows to.
int GrownCapacity(int cap) { return cap > INT_MAX / 2 ? INT_MAX : std::max(cap * 2, cap + 1024); }
}  // namespace

void TQzCaption::GrowFor(int count) {
    int cap = list_->Capacity();
    while (cap < count && cap < INT_MAX) cap = GrownCapacity(cap);
    ReserveEntries(cap);
}

bool TQzCaption::StoreEntry(std::string key, std::string caption) {
    if (key.empty()) return false;
    if (list_->Count() >= list_->Capacity()) ReserveEntries(GrownCapacity(list_->Capacity()));
    return list_->Set(key, std::move(caption)) > 0;
}

bool TQzCaption::Add(int sync, const std::string& caption) { return Add(IntToStr(sync), caption); }

bool TQzCaption::Add(const std::string& sync, const std::string& caption) {
    std::string syncText = IntToStr(StrToInt(sync));
    std::string text = caption;
    bool canChange = true;
    if (list_->IndexOf(GetSyncWidth(syncText)) >= 0) {
        if (Quiet) return false;
        if (OnAdd) OnAdd(this, OverwriteQuestion(), syncText, text, canChange);
    } else if (!Quiet && OnAdd) {
        OnAdd(this, std::string(), syncText, text, canChange);
    }
    if (!canChange) return false;
    return StoreEntry(GetSyncWidth(syncText), std::move(text));
}

bool TQzCaption::Edit(int oldSync, int newSync, const std::string& caption) {
    return Edit(IntToStr(oldSync), IntToStr(newSync), caption);
}

bool TQzCaption::Edit(const std::string& oldSync, const std::string& newSync, const std::string& caption) {
    std::string oldText = IntToStr(StrToInt(oldSync));
    std::string newText = IntToStr(StrToInt(newSync));
    std::string text = caption;
    bool canChange = true;
    if (list_->IndexOf(GetSyncWidth(oldText)) < 0) return Add(newText, text);
    if (OnEdit) OnEdit(this, std::string(), oldText, newText, text, canChange);
    if (!canChange) return false;
    // Convert the handler's times before anything changes.
    std::string oldKey = GetSyncWidth(oldText);
    std::string newKey = GetSyncWidth(newText);
    // A new time that keeps the entry's place changes the entry where it stands.
    const int at = list_->IndexOf(oldKey);
    if (at >= 0 && (newKey == oldKey || list_->SetKeyAt(at, newKey))) {
        list_->SetValueAt(at, std::move(text));
        return true;
    }
    list_->Delete(oldKey);
    return StoreEntry(std::move(newKey), std::move(text));
}

bool TQzCaption::Delete(int sync) { return Delete(IntToStr(sync)); }

bool TQzCaption::Delete(const std::string& sync) {
    list_->Delete(GetSyncWidth(sync));
    return true;
}

int TQzCaption::IndexOf(int sync) const { return list_->IndexOf(GetSyncWidth(sync)); }

int TQzCaption::IndexOf(const std::string& sync) const { return list_->IndexOf(GetSyncWidth(sync)); }

std::string TQzCaption::Get(int sync) const { return Get(IntToStr(sync)); }

std::string TQzCaption::Get(const std::string& sync) const {
    int i = IndexOf(sync);
    return i >= 0 ? list_->Value(i) : std::string();
}

void TQzCaption::Clear() { list_->Clear(); }

std::string TQzCaption::EncodeCaption(std::string_view text) {
    std::string s = TrimBlanksRight(text);
    s = RemoveCharStr(s, '\r');
    return ReplaceAll(s, "\n", "<BR>");
}

std::string TQzCaption::DecodeCaption(std::string_view text) {
    std::string s = RemoveCharStr(RemoveCharStr(text, '\r'), '\n');
    s = ReplaceAll(s, "<BR>", "\n");
    return ReplaceAll(s, "<P>", "\n");
}

namespace {

// A stored caption without its tags: "<BR>" (ignoring case, at character boundaries) kept as
// "<BR>", every other block from '<' through the next '>' removed, as ReplaceAll of "<BR>" by LF,
// the removal of the blocks "<" .. ">" and ReplaceAll of LF by "<BR>" give it. `lines` is scratch
// space kept between calls.
void StripCaption(std::string_view stored, std::string& lines, std::string& out) {
    lines.clear();
    out.clear();
    if (stored.find('\n') != std::string_view::npos) {
        // A line break of its own cannot be told apart from a kept "<BR>": the steps one by one.
        out = ReplaceAll(stored, "<BR>", "\n");
        ReplaceBlocksInString(out, "<", ">", "");
        out = ReplaceAll(out, "\n", "<BR>");
        return;
    }
    const size_t n = stored.size();
    size_t copied = 0;
    for (size_t i = 0; i < n;) {
        if (stored[i] == '<' && i + 4 <= n && (stored[i + 1] | 0x20) == 'b' && (stored[i + 2] | 0x20) == 'r' &&
            stored[i + 3] == '>') {
            lines.append(stored.data() + copied, i - copied);
            lines += '\n';
            i += 4;
            copied = i;
            continue;
        }
        i += static_cast<unsigned char>(stored[i]) >= 0x80 && i + 1 < n ? 2 : 1;
    }
    lines.append(stored.data() + copied, n - copied);
    // Each '<' with a '>' after it and no '<' between starts a block that goes; a '<' after the
    // last '>' stays with the rest. A block holding a second '<' is left to the passes.
    bool nested = false;
    for (size_t p = lines.find('<'); p != std::string::npos && !nested;) {
        const size_t e = lines.find('>', p + 1);
        if (e == std::string::npos) break;
        p = lines.find('<', p + 1);
        nested = p < e;
    }
    if (nested) {
        ReplaceBlocksInString(lines, "<", ">", "");
    } else {
        size_t read = 0, write = 0;
        for (size_t p = lines.find('<'); p != std::string::npos;) {
            const size_t e = lines.find('>', p + 1);
            if (e == std::string::npos) break;
            std::memmove(&lines[0] + write, lines.data() + read, p - read);
            write += p - read;
            read = e + 1;
            p = lines.find('<', read);
        }
        const size_t rest = lines.size() - read;
        std::memmove(&lines[0] + write, lines.data() + read, rest);
        lines.resize(write + rest);
    }
    const size_t m = lines.size();
    copied = 0;
    for (size_t i = 0; i < m;) {
        if (lines[i] == '\n') {
            out.append(lines.data() + copied, i - copied);
            out += "<BR>";
            copied = ++i;
            continue;
        }
        i += static_cast<unsigned char>(lines[i]) >= 0x80 && i + 1 < m ? 2 : 1;
    }
    out.append(lines.data() + copied, m - copied);
}

}  // namespace

void TQzCaption::TagStrip() {
    std::string lines, stripped;
    for (int i = 0; i < list_->Count(); ++i) {
        const std::string& stored = list_->Value(i);
        // Without a tag or a line break the text stays as it is.
        if (stored.find('<') == std::string::npos && stored.find('\n') == std::string::npos) continue;
        StripCaption(stored, lines, stripped);
        // The key stays where it is: the text is replaced at i.
        if (stripped != stored) list_->SetValueAt(i, stripped);
    }
}

bool TQzCaption::AppendList(const TQzCaption& source) { return AppendList(source.List()); }

bool TQzCaption::AppendList(const TTarkiHash& sourceTable) {
    if (IsEmptySource(sourceTable)) return false;
    // Appending a document to itself must not walk the table it is adding to.
    std::unique_ptr<TTarkiHash> copy;
    const TTarkiHash* source = &sourceTable;
    if (source == list_.get()) {
        copy = std::make_unique<TTarkiHash>(source->Count());
        for (int i = 0; i < source->Count(); ++i) copy->Add(source->Key(i), source->Value(i));
        source = copy.get();
    }
    int64_t offset = 0;
    if (list_->Count() > 0) {
        offset = StrToInt(list_->Key(list_->Count() - 1));
        if (StrToInt(source->Key(0)) <= 0) offset = 1000;
    }
    for (int i = 0; i < source->Count(); ++i)
        Add(AddTimes(StrToInt(source->Key(i)), offset), source->Value(i));
    return true;
}

bool TQzCaption::InsertList(int sync, const TQzCaption& source) { return InsertList(sync, source.List()); }

bool TQzCaption::InsertList(const std::string& sync, const TQzCaption& source) {
    return InsertList(StrToInt(sync), source.List());
}

bool TQzCaption::InsertList(const std::string& sync, const TTarkiHash& source) {
    return InsertList(StrToInt(sync), source);
}

bool TQzCaption::InsertList(int sync, const TTarkiHash& source) {
    if (IsEmptySource(source)) return false;
    int idx = IndexOf(sync);
    if (list_->Count() < 2 || (sync >= 0 && idx == -1)) return AppendList(source);
    return InsertTable(idx, source);
}

bool TQzCaption::InsertTable(int idx, const TTarkiHash& source) {
    int64_t shift = 0;
    if (idx >= 0) {
        int64_t d = static_cast<int64_t>(StrToInt(source.Key(0))) - StrToInt(list_->Key(idx));
        shift = d < 0 ? -d + 1000 : 10;
    }
    // The shifted source, made before this document changes (the source may be this document).
    TTarkiHash temp(source.Count() + 10);
    temp.Reserve(source.Count());
    for (int i = 0; i < source.Count(); ++i)
        temp.Add(GetSyncWidth(AddTimes(StrToInt(source.Key(i)), shift)), source.Value(i));

    if (idx + 1 <= list_->Count() - 1) {
        int64_t d2 = static_cast<int64_t>(StrToInt(temp.Key(temp.Count() - 1))) - StrToInt(list_->Key(idx + 1));
        int64_t shift2 = d2 >= 0 ? d2 + 1000 : 0;
        if (!OnEdit && ShiftLaterKeys(idx + 1, shift2)) {
            AddEntries(temp);
            return true;
        }
        // The later entries, taken aside: the edit handlers may change the table under us.
        std::vector<std::pair<int, std::string>> later;
        later.reserve(static_cast<size_t>(list_->Count() - idx - 1));
        for (int j = idx + 1; j < list_->Count(); ++j) later.emplace_back(StrToInt(list_->Key(j)), list_->Value(j));
        MoveLaterEntries(later, shift2);
    }
    AddEntries(temp);
    return true;
}

bool TQzCaption::ShiftLaterKeys(int from, int64_t shift) {
    // Sync keys sort by their times; moved up by one shift without reaching the top of the time
    // range they keep their order and land on no time that is not moved yet.
    const int count = list_->Count();
    std::vector<std::string> keys;
    keys.reserve(static_cast<size_t>(count - from));
    int64_t previous = INT64_MIN;
    for (int j = from; j < count; ++j) {
        int t;
        if (!TryStrToInt(list_->Key(j), t) || t <= previous || shift < 0 || t + shift > INT_MAX ||
            list_->Key(j) != GetSyncWidth(t))
            return false;
        previous = t;
        keys.push_back(GetSyncWidth(static_cast<int>(t + shift)));
    }
    return list_->ReplaceKeysFrom(from, keys);
}

void TQzCaption::MoveLaterEntries(std::vector<std::pair<int, std::string>>& later, int64_t shift) {
    // The entries are the table's last ones in key order. Moved by one shift >= 0 without reaching
    // the top of the time range, they keep their order and meet no other entry, so after the
    // events the keys can be replaced in place.
    bool block = shift >= 0 && !later.empty() && static_cast<int64_t>(later.back().first) + shift <= INT_MAX;
    for (size_t k = 1; block && k < later.size(); ++k)
        if (later[k].first <= later[k - 1].first) block = false;
    const TTarkiHash* table = list_.get();
    const int count = table->Count();
    size_t confirmed = 0;  // entries from the end whose move was let go but is not made yet
    auto moveConfirmed = [&] {
        int at = count - 1;
        // Once an entry went elsewhere (its key was no longer the time it stood for), the
        // positions no longer tell the entries: the rest move by their keys.
        bool inPlace = true;
        for (size_t k = later.size(); confirmed > 0; --confirmed, --at) {
            --k;
            int to = AddTimes(later[k].first, shift);
            if (inPlace && list_.get() == table && list_->Count() == count && list_->SetKeyAt(at, GetSyncWidth(to)))
                continue;
            inPlace = false;
            list_->Delete(GetSyncWidth(later[k].first));
            StoreEntry(GetSyncWidth(to), std::move(later[k].second));
        }
    };
    for (size_t k = later.size(); k-- > 0;) {
        const int from = later[k].first;
        const int to = AddTimes(from, shift);
        if (!block) {
            Edit(from, to, later[k].second);
            continue;
        }
        std::string oldText = IntToStr(from);
        std::string newText = IntToStr(to);
        std::string text = later[k].second;
        bool canChange = true;
        if (OnEdit) OnEdit(this, std::string(), oldText, newText, text, canChange);
        bool asProposed = canChange && list_.get() == table && list_->Count() == count && text == later[k].second &&
                          oldText == IntToStr(from) && newText == IntToStr(to);
        if (asProposed) {
            ++confirmed;
            continue;
        }
        // A handler changed the move or the table: the moves let go so far are made, then this
        // one as Edit makes it, and the rest go through Edit.
        moveConfirmed();
        block = false;
        if (!canChange) continue;
        std::string oldKey = GetSyncWidth(oldText);
        std::string newKey = GetSyncWidth(newText);
        list_->Delete(oldKey);
        StoreEntry(std::move(newKey), std::move(text));
    }
    if (block) moveConfirmed();
}

void TQzCaption::AddEntries(const TTarkiHash& temp) {
    // Keys that all fit between two neighbours of the table are added in one insertion after
    // their add events, as long as no handler changes a time or the table.
    const int count = list_->Count();
    const int pos = temp.Count() > 0 ? list_->LowerBound(temp.Key(0)) : 0;
    bool block = temp.Count() > 0 && (pos >= count || TTarkiHash::KeyLess(temp.Key(temp.Count() - 1), list_->Key(pos))) &&
                 (pos == count || list_->Key(pos) != temp.Key(0));
    for (int i = 0; block && i < temp.Count(); ++i)
        if (GetSyncWidth(temp.Key(i)) != temp.Key(i)) block = false;
    if (!block) {
        for (int i = 0; i < temp.Count(); ++i) Add(temp.Key(i), temp.Value(i));
        return;
    }
    const TTarkiHash* table = list_.get();
    std::vector<std::string> keys, values;
    keys.reserve(static_cast<size_t>(temp.Count()));
    values.reserve(static_cast<size_t>(temp.Count()));
    auto flush = [&] {
        GrowFor(list_->Count() + static_cast<int>(keys.size()));
        if (list_->InsertAt(pos, keys, values)) return;
        for (size_t k = 0; k < keys.size(); ++k) StoreEntry(keys[k], std::move(values[k]));
    };
    for (int i = 0; i < temp.Count(); ++i) {
        std::string syncText = IntToStr(StrToInt(temp.Key(i)));
        std::string text = temp.Value(i);
        bool canChange = true;
        if (!block) {
            Add(syncText, text);
            continue;
        }
        if (!Quiet && OnAdd) OnAdd(this, std::string(), syncText, text, canChange);
        if (list_.get() == table && list_->Count() == count && syncText == IntToStr(StrToInt(temp.Key(i)))) {
            if (canChange) {
                keys.push_back(temp.Key(i));
                values.push_back(std::move(text));
            }
            continue;
        }
        flush();
        keys.clear();
        values.clear();
        block = false;
        if (canChange) StoreEntry(GetSyncWidth(syncText), std::move(text));
    }
    if (block) flush();
}
