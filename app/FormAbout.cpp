#include "app/FormAbout.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>

#include "app/Globals.h"
#include "app/WindowLook.h"
#include "app/model/CaptionInfo.h"
#include "controls/NvOS8PushButton.h"
#include "controls/TarkiForm.h"
#include "controls/TransBtn.h"
#include "platform/core/Cp949.h"
#include "platform/gui/QtText.h"
#include "platform/gui/Services.h"

const char* const kMakerMail = "morvane@example.org";

namespace {

constexpr int FormWidth = 360;
constexpr int FormHeight = 288;

const char* const kNotice =
    "이 프로그램은 누구나 자유롭게 사용할 수 있습니다.\n"
    "다른 사람에게 전할 때에는 프로그램과 도움말 파일을\n"
    "고치지 말고 함께 전해 주십시오.\n"
    "프로그램을 사용하여 생긴 문제에 대해서는\n"
    "제작자가 책임지지 않습니다.";

}  // namespace

TAboutForm::TAboutForm(QWidget* mainWindow, const std::string& appDir)
    : TForm(mainWindow), appDir_(appDir.empty() ? ::AppDir : appDir)
{
    Frame = BuildDialogFrame(this, Cp949("모르반 정보"), true, 5);
    QWidget* body = Frame.Body;

    const std::string title = Application()->Title.empty() ? std::string(kApplicationTitle) : Application()->Title;
    ProgramTitle = new QLabel(Cp949ToQString(title), body);
    QFont titleFont = DialogFont();
    titleFont.setPixelSize(20);
    titleFont.setBold(true);
    ProgramTitle->setFont(titleFont);
    ProgramTitle->setGeometry(14, 12, FormWidth - 40, 28);
    // Presses go through to the body panel, which moves the window.
    ProgramTitle->setAttribute(Qt::WA_TransparentForMouseEvents);

    CreateLabel(body, "HOME:", 14, 48, 44, 16);
    UrlLabel = CreateLabel(body, "", 60, 48, FormWidth - 84, 16);
    UrlLabel->setText(QString::fromUtf8(kMakerSite));
    CreateLabel(body, "MAIL:", 14, 68, 44, 16);
    EmailLabel = CreateLabel(body, "", 60, 68, FormWidth - 84, 16);
    EmailLabel->setText(QString::fromUtf8(kMakerMail));
    for (QLabel* link : {UrlLabel, EmailLabel}) {
        link->setStyleSheet(QStringLiteral("color: #0000c0;"));
        link->setCursor(Qt::WhatsThisCursor);
        link->installEventFilter(this);
    }

    Memo = new QPlainTextEdit(body);
    Memo->setFont(DialogFont());
    Memo->setReadOnly(true);
    Memo->setFrameShape(QFrame::NoFrame);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setPlainText(UiText(kNotice));
    Memo->setGeometry(14, 92, FormWidth - 38, 90);

    struct THelp {
        TTransparentButton** Button;
        const char* Caption;
        const char* Hint;
    };
    const THelp helps[] = {{&UpdateButton, "업데이트 내용", "History"},
                           {&AboutButton, "모르반이란?", "Morvane"},
                           {&ManualButton, "사용방법", "Manual"}};
    int x = 14;
    for (const THelp& h : helps) {
        auto* b = new TTransparentButton(body, this);
        b->SetCaption(Cp949(h.Caption));
        b->SetFrameStyle(fsLight);
        b->Hint = h.Hint;
        b->ShowHint = true;
        b->setToolTip(QString::fromUtf8(h.Hint));
        b->SetBounds(x, 192, 100, 24);
        b->OnClick = [this](TObject* sender) { HelpButtonClick(sender); };
        *h.Button = b;
        x += 108;
    }

    CloseButton = new TNvOS8PushButton(body, this);
    CloseButton->SetCaption(Cp949("확               인"));
    SetShadedButtonLook(CloseButton);
    CloseButton->SetCancel(true);
    CloseButton->SetModalResult(mrOk);
    CloseButton->SetBounds(14, 224, FormWidth - 38, 26);

    PlaceDialog(this, FormWidth, FormHeight);
}

void OpenOrReport(const std::string& target)
{
    if (!Services().ShellOpen(target))
        ShowMessage(Cp949("열 수 없습니다.\n") + Cp949FromUtf8(target));
}

void TAboutForm::HelpButtonClick(TObject* sender)
{
    auto* button = dynamic_cast<TTransparentButton*>(sender);
    if (!button)
        return;
    OpenOrReport(appDir_ + "help/" + button->Hint + ".txt");
}

void TAboutForm::UrlLabelClick() { OpenOrReport(QStringToPath(UrlLabel->text())); }

void TAboutForm::EmailLabelClick() { OpenOrReport("mailto:" + QStringToPath(EmailLabel->text())); }

bool TAboutForm::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        if (watched == UrlLabel) {
            UrlLabelClick();
            return true;
        }
        if (watched == EmailLabel) {
            EmailLabelClick();
            return true;
        }
    }
    return TForm::eventFilter(watched, e);
}
