#include "controls/TFlatComboBoxUnit.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/core/Cp949.h"
#include "platform/gui/Controls.h"
#include "platform/gui/QtText.h"
#include "tests/controls/ControlsTestApp.h"

namespace {

void Key(QWidget* w, int key, const QString& text = QString(), Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &release);
}

void Type(QWidget* w, const char* ascii) {
    for (const char* p = ascii; *p; ++p)
        Key(w, Qt::Key_A + (*p - 'a'), QString(QChar(*p)));
}

// The search box of the find dialog: 201 x 20 on a host window.
struct ComboFixture : ::testing::Test {
    std::unique_ptr<TControl> host;
    TFlatComboBox* combo = nullptr;

    void SetUp() override {
        EnsureControlsTestApp();
        host = std::make_unique<TControl>();
        host->SetBounds(0, 0, 260, 60);
        host->SetColor(0x00D0D0D0);
        combo = new TFlatComboBox(host.get());
        combo->SetBounds(10, 10, 201, 20);
        combo->SetColor(clWhite);
        combo->SetColorArrowBackground(clSilver);
        combo->SetColorBorder(clBlack);
        host->show();
        QApplication::processEvents();
    }
};

}  // namespace

TEST_F(ComboFixture, ConstructionValuesAndQtHelpersOff) {
    TFlatComboBox fresh(host.get());
    EXPECT_EQ(fresh.Style(), csDropDown);
    EXPECT_EQ(fresh.ColorArrow(), 0u);
    EXPECT_EQ(fresh.ColorArrowBackground(), 0xC5D6D9u);
    EXPECT_EQ(fresh.ColorBorder(), 0x8396A0u);
    EXPECT_EQ(fresh.AdvColorBorder(), 50);
    EXPECT_EQ(fresh.AdvColorArrowBackground(), 10);
    EXPECT_FALSE(fresh.UseAdvColors());
    EXPECT_EQ(fresh.ItemHeight(), 13);
    EXPECT_EQ(fresh.DropDownCount(), 8);
    EXPECT_EQ(fresh.completer(), nullptr);
    EXPECT_EQ(fresh.insertPolicy(), QComboBox::NoInsert);
    // A font change puts ItemHeight back to 13.
    fresh.SetItemHeight(12);
    fresh.Font()->SetHeight(-12);
    EXPECT_EQ(fresh.ItemHeight(), 13);
    // The edit box sits left of the arrow button.
    ASSERT_NE(combo->lineEdit(), nullptr);
    EXPECT_EQ(combo->lineEdit()->geometry(), QRect(3, 3, 201 - 11 - 8, 20 - 6));
    EXPECT_EQ(combo->ButtonRect(), Rect(189, 0, 200, 20));
}

TEST_F(ComboFixture, PaintsTheFlatBorderAndArrow) {
    // Arrow origin for a 201 x 20 combo: the widened button (188, 0, 201, 20) gives x 188, y 9.
    const int x = 188;
    const int y = 9;
    QImage img = combo->grab().toImage();
    EXPECT_EQ(PixelAt(img, 0, 0), clBlack);
    EXPECT_EQ(PixelAt(img, 0, 19), clBlack);
    EXPECT_EQ(PixelAt(img, 1, 1), clWhite);
    EXPECT_EQ(PixelAt(img, 2, 10), clWhite);
    EXPECT_EQ(PixelAt(img, 188, 5), clBlack);    // button frame
    EXPECT_EQ(PixelAt(img, 191, 3), clSilver);   // button face
    // Closed: the arrow points down.
    EXPECT_EQ(PixelAt(img, x + 4, y), clBlack);
    EXPECT_EQ(PixelAt(img, x + 6, y + 2), clBlack);
    EXPECT_EQ(PixelAt(img, x + 4, y + 2), clSilver);

    combo->AddItem("one");
    combo->showPopup();
    EXPECT_TRUE(combo->DroppedDown());
    EXPECT_TRUE(combo->SolidBorder());
    img = combo->grab().toImage();
    EXPECT_EQ(PixelAt(img, x + 4, y + 2), clBlack);
    EXPECT_EQ(PixelAt(img, x + 6, y), clBlack);
    EXPECT_EQ(PixelAt(img, x + 4, y), clSilver);
    combo->hidePopup();
    EXPECT_FALSE(combo->DroppedDown());

    // Disabled: an engraved arrow, white one pixel down and right under grey.
    combo->SetEnabled(false);
    img = combo->grab().toImage();
    EXPECT_EQ(PixelAt(img, x + 4, y), 0x808080u);
    EXPECT_EQ(PixelAt(img, x + 9, y + 1), clWhite);
    combo->SetColorArrow(clRed);
    combo->SetEnabled(true);
    img = combo->grab().toImage();
    EXPECT_EQ(PixelAt(img, x + 4, y), clRed);
}

TEST_F(ComboFixture, TypingNeitherCompletesNorAddsItems) {
    combo->AddItem("apple");
    combo->AddItem("apricot");
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    combo->setFocus();
    Type(combo, "ap");
    EXPECT_EQ(combo->Text(), "ap");
    EXPECT_EQ(changes, 2);
    Key(combo, Qt::Key_Return, "\r");
    EXPECT_EQ(combo->ItemCount(), 2);
    EXPECT_EQ(combo->Text(), "ap");
    // Changing between the editable styles keeps one change per edit.
    combo->SetStyle(csSimple);
    combo->SetStyle(csDropDown);
    Type(combo, "r");
    EXPECT_EQ(changes, 3);
    // Setting the text from code fires nothing.
    combo->SetText("apple");
    EXPECT_EQ(changes, 3);
    // Items added while text stands in the box leave the text alone.
    combo->AddItem("banana");
    EXPECT_EQ(combo->Text(), "apple");
}

TEST_F(ComboFixture, KeyHandlersSeeAndSwallowKeys) {
    std::vector<Word> downs;
    std::vector<char> presses;
    combo->OnKeyDown = [&](TObject*, Word& key, TShiftState) {
        downs.push_back(key);
        if (key == VK_DELETE)
            key = 0;
    };
    combo->OnKeyPress = [&](TObject*, char& ch) {
        presses.push_back(ch);
        if (ch == 'q')
            ch = 0;
        else if (ch == 'x')
            ch = 'y';
    };
    combo->setFocus();
    Type(combo, "aqx");
    EXPECT_EQ(combo->Text(), "ay");
    Key(combo, Qt::Key_Return, "\r");
    Key(combo, Qt::Key_Escape, QString(QChar(27)));
    EXPECT_EQ(presses, (std::vector<char>{'a', 'q', 'x', '\r', 27}));
    ASSERT_GE(downs.size(), 5u);
    EXPECT_EQ(downs[3], VK_RETURN);
    combo->lineEdit()->setCursorPosition(0);
    Key(combo, Qt::Key_Delete);
    EXPECT_EQ(combo->Text(), "ay");
}

TEST_F(ComboFixture, PickingAnItemFiresClickThenChange) {
    combo->AddItem("first");
    combo->AddItem("second");
    combo->SetItemIndex(0);
    std::vector<std::string> order;
    combo->OnClick = [&](TObject*) { order.push_back("click " + combo->Text()); };
    combo->OnChange = [&](TObject*) { order.push_back("change " + combo->Text()); };
    combo->setFocus();
    Key(combo, Qt::Key_Down);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(order, (std::vector<std::string>{"click second", "change second"}));
}

TEST_F(ComboFixture, SelectionCountsBytes) {
    const std::string text = Cp949("가나다");
    combo->SetText(text);
    combo->SetSelStart(2);
    combo->SetSelLength(4);
    EXPECT_EQ(combo->SelStart(), 2);
    EXPECT_EQ(combo->SelLength(), 4);
    EXPECT_EQ(QStringToCp949(combo->lineEdit()->selectedText()), Cp949("나다"));
    // A position inside a character counts as after it.
    combo->SetSelStart(3);
    EXPECT_EQ(combo->SelStart(), 4);
}

TEST_F(ComboFixture, ItemsSortedAndFound) {
    combo->SetSorted(true);
    combo->AddItem("pear");
    EXPECT_EQ(combo->AddItem("Apple"), 0);
    EXPECT_EQ(combo->AddItem("banana"), 1);
    EXPECT_EQ(combo->Item(2), "pear");
    EXPECT_EQ(combo->IndexOfItem("BANANA"), 1);
    EXPECT_EQ(combo->IndexOfItem("kiwi"), -1);
    combo->DeleteItem(0);
    EXPECT_EQ(combo->Item(0), "banana");
    combo->DeleteItem(7);
    EXPECT_EQ(combo->ItemCount(), 2);
}

TEST_F(ComboFixture, AdvancedColoursComeFromTheParent) {
    combo->SetAdvColorBorder(0);
    combo->SetUseAdvColors(true);
    // A zero percentage leaves the colour as it is.
    EXPECT_EQ(combo->ColorBorder(), clBlack);
    EXPECT_EQ(combo->ColorArrowBackground(), CalcAdvancedColor(host->Color(), clSilver, 10, darken));
    EXPECT_NE(combo->ColorArrowBackground(), clSilver);
}

TEST_F(ComboFixture, FocusEnterExitAndComposition) {
    auto* other = new QLineEdit(host.get());
    other->setGeometry(10, 35, 50, 20);
    other->show();
    host->activateWindow();
    other->setFocus();
    QApplication::processEvents();
    ASSERT_FALSE(combo->hasFocus());
    int enters = 0;
    int exits = 0;
    combo->OnEnter = [&](TObject*) { ++enters; };
    combo->OnExit = [&](TObject*) { ++exits; };
    combo->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(combo->hasFocus());
    EXPECT_EQ(enters, 1);
    EXPECT_TRUE(combo->SolidBorder());
    // Another window taking the activation is no exit.
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(combo, &away);
    EXPECT_EQ(exits, 0);
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(exits, 1);
    EXPECT_FALSE(combo->SolidBorder());

    combo->setFocus();
    QInputMethodEvent composing(QString::fromUtf8("한"), {});
    QApplication::sendEvent(combo, &composing);
    EXPECT_TRUE(combo->Composing());
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("한"));
    QApplication::sendEvent(combo, &commit);
    EXPECT_FALSE(combo->Composing());
    EXPECT_EQ(combo->Text(), Cp949("한"));
    combo->OnEnter = nullptr;
    combo->OnExit = nullptr;
}
