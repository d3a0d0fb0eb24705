#pragma once

#include "core/geometry.h"

// Calls Fill for the four rectangles of Outer minus Inner: the strip above
// Inner, the strip left of it, the strip right of it, the strip below it.
// When Inner misses Outer, Fill gets Outer whole.
template <class TFill>
void ForEachBandPart(const TRect& Outer, const TRect& Inner, TFill&& Fill) {
    if (Outer.IsEmpty())
        return;
    TRect Hole = Inner.Intersected(Outer);
    if (Hole.IsEmpty()) {
        Fill(Outer);
        return;
    }
    Fill(TRect{Outer.Left, Outer.Top, Outer.Right, Hole.Top});
    Fill(TRect{Outer.Left, Hole.Top, Hole.Left, Hole.Bottom});
    Fill(TRect{Hole.Right, Hole.Top, Outer.Right, Hole.Bottom});
    Fill(TRect{Outer.Left, Hole.Bottom, Outer.Right, Outer.Bottom});
}
