#include "toolkit/skin/skin_colors.h"

#include "canvas/blend_tables.h"

#include <cstdlib>

namespace {

TSystemColors& MutableSystemColors() {
    static TSystemColors Colors;
    return Colors;
}

TSkinColors& MutableSkinColors() {
    static TSkinColors Colors = [] {
        TSkinColors Initial;
        // The fonts our fixed desktop metrics name; fontconfig resolves
        // "Arial" to a metric-compatible face.
        Initial.CaptionFont.FontName = "Arial";
        Initial.CaptionFont.Height = -11;
        Initial.CaptionFont.Bold = true;
        Initial.MessageFont.FontName = "Arial";
        Initial.MessageFont.Height = -12;
        return Initial;
    }();
    static bool Computed = false;
    if (!Computed) {
        Computed = true;
        RecomputeSkinColors();
    }
    return Colors;
}

uint8_t Channel(TColor Color, int32_t Index) { return uint8_t(Color >> (8 * Index)); }

// The table of one channel whose face value is A and target value B, built
// so that strength 128 turns A into B and 255 into 0 (darken) or 255
// (lighten).
TShadeChannel ShadeChannel(int32_t A, int32_t B, TShadeChannel::TDirection WhenEqual) {
    TShadeChannel Result;
    using TDirection = TShadeChannel::TDirection;
    if (B < A) {
        Result.Direction = TDirection::Darken;
        for (int32_t I = 0; I < 256; ++I)
            Result.Table[I] = uint8_t(I < 128 ? 2 * I * (A - B) / A : (255 * A - (511 - 2 * I) * B) / A);
    } else if (B > A) {
        Result.Direction = TDirection::Lighten;
        for (int32_t I = 0; I < 256; ++I)
            Result.Table[I] = uint8_t(I < 128 ? 2 * I * (B - A) / (255 - A)
                                              : ((511 - 2 * I) * B + (I - 128) * 510 - 255 * A) / (255 - A));
    } else {
        Result.Direction = WhenEqual;
        for (int32_t I = 0; I < 256; ++I)
            Result.Table[I] = uint8_t(I < 128 ? 0 : 2 * (I - 128));
    }
    return Result;
}

// Channels of TColor are red, green, blue from the low byte; the tables go
// blue, green, red like the pixel bytes.
TShadeTables ShadeTables(TColor Face, TColor Target, TShadeChannel::TDirection WhenEqual) {
    TShadeTables Tables;
    for (int32_t I = 0; I < 3; ++I)
        Tables[size_t(I)] = ShadeChannel(Channel(Face, 2 - I), Channel(Target, 2 - I), WhenEqual);
    return Tables;
}

// Steps Numerator/Denominator of the way from A to B per channel, truncating.
TColor Between(TColor A, TColor B, int32_t Numerator, int32_t Denominator) {
    TColor Result = 0xFF000000u;
    for (int32_t I = 0; I < 3; ++I) {
        int32_t From = Channel(A, I), To = Channel(B, I);
        Result |= TColor(From + (To - From) * Numerator / Denominator) << (8 * I);
    }
    return Result;
}

void BuildRamp(TSkinColors& S) {
    const TColor Black = MakeColor(0, 0, 0), White = MakeColor(255, 255, 255);
    struct TAnchor {
        int32_t Index;
        TColor Color;
    };
    const TAnchor Anchors[] = {{0, Black},
                               {128, AlphaColor(S.ShadowColor, 255)},
                               {192, AlphaColor(S.FaceColor, 255)},
                               {224, AlphaColor(S.HighlightColor, 255)},
                               {255, White}};
    for (size_t A = 0; A + 1 < std::size(Anchors); ++A) {
        const TAnchor& From = Anchors[A];
        const TAnchor& To = Anchors[A + 1];
        int32_t Span = To.Index - From.Index;
        // The last stretch steps in 1/31 over 30 entries, as the others step
        // in 1/Span.
        int32_t Denominator = To.Index == 255 ? 31 : Span;
        S.ColorRamp[size_t(From.Index)] = From.Color;
        for (int32_t I = 1; I < Span; ++I)
            S.ColorRamp[size_t(From.Index + I)] = Between(From.Color, To.Color, I, Denominator);
    }
    S.ColorRamp[255] = White;
}

TPixel Shade(const TShadeTables& Tables, TPixel Color, TPixel Destination, uint32_t Param) {
    const TBlendTables& T = BlendTables();
    uint8_t O = T.Mul[std::min(Param, 255u)][Color >> 24];
    if (O == 0)
        return Destination;
    TPixel Result = Destination & 0xFF000000u;
    for (int32_t I = 0; I < 3; ++I) {
        const TShadeChannel& C = Tables[size_t(I)];
        auto Value = uint8_t(Destination >> (8 * I));
        uint8_t K = C.Table[O];
        Value = C.Direction == TShadeChannel::TDirection::Darken ? uint8_t(Value - T.Mul[K][Value])
                                                                  : uint8_t(Value + T.Mul[K][255 - Value]);
        Result |= TPixel(Value) << (8 * I);
    }
    return Result;
}

} // namespace

const TSystemColors& SystemColors() { return MutableSystemColors(); }

void SetSystemColors(const TSystemColors& Colors) {
    MutableSystemColors() = Colors;
    RecomputeSkinColors();
}

const TSkinColors& SkinColors() { return MutableSkinColors(); }

TColor MixColors(TColor A, TColor B, uint8_t K) {
    const TBlendTables& T = BlendTables();
    TColor Result = 0;
    for (int32_t I = 0; I < 4; ++I)
        Result |= TColor(T.Toward(K, Channel(A, I), Channel(B, I))) << (8 * I);
    return Result;
}

void RecomputeSkinColors() {
    // The display is always 32 bits deep here, so the system colours are
    // shown as they are: no search for the nearest displayable colour.
    const TSystemColors& System = SystemColors();
    TSkinColors& S = MutableSkinColors();
    S.FaceColor = AlphaColor(System.ButtonFace, 255);
    S.HighlightColor = AlphaColor(System.ButtonHighlight, 255);
    S.ShadowColor = AlphaColor(System.ButtonShadow, 255);
    S.TextColor = AlphaColor(System.ButtonText, 255);
    S.DisabledTextColor = MixColors(S.FaceColor, AlphaColor(System.GrayText, 255), 224);
    S.MenuBarColor = AlphaColor(System.HasMenuBar ? System.MenuBar : System.Menu, 255);
    S.ShadowTables = ShadeTables(S.FaceColor, S.ShadowColor, TShadeChannel::TDirection::Darken);
    S.HighlightTables = ShadeTables(S.FaceColor, S.HighlightColor, TShadeChannel::TDirection::Lighten);
    BuildRamp(S);
}

TPixel ShadowOp(TPixel Color, TPixel Destination, uint32_t Param) {
    return Shade(SkinColors().ShadowTables, Color, Destination, Param);
}

TPixel HighlightOp(TPixel Color, TPixel Destination, uint32_t Param) {
    return Shade(SkinColors().HighlightTables, Color, Destination, Param);
}

void SkinRecolor(TPixels& Raster) {
    const TBlendTables& T = BlendTables();
    const std::array<TColor, 256>& Ramp = SkinColors().ColorRamp;
    for (int32_t Y = 0; Y < Raster.Height(); ++Y) {
        TPixel* Row = Raster.RowPixels(Y);
        for (int32_t X = 0; X < Raster.Width(); ++X) {
            TPixel P = Row[X];
            if ((P >> 24) == 0)
                continue;
            int32_t B = int32_t(P & 255), G = int32_t(P >> 8 & 255), R = int32_t(P >> 16 & 255);
            int32_t V = (R + G + B) / 3;
            int32_t D = 4 * (std::abs(V - R) + std::abs(V - G) + std::abs(V - B));
            if (D >= 256)
                continue;
            TPixel RampPixel = ColorToPixel(Ramp[size_t(V)]);
            uint8_t K = T.Mul[D][D];
            TPixel Result = P & 0xFF000000u;
            for (int32_t I = 0; I < 3; ++I)
                Result |= TPixel(T.Toward(K, uint8_t(RampPixel >> (8 * I)), uint8_t(P >> (8 * I)))) << (8 * I);
            Row[X] = Result;
        }
    }
}
