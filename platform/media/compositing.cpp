#include "platform/media/compositing.h"

#include "platform/media/video_frame.h"

#include <algorithm>
#include <cassert>
#include <cstdint>

namespace {

// Exact division by 255 with rounding for products of two bytes.
inline uint32_t Div255(uint32_t X) {
    return (X + 128 + ((X + 128) >> 8)) >> 8;
}

} // namespace

void AlphaOver(const TVideoFrame& Top, TVideoFrame& Bottom) {
    assert(Top.Width() == Bottom.Width() && Top.Height() == Bottom.Height() &&
           "frame sizes differ");
    const uint8_t* T = Top.Data();
    uint8_t* B = Bottom.Data();
    size_t Pixels = size_t(Top.Width()) * size_t(Top.Height());
    for (size_t I = 0; I < Pixels; ++I, T += 4, B += 4) {
        uint32_t Alpha = T[3];
        if (Alpha == 255) {
            B[0] = T[0], B[1] = T[1], B[2] = T[2], B[3] = 255;
            continue;
        }
        if (Alpha == 0)
            continue;
        // Straight alpha: out = top * a + bottom * ba * (1 - a), divided by the
        // resulting alpha.
        uint32_t BottomWeight = Div255(uint32_t(B[3]) * (255 - Alpha));
        uint32_t OutAlpha = Alpha + BottomWeight;
        for (int C = 0; C < 3; ++C)
            B[C] = uint8_t((T[C] * Alpha + B[C] * BottomWeight + OutAlpha / 2) / OutAlpha);
        B[3] = uint8_t(OutAlpha);
    }
}

void FlattenOverBlack(TVideoFrame& Frame) {
    uint8_t* P = Frame.Data();
    size_t Pixels = size_t(Frame.Width()) * size_t(Frame.Height());
    for (size_t I = 0; I < Pixels; ++I, P += 4) {
        uint32_t Alpha = P[3];
        if (Alpha != 255) {
            P[0] = uint8_t(Div255(P[0] * Alpha));
            P[1] = uint8_t(Div255(P[1] * Alpha));
            P[2] = uint8_t(Div255(P[2] * Alpha));
            P[3] = 255;
        }
    }
}

void CrossFade(const TVideoFrame& A, const TVideoFrame& B, double Weight, TVideoFrame& Output) {
    assert(A.Width() == B.Width() && A.Height() == B.Height() && "frame sizes differ");
    if (Output.Width() != A.Width() || Output.Height() != A.Height())
        Output.Resize(A.Width(), A.Height());
    auto W = static_cast<uint32_t>(std::clamp(Weight, 0.0, 1.0) * 256.0 + 0.5);
    const uint8_t* PA = A.Data();
    const uint8_t* PB = B.Data();
    uint8_t* O = Output.Data();
    size_t Pixels = size_t(A.Width()) * size_t(A.Height());
    for (size_t I = 0; I < Pixels; ++I, PA += 4, PB += 4, O += 4) {
        if ((PA[3] & PB[3]) == 255) {
            for (int C = 0; C < 3; ++C)
                O[C] = uint8_t((PA[C] * (256 - W) + PB[C] * W + 128) >> 8);
            O[3] = 255;
            continue;
        }
        // Straight alpha blends through premultiplied values, so a fade from
        // transparent shows the colour at rising opacity, not darkened.
        uint32_t WA = PA[3] * (256 - W), WB = PB[3] * W;
        uint32_t Alpha = WA + WB; // alpha x 256
        if (Alpha == 0) {
            O[0] = O[1] = O[2] = O[3] = 0;
            continue;
        }
        for (int C = 0; C < 3; ++C)
            O[C] = uint8_t((PA[C] * WA + PB[C] * WB + Alpha / 2) / Alpha);
        O[3] = uint8_t((Alpha + 128) >> 8);
    }
}
