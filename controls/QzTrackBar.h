#pragma once
// A slider: a track with a thumb dragged with the left mouse button, mapping the thumb's pixel
// position linearly onto the integer range Min..Max, with an optional tiled background bitmap, an
// optional thumb bitmap whose key colour takes the thumb colour, and the value printed on the
// thumb. Every drag step is reported through OnChangedValue.
#include <functional>

#include "platform/gui/Controls.h"

enum TvxrOrientation { vxrHorizontal, vxrVertical };
using TOnChangedValue = std::function<void(TObject* Sender, int NewValue)>;

class TQzTrackBar : public TCustomControl {
public:
    explicit TQzTrackBar(QWidget* parent = nullptr, TComponent* owner = nullptr);
    ~TQzTrackBar() override;

    int Value() const { return value_; }
    // Accepted only within Min..Max; moves the thumb; fires no event.
    void SetValue(int v);
    int Min() const { return min_; }
    // Accepted only below Max; a Value below it is raised to it.
    void SetMin(int v);
    int Max() const { return max_; }
    // Accepted only above Min; a Value above it is lowered to it.
    void SetMax(int v);

    TColor TrackColor() const { return trackColor_; }
    void SetTrackColor(TColor v);
    TColor TumbColor() const { return tumbColor_; }
    // Also recolours the thumb bitmap: its pixels of the key colour take the new colour.
    void SetTumbColor(TColor v);
    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor v);
    int TumbWidth() const { return tumbWidth_; }
    void SetTumbWidth(int v);
    int TumbHeight() const { return tumbHeight_; }
    // Accepted only below the control's height.
    void SetTumbHeight(int v);
    int TrackHeight() const { return trackHeight_; }
    // Accepted only below the height (horizontal) or the width (vertical).
    void SetTrackHeight(int v);
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool v);
    TColor CaptionColor() const { return captionColor_; }
    void SetCaptionColor(TColor v);
    bool TrackBorder() const { return trackBorder_; }
    void SetTrackBorder(bool v);
    // Stored only: the thumb's raised frame is drawn either way.
    bool TumbBorder() const { return tumbBorder_; }
    void SetTumbBorder(bool v);
    bool BackBorder() const { return backBorder_; }
    void SetBackBorder(bool v);
    bool CaptionBold() const { return captionBold_; }
    void SetCaptionBold(bool v);
    TvxrOrientation Orientation() const { return orientation_; }
    // The size of the control is swapped only at design time, which this program has none of.
    void SetOrientation(TvxrOrientation v);
    TBitmap* BackBitmap() { return &backBitmap_; }
    void SetBackBitmap(const TBitmap& bitmap);
    TBitmap* TumbBitmap() { return &tumbBitmap_; }
    // Copied in, then recoloured: pixels of the colour of its pixel (0, 0) take TumbColor.
    void SetTumbBitmap(const TBitmap& bitmap);

    TOnChangedValue OnChangedValue;

    // Geometry of the last computation, in client pixels.
    int ThumbPosition() const { return thumbPos_; }
    int ThumbMin() const { return thumbMin_; }
    int ThumbMax() const { return thumbMax_; }
    TRect TrackRect() const { return trackRect_; }
    TRect TrackArea() const { return trackArea_; }
    TRect ThumbRect() const { return thumbRect_; }

    void Paint() override;
    void Resize() override;
    // The geometry follows at once, also while the control is hidden.
    void SetBounds(int left, int top, int width, int height) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;

private:
    void CalcTravel();
    void CalcTrackRect();
    void CalcThumbRect();
    void PositionFromValue();
    void ValueFromPosition();
    void RecolorThumb();
    void Changed();

    TRect trackArea_;
    TRect trackRect_;
    TRect thumbRect_;
    int thumbPos_ = 0;
    int thumbMin_ = 0;
    int thumbMax_ = 0;
    int value_ = 0;
    int min_ = 0;
    int max_ = 100;
    TColor trackColor_ = 0x808080;
    TColor tumbColor_ = 0xC0C0C0;
    TColor backColor_ = 0xC0C0C0;
    int tumbWidth_ = 20;
    int tumbHeight_ = 16;
    int trackHeight_ = 6;
    bool showCaption_ = true;
    TColor captionColor_ = 0;
    bool trackBorder_ = true;
    bool tumbBorder_ = false;
    bool backBorder_ = false;
    bool captionBold_ = false;
    TvxrOrientation orientation_ = vxrHorizontal;
    TBitmap backBitmap_;
    TBitmap tumbBitmap_;
};
