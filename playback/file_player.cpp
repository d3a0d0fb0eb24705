#include "playback/file_player.h"

#include "platform/media/media_probe.h"
#include "platform/media/media_timeline.h"

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

TFilePlayer::TFilePlayer(const std::string& FileName) : FFileName(FileName) {
    auto Timeline = std::make_unique<TMediaTimeline>();
    TMediaInfo Info = ProbeMedia(FileName);
    int32_t Width = 0, Height = 0;
    double FramesPerSecond = 0;
    if (Info.HasVideo()) {
        Width = Info.Width;
        Height = Info.Height;
        FramesPerSecond = Info.FrameRate;
        TMediaVideoFormat Format;
        Format.Width = std::max(Width, 2);
        Format.Height = std::max(Height, 2);
        if (Info.FrameRate > 0)
            Format.FrameDuration = std::max<TVideoTime>(1, std::llround(1e7 / Info.FrameRate));
        AddFileSource(Timeline->AddGroup(TMediaGroup::Video(Format)), FileName, Info.Duration);
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
        AddFileSource(Timeline->AddGroup(TMediaGroup::Audio(Format)), FileName, Info.Duration);
    }
    SetTimeline(std::move(Timeline), Info.Duration, Width, Height, FramesPerSecond);
    SetKeepAspect(true);
}
