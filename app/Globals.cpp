#include "app/Globals.h"

#include "app/MainForm.h"

std::string AppDir;
std::string IniFileName = "Morvane.ini";
TQzPad* ActivePad = nullptr;
int IsClosing = 0;
int JpConvertMode = 1;

TMainForm* MainForm = nullptr;
TMovieForm* MovieForm = nullptr;
TFindForm* FindForm = nullptr;

TCaptionInfo& UserInfo() {
    static TCaptionInfo before;
    return MainForm ? MainForm->Controller().UserInfo : before;
}

TCaptionInfo& CurrentCaption() {
    static TCaptionInfo before;
    return MainForm ? MainForm->Controller().CurrentCaption : before;
}
