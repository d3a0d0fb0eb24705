#include "playback/engine_player_object.h"

#include "platform/media/media_timeline.h"
#include "render/preview_graph.h"

#include <algorithm>

TEnginePlayerObject::TEnginePlayerObject() = default;

TEnginePlayerObject::~TEnginePlayerObject() {
    // The engine's threads go before the timeline they read.
    FPreview.reset();
}

void TEnginePlayerObject::SetTimeline(std::unique_ptr<TMediaTimeline> Timeline,
                                      TVideoTime Duration, int32_t Width, int32_t Height,
                                      double FramesPerSecond) {
    bool Visible = IsVideoVisible();
    bool Playing = IsPlaying();
    FPreview.reset();
    FTimeline = std::move(Timeline);
    FDuration = Duration;
    FWidth = Width;
    FHeight = Height;
    FFramesPerSecond = FramesPerSecond;
    FPosition = 0;
    if (Visible)
        SetVideoVisible(true);
    if (Playing)
        PlayTo(PlayToEnd);
}

TPlayState TEnginePlayerObject::GetState() const {
    if (FStarting)
        return TPlayState::Running;
    return FPreview ? FPreview->State() : TPlayState::Stopped;
}

TVideoTime TEnginePlayerObject::GetPosition() const {
    return FPreview ? FPreview->Position() : FPosition;
}

void TEnginePlayerObject::Seek(TVideoTime Time) {
    FPosition = std::clamp<TVideoTime>(Time, 0, FDuration);
    if (FPreview)
        FPreview->Seek(FPosition);
}

void TEnginePlayerObject::SetVideoVisible(bool Visible) {
    if (Visible == IsVideoVisible())
        return;
    if (!Visible) {
        FPosition = FPreview->Position();
        FPreview.reset();
        return;
    }
    if (!FTimeline)
        return;
    FPreview = std::make_unique<TPreviewGraph>(*FTimeline, *this);
    FPreview->Seek(FPosition);
}

bool TEnginePlayerObject::GetVideoSize(int32_t& Width, int32_t& Height) const {
    Width = FWidth;
    Height = FHeight;
    return Width > 0 && Height > 0;
}

void TEnginePlayerObject::PlayTo(TVideoTime Stop) {
    if (!FPreview)
        return;
    // Those who hear of the start see the object running already.
    FStarting = true;
    try {
        FirePlayStarted();
    } catch (...) {
        FStarting = false;
        throw;
    }
    FStarting = false;
    FPreview->PlayTo(Stop);
}

void TEnginePlayerObject::Pause() {
    if (FPreview)
        FPreview->Pause();
}

void TEnginePlayerObject::Stop() {
    if (FPreview)
        FPreview->Stop();
}

void TEnginePlayerObject::Poll() {
    if (FPreview)
        FPreview->Poll();
}

void TEnginePlayerObject::FrameSizeChanged() {
    if (FPreview)
        FPreview->FrameSizeChanged();
}
