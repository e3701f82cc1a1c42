#include "controls/QzFrame.h"

void TQzFrame::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TQzFrame::SetEdges(TQzEdges v)
{
    v &= qzAllEdges;
    if (v == edges_)
        return;
    edges_ = v;
    Changed();
}

void TQzFrame::SetStyle(TQzFrameStyle v)
{
    if (v == style_)
        return;
    style_ = v;
    Changed();
}

void TQzFrame::SetVisible(bool v)
{
    if (v == visible_)
        return;
    visible_ = v;
    Changed();
}

void TQzFrame::Assign(const TQzFrame& source)
{
    if (&source == this)
        return;
    SetEdges(source.edges_);
    SetStyle(source.style_);
    SetVisible(source.visible_);
}

void TQzFrame::DrawFrame(TCanvas* canvas, TRect& r) const
{
    if (!visible_ || canvas == nullptr)
        return;
    unsigned edge = BDR_RAISEDOUTER;
    switch (style_) {
    case pfsRaised: edge = BDR_RAISEDOUTER; break;
    case pfsSunken: edge = BDR_SUNKENOUTER; break;
    case pfsBump: edge = BDR_RAISEDOUTER | BDR_SUNKENINNER; break;
    case pfsEtched: edge = BDR_SUNKENOUTER | BDR_RAISEDINNER; break;
    case pfsRaisedHeavy: edge = BDR_RAISEDOUTER | BDR_RAISEDINNER; break;
    case pfsSunkenHeavy: edge = BDR_SUNKENOUTER | BDR_SUNKENINNER; break;
    case pfsFlat: edge = BDR_RAISEDOUTER; break;
    }
    unsigned flags = BF_ADJUST;
    if (edges_ & QzEdge(qzLeft)) flags |= BF_LEFT;
    if (edges_ & QzEdge(qzTop)) flags |= BF_TOP;
    if (edges_ & QzEdge(qzRight)) flags |= BF_RIGHT;
    if (edges_ & QzEdge(qzBottom)) flags |= BF_BOTTOM;
    if (style_ == pfsFlat)
        flags |= BF_FLAT;
    DrawEdge(canvas, r, edge, flags);
}
