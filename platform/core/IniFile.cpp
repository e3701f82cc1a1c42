#include "platform/core/IniFile.h"

#include "platform/core/FileUtils.h"
#include "platform/core/StringList.h"
#include "platform/core/SysUtils.h"

namespace {

// "[name]" (blanks allowed around) -> name; false for any other line.
bool SectionName(const std::string& line, std::string& name) {
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    size_t close = t.find(']');
    if (close == std::string::npos) return false;
    name = Trim(std::string_view(t).substr(1, close - 1));
    return true;
}

// "key=value" -> key (trimmed); false for lines without '=' or starting with ';'.
bool KeyName(const std::string& line, std::string& key) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    std::string t = Trim(std::string_view(line).substr(0, eq));
    if (!t.empty() && t[0] == ';') return false;
    key = t;
    return true;
}

}  // namespace

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {
    std::string data;
    read_ = ReadRegularFile(fileName_, data);
    if (read_ != TFileRead::Ok) return;
    TStringList list;
    list.SetText(data);
    lines_ = std::move(list.Strings);
}

TIniFile::~TIniFile() { UpdateFile(); }

int TIniFile::FindSection(std::string_view section) const {
    std::string name;
    for (size_t i = 0; i < lines_.size(); ++i)
        if (SectionName(lines_[i], name) && SameText(name, section)) return static_cast<int>(i);
    return -1;
}

int TIniFile::SectionEnd(int sectionLine) const {
    std::string name;
    size_t i = static_cast<size_t>(sectionLine) + 1;
    while (i < lines_.size() && !SectionName(lines_[i], name)) ++i;
    return static_cast<int>(i);
}

int TIniFile::FindKey(int sectionLine, std::string_view key) const {
    std::string k;
    int end = SectionEnd(sectionLine);
    for (int i = sectionLine + 1; i < end; ++i)
        if (KeyName(lines_[static_cast<size_t>(i)], k) && SameText(k, key)) return i;
    return -1;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    int s = FindSection(section);
    if (s < 0) return std::string(def);
    int k = FindKey(s, key);
    if (k < 0) return std::string(def);
    const std::string& line = lines_[static_cast<size_t>(k)];
    std::string v = Trim(std::string_view(line).substr(line.find('=') + 1));
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return v;
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
    return StrToIntDef(ReadString(section, key, ""), def);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool TIniFile::SectionExists(std::string_view section) const { return FindSection(section) >= 0; }

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
    int s = FindSection(section);
    return s >= 0 && FindKey(s, key) >= 0;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    int s = FindSection(section);
    if (s < 0) return keys;
    int end = SectionEnd(s);
    std::string k;
    for (int i = s + 1; i < end; ++i) {
        if (!KeyName(lines_[static_cast<size_t>(i)], k)) continue;
        bool seen = false;
        for (const auto& e : keys) seen = seen || SameText(e, k);
        if (!seen) keys.push_back(k);
    }
    return keys;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    std::string line = std::string(key) + "=" + std::string(value);
    // A line break in the value would end the line early and let the rest read as keys or a
    // section of their own; it is written as a blank.
    for (size_t i = key.size() + 1; i < line.size(); ++i)
        if (line[i] == '\r' || line[i] == '\n') line[i] = ' ';
    int s = FindSection(section);
    if (s < 0) {
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(line);
    } else {
        int k = FindKey(s, key);
        if (k >= 0) {
            if (lines_[static_cast<size_t>(k)] == line) return;
            lines_[static_cast<size_t>(k)] = line;
        } else {
            // After the section's last non-blank line, so blank separators stay between sections.
            int end = SectionEnd(s);
            while (end > s + 1 && Trim(lines_[static_cast<size_t>(end - 1)]).empty()) --end;
            lines_.insert(lines_.begin() + end, line);
        }
    }
    dirty_ = true;
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, IntToStr(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
    int s = FindSection(section);
    if (s < 0) return;
    int k = FindKey(s, key);
    if (k < 0) return;
    lines_.erase(lines_.begin() + k);
    dirty_ = true;
}

void TIniFile::EraseSection(std::string_view section) {
    int s = FindSection(section);
    if (s < 0) return;
    lines_.erase(lines_.begin() + s, lines_.begin() + SectionEnd(s));
    dirty_ = true;
}

bool TIniFile::UpdateFile() {
    if (!dirty_) return true;
    if (read_ != TFileRead::Ok && read_ != TFileRead::Missing) return false;
    TStringList list;
    list.Strings = lines_;
    if (!list.SaveToFile(fileName_)) return false;
    dirty_ = false;
    return true;
}
