#include "toolkit/widgets/auto_scroll.h"

#include "toolkit/widgets/scrolling_widget.h"

TScroll::TScroll() {
    // The ticker must outlive this scroller, even as a static.
    Every50ms();
}

TScroll::~TScroll() {
    Stop();
}

void TScroll::Start(TScrollingWidget* Target, int32_t DX, int32_t DY) {
    if (DX == 0 && DY == 0) {
        Stop();
        return;
    }
    FTarget = TWeakPtr(Target);
    FIsTargetGiven = Target != nullptr;
    FDX = DX;
    FDY = DY;
    if (!FTickerId)
        FTickerId = Every50ms().Add([this](int32_t, int32_t) { Tick(); });
}

void TScroll::Stop() {
    if (FTickerId)
        Every50ms().Remove(FTickerId);
    FTickerId = 0;
    FTarget.Reset();
    FIsTargetGiven = false;
    FDX = FDY = 0;
}

TScrollingWidget* TScroll::Target() const {
    return FTarget.Get();
}

void TScroll::Tick() {
    // A target given and gone since: nothing is left to scroll.
    bool HadTarget = FIsTargetGiven;
    TScrollingWidget* Target = this->Target();
    if (HadTarget && !Target) {
        Stop();
        return;
    }
    if (OnScroll) {
        TScrollHandler Handler = OnScroll;
        Handler(*this, FDX, FDY);
    } else if (Target) {
        Target->ScrollWithinRange(FDX, FDY);
    } else {
        Stop();
    }
}

TScroll& AutoScroll() {
    static TScroll Scroll;
    return Scroll;
}
