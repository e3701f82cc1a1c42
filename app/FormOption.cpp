#include "app/FormOption.h"

#include <QGroupBox>

#include "controls/TarkiForm.h"
#include "platform/core/Cp949.h"

namespace {

constexpr int FormWidth = 430;
constexpr int FormHeight = 340;

}  // namespace

TOptionForm::TOptionForm(QWidget* mainWindow, TCaptionInfo& userInfo, QMenu* padPopup)
    : TMakerInfoForm(mainWindow, userInfo, Cp949("환경설정"))
{
    QWidget* body = Frame.Body;

    GroupMaker = new QGroupBox(UiText("자막 제작자 정보"), body);
    GroupMaker->setFont(DialogFont());
    GroupMaker->setGeometry(8, 6, FormWidth - 26, 98);
    CreateMakerFields(GroupMaker, 22, 24, 230, 310);

    GroupNotice = new QGroupBox(UiText("자막 공지"), body);
    GroupNotice->setFont(DialogFont());
    GroupNotice->setGeometry(8, 108, FormWidth - 26, 170);
    CreateNotice(GroupNotice, padPopup, 8, 20, FormWidth - 42, 142);

    CreateOkCancel(FormWidth, 284);

    FinishSetup(FormWidth, FormHeight);
}
