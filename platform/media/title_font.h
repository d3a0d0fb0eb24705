#pragma once

#include "core/geometry.h"

#include <cstdint>
#include <string>

// The style bits of a title font.
constexpr uint8_t FontStyleBold = 0x01;
constexpr uint8_t FontStyleItalic = 0x02;
constexpr uint8_t FontStyleUnderlined = 0x04;

// One font of a title, the same value wherever a title goes: a title clip
// of the project, the render element's descriptor, the text source that
// draws it. The size is a fraction of the frame's height (0.06 draws letters
// 6% of the frame high); the project file stores it in whole hundredths and
// converts when it reads and writes.
struct TTitleFont {
    std::string Name = "Tahoma";
    double Size = 0.05;
    uint8_t Style = 0; // FontStyleBold | FontStyleItalic | FontStyleUnderlined
    TColor Color = MakeColor(255, 255, 255);
    TColor SecondColor = MakeColor(0, 0, 0, 0); // the edge around the letters; alpha 0 for none

    bool IsBold() const { return (Style & FontStyleBold) != 0; }
    bool IsItalic() const { return (Style & FontStyleItalic) != 0; }
    bool IsUnderlined() const { return (Style & FontStyleUnderlined) != 0; }
    bool operator==(const TTitleFont&) const = default;
};
