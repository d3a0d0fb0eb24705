#include "playback/file_player.h"

#include "platform/media/media_probe.h"
#include "platform/media/media_timeline.h"
#include "render/preview_graph.h"

#include <algorithm>
#include <cmath>

namespace {

TMediaSource* AddFileSource(TMediaGroup* Group, const std::string& FileName, TVideoTime Duration) {
    auto Source = std::make_unique<TMediaSource>();
    Source->SetMediaName(FileName);
    Source->SetStartStop(0, Duration);
    Source->SetMediaTimes(0, Duration);
    Source->SetMediaLength(Duration);
    return Group->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1)->SrcAdd(std::move(Source));
}

} // namespace

TFilePlayer::TFilePlayer(const std::string& FileName)
    : FFileName(FileName), FTimeline(std::make_unique<TMediaTimeline>()) {
    TMediaInfo Info = ProbeMedia(FileName);
    FDuration = Info.Duration;
    if (Info.HasVideo()) {
        FWidth = Info.Width;
        FHeight = Info.Height;
        FFramesPerSecond = Info.FrameRate;
        TMediaVideoFormat Format;
        Format.Width = std::max(FWidth, 2);
        Format.Height = std::max(FHeight, 2);
        if (Info.FrameRate > 0)
            Format.FrameDuration = std::max<TVideoTime>(1, std::llround(1e7 / Info.FrameRate));
        AddFileSource(FTimeline->AddGroup(TMediaGroup::Video(Format)), FileName, FDuration);
    }
    if (Info.HasAudio()) {
        TMediaAudioFormat Format;
        for (const TMediaStreamInfo& Stream : Info.Streams)
            if (Stream.MajorType == TStreamMajorType::Audio) {
                Format.Channels = std::clamp(Stream.Channels, 1, 2);
                if (Stream.SamplesPerSecond > 0)
                    Format.SamplesPerSecond = Stream.SamplesPerSecond;
                break;
            }
        AddFileSource(FTimeline->AddGroup(TMediaGroup::Audio(Format)), FileName, FDuration);
    }
    SetKeepAspect(true);
}

TFilePlayer::~TFilePlayer() {
    // The engine's threads go before the timeline they read.
    FPreview.reset();
}

TPlayState TFilePlayer::GetState() const {
    return FPreview ? FPreview->State() : TPlayState::Stopped;
}

TVideoTime TFilePlayer::GetPosition() const {
    return FPreview ? FPreview->Position() : FPosition;
}

void TFilePlayer::Seek(TVideoTime Time) {
    FPosition = std::clamp<TVideoTime>(Time, 0, FDuration);
    if (FPreview)
        FPreview->Seek(FPosition);
}

void TFilePlayer::SetVideoVisible(bool Visible) {
    if (Visible == IsVideoVisible())
        return;
    if (!Visible) {
        FPosition = FPreview->Position();
        FPreview.reset();
        return;
    }
    FPreview = std::make_unique<TPreviewGraph>(*FTimeline, *this);
    FPreview->Seek(FPosition);
}

bool TFilePlayer::GetVideoSize(int32_t& Width, int32_t& Height) const {
    Width = FWidth;
    Height = FHeight;
    return Width > 0 && Height > 0;
}

void TFilePlayer::PlayTo(TVideoTime Stop) {
    if (!FPreview)
        return;
    FirePlayStarted();
    FPreview->PlayTo(Stop);
}

void TFilePlayer::Pause() {
    if (FPreview)
        FPreview->Pause();
}

void TFilePlayer::Stop() {
    if (FPreview)
        FPreview->Stop();
}

void TFilePlayer::Poll() {
    if (FPreview)
        FPreview->Poll();
}

void TFilePlayer::FrameSizeChanged() {
    if (FPreview)
        FPreview->FrameSizeChanged();
}
