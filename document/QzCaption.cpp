#include "document/QzCaption.h"

#include <algorithm>
#include <climits>
#include <cstdio>
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
    char digits[16];
    int len = 0;
    uint32_t v = time < 0 ? 0u - static_cast<uint32_t>(time) : static_cast<uint32_t>(time);
    do {
        digits[len++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (time < 0) digits[len++] = '-';
    std::string key(len < 9 ? static_cast<size_t>(9 - len) : 0, ' ');
    for (int i = len - 1; i >= 0; --i) key += digits[i];
    return key;
}

std::string TQzCaption::GetSyncWidth(const std::string& time) { return GetSyncWidth(StrToInt(time)); }

void TQzCaption::ReserveEntries(int count) {
    if (count <= list_->Capacity()) return;
    auto bigger = std::make_unique<TTarkiHash>(count);
    bigger->Reserve(list_->Count());
    for (int i = 0; i < list_->Count(); ++i) bigger->Add(list_->Key(i), list_->Value(i));
    list_ = std::move(bigger);
}

bool TQzCaption::StoreEntry(std::string key, std::string caption) {
    if (key.empty()) return false;
    if (list_->Count() >= list_->Capacity()) {
        int cap = list_->Capacity();
        ReserveEntries(cap > INT_MAX / 2 ? INT_MAX : std::max(cap * 2, cap + 1024));
    }
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

void TQzCaption::TagStrip() {
    for (int i = 0; i < list_->Count(); ++i) {
        const std::string& stored = list_->Value(i);
        std::string t = ReplaceAll(stored, "<BR>", "\n");
        ReplaceBlocksInString(t, "<", ">", "");
        t = ReplaceAll(t, "\n", "<BR>");
        // Replacing a value never adds a slot, so the key's position stays i.
        if (t != stored) StoreEntry(list_->Key(i), std::move(t));
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
        // The later entries, taken aside: the edit handlers may change the table under us.
        std::vector<std::pair<int, std::string>> later;
        for (int j = idx + 1; j < list_->Count(); ++j) later.emplace_back(StrToInt(list_->Key(j)), list_->Value(j));
        for (auto it = later.rbegin(); it != later.rend(); ++it) Edit(it->first, AddTimes(it->first, shift2), it->second);
    }
    for (int i = 0; i < temp.Count(); ++i) Add(temp.Key(i), temp.Value(i));
    return true;
}
