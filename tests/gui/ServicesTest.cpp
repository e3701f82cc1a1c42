#include <gtest/gtest.h>

#include "platform/core/Cp949.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Screens.h"
#include "platform/gui/Services.h"
#include "platform/gui/UiThread.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <thread>

namespace {

// Installs recording services for one test and restores the previous ones.
struct Recording {
    std::shared_ptr<TRecordingServices> rec = std::make_shared<TRecordingServices>();
    std::shared_ptr<TPlatformServices> previous;
    Recording() { previous = InstallServices(rec); }
    ~Recording() { InstallServices(previous); }
};

}  // namespace

TEST(Services, MessageBoxesAreRecordedAndAnsweredFromTheQueue)
{
    Recording r;
    Application()->Title = "Morvane 1.22 p1";
    ShowMessage(Cp949("저장했습니다."));
    ASSERT_EQ(r.rec->Messages.size(), 1u);
    EXPECT_EQ(r.rec->Messages[0].Caption, "Morvane 1.22 p1");
    EXPECT_EQ(r.rec->Messages[0].Flags, unsigned(MB_OK));
    EXPECT_EQ(MessageBox("q", Cp949("메시지"), MB_YESNOCANCEL), IDYES);  // empty queue: first button
    r.rec->MessageAnswers.push_back(IDCANCEL);
    EXPECT_EQ(MessageBox("q", Cp949("메시지"), MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(r.rec->Messages[2].Caption, Cp949("메시지"));
}

TEST(Services, FileDialogsClipboardAndShellOpen)
{
    Recording r;
    TOpenDialog open;
    open.Filter = "Captions|*.smi|All|*.*";
    open.FilterIndex = 2;
    EXPECT_FALSE(open.Execute());  // no answer queued: cancelled
    r.rec->FileAnswers.push_back("/tmp/a.smi");
    EXPECT_TRUE(open.Execute());
    EXPECT_EQ(open.FileName, "/tmp/a.smi");
    ASSERT_EQ(r.rec->FileDialogs.size(), 2u);
    EXPECT_EQ(r.rec->FileDialogs[0].FilterIndex, 2);
    EXPECT_FALSE(r.rec->FileDialogs[0].Save);
    TSaveDialog save;
    save.Options |= ofOverwritePrompt;
    r.rec->FileAnswers.push_back("");
    EXPECT_FALSE(save.Execute());
    EXPECT_TRUE(r.rec->FileDialogs[2].Save);
    EXPECT_TRUE(r.rec->FileDialogs[2].OverwritePrompt);

    Services().SetClipboard(Cp949("가나"), "{\\rtf1}");
    EXPECT_EQ(Services().ClipboardText(), Cp949("가나"));
    EXPECT_EQ(r.rec->ClipboardRtf, "{\\rtf1}");
    EXPECT_TRUE(Services().ShellOpen("/opt/Kelvoran", "Morvane 123"));
    ASSERT_EQ(r.rec->ShellOpens.size(), 1u);
    EXPECT_EQ(r.rec->ShellOpens[0].Params, "Morvane 123");
}

TEST(Services, QtClipboardCarriesCodePage949Text)
{
    TQtServices qt;
    qt.SetClipboard(Cp949("한글 text"), std::string());
    EXPECT_EQ(qt.ClipboardText(), Cp949("한글 text"));
    EXPECT_TRUE(qt.ClipboardHasText());
}

TEST(Screens, AnInjectedLayoutReplacesQtsAndCanBeRemoved)
{
    SetScreenProvider(std::make_shared<TFixedScreenProvider>(std::vector<TRect>{Rect(0, 0, 1024, 768)}, true,
                                                             Rect(0, 738, 1024, 768)));
    EXPECT_EQ(ScreenWidth(), 1024);
    EXPECT_EQ(ScreenHeight(), 768);
    TRect bar;
    EXPECT_TRUE(Screens().TaskBar(bar));
    EXPECT_EQ(bar.Top, 738);
    SetScreenProvider(nullptr);
    EXPECT_FALSE(Screens().Monitors().empty());
}

TEST(UiThread, WorkPostedFromAnotherThreadRunsOnTheUiThread)
{
    EXPECT_TRUE(IsUiThread());
    bool ranOnUi = false;
    bool done = false;
    std::thread t([&]() {
        EXPECT_FALSE(IsUiThread());
        PostToUiThread([&]() { ranOnUi = IsUiThread(); done = true; });
    });
    t.join();
    for (int i = 0; i < 100 && !done; ++i)
        QTest::qWait(10);
    EXPECT_TRUE(done);
    EXPECT_TRUE(ranOnUi);
}

TEST(Services, QtMessageBoxShowsKoreanButtonsAndMapsTheAnswer)
{
    TQtServices qt;
    QStringList captions;
    QTimer::singleShot(50, [&]() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        for (QAbstractButton* b : box->buttons())
            captions << b->text();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == QString::fromUtf8("아니요"))
                b->click();
    });
    EXPECT_EQ(qt.MessageBox(nullptr, Cp949("저장할까요?"), Cp949("메시지"), MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
    EXPECT_TRUE(captions.contains(QString::fromUtf8("예")));
    EXPECT_TRUE(captions.contains(QString::fromUtf8("취소")));

    // The box stands above the window it is given, and stays on top while another window of the
    // program does (which would cover it otherwise).
    QWidget parent;
    parent.show();
    QWidget onTop(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
    for (const bool topmost : {false, true}) {
        onTop.setVisible(topmost);
        QWidget* boxParent = nullptr;
        bool boxOnTop = !topmost;
        QTimer::singleShot(50, [&]() {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxParent = box->parentWidget();
                boxOnTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
                box->button(QMessageBox::Ok)->click();
            }
        });
        EXPECT_EQ(qt.MessageBox(&parent, "text", "caption", MB_OK), IDOK);
        EXPECT_EQ(boxParent, &parent);
        EXPECT_EQ(boxOnTop, topmost);
    }
}

TEST(Screens, TheHourglassCoversEveryWindowUntilReset)
{
    SetScreenCursor(crHourGlass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    SetScreenCursor(crHourGlass);  // no second layer
    SetScreenCursor(crDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ScreenCursor(), crDefault);
}
