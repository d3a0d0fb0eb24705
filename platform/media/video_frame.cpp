#include "platform/media/video_frame.h"

#include <algorithm>
#include <cstring>

TVideoFrame::TVideoFrame(int32_t Width, int32_t Height) {
    Resize(Width, Height);
}

void TVideoFrame::Resize(int32_t Width, int32_t Height) {
    FWidth = std::max(Width, 0);
    FHeight = std::max(Height, 0);
    FPixels.assign(size_t(FWidth) * size_t(FHeight) * 4, 0);
}

TColor TVideoFrame::Pixel(int32_t X, int32_t Y) const {
    const uint8_t* P = Row(Y) + X * 4;
    return MakeColor(P[2], P[1], P[0], P[3]);
}

void TVideoFrame::SetPixel(int32_t X, int32_t Y, TColor Color) {
    uint8_t* P = Row(Y) + X * 4;
    P[0] = uint8_t(Color >> 16);
    P[1] = uint8_t(Color >> 8);
    P[2] = uint8_t(Color);
    P[3] = uint8_t(Color >> 24);
}

void TVideoFrame::Fill(TColor Color) {
    const uint8_t Pixel[4] = {uint8_t(Color >> 16), uint8_t(Color >> 8), uint8_t(Color),
                              uint8_t(Color >> 24)};
    if (FPixels.empty())
        return;
    std::memcpy(FPixels.data(), Pixel, 4);
    // Double the filled run each step.
    for (size_t Done = 4; Done < FPixels.size(); Done *= 2)
        std::memcpy(FPixels.data() + Done, FPixels.data(), std::min(Done, FPixels.size() - Done));
}
