#pragma once
// A window-less image-and-text button that paints over its parent, so the parent shows through.
// Seven frame styles, nine placements of the text around the glyph, a stay-down state, grey and
// embossed disabled versions of the glyph made automatically, an optional popup menu opened by a
// press and an optional drag-to-move mode.

#include <QMenu>
#include <QPointer>
#include <memory>

#include "controls/ButtonAccel.h"
#include "platform/gui/Controls.h"
#include "platform/gui/ImageList.h"


enum TFrameStyle { fsRegular, fsIndent, fsExplorer, fsNone, fsLight, fsDark, fsMono };
// Where the text stands; the glyph takes the opposite side.
enum TTextAlign {
    ttaTopLeft, ttaTop, ttaTopRight, ttaRight, ttaBottomRight, ttaBottom, ttaBottomLeft, ttaLeft, ttaCenter
};

class TTransparentButton : public TGraphicControl {
public:
    explicit TTransparentButton(QWidget* parent = nullptr, TComponent* owner = nullptr);
    ~TTransparentButton() override;

    bool AutoGray() const { return autoGray_; }
    void SetAutoGray(bool v) { autoGray_ = v; }
    unsigned BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(unsigned v);
    bool Down() const { return down_; }
    // Stores the value and draws the button pressed (true) or up (false) at once. A Down button
    // stays drawn pressed through mouse presses until Down is set false.
    void SetDown(bool v);
    TFrameStyle FrameStyle() const { return frameStyle_; }
    void SetFrameStyle(TFrameStyle v);
    // The owned glyph: a strip of NumGlyphs images (normal, disabled, pressed, down). Assigning
    // or changing it (Glyph()->LoadFromFile, Assign) rebuilds the images; a strip of 1 to 4
    // squares sets NumGlyphs.
    TBitmap* Glyph() { return &glyph_; }
    void SetGlyph(const TBitmap& bitmap);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int v); // 1..4
    QMenu* PopUpMenu() const { return popUpMenu_; }
    void SetPopUpMenu(QMenu* menu) { popUpMenu_ = menu; }
    bool ShowPressed() const { return showPressed_; }
    void SetShowPressed(bool v) { showPressed_ = v; }
    int Spacing() const { return spacing_; }
    void SetSpacing(int v);
    TTextAlign TextAlign() const { return textAlign_; }
    void SetTextAlign(TTextAlign v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    bool Movable() const { return movable_; }
    void SetMovable(bool v) { movable_ = v; }

    // OnMouseEnter (inherited) and OnMouseExit fire for enabled buttons only.
    TNotifyEvent OnMouseExit;

    // State a caller or test can read.
    bool Hot() const { return hot_; }
    bool DrawnPressed() const { return pressedLook_ != 0; }
    const TImageList& Images() const { return *images_; }
    // A dialog character: clicks an enabled button whose caption has `key` as accelerator.
    bool DialogChar(char key);

    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void EnabledChanged() override;
    void TextChanged() override;

private:
    void GlyphChanged();
    void BuildImages();
    void PaintFrame();
    void PaintContent();
    void DrawImage(const TRect& g);
    void DrawCaption(const TRect& g);

    TColor faceColor_ = clBtnFace;
    bool mouseDown_ = false;
    TTextAlign textAlign_ = ttaCenter;
    bool autoGray_ = true;
    bool transparent_ = true;
    bool tracking_ = false;
    bool showPressed_ = true;
    int spacing_ = 2;
    TBitmap glyph_;
    QPointer<QMenu> popUpMenu_;
    uint8_t pressedLook_ = 0;
    unsigned borderWidth_ = 1;
    int numGlyphs_ = 1;
    std::unique_ptr<TImageList> images_;
    TFrameStyle frameStyle_ = fsExplorer;
    bool hot_ = false;
    bool wordWrap_ = false;
    bool down_ = false;
    bool movable_ = false;
    int grabY_ = 0;
    int grabX_ = 0;
    TAccelShortcut accel_;
};
