#pragma once

#include "platform/media/video_frame.h"

#include <cstdint>
#include <string>

// What a picture file holds over time: an animated GIF or PNG has several
// frames and a running time, a still has one frame and no running time.
struct TAnimationInfo {
    int64_t DurationMs = 0; // 0 for a still
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t FrameCount = 0;
    bool IsAnimated = false;
};

// The animation helper the render timeline and the catalogues use for
// picture files (recognised by extension), on FFmpeg. Paths may be of any
// length and hold any characters. Both raise EMediaError with the
// cannot-open text for a file that cannot be read or decoded, and for
// Windows metafiles, which cannot be drawn here.
namespace AnimHelper {

TAnimationInfo GetInfo(const std::string& FileName);

// A Width x Height thumbnail of the picture (of an animation its first
// frame), fitted whole in its aspect ratio and centred; what it leaves free
// is transparent. An empty frame when the size is not positive.
TVideoFrame GetPreviewBitmap(const std::string& FileName, int32_t Width, int32_t Height);

} // namespace AnimHelper
