#pragma once

// Internal to the media engine: changing the colour matrix and range of
// 8-bit 4:2:0 YUV pictures in one pass, without going through RGB.

#include "platform/media/av_support.h"

#include <cstdint>

// The affine map from one YUV encoding (matrix and range) to another, as
// the same colours would come out of a conversion to RGB and back:
//   y' = LumaY y + LumaU (u - 128) + LumaV (v - 128) + LumaOffset
//   u' = 128 + ChromaUU (u - 128) + ChromaUV (v - 128), v' likewise.
// Coefficients are fixed point with 14 fraction bits.
struct TYuvMatrixChange {
    int32_t LumaY = 1 << 14;
    int32_t LumaU = 0;
    int32_t LumaV = 0;
    int32_t LumaOffset = 0;
    int32_t ChromaUU = 1 << 14;
    int32_t ChromaUV = 0;
    int32_t ChromaVU = 0;
    int32_t ChromaVV = 1 << 14;
    // True when the map leaves every value as it is.
    bool IsIdentity = true;
};

// The change from pictures of InFormat tagged InSpace and InRange to
// OutSpace and OutRange (unspecified matrices read as BT.601, unspecified
// ranges as limited, yuvj formats as full).
TYuvMatrixChange YuvMatrixChange(int InFormat, AVColorSpace InSpace, AVColorRange InRange,
                                 AVColorSpace OutSpace, AVColorRange OutRange);

// Is Format 8-bit planar 4:2:0 YUV without alpha (yuv420p or yuvj420p)?
bool IsPlanarYuv420(int Format);

// Writes In through Change into Out; both 8-bit planar 4:2:0 pictures of
// the same size. Each luma sample takes the chroma of its 2x2 block.
void ChangeYuvMatrix(const AVFrame& In, const TYuvMatrixChange& Change, AVFrame& Out);
