#pragma once

#include "core/video_time.h"
#include "platform/forward.h"

#include <cstdint>
#include <memory>
#include <string>

struct AVFrame;

// Decodes one video stream of a file and delivers, for a media time, the
// frame that covers it (its time at or before, the next frame's after),
// converted to BGRA of the size asked for. Sequential requests decode
// forward; a jump backwards or far ahead seeks to the keyframe before the
// target and decodes up to it, so every frame is reached exactly, on
// long-GOP streams as well. A few converted frames are kept for short
// backward steps.
class TVideoFileReader {
public:
    TVideoFileReader(const std::string& FileName, int32_t StreamNumber);
    ~TVideoFileReader();
    TVideoFileReader(const TVideoFileReader&) = delete;
    TVideoFileReader& operator=(const TVideoFileReader&) = delete;

    // How a picture of another shape fills the frame: stretched, or kept in
    // its aspect ratio with black bars.
    enum class TFit { Stretch, KeepAspectRatio };

    // The frame covering MediaTime (100-ns units from the stream's first
    // frame), Width x Height. Times past the end give the last frame.
    std::shared_ptr<const TVideoFrame> FrameAt(TVideoTime MediaTime, int32_t Width, int32_t Height,
                                               TFit Fit);

    // When the decoded picture covering MediaTime already is the frame
    // FrameAt would give (Width x Height, upright, opaque 8-bit 4:2:0 YUV
    // that fills the frame), references it in Into and returns true;
    // otherwise returns false and leaves Into as it was. Writers take such
    // pictures straight to their encoder, skipping the BGRA round trip.
    bool DecodedFrameAt(TVideoTime MediaTime, int32_t Width, int32_t Height, TFit Fit,
                        AVFrame* Into);

    // How many converted frames are kept for short backward steps and
    // repeated requests: 6 at first, at least 1. Each is a whole frame at
    // the size asked for, so a caller that only reads forward keeps fewer.
    void SetFramesKept(size_t Count);

    // Statistics for tests and benchmarks.
    int32_t SeekCount() const;
    int32_t DecodedFrameCount() const;
    size_t KeptFrameCount() const;

private:
    struct TState;
    std::unique_ptr<TState> F;
};
