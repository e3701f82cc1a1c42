#include "app/FormCapInfo.h"

#include <QLabel>
#include <QLineEdit>

#include "app/Globals.h"
#include "app/model/MakerInfo.h"
#include "controls/NvOS8PushButton.h"
#include "controls/TarkiForm.h"
#include "editor/widget/QzPad.h"
#include "platform/core/Cp949.h"
#include "platform/gui/QtText.h"

namespace {

constexpr int FormWidth = 430;
constexpr int FormHeight = 330;

}  // namespace

TCapInfoForm::TCapInfoForm(QWidget* mainWindow, TCaptionInfo& info, const TCaptionInfo& userInfo, int listRows,
                           QMenu* padPopup)
    : TForm(mainWindow), info_(info), userInfo_(userInfo), listRows_(listRows)
{
    QzPadShortCut.ResetToDefaultShortCut();
    Frame = BuildDialogFrame(this, Cp949("자막 정보"), true, 3);
    QWidget* body = Frame.Body;

    CreateLabel(body, "이    름", 12, 12, 60, 16);
    EditName = CreateEdit(body, 72, 9, 190, 21);
    CreateLabel(body, "이 메 일", 12, 38, 60, 16);
    EditMail = CreateEdit(body, 72, 35, 190, 21);
    CreateLabel(body, "홈페이지", 12, 64, 60, 16);
    EditHome = CreateEdit(body, 72, 61, 190, 21);

    CreateLabel(body, "제작:", 276, 12, 34, 16);
    LabelCTime = CreateLabel(body, "", 310, 12, 106, 16);
    CreateLabel(body, "수정:", 276, 38, 34, 16);
    LabelMTime = CreateLabel(body, "", 310, 38, 106, 16);
    LabelLine = CreateLabel(body, "", 310, 64, 106, 16);

    CreateLabel(body, "자막공지", 12, 92, 80, 16);
    MemoNotice = CreateNoticeMemo(body, &QzPadShortCut, padPopup, 12, 110, FormWidth - 34, 150);

    ResetInfoButton = new TNvOS8PushButton(body, this);
    ResetInfoButton->SetCaption(Cp949("옵션값으로 바꾸기"));
    ResetInfoButton->SetBounds(12, 270, 130, 24);
    ResetInfoButton->OnClick = [this](TObject*) { ResetInfoButtonClick(); };
    OkButton = new TNvOS8PushButton(body, this);
    OkButton->SetCaption(Cp949("확인"));
    OkButton->SetDefault(true);
    OkButton->SetBounds(FormWidth - 172, 270, 70, 24);
    OkButton->OnClick = [this](TObject*) { OkButtonClick(); };
    NoButton = new TNvOS8PushButton(body, this);
    NoButton->SetCaption(Cp949("취소"));
    NoButton->SetCancel(true);
    NoButton->SetModalResult(mrCancel);
    NoButton->SetBounds(FormWidth - 94, 270, 70, 24);

    setTabOrder(EditName, EditMail);
    setTabOrder(EditMail, EditHome);
    setTabOrder(EditHome, MemoNotice);

    PlaceDialog(this, FormWidth, FormHeight);
    ShowInfo();
    OnShow = [this](TObject*) {
        ShowInfo();
        EditName->setFocus();
    };
}

TCapInfoForm::~TCapInfoForm()
{
    if (::ActivePad == MemoNotice)
        ::ActivePad = nullptr;
    MemoNotice->SetShortCut(nullptr);
}

void TCapInfoForm::ShowInfo()
{
    SetEditText(EditName, info_.MakerName);
    SetEditText(EditMail, info_.MakerMail);
    SetEditText(EditHome, info_.MakerHome);
    MemoNotice->SetText(info_.Notice);
    LabelCTime->setText(Cp949ToQString(info_.CreateTime));
    LabelMTime->setText(Cp949ToQString(info_.ModifyTime));
    LabelLine->setText(Cp949ToQString(CaptionLineCountText(listRows_)));
}

int TCapInfoForm::ShowModal()
{
    TQzPad* previous = ::ActivePad;
    ::ActivePad = MemoNotice;
    const int result = TForm::ShowModal();
    ::ActivePad = previous;
    return result;
}

void TCapInfoForm::OkButtonClick()
{
    ApplyMakerInfo(info_, TMakerInfo{EditText(EditName), EditText(EditMail), EditText(EditHome),
                                     NoticeFromLines(MemoNotice->Text())});
    SetModalResult(mrOk);
}

void TCapInfoForm::ResetInfoButtonClick()
{
    SetEditText(EditName, userInfo_.MakerName);
    SetEditText(EditMail, userInfo_.MakerMail);
    SetEditText(EditHome, userInfo_.MakerHome);
    MemoNotice->SetText(userInfo_.Notice);
}
