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
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Sound rendered ahead of the device: short, so a seek is heard at once.
constexpr int32_t AudioAheadMs = 250;
constexpr int32_t AudioBlockFrames = 1024;
// Video frames made ahead of the clock: enough to ride over a frame that
// costs several frame times (a clip's decoder opening at a cut or at the
// start of a transition) without showing it late.
constexpr size_t VideoAheadFrames = 8;
// Frames made before the clock starts at Run or at a seek while running, so
// that decoders are open and warm when time begins to pass; bounded so a
// slow source cannot hold the start back for long.
constexpr size_t VideoWarmFrames = 4;
constexpr auto WarmUpLimit = std::chrono::milliseconds(1000);

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
    bool AudioHeld = false;  // the feeder leaves the timeline alone
    bool FeederBusy = false; // the feeder is rendering a block

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
    bool Held = false;      // the maker leaves the timeline alone
    bool MakerBusy = false; // the maker is rendering a frame
    bool EndReported = false;
    int64_t LastFrameIndex = -1;
    std::atomic<int32_t> Dropped{0};

    // The frames the maker thread rendered ahead of the clock, oldest
    // first, and the next one it renders. A seek, a run, a pause or a new
    // frame size throws them away: the generation tells the maker that the
    // frame it is rendering is no longer wanted.
    struct TAheadFrame {
        int64_t Index;
        std::shared_ptr<TVideoFrame> Frame;
    };
    std::deque<TAheadFrame> Ahead;
    int64_t NextIndex = 0;
    uint64_t AheadGeneration = 0;
    // While running: false until the first frames and the sound are ready,
    // with the sink held paused so that the clock does not run meanwhile.
    bool ClockStarted = false;
    std::chrono::steady_clock::time_point WarmUpSince;

    std::mutex FrameLock;
    std::shared_ptr<const TVideoFrame> PendingFrame;
    TVideoTime PendingTime = 0;
    bool FramePosted = false;

    std::thread VideoThread;
    std::thread MakerThread;
    std::thread FeederThread;

    TState(const TMediaTimeline& T, TMessageQueue& M, TMediaPlayer* P)
        : Timeline(T), Messages(M), Owner(P), VideoRenderer(T), AudioRenderer(T) {}

    TVideoTime ClockPosition() const;
    void ResetAudio(TVideoTime Time);
    void Pull(float* Samples, int32_t Frames);
    void RunFeeder(std::weak_ptr<TState> Self);
    void RunVideo(std::weak_ptr<TState> Self);
    void RunMaker(std::weak_ptr<TState> Self);
    // Under Lock: forgets the frames made ahead; the next one made is the
    // frame at From, and a running player warms up again before its clock
    // moves.
    void RestartAhead(TVideoTime From);
    bool WarmedUp();
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
            AudioRoom.wait(Guard, [&] {
                return Quit || (!AudioHeld && Ring.size() - RingCount >= BlockSamples);
            });
            if (Quit)
                return;
            From = FedSample;
            Seen = Generation;
            FeederBusy = true;
        }
        try {
            AudioRenderer.RenderAudio(SampleToTime(From, AudioFormat.SamplesPerSecond),
                                      AudioBlockFrames, Block);
        } catch (const std::exception& Error) {
            PostError(Error.what(), Self);
            Block.assign(BlockSamples, 0.0f);
        }
        std::lock_guard Guard(AudioLock);
        FeederBusy = false;
        AudioRoom.notify_all(); // a hold may be waiting for this block
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

void TMediaPlayer::TState::RestartAhead(TVideoTime From) {
    Ahead.clear();
    ++AheadGeneration;
    NextIndex = From / FrameDuration;
    LastFrameIndex = -1;
    if (ClockStarted && PlayerState == TPlayerState::Running)
        Sink->SetPaused(true);
    ClockStarted = false;
    WarmUpSince = std::chrono::steady_clock::now();
}

bool TMediaPlayer::TState::WarmedUp() {
    if (std::chrono::steady_clock::now() - WarmUpSince >= WarmUpLimit)
        return true;
    bool VideoReady =
        !HasVideo || Ahead.size() >= VideoWarmFrames || NextIndex * FrameDuration >= Length;
    if (!VideoReady)
        return false;
    std::lock_guard Guard(AudioLock);
    size_t BlockSamples = size_t(AudioBlockFrames) * size_t(AudioFormat.Channels);
    return Ring.size() - RingCount < BlockSamples ||
           FedSample >= TimeToSample(Length, AudioFormat.SamplesPerSecond);
}

// Renders the frames of a running player ahead of the clock into Ahead, and
// the single frame a paused player is asked for. Rendering happens without
// the lock, so the presenting thread keeps to the clock meanwhile.
void TMediaPlayer::TState::RunMaker(std::weak_ptr<TState> Self) {
    std::unique_lock Guard(Lock);
    for (;;) {
        if (Quit)
            return;
        if (Held) {
            Wake.wait(Guard);
            continue;
        }
        if (FrameWanted) {
            FrameWanted = false;
            TVideoTime At = PausedPosition;
            LastFrameIndex = At / FrameDuration;
            MakerBusy = true;
            Guard.unlock();
            ShowFrame(At, Self);
            Guard.lock();
            MakerBusy = false;
            Wake.notify_all(); // a hold may be waiting for this frame
            continue;
        }
        if (PlayerState != TPlayerState::Running || !HasVideo || Ahead.size() >= VideoAheadFrames ||
            NextIndex * FrameDuration >= Length) {
            Wake.wait(Guard);
            continue;
        }
        // A frame the clock has passed already is not made at all.
        NextIndex = std::max(NextIndex, ClockPosition() / FrameDuration);
        int64_t Index = NextIndex++;
        uint64_t MadeFor = AheadGeneration;
        int32_t Width = FrameWidth, Height = FrameHeight;
        MakerBusy = true;
        Guard.unlock();
        auto Frame = std::make_shared<TVideoFrame>();
        bool Made = true;
        try {
            VideoRenderer.RenderVideo(Index * FrameDuration, *Frame, Width, Height);
        } catch (const std::exception& Error) {
            PostError(Error.what(), Self);
            Made = false;
        }
        Guard.lock();
        MakerBusy = false;
        if (Made && MadeFor == AheadGeneration)
            Ahead.push_back({Index, std::move(Frame)});
        Wake.notify_all();
    }
}

// Starts the clock once the first frames are made, then hands each made
// frame over when the clock reaches it. A frame whose time has passed is
// skipped and counted as dropped.
void TMediaPlayer::TState::RunVideo(std::weak_ptr<TState> Self) {
    std::unique_lock Guard(Lock);
    for (;;) {
        if (Quit)
            return;
        if (PlayerState != TPlayerState::Running || Held) {
            Wake.wait(Guard);
            continue;
        }
        if (!ClockStarted) {
            if (!WarmedUp()) {
                Wake.wait_for(Guard, std::chrono::milliseconds(2));
                continue;
            }
            ClockStarted = true;
            Sink->SetPaused(false);
        }
        TVideoTime Now = ClockPosition();
        if (Now >= Length) {
            PlayerState = TPlayerState::Paused;
            PausedPosition = Length;
            Sink->SetPaused(true);
            Ahead.clear();
            ++AheadGeneration;
            if (!EndReported) {
                EndReported = true;
                PostEnded(Self);
            }
            continue;
        }
        int64_t Index = Now / FrameDuration;
        while (!Ahead.empty() && Ahead.front().Index < Index) {
            Ahead.pop_front();
            Wake.notify_all(); // room for the maker
        }
        if (!HasVideo && Index != LastFrameIndex) {
            LastFrameIndex = Index;
            Guard.unlock();
            Deliver(nullptr, Index * FrameDuration, Self);
            Guard.lock();
            continue;
        }
        if (!Ahead.empty() && Ahead.front().Index == Index && Index != LastFrameIndex) {
            if (LastFrameIndex >= 0 && Index > LastFrameIndex + 1)
                Dropped += int32_t(Index - LastFrameIndex - 1);
            LastFrameIndex = Index;
            std::shared_ptr<TVideoFrame> Frame = std::move(Ahead.front().Frame);
            Ahead.pop_front();
            Wake.notify_all();
            Guard.unlock();
            Grabber.Store(Frame);
            Deliver(std::move(Frame), Index * FrameDuration, Self);
            Guard.lock();
            continue;
        }
        // Sleep until the next frame is due (the clock is the sound card's,
        // so wake a little early and look again) or a frame is made.
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
    F->MakerThread = std::thread([State, Self] { State->RunMaker(Self); });
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
    F->MakerThread.join();
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
    F->PlayerState = TPlayerState::Running;
    // The sink stays paused until the video thread has the first frames.
    F->RestartAhead(F->PausedPosition);
    F->Wake.notify_all();
}

void TMediaPlayer::Pause() {
    std::lock_guard Guard(F->Lock);
    if (F->PlayerState == TPlayerState::Running)
        F->PausedPosition = F->ClockPosition();
    F->PlayerState = TPlayerState::Paused;
    F->Sink->SetPaused(true);
    F->RestartAhead(F->PausedPosition);
    F->Wake.notify_all();
}

void TMediaPlayer::Stop() {
    std::lock_guard Guard(F->Lock);
    F->PlayerState = TPlayerState::Stopped;
    F->Sink->SetPaused(true);
    F->PausedPosition = 0;
    F->RestartAhead(0);
    F->FrameWanted = true;
    F->Wake.notify_all();
}

void TMediaPlayer::Seek(TVideoTime Time) {
    std::lock_guard Guard(F->Lock);
    Time = std::clamp<TVideoTime>(Time, 0, F->Length);
    F->PausedPosition = Time;
    F->EndReported = false;
    F->RestartAhead(Time); // holds the sink first, so the clock restarts exactly at Time
    F->ResetAudio(Time);
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
    if (F->PlayerState == TPlayerState::Running && !F->ClockStarted) {
        // Still warming up: make the first frames again at the new size.
        F->Ahead.clear();
        ++F->AheadGeneration;
        F->NextIndex = F->PausedPosition / F->FrameDuration;
        F->Wake.notify_all();
    } else if (F->PlayerState == TPlayerState::Running) {
        // Frames made at the old size go on showing until those at the new
        // size catch up; the receiver places whatever size it gets.
        F->Wake.notify_all();
    } else {
        F->FrameWanted = true;
        F->Wake.notify_all();
    }
}

void TMediaPlayer::Hold() {
    {
        std::unique_lock Guard(F->Lock);
        if (F->PlayerState == TPlayerState::Running) {
            F->PausedPosition = F->ClockPosition();
            F->PlayerState = TPlayerState::Paused;
            F->Sink->SetPaused(true);
        }
        F->RestartAhead(F->PausedPosition);
        F->Held = true;
        F->Wake.wait(Guard, [&] { return !F->MakerBusy; });
    }
    std::unique_lock Guard(F->AudioLock);
    F->AudioHeld = true;
    F->AudioRoom.wait(Guard, [&] { return !F->FeederBusy; });
}

void TMediaPlayer::Release() {
    std::lock_guard Guard(F->Lock);
    if (!F->Held)
        return;
    // Nothing renders while held: the renderers are this thread's for now.
    F->VideoRenderer.TimelineEdited();
    F->AudioRenderer.TimelineEdited();
    F->HasVideo = false;
    if (const TMediaGroup* Video = F->Timeline.VideoGroup()) {
        F->HasVideo = true;
        F->FrameDuration = Video->VideoFormat().FrameDuration;
    }
    F->Length = F->Timeline.Duration();
    F->PausedPosition = std::clamp<TVideoTime>(F->PausedPosition, 0, F->Length);
    F->RestartAhead(F->PausedPosition);
    F->Held = false;
    F->Wake.notify_all();
    {
        std::lock_guard Audio(F->AudioLock);
        F->AudioHeld = false;
    }
    // The sound made ahead was the old timeline's.
    F->ResetAudio(F->PausedPosition);
}

bool TMediaPlayer::IsHeld() const {
    std::lock_guard Guard(F->Lock);
    return F->Held;
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
int32_t TMediaPlayer::OpenedDecoderCount() const {
    return F->VideoRenderer.OpenedDecoderCount() + F->AudioRenderer.OpenedDecoderCount();
}
std::string TMediaPlayer::AudioOutputName() const {
    return F->Sink->Name();
}
const TFrameGrabber& TMediaPlayer::Grabber() const {
    return F->Grabber;
}
