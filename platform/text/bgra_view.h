#pragma once

#include <cstddef>
#include <cstdint>

// A caller's 32-bit pixel buffer that the text layer draws into: bytes blue,
// green, red and alpha (straight alpha, 255 opaque), rows from top to bottom,
// Stride bytes apart. The buffer stays the caller's; nothing keeps the view.
//
//   std::vector<uint8_t> Pixels(Width * Height * 4);
//   TBgraView Target{Pixels.data(), Width, Height, Width * 4};
//   DrawText(Target, Layout, 10, 10, Paint);
struct TBgraView {
    uint8_t* Pixels = nullptr;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Stride = 0;

    bool IsEmpty() const { return !Pixels || Width <= 0 || Height <= 0; }
    uint8_t* Row(int32_t Y) const { return Pixels + ptrdiff_t(Y) * Stride; }
};
