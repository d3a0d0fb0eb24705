#include "platform/media/frame_scaler.h"

#include "platform/media/av_support.h"
#include "platform/media/picture_resize.h"
#include "platform/media/video_frame.h"

struct TFrameScaler::TContext {
    TSwsPtr Scaler;
};

TFrameScaler::TFrameScaler() : F(std::make_unique<TContext>()) {}

TFrameScaler::~TFrameScaler() = default;

void TFrameScaler::Scale(const TVideoFrame& From, int32_t Width, int32_t Height,
                         TVideoFrame& Into) {
    if (Width <= 0 || Height <= 0 || From.IsEmpty()) {
        Into.Resize(0, 0);
        return;
    }
    if (Into.Width() != Width || Into.Height() != Height)
        Into.Resize(Width, Height);
    // The fast bilinear filter: the area-averaging and full bilinear ones
    // cost two to three times as much on packed pixels, more than a
    // frame's time at full HD on a small machine.
    int Flags = SWS_FAST_BILINEAR;
    F->Scaler.reset(sws_getCachedContext(F->Scaler.release(), From.Width(), From.Height(),
                                         AV_PIX_FMT_BGRA, Width, Height, AV_PIX_FMT_BGRA, Flags,
                                         nullptr, nullptr, nullptr));
    if (!F->Scaler) {
        // The converter refuses some extreme sizes; the engine's own resize
        // takes any.
        ResizePictureInto(From, Into, 0, 0, Width, Height);
        return;
    }
    const uint8_t* InPlanes[4] = {From.Data(), nullptr, nullptr, nullptr};
    int InStrides[4] = {From.Stride(), 0, 0, 0};
    uint8_t* OutPlanes[4] = {Into.Data(), nullptr, nullptr, nullptr};
    int OutStrides[4] = {Into.Stride(), 0, 0, 0};
    sws_scale(F->Scaler.get(), InPlanes, InStrides, 0, From.Height(), OutPlanes, OutStrides);
}
