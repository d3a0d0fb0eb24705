#pragma once

#include <cstdint>

// The output formats the render timeline builds its groups from. Preset 0
// means none; the preset tables themselves belong to the media settings.
struct TVideoFormat {
    uint8_t Preset = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    double FramesPerSecond = 0;
    bool operator==(const TVideoFormat&) const = default;
};

struct TAudioFormat {
    uint8_t Preset = 0;
    uint16_t Channels = 0;
    uint16_t BitsPerSample = 0;
    uint32_t SamplesPerSecond = 0;
    bool operator==(const TAudioFormat&) const = default;
};

// Preset 10 (custom), 320 x 240 at 15 frames per second.
constexpr TVideoFormat DefaultVideoFormat{10, 320, 240, 15.0};
// Preset 6 (custom), stereo, 16 bits, 44100 samples per second.
constexpr TAudioFormat DefaultAudioFormat{6, 2, 16, 44100};
