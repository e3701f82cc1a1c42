#include "app/FormCapInfo.h"

#include <QLabel>

#include "app/WindowLook.h"
#include "app/model/MakerInfo.h"
#include "controls/NvOS8PushButton.h"
#include "controls/TarkiForm.h"
#include "platform/core/Cp949.h"
#include "platform/gui/QtText.h"

namespace {

constexpr int FormWidth = 430;
constexpr int FormHeight = 330;

}  // namespace

TCapInfoForm::TCapInfoForm(QWidget* mainWindow, TCaptionInfo& info, const TCaptionInfo& userInfo, int listRows,
                           QMenu* padPopup)
    : TMakerInfoForm(mainWindow, info, Cp949("자막 정보")), info_(info), userInfo_(userInfo), listRows_(listRows)
{
    QWidget* body = Frame.Body;

    CreateMakerFields(body, 12, 26, 190, 190);

    CreateLabel(body, "제작:", 276, 12, 34, 16);
    LabelCTime = CreateLabel(body, "", 310, 12, 106, 16);
    CreateLabel(body, "수정:", 276, 38, 34, 16);
    LabelMTime = CreateLabel(body, "", 310, 38, 106, 16);
    LabelLine = CreateLabel(body, "", 310, 64, 106, 16);

    CreateLabel(body, "자막공지", 12, 92, 80, 16);
    CreateNotice(body, padPopup, 12, 110, FormWidth - 34, 150);

    ResetInfoButton = new TNvOS8PushButton(body, this);
    ResetInfoButton->SetCaption(Cp949("옵션값으로 바꾸기"));
    SetShadedButtonLook(ResetInfoButton);
    ResetInfoButton->SetBounds(12, 270, 130, 26);
    ResetInfoButton->OnClick = [this](TObject*) { ResetInfoButtonClick(); };
    CreateOkCancel(FormWidth, 270);

    FinishSetup(FormWidth, FormHeight);
}

void TCapInfoForm::ShowInfo()
{
    ShowFields(info_);
    LabelCTime->setText(Cp949ToQString(info_.CreateTime));
    LabelMTime->setText(Cp949ToQString(info_.ModifyTime));
    LabelLine->setText(Cp949ToQString(CaptionLineCountText(listRows_)));
}

void TCapInfoForm::ResetInfoButtonClick()
{
    ShowFields(userInfo_);
}
