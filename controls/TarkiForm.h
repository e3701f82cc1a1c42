#pragma once
// The frame of a borderless window: a framed panel that moves its owner window when dragged
// inside its inner area (CaptionMove), resizes it from its edges and corners (FormResize) and
// toggles it between maximized and normal on a double click (FormMaximize).
//
// Moving uses the window system's own move where it offers one and otherwise moves the window
// itself; resizing is always carried out here, asking CanResize (and through it OnResizeWidth,
// OnResizeHeight, OnResizeBoth) with the frame's new size at every step.
#include <QPoint>
#include <QRect>
#include <functional>

#include "controls/TarkiPanel.h"

class TTarkiForm : public TTarkiPanel {
public:
    // Handlers may change the proposed size; false refuses the step.
    using TResizeEvent = std::function<bool(TObject* Sender, int& NewWidth, int& NewHeight)>;

    explicit TTarkiForm(QWidget* parent = nullptr, TComponent* owner = nullptr);

    bool CaptionMove() const { return captionMove_; }
    void SetCaptionMove(bool v) { captionMove_ = v; }
    bool FormResize() const { return formResize_; }
    void SetFormResize(bool v);
    bool FormMaximize() const { return formMaximize_; }
    void SetFormMaximize(bool v) { formMaximize_ = v; }

    TNotifyEvent OnMouseExit;
    TResizeEvent OnResizeWidth;
    TResizeEvent OnResizeHeight;
    TResizeEvent OnResizeBoth;

    // Zones: 0 none, 1 top-left, 2 top, 3 top-right, 4 left, 5 right, 6 bottom-left, 7 bottom,
    // 8 bottom-right.
    int Zone() const { return zone_; }
    int ResizeZone() const { return resizeZone_; }
    bool Hovered() const { return hover_; }
    // BevelWidth + BorderWidth, 1 when that is 0: the inner area starts past it.
    int Margin() const;
    bool Moving() const { return drag_ == DragMove; }
    // The resize check: allowed when no resize is in progress; otherwise the event for the
    // edge in use decides (an unassigned event allows).
    bool CanResize(int& NewWidth, int& NewHeight);

    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    void MouseEnter() override;
    void MouseLeave() override;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    enum DragKind { DragNone, DragMove, DragResize };
    bool InInnerArea(int x, int y) const;
    // The zone under (x, y) outside the inner area, with its cursor.
    int ZoneAt(int x, int y, TCursor& cursor) const;
    TForm* OwnerForm() const;
    QWidget* OwnerWindow() const;
    bool OwnerNormal() const;
    static bool MainFormMaximized();
    void ResizeStep(const QPoint& global);

    bool captionMove_ = false;
    bool formResize_ = false;
    bool formMaximize_ = false;
    bool hover_ = false;
    int zone_ = 0;
    int resizeZone_ = 0;
    DragKind drag_ = DragNone;
    QPoint lastGlobal_;
    QPoint pressGlobal_;
    QRect startGeometry_;
    QSize startSize_;
};
