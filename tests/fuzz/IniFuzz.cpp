// The INI reader and the editor's settings file on outside bytes.
//
// Checked: every key that a section lists reads, writes back quoted and reads the same after
// the file is written and read again; the editor settings read from the bytes, once written,
// read and write again to the same bytes.

#include "tests/fuzz/FuzzSupport.h"

#include "editor/model/QzCodeTemplates.h"
#include "editor/model/QzPadModel.h"
#include "editor/model/QzPadSettings.h"
#include "platform/core/FileUtils.h"
#include "platform/core/IniFile.h"
#include "platform/core/SysUtils.h"

#include <string>
#include <vector>

namespace {

// The section names as the lines spell them ("[name]", blanks allowed around).
std::vector<std::string> SectionsOf(std::string_view bytes) {
    std::vector<std::string> names;
    size_t from = 0;
    while (from <= bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", from);
        if (end == std::string_view::npos) end = bytes.size();
        const std::string line = Trim(bytes.substr(from, end - from));
        const size_t close = line.find(']');
        if (line.size() >= 2 && line[0] == '[' && close != std::string::npos)
            names.push_back(Trim(std::string_view(line).substr(1, close - 1)));
        from = end + 1;
    }
    return names;
}

void SettingsRoundTrip(const std::string& path) {
    const std::string first = fuzz::TempPath("settings-1.ini");
    const std::string second = fuzz::TempPath("settings-2.ini");
    {
        TQzPadModel pad;
        TQzCodeTemplates templates;
        LoadSettingFromINI(pad, &templates, path);
        fuzz::Check(SaveSettingToINI(pad, &templates, first), "the settings could not be written");
    }
    {
        TQzPadModel pad;
        TQzCodeTemplates templates;
        LoadSettingFromINI(pad, &templates, first);
        fuzz::Check(SaveSettingToINI(pad, &templates, second), "the settings could not be written again");
    }
    std::string a, b;
    fuzz::Check(ReadFileBytes(first, a) && ReadFileBytes(second, b), "a settings file could not be read");
    fuzz::Check(a == b, "written settings read back to other settings");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 16384) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzz::WriteTemp("in.ini", bytes);

    struct TValue {
        std::string Section, Key, Value;
    };
    std::vector<TValue> values;
    {
        TIniFile ini(path);
        for (const std::string& section : SectionsOf(bytes)) {
            if (!ini.SectionExists(section)) continue;
            for (const std::string& key : ini.ReadSection(section)) {
                fuzz::Check(ini.ValueExists(section, key), "a listed key does not exist");
                const std::string value = ini.ReadString(section, key, "\x01");
                fuzz::Check(value != "\x01", "a listed key has no value");
                ini.ReadInteger(section, key, 0);
                ini.ReadBool(section, key, false);
                values.push_back({section, key, value});
            }
        }
        for (const TValue& v : values) {
            ini.WriteString(v.Section, v.Key, "\"" + v.Value + "\"");
            fuzz::Check(ini.ReadString(v.Section, v.Key, "") == v.Value, "a quoted value reads back otherwise");
        }
        fuzz::Check(ini.UpdateFile(), "the INI file could not be written");
    }
    const TIniFile again(path);
    for (const TValue& v : values)
        fuzz::Check(again.ReadString(v.Section, v.Key, "") == v.Value, "a value changed in the written file");

    SettingsRoundTrip(fuzz::WriteTemp("in.ini", bytes));
    return 0;
}
