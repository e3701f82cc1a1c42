#include "editor/model/QzPadStrings.h"

#include "platform/core/FileUtils.h"
#include "platform/core/StringList.h"
#include "platform/core/SysUtils.h"

#include <algorithm>

namespace {
const std::string kEmpty;
}

const std::string& TQzPadStrings::Get(int i) const
{
    return IsLine(i) ? lines_[static_cast<size_t>(i)].Text : kEmpty;
}

void TQzPadStrings::Changed()
{
    if (updateCount_ == 0 && OnChange) OnChange(*this);
}

void TQzPadStrings::EndUpdate()
{
    if (updateCount_ <= 0) return;
    if (--updateCount_ == 0 && OnChange) OnChange(*this);
}

void TQzPadStrings::Log(TQzLineChange change)
{
    journal_->push_back(std::move(change));
}

std::unique_ptr<TQzLineAttribute> TQzPadStrings::CopyAttribute(int i) const
{
    const TQzLineAttribute* a = Attribute(i);
    return a ? std::make_unique<TQzLineAttribute>(*a) : nullptr;
}

void TQzPadStrings::Put(int i, std::string s)
{
    if (!IsLine(i)) return;
    std::string& text = lines_[static_cast<size_t>(i)].Text;
    if (journal_) {
        TQzLineChange c{TQzLineChange::lcPut, i};
        c.Texts.push_back(std::move(text));
        Log(std::move(c));
    }
    text = std::move(s);
    Changed();
}

int TQzPadStrings::Add(std::string s)
{
    const int index = Count();
    lines_.push_back(TLine{std::move(s), nullptr});
    if (journal_) Log(TQzLineChange{TQzLineChange::lcInserted, index, 1});
    Changed();
    if (OnInserted) OnInserted(*this, index, 1);
    return index;
}

void TQzPadStrings::Insert(int index, std::string s)
{
    index = std::clamp(index, 0, Count());
    lines_.insert(lines_.begin() + index, TLine{std::move(s), nullptr});
    if (journal_) Log(TQzLineChange{TQzLineChange::lcInserted, index, 1});
    Changed();
    if (OnInserted) OnInserted(*this, index, 1);
}

void TQzPadStrings::Delete(int index)
{
    DeleteLines(index, 1);
}

void TQzPadStrings::InsertLines(int index, std::vector<std::string> lines,
                                std::vector<std::unique_ptr<TQzLineAttribute>> attrs)
{
    if (lines.empty()) return;
    index = std::clamp(index, 0, Count());
    std::vector<TLine> block;
    block.reserve(lines.size());
    for (size_t k = 0; k < lines.size(); ++k) {
        block.push_back(TLine{std::move(lines[k]), k < attrs.size() ? std::move(attrs[k]) : nullptr});
    }
    const int n = static_cast<int>(block.size());
    lines_.insert(lines_.begin() + index, std::make_move_iterator(block.begin()),
                  std::make_move_iterator(block.end()));
    if (journal_) Log(TQzLineChange{TQzLineChange::lcInserted, index, n});
    Changed();
    if (OnInserted) OnInserted(*this, index, n);
}

void TQzPadStrings::DeleteLines(int index, int count)
{
    if (index < 0) {
        count += index;
        index = 0;
    }
    count = std::min(count, Count() - index);
    if (count <= 0) return;
    if (journal_) {
        TQzLineChange c{TQzLineChange::lcDeleted, index};
        for (int k = index; k < index + count; ++k) {
            TLine& line = lines_[static_cast<size_t>(k)];
            c.Texts.push_back(std::move(line.Text));
            c.Attrs.push_back(std::move(line.Attr));
        }
        Log(std::move(c));
    }
    lines_.erase(lines_.begin() + index, lines_.begin() + index + count);
    Changed();
    if (OnDeleted) OnDeleted(*this, index, count);
}

void TQzPadStrings::Clear()
{
    if (lines_.empty()) return;
    lines_.clear();
    lines_.shrink_to_fit();
    Changed();
}

void TQzPadStrings::Assign(std::vector<std::string> lines)
{
    BeginUpdate();
    lines_.clear();
    lines_.reserve(lines.size());
    for (auto& s : lines) lines_.push_back(TLine{std::move(s), nullptr});
    EndUpdate();
}

void TQzPadStrings::AssignSplit(std::string_view text)
{
    BeginUpdate();
    size_t ends = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++ends;
    lines_.clear();
    lines_.reserve(ends + 1);
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines_.push_back(TLine{std::string(text.substr(start, i - start)), nullptr});
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    lines_.push_back(TLine{std::string(text.substr(start)), nullptr});
    EndUpdate();
}

void TQzPadStrings::Assign(const TStringList& source)
{
    Assign(std::vector<std::string>(source.Strings));
}

void TQzPadStrings::Exchange(int a, int b)
{
    if (!IsLine(a) || !IsLine(b) || a == b) return;
    std::swap(lines_[static_cast<size_t>(a)], lines_[static_cast<size_t>(b)]);
    Changed();
}

TQzLineAttribute* TQzPadStrings::Attribute(int i) const
{
    return IsLine(i) ? lines_[static_cast<size_t>(i)].Attr.get() : nullptr;
}

TQzLineAttribute* TQzPadStrings::EnsureAttribute(int i, int32_t bookmark, bool wrapped)
{
    if (!IsLine(i)) return nullptr;
    auto& attr = lines_[static_cast<size_t>(i)].Attr;
    if (!attr) attr = std::make_unique<TQzLineAttribute>(bookmark, wrapped);
    return attr.get();
}

void TQzPadStrings::SetAttribute(int i, std::unique_ptr<TQzLineAttribute> attr)
{
    if (!IsLine(i)) return;
    auto& slot = lines_[static_cast<size_t>(i)].Attr;
    if (journal_) {
        TQzLineChange c{TQzLineChange::lcAttribute, i};
        c.Attrs.push_back(std::move(slot));
        c.Bookmark = attr ? attr->Bookmark : -2;
        Log(std::move(c));
    }
    slot = std::move(attr);
}

void TQzPadStrings::SetWrapped(int i, bool wrapped)
{
    if (!IsLine(i)) return;
    const TQzLineAttribute* a = Attribute(i);
    if ((a ? a->Wrapped : false) == wrapped) return;
    if (journal_) {
        TQzLineChange c{TQzLineChange::lcAttribute, i};
        c.Attrs.push_back(CopyAttribute(i));
        c.Bookmark = a ? a->Bookmark : -2;
        Log(std::move(c));
    }
    auto& slot = lines_[static_cast<size_t>(i)].Attr;
    if (!slot) slot = std::make_unique<TQzLineAttribute>(-2, wrapped);
    slot->Wrapped = wrapped;
}

void TQzPadStrings::Revert(std::vector<TQzLineChange>& changes)
{
    std::vector<TQzLineChange>* const journal = journal_;
    journal_ = nullptr;
    for (auto c = changes.rbegin(); c != changes.rend(); ++c) {
        switch (c->Kind) {
        case TQzLineChange::lcPut:
            if (!c->Texts.empty()) Put(c->Index, std::move(c->Texts.front()));
            break;
        case TQzLineChange::lcInserted: DeleteLines(c->Index, c->Count); break;
        case TQzLineChange::lcDeleted:
            for (auto& a : c->Attrs)
                if (a && a->Bookmark >= 0 && HoldsBookmark(a->Bookmark, -1)) a->Bookmark = -2;
            InsertLines(c->Index, std::move(c->Texts), std::move(c->Attrs));
            break;
        case TQzLineChange::lcAttribute: {
            if (!IsLine(c->Index)) break;
            auto& slot = lines_[static_cast<size_t>(c->Index)].Attr;
            std::unique_ptr<TQzLineAttribute> old = std::move(c->Attrs.front());
            const int32_t now = slot ? slot->Bookmark : -2;
            if (now != c->Bookmark) {
                // Setting a bookmark is no edit: one set or cleared on this line since stays.
                if (old)
                    old->Bookmark = now;
                else if (now != -2)
                    old = std::make_unique<TQzLineAttribute>(now, false);
            } else if (old && old->Bookmark >= 0 && HoldsBookmark(old->Bookmark, c->Index)) {
                old->Bookmark = -2;
            }
            slot = std::move(old);
            break;
        }
        }
    }
    changes.clear();
    journal_ = journal;
}

bool TQzPadStrings::HoldsBookmark(int32_t number, int except) const
{
    for (int i = 0; i < Count(); ++i) {
        const TQzLineAttribute* a = lines_[static_cast<size_t>(i)].Attr.get();
        if (i != except && a && a->Bookmark == number) return true;
    }
    return false;
}

std::unique_ptr<TQzLineAttribute> TQzPadStrings::TakeAttribute(int i)
{
    if (!IsLine(i)) return nullptr;
    if (journal_) {
        TQzLineChange c{TQzLineChange::lcAttribute, i};
        c.Attrs.push_back(CopyAttribute(i));
        Log(std::move(c));
    }
    return std::move(lines_[static_cast<size_t>(i)].Attr);
}

void TQzPadStrings::FreeAttributes()
{
    for (auto& line : lines_) line.Attr.reset();
}

std::string TQzPadStrings::Text() const
{
    size_t total = 0;
    for (const auto& line : lines_) total += line.Text.size() + 2;
    std::string out;
    out.reserve(total);
    for (const auto& line : lines_) {
        out += line.Text;
        out += "\r\n";
    }
    return out;
}

std::string TQzPadStrings::FormattedText() const
{
    const char* end = SaveFormat == qzsfUnix ? "\n" : SaveFormat == qzsfMac ? "\r" : "\r\n";
    const size_t endLen = SaveFormat == qzsfDos ? 2 : 1;
    size_t total = 0;
    for (const auto& line : lines_) total += line.Text.size() + endLen;
    std::string out;
    out.reserve(total);
    for (const auto& line : lines_) {
        out += line.Text;
        out.append(end, endLen);
    }
    return out;
}

void TQzPadStrings::SetStr(const char* buffer, size_t length)
{
    BeginUpdate();
    SaveFormat = qzsfDos;
    lines_.clear();
    bool firstCr = true;
    bool nullMet = false;
    size_t p = 0;
    while (p < length) {
        size_t q = p;
        while (q < length && buffer[q] != '\r' && buffer[q] != '\n') ++q;
        std::string line(buffer + p, q - p);
        if (ConvertNullToSpace) {
            for (char& c : line) {
                if (c != '\0') continue;
                if (!nullMet) {
                    nullMet = true;
                    if (OnConfirmConvert) OnConfirmConvert();
                }
                c = ' ';
            }
        }
        lines_.push_back(TLine{std::move(line), nullptr});
        p = q;
        if (p < length && buffer[p] == '\r') {
            ++p;
            if (firstCr) {
                firstCr = false;
                SaveFormat = (p < length && buffer[p] == '\n') ? qzsfDos : qzsfMac;
            }
        }
        if (p < length && buffer[p] == '\n') {
            if (p == 0 || buffer[p - 1] != '\r') SaveFormat = qzsfUnix;
            ++p;
        }
    }
    EndUpdate();
}

void TQzPadStrings::TakeLines(TQzPadStrings& source)
{
    lines_.swap(source.lines_);
    SaveFormat = source.SaveFormat;
    Changed();
}

bool TQzPadStrings::LoadFromFile(const std::string& fileName)
{
    if (!FileExists(fileName)) return false;
    std::string data;
    if (!ReadFileBytes(fileName, data)) return false;
    SetStr(data.data(), data.size());
    return true;
}

bool TQzPadStrings::SaveToFile(const std::string& fileName) const
{
    return WriteFileAtomic(fileName, FormattedText());
}

void TQzPadStrings::QuickSort(int l, int r, bool ascending)
{
    while (l < r) {
        int i = l;
        int j = r;
        const std::string pivot = lines_[static_cast<size_t>((l + r) / 2)].Text;
        do {
            if (ascending) {
                while (CompareText(lines_[static_cast<size_t>(i)].Text, pivot) < 0) ++i;
                while (CompareText(lines_[static_cast<size_t>(j)].Text, pivot) > 0) --j;
            } else {
                while (CompareText(lines_[static_cast<size_t>(i)].Text, pivot) > 0) ++i;
                while (CompareText(lines_[static_cast<size_t>(j)].Text, pivot) < 0) --j;
            }
            if (i <= j) {
                if (i != j) std::swap(lines_[static_cast<size_t>(i)], lines_[static_cast<size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (l < j) QuickSort(l, j, ascending);
        l = i;
    }
}

void TQzPadStrings::SortBy(int fromLine, int toLine, bool ascending)
{
    if (Count() < 2) return;
    fromLine = std::max(fromLine, 0);
    toLine = std::min(toLine, Count() - 1);
    BeginUpdate();
    if (fromLine < toLine) QuickSort(fromLine, toLine, ascending);
    EndUpdate();
}
