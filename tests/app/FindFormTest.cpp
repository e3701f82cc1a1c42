#include "app/FindForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "app/model/CaptionRows.h"
#include "controls/NvOS8PushButton.h"
#include "controls/TFlatComboBoxUnit.h"
#include "document/QzCaption.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "platform/gui/QtText.h"
#include "tests/TempFolder.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/FindPadHost.h"

namespace {

void Key(QWidget* w, int key, const QString& text = QString(), Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &release);
}

void Type(QWidget* w, const char* ascii)
{
    for (const char* p = ascii; *p; ++p)
        Key(w, Qt::Key_A + (*p - 'a'), QString(QChar(*p)));
}

void Mouse(QWidget* w, QEvent::Type type, QPoint local, QPoint global)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButton which = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(local), QPointF(global), which, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// The main window as the dialog sees it: caption rows with a selection, the advanced mode with a
// real editor, and recorders for messages and the special characters dialog.
class TFakeFindHost : public IFindHost {
public:
    TCaptionRows Rows;
    int Selected = -1;
    std::vector<int> Scrolled;
    bool Advanced = false;
    TTestAdvancedPad Pad;
    std::vector<TQzFindOptions> PadOptions;
    std::vector<std::string> Messages;
    std::vector<TFlatComboBox*> SpecialTargets;

    const TCaptionRows& CaptionRows() override { return Rows; }
    int SelectedRow() override { return Selected; }
    void SelectRowVisible(int row) override
    {
        Selected = row;
        Scrolled.push_back(row);
    }
    bool AdvancedMode() override { return Advanced; }
    bool FindInAdvancedPad(const std::string& text, TQzFindOptions options) override
    {
        PadOptions.push_back(options);
        return Pad.Find(text, options);
    }
    void ShowMessage(const std::string& text) override { Messages.push_back(text); }
    void ShowSpecialChars(TFlatComboBox* target) override { SpecialTargets.push_back(target); }
};

const std::string NotFound = Cp949("검색된 단어가 없습니다.");

// Made before the fixture's members, which hold widgets.
struct TFindTestApp {
    TFindTestApp() { EnsureApp(); }
};

struct FindFormTest : ::testing::Test, TFindTestApp {
    TTempFolder folder{"findform"};
    std::string dir;
    std::string historyPath;
    TFakeFindHost host;
    std::unique_ptr<TFindForm> form;

    void SetUp() override
    {
        dir = folder.Path();
        historyPath = dir + "FindWord.his";
    }

    void Create()
    {
        form = std::make_unique<TFindForm>(nullptr, host, historyPath);
        form->ShowFind();
        QApplication::processEvents();
    }

    // Rows 1..count behind the banner; the rows listed in `hits` hold `word`.
    void FillRows(int count, const std::vector<int>& hits, const std::string& word)
    {
        host.Rows.AddBannerRow();
        for (int i = 1; i <= count; ++i) {
            bool hit = false;
            for (int h : hits)
                hit = hit || h == i;
            host.Rows.Append(TQzCaption::GetSyncWidth(i * 1000), hit ? "say " + word + " here" : "nothing");
        }
    }

    void SetWord(const std::string& word) { form->EditWord->SetText(word); }

    std::string FileBytes()
    {
        std::string bytes;
        EXPECT_TRUE(ReadFileBytes(historyPath, bytes));
        return bytes;
    }
};

}  // namespace

TEST_F(FindFormTest, HistoryIsReadAtCreationAndWrittenOnCloseAndAtProgramEnd)
{
    ASSERT_TRUE(WriteFileAtomic(historyPath, "abc\r\nabd\r\n"));
    FillRows(3, {2}, "zebra");
    Create();
    ASSERT_EQ(form->EditWord->ItemCount(), 2);
    EXPECT_EQ(form->EditWord->Item(1), "abd");
    EXPECT_TRUE(form->EditWord->hasFocus() || form->EditWord->lineEdit()->hasFocus());

    SetWord("zebra");
    form->NextFindButtonClick();
    SetWord("ABD");
    form->NextFindButtonClick();
    // Searched while the dialog is open: the main window saves at the program's end.
    ASSERT_TRUE(form->SaveHistory());
    EXPECT_EQ(FileBytes(), "ABD\r\nzebra\r\nabc\r\n");
    EXPECT_EQ(form->EditWord->ItemCount(), 3);
    EXPECT_EQ(form->EditWord->ItemIndex(), 0);
    EXPECT_EQ(form->WordText(), "ABD");

    // Closing hides and always writes, also when nothing changed since.
    ASSERT_TRUE(DeleteFile(historyPath));
    form->NoButton->Click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(FileBytes(), "ABD\r\nzebra\r\nabc\r\n");
    EXPECT_TRUE(host.Messages.size() == 1 && host.Messages[0] == NotFound);

    // The program ends with the dialog open: the words searched since are written too.
    form->ShowFind();
    SetWord("yak");
    form->NextFindButtonClick();
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    EXPECT_EQ(FileBytes(), "yak\r\nABD\r\nzebra\r\nabc\r\n");

    // Shown again, it is the same window with the same history.
    form->ShowFind();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->EditWord->ItemCount(), 4);
}

TEST_F(FindFormTest, ThirtyLineHistoryIsCutToTwentyAndAFailedWriteIsReported)
{
    std::string bytes;
    for (int i = 0; i < 30; ++i)
        bytes += "w" + std::to_string(i) + "\r\n";
    ASSERT_TRUE(WriteFileAtomic(historyPath, bytes));
    FillRows(2, {}, "x");
    Create();
    EXPECT_EQ(form->EditWord->ItemCount(), 30);
    SetWord("w5");
    form->FindButtonClick();
    EXPECT_EQ(form->EditWord->ItemCount(), 20);
    EXPECT_EQ(form->EditWord->Item(0), "w5");
    EXPECT_EQ(form->EditWord->Item(19), "w19");

    // An empty word records nothing and finds nothing.
    SetWord("");
    form->NextFindButtonClick();
    EXPECT_EQ(form->History().Count(), 20);
    EXPECT_EQ(host.Messages.back(), NotFound);
    EXPECT_TRUE(host.Scrolled.empty());

    // The history file's place became a folder: closing reports it and keeps running.
    ASSERT_TRUE(DeleteFile(historyPath));
    ASSERT_EQ(mkdir(historyPath.c_str(), 0700), 0);
    host.Messages.clear();
    form->NoButtonClick();
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_NE(host.Messages[0].find(Cp949("검색 기록")), std::string::npos);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(FindFormTest, ListSearchUpwardFromRowSevenAndDownwardFromTheStart)
{
    FillRows(10, {2, 4, 7, 9}, "word");
    Create();
    host.Selected = 7;
    form->chkFindUp->setChecked(true);
    SetWord("word");
    form->NextFindButtonClick();
    EXPECT_EQ(host.Selected, 4);
    form->NextFindButtonClick();
    EXPECT_EQ(host.Selected, 2);
    form->NextFindButtonClick();
    EXPECT_EQ(host.Selected, 2);
    EXPECT_EQ(host.Messages, std::vector<std::string>{NotFound});

    // Find = from the start: upward from the last row, downward from row 1, whatever is selected.
    form->FindButtonClick();
    EXPECT_EQ(host.Selected, 9);
    form->chkFindDown->setChecked(true);
    form->FindButtonClick();
    EXPECT_EQ(host.Selected, 2);
    // Enter in the word box searches on.
    Key(form->EditWord, Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(host.Selected, 4);
    EXPECT_EQ(host.Scrolled, (std::vector<int>{4, 2, 9, 2, 4}));

    // No selection: find-next starts below the banner.
    host.Selected = -1;
    form->NextFindButtonClick();
    EXPECT_EQ(host.Selected, 2);
}

TEST_F(FindFormTest, ListSearchCaseRulesBannerAndKoreanBytes)
{
    host.Rows.AddBannerRow();
    host.Rows.Append(TQzCaption::GetSyncWidth(1000), "abc<BR>def");
    host.Rows.Append(TQzCaption::GetSyncWidth(2000), Cp949("오늘의 자막"));
    Create();

    SetWord("ABC");
    form->FindButtonClick();
    EXPECT_EQ(host.Selected, 1);
    form->chkMatchCase->setChecked(true);
    host.Selected = -1;
    form->FindButtonClick();
    EXPECT_EQ(host.Selected, -1);
    EXPECT_EQ(host.Messages.size(), 1u);

    SetWord(Cp949("자막"));
    form->FindButtonClick();
    EXPECT_EQ(host.Selected, 2);

    const std::string banner = host.Rows[0].Text;
    SetWord(banner.substr(0, 7));
    host.Messages.clear();
    form->FindButtonClick();
    EXPECT_EQ(host.Messages, std::vector<std::string>{NotFound});
    EXPECT_EQ(host.Selected, 2);
}

TEST_F(FindFormTest, AdvancedModeSearchesTheEditorWithTheDialogsOptions)
{
    host.Advanced = true;
    host.Pad.SetText("one cat\nconcat cat\nlast line");
    Create();
    host.Pad.SetCaret(TPoint(4, 2));

    SetWord("cat");
    form->chkWholeWord->setChecked(true);
    // From the start: the whole text, although the caret stands on the last line.
    form->FindButtonClick();
    ASSERT_EQ(host.PadOptions.size(), 1u);
    EXPECT_EQ(host.PadOptions[0], (TQzFindOptions{qzfoWholeWord, qzfoEntire}));
    EXPECT_EQ(host.Pad.SelText(), "cat");
    EXPECT_EQ(host.Pad.Caret(), TPoint(7, 0));

    // On from there; the whole-word rule skips the cat inside concat.
    form->NextFindButtonClick();
    EXPECT_EQ(host.PadOptions[1], (TQzFindOptions{qzfoWholeWord}));
    EXPECT_EQ(host.Pad.Caret(), TPoint(10, 1));

    form->chkFindUp->setChecked(true);
    form->chkWholeWord->setChecked(false);
    form->chkMatchCase->setChecked(true);
    // Backward from the caret after a match finds that match again, then the one before it.
    form->NextFindButtonClick();
    EXPECT_EQ(host.PadOptions[2], (TQzFindOptions{qzfoMatchCase, qzfoBackward}));
    EXPECT_EQ(host.Pad.Caret(), TPoint(7, 1));
    form->NextFindButtonClick();
    EXPECT_EQ(host.Pad.Caret(), TPoint(3, 1));

    SetWord("CAT");
    form->NextFindButtonClick();
    EXPECT_EQ(host.Messages, std::vector<std::string>{NotFound});

    // Upward from the start begins at the end of the text.
    SetWord("cat");
    form->FindButtonClick();
    EXPECT_EQ(host.PadOptions.back(), (TQzFindOptions{qzfoMatchCase, qzfoBackward, qzfoEntire}));
    EXPECT_EQ(host.Pad.Caret(), TPoint(7, 1));
    EXPECT_TRUE(host.Scrolled.empty());
}

TEST_F(FindFormTest, TypingCompletesFromTheHistory)
{
    ASSERT_TRUE(WriteFileAtomic(historyPath, "abc\r\nabd\r\nabcdef\r\n"));
    Create();
    QWidget* box = form->EditWord;

    Type(box, "ab");
    EXPECT_EQ(form->WordText(), "abc");
    EXPECT_EQ(form->EditWord->SelStart(), 2);
    EXPECT_EQ(form->EditWord->SelLength(), 1);

    // Typing on replaces the completion; "abc" equals an item and goes on to later items.
    Type(box, "c");
    EXPECT_EQ(form->WordText(), "abcdef");
    EXPECT_EQ(form->EditWord->SelStart(), 3);
    EXPECT_EQ(form->EditWord->SelLength(), 3);

    // Delete with a selection removes it without completing again.
    Key(box, Qt::Key_Delete);
    EXPECT_EQ(form->WordText(), "abc");
    EXPECT_EQ(form->EditWord->SelLength(), 0);

    // Right arrow at the end completes once more.
    Key(box, Qt::Key_Right);
    EXPECT_EQ(form->WordText(), "abcdef");
    EXPECT_EQ(form->EditWord->SelLength(), 3);
    Key(box, Qt::Key_Backspace);
    EXPECT_EQ(form->WordText(), "abc");

    // Case-sensitive: "AB" completes nothing.
    form->EditWord->SetText("");
    Type(box, "x");
    EXPECT_EQ(form->WordText(), "x");
    form->EditWord->SetText("A");
    form->EditWord->SetSelStart(1);
    Key(box, Qt::Key_B, QStringLiteral("B"), Qt::ShiftModifier);
    EXPECT_EQ(form->WordText(), "AB");

    // A word picked from the history with the arrow keys is not completed further.
    form->EditWord->SetItemIndex(2);
    ASSERT_EQ(form->WordText(), "abcdef");
    Key(box, Qt::Key_Up);
    EXPECT_EQ(form->WordText(), "abd");
    Key(box, Qt::Key_Up);
    EXPECT_EQ(form->WordText(), "abc");

    // Keys outside the typing range disarm completion; F4 asks for the special characters.
    Key(box, Qt::Key_Home);
    EXPECT_TRUE(form->CompletionArmed());
    Key(box, Qt::Key_Shift, QString(), Qt::ShiftModifier);
    EXPECT_FALSE(form->CompletionArmed());
    Key(box, Qt::Key_F4);
    ASSERT_EQ(host.SpecialTargets.size(), 1u);
    EXPECT_EQ(host.SpecialTargets[0], form->EditWord);
}

TEST_F(FindFormTest, NoCompletionWhileTheInputMethodComposes)
{
    const std::string word = Cp949("한글자막");
    ASSERT_TRUE(WriteFileAtomic(historyPath, word + "\r\n"));
    Create();
    QWidget* box = form->EditWord;
    box->setFocus();
    // A typed key armed completion before the input method starts.
    Type(box, "a");
    form->EditWord->SetText("");
    ASSERT_TRUE(form->CompletionArmed());

    QInputMethodEvent composing(Cp949ToQString(Cp949("한")), {});
    QApplication::sendEvent(box, &composing);
    EXPECT_EQ(form->WordText(), "");
    // The first syllable is committed while the next one composes: nothing is completed.
    QInputMethodEvent next(Cp949ToQString(Cp949("글")), {});
    next.setCommitString(Cp949ToQString(Cp949("한")));
    QApplication::sendEvent(box, &next);
    EXPECT_EQ(form->WordText(), Cp949("한"));
    EXPECT_FALSE(form->CompletionArmed());
    // The composition ends: the word is completed from the history.
    QInputMethodEvent commit;
    commit.setCommitString(Cp949ToQString(Cp949("글")));
    QApplication::sendEvent(box, &commit);
    EXPECT_EQ(form->WordText(), word);
    EXPECT_EQ(form->EditWord->SelStart(), 4);
    EXPECT_EQ(form->EditWord->SelLength(), 4);
}

TEST_F(FindFormTest, LabelsAndCheckBoxesDragTheDialogButAClickStillChecks)
{
    Create();
    form->SetBounds(100, 100, form->Width(), form->Height());
    QApplication::processEvents();
    const QPoint start = form->pos();
    QCheckBox* box = form->chkMatchCase;
    const QPoint local(5, 5);
    const QPoint global = box->mapToGlobal(local);

    Mouse(box, QEvent::MouseButtonPress, local, global);
    Mouse(box, QEvent::MouseMove, local, global + QPoint(30, 20));
    Mouse(box, QEvent::MouseButtonRelease, local, global + QPoint(30, 20));
    EXPECT_EQ(form->pos(), start + QPoint(30, 20));
    EXPECT_FALSE(box->isChecked());

    const QPoint global2 = box->mapToGlobal(local);
    Mouse(box, QEvent::MouseButtonPress, local, global2);
    Mouse(box, QEvent::MouseButtonRelease, local, global2);
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(form->pos(), start + QPoint(30, 20));
}
