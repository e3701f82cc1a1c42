// The editor control and Qt's input method: synthetic QInputMethodEvent sequences that compose
// Hangul syllables, the composing syllable shown inverted under a wide caret, and the cursor
// rectangle the input method asks for.

#include "editor/widget/QzPad.h"

#include "platform/core/Cp949.h"
#include "tests/editor/QzPadWidgetFixture.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>

namespace {

// A popup that remembers where it was put; it frees itself when closed, as a real one does.
class FakePopup : public IQzCodeTemplatesPopup {
public:
    explicit FakePopup(std::vector<QRect>& shown) : shown_(shown) {}
    TQzCodeTemplateList& List() override { return list_; }
    void ListChanged() override {}
    void SetBounds(int x, int y, int w, int h) override { bounds_ = QRect(x, y, w, h); }
    void SetLook(const TQzFontDesc&, TColor) override {}
    void ShowPopup() override
    {
        visible_ = true;
        shown_.push_back(bounds_);
    }
    void ClosePopup() override
    {
        auto closed = Closed;
        delete this;
        if (closed) closed();
    }
    bool PopupVisible() const override { return visible_; }

private:
    std::vector<QRect>& shown_;
    TQzCodeTemplateList list_;
    QRect bounds_;
    bool visible_ = false;
};

class WidgetImeTest : public ShownPadTest {
protected:
    void Ime(const char* preeditUtf8, const char* commitUtf8 = "")
    {
        QInputMethodEvent e(QString::fromUtf8(preeditUtf8), {});
        e.setCommitString(QString::fromUtf8(commitUtf8));
        QApplication::sendEvent(pad.get(), &e);
    }
    // What the input method asks the focused widget (public through QWidget).
    QVariant Query(Qt::InputMethodQuery q) const { return static_cast<QWidget*>(pad.get())->inputMethodQuery(q); }
    int CharWidth() const { return pad->Model().CharWidth(); }
};

}  // namespace

TEST_F(WidgetImeTest, PreeditAndCommitComposeSyllablesInPlace)
{
    pad->SetText("ab");
    pad->Model().SetCaretPosition(TPoint(1, 0));

    // 가 then 기: the second syllable's consonant first joins the first, then moves on.
    Ime("ㄱ");
    EXPECT_TRUE(pad->Model().Composing());
    EXPECT_EQ(Line(0), "a" + Cp949("ㄱ") + "b");
    EXPECT_EQ(pad->CaretRect().width(), 2 * CharWidth());
    Ime("가");
    Ime("각");
    EXPECT_EQ(Line(0), "a" + Cp949("각") + "b");
    EXPECT_EQ(pad->Model().CaretX(), 1);
    EXPECT_EQ(pad->Model().UndoItems().Count(), 0);
    Ime("기", "가");
    EXPECT_EQ(Line(0), "a" + Cp949("가기") + "b");
    EXPECT_EQ(pad->Model().CaretX(), 3);
    EXPECT_EQ(pad->Model().UndoItems().Count(), 1);
    Ime("", "기");
    EXPECT_FALSE(pad->Model().Composing());
    EXPECT_EQ(Line(0), "a" + Cp949("가기") + "b");
    EXPECT_EQ(pad->Model().CaretX(), 5);
    EXPECT_EQ(pad->CaretRect().width(), pad->Model().CursorWidth());
    EXPECT_EQ(pad->Model().UndoItems().Count(), 2);
    pad->Undo();
    pad->Undo();
    EXPECT_EQ(Line(0), "ab");

    // A composition the user takes back leaves the text as it was.
    Ime("ㅎ");
    Ime("");
    EXPECT_EQ(Line(0), "ab");
    EXPECT_FALSE(pad->Model().Composing());
}

TEST_F(WidgetImeTest, TheComposingSyllableIsShownInvertedAndTheInputMethodKnowsWhere)
{
    pad->SetText("abc");
    pad->Model().SetCaretPosition(TPoint(1, 0));
    Ime("가");
    const QRect caret = pad->CaretRect();
    const TQzPadModel& m = pad->Model();
    EXPECT_EQ(caret.x(), m.EditRect().Left + 1 * CharWidth());
    EXPECT_EQ(caret.width(), 2 * CharWidth());
    EXPECT_EQ(Query(Qt::ImCursorRectangle).toRect(), caret.translated(pad->viewport()->pos()));
    EXPECT_TRUE(Query(Qt::ImEnabled).toBool());

    // On screen the caret inverts the syllable's cells: every pixel there is the text image's
    // pixel XOR white.
    const QImage text = pad->RenderImage();
    const QImage shown = pad->viewport()->grab().toImage().convertToFormat(text.format());
    ASSERT_TRUE(pad->CaretVisible());
    int checked = 0;
    for (int y = caret.top(); y <= caret.bottom(); y += 3) {
        for (int x = caret.left(); x <= caret.right(); x += 3) {
            const QRgb a = text.pixel(x, y);
            const QRgb b = shown.pixel(x, y);
            EXPECT_EQ(qRed(a) ^ 255, qRed(b));
            EXPECT_EQ(qGreen(a) ^ 255, qGreen(b));
            ++checked;
        }
    }
    EXPECT_GT(checked, 10);
    // Outside the caret nothing is inverted.
    const int outside = caret.right() + 3 * CharWidth();
    EXPECT_EQ(text.pixel(outside, caret.center().y()), shown.pixel(outside, caret.center().y()));
}

TEST_F(WidgetImeTest, AClickCommitsTheSyllableAndReadOnlyRefusesInput)
{
    pad->SetText("abc");
    pad->Model().SetCaretPosition(TPoint(3, 0));
    Ime("한");
    const TQzPadModel& m = pad->Model();
    const QPointF at(m.EditRect().Left + m.CharWidth() / 2, m.EditRect().Top + m.LineHeight() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, pad->viewport()->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pad->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, pad->viewport()->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(pad->viewport(), &release);
    EXPECT_FALSE(m.Composing());
    EXPECT_EQ(Line(0), "abc" + Cp949("한"));
    EXPECT_EQ(m.CaretPos(), TPoint(0, 0));
    // Reset by the click, the input method commits the syllable it held once more (ibus does);
    // it was committed already, where it was composed.
    Ime("", "한");
    EXPECT_EQ(Line(0), "abc" + Cp949("한"));
    EXPECT_EQ(m.UndoItems().Count(), 1);
    // The next syllable goes in at the click.
    Ime("ㄱ");
    Ime("", "가");
    EXPECT_EQ(Line(0), Cp949("가") + "abc" + Cp949("한"));

    // Clicked into another editor, Qt hands the syllable over before the focus moves, and the
    // input method commits it again into the editor that has the focus now.
    TQzPad other;
    other.SetText("xyz");
    Ime("녕");
    Ime("", "녕");
    other.setFocus();
    QInputMethodEvent echo(QString(), {});
    echo.setCommitString(QString::fromUtf8("녕"));
    QApplication::sendEvent(&other, &echo);
    EXPECT_EQ(other.Model().Lines().Get(0), "xyz");
    EXPECT_EQ(Line(0), Cp949("가녕") + "abc" + Cp949("한"));
    // A syllable typed there goes in as usual.
    QInputMethodEvent composing(QString::fromUtf8("녕"), {});
    QApplication::sendEvent(&other, &composing);
    QInputMethodEvent result(QString(), {});
    result.setCommitString(QString::fromUtf8("녕"));
    QApplication::sendEvent(&other, &result);
    EXPECT_EQ(other.Model().Lines().Get(0), Cp949("녕") + "xyz");
    pad->setFocus();

    pad->SetReadOnly(true);
    EXPECT_FALSE(Query(Qt::ImEnabled).toBool());
    Ime("ㄱ");
    Ime("", "가");
    EXPECT_EQ(Line(0), Cp949("가녕") + "abc" + Cp949("한"));
    EXPECT_FALSE(m.Composing());
}

TEST_F(WidgetImeTest, CtrlJExpandsATemplateOrShowsThePopupBelowTheCaret)
{
    const std::string file = ::testing::TempDir() + "/qzpad_widget_templates.txt";
    {
        std::ofstream out(file, std::ios::binary);
        out << "<R><N>fn</N><D>function</D><C>function |() {\r\n}</C></R>";
    }
    std::vector<QRect> shown;
    pad->CodeTemplates().FileName = file;
    pad->CodeTemplates().PopupFactory = [&shown]() -> IQzCodeTemplatesPopup* { return new FakePopup(shown); };
    auto ctrlJ = [this] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_J, Qt::ControlModifier, QString(QChar(10)));
        QApplication::sendEvent(pad.get(), &press);
    };

    pad->SetText("x fn");
    pad->Model().SetCaretPosition(TPoint(4, 0));
    ctrlJ();
    EXPECT_EQ(Line(0), "x function () {");
    EXPECT_EQ(Line(1), "}");
    EXPECT_EQ(pad->Model().CaretPos(), TPoint(11, 0));
    EXPECT_TRUE(shown.empty());

    pad->SetText("nothing");
    pad->Model().SetCaretPosition(TPoint(7, 0));
    ctrlJ();
    ASSERT_EQ(shown.size(), 1u);
    const QPoint caret = pad->viewport()->mapToGlobal(pad->CaretRect().topLeft());
    EXPECT_EQ(shown[0].topLeft(), pad->CodeTemplatesPopupPos(400, 100));
    EXPECT_EQ(shown[0].size(), QSize(400, 100));
    EXPECT_TRUE(shown[0].top() == caret.y() + pad->Model().LineHeight() || shown[0].top() < caret.y());
    ASSERT_TRUE(pad->CodeTemplates().GetVisible());
    // The popup's choice comes back to the control.
    pad->CodeTemplates().Popup()->Insert(nullptr, "a|b");
    EXPECT_EQ(Line(0), "nothingab");
    EXPECT_EQ(pad->Model().CaretX(), 8);
    // A click in the text closes it.
    const QPointF at(pad->Model().EditRect().Left + 2, pad->Model().EditRect().Top + 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, pad->viewport()->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pad->viewport(), &press);
    EXPECT_FALSE(pad->CodeTemplates().GetVisible());
    std::remove(file.c_str());
}
