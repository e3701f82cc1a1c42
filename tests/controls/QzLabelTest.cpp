// The styled label, its frame and its caption style, painted into images.
#include <gtest/gtest.h>

#include <QApplication>

#include "ButtonTestSupport.h"
#include "controls/QzLabel.h"

namespace {

constexpr TColor kBack = 0x00FFFF;  // yellow
constexpr TColor kRed = 0x0000FF;

// The bounding box of the pixels of one colour; empty when there are none.
TRect BoxOf(const QImage& img, TColor color)
{
    TRect box{img.width(), img.height(), -1, -1};
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (PixelAt(img, x, y) == color) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box;
}

class CountingLabel : public TQzLabel {
public:
    using TQzLabel::TQzLabel;
    void Paint() override
    {
        ++paints;
        TQzLabel::Paint();
    }
    int paints = 0;
};

class QzLabelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureButtonTestApp();
        label = new CountingLabel();
        label->SetAutoSize(false);
        label->SetBounds(0, 0, 120, 40);
        label->SetColor(kBack);
        label->Font()->SetColor(clBlack);
        label->Font()->SetHeight(-16);
        label->Frame()->SetVisible(false);
    }
    void TearDown() override { delete label; }
    CountingLabel* label = nullptr;
};

}  // namespace

TEST(QzCaptionStyleTest, AngleIsKeptInRangeAndSnapsWhenOrthogonal)
{
    TQzCaptionStyle s;
    int changes = 0;
    s.OnChanged = [&](TObject*) { ++changes; };
    s.SetAngle(400);
    EXPECT_EQ(s.Angle(), 0);
    s.SetAngle(200);
    EXPECT_EQ(s.Angle(), 200);
    s.SetAngle(-5);
    EXPECT_EQ(s.Angle(), 0);
    EXPECT_EQ(changes, 3);  // every call notifies, changed or not

    s.SetAngle(100);
    s.SetOrthogonalRotation(true);  // the current angle snaps
    EXPECT_EQ(s.Angle(), 90);
    const std::pair<int, int> snaps[] = {{45, 0}, {46, 90}, {135, 90}, {136, 180}, {225, 180}, {226, 270}, {315, 270}, {316, 0}};
    for (auto [in, out] : snaps) {
        s.SetAngle(in);
        EXPECT_EQ(s.Angle(), out) << in;
    }
}

TEST(QzCaptionStyleTest, RotationOffResetsAndIgnoresAngles)
{
    TQzCaptionStyle s;
    s.SetAngle(30);
    s.SetAllowRotation(false);
    EXPECT_EQ(s.Angle(), 0);
    s.SetAngle(60);
    EXPECT_EQ(s.Angle(), 0);
    s.SetAllowRotation(true);
    s.SetAngle(60);
    EXPECT_EQ(s.Angle(), 60);
}

TEST(QzCaptionStyleTest, AssignCopiesEverySettingAndNotifiesOnce)
{
    TQzCaptionStyle a, b;
    a.SetAngle(120);
    a.SetTextStyle(ptsShadow);
    a.SetShadowColor(kRed);
    a.SetShadowDepth(4);
    a.SetShadowDirection(psdTopLeft);
    a.SetOrthogonalRotation(true);
    int changes = 0;
    b.OnChanged = [&](TObject*) { ++changes; };
    b.Assign(a);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(b.Angle(), 90);
    EXPECT_EQ(b.TextStyle(), ptsShadow);
    EXPECT_EQ(b.ShadowColor(), kRed);
    EXPECT_EQ(b.ShadowDepth(), 4);
    EXPECT_EQ(b.ShadowDirection(), psdTopLeft);
    EXPECT_TRUE(b.OrthogonalRotation());
}

TEST(QzCaptionStyleTest, ExtentGrowsByTheStyleExtra)
{
    EnsureButtonTestApp();
    TQzCaptionStyle s;
    TCanvas canvas;
    TFont font;
    font.SetHeight(-14);
    const TRect r = Rect(0, 0, 200, 50);
    const TSize plain = s.TextExtent(&canvas, "Hello", font, r);
    s.SetTextStyle(ptsSunkenHeavy);
    const TSize heavy = s.TextExtent(&canvas, "Hello", font, r);
    EXPECT_EQ(heavy.cx, plain.cx + 2);
    EXPECT_EQ(heavy.cy, plain.cy + 2);
    s.SetTextStyle(ptsShadow);
    s.SetShadowDepth(5);
    EXPECT_EQ(s.TextExtent(&canvas, "Hello", font, r).cx, plain.cx + 5);
}

TEST(QzFrameTest, InvisibleFrameDrawsNothingAndVisibleOneShrinksItsSides)
{
    EnsureButtonTestApp();
    TBitmap bmp(20, 20);
    TCanvas* c = bmp.Canvas();
    c->Brush->Color = clWhite;
    c->FillRect(Rect(0, 0, 20, 20));
    TQzFrame f;
    int changes = 0;
    f.OnChange = [&](TObject*) { ++changes; };
    f.SetVisible(false);
    TRect r = Rect(0, 0, 20, 20);
    f.DrawFrame(c, r);
    c->Flush();
    EXPECT_EQ(r.Left, 0);
    EXPECT_EQ(r.Right, 20);
    EXPECT_EQ(bmp.Pixel(0, 0), clWhite);

    f.SetVisible(true);
    f.SetEdges(QzEdge(qzLeft));
    f.SetEdges(QzEdge(qzLeft));  // unchanged: no notice
    EXPECT_EQ(changes, 3);
    r = Rect(0, 0, 20, 20);
    f.DrawFrame(c, r);
    c->Flush();
    EXPECT_EQ(r.Left, 1);
    EXPECT_EQ(r.Top, 0);
    EXPECT_EQ(r.Right, 20);
    EXPECT_EQ(bmp.Pixel(0, 10), ColorToRGB(clBtnShadow));  // the flat edge
    EXPECT_EQ(bmp.Pixel(19, 10), clWhite);
}

TEST_F(QzLabelTest, ShadowPassIsOffsetByTheDepth)
{
    label->SetCaption("HH");
    label->CaptionStyle()->SetTextStyle(ptsShadow);
    label->CaptionStyle()->SetShadowColor(kRed);
    label->CaptionStyle()->SetShadowDepth(3);
    const QImage img = label->PaintToImage();
    const TRect text = BoxOf(img, clBlack), shadow = BoxOf(img, kRed);
    ASSERT_GT(text.Right, 0);
    ASSERT_GT(shadow.Right, 0);
    EXPECT_EQ(shadow.Right - text.Right, 3);
    EXPECT_EQ(shadow.Bottom - text.Bottom, 3);
    EXPECT_EQ(PixelAt(img, 118, 38), kBack);
}

TEST_F(QzLabelTest, LayoutAndAlignmentPlaceTheText)
{
    label->SetCaption("H");
    label->SetAlignment(taRightJustify);
    label->SetLayout(tlBottom);
    const TRect box = BoxOf(label->PaintToImage(), clBlack);
    ASSERT_GT(box.Right, 0);
    EXPECT_GT(box.Left, 90);
    EXPECT_GT(box.Top, 20);
}

TEST_F(QzLabelTest, RotatedTextRunsDownward)
{
    label->SetBounds(0, 0, 60, 120);
    label->SetCaption("HHHHH");
    label->CaptionStyle()->SetAngle(270);
    const TRect box = BoxOf(label->PaintToImage(), clBlack);
    ASSERT_GT(box.Right, 0);
    EXPECT_GT(box.Bottom - box.Top, 2 * (box.Right - box.Left));
}

TEST_F(QzLabelTest, FrameAndTransparency)
{
    label->Frame()->SetVisible(true);
    label->Frame()->SetStyle(pfsSunken);
    QImage img = label->PaintToImage();
    EXPECT_EQ(PixelAt(img, 0, 20), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelAt(img, 119, 20), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelAt(img, 60, 20), kBack);

    TButtonHost host(0x00FF00);
    label->SetParent(&host);
    label->SetBounds(10, 10, 50, 20);
    label->SetTransparent(true);
    img = host.PaintToImage();
    EXPECT_EQ(PixelAt(img, 35, 20), 0x00FF00u);  // the parent shows through
    label->SetParent(nullptr);
}

TEST_F(QzLabelTest, UpdatesSuspendPaintingAndHighlightHandlersChooseTheRepaint)
{
    label->BeginUpdate();
    EXPECT_NE(PixelAt(label->PaintToImage(), 60, 20), kBack);
    label->show();
    QApplication::processEvents();
    label->paints = 0;
    label->EndUpdate();
    EXPECT_EQ(label->paints, 1);
    EXPECT_EQ(PixelAt(label->PaintToImage(), 60, 20), kBack);

    bool ask = false;
    int calls = 0;
    label->OnMouseEnter = [&](TObject*, bool& changed) {
        ++calls;
        changed = ask;
    };
    label->paints = 0;
    Enter(label);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(label->paints, 0);
    ask = true;
    Enter(label);
    EXPECT_EQ(label->paints, 1);
    EXPECT_EQ(label->UpdateCount(), 0);
}

TEST_F(QzLabelTest, AutoSizeFollowsTheCaption)
{
    EXPECT_EQ(label->About(), "TQzLabel,1.0");
    label->SetAutoSize(true);
    label->SetCaption("W");
    const int narrow = label->Width();
    label->SetCaption("WWWWWW");
    EXPECT_GT(label->Width(), 4 * narrow);
    label->SetAutoSize(false);
    label->SetCaption("W");
    EXPECT_GT(label->Width(), 4 * narrow);
}
