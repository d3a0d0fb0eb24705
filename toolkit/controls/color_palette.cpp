#include "toolkit/controls/color_palette.h"

#include "canvas/blend_tables.h"

#include <cstdlib>

namespace {

// A channel of a base colour made lighter or darker for one row: a gamma
// step C, then a brightness step A (toward white when negative, toward black
// when positive).
uint8_t RowChannel(const TBlendTables& T, uint8_t X, int32_t C, int32_t A) {
    if (C < 0)
        X = T.Pow2[-C][X];
    else if (C > 0)
        X = T.Pow1[C][X];
    if (A < 0)
        X = uint8_t(X + -A - T.Mul[-A][X]);
    else if (A > 0)
        X = uint8_t(X - T.Mul[A][X]);
    return X;
}

} // namespace

TColors::TColors() {
    const TBlendTables& T = BlendTables();
    const uint8_t Greys[Rows] = {255, 224, 192, 128, 64, 32, 0};
    const TColor Hues[Columns - 1] = {MakeColor(255, 0, 0),   MakeColor(255, 128, 0), MakeColor(255, 255, 0),
                                      MakeColor(0, 255, 0),   MakeColor(0, 192, 255), MakeColor(0, 0, 255),
                                      MakeColor(192, 0, 255), MakeColor(255, 0, 128)};
    struct TStep {
        int32_t Gamma, Brightness;
    };
    const TStep Steps[Rows] = {{-64, -224}, {-128, -192}, {-192, -128}, {0, 0},
                               {192, 64},   {128, 128},   {64, 192}};
    for (int32_t Row = 0; Row < Rows; ++Row) {
        FPalette[size_t(Row * Columns)] = MakeColor(Greys[Row], Greys[Row], Greys[Row]);
        for (int32_t Hue = 0; Hue < Columns - 1; ++Hue) {
            auto Channel = [&](uint8_t X) { return RowChannel(T, X, Steps[Row].Gamma, Steps[Row].Brightness); };
            TColor Base = Hues[Hue];
            FPalette[size_t(Row * Columns + Hue + 1)] =
                MakeColor(Channel(ColorRed(Base)), Channel(ColorGreen(Base)), Channel(ColorBlue(Base)));
        }
    }
    FAlphas = {0, 32, 64, 128, 192, 224, 255};
}

void TColors::SetPalette(const TPalette& Palette) {
    if (Palette == FPalette)
        return;
    FPalette = Palette;
    FChanges.Change(ColorsChangePalette);
}

void TColors::SetAlphas(const TAlphas& Alphas) {
    if (Alphas == FAlphas)
        return;
    FAlphas = Alphas;
    FChanges.Change(ColorsChangeAlphas);
}

TColors& Colors() {
    static TColors Instance;
    return Instance;
}
