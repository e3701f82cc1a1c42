#include "controls/TarkiPanel.h"

TTarkiPanel::TTarkiPanel(QWidget* parent, TComponent* owner) : TCustomPanel(parent, owner)
{
    Ctl3D = false;
}

void TTarkiPanel::SetLineTop(TColor c) { lineTop_ = c; Repaint(); }
void TTarkiPanel::SetLineBottom(TColor c) { lineBottom_ = c; Repaint(); }
void TTarkiPanel::SetLineLeft(TColor c) { lineLeft_ = c; Repaint(); }
void TTarkiPanel::SetLineRight(TColor c) { lineRight_ = c; Repaint(); }

void TTarkiPanel::Paint()
{
    TCustomPanel::Paint();
    TCanvas* c = Canvas();
    c->Pen->Style = psSolid;
    c->Pen->Width = 1;
    c->Pen->Mode = pmCopy;
    const int w = Width(), h = Height();
    const int n = BevelWidth() == 0 ? 1 : BevelWidth();
    // Frame i lies i pixels inside the edge; each line leaves out its end pixel, which the next
    // line of the frame covers.
    for (int i = 0; i < n; ++i) {
        c->Pen->Color = lineLeft_;
        c->MoveTo(i, i);
        c->LineTo(i, h - 1 - i);
        c->Pen->Color = lineRight_;
        c->MoveTo(w - 1 - i, i);
        c->LineTo(w - 1 - i, h - 1 - i);
        c->Pen->Color = lineTop_;
        c->MoveTo(i, i);
        c->LineTo(w - 1 - i, i);
        c->Pen->Color = lineBottom_;
        c->MoveTo(i, h - 1 - i);
        c->LineTo(w - i, h - 1 - i);
    }
}
