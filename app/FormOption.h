#pragma once
// The options dialog ("환경설정"): edits the user's defaults for new documents (maker's name,
// mail, home page, notice), which the settings file keeps. OK writes them back; "취소" and "X"
// write nothing.
//
//   TOptionForm dlg(mainWindow, UserInfo(), PopupMenuMemo);
//   dlg.ShowModal();

#include "app/MakerInfoFields.h"

class QGroupBox;

class TOptionForm : public TMakerInfoForm {
public:
    // `userInfo` is written on OK. `padPopup` (not owned, may be null) is the notice editor's
    // context menu.
    TOptionForm(QWidget* mainWindow, TCaptionInfo& userInfo, QMenu* padPopup = nullptr);

    QGroupBox* GroupMaker = nullptr;
    QGroupBox* GroupNotice = nullptr;
};
