#pragma once

#include "canvas/text_attr.h"
#include "platform/text/font.h"

#include <cstdint>
#include <unordered_map>

// A text attribute resolved to a font at a layout scale (1, or 8 for
// oversampled text), with the whole-unit measures the layout walks with.
// Internal to the canvas's text files.
struct TCanvasFont {
    struct TWidths {
        int32_t A = 0;
        int32_t B = 0;
        int32_t C = 0;
        int32_t Advance = 0;
    };

    TFont Font;
    int32_t Ascent = 0;
    int32_t FontHeight = 0; // ascent + descent
    int32_t ExternalLeading = 0;
    int32_t AverageWidth = 0;
    bool TrueType = false;

    explicit TCanvasFont(const TFont& Resolved);
    const TWidths& Widths(char32_t Character) const;

private:
    mutable std::unordered_map<char32_t, TWidths> FWidths;
};

// Fonts are kept once resolved; the canvas is used on one thread.
const TCanvasFont& CanvasFont(const TTextAttr& Attr, int32_t Scale);
