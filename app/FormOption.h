#pragma once
// The options dialog ("환경설정"): edits the user's defaults for new documents (maker's name,
// mail, home page, notice), which the settings file keeps. OK writes them back; "취소" and "X"
// write nothing.
//
//   TOptionForm dlg(mainWindow, UserInfo(), PopupMenuMemo);
//   dlg.ShowModal();

#include "app/FormDialogFrame.h"
#include "app/model/CaptionInfo.h"
#include "editor/model/QzPadShortCut.h"

class QGroupBox;
class QLineEdit;
class QMenu;
class TNvOS8PushButton;
class TQzPad;

class TOptionForm : public TForm {
public:
    // `userInfo` is written on OK. `padPopup` (not owned, may be null) is the notice editor's
    // context menu.
    TOptionForm(QWidget* mainWindow, TCaptionInfo& userInfo, QMenu* padPopup = nullptr);
    ~TOptionForm() override;

    // Shows the dialog modally; while it is up ActivePad is the notice editor, afterwards what it
    // was before. Returns mrOk or mrCancel.
    int ShowModal();

    void OkButtonClick();

    QGroupBox* GroupMaker = nullptr;
    QGroupBox* GroupNotice = nullptr;
    QLineEdit* EditName = nullptr;
    QLineEdit* EditMail = nullptr;
    QLineEdit* EditHome = nullptr;
    TQzPad* MemoNotice = nullptr;
    TNvOS8PushButton* OkButton = nullptr;
    TNvOS8PushButton* NoButton = nullptr;
    TDialogFrame Frame;

private:
    void ShowInfo();

    TCaptionInfo& userInfo_;
    TQzPadShortCut QzPadShortCut;
};
