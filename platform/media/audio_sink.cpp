#include "platform/media/audio_sink.h"

#include <SDL2/SDL.h>

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

class TSdlAudioSink : public TAudioSink {
public:
    explicit TSdlAudioSink(int32_t Channels) : FChannels(Channels) {}
    ~TSdlAudioSink() override {
        if (FDevice != 0) {
            Stop();
            SDL_CloseAudioDevice(FDevice);
        }
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    // Opens the device in float samples of the format, paused; false when
    // there is no device.
    bool Open(const TMediaAudioFormat& Format) {
        SDL_AudioSpec Wanted{};
        Wanted.freq = Format.SamplesPerSecond;
        Wanted.format = AUDIO_F32SYS;
        Wanted.channels = static_cast<Uint8>(Format.Channels);
        Wanted.samples = 1024;
        Wanted.callback = &TSdlAudioSink::Callback;
        Wanted.userdata = this;
        SDL_AudioSpec Got{};
        FDevice = SDL_OpenAudioDevice(nullptr, 0, &Wanted, &Got, 0);
        return FDevice != 0;
    }

    static void Callback(void* User, Uint8* Stream, int Bytes) {
        auto* Self = static_cast<TSdlAudioSink*>(User);
        int32_t Frames = Bytes / int(sizeof(float)) / Self->FChannels;
        auto* Samples = reinterpret_cast<float*>(Stream);
        if (Self->FPull)
            Self->FPull(Samples, Frames);
        else
            SDL_memset(Stream, 0, size_t(Bytes));
        Self->FConsumed += Frames;
    }

    void Start(TPull Pull) override {
        SDL_PauseAudioDevice(FDevice, 1);
        SDL_LockAudioDevice(FDevice);
        FPull = std::move(Pull);
        FConsumed = 0;
        SDL_UnlockAudioDevice(FDevice);
        SDL_PauseAudioDevice(FDevice, 0);
    }
    void SetPaused(bool Paused) override { SDL_PauseAudioDevice(FDevice, Paused ? 1 : 0); }
    void Stop() override {
        SDL_PauseAudioDevice(FDevice, 1);
        SDL_LockAudioDevice(FDevice);
        FPull = nullptr;
        SDL_UnlockAudioDevice(FDevice);
    }
    int64_t ConsumedFrames() const override { return FConsumed; }
    const char* Name() const override { return SDL_GetCurrentAudioDriver(); }

private:
    SDL_AudioDeviceID FDevice = 0;
    int32_t FChannels;
    TPull FPull;
    std::atomic<int64_t> FConsumed{0};
};

} // namespace

std::unique_ptr<TAudioSink> OpenNullAudioSink(const TMediaAudioFormat& Format) {
    return std::make_unique<TNullAudioSink>(Format);
}

std::unique_ptr<TAudioSink> OpenAudioSink(const TMediaAudioFormat& Format) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return OpenNullAudioSink(Format);
    auto Sink = std::make_unique<TSdlAudioSink>(Format.Channels);
    if (!Sink->Open(Format))
        return OpenNullAudioSink(Format); // the sink's destructor ends the subsystem
    return Sink;
}
