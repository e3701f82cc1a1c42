#include "platform/core/StringList.h"

#include <cstring>

#include "platform/core/FileUtils.h"
#include "platform/core/SysUtils.h"

int TStringList::Add(std::string s) {
    Strings.push_back(std::move(s));
    return Count() - 1;
}

void TStringList::Insert(int index, std::string s) {
    if (index < 0) index = 0;
    if (index > Count()) index = Count();
    Strings.insert(Strings.begin() + index, std::move(s));
}

void TStringList::Delete(int index) {
    if (index >= 0 && index < Count()) Strings.erase(Strings.begin() + index);
}

std::string TStringList::Text() const {
    size_t total = 0;
    for (const auto& s : Strings) total += s.size() + 2;
    std::string r;
    r.reserve(total);
    for (const auto& s : Strings) {
        r += s;
        r += "\r\n";
    }
    return r;
}

void TStringList::SetText(std::string_view text) {
    Strings.clear();
    size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    size_t i = 0, n = text.size();
    while (i < n) {
        size_t start = i;
        while (i < n && text[i] != '\r' && text[i] != '\n') ++i;
        Strings.emplace_back(text.substr(start, i - start));
        if (i < n && text[i] == '\r') ++i;
        if (i < n && text[i] == '\n') ++i;
    }
}

bool TStringList::LoadFromFile(const std::string& path) {
    std::string data;
    if (!ReadFileBytes(path, data)) {
        Strings.clear();
        return false;
    }
    SetText(data);
    return true;
}

bool TStringList::SaveToFile(const std::string& path) const { return WriteFileAtomic(path, Text()); }

int TStringList::IndexOf(std::string_view s) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(Strings[static_cast<size_t>(i)], s)) return i;
    return -1;
}

int TStringList::IndexOfName(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string& line = Strings[static_cast<size_t>(i)];
        size_t eq = line.find('=');
        if (eq != std::string::npos && SameText(std::string_view(line).substr(0, eq), name)) return i;
    }
    return -1;
}

std::string TStringList::Names(int i) const {
    if (i < 0 || i >= Count()) return std::string();
    const std::string& line = Strings[static_cast<size_t>(i)];
    size_t eq = line.find('=');
    return eq == std::string::npos ? line : line.substr(0, eq);
}

std::string TStringList::Values(std::string_view name) const {
    int i = IndexOfName(name);
    if (i < 0) return std::string();
    const std::string& line = Strings[static_cast<size_t>(i)];
    return line.substr(line.find('=') + 1);
}
