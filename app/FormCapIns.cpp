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

    const TOkCancelButtons buttons = CreateOkCancelButtons(body, this, 180, 12, 180, 42);
    OkButton = buttons.Ok;
    OkButton->SetModalResult(mrOk);
    OkButton->SetDefault(true);
    NoButton = buttons.Cancel;

    PlaceDialog(this, FormWidth, FormHeight);
}
