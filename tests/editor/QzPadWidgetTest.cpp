// The editor control's window on Qt's offscreen platform: keys through Qt events, the mouse,
// the wheel, scroll bars, the clipboard, construction values and painted pixels.

#include "editor/widget/QzPad.h"
#include "editor/widget/QzPadGraphics.h"
#include "editor/widget/QzPadKeys.h"

#include "editor/model/QzPadShortCut.h"
#include "editor/model/QzSmiSyntax.h"
#include "platform/core/Cp949.h"
#include "platform/gui/Services.h"
#include "tests/editor/QzPadWidgetFixture.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <memory>

TImageList* NewGutterImages(int count);
void FreeGutterImages(TImageList* list);
using TImageListPtr = std::unique_ptr<TImageList, void (*)(TImageList*)>;
TImageListPtr MakeGutterImages(int count) { return TImageListPtr(NewGutterImages(count), FreeGutterImages); }

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

namespace {

// The shown control driven by Qt key and mouse events.
class WidgetTest : public ShownPadTest {
protected:
    // A key as Qt delivers it: the key code, the modifiers and the text it types.
    void Key(int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString())
    {
        QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
        QApplication::sendEvent(pad.get(), &press);
        QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
        QApplication::sendEvent(pad.get(), &release);
    }
    void Type(const QString& text)
    {
        for (QChar c : text) {
            const int code = c.isLetter() && c.unicode() < 128 ? c.toUpper().unicode() : c.unicode();
            Key(code, Qt::NoModifier, QString(c));
        }
    }
    void Mouse(QEvent::Type type, int x, int y, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const QPointF local(x, y);
        QMouseEvent e(type, local, pad->viewport()->mapToGlobal(local), button, buttons, mods);
        QApplication::sendEvent(pad->viewport(), &e);
    }
    void Click(int x, int y, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        Mouse(QEvent::MouseButtonPress, x, y, Qt::LeftButton, Qt::LeftButton, mods);
        Mouse(QEvent::MouseButtonRelease, x, y, Qt::LeftButton, Qt::NoButton, mods);
    }
    // Pixel position of the middle of a text cell.
    int ColX(int col) const { return pad->Model().EditRect().Left + col * pad->Model().CharWidth() + pad->Model().CharWidth() / 2; }
    int RowY(int row) const { return pad->Model().EditRect().Top + row * pad->Model().LineHeight() + pad->Model().LineHeight() / 2; }
};

}  // namespace

TEST(QzPadKeys, PunctuationNeverCollidesWithVirtualKeys)
{
    EXPECT_EQ(QzPadVirtualKey(Qt::Key_Period, Qt::NoModifier), VK_OEM_PERIOD);
    EXPECT_EQ(QzPadVirtualKey(Qt::Key_Minus, Qt::NoModifier), VK_OEM_MINUS);
    EXPECT_EQ(QzPadVirtualKey(Qt::Key_Exclam, Qt::ShiftModifier), '1');
    EXPECT_EQ(QzPadVirtualKey(Qt::Key_ParenRight, Qt::ShiftModifier), '0');
    EXPECT_EQ(QzPadVirtualKey(Qt::Key_QuoteDbl, Qt::ShiftModifier), VK_OEM_7);
    EXPECT_EQ(QzPadVirtualKey(Qt::Key_Delete, Qt::NoModifier), VK_DELETE);
    EXPECT_EQ(QzPadVirtualKey(Qt::Key_Insert, Qt::NoModifier), VK_INSERT);
    EXPECT_EQ(QzPadVirtualKey(Qt::Key_Z, Qt::ControlModifier), 'Z');
    EXPECT_EQ(QzPadVirtualKey(Qt::Key_F5, Qt::NoModifier), VK_F1 + 4);
    EXPECT_EQ(QzPadVirtualKey(Qt::Key_Backtab, Qt::ShiftModifier), VK_TAB);
    EXPECT_EQ(QzPadVirtualKey(Qt::Key_7, Qt::KeypadModifier), VK_NUMPAD0 + 7);
    EXPECT_EQ(QzPadVirtualKey(Qt::Key_Period, Qt::KeypadModifier), VK_DECIMAL);
    EXPECT_EQ(QzPadVirtualKey(Qt::Key_Hangul, Qt::NoModifier), VK_HANGUL);
    EXPECT_EQ(QzPadVirtualKey(Qt::Key_unknown, Qt::NoModifier), 0);
    const TShiftState s = QzPadShiftState(Qt::ShiftModifier | Qt::ControlModifier, Qt::LeftButton);
    EXPECT_EQ(s, TShiftState(ssShift) | ssCtrl | ssLeft);
}

TEST_F(WidgetTest, ConstructionValues)
{
    TQzPad fresh;
    const TQzPadModel& m = fresh.Model();
    EXPECT_EQ(TQzPad::About(), "TQzPad,0.6");
    EXPECT_EQ(fresh.width(), 200);
    EXPECT_EQ(fresh.height(), 100);
    EXPECT_EQ(m.CursorWidth(), 2);
    EXPECT_EQ(fresh.BlockMode(), qzbmLine);
    EXPECT_EQ(m.BookmarkColor(), 0x00FFFFu);
    EXPECT_EQ(fresh.BorderStyle(), bsSingle);
    EXPECT_NE(fresh.frameStyle() & QFrame::StyledPanel, 0);
    EXPECT_EQ(m.Color(), 0xFFFFFFu);
    EXPECT_EQ(m.ColumnCount(), 80);
    EXPECT_TRUE(m.ConvertNullToSpace());
    EXPECT_EQ(fresh.viewport()->cursor().shape(), Qt::IBeamCursor);
    EXPECT_EQ(m.CurrentLineColor(), 0x00FFFFu);
    EXPECT_EQ(m.EditMode(), qzmInsert);
    EXPECT_TRUE(m.FileName().empty());
    EXPECT_EQ(fresh.Font().Name, "Courier");
    EXPECT_TRUE(fresh.Font().FixedPitch);
    // Every character cell is CharWidth wide: the screen face has one advance for all Latin text.
    const QFontMetrics fm(fresh.ScreenFont());
    EXPECT_EQ(fm.horizontalAdvance('i'), m.CharWidth());
    EXPECT_EQ(fm.horizontalAdvance('W'), m.CharWidth());
    EXPECT_LE(fm.horizontalAdvance(QString::fromUtf8("가")), 2 * m.CharWidth());
    EXPECT_EQ(m.GutterColor(), clBtnFace);
    EXPECT_EQ(m.GutterWidth(), 30);
    EXPECT_EQ(m.HanguelCodeType(), qzctWansung);
    EXPECT_EQ(fresh.GutterImages(), nullptr);
    EXPECT_EQ(m.IndentSize(), 2);
    EXPECT_EQ(m.LineNoColor(), clBtnFace);
    ASSERT_EQ(m.Lines().Count(), 1);
    EXPECT_EQ(m.Lines().Get(0), "");
    EXPECT_EQ(m.LineSpace(), 2);
    EXPECT_EQ(m.Macro(), nullptr);
    EXPECT_EQ(m.NewLineMark(), Cp949("↓"));
    EXPECT_EQ(m.NewLineMarkColor(), 0x808000u);
    EXPECT_EQ(fresh.Options().Word(), 0x15C3);
    EXPECT_EQ(m.PageBreakLineColor(), clWindowFrame);
    EXPECT_EQ(m.SaveFormat(), qzsfDos);
    EXPECT_EQ(fresh.ShortCut(), nullptr);
    EXPECT_EQ(fresh.Syntax(), nullptr);
    EXPECT_TRUE(fresh.TabStop());
    EXPECT_EQ(fresh.focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(m.TabSize(), 2);
    EXPECT_EQ(fresh.WordWrap(), qzwwNone);
    EXPECT_FALSE(fresh.Modified());
    EXPECT_EQ(fresh.Text(), "");
}

TEST_F(WidgetTest, AHangulSyllableIsExactlyTwoColumnsWideAtEverySize)
{
    for (int points : {9, 10, 11, 12}) {
        TQzFontDesc font = pad->Model().Font();
        font.Name = Cp949("NanumGothicCoding");
        font.Size = points;
        pad->SetFont(font);
        const QFontMetrics fm(pad->ScreenFont());
        EXPECT_EQ(fm.horizontalAdvance(QChar(0xAC00)), 2 * pad->Model().CharWidth()) << points << " points";
        EXPECT_EQ(fm.horizontalAdvance(QLatin1Char('x')), pad->Model().CharWidth()) << points << " points";
    }
}

TEST_F(WidgetTest, TheControlFindsReplacesAndTransformsItsOwnText)
{
    pad->SetText("abc x\nABC y\nabc z");
    ASSERT_TRUE(pad->Find("abc", TQzFindOptions{qzfoMatchCase, qzfoEntire}));
    EXPECT_EQ(pad->SelText(), "abc");
    ASSERT_TRUE(pad->FindContinue());
    EXPECT_EQ(pad->Model().CaretY(), 2);
    EXPECT_FALSE(pad->Find("missing", TQzFindOptions{qzfoEntire}));
    EXPECT_TRUE(pad->ReplaceAll("abc", "Q", TQzFindOptions{qzfoEntire}));
    EXPECT_EQ(pad->Text(), "Q x\nQ y\nQ z");
    pad->Model().SelectAll();
    pad->Transform().Sort(true);
    EXPECT_EQ(pad->Text(), "Q z\nQ y\nQ x");
    EXPECT_EQ(&pad->Printing(), &pad->Printing());
}

TEST_F(WidgetTest, TextIsAgreesWithTextAlsoForWrappedLines)
{
    for (const char* t : {"", "a", "a\nb", "a\r\nb\rc\n", "\n\n"}) {
        pad->SetText(std::string(t));
        const std::string text = pad->Text();
        EXPECT_TRUE(pad->TextIs(text)) << t;
        EXPECT_FALSE(pad->TextIs(text + "x")) << t;
        if (!text.empty()) {
            EXPECT_FALSE(pad->TextIs(text.substr(0, text.size() - 1))) << t;
        }
    }
    pad->SetWordWrap(qzwwWindow);
    pad->SetText(std::string(400, 'w') + "\nshort");
    ASSERT_GT(pad->Model().Lines().Count(), 2);  // the long line shows as several rows
    EXPECT_TRUE(pad->TextIs(std::string(400, 'w') + "\nshort"));
    EXPECT_FALSE(pad->TextIs(std::string(400, 'w') + "short"));
}

TEST_F(WidgetTest, PunctuationKeysTypeTheirCharacters)
{
    ASSERT_TRUE(pad->hasFocus());
    pad->SetText("ab");
    Key(Qt::Key_Right);
    // "." must not act as Delete, "-" not as Insert (which toggles overwrite), Shift+1 types "!".
    Key(Qt::Key_Period, Qt::NoModifier, ".");
    Key(Qt::Key_Minus, Qt::NoModifier, "-");
    Key(Qt::Key_Exclam, Qt::ShiftModifier, "!");
    EXPECT_EQ(Line(0), "a.-!b");
    EXPECT_EQ(pad->Model().CaretPos(), TPoint(4, 0));
    EXPECT_EQ(pad->Model().EditMode(), qzmInsert);
    // The real Delete and Insert keys run their commands (X11 gives Delete the text DEL, which
    // must not be typed).
    Key(Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7F)));
    EXPECT_EQ(Line(0), "a.-!");
    Key(Qt::Key_Insert);
    EXPECT_EQ(pad->Model().EditMode(), qzmOverwrite);
}

TEST_F(WidgetTest, KeySequencesEditLinesCaretAndSelection)
{
    Type("abc");
    Key(Qt::Key_Return, Qt::NoModifier, "\r");
    Type("de");
    ASSERT_EQ(pad->Model().Lines().Count(), 2);
    EXPECT_EQ(Line(0), "abc");
    EXPECT_EQ(Line(1), "de");
    EXPECT_EQ(pad->Model().CaretPos(), TPoint(2, 1));

    Key(Qt::Key_Up);
    Key(Qt::Key_Home);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(pad->SelText(), "ab");
    Type("X");
    EXPECT_EQ(Line(0), "Xc");
    EXPECT_EQ(pad->Model().CaretPos(), TPoint(1, 0));
    EXPECT_FALSE(pad->Model().GetSelectAvail());

    Key(Qt::Key_End);
    Key(Qt::Key_Backspace, Qt::NoModifier, "\b");
    EXPECT_EQ(Line(0), "X");
    // Ctrl+Z undoes the deletion, then the typing over the selection.
    Key(Qt::Key_Z, Qt::ControlModifier, QString(QChar(26)));
    EXPECT_EQ(Line(0), "Xc");
    Key(Qt::Key_Z, Qt::ControlModifier, QString(QChar(26)));
    Key(Qt::Key_Z, Qt::ControlModifier, QString(QChar(26)));
    EXPECT_EQ(Line(0), "abc");
    EXPECT_EQ(Line(1), "de");
}

TEST_F(WidgetTest, TabIsAKeyOfTheTextAndKoreanTypesAsOneCharacter)
{
    QWidget other;
    other.show();
    pad->SetText("x");
    Key(Qt::Key_Tab, Qt::NoModifier, "\t");
    EXPECT_TRUE(pad->hasFocus());
    EXPECT_EQ(pad->Model().CaretX(), 2);
    EXPECT_EQ(pad->Model().ExpandedLine(0), "  x");

    pad->SetText("ab");
    Key(Qt::Key_Right);
    Key(Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("가"));
    EXPECT_EQ(Line(0), "a" + Cp949("가") + "b");
    EXPECT_EQ(pad->Model().CaretPos(), TPoint(3, 0));
    Key(Qt::Key_Left);
    EXPECT_EQ(pad->Model().CaretX(), 1);
}

TEST_F(WidgetTest, EventsFireAsTheApplicationExpects)
{
    int changed = 0;
    std::vector<TVirtualKey> keyDowns;
    std::vector<char> keyPresses;
    pad->OnChanged = [&](TQzPad* sender) { EXPECT_EQ(sender, pad.get()); ++changed; };
    pad->OnKeyDown = [&](TQzPad*, TVirtualKey& key, TShiftState) { keyDowns.push_back(key); };
    pad->OnKeyPress = [&](TQzPad*, char& key) { keyPresses.push_back(key); };

    Type("a");
    EXPECT_EQ(changed, 0);  // typing inside a line only sets Modified
    EXPECT_TRUE(pad->Modified());
    EXPECT_EQ(keyDowns, (std::vector<TVirtualKey>{'A', 'A'}));
    EXPECT_EQ(keyPresses, (std::vector<char>{'a', 'a'}));

    keyDowns.clear();
    Key(Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(keyDowns, (std::vector<TVirtualKey>{VK_RETURN, 0}));  // the command took the key
    EXPECT_GE(changed, 1);  // a whole line was inserted

    // A handler that clears the character stops the typing.
    pad->OnKeyPress = [&](TQzPad*, char& key) { if (key == 'q') key = 0; };
    Type("q");
    EXPECT_EQ(Line(1), "");

    changed = 0;
    pad->clearFocus();
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(pad.get(), &out);
    pad->setFocus();
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(pad.get(), &in);
    EXPECT_GE(changed, 1);  // every focus gain fires it

    int pos = 0;
    pad->OnPosChanged = [&](TQzPad*) { ++pos; };
    Key(Qt::Key_Up);
    EXPECT_GE(pos, 1);
}

TEST_F(WidgetTest, ReadOnlyRefusesKeysButAcceptsSetSelText)
{
    pad->SetText("abc");
    pad->SetReadOnly(true);
    Type("x");
    Key(Qt::Key_Delete);
    EXPECT_EQ(Line(0), "abc");
    pad->SetSelText("z");
    EXPECT_EQ(Line(0), "zabc");
}

TEST_F(WidgetTest, CaretIsShownAtItsColumn)
{
    pad->SetText("abcd");
    Key(Qt::Key_End);
    ASSERT_TRUE(pad->CaretVisible());
    const TQzPadModel& m = pad->Model();
    EXPECT_EQ(pad->CaretRect().x(), m.EditRect().Left + 4 * m.CharWidth());
    EXPECT_EQ(pad->CaretRect().y(), m.EditRect().Top);
    EXPECT_EQ(pad->CaretRect().width(), 2);
    EXPECT_EQ(pad->CaretRect().height(), m.LineHeight());
    // Typed characters move it to where the next one goes.
    Type("xy");
    EXPECT_EQ(pad->CaretRect().x(), m.EditRect().Left + 6 * m.CharWidth());
    Key(Qt::Key_Insert);
    EXPECT_EQ(pad->CaretRect().width(), m.CharWidth());
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(pad.get(), &out);
    EXPECT_FALSE(pad->CaretVisible());
}

TEST_F(WidgetTest, MouseClickShiftClickDragAndDoubleClick)
{
    pad->SetText("alpha beta gamma\nsecond line");
    Click(ColX(3), RowY(0));
    EXPECT_EQ(pad->Model().CaretPos(), TPoint(3, 0));
    Click(ColX(2), RowY(1), Qt::ShiftModifier);
    EXPECT_EQ(pad->Model().GetSelStart(), TPoint(3, 0));
    EXPECT_EQ(pad->Model().GetSelEnd(), TPoint(2, 1));
    EXPECT_EQ(pad->SelText(), "ha beta gamma\r\nse");

    // A drag selection from column 6 to column 10 of line 0 (a press inside the selection would
    // start dragging the selected text, so the selection is collapsed first).
    Click(ColX(0), RowY(1));
    Mouse(QEvent::MouseButtonPress, ColX(6), RowY(0), Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, ColX(8), RowY(0), Qt::NoButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, ColX(10), RowY(0), Qt::NoButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, ColX(10), RowY(0), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(pad->SelText(), "beta");
    EXPECT_EQ(pad->Model().CaretPos(), TPoint(10, 0));

    // Double-click selects the word under the pointer.
    Mouse(QEvent::MouseButtonPress, ColX(13), RowY(0), Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, ColX(13), RowY(0), Qt::LeftButton, Qt::NoButton);
    int dbl = 0;
    pad->OnDblClick = [&](TQzPad*) { ++dbl; };
    Mouse(QEvent::MouseButtonDblClick, ColX(13), RowY(0), Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, ColX(13), RowY(0), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(pad->SelText(), "gamma");
    EXPECT_EQ(pad->Model().CaretPos(), TPoint(16, 0));
    EXPECT_EQ(dbl, 1);
}

TEST_F(WidgetTest, ClickOnTheSecondHalfOfADoubleByteCharacterLandsAfterIt)
{
    pad->SetText(Cp949("가나"));
    Click(ColX(1), RowY(0));
    EXPECT_EQ(pad->Model().CaretX(), 2);
}

TEST_F(WidgetTest, DragAndDropMovesTheSelectionWithinTheControl)
{
    pad->SetText("one two three");
    pad->Model().SetSelStart(TPoint(4, 0));
    pad->Model().SetSelEnd(TPoint(8, 0));  // "two "
    Mouse(QEvent::MouseButtonPress, ColX(5), RowY(0), Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, ColX(5) + 10, RowY(0), Qt::NoButton, Qt::LeftButton);
    ASSERT_TRUE(pad->DraggingSelection());
    Mouse(QEvent::MouseMove, ColX(13) + 6, RowY(0), Qt::NoButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, ColX(13) + 6, RowY(0), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(pad->DraggingSelection());
    EXPECT_EQ(Line(0), "one threetwo ");
    pad->Undo();
    pad->Undo();
    EXPECT_EQ(Line(0), "one two three");

    // Released outside the control, the drag moves nothing.
    pad->Model().SetSelStart(TPoint(4, 0));
    pad->Model().SetSelEnd(TPoint(8, 0));
    Mouse(QEvent::MouseButtonPress, ColX(5), RowY(0), Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, ColX(5) + 10, RowY(0), Qt::NoButton, Qt::LeftButton);
    ASSERT_TRUE(pad->DraggingSelection());
    Mouse(QEvent::MouseButtonRelease, -30, RowY(0), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Line(0), "one two three");
}

TEST_F(WidgetTest, DragSelectionBelowTheViewAutoScrolls)
{
    std::string text;
    for (int i = 0; i < 100; ++i) text += "line " + std::to_string(i) + "\n";
    pad->SetText(text);
    const TRect er = pad->Model().EditRect();
    Mouse(QEvent::MouseButtonPress, ColX(0), RowY(0), Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, ColX(2), er.Bottom + 20, Qt::NoButton, Qt::LeftButton);
    const int top = pad->Model().TopLine();
    EXPECT_GE(top, 1);
    // The timer keeps scrolling while the pointer stays below the text.
    QElapsedTimer t;
    t.start();
    while (pad->Model().TopLine() < top + 3 && t.elapsed() < 2000) QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_GE(pad->Model().TopLine(), top + 3);
    Mouse(QEvent::MouseButtonRelease, ColX(2), er.Bottom + 20, Qt::LeftButton, Qt::NoButton);
    const int stopped = pad->Model().TopLine();
    QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(pad->Model().TopLine(), stopped);
    EXPECT_EQ(pad->Model().GetSelStart(), TPoint(0, 0));
    EXPECT_GT(pad->Model().GetSelEnd().Y, 0);
}

TEST_F(WidgetTest, WheelAndScrollBarsMoveTheView)
{
    std::string text;
    for (int i = 0; i < 50; ++i) text += "row\n";
    pad->SetText(text);
    QScrollBar* v = pad->verticalScrollBar();
    EXPECT_TRUE(v->isEnabled());
    EXPECT_EQ(v->pageStep(), pad->Model().VisibleLines());
    EXPECT_EQ(v->maximum(), 50 - pad->Model().VisibleLines() + 1);
    EXPECT_FALSE(pad->horizontalScrollBar()->isEnabled());

    const QPointF at(ColX(1), RowY(1));
    QWheelEvent down(at, pad->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pad->viewport(), &down);
    EXPECT_EQ(pad->Model().TopLine(), QApplication::wheelScrollLines());
    EXPECT_EQ(v->value(), pad->Model().TopLine());

    v->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(pad->Model().TopLine(), QApplication::wheelScrollLines() - 1);
    v->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(pad->Model().TopLine(), 0);
    v->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(pad->Model().TopLine(), pad->Model().VisibleLines());
    EXPECT_EQ(v->value(), pad->Model().TopLine());
}

TEST_F(WidgetTest, ClipboardCarriesCodePage949Text)
{
    pad->SetText(Cp949("가나 abc"));
    pad->Model().SetSelStart(TPoint(0, 0));
    pad->Model().SetSelEnd(TPoint(4, 0));
    Key(Qt::Key_C, Qt::ControlModifier, QString(QChar(3)));
    EXPECT_EQ(services->Clipboard, Cp949("가나"));
    Key(Qt::Key_End);
    Key(Qt::Key_V, Qt::ControlModifier, QString(QChar(22)));
    EXPECT_EQ(Line(0), Cp949("가나 abc가나"));
    services->Clipboard = "x\r\ny\r\n";
    pad->PasteFromClipboard();
    ASSERT_EQ(pad->Model().Lines().Count(), 3);
    EXPECT_EQ(Line(1), "y");
    EXPECT_EQ(pad->Model().CaretPos(), TPoint(0, 2));
}

TEST_F(WidgetTest, TextJoinsLinesWithLineFeedsAndContinuationsWithout)
{
    pad->SetText("ab\r\ncd\ref\n");
    ASSERT_EQ(pad->Model().Lines().Count(), 4);
    EXPECT_EQ(pad->Text(), "ab\ncd\nef\n");
    EXPECT_FALSE(pad->CanUndo());

    pad->Model().SetColumnCount(10);
    pad->SetText(std::string(25, 'x') + "\nshort");
    pad->SetWordWrap(qzwwUser);
    ASSERT_EQ(pad->Model().Lines().Count(), 4);
    EXPECT_EQ(pad->Text(), std::string(25, 'x') + "\nshort");
}

// ---- painted pixels ----

namespace {

bool IsColor(const QImage& img, int x, int y, TColor c)
{
    return img.pixelColor(x, y).rgb() == QzPadColor(c).rgb();
}

}  // namespace

TEST_F(WidgetTest, PaintsGutterBackgroundAndColumnIndicator)
{
    pad->SetText("abc\n\ndef");
    const QImage img = pad->RenderImage();
    const TQzPadModel& m = pad->Model();
    const TRect er = m.EditRect();
    ASSERT_EQ(img.size(), pad->viewport()->size());
    EXPECT_TRUE(IsColor(img, 5, RowY(1), clBtnFace));             // gutter
    EXPECT_TRUE(IsColor(img, m.GutterWidth() - 3, RowY(1), 0xFFFFFF));  // its separator
    EXPECT_TRUE(IsColor(img, 5, 1, clBtnFace));                   // gutter above the text
    EXPECT_TRUE(IsColor(img, er.Left - 2, RowY(1), 0xFFFFFF));     // margin
    EXPECT_TRUE(IsColor(img, ColX(3), RowY(1), 0xFFFFFF));         // empty line
    const int indicator = 80 * m.CharWidth() + er.Left + 1;
    if (indicator < img.width()) {
        EXPECT_TRUE(IsColor(img, indicator, RowY(1), clBtnFace));
    }
    // Some pixel of the first character's cell is drawn in the font colour (the top and bottom
    // rows hold the current-line frame).
    bool ink = false;
    for (int y = er.Top + 1; y < er.Top + m.LineHeight() - 1; ++y)
        for (int x = er.Left; x < er.Left + m.CharWidth(); ++x) ink = ink || IsColor(img, x, y, clBlack);
    EXPECT_TRUE(ink);
}

TEST_F(WidgetTest, SelectionIsPaintedInverted)
{
    pad->SetText("abcdef\n\nxyz");
    const TQzPadModel& m = pad->Model();
    const TRect er = m.EditRect();
    const int cw = m.CharWidth();
    const int lh = m.LineHeight();
    const QImage before = pad->RenderImage();
    pad->Model().SetSelStart(TPoint(2, 0));
    pad->Model().SetSelEnd(TPoint(1, 2));
    const QImage after = pad->RenderImage();
    auto inverted = [&](int x, int y) { return after.pixel(x, y) == (before.pixel(x, y) ^ 0x00FFFFFFu); };
    auto same = [&](int x, int y) { return after.pixel(x, y) == before.pixel(x, y); };
    // Line 0 from column 2 to the right edge; columns 0 and 1 untouched.
    for (int x = er.Left + 2 * cw; x < er.Right; x += 3) EXPECT_TRUE(inverted(x, er.Top + 1)) << x;
    for (int x = er.Left; x < er.Left + 2 * cw; ++x) EXPECT_TRUE(same(x, er.Top + 1)) << x;
    // The empty middle line across the whole text area.
    EXPECT_TRUE(inverted(er.Left, er.Top + lh + lh / 2));
    EXPECT_TRUE(inverted(er.Right - 1, er.Top + lh + lh / 2));
    // Line 2 up to column 1 only; the gutter never.
    EXPECT_TRUE(inverted(er.Left + cw / 2, er.Top + 2 * lh + 1));
    EXPECT_TRUE(same(er.Left + cw + 1, er.Top + 2 * lh + 1));
    EXPECT_TRUE(same(5, er.Top + 1));
}

TEST_F(WidgetTest, DoubleByteCharacterCoversTwoColumnsAndTextFollowsItsColumns)
{
    pad->SetText(Cp949("가") + "i");
    const TQzPadModel& m = pad->Model();
    const TRect er = m.EditRect();
    const int cw = m.CharWidth();
    const QImage img = pad->RenderImage();
    auto inkIn = [&](int colFrom, int colTo) {
        for (int y = er.Top + 1; y < er.Top + m.LineHeight() - 1; ++y)
            for (int x = er.Left + colFrom * cw; x < er.Left + colTo * cw; ++x)
                if (IsColor(img, x, y, clBlack)) return true;
        return false;
    };
    EXPECT_TRUE(inkIn(0, 1));
    EXPECT_TRUE(inkIn(1, 2));  // the Hangul glyph reaches into its second column
    EXPECT_TRUE(inkIn(2, 3));  // "i" at column 2
    EXPECT_FALSE(inkIn(3, 6));
}

TEST_F(WidgetTest, SamiColouringAndBookmarkBackground)
{
    TQzSmiSyntax smi;
    pad->SetSyntax(&smi);
    TQzPadOptions o = pad->Options();
    o.Include(qzoHighlightSyntax);
    pad->SetOptions(o);
    pad->SetText("<SYNC Start=1000><P Class=KRCC>\n" + Cp949("안녕"));
    pad->Model().SetBookmark(1, -1);
    const QImage img = pad->RenderImage();
    const TQzPadModel& m = pad->Model();
    const TRect er = m.EditRect();
    EXPECT_TRUE(IsColor(img, er.Right - 2, er.Top + m.LineHeight() + 1, m.BookmarkColor()));
    // The tag is drawn in some colour other than the font's and the background.
    bool coloured = false;
    for (int y = er.Top; y < er.Top + m.LineHeight(); ++y)
        for (int x = er.Left; x < er.Left + 5 * m.CharWidth(); ++x) {
            const QRgb p = img.pixel(x, y);
            coloured = coloured || (p != QzPadColor(0xFFFFFF).rgb() && p != QzPadColor(clBlack).rgb());
        }
    EXPECT_TRUE(coloured);
    pad->SetSyntax(nullptr);
}

TEST_F(WidgetTest, NothingIsPaintedInsideAnUpdateBracket)
{
    pad->SetText("abc");
    const QImage before = pad->RenderImage();
    pad->Model().BeginUpdate();
    pad->Model().SetSelStart(TPoint(0, 0));
    pad->Model().SetSelEnd(TPoint(3, 0));
    EXPECT_EQ(pad->RenderImage(), before);
    pad->Model().EndUpdate();
    EXPECT_NE(pad->RenderImage(), before);
}

TEST_F(WidgetTest, GutterShowsBookmarkAndContinuationImages)
{
    pad->Model().SetColumnCount(10);
    pad->SetText(std::string(15, 'x') + "\nb");
    pad->SetWordWrap(qzwwUser);
    ASSERT_EQ(pad->Model().Lines().Count(), 3);
    pad->Model().SetBookmark(0, 3);
    const TQzPadModel& m = pad->Model();
    const int lh = m.LineHeight();
    const int top = m.EditRect().Top;
    auto imageColor = [](int i) { return static_cast<TColor>(0x10 * (i + 1)); };

    TImageListPtr ten = MakeGutterImages(10);
    pad->SetGutterImages(ten.get());
    QImage img = pad->RenderImage();
    const int y0 = top + (lh - 6) / 2;
    EXPECT_TRUE(IsColor(img, 2, y0, imageColor(3)));       // bookmark 3 at x = 2, centred
    EXPECT_TRUE(IsColor(img, 9, y0 + 5, imageColor(3)));
    EXPECT_TRUE(IsColor(img, 2, y0 - 1, clBtnFace));
    EXPECT_TRUE(IsColor(img, 2, y0 + lh, clBtnFace));      // ten images: no continuation mark

    TImageListPtr eleven = MakeGutterImages(11);
    pad->SetGutterImages(eleven.get());
    img = pad->RenderImage();
    EXPECT_TRUE(IsColor(img, 2, y0 + lh, imageColor(10)));  // line 1 continues line 0
    EXPECT_TRUE(IsColor(img, 2, y0 + 2 * lh, clBtnFace));   // line 2 is a line of its own

    pad->ForgetComponent(eleven.get());
    EXPECT_EQ(pad->GutterImages(), nullptr);
    img = pad->RenderImage();
    EXPECT_TRUE(IsColor(img, 2, y0, clBtnFace));
}

TEST_F(WidgetTest, WindowWrapFollowsTheWidthWithoutChangingTheText)
{
    const std::string longLine(100, 'w');
    pad->SetText(longLine + "\nend");
    pad->SetModified(false);
    pad->SetWordWrap(qzwwWindow);
    const int narrow = pad->Model().Lines().Count();
    const int cols = pad->Model().EditRect().Width() / pad->Model().CharWidth();
    EXPECT_EQ(narrow, 1 + (100 + cols - 1) / cols);
    pad->resize(pad->width() + (100 - cols + 1) * pad->Model().CharWidth(), pad->height());
    QApplication::processEvents();
    EXPECT_EQ(pad->Model().Lines().Count(), 2);
    EXPECT_EQ(pad->Text(), longLine + "\nend");
    pad->SetWordWrap(qzwwNone);
    EXPECT_EQ(pad->Model().Lines().Count(), 2);
}
