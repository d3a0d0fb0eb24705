#include "platform/media/video_frame.h"

#include "platform/graphics/color.h"

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
    return BgraToColor(Row(Y) + X * 4);
}

void TVideoFrame::SetPixel(int32_t X, int32_t Y, TColor Color) {
    ColorToBgra(Color, Row(Y) + X * 4);
}

void TVideoFrame::Fill(TColor Color) {
    if (FPixels.empty())
        return;
    ColorToBgra(Color, FPixels.data());
    // Double the filled run each step.
    for (size_t Done = 4; Done < FPixels.size(); Done *= 2)
        std::memcpy(FPixels.data() + Done, FPixels.data(), std::min(Done, FPixels.size() - Done));
}
