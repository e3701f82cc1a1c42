// The main window driven headless: recording stand-ins answer the message boxes and file dialogs,
// a recording movie port stands for the movie window, and the checks compare rows (as the list
// shows them) and the bytes of the written files.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QDropEvent>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>
#include <QUrl>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <set>

#include "app/CaptionList.h"
#include "app/FindForm.h"
#include "app/Globals.h"
#include "app/MainForm.h"
#include "app/MovieForm.h"
#include "app/PadLink.h"
#include "controls/FileDrag.h"
#include "controls/NvOS8PushButton.h"
#include "controls/QzCaptionLabel.h"
#include "controls/TFlatComboBoxUnit.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "platform/core/IniFile.h"
#include "platform/gui/QtText.h"
#include "platform/gui/Services.h"
#include "platform/gui/SignalNotifier.h"
#include "tests/ChildRun.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/FakeMainView.h"

namespace {

// Signals taken by the handler that stood before the main window's, by number.
volatile sig_atomic_t countedSignals[NSIG];

void CountSignal(int signo) { countedSignals[signo] = countedSignals[signo] + 1; }

std::string SyncLine(int ms, const std::string& text) {
    return "<SYNC START=" + std::to_string(ms) + "><P CLASS=KALO_KRCC>\r\n" + text + "\r\n";
}

std::string SamiFile(const std::string& body) {
    return "<SAMI>\r\n<HEAD>\r\n<TITLE>t</TITLE>\r\n</HEAD>\r\n<BODY>\r\n" + body + "</BODY>\r\n</SAMI>\r\n";
}

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApp();
        services = std::make_shared<TRecordingServices>();
        previous = InstallServices(services);
        dir = MakeTempDir();
        IsClosing = 0;
    }
    void TearDown() override {
        form.reset();
        InstallServices(previous);
    }
    void Create() {
        form = std::make_unique<TMainForm>(dir);
        form->SetMoviePort(&movie);
        form->show();
    }

    // The list's cell as the user sees it, back in code page 949.
    std::string Cell(int row, int column) {
        return QStringToCp949(form->ListModel->index(row, column).data().toString());
    }
    int RowCount() { return form->ListModel->rowCount(); }

    void ClickRow(int row) {
        QRect r = form->ListView->visualRect(form->ListModel->index(row, 1));
        ASSERT_TRUE(r.isValid());
        QPoint at = r.center();
        QMouseEvent press(QEvent::MouseButtonPress, at, form->ListView->viewport()->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form->ListView->viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, form->ListView->viewport()->mapToGlobal(at),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(form->ListView->viewport(), &release);
    }

    std::string Entry() { return TPadLink::Text(form->CaptionEdit); }
    void TypeEntry(const std::string& text) { TPadLink::SetText(form->CaptionEdit, text); }
    std::string SyncField() { return form->EditSync->text().toStdString(); }
    void Trigger(const char* action) {
        QAction* a = form->Action(action);
        ASSERT_NE(a, nullptr) << action;
        // Qt disables a hidden action; a hidden item runs all the same.
        ASSERT_TRUE(a->isEnabled() || !a->isVisible()) << action;
        a->trigger();
    }
    std::string LastMessage() { return services->Messages.empty() ? "" : services->Messages.back().Text; }

    std::shared_ptr<TRecordingServices> services;
    std::shared_ptr<TPlatformServices> previous;
    std::string dir;
    TFakeMovie movie;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormTest, StartsWithBannerRowDefaultsAndTitle) {
    Create();
    EXPECT_EQ(form->windowTitle().toStdString(), "Morvane 1.22 p1");
    ASSERT_EQ(RowCount(), 1);
    EXPECT_EQ(Cell(0, 0), "        0");
    EXPECT_EQ(Cell(0, 1), TCaptionRows::BannerText());
    EXPECT_EQ(ActivePad, form->CaptionEdit);
    EXPECT_EQ(AppDir, dir);
    EXPECT_EQ(IniFileName, dir + "Morvane.ini");
    EXPECT_EQ(UserInfo().PreviewPosition, 5);
    EXPECT_EQ(UserInfo().TopWindow, 0);
    EXPECT_EQ(UserInfo().DisplaySize, 4);
    EXPECT_EQ(form->x(), 100);
    EXPECT_EQ(form->y(), 50);
    for (const char* name : {"mnuNew", "mnuOpen", "mnuSave", "mnuInsert", "mnuStripTag", "mnuAutoUpdate",
                             "mnuCapInfo", "mnuOption", "mnuAbout", "mnuFind", "mnuFindNext"})
        EXPECT_TRUE(form->Action(name)->isEnabled()) << name;
    // The word-wrap menu belongs to the advanced mode.
    EXPECT_FALSE(form->mnuWordWrap->menuAction()->isVisible());
}

TEST_F(MainFormTest, FindNextWithoutAWordOpensTheFindDialogOnce) {
    Create();
    EXPECT_EQ(form->FindDialog(), nullptr);
    Trigger("mnuFindNext");
    ASSERT_NE(form->FindDialog(), nullptr);
    EXPECT_EQ(FindForm, form->FindDialog());
    EXPECT_TRUE(form->FindDialog()->isVisible());
    // It stands centred over the main window, not in the corner of the screen.
    const QRect main = form->frameGeometry();
    const QRect dialog = form->FindDialog()->frameGeometry();
    EXPECT_NEAR(dialog.center().x(), main.center().x(), 1);
    EXPECT_NEAR(dialog.center().y(), main.center().y(), 1);
    TFindForm* first = form->FindDialog();
    Trigger("mnuFind");
    EXPECT_EQ(form->FindDialog(), first);

    // Japanese conversion without a selection opens nothing and keeps the mode.
    TypeEntry("abc");
    Trigger("keyMemoJpMenu");
    EXPECT_EQ(JpConvertMode, 1);
    EXPECT_EQ(Entry(), "abc");
}

TEST_F(MainFormTest, OpenMovieEditAddDeleteShiftSaveAndReopen) {
    // The caption file differs from the movie's name only in letter case, as Windows would find it.
    std::string moviePath = dir + "clip.avi";
    WriteFile(moviePath, std::string("RIFF\0\0\0\0AVI ", 12));
    std::string one = Cp949("첫 자막");
    std::string two = Cp949("둘째 줄<br>둘째 자막");
    WriteFile(dir + "CLIP.SMI", SamiFile(SyncLine(2000, two) + SyncLine(1000, one)));
    Create();

    services->FileAnswers.push_back(moviePath);
    Trigger("mnuOpenMovie");
    ASSERT_EQ(services->FileDialogs.size(), 1u);
    EXPECT_EQ(services->FileDialogs[0].FilterIndex, 2);
    ASSERT_EQ(movie.Opened.size(), 1u);
    EXPECT_EQ(movie.Opened[0], moviePath);
    EXPECT_EQ(movie.Caption, "clip.avi - Preview");
    EXPECT_EQ(form->windowTitle().toStdString(), "CLIP.SMI - Morvane 1.22 p1");
    ASSERT_EQ(RowCount(), 3);
    EXPECT_EQ(Cell(1, 0), "     1000");
    EXPECT_EQ(Cell(1, 1), one);
    EXPECT_EQ(Cell(2, 0), "     2000");
    EXPECT_EQ(Cell(2, 1), Cp949("둘째 줄<BR>둘째 자막"));

    // Selecting a row fills the sync field and the entry editor (line breaks as real breaks).
    ClickRow(2);
    EXPECT_EQ(SyncField(), "2000");
    EXPECT_EQ(Entry(), Cp949("둘째 줄\n둘째 자막"));
    EXPECT_EQ(movie.Pauses, 1);

    // Edit: new time and text on the same row.
    form->EditSync->setText("2500");
    TypeEntry(Cp949("고친 자막"));
    form->EditButton->Click();
    EXPECT_EQ(Cell(2, 0), "     2500");
    EXPECT_EQ(Cell(2, 1), Cp949("고친 자막"));
    EXPECT_EQ(CurrentCaption().Modified, 1);

    // Add at 0 goes to 1 and is appended at the end until the next sort.
    form->EditSync->setText("0");
    TypeEntry(Cp949("맨 앞"));
    form->AddButton->Click();
    EXPECT_EQ(SyncField(), "1");
    ASSERT_EQ(RowCount(), 4);
    EXPECT_EQ(Cell(3, 0), "        1");
    Trigger("mnuSort");
    EXPECT_EQ(Cell(1, 0), "        1");
    EXPECT_EQ(Cell(1, 1), Cp949("맨 앞"));

    // Delete asks, then removes the row and selects the one now at its place.
    ClickRow(2);
    services->MessageAnswers.push_back(IDOK);
    form->DeleteButton->Click();
    EXPECT_EQ(services->Messages.back().Text, Cp949("삭제하겠습니까?"));
    ASSERT_EQ(RowCount(), 3);
    EXPECT_EQ(Cell(2, 1), Cp949("고친 자막"));
    EXPECT_EQ(form->ListView->SelectedRow(), 2);

    // Shift every caption by +100.
    form->EditTime->setText("100");
    form->SyncRightButton->Click();
    EXPECT_EQ(Cell(1, 0), "      101");
    EXPECT_EQ(Cell(2, 0), "     2600");

    Trigger("mnuSave");
    std::string saved = ReadFile(dir + "CLIP.SMI");
    EXPECT_NE(saved.find("<SYNC START=101><P CLASS=KALO_KRCC>\r\n" + Cp949("맨 앞") + "\r\n"), std::string::npos);
    EXPECT_NE(saved.find("<SYNC START=2600><P CLASS=KALO_KRCC>\r\n" + Cp949("고친 자막") + "\r\n"),
              std::string::npos);
    EXPECT_EQ(saved.find("START=1000"), std::string::npos);
    EXPECT_NE(saved.find(" *     Movie   File : clip.avi"), std::string::npos);
    EXPECT_EQ(CurrentCaption().Modified, 0);

    // Reload reads back exactly the rows that were saved.
    Trigger("mnuReload");
    ASSERT_EQ(RowCount(), 3);
    EXPECT_EQ(Cell(1, 0), "      101");
    EXPECT_EQ(Cell(1, 1), Cp949("맨 앞"));
    EXPECT_EQ(Cell(2, 0), "     2600");
    EXPECT_EQ(Cell(2, 1), Cp949("고친 자막"));
    EXPECT_TRUE(services->Messages.size() == 1u) << "the reload of a saved document asks nothing";
}

TEST_F(MainFormTest, UnnamedDocumentSavesThroughTheDialogAndFailedSaveKeepsEverything) {
    Create();
    Trigger("mnuNew");
    form->EditSync->setText("1500");
    TypeEntry(Cp949("새 자막"));
    form->AddButton->Click();
    ASSERT_EQ(RowCount(), 2);

    // A save into a folder that does not exist fails: message, modified flag, name and title kept.
    services->FileAnswers.push_back(dir + "missing/out.smi");
    Trigger("mnuSave");
    EXPECT_EQ(LastMessage(), Cp949("out.smi 파일을 저장할 수 없습니다."));
    EXPECT_EQ(CurrentCaption().Modified, 1);
    EXPECT_EQ(CurrentCaption().FileName, "");
    EXPECT_EQ(form->windowTitle().toStdString(), "Morvane 1.22 p1");

    // The close asks; Yes goes to the save dialog; a failing save keeps the window open.
    services->MessageAnswers.push_back(IDYES);
    services->FileAnswers.push_back(dir + "missing/out.smi");
    form->Close();
    EXPECT_EQ(IsClosing, 0);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(services->Messages[services->Messages.size() - 2].Text,
              Cp949("편집중인 자막파일이 있습니다.\n저장하겠습니까?"));

    services->FileAnswers.push_back(dir + "out.smi");
    Trigger("mnuSave");
    EXPECT_EQ(CurrentCaption().FileName, dir + "out.smi");
    EXPECT_EQ(form->windowTitle().toStdString(), "out.smi - Morvane 1.22 p1");
    EXPECT_NE(ReadFile(dir + "out.smi").find("<SYNC START=1500><P CLASS=KALO_KRCC>\r\n" + Cp949("새 자막")),
              std::string::npos);
}

TEST_F(MainFormTest, ClosePromptAndSettingsFile) {
    WriteFile(dir + "Morvane.ini",
              "[Window]\r\nLeft=120\r\nTop=70\r\nWidth=700\r\nHeight=600\r\nCaptionEditor.Height=150\r\n"
              "[User]\r\nName=" + Cp949("홍길동") + "\r\nNotice=a\tb\r\n"
              "[Preview]\r\nPosition=12\r\nTopWindow=-1\r\nDisplaySize=3\r\n");
    Create();
    EXPECT_EQ(form->x(), 120);
    EXPECT_EQ(form->y(), 70);
    EXPECT_EQ(form->width(), 700);
    EXPECT_EQ(form->height(), 600);
    EXPECT_EQ(UserInfo().MakerName, Cp949("홍길동"));
    EXPECT_EQ(UserInfo().Notice, "a\r\nb");
    EXPECT_EQ(UserInfo().PreviewPosition, 8);
    EXPECT_EQ(UserInfo().TopWindow, 0);
    EXPECT_EQ(UserInfo().DisplaySize, 4);

    // A modified document: cancel keeps the window, no closes without saving.
    form->EditSync->setText("100");
    form->AddButton->Click();
    // SIGTERM, SIGHUP and SIGINT are close requests: the event loop runs the close query, whose
    // prompt is cancelled. Another taker of the signal meanwhile is refused and gets nothing. The
    // handlers from before are counting ones, to be seen again once the window goes.
    const int closers[] = {SIGTERM, SIGHUP, SIGINT};
    struct sigaction kept[3];
    for (size_t i = 0; i < 3; ++i) {
        struct sigaction counting {};
        counting.sa_handler = CountSignal;
        ASSERT_EQ(sigaction(closers[i], &counting, &kept[i]), 0);
    }
    form->HandleSignals();
    for (int signo : closers) {
        SCOPED_TRACE(signo);
        int taken = 0;
        TSignalNotifier second(signo, [&] { ++taken; });
        EXPECT_FALSE(second.Active());
        const size_t asked = services->Messages.size();
        services->MessageAnswers.push_back(IDCANCEL);
        ASSERT_EQ(raise(signo), 0);
        for (int i = 0; i < 200 && services->Messages.size() == asked; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        ASSERT_EQ(services->Messages.size(), asked + 1);
        EXPECT_EQ(LastMessage(), Cp949("편집중인 자막파일이 있습니다.\n저장하겠습니까?"));
        EXPECT_EQ(taken, 0);
        EXPECT_EQ(countedSignals[signo], 0);
        EXPECT_EQ(IsClosing, 0);
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(RowCount(), 2);
        EXPECT_EQ(CurrentCaption().Modified, 1);

        // The same request while the save prompt of a new document (Ctrl+N) or of an open
        // (Ctrl+O) is up is refused: no second prompt stacks on it, and its cancel keeps all.
        WriteFile(dir + "other.smi", SamiFile(SyncLine(500, "other")));
        for (const char* key : {"Ctrl+N", "Ctrl+O"}) {
            SCOPED_TRACE(key);
            const size_t before = services->Messages.size();
            if (key[5] == 'O') services->FileAnswers.push_back(dir + "other.smi");
            services->MessageAnswers.push_back(IDCANCEL);
            services->WhileShown = [signo] {
                ASSERT_EQ(raise(signo), 0);
                for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            };
            form->ListView->setFocus();
            const QKeyCombination k = QKeySequence(QString::fromLatin1(key))[0];
            QKeyEvent press(QEvent::KeyPress, k.key(), k.keyboardModifiers());
            QApplication::sendEvent(form->ListView, &press);
            QKeyEvent release(QEvent::KeyRelease, k.key(), k.keyboardModifiers());
            QApplication::sendEvent(form->ListView, &release);
            ASSERT_EQ(services->Messages.size(), before + 1);
            EXPECT_EQ(LastMessage(), Cp949("편집중인 자막파일이 있습니다.\n저장하겠습니까?"));
            EXPECT_FALSE(services->WhileShown);
            EXPECT_EQ(IsClosing, 0);
            EXPECT_TRUE(form->isVisible());
            EXPECT_EQ(RowCount(), 2);
            EXPECT_EQ(CurrentCaption().Modified, 1);
        }
        services->FileDialogs.clear();
    }

    // Past the file-size limit a write fails where SIGXFSZ would end the program: the caption save
    // and the settings save at the close report it, keep the old files and leave nothing behind.
    WriteFile(dir + "out.smi", "old captions\r\n");
    const auto names = [&] {
        std::set<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) out.insert(entry.path().filename().string());
        return out;
    };
    const std::set<std::string> present = names();
    const std::string settings = ReadFile(dir + "Morvane.ini");
    const auto limited = [&] {
        const rlimit small{16, 16};
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        services->FileAnswers.push_back(dir + "out.smi");
        Trigger("mnuSave");
        EXPECT_EQ(LastMessage(), Cp949("out.smi 파일을 저장할 수 없습니다."));
        EXPECT_EQ(ReadFile(dir + "out.smi"), "old captions\r\n");
        EXPECT_EQ(CurrentCaption().Modified, 1);
        // Each close request while the failure is shown is refused: no save prompt comes back
        // and no second message stacks.
        const size_t before = services->Messages.size();
        services->MessageAnswers.push_back(IDNO);
        services->WhileShown = [&] {
            services->WhileShown = [&] {
                for (int signo : closers) {
                    ASSERT_EQ(raise(signo), 0);
                    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
                }
            };
        };
        form->Close();
        EXPECT_EQ(IsClosing, 1);
        EXPECT_EQ(services->Messages.size(), before + 2);
        EXPECT_FALSE(services->WhileShown);
        EXPECT_EQ(LastMessage(), Cp949("Morvane.ini 파일을 저장할 수 없습니다."));
        EXPECT_EQ(ReadFile(dir + "Morvane.ini"), settings);
        EXPECT_EQ(names(), present);
    };
    EXPECT_TRUE(RunInChild(limited, 20000));

    services->MessageAnswers.push_back(IDCANCEL);
    form->Close();
    EXPECT_EQ(IsClosing, 0);
    // No closes without saving, and asks once: the program then ends, and the closing window takes
    // no second request. Run as the program runs.
    size_t asked = services->Messages.size();
    services->MessageAnswers.push_back(IDNO);
    form->OnClosed = TMainForm::EndProgram;
    Application()->MainForm = form.get();
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    deadline.start(10000);
    QTimer::singleShot(0, [] { raise(SIGTERM); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_EQ(services->Messages.size(), asked + 1);
    EXPECT_EQ(IsClosing, 1);
    EXPECT_TRUE(services->FileDialogs.empty());

    TIniFile ini(dir + "Morvane.ini");
    EXPECT_EQ(ini.ReadInteger("Window", "Left", 0), 120);
    EXPECT_EQ(ini.ReadInteger("Window", "Width", 0), 700);
    EXPECT_EQ(ini.ReadString("User", "Notice", ""), "a\tb");
    EXPECT_EQ(ini.ReadInteger("Preview", "Position", 0), 8);
    EXPECT_EQ(ini.ReadInteger("Preview", "DisplaySize", 0), 4);
    EXPECT_EQ(ini.ReadString("User", "Name", ""), Cp949("홍길동"));

    // The same with the movie window up and the find dialog open (Ctrl+F in the list), and with a
    // modal dialog opened from it (Alt+I in its word box) while the signal comes: the program ends
    // all the same, the modal dialog's loop with it, and no window stays up without the main one.
    TMovieForm movieForm(form.get(), form->Controller(), [] { return IsClosing != 0; });
    form->SetMovieForm(&movieForm);
    for (const std::vector<const char*>& keys : {std::vector<const char*>{"Ctrl+F"}, {"Ctrl+F", "Alt+I"}}) {
        SCOPED_TRACE(keys.back());
        IsClosing = 0;
        form->show();
        movieForm.SetShown(true);
        asked = services->Messages.size();
        services->MessageAnswers.push_back(IDNO);
        deadline.start(10000);
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(50, [] { raise(SIGTERM); });
            for (const char* key : keys) {
                QWidget* target = key[0] == 'A' ? static_cast<QWidget*>(form->FindDialog()->EditWord) : form->ListView;
                target->setFocus();
                const QKeyCombination k = QKeySequence(QString::fromLatin1(key))[0];
                QKeyEvent press(QEvent::KeyPress, k.key(), k.keyboardModifiers());
                QApplication::sendEvent(target, &press);
            }
        });
        EXPECT_EQ(QCoreApplication::exec(), 0);
        EXPECT_EQ(services->Messages.size(), asked + 1);
        EXPECT_EQ(IsClosing, 1);
        form->FindDialog()->hide();
    }
    form->SetMovieForm(nullptr);

    // Once the window goes the handlers from before come back, and the signals can be taken again.
    form.reset();
    for (int signo : closers) {
        ASSERT_EQ(raise(signo), 0);
        EXPECT_EQ(countedSignals[signo], 1) << signo;
        TSignalNotifier again(signo, [] {});
        EXPECT_TRUE(again.Active()) << signo;
        // A system call that the signal interrupts goes on, and the interrupted code finds errno as
        // it was, also once the pipe is full and the handler's write fails.
        struct sigaction taking {};
        ASSERT_EQ(sigaction(signo, nullptr, &taking), 0);
        EXPECT_NE(taking.sa_flags & SA_RESTART, 0) << signo;
        for (int i = 0; i < (1 << 16) + 4096; ++i) raise(signo);  // past the 64 KiB a pipe holds
        errno = EDOM;
        ASSERT_EQ(raise(signo), 0);
        EXPECT_EQ(errno, EDOM) << signo;
    }
    // A signal ignored when the window takes the signals (nohup) stays ignored; SIGTERM, the
    // request to end the program, is taken all the same and asks to save.
    IsClosing = 0;
    Create();
    form->EditSync->setText("100");
    form->AddButton->Click();
    const struct {
        int signo;
        bool asks;
    } ignoredAtStart[] = {{SIGHUP, false}, {SIGTERM, true}};
    for (const auto& row : ignoredAtStart) ASSERT_NE(signal(row.signo, SIG_IGN), SIG_ERR);
    form->HandleSignals();
    for (const auto& row : ignoredAtStart) {
        SCOPED_TRACE(row.signo);
        const size_t before = services->Messages.size();
        services->MessageAnswers.push_back(IDCANCEL);
        ASSERT_EQ(raise(row.signo), 0);
        for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        EXPECT_EQ(services->Messages.size(), before + (row.asks ? 1 : 0));
        EXPECT_EQ(IsClosing, 0);
        EXPECT_TRUE(form->isVisible());
        services->MessageAnswers.clear();
    }
    form.reset();
    for (size_t i = 0; i < 3; ++i) sigaction(closers[i], &kept[i], nullptr);
}

TEST_F(MainFormTest, UnchangedDocumentClosesWithoutAskingAndStopsTheMovie) {
    Create();
    movie.File = dir + "m.avi";
    form->Close();
    EXPECT_TRUE(services->Messages.empty());
    EXPECT_EQ(movie.Stops, 1);
    EXPECT_EQ(IsClosing, 1);
    EXPECT_TRUE(FileExists(dir + "Morvane.ini"));
}

TEST_F(MainFormTest, AdvancedModeEditsTheBodyAndCountsAsAModification) {
    WriteFile(dir + "a.smi", SamiFile(SyncLine(1000, "one") + SyncLine(2000, "two")));
    Create();
    services->FileAnswers.push_back(dir + "a.smi");
    Trigger("mnuOpen");
    ASSERT_EQ(RowCount(), 3);

    Trigger("keyAdvanceMode");
    EXPECT_EQ(form->PageControl->currentIndex(), 1);
    EXPECT_TRUE(form->Action("mnuAdvanceMode")->isChecked());
    EXPECT_TRUE(form->mnuWordWrap->menuAction()->isVisible());
    std::string body = TPadLink::Text(form->CaptionMemo);
    EXPECT_NE(body.find("<SYNC START=1000>"), std::string::npos) << body;

    // A broken time stays in the mode with the text unchanged, and says what failed.
    TPadLink::SetText(form->CaptionMemo, "<SYNC START=99999999999999><P CLASS=KALO_KRCC>x\n");
    TPadLink::SetModified(form->CaptionMemo, true);
    Trigger("keyAdvanceMode");
    EXPECT_EQ(form->PageControl->currentIndex(), 1);
    EXPECT_FALSE(services->Messages.empty());
    EXPECT_EQ(TPadLink::Text(form->CaptionMemo), "<SYNC START=99999999999999><P CLASS=KALO_KRCC>x\n");
    EXPECT_TRUE(form->ListView->isEnabled());
    ASSERT_EQ(RowCount(), 3);

    TPadLink::SetText(form->CaptionMemo, "<SYNC START=3000><P CLASS=KALO_KRCC>three\n");
    TPadLink::SetModified(form->CaptionMemo, true);
    Trigger("keyAdvanceMode");
    EXPECT_EQ(form->PageControl->currentIndex(), 0);
    ASSERT_EQ(RowCount(), 2);
    EXPECT_EQ(Cell(1, 0), "     3000");
    EXPECT_EQ(Cell(1, 1), "three");
    EXPECT_EQ(CurrentCaption().Modified, 1);
}

TEST_F(MainFormTest, DropOpensTheFirstFileAndPreviewShowsTheEntry) {
    WriteFile(dir + "a.smi", SamiFile(SyncLine(1000, "A &amp; B")));
    WriteFile(dir + "b.smi", SamiFile(SyncLine(5000, "other")));
    Create();
    // Files dropped over a field open the first of them, though file managers send their paths
    // as plain text too; plain text alone goes into the field.
    const struct {
        QLineEdit* field;
        const char* first;
        const char* second;
    } drops[] = {{form->EditTime, "b.smi", "a.smi"}, {form->EditSync, "a.smi", "b.smi"}};
    for (const auto& d : drops) {
        SCOPED_TRACE(d.first);
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(PathToQString(dir + d.first)), QUrl::fromLocalFile(PathToQString(dir + d.second))});
        files.setText(files.urls()[0].toString() + QStringLiteral("\r\n") + files.urls()[1].toString());
        const QString before = d.field->text();
        ASSERT_TRUE(DragAndDrop(d.field, files));
        EXPECT_EQ(CurrentCaption().FileName, dir + d.first);
        EXPECT_EQ(d.field->text().toStdString(), before.toStdString());
        QMimeData text;
        text.setText(QStringLiteral("25"));
        ASSERT_TRUE(DragAndDrop(d.field, text));
        EXPECT_TRUE(d.field->text().contains(QStringLiteral("25"))) << d.field->text().toStdString();
        EXPECT_EQ(CurrentCaption().FileName, dir + d.first);
    }
    ASSERT_EQ(RowCount(), 2);
    EXPECT_EQ(Cell(1, 0), "     1000");
    EXPECT_EQ(CurrentCaption().FileName, dir + "a.smi");

    // The preview under the editor shows a blank for "&nbsp;" and one "&" for "&".
    TypeEntry("x&nbsp;y & z");
    EXPECT_EQ(form->LabelMovCaption->Caption(), "x y & z");
}

TEST_F(MainFormTest, InsertBehindAndHelpAndPreviewCommands) {
    WriteFile(dir + "a.smi", SamiFile(SyncLine(1000, "one")));
    WriteFile(dir + "b.smi", SamiFile(SyncLine(500, "ins")));
    Create();
    services->FileAnswers.push_back(dir + "a.smi");
    Trigger("mnuOpen");
    int modeAsked = 0;
    form->InsertModeChooser = [&] {
        ++modeAsked;
        return 2;
    };
    services->FileAnswers.push_back(dir + "b.smi");
    Trigger("mnuInsert");
    EXPECT_EQ(modeAsked, 1);
    ASSERT_EQ(RowCount(), 3);
    EXPECT_EQ(Cell(2, 1), "ins");
    EXPECT_GT(TCaptionRows::ReadSync(Cell(2, 0)), 1000);

    Trigger("mnuHelp");
    Trigger("mnuMorvane");
    Trigger("mnuUpdateInfo");
    ASSERT_EQ(services->ShellOpens.size(), 3u);
    EXPECT_EQ(services->ShellOpens[0].Target, dir + "help/Manual.txt");
    EXPECT_EQ(services->ShellOpens[1].Target, dir + "help/Morvane.txt");
    EXPECT_EQ(services->ShellOpens[2].Target, dir + "help/Update.txt");

    // Without a movie window the place items only check themselves and keep the setting.
    Trigger("mnuPos2");
    EXPECT_TRUE(form->Action("mnuPos2")->isChecked());
    EXPECT_EQ(UserInfo().PreviewPosition, 2);
    Trigger("mnuTop1");
    EXPECT_EQ(UserInfo().TopWindow, 1);
}

TEST_F(MainFormTest, ListRendersItsRowsWithTheCaptionPreview) {
    WriteFile(dir + "a.smi", SamiFile(SyncLine(1000, Cp949("한글 자막")) + SyncLine(2000, "second")));
    Create();
    form->resize(640, 560);
    services->FileAnswers.push_back(dir + "a.smi");
    Trigger("mnuOpen");
    ClickRow(1);
    QApplication::processEvents();
    QImage shot = form->grab().toImage();
    if (const char* out = getenv("MORVANE_SCREENSHOT_DIR")) shot.save(QString::fromUtf8(out) + "/mainform.png");

    // The list's first caption row is drawn highlighted; the preview above the editor is dark
    // with light text in it.
    QRect row = form->ListView->visualRect(form->ListModel->index(1, 1));
    QPoint inRow = form->ListView->viewport()->mapTo(form.get(), row.topLeft() + QPoint(2, row.height() / 2));
    QColor highlight = form->ListView->palette().color(QPalette::Active, QPalette::Highlight);
    EXPECT_EQ(shot.pixelColor(inRow).rgb(), highlight.rgb());
    QRect label = form->LabelMovCaption->geometry();
    label.moveTopLeft(form->LabelMovCaption->mapTo(form.get(), QPoint(0, 0)));
    int light = 0;
    for (int x = label.left(); x < label.right(); ++x)
        for (int y = label.top(); y < label.bottom(); ++y)
            if (qGray(shot.pixel(x, y)) > 200) ++light;
    EXPECT_GT(light, 20);

    // At the designed and at the minimum size the preview holds a caption of three lines, and each
    // control shows its whole text: the fields' values, the labels and the status text, the radio
    // items, the shaded buttons' captions (with the buttons 25 to 27 high).
    TypeEntry("one\ntwo\nthree gy");
    for (const QSize size : {QSize(640, 560), form->minimumSize()}) {
        SCOPED_TRACE(size.width());
        form->resize(size);
        QApplication::processEvents();
        ASSERT_EQ(form->size(), size);
        TQzCaptionLabel* label = form->LabelMovCaption;
        EXPECT_EQ(label->Lines().Count(), 3);
        EXPECT_GE(label->height(), label->SpaceTop() + 3 * label->LineHeight());
        for (QWidget* w : form->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(form.get())) continue;
            QString text;
            QFont font = w->font();
            int room = 0;
            if (auto* l = qobject_cast<QLabel*>(w)) {
                text = l->text();
                room = l->contentsRect().width();
            } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
                text = e->text();
                QStyleOptionFrame o;
                o.initFrom(e);
                o.lineWidth = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &o, e);
                // The edit keeps 2 pixels clear on either side of its text.
                room = e->style()->subElementRect(QStyle::SE_LineEditContents, &o, e).width() - 4;
            } else if (auto* r = qobject_cast<QRadioButton*>(w)) {
                text = r->text();
                QStyleOptionButton o;
                o.initFrom(r);
                o.text = text;
                room = r->style()->subElementRect(QStyle::SE_RadioButtonContents, &o, r).width();
            } else if (auto* b = dynamic_cast<TNvOS8PushButton*>(w)) {
                text = Cp949ToQString(b->Caption());
                font = b->Font()->ToQFont();
                // The caption stands 8 pixels in from either side.
                room = b->width() - 16;
                EXPECT_GE(b->height(), 25) << text.toStdString();
                EXPECT_LE(b->height(), 27) << text.toStdString();
            } else {
                continue;
            }
            EXPECT_LE(QFontMetrics(font).horizontalAdvance(text), room) << text.toStdString();
        }
    }
}

}  // namespace
