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
    // The converters' vector code stores whole blocks of pixels and runs
    // past the end of a row whose width is no multiple of 16 (a portrait
    // phone clip 1080 wide): the last row's overrun lands in this slack
    // instead of the heap.
    constexpr size_t ConverterSlack = 256;
    size_t Bytes = size_t(FWidth) * size_t(FHeight) * 4;
    FPixels.assign(Bytes > 0 ? Bytes + ConverterSlack : 0, 0);
}

TColor TVideoFrame::Pixel(int32_t X, int32_t Y) const {
    return BgraToColor(Row(Y) + X * 4);
}

void TVideoFrame::SetPixel(int32_t X, int32_t Y, TColor Color) {
    ColorToBgra(Color, Row(Y) + X * 4);
}

void TVideoFrame::Fill(TColor Color) {
    const size_t Bytes = size_t(Stride()) * size_t(FHeight);
    if (Bytes == 0)
        return;
    ColorToBgra(Color, FPixels.data());
    // Double the filled run each step.
    for (size_t Done = 4; Done < Bytes; Done *= 2)
        std::memcpy(FPixels.data() + Done, FPixels.data(), std::min(Done, Bytes - Done));
}
