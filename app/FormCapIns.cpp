#include "app/FormCapIns.h"

#include "controls/NvOS8PushButton.h"
#include "controls/TarkiForm.h"
#include "platform/core/Cp949.h"

namespace {

constexpr int FormWidth = 270;
constexpr int FormHeight = 132;

}  // namespace

TCapInsForm::TCapInsForm(QWidget* mainWindow) : TForm(mainWindow)
{
    Frame = BuildDialogFrame(this, Cp949("자막 삽입"), true, 3);
    QWidget* body = Frame.Body;

    RadioInsertType = new TRadioGroup(
        Cp949("삽입 옵션"), {Cp949("현재 커서뒤로 삽입"), Cp949("자막 앞에 삽입"), Cp949("자막 뒤에 삽입")}, body);
    RadioInsertType->setGeometry(10, 6, 160, 92);
    RadioInsertType->SetItemIndex(2);

    OkButton = new TNvOS8PushButton(body, this);
    OkButton->SetCaption(Cp949("확인"));
    OkButton->SetDefault(true);
    OkButton->SetModalResult(mrOk);
    OkButton->SetBounds(180, 12, 70, 24);
    NoButton = new TNvOS8PushButton(body, this);
    NoButton->SetCaption(Cp949("취소"));
    NoButton->SetCancel(true);
    NoButton->SetModalResult(mrCancel);
    NoButton->SetBounds(180, 42, 70, 24);

    PlaceDialog(this, FormWidth, FormHeight);
}
