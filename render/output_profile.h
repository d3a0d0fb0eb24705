#pragma once

#include "render/video_format.h"

struct TMediaWriterProfile;
struct TOutputSettings;
class TTimeline;

// The formats a render copy is made with: every preset resolved (optimal
// from the timeline's media, the others from the tables), sizes and rates
// kept within what the engine takes, and fitted to the encoders of the
// output format. A format of preset none is a stream the file will not have.
struct TRenderFormats {
    TVideoFormat Video;
    TAudioFormat Audio;
};

TRenderFormats ResolveRenderFormats(const TTimeline& Timeline, const TOutputSettings& Settings);

// What the file writer is told for Settings rendered in Formats: the
// streams to write, the encoders' rate control, and the split of a total
// bit rate between the streams. No stream gets less than its encoder's
// minimum rate.
TMediaWriterProfile MakeWriterProfile(const TOutputSettings& Settings,
                                      const TRenderFormats& Formats);

// The lowest rates the encoders take, in bits per second.
constexpr int32_t MinVideoBitRate = 16000;
constexpr int32_t MinWindowsMediaAudioBitRate = 24000;
constexpr int32_t MinAudioBitRatePerChannel = 16000;
