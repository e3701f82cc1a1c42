#pragma once
// The state that the program's windows share: the program's folder and settings file, the editor
// control that the edit commands act on, the closing flag and the window pointers.

#include <string>

#include "app/model/CaptionInfo.h"

class TQzPad;
class TMainForm;
class TMovieForm;
class TFindForm;

// The program's folder with its trailing '/'; set when the main window is created.
extern std::string AppDir;
// "Morvane.ini", made absolute (AppDir + name) when the main window is created.
extern std::string IniFileName;
// The editor control the edit commands act on: the entry editor, or a dialog's notice editor
// while that dialog is open. Null before the main window exists.
extern TQzPad* ActivePad;
// 1 once the main window has closed (after the settings were written); the movie window's
// handlers then do nothing.
extern int IsClosing;
// The Japanese conversion mode last confirmed (1 at start).
extern int JpConvertMode;

extern TMainForm* MainForm;
extern TMovieForm* MovieForm;
extern TFindForm* FindForm;

// The user's defaults and preview settings, and the information of the open caption document.
// Both live in the main window; before it exists they refer to records with the reset values.
TCaptionInfo& UserInfo();
TCaptionInfo& CurrentCaption();
