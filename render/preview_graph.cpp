#include "render/preview_graph.h"

#include "platform/media/frame_grabber.h"
#include "platform/media/media_player.h"
#include "platform/media/media_timeline.h"
#include "platform/message_queue.h"

#include <algorithm>

TPreviewGraph::TPreviewGraph(const TMediaTimeline& Timeline, TPlayerObject& Owner)
    : TPreviewGraph(Timeline, Owner, UiMessages()) {}

TPreviewGraph::TPreviewGraph(const TMediaTimeline& Timeline, TPlayerObject& Owner,
                             TMessageQueue& Messages)
    : FTimeline(Timeline), FOwner(Owner), FMessages(Messages) {
    Open();
}

TPreviewGraph::~TPreviewGraph() = default;

void TPreviewGraph::Open() {
    if (FPlayer) {
        FDroppedBefore += FPlayer->DroppedFrames();
        FDecodersBefore += FPlayer->OpenedDecoderCount();
    }
    FPlayer.reset();
    if (FTimeline.Duration() <= 0)
        return;
    FPlayer = std::make_unique<TMediaPlayer>(FTimeline, FMessages);
    // The callbacks run from posted messages on this thread; a message that
    // arrives after the engine player is gone is dropped by the player.
    FPlayer->OnFrame = [this](const TVideoFrame& Frame, TVideoTime At) { FrameArrived(Frame, At); };
    FPlayer->OnEnded = [this] { Ended(); };
    FPlayer->OnError = [this](const std::string& Error) {
        if (FOwner.OnError)
            FOwner.OnError(Error);
    };
    FPlayer->SetFrameSize(FOwner.FrameWidth(), FOwner.FrameHeight());
    FPosition = std::clamp<TVideoTime>(FPosition, 0, FPlayer->Duration());
    FPlayer->Seek(FPosition);
    if (FState == TPlayState::Running)
        FPlayer->Run();
}

TPlayState TPreviewGraph::State() const {
    if (!FPlayer)
        return FState;
    return FPlayer->State() == TPlayerState::Running ? TPlayState::Running : FState;
}

TVideoTime TPreviewGraph::Position() const {
    return FPlayer ? FPlayer->Position() : FPosition;
}

TVideoTime TPreviewGraph::Duration() const {
    return FTimeline.Duration();
}

int32_t TPreviewGraph::DroppedFrames() const {
    return FDroppedBefore + (FPlayer ? FPlayer->DroppedFrames() : 0);
}

int32_t TPreviewGraph::OpenedDecoderCount() const {
    return FDecodersBefore + (FPlayer ? FPlayer->OpenedDecoderCount() : 0);
}

TRgbImage TPreviewGraph::GrabFrame() const {
    return FPlayer && !FSuspended ? FPlayer->Grabber().Grab() : TRgbImage{};
}

void TPreviewGraph::Seek(TVideoTime Time) {
    FPosition = std::max<TVideoTime>(Time, 0);
    if (FPlayer)
        FPlayer->Seek(FPosition);
}

void TPreviewGraph::PlayTo(TVideoTime StopTime) {
    FStopTime = StopTime;
    FState = TPlayState::Running;
    if (FPlayer && !FSuspended)
        FPlayer->Run();
}

void TPreviewGraph::Pause() {
    if (FPlayer) {
        FPlayer->Pause();
        FPosition = FPlayer->Position();
    }
    FState = TPlayState::Paused;
}

void TPreviewGraph::Stop() {
    if (FPlayer)
        FPlayer->Stop();
    FPosition = 0;
    FState = TPlayState::Stopped;
}

void TPreviewGraph::StopAt(TVideoTime Time) {
    if (FPlayer) {
        FPlayer->Pause();
        FPlayer->Seek(Time);
    }
    FPosition = Time;
    FState = TPlayState::Paused;
    FOwner.FireStateChanged();
}

void TPreviewGraph::Poll() {
    if (FState == TPlayState::Running && FStopTime >= 0 && FPlayer && Position() >= FStopTime)
        StopAt(FStopTime);
}

void TPreviewGraph::FrameSizeChanged() {
    if (FPlayer)
        FPlayer->SetFrameSize(FOwner.FrameWidth(), FOwner.FrameHeight());
}

void TPreviewGraph::FrameArrived(const TVideoFrame& Frame, TVideoTime Time) {
    if (FOwner.OnFrame)
        FOwner.OnFrame(Frame, Time);
    if (FState == TPlayState::Running && FStopTime >= 0 && Time >= FStopTime)
        StopAt(FStopTime);
    else
        FOwner.FirePositionChanged();
}

void TPreviewGraph::Ended() {
    if (!FPlayer)
        return;
    FPosition = FPlayer->Position();
    FState = TPlayState::Paused;
    FOwner.FireStateChanged();
}

void TPreviewGraph::Suspend() {
    if (FSuspended)
        return;
    FSuspended = true;
    if (!FPlayer)
        return;
    if (FState == TPlayState::Running && FPlayer->State() != TPlayerState::Running)
        FState = TPlayState::Paused; // it ended meanwhile
    // Holding waits at most for the frame and the sound block the engine is
    // making; after that nothing reads the timeline. The player, its sound
    // and its decoders stay for the edited timeline.
    FPlayer->Hold();
    FPosition = FPlayer->Position();
}

void TPreviewGraph::Resume() {
    if (!FSuspended)
        return;
    FSuspended = false;
    if (!FPlayer || FTimeline.Duration() <= 0) {
        Open();
        return;
    }
    FPlayer->Release();
    // One seek shows the edited frame where the preview stood.
    FPosition = std::clamp<TVideoTime>(FPosition, 0, FPlayer->Duration());
    FPlayer->Seek(FPosition);
    if (FState == TPlayState::Running)
        FPlayer->Run();
}
