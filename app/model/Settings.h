#pragma once
// The settings file "Morvane.ini" beside the program: the main window's bounds, the user's
// defaults and the three preview settings.

#include <string>

#include "app/model/CaptionInfo.h"

// The main window's bounds in pixels and the height of the entry editor above the splitter.
struct TWindowSettings {
    int Left = 100;
    int Top = 50;
    int Width = 0;
    int Height = 0;
    int CaptionEditorHeight = 0;
};

// Reads every key in the file's order. `window` holds the window's current values, which are the
// defaults of Width, Height and CaptionEditor.Height (Left and Top default to 100 and 50); the user
// fields default to their current values. A missing or unreadable file gives the defaults. The
// preview numbers are clamped (Position 0..8, TopWindow 0..2, DisplaySize 0..4 with 3 read as 4).
void LoadSettings(const std::string& iniFile, TWindowSettings& window, TCaptionInfo& user);
// Writes the same keys, keeping the file's other lines; false when the file could not be written
// (the previous file is kept), and when a file stands there that could not be read (unreadable, an
// I/O error, cut short while read, no regular file): it is left as it is, since writing only
// these keys would lose the rest of it.
bool SaveSettings(const std::string& iniFile, const TWindowSettings& window, const TCaptionInfo& user);

// The notice on one line: CR removed, LF written as TAB; and back: CR removed, TAB read as CR LF.
std::string NoticeToIni(const std::string& notice);
std::string NoticeFromIni(const std::string& value);
