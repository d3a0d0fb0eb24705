// Renders three H.264 clips with AAC sound, joined by two one-second wipes,
// to H.264 (x264 "veryfast", CRF about 23) and AAC 128 kbit/s in MP4, and
// prints the wall time. bench/render_compare.sh runs it beside the same edit
// made with the ffmpeg command line and with MLT's melt.
//
//   render_bench OUT.mp4 A.mp4 B.mp4 C.mp4 [CLIP_SECONDS]

#include "platform/media/media_components.h"
#include "platform/media/media_timeline.h"
#include "platform/media/media_writer.h"
#include "platform/message_queue.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr TVideoTime Second = 10000000;

void AddClip(TMediaTrack* Video, TMediaTrack* Audio, const char* File, TVideoTime Start,
             TVideoTime Length) {
    for (TMediaTrack* Track : {Video, Audio}) {
        auto Source = std::make_unique<TMediaSource>();
        Source->SetMediaName(File);
        Source->SetStartStop(Start, Start + Length);
        Source->SetMediaTimes(0, Length);
        Track->SrcAdd(std::move(Source));
    }
}

void AddWipe(TMediaTrack* Track, TVideoTime Start, bool Swap) {
    auto Wipe = std::make_unique<TMediaTransition>();
    const TGuid WipeId = GuidFromText("{FF4420AA-4937-4D4A-A27F-63C4B0AF6A6B}");
    bool HaveWipes = MediaComponents().HasTransition(WipeId);
    Wipe->SetSubObjectClassId(HaveWipes ? WipeId : MediaClassIds::CrossFadeTransition());
    TPropertySetter Properties;
    Properties.SetValue("MaskNum", "1"); // a left-to-right bar wipe
    Wipe->SetProperties(std::move(Properties));
    Wipe->SetStartStop(Start, Start + Second);
    Wipe->SetSwapInputs(Swap);
    Track->TransAdd(std::move(Wipe));
}

// Sound fades across each overlap: down on the clip that ends, up on the
// clip that starts.
void AddFade(TMediaTrack* Track, TVideoTime Start, bool Up) {
    auto Fade = std::make_unique<TMediaEffect>();
    Fade->SetSubObjectClassId(MediaClassIds::AudioVolumeEnvelope());
    Fade->SetStartStop(Start, Start + Second);
    TPropertySetter Properties;
    Properties.AddValue("Vol", 0, Up ? "0" : "1");
    Properties.AddValue("Vol", Second, Up ? "1" : "0", TKeyBlend::Interpolate);
    Fade->SetProperties(std::move(Properties));
    Track->EffectInsBefore(std::move(Fade), -1);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: render_bench OUT.mp4 A.mp4 B.mp4 C.mp4 [CLIP_SECONDS]\n");
        return 2;
    }
    TVideoTime Length = (argc > 5 ? std::atoi(argv[5]) : 10) * Second;
    try {
        TMediaTimeline Timeline;
        TMediaGroup* Video = Timeline.AddGroup(TMediaGroup::Video({1280, 720, Second / 30}));
        TMediaGroup* Audio = Timeline.AddGroup(TMediaGroup::Audio({2, 48000, 16}));
        auto* Pictures = Video->VTrackInsBefore(std::make_unique<TMediaComposition>(), -1);
        TMediaTrack* VA = Pictures->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
        TMediaTrack* VB = Pictures->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
        auto* Sound = Audio->VTrackInsBefore(std::make_unique<TMediaComposition>(), -1);
        TMediaTrack* AA = Sound->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
        TMediaTrack* AB = Sound->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
        TVideoTime Second2 = Length - Second, Third = 2 * (Length - Second);
        AddClip(VA, AA, argv[2], 0, Length);
        AddClip(VB, AB, argv[3], Second2, Length);
        AddClip(VA, AA, argv[4], Third, Length);
        AddWipe(VB, Second2, false);
        AddWipe(VB, Third, true);
        AddFade(AA, Second2, false);
        AddFade(AB, Second2, true);
        AddFade(AB, Third, false);
        AddFade(AA, Third, true);

        TMediaWriterProfile Profile;
        Profile.Format = TMediaOutputFormat::Mp4;
        Profile.Quality = 77; // CRF 23.06
        Profile.AudioBitRate = 128000;
        auto Begin = std::chrono::steady_clock::now();
        TMessageQueue Messages;
        TMediaFileWriter Writer(Timeline, Messages, argv[1], Profile);
        Writer.Start(nullptr);
        TRenderResult Result = Writer.Wait();
        double Seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - Begin).count();
        if (Result.Outcome != TRenderOutcome::Completed) {
            std::fprintf(stderr, "render failed: %s\n", Result.Error.c_str());
            return 1;
        }
        std::printf("%.3f\n", Seconds);
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "%s\n", Error.what());
        return 1;
    }
    return 0;
}
