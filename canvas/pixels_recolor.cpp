#include "canvas/pixels.h"

#include "canvas/blend_tables.h"
#include "core/numbers.h"

#include <algorithm>

// Recolouring in the weighted colour space of the brightness measure, where
// E(R, G, B) = 9R^2 + 16G^2 + 4B^2 and the brightness is 256 * sqrt(E / 29).

namespace {

uint32_t Weighted(const TBlendTables& T, int32_t R, int32_t G, int32_t B) {
    return T.WR[R + 255] + T.WG[G + 255] + T.WB[B + 255];
}

TPixel Grey(uint32_t Level) {
    auto L = TPixel(std::min(Level, 255u));
    return L | L << 8 | L << 16;
}

// What Colorize and Tint share about the colour C they recolour with.
struct TRecolor {
    const TBlendTables& T;
    uint32_t R, G, B;    // C
    uint32_t DR, DG, DB; // the step from C to white
    uint32_t EC;         // E(C)
    uint32_t D, P, P2;

    TRecolor(const TBlendTables& Tables, TColor Color) : T(Tables) {
        R = ColorRed(Color);
        G = ColorGreen(Color);
        B = ColorBlue(Color);
        DR = 255 - R;
        DG = 255 - G;
        DB = 255 - B;
        EC = Weighted(T, int32_t(R), int32_t(G), int32_t(B));
        D = (Weighted(T, int32_t(DR), int32_t(DG), int32_t(DB)) + 14) / 29;
        P = (2295 * DR + 4080 * DG + 1020 * DB + 14) / 29;
        P2 = P * P;
    }

    // C scaled by the 16.16 factor K (colour bytes only).
    TPixel Scaled(uint32_t K) const {
        auto Channel = [K](uint32_t C) { return std::min<uint32_t>((C * K + 32768) >> 16, 255); };
        return Channel(B) | Channel(G) << 8 | Channel(R) << 16;
    }

    // The point on the line from white to C whose squared brightness is
    // Square (0..65025): white at t = 0, C at t = D. Needs D > 0.
    TPixel TowardWhite(uint32_t Square) const {
        uint32_t X = std::min((65025 - std::min(Square, 65025u)) * D, P2);
        auto Step = int64_t(P) - int64_t(T.SQ[(P2 - X) >> 16]);
        auto Clamped = uint32_t(std::clamp<int64_t>(Step, 0, D));
        auto Channel = [&](uint32_t Delta) { return 255 - (Delta * Clamped + D / 2) / D; };
        return Channel(DB) | Channel(DG) << 8 | Channel(DR) << 16;
    }
};

template <class TMap>
void Recolor(TPixels& Pixels, const TRect& Area, TMap&& Map) {
    for (int32_t Y = Area.Top; Y < Area.Bottom; ++Y) {
        TPixel* Row = Pixels.RowPixels(Y);
        for (int32_t X = Area.Left; X < Area.Right; ++X) {
            TPixel P = Row[X];
            if ((P >> 24) == 0)
                continue;
            Row[X] = (P & 0xFF000000u) | Map(P);
        }
    }
}

} // namespace

void TPixels::Tint(const TRect& Rect, TColor Color) {
    TRect Area = Placed(Rect);
    if (Area.IsEmpty())
        return;
    const TBlendTables& T = BlendTables();
    TRecolor C(T, Color);
    Recolor(*this, Area, [&](TPixel P) -> TPixel {
        uint32_t E = Weighted(T, int32_t(P >> 16 & 255), int32_t(P >> 8 & 255), int32_t(P & 255));
        if (C.EC == 0 || C.D == 0)
            return Grey(T.SQ[E / 29] >> 8);
        if (E <= C.EC)
            return C.Scaled(T.SQ[MulDivRound(65536, int32_t(E), int32_t(C.EC))]);
        return C.TowardWhite((E + 14) / 29);
    });
}

void TPixels::Colorize(const TRect& Rect, TColor Color) {
    TRect Area = Placed(Rect);
    if (Area.IsEmpty())
        return;
    const TBlendTables& T = BlendTables();
    TRecolor C(T, Color);
    uint32_t Lc = T.SQ[(C.EC + 14) / 29];
    Recolor(*this, Area, [&](TPixel P) -> TPixel {
        uint32_t L = T.SQ[Weighted(T, int32_t(P >> 16 & 255), int32_t(P >> 8 & 255), int32_t(P & 255)) / 29];
        if (Lc == 0)
            return L <= 32768 ? Grey(0) : Grey(uint32_t(MulDivRound(int32_t(L) - 32768, 255, 32512)));
        if (C.D == 0)
            return L < 32768 ? Grey(L >> 7) : Grey(255);
        if (L <= 32768)
            return C.Scaled(2 * L);
        auto Level = MulDivRound(int32_t(L) - 32768, 65280 - int32_t(Lc), 32512) + int32_t(Lc);
        return C.TowardWhite(uint32_t(MulDivRound(Level, Level, 65536)));
    });
}

namespace {

// o, and the strength k from the destination's chroma.
struct TShade {
    uint8_t O, K;
};

TShade ShadeOf(const TBlendTables& T, TPixel Color, TPixel Destination, uint32_t Param) {
    uint8_t O = T.Mul[std::min(Param, 255u)][Color >> 24];
    auto B = uint8_t(Destination), G = uint8_t(Destination >> 8), R = uint8_t(Destination >> 16);
    uint8_t M = std::max({R, G, B}), Least = std::min({R, G, B});
    uint8_t S = T.Mul[M][M - Least];
    return {O, T.Mul[O][16 + S / 4]};
}

} // namespace

TPixel DarkenOp(TPixel ColorOrSource, TPixel Destination, uint32_t Param) {
    const TBlendTables& T = BlendTables();
    TShade S = ShadeOf(T, ColorOrSource, Destination, Param);
    if (S.O == 0)
        return Destination;
    const uint8_t* Curve = T.Pow1[255 - S.O];
    const uint8_t* Scale = T.Mul[255 - S.K];
    auto Map = [&](uint32_t X) { return TPixel(Scale[Curve[X & 255]]); };
    return Map(Destination) | Map(Destination >> 8) << 8 | Map(Destination >> 16) << 16 |
           (Destination & 0xFF000000u);
}

TPixel LightenOp(TPixel ColorOrSource, TPixel Destination, uint32_t Param) {
    const TBlendTables& T = BlendTables();
    TShade S = ShadeOf(T, ColorOrSource, Destination, Param);
    if (S.O == 0)
        return Destination;
    const uint8_t* Curve = T.Pow2[255 - S.O];
    const uint8_t* Scale = T.Mul[255 - S.K];
    auto Map = [&](uint32_t X) { return TPixel(Curve[std::min(Scale[X & 255] + S.K, 255)]); };
    return Map(Destination) | Map(Destination >> 8) << 8 | Map(Destination >> 16) << 16 |
           (Destination & 0xFF000000u);
}
