#pragma once
// Text effects of a styled label: raised, sunken, heavy and shadowed text drawn in several
// offset passes, and text rotated by an angle in whole degrees.
#include <cstdint>
#include <string>

#include "controls/common/Qzcommon.h"
#include "platform/gui/Graphics.h"

enum TQzShadowDirection : uint8_t { psdTopLeft, psdTopRight, psdBottomLeft, psdBottomRight };

class TQzCaptionStyle : public TObject {
public:
    // Degrees, 0..359. Values outside 1..359 give 0. With OrthogonalRotation the value snaps to
    // 0, 90, 180 or 270 (1..45 -> 0, 46..135 -> 90, 136..225 -> 180, 226..315 -> 270,
    // 316..359 -> 0); without AllowRotation a value in 1..359 is ignored. OnChanged fires in
    // every case.
    int Angle() const { return angle_; }
    void SetAngle(int v);
    TQzTextStyle TextStyle() const { return textStyle_; }
    void SetTextStyle(TQzTextStyle v);
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor v);
    // Offset of the shadow of ptsShadow, pixels.
    int ShadowDepth() const { return shadowDepth_; }
    void SetShadowDepth(int v);
    TQzShadowDirection ShadowDirection() const { return shadowDirection_; }
    void SetShadowDirection(TQzShadowDirection v);
    // Turning rotation off resets a non-zero angle to 0.
    bool AllowRotation() const { return allowRotation_; }
    void SetAllowRotation(bool v);
    // Turning it on snaps the current angle.
    bool OrthogonalRotation() const { return orthogonalRotation_; }
    void SetOrthogonalRotation(bool v);

    // Copies all seven settings and fires OnChanged once.
    void Assign(const TQzCaptionStyle& source);

    // Draws `text` in `rect`: rotated when Angle is not 0 and rotation is allowed, otherwise
    // flat with the DrawText flags `flags` (the alignment flag is added). Returns the size of
    // the text including the style's extra pixels.
    TSize Draw(TCanvas* canvas, const std::string& text, const TFont& font, const TRect& rect,
               TAlignment alignment, TTextLayout layout, unsigned flags);
    // The size the flat drawing would take, drawing nothing.
    TSize TextExtent(TCanvas* canvas, const std::string& text, const TFont& font, const TRect& rect);

    // The flat drawing; with DT_CALCRECT in `flags` it only measures.
    TSize Draw3DText(TCanvas* canvas, const std::string& text, const TFont& font, const TRect& rect,
                     TAlignment alignment, TTextLayout layout, unsigned flags);
    // The rotated drawing at Angle.
    void Draw3DAngleText(TCanvas* canvas, const std::string& text, const TFont& font, const TRect& rect,
                         TAlignment alignment, TTextLayout layout);

    TNotifyEvent OnChanged;

private:
    struct Pass { int dx, dy; TColor color; };
    // The passes before the final one at (0, 0) in the font's colour, and the extra pixels.
    int Passes(Pass (&passes)[2]) const;
    void Changed();

    int angle_ = 0;
    TQzTextStyle textStyle_ = ptsNormal;
    TColor shadowColor_ = clBtnShadow;
    int shadowDepth_ = 2;
    TQzShadowDirection shadowDirection_ = psdBottomRight;
    bool allowRotation_ = true;
    bool orthogonalRotation_ = false;
};
