#pragma once

#include "render/video_format.h"

#include <cstdint>
#include <string>

enum class TMediaOutputFormat : uint8_t;

// What a render is asked for: the output format, bit-rate or quality mode,
// the formats (presets may still say "optimal", resolved when the render
// starts), the compression value (bits per second in bit-rate mode, percent
// in quality mode, 0 for none) and, for the formats with advanced options,
// the encoders and container by their libavcodec and libavformat names.
struct TOutputSettings {
    TMediaOutputFormat OutputFormat{};
    bool BitRateMode = false;
    TAudioFormat Audio;
    TVideoFormat Video;
    int32_t CompressionValue = 0;
    std::string AudioEncoder;
    std::string VideoEncoder;
    std::string Muxer;
};

// "Windows Media Video", "MP3 audio file", ... from the text table.
const std::string& OutputFormatText(TMediaOutputFormat Format);
// "wmv", "avi", ...
const char* OutputFormatExtension(TMediaOutputFormat Format);
// Whether files of the format carry a picture (MP3, WAV and WMA do not).
bool OutputFormatHasVideo(TMediaOutputFormat Format);
