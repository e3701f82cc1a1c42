#pragma once
// A list of byte-string lines with the class library's string-list behaviour.

#include <string>
#include <string_view>
#include <vector>

class TStringList {
public:
    std::vector<std::string> Strings;

    int Count() const { return static_cast<int>(Strings.size()); }
    const std::string& operator[](int i) const { return Strings[static_cast<size_t>(i)]; }
    std::string& operator[](int i) { return Strings[static_cast<size_t>(i)]; }

    int Add(std::string s);
    void Insert(int index, std::string s);
    void Delete(int index);
    void Clear() { Strings.clear(); }
    void Assign(const TStringList& other) { Strings = other.Strings; }

    // Every line followed by CR LF.
    std::string Text() const;
    // Splits at CR LF, LF or CR; a final line break does not make an empty last line; nothing
    // after the first NUL byte is read.
    void SetText(std::string_view text);

    // Loads the file's bytes with SetText; false (list cleared) when the file cannot be read.
    bool LoadFromFile(const std::string& path);
    // Writes Text() (CR LF line ends); false when the file cannot be written.
    bool SaveToFile(const std::string& path) const;

    // First line equal to `s` ignoring ASCII case; -1 when none.
    int IndexOf(std::string_view s) const;
    // First line whose part before its first '=' equals `name` ignoring ASCII case; -1 when none.
    int IndexOfName(std::string_view name) const;
    // The part before the first '=' of line i (the whole line when it has no '=').
    std::string Names(int i) const;
    // Everything after the first '=' of the line named `name`; empty when there is none.
    std::string Values(std::string_view name) const;
};
