#include "platform/media/compositing.h"

#include "platform/graphics/pixel_blend.h"
#include "platform/media/video_frame.h"

#include <algorithm>
#include <cassert>
#include <cstdint>

void AlphaOver(const TVideoFrame& Top, TVideoFrame& Bottom) {
    assert(Top.Width() == Bottom.Width() && Top.Height() == Bottom.Height() &&
           "frame sizes differ");
    OverSpan(Top.Data(), Bottom.Data(), Top.Width() * Top.Height());
}

void FlattenOverBlack(TVideoFrame& Frame) {
    uint8_t* P = Frame.Data();
    size_t Pixels = size_t(Frame.Width()) * size_t(Frame.Height());
    for (size_t I = 0; I < Pixels; ++I, P += 4) {
        uint32_t Alpha = P[3];
        if (Alpha != 255) {
            P[0] = uint8_t(DivideBy255(P[0] * Alpha));
            P[1] = uint8_t(DivideBy255(P[1] * Alpha));
            P[2] = uint8_t(DivideBy255(P[2] * Alpha));
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
    for (size_t I = 0; I < Pixels; ++I, PA += 4, PB += 4, O += 4)
        BlendPixel(PA, PB, W, O);
}
