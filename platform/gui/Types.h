#pragma once
// Geometry, input and component basics shared by the canvas and the controls.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/InputTypes.h"

struct TSize {
    int cx = 0;
    int cy = 0;
};

inline TRect Rect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }
inline TRect Bounds(int left, int top, int width, int height)
{
    return TRect{left, top, left + width, top + height};
}
inline TPoint Point(int x, int y) { return TPoint{x, y}; }
// Grows (positive dx, dy) or shrinks (negative) a rectangle on every side.
inline void InflateRect(TRect& r, int dx, int dy)
{
    r.Left -= dx; r.Top -= dy; r.Right += dx; r.Bottom += dy;
}
inline void OffsetRect(TRect& r, int dx, int dy)
{
    r.Left += dx; r.Top += dy; r.Right += dx; r.Bottom += dy;
}
// The overlap of a and b; false (and an empty result) when they do not overlap.
bool IntersectRect(TRect& result, const TRect& a, const TRect& b);
bool PtInRect(const TRect& r, const TPoint& p);

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TCursor {
    crDefault, crArrow, crCross, crIBeam, crSizeNESW, crSizeNS, crSizeNWSE, crSizeWE,
    crUpArrow, crHourGlass, crHandPoint, crSizeAll, crNo
};
// Anchor flags (akLeft | akTop is the default).
enum TAnchorKind : uint8_t { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };


// The root of the component model: everything that can be the Sender of an event.
class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

// A component with an owner. An owner frees the components it owns when it is destroyed;
// a component that is freed first leaves its owner's list. Controls are owned by their Qt parent
// instead and pass ownedByOwner = false.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner, bool ownedByOwner = true);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const std::vector<TComponent*>& Components() const { return components_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }

    std::string Name;
    int Tag = 0;
    // True while the component is being built by the designer; never true in this program, kept
    // so that the rules that exclude design time read as stated.
    bool DesignTime() const { return false; }

private:
    TComponent* owner_ = nullptr;
    bool ownedByOwner_ = false;
    std::vector<TComponent*> components_;
};
