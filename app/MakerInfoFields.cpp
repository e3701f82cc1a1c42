#include "app/MakerInfoFields.h"

#include <QLineEdit>

#include "app/Globals.h"
#include "app/model/MakerInfo.h"
#include "controls/NvOS8PushButton.h"
#include "controls/TarkiForm.h"
#include "editor/widget/QzPad.h"
#include "platform/core/Cp949.h"

TMakerInfoForm::TMakerInfoForm(QWidget* mainWindow, TCaptionInfo& target, const std::string& title)
    : TForm(mainWindow), target_(target)
{
    QzPadShortCut.ResetToDefaultShortCut();
    Frame = BuildDialogFrame(this, title, true, 3);
}

TMakerInfoForm::~TMakerInfoForm()
{
    if (::ActivePad == MemoNotice)
        ::ActivePad = nullptr;
    if (MemoNotice)
        MemoNotice->SetShortCut(nullptr);
}

void TMakerInfoForm::CreateMakerFields(QWidget* parent, int labelTop, int rowStep, int nameWidth, int homeWidth)
{
    CreateLabel(parent, "이    름", 12, labelTop, 60, 16);
    EditName = CreateEdit(parent, 72, labelTop - 3, nameWidth, 21);
    CreateLabel(parent, "이 메 일", 12, labelTop + rowStep, 60, 16);
    EditMail = CreateEdit(parent, 72, labelTop + rowStep - 3, nameWidth, 21);
    CreateLabel(parent, "홈페이지", 12, labelTop + 2 * rowStep, 60, 16);
    EditHome = CreateEdit(parent, 72, labelTop + 2 * rowStep - 3, homeWidth, 21);
}

void TMakerInfoForm::CreateNotice(QWidget* parent, QMenu* padPopup, int x, int y, int w, int h)
{
    MemoNotice = CreateNoticeMemo(parent, &QzPadShortCut, padPopup, x, y, w, h);
}

void TMakerInfoForm::CreateOkCancel(int formWidth, int top)
{
    const TOkCancelButtons buttons = CreateOkCancelButtons(Frame.Body, this, formWidth - 172, top, formWidth - 94, top);
    OkButton = buttons.Ok;
    OkButton->OnClick = [this](TObject*) { OkButtonClick(); };
    NoButton = buttons.Cancel;
}

void TMakerInfoForm::FinishSetup(int width, int height)
{
    setTabOrder(EditName, EditMail);
    setTabOrder(EditMail, EditHome);
    setTabOrder(EditHome, MemoNotice);

    PlaceDialog(this, width, height);
    ShowInfo();
    OnShow = [this](TObject*) {
        ShowInfo();
        EditName->setFocus();
    };
}

void TMakerInfoForm::ShowFields(const TCaptionInfo& source)
{
    SetEditText(EditName, source.MakerName);
    SetEditText(EditMail, source.MakerMail);
    SetEditText(EditHome, source.MakerHome);
    MemoNotice->SetText(source.Notice);
}

int TMakerInfoForm::ShowModal()
{
    TQzPad* previous = ::ActivePad;
    ::ActivePad = MemoNotice;
    const int result = TForm::ShowModal();
    ::ActivePad = previous;
    return result;
}

void TMakerInfoForm::OkButtonClick()
{
    ApplyMakerInfo(target_, TMakerInfo{EditText(EditName), EditText(EditMail), EditText(EditHome),
                                       NoticeFromLines(MemoNotice->Text())});
    SetModalResult(mrOk);
}
