#pragma once
// The per-control painters of the flat look: one TControlSubClass watches one standard control
// (combo box, edit, memo, rich edit, check box, radio button, push button, button with a glyph,
// tool button, panel, group box), tracks its hover, focus and pressed states, and paints its
// border, box, button or frame in the working colours of its TXPMenu after the control has
// painted itself (a tool button, which has no look of its own here, is painted completely).
#include <QObject>
#include <QPointer>

#include "controls/XPMenu.h"

class QPainter;

// The kind of painter a control gets (xcMainMenu when none).
TXPControl ControlKind(const QWidget* control, bool* matched);
// The container kind of a control's parent; false when the parent is no container.
bool ContainerKind(const QWidget* parent, TXPContainer& kind);

class TControlSubClass : public QObject {
public:
    TControlSubClass(TXPMenu* owner, QWidget* control);
    ~TControlSubClass() override;

    QWidget* Control() const { return control_; }
    bool Hot() const { return hot_; }
    bool MouseDown() const { return mouseDown_; }
    bool SpaceDown() const { return spaceDown_; }
    // Paints the flat look over the control with `canvas` (bound to the control).
    void PaintControlXP(TCanvas* canvas);
    // Gives the control back its own look and frees this object.
    void Release();

    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // P: the parent's colour; K: the control's own.
    TColor ParentColor() const;
    TColor ControlColor() const;
    bool TakesParentColor() const;
    void PaintCombo(TCanvas* c);
    void PaintEdit(TCanvas* c, bool richEdit);
    void PaintCheckBox(TCanvas* c, bool radio);
    void PaintButton(TCanvas* c, bool withGlyph);
    void PaintSpeedButton(TCanvas* c);
    void PaintPanel(TCanvas* c);
    void PaintGroupBox(TCanvas* c);
    void DrawGlyphAndCaption(TCanvas* c, const TRect& client, bool hot, bool checked, bool speedButton);

    TXPMenu* owner_;
    QPointer<QWidget> control_;
    bool hot_ = false;
    bool mouseDown_ = false;
    bool spaceDown_ = false;
    bool spaceRepeat_ = false;
    bool focused_ = false;
};
