// Return and Escape in the dialogs, each opened for real from the main window: from every kind
// of control (line edit, memo, radio button, check box, a focused button) Escape runs the
// cancel button, and Return the focused button or else the default button.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

#include "app/CaptionList.h"
#include "app/FindForm.h"
#include "app/FormAbout.h"
#include "app/FormCapInfo.h"
#include "app/FormCapIns.h"
#include "app/FormJpMenu.h"
#include "app/FormOption.h"
#include "app/Globals.h"
#include "app/MainForm.h"
#include "app/PadLink.h"
#include "controls/NvOS8PushButton.h"
#include "controls/TFlatComboBoxUnit.h"
#include "controls/TFlatSpeedButtonUnit.h"
#include "controls/TransBtn.h"
#include "editor/widget/QzPad.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "platform/gui/QtText.h"
#include "platform/gui/Services.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/FakeMainView.h"

namespace {

void Press(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString()) {
    w->setFocus();
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &release);
}

const char* KeyName(int key) { return key == Qt::Key_Escape ? "Escape" : "Return"; }

class DialogKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApp();
        services = std::make_shared<TRecordingServices>();
        previous = InstallServices(services);
        dir = MakeTempDir();
        IsClosing = 0;
        form = std::make_unique<TMainForm>(dir);
        form->show();
    }
    void TearDown() override {
        form.reset();
        InstallServices(previous);
    }

    // Runs `open`, which shows a modal dialog of type T; `act` runs on it once it is up. True when
    // the dialog had closed by itself when `act` returned (else it is cancelled after a while).
    template <class T>
    bool WithDialog(const std::function<void()>& open, const std::function<void(T&)>& act) {
        bool closed = false, seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = dynamic_cast<T*>(QApplication::activeModalWidget());
            if (!dialog) return;
            seen = true;
            act(*dialog);
            closed = !dialog->isVisible();
            if (!closed) dialog->SetModalResult(mrCancel);
        });
        open();
        EXPECT_TRUE(seen) << "the dialog did not open";
        return closed;
    }

    std::shared_ptr<TRecordingServices> services;
    std::shared_ptr<TPlatformServices> previous;
    std::string dir;
    std::unique_ptr<TMainForm> form;
};

// The information and options dialogs: the name typed is kept only when the dialog is accepted.
// Neither has a default button, so Return stays with the control that has the focus: the one-line
// edits keep the dialog up, the notice editor starts a new line, a button runs itself.
TEST_F(DialogKeysTest, MakerInfoDialogs) {
    enum TControl { Name, Mail, Home, Memo, Reset, Ok, Cancel };
    for (const bool information : {true, false}) {
        for (const TControl control : {Name, Mail, Home, Memo, Reset, Ok, Cancel}) {
            if (control == Reset && !information) continue;
            for (const int key : {Qt::Key_Return, Qt::Key_Escape}) {
                SCOPED_TRACE(std::string(information ? "information " : "options ") + std::to_string(control) + " " +
                             KeyName(key));
                TCaptionInfo& info = information ? form->Controller().CurrentCaption : form->Controller().UserInfo;
                info.MakerName = "old";
                info.Notice = "";
                form->Controller().UserInfo.Notice = "";
                if (information) form->Controller().UserInfo.MakerName = "user";
                const auto open = [&] {
                    if (information)
                        Press(form->ListView, Qt::Key_I, Qt::AltModifier, QStringLiteral("i"));
                    else
                        form->Action("mnuOption")->trigger();
                };
                const bool closed = WithDialog<TMakerInfoForm>(open, [&](TMakerInfoForm& d) {
                    d.EditName->setText(QStringLiteral("new"));
                    d.MemoNotice->SetText("a");
                    d.MemoNotice->SelectAll();
                    EXPECT_EQ(ActivePad, d.MemoNotice);
                    QWidget* targets[] = {d.EditName, d.EditMail, d.EditHome, d.MemoNotice,
                                          information ? static_cast<TCapInfoForm&>(d).ResetInfoButton : nullptr,
                                          d.OkButton, d.NoButton};
                    Press(targets[control], key, Qt::NoModifier,
                          key == Qt::Key_Return ? QStringLiteral("\r") : QStringLiteral("\x1b"));
                    if (!d.isVisible()) return;
                    // Still up: the keys go on landing in the dialog.
                    EXPECT_EQ(ActivePad, d.MemoNotice);
                    EXPECT_EQ(d.MemoNotice->Text(), control == Memo ? "\n" : control == Reset ? "" : "a");
                    EXPECT_EQ(EditText(d.EditName), control == Reset ? "user" : "new");
                });
                const bool up = key == Qt::Key_Return && control != Ok && control != Cancel;
                EXPECT_EQ(closed, !up);
                const bool accepted = key == Qt::Key_Return && control == Ok;
                EXPECT_EQ(info.MakerName, accepted ? "new" : "old");
                EXPECT_EQ(info.Notice, accepted ? "a" : "");
                EXPECT_EQ(ActivePad, form->CaptionEdit);
            }
        }
    }
    // Shift+Return is the memo's new line too.
    const bool closed = WithDialog<TMakerInfoForm>(
        [&] { form->Action("mnuCapInfo")->trigger(); },
        [&](TMakerInfoForm& d) {
            d.MemoNotice->SetText("a");
            d.MemoNotice->SelectAll();
            Press(d.MemoNotice, Qt::Key_Return, Qt::ShiftModifier, QStringLiteral("\r"));
            EXPECT_EQ(d.MemoNotice->Text(), "\n");
        });
    EXPECT_FALSE(closed);
    // The kana (Alt+J) and special characters (F4) dialogs opened from the notice editor belong
    // to the information dialog, in front of it.
    for (const int key : {Qt::Key_J, Qt::Key_F4}) {
        SCOPED_TRACE(key == Qt::Key_J ? "Alt+J" : "F4");
        WithDialog<TMakerInfoForm>([&] { form->Action("mnuCapInfo")->trigger(); }, [&](TMakerInfoForm& d) {
            d.MemoNotice->SetText(Cp949("가"));
            d.MemoNotice->SelectAll();
            QWidget* parent = nullptr;
            QTimer::singleShot(0, [&] {
                auto* inner = dynamic_cast<TForm*>(QApplication::activeModalWidget());
                if (!inner || inner == &d) return;
                parent = inner->parentWidget();
                inner->SetModalResult(mrCancel);
            });
            Press(d.MemoNotice, key, key == Qt::Key_J ? Qt::AltModifier : Qt::NoModifier);
            EXPECT_EQ(parent, &d);
        });
    }
}

// The kana dialog (a selection in the entry editor is converted on OK) and the insert dialog
// (the other file's captions come in on OK): radio buttons and the two buttons.
TEST_F(DialogKeysTest, KanaAndInsertDialogs) {
    WriteFile(dir + "b.smi", "<SAMI><BODY><SYNC Start=9000><P>ins</BODY></SAMI>");
    enum TControl { Radio, Ok, Cancel };
    for (const TControl control : {Radio, Ok, Cancel}) {
        for (const int key : {Qt::Key_Return, Qt::Key_Escape}) {
            SCOPED_TRACE(std::to_string(control) + " " + KeyName(key));
            const bool accepted = key == Qt::Key_Return && control != Cancel;

            TPadLink::SetText(form->CaptionEdit, Cp949("가"));
            TPadLink::SelectAll(form->CaptionEdit);
            const auto kana = [&] { Press(TPadLink::Widget(form->CaptionEdit), Qt::Key_J, Qt::AltModifier, QStringLiteral("j")); };
            EXPECT_TRUE(WithDialog<TJpMenuForm>(kana, [&](TJpMenuForm& d) {
                d.RadioJpMenuOption->SetItemIndex(2);
                QWidget* targets[] = {d.RadioJpMenuOption->Button(2), d.OkButton, d.NoButton};
                Press(targets[control], key);
            }));
            EXPECT_EQ(TPadLink::Text(form->CaptionEdit), accepted ? Cp949("ガ") : Cp949("가"));

            const int rows = form->ListModel->rowCount();
            services->FileAnswers.push_back(dir + "b.smi");
            const auto insert = [&] { Press(form->ListView, Qt::Key_I, Qt::ControlModifier); };
            EXPECT_TRUE(WithDialog<TCapInsForm>(insert, [&](TCapInsForm& d) {
                QWidget* targets[] = {d.RadioInsertType->Button(0), d.OkButton, d.NoButton};
                Press(targets[control], key);
            }));
            EXPECT_EQ(form->ListModel->rowCount(), rows + (accepted ? 1 : 0));
        }
    }
}

// The about box closes by Escape from its memo and its focused button; Return closes it only from
// the button, which is not the default button.
TEST_F(DialogKeysTest, AboutBox) {
    for (const bool onButton : {false, true})
        for (const int key : {Qt::Key_Return, Qt::Key_Escape}) {
            SCOPED_TRACE(std::to_string(onButton) + " " + KeyName(key));
            const auto open = [&] { Press(form->ListView, Qt::Key_F1, Qt::AltModifier); };
            const bool closed = WithDialog<TAboutForm>(open, [&](TAboutForm& d) {
                EXPECT_NE(d.Frame.TitleBar, nullptr);
                Press(onButton ? static_cast<QWidget*>(d.CloseButton) : d.Memo, key);
            });
            EXPECT_EQ(closed, onButton || key == Qt::Key_Escape);
        }
}

// Every dialog as the user opens it: its shaded buttons (0xD2D2D2, a plain 12-pixel font, 25 to
// 27 pixels high, the caption whole), which of them answer Return and Escape from anywhere in it,
// its title bar (the film icon left of the title, the hidden "_" and the "X" in the title bar's
// look, 21 x 17 inside the bar) and the about box's framed help buttons.
TEST_F(DialogKeysTest, EveryDialogsButtonsAndTitleBar) {
    struct TRow {
        const char* Name;
        std::function<void()> Open;
        int Shaded;
        std::vector<std::string> Defaults, Cancels;
        int HelpButtons;
        bool Modal = true;
    };
    const auto typeIn = [&](int key, Qt::KeyboardModifiers mods) {
        TPadLink::SetText(form->CaptionEdit, Cp949("가"));
        TPadLink::SelectAll(form->CaptionEdit);
        Press(TPadLink::Widget(form->CaptionEdit), key, mods);
    };
    WriteFile(dir + "b.smi", "<SAMI><BODY><SYNC Start=9000><P>ins</BODY></SAMI>");
    const TRow rows[] = {
        {"information", [&] { Press(form->ListView, Qt::Key_I, Qt::AltModifier); }, 3, {}, {"취소"}, 0},
        {"options", [&] { form->Action("mnuOption")->trigger(); }, 2, {}, {"취소"}, 0},
        {"kana", [&] { typeIn(Qt::Key_J, Qt::AltModifier); }, 2, {"확인"}, {"취소"}, 0},
        {"insert",
         [&] {
             services->FileAnswers.push_back(dir + "b.smi");
             Press(form->ListView, Qt::Key_I, Qt::ControlModifier);
         },
         2, {"확인"}, {"취소"}, 0},
        {"about", [&] { Press(form->ListView, Qt::Key_F1, Qt::AltModifier); }, 1, {}, {"확               인"}, 3},
        {"special characters", [&] { typeIn(Qt::Key_F4, Qt::NoModifier); }, 0, {}, {}, 0},
        {"find", [&] { Press(form->ListView, Qt::Key_F, Qt::ControlModifier); }, 3, {}, {"닫기"}, 0, false},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        const auto check = [&](QWidget& d) {
            std::vector<std::string> defaults, cancels;
            // The control classes are plain C++ classes under QWidget: found by dynamic_cast.
            std::vector<TNvOS8PushButton*> shaded;
            std::vector<TFlatSpeedButton*> flat;
            std::vector<TTransparentButton*> help;
            for (QWidget* w : d.findChildren<QWidget*>()) {
                if (auto* b = dynamic_cast<TNvOS8PushButton*>(w)) shaded.push_back(b);
                if (auto* b = dynamic_cast<TFlatSpeedButton*>(w)) flat.push_back(b);
                if (auto* b = dynamic_cast<TTransparentButton*>(w)) help.push_back(b);
            }
            EXPECT_EQ(shaded.size(), size_t(row.Shaded));
            for (TNvOS8PushButton* b : shaded) {
                ExpectShadedButtonLook(*b);
                EXPECT_GE(b->Height(), 25) << b->Caption();
                EXPECT_LE(b->Height(), 27) << b->Caption();
                if (b->Default()) defaults.push_back(b->Caption());
                if (b->Cancel()) cancels.push_back(b->Caption());
            }
            std::vector<std::string> expected;
            for (const std::string& c : row.Defaults) expected.push_back(Cp949(c.c_str()));
            EXPECT_EQ(defaults, expected);
            expected.clear();
            for (const std::string& c : row.Cancels) expected.push_back(Cp949(c.c_str()));
            EXPECT_EQ(cancels, expected);

            std::vector<std::string> titleButtons;
            for (TFlatSpeedButton* b : flat) {
                titleButtons.push_back(b->Caption() + (b->isVisibleTo(&d) ? "" : " hidden"));
                ExpectTitleButtonLook(*b);
                EXPECT_EQ(b->size(), QSize(21, 17)) << b->Caption();
                EXPECT_TRUE(b->parentWidget()->rect().contains(b->geometry())) << b->Caption();
            }
            // The "X" stands in the middle of its frame: as many rows free above it as below.
            const QImage x = flat.back()->PaintToImage();
            int first = -1, last = -1;
            for (int y = 1; y < x.height() - 1; ++y)
                for (int col = 1; col < x.width() - 1; ++col)
                    if (x.pixel(col, y) == qRgb(255, 255, 255)) {
                        if (first < 0) first = y;
                        last = y;
                    }
            EXPECT_EQ(first - 1, x.height() - 2 - last);
            EXPECT_EQ(titleButtons, (std::vector<std::string>{"_ hidden", "X"}));
            auto* icon = d.findChild<QLabel*>(QStringLiteral("Image1"));
            ASSERT_NE(icon, nullptr);
            EXPECT_EQ(icon->pixmap().size(), QSize(16, 10));
            EXPECT_TRUE(icon->isVisibleTo(&d));
            QList<QLabel*> title = icon->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
            title.removeOne(icon);
            ASSERT_EQ(title.size(), 1);
            EXPECT_GE(title.front()->x(), icon->geometry().right() + 1) << "the icon stands left of the title";

            EXPECT_EQ(help.size(), size_t(row.HelpButtons));
            for (TTransparentButton* b : help) EXPECT_EQ(b->FrameStyle(), fsLight) << b->Caption();
        };
        if (!row.Modal) {
            row.Open();
            ASSERT_NE(form->FindDialog(), nullptr);
            check(*form->FindDialog());
            Press(form->FindDialog()->EditWord, Qt::Key_Escape);
            EXPECT_FALSE(form->FindDialog()->isVisible());
        } else {
            WithDialog<TForm>(row.Open, [&](TForm& d) { check(d); });
        }
    }
}

// The find dialog: Escape closes it from the word box, a check box, a direction and a button;
// Return in the word box searches, elsewhere it runs the focused button only.
TEST_F(DialogKeysTest, FindDialog) {
    Press(form->ListView, Qt::Key_F, Qt::ControlModifier);
    TFindForm* find = form->FindDialog();
    ASSERT_NE(find, nullptr);
    QWidget* controls[] = {find->EditWord, find->chkMatchCase, find->chkFindUp, find->NextFindButton};
    for (QWidget* control : controls) {
        find->ShowFind();
        ASSERT_TRUE(find->isVisible());
        Press(control, Qt::Key_Escape);
        EXPECT_FALSE(find->isVisible());
    }
    find->ShowFind();
    find->EditWord->SetText("nowhere");
    const size_t before = services->Messages.size();
    Press(find->chkMatchCase, Qt::Key_Return);
    EXPECT_EQ(services->Messages.size(), before);
    EXPECT_TRUE(find->isVisible());
    Press(find->EditWord, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    Press(find->NextFindButton, Qt::Key_Return);
    ASSERT_EQ(services->Messages.size(), before + 2);
    EXPECT_EQ(services->Messages.back().Text, Cp949("검색된 단어가 없습니다."));

    // Shown again by Ctrl+F, after it was closed or while it stays up behind the main window, the
    // dialog has its word box focused with the last word selected whole: a key typed to the
    // focused control replaces the word, and Return searches the new one.
    const auto typeToFocus = [](int key, const QString& text) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(focus, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(focus, &release);
    };
    for (const bool closed : {true, false}) {
        SCOPED_TRACE(closed ? "closed" : "left up");
        if (closed) Press(find->EditWord, Qt::Key_Escape);
        // The window manager activates the main window when the dialog goes or is left behind.
        form->activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == form.get(); }));
        Press(form->ListView, Qt::Key_F, Qt::ControlModifier);
        ASSERT_TRUE(WaitUntil([&] { return QApplication::focusWidget() == find->EditWord; }));
        const QString word = closed ? QStringLiteral("q") : QStringLiteral("z");
        typeToFocus(word.at(0).unicode(), word);
        EXPECT_EQ(find->WordText(), word.toStdString());
        const size_t shown = services->Messages.size();
        typeToFocus(Qt::Key_Return, QStringLiteral("\r"));
        ASSERT_EQ(services->Messages.size(), shown + 1);
        EXPECT_EQ(services->Messages.back().Parent, find);
        EXPECT_EQ(find->History().Items().Strings.front(), word.toStdString());
    }
}

}  // namespace
