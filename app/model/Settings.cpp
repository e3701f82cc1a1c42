#include "app/model/Settings.h"

#include "platform/core/IniFile.h"

namespace {
int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }
}  // namespace

std::string NoticeToIni(const std::string& notice) {
    std::string r;
    r.reserve(notice.size());
    for (char c : notice) {
        if (c == '\r') continue;
        r.push_back(c == '\n' ? '\t' : c);
    }
    return r;
}

std::string NoticeFromIni(const std::string& value) {
    std::string r;
    r.reserve(value.size() + 8);
    for (char c : value) {
        if (c == '\r') continue;
        if (c == '\t') r += "\r\n";
        else r.push_back(c);
    }
    return r;
}

void LoadSettings(const std::string& iniFile, TWindowSettings& window, TCaptionInfo& user) {
    TIniFile ini(iniFile);
    window.Left = ini.ReadInteger("Window", "Left", 100);
    window.Top = ini.ReadInteger("Window", "Top", 50);
    window.Width = ini.ReadInteger("Window", "Width", window.Width);
    window.Height = ini.ReadInteger("Window", "Height", window.Height);
    window.CaptionEditorHeight = ini.ReadInteger("Window", "CaptionEditor.Height", window.CaptionEditorHeight);
    user.MakerName = ini.ReadString("User", "Name", user.MakerName);
    user.MakerMail = ini.ReadString("User", "Mail", user.MakerMail);
    user.MakerHome = ini.ReadString("User", "Home", user.MakerHome);
    user.Notice = NoticeFromIni(ini.ReadString("User", "Notice", NoticeToIni(user.Notice)));
    user.PreviewPosition = Clamp(ini.ReadInteger("Preview", "Position", user.PreviewPosition), 0, 8);
    user.TopWindow = Clamp(ini.ReadInteger("Preview", "TopWindow", user.TopWindow), 0, 2);
    user.DisplaySize = Clamp(ini.ReadInteger("Preview", "DisplaySize", user.DisplaySize), 0, 4);
    if (user.DisplaySize == 3) user.DisplaySize = 4;
}

bool SaveSettings(const std::string& iniFile, const TWindowSettings& window, const TCaptionInfo& user) {
    TIniFile ini(iniFile);
    ini.WriteInteger("Window", "Left", window.Left);
    ini.WriteInteger("Window", "Top", window.Top);
    ini.WriteInteger("Window", "Width", window.Width);
    ini.WriteInteger("Window", "Height", window.Height);
    ini.WriteInteger("Window", "CaptionEditor.Height", window.CaptionEditorHeight);
    ini.WriteString("User", "Name", user.MakerName);
    ini.WriteString("User", "Mail", user.MakerMail);
    ini.WriteString("User", "Home", user.MakerHome);
    ini.WriteString("User", "Notice", NoticeToIni(user.Notice));
    ini.WriteInteger("Preview", "Position", user.PreviewPosition);
    ini.WriteInteger("Preview", "TopWindow", user.TopWindow);
    ini.WriteInteger("Preview", "DisplaySize", user.DisplaySize);
    return ini.UpdateFile();
}
