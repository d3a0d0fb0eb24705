#pragma once

#include "core/weak_ptr.h"
#include "toolkit/widgets/every.h"

#include <cstdint>
#include <functional>
#include <memory>

class TScrollingWidget;

// Auto-scrolling, as while dragging something past the edge of a scrolling
// widget: once started with a step (DX, DY) other than (0, 0), every tick of
// the 50 ms ticker scrolls the target by that step as far as its bars
// allow, or calls OnScroll instead when it is set. The target may be
// destroyed while scrolling: that stops it.
//
//   AutoScroll().Start(&List, 0, MouseBelow ? 16 : -16);
//   ...
//   AutoScroll().Stop();
class TScroll {
public:
    using TScrollHandler = std::function<void(TScroll& Sender, int32_t DX, int32_t DY)>;

    TScroll();
    ~TScroll();
    TScroll(const TScroll&) = delete;
    TScroll& operator=(const TScroll&) = delete;

    // Starts (or changes) scrolling Target by (DX, DY) per tick; (0, 0)
    // stops. Target may be null when OnScroll does the scrolling.
    void Start(TScrollingWidget* Target, int32_t DX, int32_t DY);
    void Stop();
    bool IsScrolling() const { return FTickerId != 0; }
    TScrollingWidget* Target() const;
    int32_t DX() const { return FDX; }
    int32_t DY() const { return FDY; }

    TScrollHandler OnScroll;

private:
    void Tick();

    TWeakPtr<TScrollingWidget> FTarget;
    bool FIsTargetGiven = false;
    int32_t FDX = 0;
    int32_t FDY = 0;
    TEvery::THandlerId FTickerId = 0;
};

// The toolkit's one auto-scroller.
TScroll& AutoScroll();
