#pragma once

#include <cstdint>

// The 8-bit tables every blend of the canvas is computed with: their values,
// rounding included, define the canvas's results. They are built once, on
// first use, and are read-only afterwards; loops take the reference once,
// outside the loop.
struct TBlendTables {
    uint8_t Mul[256][256];    // (a*b + 127) div 255
    uint8_t Screen[256][256]; // a + b - Mul[a][b]: the union of two coverages
    uint8_t Div[256][256];    // a / b as a share of 255; 255 where b < a
    uint8_t Bits[256];        // set bits of a byte
    // Mul with a signed second operand d (-255..255), indexed d + 255, kept
    // as a byte: c + SMul[a][s - c] wraps back into 0..255 for any channels
    // c and s, so adding the byte modulo 256 gives the exact result.
    uint8_t SMul[256][512];
    uint8_t Pow1[256][256]; // 255*(a/255)^(255/r)
    uint8_t Pow2[256][256]; // 255*(a/255)^(r/255)
    uint32_t SQ[65537];     // round(256*sqrt(i))
    // Weights of the brightness measure, indexed d + 255 for d in -255..255.
    uint32_t WR[511];
    uint32_t WG[511];
    uint32_t WB[511];
    uint8_t Coverage[65]; // lit sub-samples out of 64 -> alpha

    // Brightness(R, G, B) in 0..65280.
    uint32_t Brightness(uint8_t R, uint8_t G, uint8_t B) const {
        return SQ[(WR[R + 255] + WG[G + 255] + WB[B + 255]) / 29];
    }
    // c + sign(d) * Mul[a][|d|] for a channel c and d = s - c.
    uint8_t Toward(uint8_t A, uint8_t C, uint8_t S) const {
        return uint8_t(C + SMul[A][int32_t(S) - int32_t(C) + 255]);
    }
};

const TBlendTables& BlendTables();
