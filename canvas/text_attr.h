#pragma once

#include "canvas/pixels.h"
#include "core/geometry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class TTextAttrAlign : uint8_t { Left, Center, Right, Justify };

// How a text is to be drawn: a font family as the user names it ("Arial";
// fontconfig resolves it to an installed face), a height as the platform
// gives font heights (negative: the character height in pixels; positive:
// the cell height, ascent plus descent; 0: a default), a style and an
// alignment of the lines against the widest one.
struct TTextAttr {
    std::string FontName = "Arial";
    int32_t Height = -12;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    TTextAttrAlign Align = TTextAttrAlign::Left;
    bool operator==(const TTextAttr&) const = default;
};

// A text laid out character by character. Positions are in pixels, or in
// eighths of a pixel when AntiAliased is set (an outline font measured for
// smoothed drawing).
struct TTextInfo {
    TRect InkRect;                     // the union of every character's ink box
    std::vector<char32_t> Characters;  // the text decoded
    std::vector<TPoint> Positions;     // where each character starts (top of its line)
    int32_t CharCount = 0;
    int32_t LineCount = 0;
    int32_t LineHeight = 0;
    int32_t Width = 0;       // the widest line's advance
    int32_t TotalHeight = 0; // LineHeight x LineCount
    int32_t FontHeight = 0;  // ascent + descent
    bool AntiAliased = false;
};

using TTextCharIntervals = std::vector<std::pair<int32_t, int32_t>>; // (first, last) characters

// Lays Text (UTF-8) out: TAB moves to the next tab stop (8 average character
// widths), LF does nothing, CR starts a new line, every other character
// advances by its width; then the lines are aligned.
void MeasureText(std::string_view Text, const TTextAttr& Attr, TTextMode Mode, TTextInfo& Info);
// The ink rectangle of Text in pixels.
TRect TextExtent(std::string_view Text, const TTextAttr& Attr);
// The size of Count of the font's widest letters or digits side by side.
TSize TextExtentOfWidest(int32_t Count, const TTextAttr& Attr);
// For each interval, the rectangle from its first character's start to its
// last character's end, in pixels.
std::vector<TRect> TextExtentOfIntervals(std::string_view Text, const TTextAttr& Attr,
                                         const TTextCharIntervals& Intervals);
