#pragma once

#include "platform/media/media_format.h"

#include <cstdint>
#include <functional>
#include <memory>

// Where a player's sound goes: the sound card through SDL, or, without one,
// a null sink that consumes samples at the pace a card would. Either way
// the samples consumed are the player's clock.
class TAudioSink {
public:
    // Fills Frames interleaved float frames; called on the sink's own thread.
    using TPull = std::function<void(float* Samples, int32_t Frames)>;

    virtual ~TAudioSink() = default;
    virtual void Start(TPull Pull) = 0;
    virtual void SetPaused(bool Paused) = 0;
    virtual void Stop() = 0;
    // Sample frames consumed since Start.
    virtual int64_t ConsumedFrames() const = 0;
    virtual const char* Name() const = 0;
};

// A client of the process's audio device (TAudioDevice: opened at the first
// call and kept open, SDL_AUDIODRIVER choosing the driver, "dummy"
// included), else, when there is no device, the null sink. Sinks come and
// go with players; the device does not.
std::unique_ptr<TAudioSink> OpenAudioSink(const TMediaAudioFormat& Format);
std::unique_ptr<TAudioSink> OpenNullAudioSink(const TMediaAudioFormat& Format);
