#pragma once

#include "platform/media/media_format.h"

#include <cstdint>
#include <functional>
#include <memory>

// The sound card of the process, shared by every sink that plays on it. It
// is opened when the first sink asks for it and stays open for the life of
// the program: opening a device on a sound server stalls the caller for a
// noticeable time, and a preview that is rebuilt at every edit must not pay
// that again. Each sink is a client with its own format (converted to the
// device's when it differs), its own pause switch and its own count of
// frames consumed, which is its clock; the device mixes the clients that
// are running and is paused itself while none is.
//
//   if (TAudioDevice* Device = TAudioDevice::Shared(Format)) {
//       auto Client = Device->Attach(Format);
//       Client->Start([&](float* Samples, int32_t Frames) { ... });
//   }
class TAudioDevice {
public:
    class TClient;

    // The device, opened on the first call; none when SDL has no audio
    // device (and then none on later calls either: the attempt is not
    // repeated). Wanted is the format the device is opened at.
    static TAudioDevice* Shared(const TMediaAudioFormat& Wanted);
    // How many times this process tried to open an audio device: at most
    // once, however many players come and go.
    static int32_t OpenCount();

    // A new client, paused, pulling nothing until it is started.
    std::unique_ptr<TClient> Attach(const TMediaAudioFormat& Format);
    const char* DriverName() const;

    TAudioDevice(const TAudioDevice&) = delete;
    TAudioDevice& operator=(const TAudioDevice&) = delete;

private:
    struct TState;
    explicit TAudioDevice(std::unique_ptr<TState> State);
    std::unique_ptr<TState> F;
};

class TAudioDevice::TClient {
public:
    // Fills Frames interleaved float frames of the client's format; called
    // on the device's thread.
    using TPull = std::function<void(float* Samples, int32_t Frames)>;

    ~TClient();
    TClient(const TClient&) = delete;
    TClient& operator=(const TClient&) = delete;

    // Pulls from now on, counting consumption from 0, and runs.
    void Start(TPull Pull);
    void SetPaused(bool Paused);
    // Pulls no more; returns once the device has stopped calling Pull.
    void Stop();
    // Sample frames of the client's format consumed since Start.
    int64_t ConsumedFrames() const;

private:
    friend class TAudioDevice;
    struct TState;
    explicit TClient(std::shared_ptr<TState> State);
    std::shared_ptr<TState> F;
};
