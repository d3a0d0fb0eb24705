#pragma once

#include "core/video_time.h"
#include "platform/capture/capture_endpoint.h"

#include <functional>
#include <memory>
#include <string>

struct TPixelView;

// What a capture input is asked for; zeros leave the device's own choice.
struct TCaptureInputRequest {
    int32_t Width = 0;
    int32_t Height = 0;
    double FramesPerSecond = 0;
    int32_t SamplesPerSecond = 48000;
    int32_t Channels = 2;
    // The input pin of a sound device to record from (empty: as it is).
    std::string AudioPin;
};

// What a running input delivers, on its reader thread: pictures as 32-bit
// BGRA with their time since the input started, sound as interleaved float
// samples, and once, when the device stops delivering (unplugged, failed,
// ended), its reason (empty when it was stopped).
struct TCaptureInputHandlers {
    std::function<void(const TPixelView& Picture, TVideoTime Time)> OnVideo;
    std::function<void(const float* Samples, int32_t Frames)> OnAudio;
    std::function<void(const std::string& Error)> OnEnd;
};

// One capture device opened through libavdevice (video4linux2, alsa,
// iec61883, or lavfi for the test devices) with a reader thread that
// decodes what it delivers.
//
//   TCaptureInput Camera(Device, {320, 240, 25});
//   Camera.Start({.OnVideo = [&](const TPixelView& P, TVideoTime T) { ... }});
//   ...
//   Camera.Stop();
class TCaptureInput {
public:
    // Opens the device; raises EMediaError with the library's reason.
    TCaptureInput(const TCaptureEndpoint& Device, const TCaptureInputRequest& Request);
    ~TCaptureInput();
    TCaptureInput(const TCaptureInput&) = delete;
    TCaptureInput& operator=(const TCaptureInput&) = delete;

    bool HasVideo() const;
    bool HasAudio() const;
    int32_t Width() const;
    int32_t Height() const;
    double FramesPerSecond() const;
    int32_t Channels() const;
    int32_t SamplesPerSecond() const;

    void Start(TCaptureInputHandlers Handlers);
    // Stops the reader and waits for it; OnEnd runs with an empty reason.
    void Stop();
    bool Running() const;

private:
    struct TState;
    std::unique_ptr<TState> F;
};

// The lavfi graph a test device is opened with, for its address; empty for
// an address that is not a test device's.
std::string TestDeviceGraph(const std::string& Url, const std::string& AudioPin);
