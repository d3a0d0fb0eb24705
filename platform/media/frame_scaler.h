#pragma once

#include "platform/forward.h"

#include <cstdint>
#include <memory>

// Scales engine frames to another size, smoothly (bilinear), reusing its
// converter while the sizes stay the same. Meant for one thread at a time: a
// player scales each frame to the size its window shows before posting it,
// so the user-interface thread only copies pixels.
//
//   TFrameScaler Scaler;
//   Scaler.Scale(Composited, 960, 540, Shown);
class TFrameScaler {
public:
    TFrameScaler();
    ~TFrameScaler();
    TFrameScaler(const TFrameScaler&) = delete;
    TFrameScaler& operator=(const TFrameScaler&) = delete;

    // Into becomes From at Width x Height; a size of 0 or less leaves Into
    // empty.
    void Scale(const TVideoFrame& From, int32_t Width, int32_t Height, TVideoFrame& Into);

private:
    struct TContext;
    std::unique_ptr<TContext> F;
};
