#include "platform/gui/Types.h"

#include <algorithm>

bool IntersectRect(TRect& result, const TRect& a, const TRect& b)
{
    result.Left = std::max(a.Left, b.Left);
    result.Top = std::max(a.Top, b.Top);
    result.Right = std::min(a.Right, b.Right);
    result.Bottom = std::min(a.Bottom, b.Bottom);
    if (result.IsEmpty()) {
        result = TRect{};
        return false;
    }
    return true;
}

bool PtInRect(const TRect& r, const TPoint& p) { return r.Contains(p.X, p.Y); }

TComponent::TComponent(TComponent* owner, bool ownedByOwner)
    : owner_(owner), ownedByOwner_(ownedByOwner && owner != nullptr)
{
    if (ownedByOwner_)
        owner_->components_.push_back(this);
}

TComponent::~TComponent()
{
    // Free owned components last-created first; each one leaves this list as it goes.
    while (!components_.empty()) {
        TComponent* c = components_.back();
        components_.pop_back();
        c->ownedByOwner_ = false;
        delete c;
    }
    if (ownedByOwner_ && owner_) {
        auto& list = owner_->components_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}
