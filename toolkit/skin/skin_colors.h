#pragma once

#include "canvas/pixels.h"
#include "canvas/text_attr.h"
#include "core/geometry.h"

#include <array>
#include <cstdint>

// The colours of the desktop that the toolkit's look is derived from. On this
// platform they are a fixed table of our own, chosen to sit well on a Linux
// desktop (light grey faces, white highlights, a blue selection); tests and a
// colour-scheme change replace them with SetSystemColors.
struct TSystemColors {
    TColor ButtonFace = MakeColor(239, 238, 236);
    TColor ButtonHighlight = MakeColor(255, 255, 255);
    TColor ButtonShadow = MakeColor(160, 158, 154);
    TColor ButtonText = MakeColor(46, 52, 54);
    TColor GrayText = MakeColor(146, 149, 149);
    TColor Window = MakeColor(255, 255, 255);
    TColor WindowText = MakeColor(0, 0, 0);
    TColor Highlight = MakeColor(53, 132, 228);
    TColor HighlightText = MakeColor(255, 255, 255);
    TColor Menu = MakeColor(255, 255, 255);
    // A distinct menu-bar colour, when the desktop has one.
    bool HasMenuBar = true;
    TColor MenuBar = MakeColor(246, 245, 244);
    bool operator==(const TSystemColors&) const = default;
};

// How one colour channel of a shading op moves: toward black or toward white,
// by Table[strength] (a share of 255).
struct TShadeChannel {
    enum class TDirection : uint8_t { Darken, Lighten };
    TDirection Direction = TDirection::Darken;
    std::array<uint8_t, 256> Table{};
};

// The blue, green and red channels of ShadowOp or HighlightOp, in that order.
using TShadeTables = std::array<TShadeChannel, 3>;

// Everything RecomputeSkinColors derives from the system colours. Widgets ask
// here for their colours instead of hard-coding any.
struct TSkinColors {
    TColor FaceColor = 0;
    TColor HighlightColor = 0;
    TColor ShadowColor = 0;
    TColor TextColor = 0;
    TColor DisabledTextColor = 0;
    TColor MenuBarColor = 0;
    // 256 opaque colours from black through shadow (128), face (192) and
    // highlight (224) to white: the colours grey artwork is recoloured with.
    std::array<TColor, 256> ColorRamp{};
    TShadeTables ShadowTables;
    TShadeTables HighlightTables;
    TTextAttr CaptionFont;
    TTextAttr MessageFont;
};

const TSystemColors& SystemColors();
// Replaces the system colours and recomputes the skin colours from them.
void SetSystemColors(const TSystemColors& Colors);

const TSkinColors& SkinColors();
// Recomputes the skin colours, both shading tables and the colour ramp from
// the system colours. Pictures recoloured earlier keep their colours until
// their skins are invalidated.
void RecomputeSkinColors();

// mix(A, B, K): the colour K/255 of the way from A to B, alpha included.
TColor MixColors(TColor A, TColor B, uint8_t K);

// Per-pixel shading for PixelOp and its frame and band variants: only the
// colour's alpha is used (callers pass opaque black or white). At strength
// 128 a face-coloured pixel becomes the shadow (highlight) colour, at 255
// black (white), linearly in between.
TPixel ShadowOp(TPixel Color, TPixel Destination, uint32_t Param);
TPixel HighlightOp(TPixel Color, TPixel Destination, uint32_t Param);

// Recolours grey artwork in place to the colour scheme: a grey pixel takes
// the ramp colour of its brightness, a nearly grey one mostly so, coloured
// and transparent pixels stay as they are.
void SkinRecolor(TPixels& Raster);
