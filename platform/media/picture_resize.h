#pragma once

#include "platform/forward.h"

#include <cstdint>

// A straight-alpha BGRA picture at another size. Reducing averages the
// source pixels a target pixel covers, each by its share; enlarging
// interpolates between neighbours. Colours are weighted by their alpha, so
// transparent pixels leave no dark fringe.
TVideoFrame ResizePicture(const TVideoFrame& From, int32_t Width, int32_t Height);

// Draws From resized into the Width x Height rectangle at (Left, Top) of
// Into, replacing what was there (clipped to Into).
void ResizePictureInto(const TVideoFrame& From, TVideoFrame& Into, int32_t Left, int32_t Top,
                       int32_t Width, int32_t Height);
