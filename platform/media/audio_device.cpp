#include "platform/media/audio_device.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace {

std::atomic<int32_t> OpenAttempts{0};

// Frames of a client's own format pulled at a time when the device
// converts them: small, so that the clock a client reads keeps close to
// what the device has played.
constexpr int32_t ConvertStepFrames = 256;

} // namespace

// Everything here is changed under the device's own lock
// (SDL_LockAudioDevice), which SDL also holds while it calls the mixer, so
// a client stopped or detached is never pulled again once the call returns.
struct TAudioDevice::TClient::TState {
    TAudioDevice::TState* Device;
    TMediaAudioFormat Format;
    TPull Pull;
    bool Paused = true;
    std::atomic<int64_t> Consumed{0};
    // The client's format is not the device's: converted when SDL could
    // make a converter, else consumed unheard (at the device's pace).
    bool Foreign = false;
    SDL_AudioStream* Converter = nullptr;
    std::vector<float> Source;

    ~TState() {
        if (Converter)
            SDL_FreeAudioStream(Converter);
    }
    bool Running() const { return !Paused && Pull; }
    // Adds Frames device frames of this client's sound into Out.
    void MixInto(float* Out, int32_t Frames, int32_t Channels, std::vector<float>& Scratch);
};

struct TAudioDevice::TState {
    SDL_AudioDeviceID Id = 0;
    TMediaAudioFormat Format;
    std::vector<std::shared_ptr<TClient::TState>> Clients;
    std::vector<float> Scratch;

    static void Callback(void* User, Uint8* Stream, int Bytes);
    void Mix(float* Out, int32_t Frames);
    // Under the lock: the device runs while any client does.
    void UpdatePause();
};

void TAudioDevice::TClient::TState::MixInto(float* Out, int32_t Frames, int32_t Channels,
                                            std::vector<float>& Scratch) {
    size_t Count = size_t(Frames) * size_t(Channels);
    if (Foreign && !Converter) {
        Source.resize(size_t(Frames) * size_t(Format.Channels));
        Pull(Source.data(), Frames);
        Consumed += Frames;
        return;
    }
    Scratch.assign(Count, 0.0f);
    if (!Converter) {
        Pull(Scratch.data(), Frames);
        Consumed += Frames;
    } else {
        int Wanted = int(Count * sizeof(float));
        Source.resize(size_t(ConvertStepFrames) * size_t(Format.Channels));
        int64_t Put = 0;
        // Bounded, at twice the client frames the device frames take: a
        // resampler that holds back more is heard as a short silence
        // rather than a hung sound thread.
        int64_t Needed = int64_t(Frames) * Format.SamplesPerSecond /
                         std::max(Device->Format.SamplesPerSecond, 1);
        int64_t MaxPuts = 4 + 2 * Needed / ConvertStepFrames;
        while (SDL_AudioStreamAvailable(Converter) < Wanted && Put++ < MaxPuts) {
            Pull(Source.data(), ConvertStepFrames);
            Consumed += ConvertStepFrames;
            if (SDL_AudioStreamPut(Converter, Source.data(),
                                   int(Source.size() * sizeof(float))) != 0)
                break;
        }
        SDL_AudioStreamGet(Converter, Scratch.data(), Wanted);
    }
    for (size_t I = 0; I < Count; ++I)
        Out[I] += Scratch[I];
}

void TAudioDevice::TState::Callback(void* User, Uint8* Stream, int Bytes) {
    auto* Self = static_cast<TAudioDevice::TState*>(User);
    int32_t Frames = Bytes / int(sizeof(float)) / Self->Format.Channels;
    Self->Mix(reinterpret_cast<float*>(Stream), Frames);
}

void TAudioDevice::TState::Mix(float* Out, int32_t Frames) {
    std::fill(Out, Out + size_t(Frames) * size_t(Format.Channels), 0.0f);
    for (const auto& Client : Clients)
        if (Client->Running())
            Client->MixInto(Out, Frames, Format.Channels, Scratch);
}

void TAudioDevice::TState::UpdatePause() {
    bool Any = std::any_of(Clients.begin(), Clients.end(),
                           [](const auto& Client) { return Client->Running(); });
    SDL_PauseAudioDevice(Id, Any ? 0 : 1);
}

TAudioDevice::TAudioDevice(std::unique_ptr<TState> State) : F(std::move(State)) {}

TAudioDevice* TAudioDevice::Shared(const TMediaAudioFormat& Wanted) {
    static std::mutex Lock;
    static bool Tried = false;
    static TAudioDevice* Device = nullptr;
    std::lock_guard Guard(Lock);
    if (Tried)
        return Device;
    Tried = true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return nullptr;
    auto State = std::make_unique<TState>();
    State->Format = Wanted;
    State->Format.Channels = std::clamp(Wanted.Channels, 1, 8);
    // A rate no card takes falls back to the usual one; sinks of other
    // rates are converted.
    if (Wanted.SamplesPerSecond < 8000 || Wanted.SamplesPerSecond > 192000)
        State->Format.SamplesPerSecond = 44100;
    SDL_AudioSpec Asked{};
    Asked.freq = State->Format.SamplesPerSecond;
    Asked.format = AUDIO_F32SYS;
    Asked.channels = static_cast<Uint8>(State->Format.Channels);
    Asked.samples = 1024;
    Asked.callback = &TState::Callback;
    Asked.userdata = State.get();
    SDL_AudioSpec Got{};
    ++OpenAttempts;
    // No changes allowed: SDL converts to whatever the hardware takes, so
    // the callback always sees the format asked for.
    State->Id = SDL_OpenAudioDevice(nullptr, 0, &Asked, &Got, 0);
    if (State->Id == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    // Kept for the life of the process: sinks made at any time, even while
    // static objects are destroyed at exit, find it still there.
    Device = new TAudioDevice(std::move(State));
    return Device;
}

int32_t TAudioDevice::OpenCount() {
    return OpenAttempts;
}

const char* TAudioDevice::DriverName() const {
    return SDL_GetCurrentAudioDriver();
}

std::unique_ptr<TAudioDevice::TClient> TAudioDevice::Attach(const TMediaAudioFormat& Format) {
    auto State = std::make_shared<TClient::TState>();
    State->Device = F.get();
    State->Format = Format;
    State->Format.Channels = std::max(Format.Channels, 1);
    State->Foreign = State->Format.Channels != F->Format.Channels ||
                     State->Format.SamplesPerSecond != F->Format.SamplesPerSecond;
    if (State->Foreign) {
        State->Converter = SDL_NewAudioStream(
            AUDIO_F32SYS, static_cast<Uint8>(State->Format.Channels),
            State->Format.SamplesPerSecond, AUDIO_F32SYS, static_cast<Uint8>(F->Format.Channels),
            F->Format.SamplesPerSecond);
    }
    SDL_LockAudioDevice(F->Id);
    F->Clients.push_back(State);
    SDL_UnlockAudioDevice(F->Id);
    return std::unique_ptr<TClient>(new TClient(std::move(State)));
}

TAudioDevice::TClient::TClient(std::shared_ptr<TState> State) : F(std::move(State)) {}

TAudioDevice::TClient::~TClient() {
    TAudioDevice::TState& Device = *F->Device;
    SDL_LockAudioDevice(Device.Id);
    std::erase(Device.Clients, F);
    Device.UpdatePause();
    SDL_UnlockAudioDevice(Device.Id);
}

void TAudioDevice::TClient::Start(TPull Pull) {
    TAudioDevice::TState& Device = *F->Device;
    SDL_LockAudioDevice(Device.Id);
    F->Pull = std::move(Pull);
    F->Consumed = 0;
    F->Paused = false;
    if (F->Converter)
        SDL_AudioStreamClear(F->Converter);
    Device.UpdatePause();
    SDL_UnlockAudioDevice(Device.Id);
}

void TAudioDevice::TClient::SetPaused(bool Paused) {
    TAudioDevice::TState& Device = *F->Device;
    SDL_LockAudioDevice(Device.Id);
    F->Paused = Paused;
    Device.UpdatePause();
    SDL_UnlockAudioDevice(Device.Id);
}

void TAudioDevice::TClient::Stop() {
    TAudioDevice::TState& Device = *F->Device;
    SDL_LockAudioDevice(Device.Id);
    F->Pull = nullptr;
    F->Paused = true;
    Device.UpdatePause();
    SDL_UnlockAudioDevice(Device.Id);
}

int64_t TAudioDevice::TClient::ConsumedFrames() const {
    return F->Consumed;
}
