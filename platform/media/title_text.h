#pragma once

#include "core/geometry.h"
#include "platform/media/title_font.h"

#include <cstdint>
#include <string>
#include <string_view>

// A title as the text source receives it: the style's code and four small
// parameters (which pick the layout and the movement, see title_styles.h),
// the two fonts, the colours and the text. The first line of the text is
// the title proper, in the main font; the lines after it are its caption,
// in the caption font.
//
// Its text form, the pieces joined by "/":
//
//   <style code>/<main font>/<caption font>/<text colour>/<background colour>/
//   <p1>/<p2>/<factor 1>/<factor 2>/<p3>/<p4>/<text>
//
// where a font is <name>/<size>/<style>/<colour>/<second colour> (a name
// holding "/" ends where four such numbers follow), colours are 32-bit integers with red and blue
// exchanged (0xAARRGGBB) in decimal, signed or unsigned, sizes and factors
// are decimal floats ("." whatever the locale; "," is read as well), and the
// text is everything after the eleventh piece, "/" included. Line breaks in
// the text may be "\r\n", "\n" or "\r".
//
// Example:
// "1/Tahoma/0.06/1/4294967295/0/Tahoma/0.05/0/4294967295/0/4294967295/0/1/1/0.1/0.1/1/3/Hello"
struct TTitleText {
    int32_t StyleCode = 1;
    TTitleFont MainFont{"Tahoma", 0.06, FontStyleBold};
    TTitleFont CaptionFont{"Tahoma", 0.05, 0};
    TColor TextColor = MakeColor(255, 255, 255);
    TColor BackgroundColor = 0; // fills the frame beneath the text; 0 is transparent
    int32_t P1 = 1;
    int32_t P2 = 1;
    int32_t P3 = 1;
    int32_t P4 = 3;
    // Margins at the frame's sides and at its top and bottom, as fractions
    // of its width and height.
    double Factor1 = 0.1;
    double Factor2 = 0.1;
    std::string Text;

    bool operator==(const TTitleText&) const = default;
};

std::string FormatTitleText(const TTitleText& Title);
// False when a piece is missing or not a number; Title is then unchanged.
bool ParseTitleText(std::string_view Text, TTitleText& Title);
