#pragma once

#include "canvas/pixels.h"
#include "canvas/text_attr.h"
#include "core/geometry.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

// The opaque colour that blending Top (with its alpha) over the opaque
// colour Below gives, pixel for pixel as TPixels::BlendRect computes it: a
// box over a plain background is filled with it instead of blended.
TColor ColorOver(TColor Top, TColor Below);

// Texts rendered once and stamped many times: a label is shaped and
// rasterised (eight times oversampled) the first time it is drawn in a font
// and colour, and later paints only blend the finished picture. Renaming an
// item gives a new text, so a stale picture is never shown. Bounded: past
// MaxEntries it starts afresh.
//
//   const TLabelStamp& Stamp = Stamps.Get(Text, Font, Color);
//   Stamps.Draw(Pixels, X, Y, Stamp);   // as Pixels.DrawText(X, Y, ...)
struct TLabelStamp {
    // The ink box relative to the text's origin, as TextExtent gives it.
    TRect Ink;
    // The ink in the colour, transparent around it, Margin pixels wider
    // on every side than Ink.
    TPixels Picture;
    int32_t Margin = 0;
};

class TLabelStamps {
public:
    static constexpr size_t MaxEntries = 2048;
    const TLabelStamp& Get(std::string_view Text, const TTextAttr& Font, TColor Color);
    // Blends Stamp with its text origin at (X, Y) (before Pixels.Origin).
    static void Draw(TPixels& Pixels, int32_t X, int32_t Y, const TLabelStamp& Stamp);
    size_t Count() const { return FStamps.size(); }

private:
    std::unordered_map<std::string, TLabelStamp> FStamps;
};

// The stamps the timeline editor's labels share (user-interface thread).
TLabelStamps& TimelineLabelStamps();
