// The track bar: value <-> thumb mapping, drags, setters' bounds and the painted parts.
#include <gtest/gtest.h>

#include "ButtonTestSupport.h"
#include "controls/QzTrackBar.h"

namespace {

class QzTrackBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureButtonTestApp();
        bar = new TQzTrackBar();
        // Thumb 20 wide: travel from 15 to 115, 100 pixels.
        bar->SetBounds(0, 0, 130, 24);
        bar->OnChangedValue = [this](TObject*, int v) { events.push_back(v); };
    }
    void TearDown() override { delete bar; }
    TQzTrackBar* bar = nullptr;
    std::vector<int> events;
};

}  // namespace

TEST_F(QzTrackBarTest, GeometryFollowsSizeAndValue)
{
    EXPECT_EQ(bar->ThumbMin(), 15);
    EXPECT_EQ(bar->ThumbMax(), 115);
    EXPECT_EQ(bar->ThumbPosition(), 15);
    bar->SetValue(50);
    EXPECT_EQ(bar->ThumbPosition(), 65);
    EXPECT_EQ(bar->ThumbRect().Left, 55);
    EXPECT_EQ(bar->ThumbRect().Right, 75);
    EXPECT_EQ(bar->TrackRect().Top, 9);
    EXPECT_EQ(bar->TrackRect().Bottom, 15);
    EXPECT_EQ(bar->TrackArea().Top, 4);
    bar->SetBounds(0, 0, 230, 24);  // the thumb keeps its value
    EXPECT_EQ(bar->ThumbPosition(), 115);
    EXPECT_TRUE(events.empty());
}

TEST_F(QzTrackBarTest, DraggingMapsThePositionAndStopsAtTheEnds)
{
    Press(bar, 65, 12);
    EXPECT_EQ(bar->Value(), 50);
    ASSERT_EQ(events.size(), 1u);  // a click on the track fires once
    EXPECT_EQ(events[0], 50);
    Move(bar, 500, 12);
    EXPECT_EQ(bar->Value(), 100);
    EXPECT_EQ(bar->ThumbPosition(), 115);
    Move(bar, -40, 12);
    EXPECT_EQ(bar->Value(), 0);
    Move(bar, -50, 12);  // no change still reports
    EXPECT_EQ(events.size(), 4u);
    Release(bar, -50, 12);
    SendMouse(bar, QEvent::MouseMove, 70, 12, Qt::NoButton);
    EXPECT_EQ(bar->Value(), 0);
    SendMouse(bar, QEvent::MouseButtonPress, 70, 12, Qt::RightButton);
    EXPECT_EQ(bar->Value(), 0);
    EXPECT_EQ(events.size(), 4u);
}

TEST_F(QzTrackBarTest, HalvesRoundToTheEvenValue)
{
    bar->SetMax(1);
    Press(bar, 65, 12);  // exactly half way: 0.5
    EXPECT_EQ(bar->Value(), 0);
    bar->SetMax(3);
    bar->SetMin(2);
    Press(bar, 65, 12);  // 2.5
    EXPECT_EQ(bar->Value(), 2);
}

TEST_F(QzTrackBarTest, SettersKeepTheRange)
{
    bar->SetValue(150);
    EXPECT_EQ(bar->Value(), 0);
    bar->SetValue(80);
    bar->SetMin(100);
    EXPECT_EQ(bar->Min(), 0);
    bar->SetMax(0);
    EXPECT_EQ(bar->Max(), 100);
    bar->SetMax(60);
    EXPECT_EQ(bar->Value(), 60);
    EXPECT_EQ(bar->ThumbPosition(), 115);
    bar->SetMin(70);  // above the maximum: refused
    EXPECT_EQ(bar->Min(), 0);
    bar->SetMin(-60);
    EXPECT_EQ(bar->ThumbPosition(), 115);
    bar->SetValue(0);
    EXPECT_EQ(bar->ThumbPosition(), 65);
    bar->SetTumbHeight(24);  // not below the height: refused
    EXPECT_EQ(bar->TumbHeight(), 16);
    bar->SetTrackHeight(30);
    EXPECT_EQ(bar->TrackHeight(), 6);
}

TEST_F(QzTrackBarTest, AControlWithoutTravelStaysAtMin)
{
    bar->SetBounds(0, 0, 30, 24);  // both travel ends at 15
    bar->SetMin(5);
    Press(bar, 20, 12);
    EXPECT_EQ(bar->Value(), 5);
    ASSERT_EQ(events.size(), 1u);
}

TEST_F(QzTrackBarTest, PaintsBackgroundTrackAndThumb)
{
    bar->SetShowCaption(false);
    bar->SetBackColor(0x00FF00);
    bar->SetTrackColor(0xFF0000);
    bar->SetTumbColor(0x0000FF);
    bar->SetValue(100);
    QImage img = bar->PaintToImage();
    EXPECT_EQ(PixelAt(img, 2, 2), 0x00FF00u);
    EXPECT_EQ(PixelAt(img, 40, 12), 0xFF0000u);
    EXPECT_EQ(PixelAt(img, 40, 9), clBlack);  // the sunken track frame
    EXPECT_EQ(PixelAt(img, 115, 12), 0x0000FFu);
    EXPECT_EQ(PixelAt(img, 105, 4), ColorToRGB(clBtnHighlight));  // the raised thumb frame

    TBitmap tile(10, 10);
    tile.Canvas()->Brush->Color = 0x123456;
    tile.Canvas()->FillRect(Rect(0, 0, 10, 10));
    bar->SetBackBitmap(tile);
    img = bar->PaintToImage();
    EXPECT_EQ(PixelAt(img, 2, 2), 0x123456u);
    EXPECT_EQ(PixelAt(img, 127, 22), 0x123456u);
}

TEST_F(QzTrackBarTest, ThumbBitmapKeyColourTakesTheThumbColour)
{
    TBitmap thumb(4, 4);
    thumb.Canvas()->Brush->Color = 0xFF00FF;
    thumb.Canvas()->FillRect(Rect(0, 0, 4, 4));
    thumb.Canvas()->Flush();
    thumb.SetPixel(2, 2, 0x00FF00);
    bar->SetTumbColor(0x0000FF);
    bar->SetTumbBitmap(thumb);
    EXPECT_EQ(bar->TumbBitmap()->Pixel(0, 0), 0x0000FFu);
    EXPECT_EQ(bar->TumbBitmap()->Pixel(2, 2), 0x00FF00u);
    bar->SetTumbColor(0xFF0000);  // the previous thumb colour is the key now
    EXPECT_EQ(bar->TumbBitmap()->Pixel(3, 3), 0xFF0000u);
    EXPECT_EQ(bar->TumbBitmap()->Pixel(2, 2), 0x00FF00u);

    bar->SetShowCaption(false);
    bar->SetValue(50);  // thumb centre 65, 12: the bitmap sits at (63, 10)
    const QImage img = bar->PaintToImage();
    EXPECT_EQ(PixelAt(img, 65, 12), 0x00FF00u);
}

TEST_F(QzTrackBarTest, VerticalBarsMapTheYPosition)
{
    bar->SetOrientation(vxrVertical);
    bar->SetBounds(0, 0, 24, 130);  // thumb 16 high: travel from 13 to 117
    EXPECT_EQ(bar->ThumbMin(), 13);
    EXPECT_EQ(bar->ThumbMax(), 117);
    Press(bar, 12, 65);
    EXPECT_EQ(bar->Value(), 50);
    EXPECT_EQ(bar->ThumbRect().Top, 57);
    EXPECT_EQ(bar->ThumbRect().Left, 2);
    Move(bar, 12, 1000);
    EXPECT_EQ(bar->Value(), 100);
}
