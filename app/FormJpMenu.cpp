#include "app/FormJpMenu.h"

#include "controls/NvOS8PushButton.h"
#include "controls/TarkiForm.h"
#include "platform/core/Cp949.h"

namespace {

constexpr int FormWidth = 250;
constexpr int FormHeight = 190;

}  // namespace

TJpMenuForm::TJpMenuForm(QWidget* mainWindow, int mode) : TForm(mainWindow)
{
    Frame = BuildDialogFrame(this, Cp949("일어 변환"), true, 3);
    QWidget* body = Frame.Body;

    RadioJpMenuOption = new TRadioGroup(Cp949("변환 옵션"),
                                        {Cp949("일어->한글"), Cp949("한글->히라가나"), Cp949("한글->가타가나"),
                                         Cp949("가타가나->히라가나"), Cp949("히라가나->가타가나")},
                                        body);
    RadioJpMenuOption->setGeometry(10, 6, 140, 150);
    RadioJpMenuOption->SetItemIndex(mode >= 0 && mode < RadioJpMenuOption->ItemCount() ? mode : 1);

    const TOkCancelButtons buttons = CreateOkCancelButtons(body, this, 160, 12, 160, 42);
    OkButton = buttons.Ok;
    OkButton->SetModalResult(mrOk);
    OkButton->SetDefault(true);
    NoButton = buttons.Cancel;

    PlaceDialog(this, FormWidth, FormHeight);
}
