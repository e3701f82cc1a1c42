#pragma once
// An INI file with the profile-string rules: sections and keys match ignoring ASCII case, the
// first occurrence of a section or key wins, values are kept as bytes (blanks around them are
// trimmed and one pair of surrounding double quotes removed on reading), and every other line
// (comments, blank lines, duplicates) is kept as it stands when the file is written back. A value
// is written on one line: each CR or LF in it is written as a blank.
//
// Writes change the in-memory copy and are written to disk by UpdateFile() (also called by the
// destructor when something changed). The file is replaced atomically, so a failed write leaves
// the previous settings intact. A file that stands at the name but could not be read when the
// object was made (no permission to read it, an I/O error, cut short while read, no regular file)
// is never written over: what it holds beyond the keys written here would be lost.

#include <string>
#include <string_view>
#include <vector>

#include "platform/core/FileUtils.h"

class TIniFile {
public:
    explicit TIniFile(std::string fileName);
    ~TIniFile();
    TIniFile(const TIniFile&) = delete;
    TIniFile& operator=(const TIniFile&) = delete;

    const std::string& FileName() const { return fileName_; }

    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    // A value that is not a whole number gives `def`.
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    // "0" is false, any other number true; a value that is not a number gives `def`.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // The keys of a section in file order (first occurrences only).
    std::vector<std::string> ReadSection(std::string_view section) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    void DeleteKey(std::string_view section, std::string_view key);
    void EraseSection(std::string_view section);

    // Writes the file when it changed; false when it could not be written, or may not be because
    // it stood there but could not be read.
    bool UpdateFile();

private:
    // Index of the first "[section]" line, or -1.
    int FindSection(std::string_view section) const;
    // Index of the first "key=" line inside the section starting at `sectionLine`, or -1.
    int FindKey(int sectionLine, std::string_view key) const;
    // One past the last line belonging to the section starting at `sectionLine`.
    int SectionEnd(int sectionLine) const;

    std::string fileName_;
    std::vector<std::string> lines_;
    // How the read of the file ended when the object was made: only a file read whole (Ok) or
    // one that was not there (Missing) may be written.
    TFileRead read_ = TFileRead::Missing;
    bool dirty_ = false;
};
