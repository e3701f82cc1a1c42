#pragma once
// The caption information dialog ("자막 정보"): edits the maker's name, mail, home page and the
// notice of the open document. OK writes them into the document's information without marking
// the document modified (they are written with the next save); "취소" and "X" write nothing.
// "옵션값으로 바꾸기" fills the fields from the user's defaults (written only on OK).
//
//   TCapInfoForm dlg(mainWindow, CurrentCaption(), UserInfo(), listRowCount, PopupMenuMemo);
//   dlg.ShowModal();

#include <string>

#include "app/MakerInfoFields.h"

class QLabel;
class TNvOS8PushButton;

class TCapInfoForm : public TMakerInfoForm {
public:
    // `info` is written on OK; `userInfo` is only read. `listRows` is the caption list's row count
    // with the banner row. `padPopup` (not owned, may be null) is the notice editor's context menu.
    TCapInfoForm(QWidget* mainWindow, TCaptionInfo& info, const TCaptionInfo& userInfo, int listRows,
                 QMenu* padPopup = nullptr);

    void ResetInfoButtonClick();

    QLabel* LabelCTime = nullptr;
    QLabel* LabelMTime = nullptr;
    QLabel* LabelLine = nullptr;
    TNvOS8PushButton* ResetInfoButton = nullptr;

private:
    void ShowInfo() override;

    TCaptionInfo& info_;
    const TCaptionInfo& userInfo_;
    int listRows_;
};
