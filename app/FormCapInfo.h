#pragma once
// The caption information dialog ("자막 정보"): edits the maker's name, mail, home page and the
// notice of the open document. OK writes them into the document's information without marking
// the document modified (they are written with the next save); "취소" and "X" write nothing.
// "옵션값으로 바꾸기" fills the fields from the user's defaults (written only on OK).
//
//   TCapInfoForm dlg(mainWindow, CurrentCaption(), UserInfo(), listRowCount, PopupMenuMemo);
//   dlg.ShowModal();

#include <string>

#include "app/FormDialogFrame.h"
#include "app/model/CaptionInfo.h"
#include "editor/model/QzPadShortCut.h"

class QLabel;
class QLineEdit;
class QMenu;
class TNvOS8PushButton;
class TQzPad;

class TCapInfoForm : public TForm {
public:
    // `info` is written on OK; `userInfo` is only read. `listRows` is the caption list's row count
    // with the banner row. `padPopup` (not owned, may be null) is the notice editor's context menu.
    TCapInfoForm(QWidget* mainWindow, TCaptionInfo& info, const TCaptionInfo& userInfo, int listRows,
                 QMenu* padPopup = nullptr);
    ~TCapInfoForm() override;

    // Shows the dialog modally; while it is up ActivePad is the notice editor, afterwards what it
    // was before. Returns mrOk or mrCancel.
    int ShowModal();

    void OkButtonClick();
    void ResetInfoButtonClick();

    QLineEdit* EditName = nullptr;
    QLineEdit* EditMail = nullptr;
    QLineEdit* EditHome = nullptr;
    TQzPad* MemoNotice = nullptr;
    QLabel* LabelCTime = nullptr;
    QLabel* LabelMTime = nullptr;
    QLabel* LabelLine = nullptr;
    TNvOS8PushButton* ResetInfoButton = nullptr;
    TNvOS8PushButton* OkButton = nullptr;
    TNvOS8PushButton* NoButton = nullptr;
    TDialogFrame Frame;

private:
    void ShowInfo();

    TCaptionInfo& info_;
    const TCaptionInfo& userInfo_;
    int listRows_;
    TQzPadShortCut QzPadShortCut;
};
