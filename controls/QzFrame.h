#pragma once
// The frame of a styled label: an edge of one of seven kinds on any of the four sides.
#include <cstdint>

#include "platform/gui/Graphics.h"

enum TQzFrameStyle : uint8_t { pfsRaised, pfsSunken, pfsBump, pfsEtched, pfsRaisedHeavy, pfsSunkenHeavy, pfsFlat };
enum TQzEdge : uint8_t { qzLeft, qzTop, qzRight, qzBottom };
// A set of TQzEdge: bit (1 << edge).
using TQzEdges = uint8_t;
constexpr TQzEdges QzEdge(TQzEdge e) { return static_cast<TQzEdges>(1u << e); }
constexpr TQzEdges qzAllEdges = 0x0F;

class TQzFrame : public TObject {
public:
    TQzEdges Edges() const { return edges_; }
    void SetEdges(TQzEdges v);
    TQzFrameStyle Style() const { return style_; }
    void SetStyle(TQzFrameStyle v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);

    // Copies Edges, Style and Visible (each through its setter, so OnChange may fire).
    void Assign(const TQzFrame& source);

    // Draws the edge on `r` when Visible; r then shrinks to the inside of the drawn sides.
    // An invisible frame draws nothing and leaves r whole.
    void DrawFrame(TCanvas* canvas, TRect& r) const;

    // Fired after a setter changed a value.
    TNotifyEvent OnChange;

private:
    void Changed();
    TQzEdges edges_ = qzAllEdges;
    TQzFrameStyle style_ = pfsFlat;
    bool visible_ = true;
};
