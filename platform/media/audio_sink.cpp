#include "platform/media/audio_sink.h"

#include "platform/media/audio_device.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Consumes samples in 10 ms steps by the steady clock.
class TNullAudioSink : public TAudioSink {
public:
    explicit TNullAudioSink(const TMediaAudioFormat& Format) : FFormat(Format) {}
    ~TNullAudioSink() override { Stop(); }

    void Start(TPull Pull) override {
        Stop();
        FPull = std::move(Pull);
        FConsumed = 0;
        FRunning = true;
        FThread = std::thread([this] { Run(); });
    }
    void SetPaused(bool Paused) override {
        std::lock_guard Guard(FLock);
        FPaused = Paused;
        FWake.notify_all();
    }
    void Stop() override {
        {
            std::lock_guard Guard(FLock);
            FRunning = false;
            FWake.notify_all();
        }
        if (FThread.joinable())
            FThread.join();
    }
    int64_t ConsumedFrames() const override { return FConsumed; }
    const char* Name() const override { return "null"; }

private:
    void Run() {
        const int32_t Step = std::max(FFormat.SamplesPerSecond / 100, 1);
        std::vector<float> Buffer(size_t(Step) * size_t(FFormat.Channels));
        auto Next = std::chrono::steady_clock::now();
        std::unique_lock Guard(FLock);
        while (FRunning) {
            if (FPaused) {
                FWake.wait(Guard, [&] { return !FPaused || !FRunning; });
                Next = std::chrono::steady_clock::now();
                continue;
            }
            Guard.unlock();
            FPull(Buffer.data(), Step);
            FConsumed += Step;
            Next += std::chrono::microseconds(int64_t(Step) * 1000000 / FFormat.SamplesPerSecond);
            Guard.lock();
            FWake.wait_until(Guard, Next, [&] { return !FRunning || FPaused; });
        }
    }

    TMediaAudioFormat FFormat;
    TPull FPull;
    std::atomic<int64_t> FConsumed{0};
    std::mutex FLock;
    std::condition_variable FWake;
    bool FRunning = false;
    bool FPaused = false;
    std::thread FThread;
};

// A client of the process's shared audio device: making one opens nothing.
class TDeviceAudioSink : public TAudioSink {
public:
    TDeviceAudioSink(TAudioDevice& Device, const TMediaAudioFormat& Format)
        : FDevice(Device), FClient(Device.Attach(Format)) {}

    void Start(TPull Pull) override { FClient->Start(std::move(Pull)); }
    void SetPaused(bool Paused) override { FClient->SetPaused(Paused); }
    void Stop() override { FClient->Stop(); }
    int64_t ConsumedFrames() const override { return FClient->ConsumedFrames(); }
    const char* Name() const override { return FDevice.DriverName(); }

private:
    TAudioDevice& FDevice;
    std::unique_ptr<TAudioDevice::TClient> FClient;
};

} // namespace

std::unique_ptr<TAudioSink> OpenNullAudioSink(const TMediaAudioFormat& Format) {
    return std::make_unique<TNullAudioSink>(Format);
}

std::unique_ptr<TAudioSink> OpenAudioSink(const TMediaAudioFormat& Format) {
    TAudioDevice* Device = TAudioDevice::Shared(Format);
    if (!Device)
        return OpenNullAudioSink(Format);
    return std::make_unique<TDeviceAudioSink>(*Device, Format);
}
