// The flat menus: colour helpers, working colours, hooking of menu bars and popup menus, item
// measures and the pixels of painted items.
#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QIcon>

#include "ButtonTestSupport.h"
#include "controls/XPMenu.h"
#include "platform/gui/ImageList.h"

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

class XPMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureButtonTestApp();
        form = new TForm();
        bar = new QMenuBar(form);
        file = bar->addMenu(U("&File"));
        open = file->addAction(U("Open"));
        open->setShortcut(QKeySequence(U("Ctrl+O")));
        separator = file->addSeparator();
        check = file->addAction(U("Check"));
        check->setCheckable(true);
        popup = new QMenu(form);
        popupItem = popup->addAction(U("Cut\tCtrl+X"));
        xp = new TXPMenu(form);  // owned and freed by the form
    }
    void TearDown() override { delete form; }

    TMenuItem Item(QAction* a, QWidget* container) { return TMenuItem(a, container); }
    // Paints an item 200 x 22 and returns the image.
    QImage Paint(QAction* a, QWidget* container, bool selected, int w = 200, int h = 22)
    {
        TMenuItem item(a, container);
        return RenderMenuItem(item, w, h, selected);
    }
    TColor Resolved(TColor c) { return ColorToRGB(c); }
    // The working colours as a 32-bit canvas gives them.
    void Work()
    {
        TBitmap b(1, 1);
        xp->SetGlobalColor(b.Canvas());
    }

    TForm* form = nullptr;
    QMenuBar* bar = nullptr;
    QMenu* file = nullptr;
    QAction* open = nullptr;
    QAction* separator = nullptr;
    QAction* check = nullptr;
    QMenu* popup = nullptr;
    QAction* popupItem = nullptr;
    TXPMenu* xp = nullptr;
};

}  // namespace

TEST(XPMenuColorTest, ShadeNewAndGrayColours)
{
    EXPECT_EQ(GetShadeColor(nullptr, RGB(100, 100, 100), 30), RGB(70, 72, 70));
    EXPECT_EQ(GetShadeColor(nullptr, RGB(10, 250, 10), 20), RGB(0, 232, 0));
    EXPECT_EQ(GetShadeColor(nullptr, RGB(250, 250, 250), -40), RGB(255, 255, 255));
    // Halves go to the even neighbour: 0 + 127.5 -> 128, 2 + 126.5 -> 2 + 126 (not 129).
    EXPECT_EQ(NewColor(nullptr, RGB(0, 2, 5), 50), RGB(128, 128, 130));
    EXPECT_EQ(NewColor(nullptr, RGB(0, 0, 0), 250), clWhite);
    EXPECT_EQ(NewColor(nullptr, clBtnFace, 86), RGB(249, 248, 247));  // system colours resolved first
    EXPECT_EQ(GrayColor(nullptr, RGB(30, 60, 90), 10), RGB(70, 70, 70));
    EXPECT_EQ(GrayColor(nullptr, RGB(250, 250, 250), 10), RGB(240, 240, 240));
}

TEST(XPMenuColorTest, BitmapHelpers)
{
    EnsureButtonTestApp();
    TBitmap b(3, 1);
    b.SetPixel(0, 0, RGB(0, 0, 0));
    b.SetPixel(1, 0, RGB(100, 100, 100));
    b.SetPixel(2, 0, RGB(0, 0, 0));
    TBitmap g;
    g.Assign(b);
    DimBitmap(b, 50);
    EXPECT_EQ(b.Pixel(0, 0), RGB(128, 128, 128));
    EXPECT_EQ(b.Pixel(1, 0), NewColor(nullptr, RGB(100, 100, 100), 50));
    EXPECT_EQ(b.Pixel(2, 0), RGB(128, 128, 128));  // the one-entry cache does not leak
    GrayBitmap(g, 10);
    EXPECT_EQ(g.Pixel(1, 0), RGB(110, 110, 110));

    TBitmap glyph(3, 3);
    glyph.Canvas()->Brush->Color = clWhite;
    glyph.Canvas()->FillRect(Rect(0, 0, 3, 3));
    glyph.Canvas()->Flush();
    glyph.SetPixel(1, 1, clBlack);
    TBitmap target(10, 10);
    target.Canvas()->Brush->Color = clWhite;
    target.Canvas()->FillRect(Rect(0, 0, 10, 10));
    DrawBitmapShadow(glyph, target.Canvas(), 4, 4, clRed);
    target.Canvas()->Pen->Color = clBlue;
    DrawArrow(target.Canvas(), 0, 0);
    target.Canvas()->Flush();
    EXPECT_EQ(target.Pixel(5, 5), clRed);
    EXPECT_EQ(target.Pixel(4, 4), clWhite);
    EXPECT_EQ(target.Pixel(4, 0), clBlue);   // 5, 3 and 1 pixels
    EXPECT_EQ(target.Pixel(5, 0), clWhite);
    EXPECT_EQ(target.Pixel(0, 1), clWhite);
    EXPECT_EQ(target.Pixel(3, 1), clBlue);
    EXPECT_EQ(target.Pixel(2, 2), clBlue);
    EXPECT_EQ(target.Pixel(3, 2), clWhite);
}

TEST_F(XPMenuTest, WorkingColoursFromSystemOrOwnColours)
{
    Work();
    EXPECT_TRUE(xp->UseShades());
    EXPECT_EQ(xp->WorkColor, NewColor(nullptr, clBtnFace, 86));
    EXPECT_EQ(xp->WorkIconBackColor, NewColor(nullptr, clBtnFace, 16));
    EXPECT_EQ(xp->WorkSelectColor, NewColor(nullptr, clHighlight, 68));
    EXPECT_EQ(xp->WorkCheckedAreaSelectColor, NewColor(nullptr, clHighlight, 50));
    EXPECT_EQ(xp->WorkSelectBorderColor, clHighlight);
    EXPECT_EQ(xp->WorkBorderColor, GetShadeColor(nullptr, clBtnFace, 90));

    xp->SetUseSystemColors(false);
    xp->SetSelectColor(RGB(0, 0, 200));
    xp->SetColor(clWhite);
    Work();
    EXPECT_EQ(xp->WorkColor, clWhite);
    EXPECT_EQ(xp->WorkSelectColor, RGB(0, 0, 200));
    xp->SetUseDimColor(true);
    Work();
    EXPECT_EQ(xp->WorkSelectColor, NewColor(nullptr, RGB(0, 0, 200), 68));
    EXPECT_EQ(xp->WorkCheckedAreaColor, NewColor(nullptr, RGB(0, 0, 200), 80));
}

TEST_F(XPMenuTest, ActivationHooksMenusAndLeavesTag999Alone)
{
    QAction* keep = file->addAction(U("Keep"));
    Item(keep, file).SetTag(999);
    EXPECT_FALSE(MenuOwnerDraw(bar));
    xp->SetActive(true);
    EXPECT_TRUE(MenuOwnerDraw(bar));
    EXPECT_TRUE(MenuOwnerDraw(popup));
    EXPECT_EQ(Item(open, file).OnDrawItem().Owner, xp);
    EXPECT_EQ(Item(bar->actions()[0], bar).OnMeasureItem().Owner, xp);
    EXPECT_EQ(Item(popupItem, popup).OnDrawItem().Owner, xp);
    EXPECT_FALSE(Item(keep, file).OnDrawItem());
    EXPECT_NE(file->style(), QApplication::style());  // submenus are owner-drawn too

    xp->SetActive(false);
    EXPECT_FALSE(MenuOwnerDraw(bar));
    EXPECT_FALSE(Item(open, file).OnDrawItem());

    bar->setProperty("Tag", 999);  // a menu bar opted out is not touched; a popup's own tag is not read
    popup->setProperty("Tag", 999);
    xp->SetActive(true);
    EXPECT_FALSE(MenuOwnerDraw(bar));
    EXPECT_FALSE(Item(open, file).OnDrawItem());
    EXPECT_TRUE(MenuOwnerDraw(popup));
}

TEST_F(XPMenuTest, ForeignHandlersStayUnlessOverridden)
{
    int foreign = 0;
    TMenuItem item = Item(open, file);
    item.SetOnDrawItem([&](TMenuItem&, TCanvas*, const TRect&, bool) { ++foreign; }, &foreign);
    xp->SetActive(true);
    EXPECT_EQ(item.OnDrawItem().Owner, &foreign);
    EXPECT_EQ(item.OnMeasureItem().Owner, xp);
    xp->SetActive(false);
    EXPECT_EQ(item.OnDrawItem().Owner, &foreign);  // unhooking removes only its own
    EXPECT_FALSE(item.OnMeasureItem());
    xp->SetOverrideOwnerDraw(true);
    xp->SetActive(true);
    EXPECT_EQ(item.OnDrawItem().Owner, xp);
}

TEST_F(XPMenuTest, MeasuresSeparatorsTextIconsAndAccelerators)
{
    xp->SetActive(true);
    TMenuItem sep = Item(separator, file);
    EXPECT_EQ(MeasureMenuItem(sep).cy, 4);

    TCanvas canvas;
    canvas.Font->Assign(*xp->Font());
    const int h = canvas.TextHeight("Check");
    TMenuItem plain = Item(check, file);
    const TSize s = MeasureMenuItem(plain);
    EXPECT_EQ(s.cy, std::max(h + static_cast<int>(std::nearbyint(h * 0.75)), 6));
    EXPECT_EQ(s.cx, canvas.TextWidth("Check") + 5 + xp->IconWidth());

    QAction* amp = file->addAction(U("A&&B"));
    xp->ActivateMenuItem(Item(file->menuAction(), bar));
    TMenuItem ampItem = Item(amp, file);
    EXPECT_EQ(MeasureMenuItem(ampItem).cx,
              canvas.TextWidth("A&&B") + 5 - canvas.TextWidth("&") + xp->IconWidth());

    TMenuItem shortcut = Item(open, file);
    EXPECT_EQ(MeasureMenuItem(shortcut).cx, canvas.TextWidth("OpenCtrl+OWWW") + 5 + xp->IconWidth());

    // A 16 x 16 icon from the menu's image list: at least 16 + 6 high.
    TImageList images(nullptr, 16, 16);
    TBitmap pic(16, 16);
    images.AddMasked(pic, clFuchsia);
    SetMenuImageList(bar, &images);
    plain.SetImageIndex(0);
    EXPECT_EQ(MeasureMenuItem(plain).cy, std::max(h + static_cast<int>(std::nearbyint(h * 0.75)), 22));
    SetMenuImageList(bar, nullptr);

    // Bar items: the platform's 8 extra pixels and no icon column.
    TMenuItem top = Item(bar->actions()[0], bar);
    EXPECT_EQ(MeasureMenuItem(top).cx, canvas.TextWidth("&File") + 5 - canvas.TextWidth("&") + 8);

    xp->SetActive(false);
    int w = 7, hh = 9;
    xp->MeasureItem(plain, &canvas, w, hh);  // inactive: nothing changes
    EXPECT_EQ(w, 7);
    EXPECT_EQ(hh, 9);
}

TEST_F(XPMenuTest, QtMenusUseTheMeasures)
{
    xp->SetActive(true);
    file->ensurePolished();
    EXPECT_EQ(file->actionGeometry(separator).height(), 4);
    EXPECT_GT(file->actionGeometry(open).width(), xp->IconWidth());
    const QImage img = file->grab().toImage();
    const QRect g = file->actionGeometry(check);
    Work();
    EXPECT_EQ(PixelAt(img, g.left() + 3, g.center().y()), xp->WorkIconBackColor);
    EXPECT_EQ(PixelAt(img, g.right() - 20, g.top() + 1), xp->WorkColor);
}

TEST_F(XPMenuTest, PaintsBackgroundSelectionAndSeparator)
{
    xp->SetActive(true);
    Work();
    QImage img = Paint(open, file, false);
    EXPECT_EQ(PixelAt(img, 3, 11), xp->WorkIconBackColor);
    EXPECT_EQ(PixelAt(img, 120, 2), xp->WorkColor);

    img = Paint(open, file, true);
    EXPECT_EQ(PixelAt(img, 120, 5), xp->WorkSelectColor);
    EXPECT_EQ(PixelAt(img, 120, 1), Resolved(clHighlight));  // the frame

    open->setEnabled(false);
    img = Paint(open, file, true);  // a disabled drop-down item is not highlighted
    EXPECT_EQ(PixelAt(img, 120, 5), xp->WorkColor);

    img = Paint(separator, file, false, 200, 4);
    // The line at the middle from icon column + 7 to the end.
    EXPECT_EQ(PixelAt(img, xp->IconWidth() + 10, 2), xp->WorkSeparatorColor);
    EXPECT_EQ(PixelAt(img, xp->IconWidth() + 3, 2), xp->WorkColor);

    img = Paint(bar->actions()[0], bar, true, 60, 20);  // a selected bar item
    EXPECT_EQ(PixelAt(img, 20, 10), xp->WorkSelectColor);
    EXPECT_EQ(PixelAt(img, 0, 10), Resolved(clHighlight));
}

TEST_F(XPMenuTest, CheckMarksAndRadioMarks)
{
    xp->SetActive(true);
    Work();
    check->setChecked(true);
    QImage img = Paint(check, file, false);
    // A 10 x 10 box centred in the 24 x 23 icon column: (7, 6) to (17, 16).
    EXPECT_EQ(PixelAt(img, 7, 10), Resolved(xp->WorkCheckedColor));
    EXPECT_EQ(PixelAt(img, 14, 8), xp->WorkCheckedAreaColor);
    // The long stroke of the tick ends above and right of the box.
    EXPECT_EQ(PixelAt(img, 18, 6), clBlack);

    check->setEnabled(false);
    img = Paint(check, file, false);
    EXPECT_EQ(PixelAt(img, 7, 10), xp->WorkDisabledColor);

    auto* group = new QActionGroup(file);
    QAction* radio = file->addAction(U("Radio"));
    radio->setCheckable(true);
    radio->setActionGroup(group);
    radio->setChecked(true);
    xp->ActivateMenuItem(Item(file->menuAction(), bar));
    img = Paint(radio, file, true);
    EXPECT_EQ(PixelAt(img, 12, 11), xp->WorkCheckedAreaSelectColor);  // inside the ellipse
    EXPECT_EQ(PixelAt(img, 7, 6), xp->WorkSelectColor);                // outside it
}

TEST_F(XPMenuTest, ItemsAddedLaterAreHookedWhenTheirParentIsDrawn)
{
    xp->SetActive(true);
    QAction* late = file->addAction(U("Late"));
    EXPECT_FALSE(Item(late, file).OnDrawItem());
    Paint(bar->actions()[0], bar, false, 60, 20);
    EXPECT_EQ(Item(late, file).OnDrawItem().Owner, xp);
}

TEST_F(XPMenuTest, IconsAreDimmedRaisedAndShadowed)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        p.fillRect(4, 4, 8, 8, QColor(255, 0, 0));
    }
    open->setIcon(QIcon(pm));
    xp->SetActive(true);
    Work();
    const TColor red = RGB(255, 0, 0);
    // Centred in the icon column: the picture at (3, 3), its square from (7, 7).
    QImage img = Paint(open, file, false, 200, 24);
    EXPECT_EQ(PixelAt(img, 9, 9), NewColor(nullptr, red, xp->DimLevel));
    EXPECT_EQ(PixelAt(img, 4, 4), xp->WorkIconBackColor);  // the picture's background is transparent

    img = Paint(open, file, true, 200, 24);  // raised by one pixel, shadow two pixels down-right
    EXPECT_EQ(PixelAt(img, 6, 6), red);
    EXPECT_EQ(PixelAt(img, 15, 15), GetShadeColor(nullptr, xp->WorkSelectColor, 50));

    open->setEnabled(false);
    img = Paint(open, file, false, 200, 24);
    EXPECT_EQ(PixelAt(img, 9, 9), NewColor(nullptr, GrayColor(nullptr, red, xp->GrayLevel), 40));
}

TEST_F(XPMenuTest, ChangingTheKindsRehooksAndSetFormMoves)
{
    xp->SetActive(true);
    xp->SetXPControls(XPBit(xcMainMenu));
    EXPECT_TRUE(MenuOwnerDraw(bar));
    EXPECT_FALSE(MenuOwnerDraw(popup));
    EXPECT_FALSE(Item(popupItem, popup).OnDrawItem());

    TForm other;
    auto* otherBar = new QMenuBar(&other);
    QAction* otherItem = otherBar->addMenu(U("Other"))->addAction(U("x"));
    xp->SetForm(&other);
    EXPECT_TRUE(xp->Active());
    EXPECT_FALSE(MenuOwnerDraw(bar));
    EXPECT_TRUE(MenuOwnerDraw(otherBar));
    EXPECT_EQ(Item(otherItem, otherBar->actions()[0]->menu()).OnDrawItem().Owner, xp);
    xp->SetForm(form);
    EXPECT_FALSE(MenuOwnerDraw(otherBar));
}

TEST(XPMenuNoFormTest, WithoutAFormActivationHooksNothing)
{
    EnsureButtonTestApp();
    TXPMenu xp(nullptr);
    xp.SetActive(true);
    xp.SetMenuBarColor(clRed);
    xp.SetXPControls(XPBit(xcPopupMenu));
    EXPECT_TRUE(xp.Active());
    EXPECT_EQ(xp.Form(), nullptr);
}
