#pragma once

#include "core/geometry.h"
#include "platform/graphics/pixel_view.h"
#include "platform/text/text_layout.h"

#include <cstddef>
#include <functional>

// How laid-out text is painted. Colours carry red in the low byte and alpha
// in the high byte (TColor); alpha below 255 draws translucent text.
struct TTextPaint {
    TColor Color = MakeColor(0, 0, 0);
    // An outline around every glyph (and the underline), drawn beneath the
    // fill; nothing is drawn when its alpha or width is 0.
    TColor EdgeColor = 0;
    double EdgeWidth = 0; // pixels beyond the glyph's own outline
};

// Moves or fades single glyphs while they are drawn: letter-by-letter
// animations of titles.
struct TGlyphAdjustment {
    double OffsetX = 0;
    double OffsetY = 0;
    double Opacity = 1; // 0 leaves the glyph out
};
using TGlyphAdjuster =
    std::function<TGlyphAdjustment(size_t GlyphIndex, const TLayoutGlyph& Glyph)>;

// Blends Layout into Target with the top-left of its box at (X, Y), clipped
// to the target. Glyphs are placed to a quarter pixel across and a whole
// pixel down; an underline follows the font's style. Straight alpha is kept:
// text drawn onto a transparent buffer leaves its anti-aliased edges
// translucent in the text's own colour, ready to be laid over a picture.
void DrawText(const TPixelView& Target, const TTextLayout& Layout, double X, double Y,
              const TTextPaint& Paint, const TGlyphAdjuster& Adjust = {});

// A one-byte-per-pixel coverage mask (0 nothing, 255 fully covered), rows
// from top to bottom, Stride bytes apart; the caller owns the bytes.
struct TCoverageView {
    uint8_t* Pixels = nullptr;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Stride = 0;
};

// Draws the coverage of Layout's glyphs (and underlines) into Target with
// the top-left of its box at (X, Y), keeping the larger of the old and the
// new coverage: a mask for callers that colour text their own way.
void DrawTextCoverage(const TCoverageView& Target, const TTextLayout& Layout, double X, double Y);
