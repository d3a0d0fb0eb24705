#pragma once

#include "core/video_time.h"

#include <cstdint>

// The media type of a video group: 32-bit BGRA frames of a fixed size, one
// every FrameDuration.
struct TMediaVideoFormat {
    int32_t Width = 320;
    int32_t Height = 240;
    TVideoTime FrameDuration = 400000; // 25 frames per second
    bool operator==(const TMediaVideoFormat&) const = default;
};

// The media type of an audio group: interleaved PCM.
struct TMediaAudioFormat {
    int32_t Channels = 2;
    int32_t SamplesPerSecond = 44100;
    int32_t BitsPerSample = 16;
    bool operator==(const TMediaAudioFormat&) const = default;
};

// The sample index at which Time falls, and back, at Rate samples per second.
int64_t TimeToSample(TVideoTime Time, int32_t Rate);
TVideoTime SampleToTime(int64_t Sample, int32_t Rate);
