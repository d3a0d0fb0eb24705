#include "canvas/color_hsv.h"

#include "canvas/blend_tables.h"

#include <algorithm>

namespace {

// The hues a colour's hue lies between, by the order of its channels: the
// hue runs from Start toward End as the middle channel rises from the
// smallest to the largest.
struct THueSpan {
    int32_t Start;
    int32_t End;
};

THueSpan HueSpan(int32_t R, int32_t G, int32_t B) {
    if (R > G && G > B)
        return {0, 43};
    if (R == G && G > B)
        return {43, 43};
    if (G > R && R > B)
        return {85, 43};
    if (G > R && R == B)
        return {85, 85};
    if (G > B && B > R)
        return {85, 128};
    if (G == B && B > R)
        return {128, 128};
    if (B > G && G > R)
        return {171, 128};
    if (B > R && R == G)
        return {171, 171};
    if (B > R && R > G)
        return {171, 213};
    if (B == R && R > G)
        return {213, 213};
    if (R > B && B > G)
        return {255, 213};
    return {0, 0}; // R > G = B
}

int32_t MulDivTruncating(int32_t A, int32_t B, int32_t C) {
    return A * B / C;
}

} // namespace

TColor RgbToHsv(TColor Rgb) {
    const TBlendTables& Tables = BlendTables();
    int32_t R = ColorRed(Rgb), G = ColorGreen(Rgb), B = ColorBlue(Rgb);
    int32_t Max = std::max({R, G, B}), Min = std::min({R, G, B});
    uint8_t Alpha = ColorAlpha(Rgb);
    if (Max == Min)
        return MakeHsv(0, 0, uint8_t(Max), Alpha);
    uint8_t Saturation = Tables.Div[Max - Min][Max];
    int32_t Mid = R + G + B - Max - Min;
    int32_t F = Tables.Div[Mid - Min][Max - Min];
    THueSpan Span = HueSpan(R, G, B);
    int32_t Hue = ((256 - F) * Span.Start + F * Span.End + 128) >> 8;
    return MakeHsv(uint8_t(Hue), Saturation, uint8_t(Max), Alpha);
}

TColor HsvToRgb(TColor Hsv) {
    const TBlendTables& Tables = BlendTables();
    int32_t H = HsvHue(Hsv);
    // The fully saturated colour of the hue.
    int32_t Hr = 0, Hg = 0, Hb = 0;
    if (H < 43) {
        Hr = 255, Hg = MulDivTruncating(H, 255, 43);
    } else if (H < 85) {
        Hr = 255 - MulDivTruncating(H - 43, 255, 42), Hg = 255;
    } else if (H < 128) {
        Hg = 255, Hb = MulDivTruncating(H - 85, 255, 43);
    } else if (H < 171) {
        Hg = 255 - MulDivTruncating(H - 128, 255, 43), Hb = 255;
    } else if (H < 213) {
        Hr = MulDivTruncating(H - 171, 255, 42), Hb = 255;
    } else {
        Hr = 255, Hb = 255 - MulDivTruncating(H - 213, 255, 43);
    }
    int32_t V = HsvValue(Hsv);
    int32_t K = Tables.Mul[HsvSaturation(Hsv)][V];
    int32_t Base = V - K;
    return MakeColor(uint8_t(Base + Tables.Mul[K][Hr]), uint8_t(Base + Tables.Mul[K][Hg]),
                     uint8_t(Base + Tables.Mul[K][Hb]), ColorAlpha(Hsv));
}
