// The caption editor's small modal dialogs, headless: the information and options dialogs, the
// kana conversion and insert dialogs, the special characters picker and the about box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/FormAbout.h"
#include "app/FormCapInfo.h"
#include "app/FormCapIns.h"
#include "app/FormJpMenu.h"
#include "app/FormOption.h"
#include "app/FormSymbols.h"
#include "app/Globals.h"
#include "controls/NvOS8PushButton.h"
#include "controls/TFlatComboBoxUnit.h"
#include "controls/TFlatSpeedButtonUnit.h"
#include "controls/TarkiPageControl.h"
#include "controls/TransBtn.h"
#include "document/QzText.h"
#include "editor/widget/QzPad.h"
#include "platform/core/Cp949.h"
#include "platform/gui/MenuKeys.h"
#include "platform/gui/QtText.h"
#include "platform/gui/Services.h"
#include "tests/app/AppTestSupport.h"

namespace {

// A shown main window at (left, top), width x height, on a 1024 x 768 screen.
TMainFormGeometry MainWindowAt(int left, int top, int width, int height)
{
    TMainFormGeometry g;
    g.MainVisible = true;
    g.Left = left;
    g.Top = top;
    g.Width = width;
    g.Height = height;
    g.ScreenWidth = 1024;
    g.ScreenHeight = 768;
    return g;
}

// Runs `step` once the modal loop of the dialog runs, then returns the dialog's result.
template <class TDialog>
int RunModal(TDialog& dialog, std::function<void()> step)
{
    QTimer::singleShot(0, [step] { step(); });
    return dialog.ShowModal();
}

std::string Shown(const QLabel* label) { return QStringToCp949(label->text()); }

void SendKey(QWidget* w, int key, const QString& text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
}

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApp();
        services_ = std::make_shared<TRecordingServices>();
        previous_ = InstallServices(services_);
        info_.FileName = "/tmp/a.smi";
        info_.CreateTime = "2002/09/25 14:05";
        info_.ModifyTime = "2002/09/26 08:00";
        info_.MakerName = Cp949("홍길동");
        info_.MakerMail = "hong@example.org";
        info_.MakerHome = "http://hong.example.org";
        info_.Notice = Cp949("첫 줄\r\n둘째 줄");
        user_.MakerName = Cp949("기본 이름");
        user_.MakerMail = "user@example.org";
        user_.MakerHome = "";
        user_.Notice = "user notice";
    }
    void TearDown() override
    {
        InstallServices(previous_);
        SetMainFormGeometryHook(nullptr);
        ::ActivePad = nullptr;
    }

    std::shared_ptr<TRecordingServices> services_;
    std::shared_ptr<TPlatformServices> previous_;
    TCaptionInfo info_;
    TCaptionInfo user_;
};

}  // namespace

TEST_F(DialogsTest, CapInfoShowsTheDocumentsInformation)
{
    TCapInfoForm dlg(nullptr, info_, user_, 13);
    EXPECT_EQ(Shown(dlg.LabelLine), Cp949("12 줄"));
    EXPECT_EQ(Shown(dlg.LabelCTime), "2002/09/25 14:05");
    EXPECT_EQ(Shown(dlg.LabelMTime), "2002/09/26 08:00");
    EXPECT_EQ(EditText(dlg.EditName), Cp949("홍길동"));
    EXPECT_EQ(EditText(dlg.EditHome), "http://hong.example.org");
    EXPECT_EQ(dlg.MemoNotice->Lines().Count(), 2);
    EXPECT_EQ(dlg.MemoNotice->Text(), Cp949("첫 줄\n둘째 줄"));
    EXPECT_EQ(dlg.MemoNotice->Model().ColumnCount(), 54);
    EXPECT_TRUE(dlg.MemoNotice->Options().Contains(qzoShowColumnIndicator));
    EXPECT_FALSE(dlg.MemoNotice->Options().Contains(qzoShowGutter));
    EXPECT_EQ(Cp949ToUtf8(dlg.Caption()), "자막 정보");
}

TEST_F(DialogsTest, CapInfoOkWritesWithoutMarkingModified)
{
    TCapInfoForm dlg(nullptr, info_, user_, 1);
    EXPECT_EQ(Shown(dlg.LabelLine), Cp949("0 줄"));
    TQzPad* seenActive = nullptr;
    const int result = RunModal(dlg, [&] {
        seenActive = ::ActivePad;
        SetEditText(dlg.EditName, Cp949(" 새 이름 "));
        dlg.MemoNotice->SetText("a\nb\n");
        dlg.OkButton->Click();
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(seenActive, dlg.MemoNotice);
    EXPECT_EQ(::ActivePad, nullptr);  // what it was before
    EXPECT_EQ(info_.MakerName, Cp949(" 새 이름 "));  // as typed, not trimmed
    EXPECT_EQ(info_.MakerMail, "hong@example.org");
    EXPECT_EQ(info_.Notice, "a\r\nb\r\n");
    EXPECT_EQ(info_.Modified, 0);
}

TEST_F(DialogsTest, CapInfoResetThenCancelLeavesTheInformation)
{
    const TCaptionInfo before = info_;
    TCapInfoForm dlg(nullptr, info_, user_, 5);
    std::string nameAfterReset, noticeAfterReset;
    const int result = RunModal(dlg, [&] {
        dlg.ResetInfoButton->Click();
        nameAfterReset = EditText(dlg.EditName);
        noticeAfterReset = dlg.MemoNotice->Text();
        dlg.NoButton->Click();
    });
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(nameAfterReset, Cp949("기본 이름"));
    EXPECT_EQ(noticeAfterReset, "user notice");
    EXPECT_EQ(info_.MakerName, before.MakerName);
    EXPECT_EQ(info_.MakerMail, before.MakerMail);
    EXPECT_EQ(info_.Notice, before.Notice);

    // Reset then OK takes the user's values.
    TCapInfoForm again(nullptr, info_, user_, 5);
    again.ResetInfoButton->Click();
    again.OkButtonClick();
    EXPECT_EQ(info_.MakerName, Cp949("기본 이름"));
    EXPECT_EQ(info_.MakerHome, "");
    EXPECT_EQ(info_.FileName, "/tmp/a.smi");
}

TEST_F(DialogsTest, OptionDialogEditsTheUserDefaults)
{
    {
        TOptionForm dlg(nullptr, user_);
        EXPECT_EQ(EditText(dlg.EditMail), "user@example.org");
        const int result = RunModal(dlg, [&] {
            SetEditText(dlg.EditMail, "changed@example.org");
            dlg.Frame.CloseButton->Click();
        });
        EXPECT_EQ(result, mrCancel);
        EXPECT_EQ(user_.MakerMail, "user@example.org");
    }
    TOptionForm dlg(nullptr, user_);
    ::ActivePad = nullptr;
    TQzPad* seen = nullptr;
    const int result = RunModal(dlg, [&] {
        seen = ::ActivePad;
        SetEditText(dlg.EditMail, "changed@example.org");
        dlg.MemoNotice->SetText(Cp949("공지\n둘"));
        dlg.OkButton->Click();
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(seen, dlg.MemoNotice);
    EXPECT_EQ(user_.MakerMail, "changed@example.org");
    EXPECT_EQ(user_.Notice, Cp949("공지\r\n둘"));
    EXPECT_EQ(user_.MakerName, Cp949("기본 이름"));
}

TEST_F(DialogsTest, JpMenuOffersTheModeAndReturnsTheChoice)
{
    TJpMenuForm first(nullptr);
    EXPECT_EQ(first.Mode(), 1);
    EXPECT_EQ(first.RadioJpMenuOption->ItemCount(), 5);
    TJpMenuForm wrong(nullptr, 9);
    EXPECT_EQ(wrong.Mode(), 1);

    TJpMenuForm dlg(nullptr, 4);
    EXPECT_EQ(dlg.Mode(), 4);
    const int result = RunModal(dlg, [&] {
        dlg.RadioJpMenuOption->Button(3)->click();
        dlg.OkButton->Click();
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(dlg.Mode(), 3);

    TJpMenuForm cancelled(nullptr, 0);
    EXPECT_EQ(RunModal(cancelled, [&] { cancelled.Frame.CloseButton->Click(); }), mrCancel);
}

TEST_F(DialogsTest, CapInsCancelAndCloseGiveCancel)
{
    TCapInsForm dlg(nullptr);
    EXPECT_EQ(dlg.InsertType(), 2);
    EXPECT_EQ(RunModal(dlg, [&] { dlg.NoButton->Click(); }), mrCancel);
    TCapInsForm x(nullptr);
    EXPECT_EQ(RunModal(x, [&] { x.Frame.CloseButton->Click(); }), mrCancel);
    TCapInsForm ok(nullptr);
    const int result = RunModal(ok, [&] {
        ok.RadioInsertType->Button(0)->click();
        ok.OkButton->Click();
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(ok.InsertType(), 0);
}

TEST_F(DialogsTest, DialogsAreCentredOverTheMainWindow)
{
    SetMainFormGeometryHook([] { return MainWindowAt(100, 50, 600, 400); });
    TCapInsForm dlg(nullptr);
    EXPECT_EQ(dlg.Left(), 100 + (600 - dlg.Width()) / 2);
    EXPECT_EQ(dlg.Top(), 50 + (400 - dlg.Height()) / 2);
    SetMainFormGeometryHook([] { return MainWindowAt(900, 700, 300, 200); });
    TAboutForm about(nullptr, "/opt/m/");
    EXPECT_EQ(about.Left() + about.Width(), 1024);  // kept on the screen
    EXPECT_EQ(about.Top() + about.Height(), 768);
}

TEST_F(DialogsTest, SpecGridShowsTheTabsCharacters)
{
    TSpecForm::LastPlace() = TSpecPlace{};
    TSpecForm dlg(nullptr);
    EXPECT_EQ(dlg.TabIndex(), 0);
    EXPECT_EQ(dlg.Tab->PageCount(), 7);
    EXPECT_EQ(dlg.StringGrid->rowCount(), 6);
    EXPECT_EQ(dlg.StringGrid->columnCount(), 15);
    EXPECT_EQ(QStringToCp949(dlg.StringGrid->item(5, 0)->text()), Cp949("⅛"));
    EXPECT_TRUE(dlg.StringGrid->item(5, 1)->text().isEmpty());
    EXPECT_FALSE(dlg.StringGrid->item(0, 0)->flags() & Qt::ItemIsEditable);
    EXPECT_EQ(dlg.StringGrid->parentWidget(), dlg.Tab->Pages(0));

    SendKey(dlg.StringGrid, Qt::Key_7, "7");
    EXPECT_EQ(dlg.TabIndex(), 6);
    EXPECT_EQ(dlg.StringGrid->rowCount(), 16);
    EXPECT_EQ(dlg.StringGrid->parentWidget(), dlg.Tab->Pages(6));
    SendKey(dlg.StringGrid, Qt::Key_PageDown);
    EXPECT_EQ(dlg.TabIndex(), 0);
    SendKey(dlg.StringGrid, Qt::Key_PageUp);
    EXPECT_EQ(dlg.TabIndex(), 6);
    SendKey(dlg.StringGrid, Qt::Key_8, "8");
    SendKey(dlg.StringGrid, Qt::Key_0, "0");
    EXPECT_EQ(dlg.TabIndex(), 6);
}

TEST_F(DialogsTest, SpecInsertsIntoThePadAndRemembersThePlace)
{
    TSpecForm::LastPlace() = TSpecPlace{};
    TQzPad pad;
    pad.SetText("ab");
    pad.SelectAll();
    {
        TSpecForm dlg(nullptr);
        dlg.SetTarget(&pad);
        const int result = RunModal(dlg, [&] {
            SendKey(dlg.StringGrid, Qt::Key_4, "4");
            dlg.SelectCell(3, 2);
            SendKey(dlg.StringGrid, Qt::Key_Return);
        });
        EXPECT_EQ(result, mrOk);
    }
    EXPECT_EQ(pad.Text(), SpecCellText(3, 3, 2));
    EXPECT_EQ(pad.Text(), Cp949("Ｐ"));

    TSpecForm again(nullptr);
    EXPECT_EQ(again.PadTarget(), nullptr);  // targets start cleared
    EXPECT_EQ(again.TabIndex(), 3);
    EXPECT_EQ(again.CurrentRow(), 3);
    EXPECT_EQ(again.CurrentCol(), 2);

    // Esc closes without inserting, and still remembers where it stood.
    again.SetTarget(&pad);
    const int result = RunModal(again, [&] {
        SendKey(again.StringGrid, Qt::Key_1, "1");
        again.SelectCell(5, 14);
        SendKey(again.StringGrid, Qt::Key_Escape);
    });
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(pad.Text(), Cp949("Ｐ"));
    EXPECT_EQ(TSpecForm::LastPlace().Tab, 0);
    EXPECT_EQ(TSpecForm::LastPlace().Cell, 5 * 15 + 14);

    // An empty cell inserts nothing but closes.
    TSpecForm empty(nullptr);
    empty.SetTarget(&pad);
    EXPECT_EQ(empty.CurrentRow(), 5);
    EXPECT_EQ(RunModal(empty, [&] { SendKey(empty.StringGrid, Qt::Key_Space, " "); }), mrOk);
    EXPECT_EQ(pad.Text(), Cp949("Ｐ"));
}

TEST_F(DialogsTest, SpecRememberedRowIsKeptWithinTheTab)
{
    TSpecForm::LastPlace() = TSpecPlace{0, 14 * 15 + 3};
    TSpecForm dlg(nullptr);
    EXPECT_EQ(dlg.CurrentRow(), 5);
    EXPECT_EQ(dlg.CurrentCol(), 3);
}

TEST_F(DialogsTest, SpecReplacesTheComboSelection)
{
    TSpecForm::LastPlace() = TSpecPlace{};
    TFlatComboBox combo;
    combo.SetStyle(csDropDown);
    combo.SetText("abcd");
    combo.SetSelStart(1);
    combo.SetSelLength(2);
    TSpecForm dlg(nullptr);
    dlg.SetTarget(&combo);
    dlg.SelectCell(0, 2);
    dlg.ChooseCell();
    EXPECT_EQ(combo.Text(), "a" + Cp949("…") + "d");
    EXPECT_EQ(combo.SelStart(), 3);
}

TEST_F(DialogsTest, AboutHelpButtonsOpenTheHelpTexts)
{
    TAboutForm dlg(nullptr, "/opt/morvane/");
    EXPECT_EQ(Shown(dlg.ProgramTitle), "Morvane 1.22 p1");
    dlg.ManualButton->Click();
    dlg.UpdateButton->Click();
    dlg.AboutButton->Click();
    ASSERT_EQ(services_->ShellOpens.size(), 3u);
    EXPECT_EQ(services_->ShellOpens[0].Target, "/opt/morvane/help/Manual.txt");
    EXPECT_EQ(services_->ShellOpens[0].Params, "");
    EXPECT_EQ(services_->ShellOpens[1].Target, "/opt/morvane/help/History.txt");
    EXPECT_EQ(services_->ShellOpens[2].Target, "/opt/morvane/help/Morvane.txt");

    dlg.HelpButtonClick(dlg.CloseButton);  // not a help button
    dlg.HelpButtonClick(nullptr);
    EXPECT_EQ(services_->ShellOpens.size(), 3u);

    dlg.UrlLabelClick();
    dlg.EmailLabelClick();
    ASSERT_EQ(services_->ShellOpens.size(), 5u);
    EXPECT_EQ(services_->ShellOpens[3].Target, kMakerSite);
    EXPECT_EQ(services_->ShellOpens[4].Target, std::string("mailto:") + kMakerMail);
    EXPECT_TRUE(services_->Messages.empty());

    services_->ShellOpenResult = false;
    dlg.ManualButton->Click();
    ASSERT_EQ(services_->Messages.size(), 1u);
    EXPECT_NE(services_->Messages[0].Text.find("/opt/morvane/help/Manual.txt"), std::string::npos);
}

TEST_F(DialogsTest, AboutUsesTheProgramFolderByDefault)
{
    const std::string saved = ::AppDir;
    ::AppDir = "/usr/lib/morvane/";
    TAboutForm dlg(nullptr);
    ::AppDir = saved;
    dlg.ManualButton->Click();
    ASSERT_EQ(services_->ShellOpens.size(), 1u);
    EXPECT_EQ(services_->ShellOpens[0].Target, "/usr/lib/morvane/help/Manual.txt");
    EXPECT_EQ(RunModal(dlg, [&] { dlg.CloseButton->Click(); }), mrOk);
}

TEST_F(DialogsTest, NoticeEditorRunsTheKeysOfItsContextMenu)
{
    QMenu popup;
    int spec = 0, undo = 0, jp = 0, refreshed = 0;
    const auto item = [&](const char* caption, const char* key, int& count) {
        QAction* a = popup.addAction(QString::fromLatin1(caption));
        SetItemKey(a, QKeySequence(QString::fromLatin1(key)));
        QObject::connect(a, &QAction::triggered, [&count] { ++count; });
        return a;
    };
    item("Undo", "Ctrl+Z", undo);
    item("Special", "F4", spec);
    QAction* jpItem = item("Japanese", "Alt+J", jp);
    // The menu brings its items up to date when asked, as the main window does for its pads.
    bool selection = false;
    QObject::connect(&popup, &QMenu::aboutToShow, [&] {
        ++refreshed;
        jpItem->setEnabled(selection);
    });

    TCapInfoForm dlg(nullptr, info_, user_, 1, &popup);
    const std::string before = dlg.MemoNotice->Text();
    const auto press = [&](int key, Qt::KeyboardModifiers mods, const QString& text) {
        QKeyEvent e(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(dlg.MemoNotice, &e);
    };
    press(Qt::Key_F4, Qt::NoModifier, QString());
    EXPECT_EQ(spec, 1);
    press(Qt::Key_J, Qt::AltModifier, QStringLiteral("j"));
    EXPECT_EQ(jp, 0);  // disabled without a selection, and the key goes no further
    selection = true;
    press(Qt::Key_J, Qt::AltModifier, QStringLiteral("j"));
    EXPECT_EQ(jp, 1);
    // The menu's keys come before the editor's own bindings.
    press(Qt::Key_Z, Qt::ControlModifier, QStringLiteral("\x1a"));
    EXPECT_EQ(undo, 1);
    EXPECT_EQ(refreshed, 4);
    EXPECT_EQ(dlg.MemoNotice->Text(), before);
    // Keys that no item takes reach the editor.
    press(Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    EXPECT_EQ(dlg.MemoNotice->Text(), "x" + before);
}
