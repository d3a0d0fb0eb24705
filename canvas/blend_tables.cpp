#include "canvas/blend_tables.h"

#include <cmath>
#include <memory>

namespace {

std::unique_ptr<TBlendTables> BuildTables() {
    auto T = std::make_unique<TBlendTables>();
    for (int32_t A = 0; A < 256; ++A)
        for (int32_t B = 0; B < 256; ++B)
            T->Mul[A][B] = uint8_t((A * B + 127) / 255);
    for (int32_t A = 0; A < 256; ++A)
        for (int32_t B = 0; B < 256; ++B) {
            T->Screen[A][B] = uint8_t(A + B - T->Mul[A][B]);
            if (A == 0)
                T->Div[A][B] = 0;
            else if (B < A)
                T->Div[A][B] = 255;
            else
                T->Div[A][B] = uint8_t((255 * A + B / 127) / B);
        }
    for (int32_t B = 0; B < 256; ++B) {
        int32_t Count = 0;
        for (int32_t Bit = 0; Bit < 8; ++Bit)
            Count += (B >> Bit) & 1;
        T->Bits[B] = uint8_t(Count);
    }
    for (int32_t A = 0; A < 256; ++A) {
        T->SMul[A][511] = 0;
        for (int32_t D = -255; D <= 255; ++D) {
            int32_t Value = D < 0 ? -int32_t(T->Mul[A][-D]) : int32_t(T->Mul[A][D]);
            T->SMul[A][D + 255] = uint8_t(Value);
        }
    }
    for (int32_t R = 0; R < 256; ++R)
        for (int32_t A = 0; A < 256; ++A) {
            if (A == 0 || R == 0) {
                T->Pow1[R][A] = 0;
                T->Pow2[R][A] = R == 0 && A != 0 ? 255 : 0;
                continue;
            }
            double Log = std::log(double(A) / 255.0);
            T->Pow1[R][A] = uint8_t(std::lround(255.0 * std::exp(Log * 255.0 / R)));
            T->Pow2[R][A] = uint8_t(std::lround(255.0 * std::exp(Log * R / 255.0)));
        }
    for (int32_t I = 0; I <= 65536; ++I)
        T->SQ[I] = uint32_t(std::lround(256.0 * std::sqrt(double(I))));
    for (int32_t D = -255; D <= 255; ++D) {
        auto Square = uint32_t(D * D);
        T->WR[D + 255] = 9 * Square;
        T->WG[D + 255] = 16 * Square;
        T->WB[D + 255] = 4 * Square;
    }
    for (int32_t K = 0; K <= 64; ++K)
        T->Coverage[K] = uint8_t((255 * K) >> 6);
    return T;
}

} // namespace

const TBlendTables& BlendTables() {
    static const std::unique_ptr<TBlendTables> Tables = BuildTables();
    return *Tables;
}
