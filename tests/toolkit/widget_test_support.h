#pragma once

#include "canvas/pixels.h"
#include "platform/window/headless_window_system.h"
#include "toolkit/widgets/widget_window.h"

#include <cstdint>
#include <cstring>

// Helpers the widget tests share: running a script, and reading presented
// pixels as the canvas writes them.

// Runs the loop until the script is used up, then whatever it left waiting.
inline void RunScript(THeadlessWindowSystem& System) {
    System.RunLoop([&] { return System.ScriptLength() == 0; });
    System.ProcessEvents();
}

// The pixel a canvas fill with Color leaves, as presented.
inline uint32_t Filled(TColor Color) {
    TPixels One(1, 1);
    One.FillAll(Color);
    return One.GetPixel(0, 0);
}

// The pixel at (X, Y) of what Window last presented.
inline uint32_t PresentedAt(const THeadlessWindowSystem& System, const TWidgetWindow& Window, int32_t X,
                            int32_t Y) {
    uint32_t Pixel = 0;
    std::memcpy(&Pixel, System.Presented(Window.Native()).At(X, Y), 4);
    return Pixel;
}
