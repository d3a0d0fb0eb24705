#include "platform/media/media_player.h"

#include "platform/media/audio_sink.h"
#include "platform/media/frame_grabber.h"
#include "platform/media/media_renderer.h"
#include "platform/media/media_timeline.h"
#include "platform/media/video_frame.h"
#include "platform/message_queue.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Sound rendered ahead of the device: short, so a seek is heard at once.
constexpr int32_t AudioAheadMs = 250;
constexpr int32_t AudioBlockFrames = 1024;

} // namespace

struct TMediaPlayer::TState {
    const TMediaTimeline& Timeline;
    TMessageQueue& Messages;
    TMediaPlayer* Owner;
    TMediaAudioFormat AudioFormat;
    TVideoTime FrameDuration = 400000;
    TVideoTime Length = 0;
    bool HasVideo = false;
    std::unique_ptr<TAudioSink> Sink;
    TMediaRenderer VideoRenderer;
    TMediaRenderer AudioRenderer;
    TFrameGrabber Grabber;

    // The sound between the renderer and the device, as a ring of
    // interleaved samples.
    std::mutex AudioLock;
    std::condition_variable AudioRoom;
    std::vector<float> Ring;
    size_t RingStart = 0;
    size_t RingCount = 0;    // samples, not frames
    int64_t FedSample = 0;   // the next sample frame to render
    uint64_t Generation = 0; // grows with every seek: stale blocks are thrown away

    // The clock: BaseSample plays when the sink has consumed BaseConsumed.
    std::atomic<int64_t> BaseSample{0};
    std::atomic<int64_t> BaseConsumed{0};

    mutable std::mutex Lock;
    std::condition_variable Wake;
    TPlayerState PlayerState = TPlayerState::Stopped;
    TVideoTime PausedPosition = 0;
    bool FrameWanted = false;
    int32_t FrameWidth = 0; // 0: the timeline's size
    int32_t FrameHeight = 0;
    std::atomic<bool> Quit{false};
    bool EndReported = false;
    int64_t LastFrameIndex = -1;
    std::atomic<int32_t> Dropped{0};

    std::mutex FrameLock;
    std::shared_ptr<const TVideoFrame> PendingFrame;
    TVideoTime PendingTime = 0;
    bool FramePosted = false;

    std::thread VideoThread;
    std::thread FeederThread;

    TState(const TMediaTimeline& T, TMessageQueue& M, TMediaPlayer* P)
        : Timeline(T), Messages(M), Owner(P), VideoRenderer(T), AudioRenderer(T) {}

    TVideoTime ClockPosition() const;
    void ResetAudio(TVideoTime Time);
    void Pull(float* Samples, int32_t Frames);
    void RunFeeder(std::weak_ptr<TState> Self);
    void RunVideo(std::weak_ptr<TState> Self);
    void ShowFrame(TVideoTime Time, const std::weak_ptr<TState>& Self);
    void Deliver(std::shared_ptr<const TVideoFrame> Frame, TVideoTime Time,
                 const std::weak_ptr<TState>& Self);
    void PostEnded(const std::weak_ptr<TState>& Self);
    void PostError(const std::string& Error, const std::weak_ptr<TState>& Self);
};

TVideoTime TMediaPlayer::TState::ClockPosition() const {
    int64_t Consumed = Sink->ConsumedFrames() - BaseConsumed;
    TVideoTime Time =
        SampleToTime(BaseSample + std::max<int64_t>(Consumed, 0), AudioFormat.SamplesPerSecond);
    return std::min(Time, Length);
}

void TMediaPlayer::TState::ResetAudio(TVideoTime Time) {
    std::lock_guard Guard(AudioLock);
    RingStart = RingCount = 0;
    FedSample = TimeToSample(Time, AudioFormat.SamplesPerSecond);
    ++Generation;
    BaseSample = FedSample;
    BaseConsumed = Sink->ConsumedFrames();
    AudioRoom.notify_all();
}

void TMediaPlayer::TState::Pull(float* Samples, int32_t Frames) {
    size_t Wanted = size_t(Frames) * size_t(AudioFormat.Channels);
    std::lock_guard Guard(AudioLock);
    size_t Take = std::min(Wanted, RingCount);
    for (size_t I = 0; I < Take; ++I)
        Samples[I] = Ring[(RingStart + I) % Ring.size()];
    std::fill(Samples + Take, Samples + Wanted, 0.0f); // an underrun is heard as silence
    RingStart = (RingStart + Take) % Ring.size();
    RingCount -= Take;
    AudioRoom.notify_all();
}

void TMediaPlayer::TState::RunFeeder(std::weak_ptr<TState> Self) {
    std::vector<float> Block;
    size_t BlockSamples = size_t(AudioBlockFrames) * size_t(AudioFormat.Channels);
    for (;;) {
        int64_t From = 0;
        uint64_t Seen = 0;
        {
            std::unique_lock Guard(AudioLock);
            AudioRoom.wait(Guard, [&] { return Quit || Ring.size() - RingCount >= BlockSamples; });
            if (Quit)
                return;
            From = FedSample;
            Seen = Generation;
        }
        try {
            AudioRenderer.RenderAudio(SampleToTime(From, AudioFormat.SamplesPerSecond),
                                      AudioBlockFrames, Block);
        } catch (const std::exception& Error) {
            PostError(Error.what(), Self);
            Block.assign(BlockSamples, 0.0f);
        }
        std::lock_guard Guard(AudioLock);
        if (Seen != Generation)
            continue; // a seek came in while this block was made
        for (size_t I = 0; I < BlockSamples; ++I)
            Ring[(RingStart + RingCount + I) % Ring.size()] = Block[I];
        RingCount += BlockSamples;
        FedSample += AudioBlockFrames;
    }
}

void TMediaPlayer::TState::ShowFrame(TVideoTime Time, const std::weak_ptr<TState>& Self) {
    std::shared_ptr<TVideoFrame> Frame;
    if (HasVideo) {
        int32_t Width = 0, Height = 0;
        {
            std::lock_guard Guard(Lock);
            Width = FrameWidth;
            Height = FrameHeight;
        }
        Frame = std::make_shared<TVideoFrame>();
        try {
            VideoRenderer.RenderVideo(Time, *Frame, Width, Height);
        } catch (const std::exception& Error) {
            PostError(Error.what(), Self);
            return;
        }
        Grabber.Store(Frame);
    }
    Deliver(std::move(Frame), Time, Self);
}

void TMediaPlayer::TState::Deliver(std::shared_ptr<const TVideoFrame> Frame, TVideoTime Time,
                                   const std::weak_ptr<TState>& Self) {
    std::lock_guard Guard(FrameLock);
    PendingFrame = std::move(Frame);
    PendingTime = Time;
    if (FramePosted)
        return; // the message in flight shows the newest frame
    FramePosted = true;
    Messages.Post([Self] {
        auto State = Self.lock();
        if (!State || !State->Owner)
            return;
        std::shared_ptr<const TVideoFrame> Shown;
        TVideoTime At = 0;
        {
            std::lock_guard Inner(State->FrameLock);
            Shown = std::move(State->PendingFrame);
            At = State->PendingTime;
            State->FramePosted = false;
        }
        if (Shown && State->Owner->OnFrame)
            State->Owner->OnFrame(*Shown, At);
    });
}

void TMediaPlayer::TState::PostEnded(const std::weak_ptr<TState>& Self) {
    Messages.Post([Self] {
        auto State = Self.lock();
        if (State && State->Owner && State->Owner->OnEnded)
            State->Owner->OnEnded();
    });
}

void TMediaPlayer::TState::PostError(const std::string& Error, const std::weak_ptr<TState>& Self) {
    Messages.Post([Self, Error] {
        auto State = Self.lock();
        if (State && State->Owner && State->Owner->OnError)
            State->Owner->OnError(Error);
    });
}

void TMediaPlayer::TState::RunVideo(std::weak_ptr<TState> Self) {
    std::unique_lock Guard(Lock);
    for (;;) {
        if (Quit)
            return;
        if (FrameWanted) {
            FrameWanted = false;
            TVideoTime At = PausedPosition;
            LastFrameIndex = At / FrameDuration;
            Guard.unlock();
            ShowFrame(At, Self);
            Guard.lock();
            continue;
        }
        if (PlayerState != TPlayerState::Running) {
            Wake.wait(Guard);
            continue;
        }
        TVideoTime Now = ClockPosition();
        if (Now >= Length) {
            PlayerState = TPlayerState::Paused;
            PausedPosition = Length;
            Sink->SetPaused(true);
            if (!EndReported) {
                EndReported = true;
                PostEnded(Self);
            }
            continue;
        }
        int64_t Index = Now / FrameDuration;
        if (Index != LastFrameIndex) {
            if (LastFrameIndex >= 0 && Index > LastFrameIndex + 1)
                Dropped += int32_t(Index - LastFrameIndex - 1);
            LastFrameIndex = Index;
            Guard.unlock();
            ShowFrame(Index * FrameDuration, Self);
            Guard.lock();
            continue;
        }
        // Sleep until the next frame is due (the clock is the sound card's,
        // so wake a little early and look again).
        TVideoTime Left = (Index + 1) * FrameDuration - Now;
        Wake.wait_for(Guard,
                      std::chrono::microseconds(std::clamp<TVideoTime>(Left / 10, 500, 20000)));
    }
}

TMediaPlayer::TMediaPlayer(const TMediaTimeline& Timeline, TMessageQueue& Messages,
                           TAudioOutput Output)
    : F(std::make_shared<TState>(Timeline, Messages, this)) {
    if (const TMediaGroup* Audio = Timeline.AudioGroup())
        F->AudioFormat = Audio->AudioFormat();
    if (const TMediaGroup* Video = Timeline.VideoGroup()) {
        F->HasVideo = true;
        F->FrameDuration = Video->VideoFormat().FrameDuration;
    }
    F->Length = Timeline.Duration();
    F->Ring.assign(size_t(F->AudioFormat.SamplesPerSecond) * AudioAheadMs / 1000 *
                       size_t(F->AudioFormat.Channels),
                   0.0f);
    F->Sink = Output == TAudioOutput::Device ? OpenAudioSink(F->AudioFormat)
                                             : OpenNullAudioSink(F->AudioFormat);
    TState* State = F.get();
    F->Sink->Start([State](float* Samples, int32_t Frames) { State->Pull(Samples, Frames); });
    F->Sink->SetPaused(true);
    std::weak_ptr<TState> Self = F;
    F->FeederThread = std::thread([State, Self] { State->RunFeeder(Self); });
    F->VideoThread = std::thread([State, Self] { State->RunVideo(Self); });
}

TMediaPlayer::~TMediaPlayer() {
    {
        std::lock_guard Guard(F->Lock);
        F->Quit = true;
        F->Owner = nullptr;
        F->Wake.notify_all();
    }
    {
        std::lock_guard Guard(F->AudioLock);
        F->AudioRoom.notify_all();
    }
    F->VideoThread.join();
    F->FeederThread.join();
    F->Sink->Stop();
}

void TMediaPlayer::Run() {
    std::lock_guard Guard(F->Lock);
    if (F->PlayerState == TPlayerState::Running)
        return;
    if (F->PausedPosition >= F->Length)
        F->PausedPosition = 0; // running again from the end starts over
    F->ResetAudio(F->PausedPosition);
    F->EndReported = false;
    F->LastFrameIndex = -1;
    F->PlayerState = TPlayerState::Running;
    F->Sink->SetPaused(false);
    F->Wake.notify_all();
}

void TMediaPlayer::Pause() {
    std::lock_guard Guard(F->Lock);
    if (F->PlayerState == TPlayerState::Running)
        F->PausedPosition = F->ClockPosition();
    F->PlayerState = TPlayerState::Paused;
    F->Sink->SetPaused(true);
    F->Wake.notify_all();
}

void TMediaPlayer::Stop() {
    std::lock_guard Guard(F->Lock);
    F->PlayerState = TPlayerState::Stopped;
    F->Sink->SetPaused(true);
    F->PausedPosition = 0;
    F->FrameWanted = true;
    F->Wake.notify_all();
}

void TMediaPlayer::Seek(TVideoTime Time) {
    std::lock_guard Guard(F->Lock);
    Time = std::clamp<TVideoTime>(Time, 0, F->Length);
    F->PausedPosition = Time;
    F->EndReported = false;
    F->ResetAudio(Time);
    F->LastFrameIndex = -1;
    if (F->PlayerState != TPlayerState::Running)
        F->FrameWanted = true;
    F->Wake.notify_all();
}

void TMediaPlayer::SetFrameSize(int32_t Width, int32_t Height) {
    Width = std::max(Width, 0);
    Height = std::max(Height, 0);
    if (Width == 0 || Height == 0)
        Width = Height = 0;
    std::lock_guard Guard(F->Lock);
    if (F->FrameWidth == Width && F->FrameHeight == Height)
        return;
    F->FrameWidth = Width;
    F->FrameHeight = Height;
    if (F->PlayerState != TPlayerState::Running) {
        F->FrameWanted = true;
        F->Wake.notify_all();
    }
}

TPlayerState TMediaPlayer::State() const {
    std::lock_guard Guard(F->Lock);
    return F->PlayerState;
}

TVideoTime TMediaPlayer::Position() const {
    std::lock_guard Guard(F->Lock);
    return F->PlayerState == TPlayerState::Running ? F->ClockPosition() : F->PausedPosition;
}

TVideoTime TMediaPlayer::Duration() const {
    return F->Length;
}
int32_t TMediaPlayer::DroppedFrames() const {
    return F->Dropped;
}
std::string TMediaPlayer::AudioOutputName() const {
    return F->Sink->Name();
}
const TFrameGrabber& TMediaPlayer::Grabber() const {
    return F->Grabber;
}
