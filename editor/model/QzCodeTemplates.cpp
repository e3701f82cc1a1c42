#include "editor/model/QzCodeTemplates.h"

#include "editor/model/QzFileError.h"
#include "editor/model/QzScanner.h"
#include "platform/core/FileUtils.h"
#include "platform/core/SysUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sstream>

// ---- the list -----------------------------------------------------------------------------------

int TQzCodeTemplateList::Add(std::string name, std::unique_ptr<TCodeItem> item)
{
    size_t at = entries_.size();
    if (sorted_)
        at = static_cast<size_t>(std::upper_bound(entries_.begin(), entries_.end(), name,
                                                  [](const std::string& n, const TEntry& e) {
                                                      return CompareText(n, e.Name) < 0;
                                                  }) -
                                 entries_.begin());
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), TEntry{std::move(name), std::move(item)});
    return static_cast<int>(at);
}

void TQzCodeTemplateList::Delete(int i)
{
    if (i >= 0 && i < Count())
        entries_.erase(entries_.begin() + i);
}

void TQzCodeTemplateList::SetSorted(bool on)
{
    sorted_ = on;
    if (on)
        std::stable_sort(entries_.begin(), entries_.end(),
                         [](const TEntry& a, const TEntry& b) { return CompareText(a.Name, b.Name) < 0; });
}

int TQzCodeTemplateList::IndexOf(const std::string& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (SameText(entries_[static_cast<size_t>(i)].Name, name))
            return i;
    return -1;
}

std::string TQzCodeTemplateList::Find(const std::string& name) const
{
    const int i = IndexOf(name);
    if (i < 0 || !entries_[static_cast<size_t>(i)].Item)
        return std::string();
    return entries_[static_cast<size_t>(i)].Item->Code;
}

// ---- the file -----------------------------------------------------------------------------------

void LoadCodeTemplate(const std::string& fileName, TQzCodeTemplateList& list)
{
    if (!FileExists(fileName))
        return;
    std::string data;
    if (!ReadFileBytes(fileName, data))
        throw EFOpenError(fileName, std::strerror(errno ? errno : EACCES));
    ClearCodeTemplate(list);
    list.SetSorted(false);

    std::istringstream stream(data);
    TQzScanner scanner(&stream);
    const TCharSet tagOpen{'<'};
    const TCharSet tagClose{'>'};
    std::string name, description, code;
    while (!scanner.QzEOF()) {
        const std::string text = scanner.ReadStringUntil(tagOpen, false);
        if (!text.empty()) {
            code += text;
            continue;
        }
        const std::string tag = UpperCase(scanner.ReadStringUntil(tagClose, true));
        if (tag == "<N>")
            name = scanner.ReadStringUntil(tagOpen, false);
        else if (tag == "<D>")
            description = scanner.ReadStringUntil(tagOpen, false);
        else if (tag == "<R>" || tag == "</R>" || tag == "</N>" || tag == "</D>" || tag == "<C>")
            code.clear();
        else if (tag == "</C>") {
            auto item = std::make_unique<TCodeItem>();
            item->Description = description;
            item->Code = code;
            list.Add(name, std::move(item));
            name.clear();
            description.clear();
            code.clear();
        } else
            code += tag;
    }
    list.SetSorted(true);
}

void SaveCodeTemplate(const std::string& fileName, const TQzCodeTemplateList& list)
{
    std::string out;
    for (int i = 0; i < list.Count(); ++i) {
        const auto& e = list.Entry(i);
        out += "<R><N>" + e.Name + "</N><D>" + (e.Item ? e.Item->Description : std::string()) + "</D><C>" +
               (e.Item ? e.Item->Code : std::string()) + "</C></R>\r\n";
    }
    if (!WriteFileAtomic(fileName, out))
        throw EFCreateError(fileName, std::strerror(errno ? errno : EIO));
}

void AddCodeTemplate(TQzCodeTemplateList& list, const std::string& name, const std::string& description,
                     const std::string& code)
{
    auto item = std::make_unique<TCodeItem>();
    item->Description = description;
    item->Code = code;
    list.Add(name, std::move(item));
}

void DelCodeTemplate(TQzCodeTemplateList& list, int index)
{
    list.Delete(index);
}

void ClearCodeTemplate(TQzCodeTemplateList& list)
{
    list.Clear();
}

// ---- the settings object -------------------------------------------------------------------------

TQzCodeTemplates::TQzCodeTemplates()
{
    Font.Name = "NanumGothic";
    Font.Size = 9;
}

TQzCodeTemplates::~TQzCodeTemplates()
{
    if (popup_) {
        IQzCodeTemplatesPopup* p = popup_;
        popup_ = nullptr;
        p->Closed = nullptr;
        p->Insert = nullptr;
        p->ClosePopup();
    }
}

void TQzCodeTemplates::Assign(const TQzCodeTemplates& source)
{
    Width = source.Width;
    Height = source.Height;
    Font = source.Font;
    Color = source.Color;
}

void TQzCodeTemplates::Load()
{
    if (!FileExists(FileName))
        return;
    if (!popup_ && PopupFactory) {
        popup_ = PopupFactory();
        if (popup_) {
            popup_->SetBounds(0, 0, Width, Height);
            popup_->SetLook(Font, Color);
            popup_->Closed = [this] { CodeTemplatesClosed(); };
            popup_->Insert = [this](void* sender, const std::string& code) { InsertCodeTemplate(sender, code); };
        }
    }
    if (popup_) {
        LoadCodeTemplate(FileName, popup_->List());
        popup_->ListChanged();
    }
}

void TQzCodeTemplates::Show(int x, int y)
{
    if (!FileExists(FileName))
        return;
    Load();
    if (!popup_)
        return;
    popup_->SetBounds(x, y, Width, Height);
    popup_->SetLook(Font, Color);
    popup_->ShowPopup();
}

std::string TQzCodeTemplates::Find(const std::string& name) const
{
    if (!FileExists(FileName))
        return std::string();
    TQzCodeTemplateList list;
    LoadCodeTemplate(FileName, list);
    return list.Find(name);
}

void TQzCodeTemplates::Hide()
{
    if (popup_)
        popup_->ClosePopup();
}

bool TQzCodeTemplates::GetVisible() const
{
    return popup_ && popup_->PopupVisible();
}

void TQzCodeTemplates::InsertCodeTemplate(void* sender, const std::string& code)
{
    if (OnInsertTemplate)
        OnInsertTemplate(sender, code);
}
