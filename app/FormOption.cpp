#include "app/FormOption.h"

#include <QGroupBox>
#include <QLineEdit>

#include "app/Globals.h"
#include "app/model/MakerInfo.h"
#include "controls/NvOS8PushButton.h"
#include "controls/TarkiForm.h"
#include "editor/widget/QzPad.h"
#include "platform/core/Cp949.h"

namespace {

constexpr int FormWidth = 430;
constexpr int FormHeight = 340;

}  // namespace

TOptionForm::TOptionForm(QWidget* mainWindow, TCaptionInfo& userInfo, QMenu* padPopup)
    : TForm(mainWindow), userInfo_(userInfo)
{
    QzPadShortCut.ResetToDefaultShortCut();
    Frame = BuildDialogFrame(this, Cp949("환경설정"), true, 3);
    QWidget* body = Frame.Body;

    GroupMaker = new QGroupBox(UiText("자막 제작자 정보"), body);
    GroupMaker->setFont(DialogFont());
    GroupMaker->setGeometry(8, 6, FormWidth - 26, 98);
    CreateLabel(GroupMaker, "이    름", 12, 22, 60, 16);
    EditName = CreateEdit(GroupMaker, 72, 19, 230, 21);
    CreateLabel(GroupMaker, "이 메 일", 12, 46, 60, 16);
    EditMail = CreateEdit(GroupMaker, 72, 43, 230, 21);
    CreateLabel(GroupMaker, "홈페이지", 12, 70, 60, 16);
    EditHome = CreateEdit(GroupMaker, 72, 67, 310, 21);

    GroupNotice = new QGroupBox(UiText("자막 공지"), body);
    GroupNotice->setFont(DialogFont());
    GroupNotice->setGeometry(8, 108, FormWidth - 26, 170);
    MemoNotice = CreateNoticeMemo(GroupNotice, &QzPadShortCut, padPopup, 8, 20, FormWidth - 42, 142);

    OkButton = new TNvOS8PushButton(body, this);
    OkButton->SetCaption(Cp949("확인"));
    OkButton->SetDefault(true);
    OkButton->SetBounds(FormWidth - 172, 284, 70, 24);
    OkButton->OnClick = [this](TObject*) { OkButtonClick(); };
    NoButton = new TNvOS8PushButton(body, this);
    NoButton->SetCaption(Cp949("취소"));
    NoButton->SetCancel(true);
    NoButton->SetModalResult(mrCancel);
    NoButton->SetBounds(FormWidth - 94, 284, 70, 24);

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

TOptionForm::~TOptionForm()
{
    if (::ActivePad == MemoNotice)
        ::ActivePad = nullptr;
    MemoNotice->SetShortCut(nullptr);
}

void TOptionForm::ShowInfo()
{
    SetEditText(EditName, userInfo_.MakerName);
    SetEditText(EditMail, userInfo_.MakerMail);
    SetEditText(EditHome, userInfo_.MakerHome);
    MemoNotice->SetText(userInfo_.Notice);
}

int TOptionForm::ShowModal()
{
    TQzPad* previous = ::ActivePad;
    ::ActivePad = MemoNotice;
    const int result = TForm::ShowModal();
    ::ActivePad = previous;
    return result;
}

void TOptionForm::OkButtonClick()
{
    ApplyMakerInfo(userInfo_, TMakerInfo{EditText(EditName), EditText(EditMail), EditText(EditHome),
                                         NoticeFromLines(MemoNotice->Text())});
    SetModalResult(mrOk);
}
