#pragma once
// A panel that draws a frame of up to four colours, BevelWidth pixels deep, over its usual look.
#include "platform/gui/Controls.h"

class TTarkiPanel : public TCustomPanel {
public:
    explicit TTarkiPanel(QWidget* parent = nullptr, TComponent* owner = nullptr);

    TColor LineTop() const { return lineTop_; }
    TColor LineBottom() const { return lineBottom_; }
    TColor LineLeft() const { return lineLeft_; }
    TColor LineRight() const { return lineRight_; }
    // Each setter stores the colour and repaints at once.
    void SetLineTop(TColor c);
    void SetLineBottom(TColor c);
    void SetLineLeft(TColor c);
    void SetLineRight(TColor c);

    void Paint() override;

private:
    TColor lineTop_ = clBlack;
    TColor lineBottom_ = clBlack;
    TColor lineLeft_ = clBlack;
    TColor lineRight_ = clBlack;
};
