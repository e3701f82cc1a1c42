#include "controls/TarkiForm.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWindow>
#include <algorithm>

namespace {
constexpr int CornerBand = 20;  // pixels of each corner that resize diagonally
}

TTarkiForm::TTarkiForm(QWidget* parent, TComponent* owner) : TTarkiPanel(parent, owner) {}

void TTarkiForm::SetFormResize(bool v)
{
    formResize_ = v;
    SetCursor(crDefault);
    zone_ = 0;
}

int TTarkiForm::Margin() const
{
    const int m = BevelWidth() + BorderWidth();
    return m == 0 ? 1 : m;
}

void TTarkiForm::Paint() { TTarkiPanel::Paint(); }

TForm* TTarkiForm::OwnerForm() const
{
    if (auto* f = dynamic_cast<TForm*>(Owner()))
        return f;
    return ParentForm();
}

QWidget* TTarkiForm::OwnerWindow() const
{
    if (TForm* f = OwnerForm())
        return f;
    return window();
}

bool TTarkiForm::OwnerNormal() const
{
    const TForm* f = OwnerForm();
    return !f || f->WindowState() == wsNormal;
}

bool TTarkiForm::MainFormMaximized()
{
    const TForm* main = Application()->MainForm;
    return main && main->WindowState() == wsMaximized;
}

bool TTarkiForm::InInnerArea(int x, int y) const
{
    const int m = Margin();
    return m < x && x < Width() - m && m < y && y < Height() - m;
}

int TTarkiForm::ZoneAt(int x, int y, TCursor& cursor) const
{
    const int w = Width(), h = Height();
    cursor = crDefault;
    if (x < CornerBand && y < CornerBand) { cursor = crSizeNWSE; return 1; }
    if (x > w - CornerBand && y > h - CornerBand) { cursor = crSizeNWSE; return 8; }
    if (x > w - CornerBand && y < CornerBand) { cursor = crSizeNESW; return 3; }
    if (x < CornerBand && y > h - CornerBand) { cursor = crSizeNESW; return 6; }
    if (y < CornerBand) { cursor = crSizeNS; return 2; }
    if (y > h - CornerBand) { cursor = crSizeNS; return 7; }
    if (x < CornerBand) { cursor = crSizeWE; return 4; }
    if (x > w - CornerBand) { cursor = crSizeWE; return 5; }
    return 0;
}

void TTarkiForm::mousePressEvent(QMouseEvent* e)
{
    lastGlobal_ = e->globalPosition().toPoint();
    TTarkiPanel::mousePressEvent(e);
}

void TTarkiForm::mouseMoveEvent(QMouseEvent* e)
{
    lastGlobal_ = e->globalPosition().toPoint();
    TTarkiPanel::mouseMoveEvent(e);
}

void TTarkiForm::MouseMove(TShiftState shift, int x, int y)
{
    if (drag_ != DragNone) {
        QWidget* win = OwnerWindow();
        if (drag_ == DragMove && win)
            win->move(startGeometry_.topLeft() + (lastGlobal_ - pressGlobal_));
        else if (drag_ == DragResize)
            ResizeStep(lastGlobal_);
        TTarkiPanel::MouseMove(shift, x, y);
        return;
    }
    if (formResize_) {
        if (MainFormMaximized()) {
            SetCursor(crDefault);
            zone_ = 0;
            return;
        }
        if (InInnerArea(x, y)) {
            SetCursor(crDefault);
            zone_ = 0;
        } else {
            TCursor cursor;
            zone_ = ZoneAt(x, y, cursor);
            SetCursor(cursor);
        }
    }
    TTarkiPanel::MouseMove(shift, x, y);
}

void TTarkiForm::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TTarkiPanel::MouseDown(button, shift, x, y);
    resizeZone_ = 0;
    if (button != mbLeft)
        return;
    QWidget* win = OwnerWindow();
    if (!win)
        return;
    // The zone is taken from the press itself, not from the last move.
    int zoneHere = 0;
    if (formResize_ && !MainFormMaximized() && !InInnerArea(x, y)) {
        TCursor cursor;
        zoneHere = ZoneAt(x, y, cursor);
        zone_ = zoneHere;
        SetCursor(cursor);
    }
    pressGlobal_ = lastGlobal_;
    if (captionMove_ && OwnerNormal() && InInnerArea(x, y)) {
        QWindow* handle = win->windowHandle();
        const bool offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");
        if (handle && !offscreen && handle->startSystemMove())
            return;
        drag_ = DragMove;
        startGeometry_ = win->frameGeometry();
        return;
    }
    if (formResize_ && zoneHere != 0 && OwnerNormal()) {
        resizeZone_ = zoneHere;
        drag_ = DragResize;
        startGeometry_ = win->geometry();
        startSize_ = size();
    }
}

void TTarkiForm::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && drag_ != DragNone) {
        drag_ = DragNone;
        resizeZone_ = 0;
    }
    TTarkiPanel::MouseUp(button, shift, x, y);
}

void TTarkiForm::ResizeStep(const QPoint& global)
{
    QWidget* win = OwnerWindow();
    if (!win)
        return;
    const QPoint d = global - pressGlobal_;
    const int z = resizeZone_;
    const bool left = z == 1 || z == 4 || z == 6, right = z == 3 || z == 5 || z == 8;
    const bool top = z == 1 || z == 2 || z == 3, bottom = z == 6 || z == 7 || z == 8;
    const QRect g = startGeometry_;
    int w = g.width() + (right ? d.x() : left ? -d.x() : 0);
    int h = g.height() + (bottom ? d.y() : top ? -d.y() : 0);
    const QSize minimum = win->minimumSize().expandedTo(QSize(2 * CornerBand, 2 * CornerBand));
    w = std::max(w, minimum.width());
    h = std::max(h, minimum.height());
    // The frame's own new size is what the resize check sees.
    int newWidth = startSize_.width() + (w - g.width());
    int newHeight = startSize_.height() + (h - g.height());
    if (!CanResize(newWidth, newHeight))
        return;
    w = std::max(g.width() + (newWidth - startSize_.width()), minimum.width());
    h = std::max(g.height() + (newHeight - startSize_.height()), minimum.height());
    const int x = left ? g.right() + 1 - w : g.left();
    const int y = top ? g.bottom() + 1 - h : g.top();
    win->setGeometry(x, y, w, h);
}

bool TTarkiForm::CanResize(int& NewWidth, int& NewHeight)
{
    if (resizeZone_ < 1)
        return true;
    const TResizeEvent* handler = nullptr;
    switch (resizeZone_) {
    case 2: case 7: handler = &OnResizeHeight; break;
    case 4: case 5: handler = &OnResizeWidth; break;
    default: handler = &OnResizeBoth; break;
    }
    return !*handler || (*handler)(this, NewWidth, NewHeight);
}

void TTarkiForm::DblClick()
{
    TTarkiPanel::DblClick();
    drag_ = DragNone;
    resizeZone_ = 0;
    if (!formMaximize_)
        return;
    if (TForm* f = OwnerForm())
        f->SetWindowState(f->WindowState() == wsMaximized ? wsNormal : wsMaximized);
}

void TTarkiForm::MouseEnter()
{
    if (!Enabled())
        return;
    hover_ = true;
    TTarkiPanel::MouseEnter();
}

void TTarkiForm::MouseLeave()
{
    if (!Enabled())
        return;
    hover_ = false;
    if (OnMouseExit)
        OnMouseExit(this);
}
