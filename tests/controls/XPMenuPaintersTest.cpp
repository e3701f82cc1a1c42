// The flat look of standard controls and tool bars: which controls get a painter, their states
// and the pixels painted over them.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLayout>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

#include "ButtonTestSupport.h"
#include "controls/XPMenuPainters.h"

namespace {

class XPMenuPaintersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureButtonTestApp();
        form = new TForm();
        form->SetBounds(0, 0, 300, 200);
        xp = new TXPMenu(form);
    }
    void TearDown() override { delete form; }

    static TControlSubClass* PainterOf(QWidget* w)
    {
        for (QObject* c : w->children())
            if (auto* s = dynamic_cast<TControlSubClass*>(c))
                return s;
        return nullptr;
    }
    TColor At(QWidget* w, int x, int y) { return PixelAt(w->grab().toImage(), x, y); }
    void Work()
    {
        TBitmap b(1, 1);
        xp->SetGlobalColor(b.Canvas());
    }

    TForm* form = nullptr;
    TXPMenu* xp = nullptr;
};

}  // namespace

TEST_F(XPMenuPaintersTest, ControlsAreChosenByKindContainerAndTag)
{
    auto* plain = new QCheckBox(QStringLiteral("a"), form);
    auto* tagged = new QCheckBox(QStringLiteral("b"), form);
    tagged->setProperty("Tag", 999);
    auto* box = new QGroupBox(form);
    box->setProperty("Tag", 999);
    auto* inside = new QCheckBox(QStringLiteral("c"), box);
    auto* otherKind = new QPushButton(form);
    xp->SetXPControls(XPBit(xcCheckBox));
    xp->SetActive(true);
    EXPECT_NE(PainterOf(plain), nullptr);
    EXPECT_EQ(PainterOf(tagged), nullptr);
    EXPECT_EQ(PainterOf(inside), nullptr);
    EXPECT_EQ(PainterOf(otherKind), nullptr);

    // Switched off, each painter lets go at its control's next event.
    xp->SetActive(false);
    QEvent e(QEvent::Enter);
    QCoreApplication::sendEvent(plain, &e);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(PainterOf(plain), nullptr);
}

TEST_F(XPMenuPaintersTest, CheckBoxBoxFollowsHoverAndCheck)
{
    auto* cb = new QCheckBox(form);
    cb->setGeometry(10, 10, 100, 24);
    xp->SetActive(true);
    Work();
    // The box: 16 x 16 at (0, 4), drawn shrunk by 2.
    EXPECT_EQ(At(cb, 2, 10), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(cb, 8, 12), ColorToRGB(clWindow));
    Enter(cb);
    EXPECT_TRUE(PainterOf(cb)->Hot());
    EXPECT_EQ(At(cb, 8, 12), xp->WorkSelectColor);
    EXPECT_EQ(At(cb, 2, 10), ColorToRGB(xp->WorkSelectBorderColor));
    Leave(cb);
    cb->setChecked(true);
    EXPECT_EQ(At(cb, 5, 14), ColorToRGB(clHighlight));  // the tick
}

TEST_F(XPMenuPaintersTest, HeldSpaceKeyCountsOnceAndReleases)
{
    auto* button = new QPushButton(form);
    xp->SetActive(true);
    TControlSubClass* painter = PainterOf(button);
    ASSERT_NE(painter, nullptr);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QCoreApplication::sendEvent(button, &down);
    QCoreApplication::sendEvent(button, &repeatUp);
    QCoreApplication::sendEvent(button, &repeat);
    EXPECT_TRUE(painter->SpaceDown());
    QCoreApplication::sendEvent(button, &up);
    EXPECT_FALSE(painter->SpaceDown());
}

TEST_F(XPMenuPaintersTest, ButtonComboGroupBoxAndPanelColours)
{
    auto* button = new QPushButton(form);
    button->setGeometry(0, 0, 80, 30);
    auto* combo = new QComboBox(form);
    combo->setGeometry(0, 40, 120, 24);
    auto* group = new QGroupBox(QStringLiteral("Title"), form);
    group->setGeometry(0, 70, 150, 80);
    auto* panel = new TCustomPanel(form);
    panel->SetBounds(160, 0, 60, 40);
    xp->SetActive(true);
    Work();

    EXPECT_EQ(At(button, 10, 8), xp->WorkIconBackColor);
    Enter(button);
    EXPECT_EQ(At(button, 10, 8), NewColor(nullptr, clBtnFace, 40));

    EXPECT_EQ(At(combo, combo->width() - 4, 4), ColorToRGB(clBtnFace));
    Enter(combo);
    EXPECT_EQ(At(combo, combo->width() - 4, 4), xp->WorkSelectColor);

    const QImage g = group->grab().toImage();
    EXPECT_EQ(PixelAt(g, 3, 0), ColorToRGB(form->Color()));  // the band above the frame

    const TColor k = ColorToRGB(panel->Color());
    EXPECT_EQ(At(panel, 0, 0), NewColor(nullptr, k, 60));
    EXPECT_EQ(At(panel, 59, 39), GetShadeColor(nullptr, k, 60));
}

TEST_F(XPMenuPaintersTest, ToolBarButtonsArePaintedFlat)
{
    auto* bar = new QToolBar(form);
    bar->setGeometry(0, 0, 200, 30);
    QAction* bold = bar->addAction(QStringLiteral("Bold"));
    bold->setCheckable(true);
    bold->setChecked(true);
    auto* empty = new QToolBar(form);
    xp->SetActive(true);
    Work();
    auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(bold));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->autoRaise());
    const QImage img = button->grab().toImage();
    const int mid = button->height() / 2;
    EXPECT_EQ(PixelAt(img, button->width() / 2, mid), xp->WorkCheckedAreaColor);
    EXPECT_EQ(PixelAt(img, 0, mid), ColorToRGB(xp->WorkSelectBorderColor));

    // A bar without buttons gets no painter: a button added later keeps the toolkit's look.
    QAction* later = empty->addAction(QStringLiteral("Later"));
    later->setCheckable(true);
    later->setChecked(true);
    empty->setGeometry(0, 40, 200, 30);
    empty->layout()->activate();
    auto* laterButton = qobject_cast<QToolButton*>(empty->widgetForAction(later));
    ASSERT_NE(laterButton, nullptr);
    ASSERT_GT(laterButton->width(), 4);
    EXPECT_NE(PixelAt(laterButton->grab().toImage(), laterButton->width() / 2, laterButton->height() / 2),
              xp->WorkCheckedAreaColor);
}

TEST_F(XPMenuPaintersTest, ControlBarGripDarkensRowByRow)
{
    TBitmap bmp(30, 30);
    TRect r = Rect(0, 0, 30, 30);
    unsigned options = 0xFF;
    xp->ControlBarPaint(form, bmp.Canvas(), r, options);
    bmp.Canvas()->Flush();
    EXPECT_EQ(options, 0u);
    const TColor base = ColorToRGB(FromQColor(form->palette().color(QPalette::Window)));
    EXPECT_EQ(bmp.Pixel(20, 20), NewColor(nullptr, base, 6));
    EXPECT_EQ(bmp.Pixel(3, 6), GetShadeColor(nullptr, base, 30));   // first even row from top + 5
    EXPECT_EQ(bmp.Pixel(5, 8), GetShadeColor(nullptr, base, 37));
    EXPECT_EQ(bmp.Pixel(4, 10), GetShadeColor(nullptr, base, 44));
    EXPECT_EQ(bmp.Pixel(4, 7), NewColor(nullptr, base, 6));         // odd rows stay
    EXPECT_EQ(bmp.Pixel(6, 6), NewColor(nullptr, base, 6));         // three pixels wide
}

TEST_F(XPMenuPaintersTest, ToolBarsAddedLaterAreFoundAndDividersFollowTheirTag)
{
    xp->SetAutoDetect(true);
    xp->SetActive(true);
    auto* bar = new QToolBar(form);
    QAction* first = bar->addAction(QStringLiteral("A"));
    QAction* sep = bar->addSeparator();
    QAction* second = bar->addAction(QStringLiteral("B"));
    second->setCheckable(true);
    second->setChecked(true);
    bar->setGeometry(0, 0, 200, 30);
    bar->layout()->activate();
    bar->ensurePolished();  // announced to the form now
    Work();
    auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(second));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(PixelAt(button->grab().toImage(), button->width() / 2, button->height() / 2), xp->WorkCheckedAreaColor);

    const QRect g = bar->actionGeometry(sep);
    ASSERT_GT(g.width(), 2);
    const int x = g.left() + g.width() / 2;
    const TColor line = GetShadeColor(nullptr, FromQColor(bar->palette().color(QPalette::Window)), 30);
    EXPECT_NE(PixelAt(bar->grab().toImage(), x, g.center().y()), line);
    sep->setProperty("Tag", 1);
    EXPECT_EQ(PixelAt(bar->grab().toImage(), x, g.center().y()), line);
    Q_UNUSED(first);
}

TEST_F(XPMenuPaintersTest, Tag1000TakesTheParentColour)
{
    form->SetColor(RGB(0, 128, 0));
    auto* own = new QPushButton(form);
    own->setGeometry(0, 0, 80, 30);
    auto* borrowed = new QPushButton(form);
    borrowed->setGeometry(0, 40, 80, 30);
    borrowed->setProperty("Tag", 1000);
    xp->SetActive(true);
    Work();
    EXPECT_EQ(At(own, 10, 8), xp->WorkIconBackColor);
    EXPECT_EQ(At(borrowed, 10, 8), NewColor(nullptr, RGB(0, 128, 0), 16));
    EXPECT_EQ(At(borrowed, 0, 0), RGB(0, 128, 0));  // the corner outside the rounded frame
}
