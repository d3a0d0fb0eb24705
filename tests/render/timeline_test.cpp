#include "render/timeline.h"

#include "core/error.h"
#include "core/exception_report.h"
#include "platform/media/media_renderer.h"
#include "platform/media/media_timeline.h"
#include "platform/media/picture_source_name.h"
#include "platform/media/video_frame.h"
#include "render/clip_element.h"
#include "render/file_clip_element.h"
#include "render/output_presets.h"
#include "test_media.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

namespace {

constexpr TVideoTime Second = 10000000;

// The start and stop, and media start and stop, of each engine source.
struct TPiece {
    TVideoTime Start, Stop, MediaStart, MediaStop;
    bool operator==(const TPiece&) const = default;
};

std::vector<TPiece> Pieces(const TMediaTrack* Track) {
    std::vector<TPiece> Result;
    for (const auto& Source : Track->Sources())
        Result.push_back(
            {Source->Start(), Source->Stop(), Source->MediaStart(), Source->MediaStop()});
    return Result;
}

class RenderTimeline : public ::testing::Test {
protected:
    TTimelineTrack* AddTrack(TTimelineTrackKind Kind) {
        return Timeline.Track(Timeline.AddTrack(Kind, 0));
    }
    std::unique_ptr<TColorClipElement> Color(TColor C, TVideoTime Duration) {
        return std::make_unique<TColorClipElement>(C, Duration);
    }

    TTimeline Timeline;
};

TEST_F(RenderTimeline, EmptyTimelineHasNoLengthAndNoTimelineObjects) {
    Timeline.DeleteTrack(1);
    EXPECT_EQ(Timeline.GetDuration(), 0);
    Timeline.Rebuild();
    const TMediaGroup* Video = Timeline.VideoGroup();
    ASSERT_EQ(Video->Layers().size(), 2u); // the background track and the tracks composition
    EXPECT_TRUE(static_cast<const TMediaTrack*>(Video->Layers()[0].get())->Sources().empty());
    EXPECT_TRUE(Timeline.TracksComposition()->Transitions().empty());
    EXPECT_EQ(Timeline.UpdateCount(), 0);
}

TEST_F(RenderTimeline, AnElementFreedAfterLeavingItsTrackInsideABracketIsForgotten) {
    TTimelineTrack* Track = Timeline.Track(1);
    auto Kept = Color(MakeColor(0, 0, 200), Second);
    Kept->MoveTo(Track, -3, 0);
    {
        TTimelineUpdateGuard Bracket(Timeline);
        auto Doomed = Color(MakeColor(200, 0, 0), Second);
        Doomed->MoveTo(Track, -3, Second);
        EXPECT_TRUE(Doomed->Pending());
        Doomed->Detach();
        Doomed.reset();
        Kept->SetStart(2 * Second);
    }
    // The flush rebuilt what remained, without reaching the freed element.
    EXPECT_FALSE(Kept->Pending());
    EXPECT_EQ(Kept->Start(), 2 * Second);
    // An element still pending when the timeline goes forgets it.
    auto Outliving = std::make_unique<TTimeline>();
    auto Late = Color(MakeColor(0, 200, 0), Second);
    {
        TTimelineUpdateGuard Bracket(*Outliving);
        Late->MoveTo(Outliving->Track(1), -3, 0);
        Late->Detach();
        EXPECT_TRUE(Late->Pending());
        Outliving->BeginUpdate(); // left open: the timeline is freed inside
    }
    Outliving.reset();
    EXPECT_FALSE(Late->Pending());
}

TEST_F(RenderTimeline, UnbalancedEndRaisesAndNestedBracketsFlushOnceAtTheOutermostEnd) {
    EXPECT_THROW(Timeline.EndUpdate(), EError);
    EXPECT_EQ(Timeline.UpdateCount(), 0);
    TTimelineTrack* Track = Timeline.Track(1);
    auto A = Color(MakeColor(255, 0, 0), Second);
    auto B = Color(MakeColor(0, 255, 0), Second);
    int32_t Builds = Timeline.ElementBuildCount();
    Timeline.BeginUpdate();
    Timeline.BeginUpdate();
    A->MoveTo(Track, -3, 0);
    B->MoveTo(Track, -3, Second);
    A->SetBrightness(20);
    B->SetGamma(2.0);
    Timeline.EndUpdate();
    EXPECT_EQ(Timeline.ElementBuildCount(), Builds);
    EXPECT_TRUE(A->Pending());
    Timeline.EndUpdate();
    EXPECT_EQ(Timeline.ElementBuildCount(), Builds + 2); // each element built once
    EXPECT_FALSE(A->Pending());
    EXPECT_NE(A->ColorAdjustEffect(), nullptr);
    EXPECT_EQ(A->ColorAdjustEffect()->Properties().TextAt("brightness", 0), "20");
    EXPECT_EQ(B->ColorAdjustEffect()->Properties().TextAt("gamma", 0), "2");
}

// A media file deleted while its clip is on the timeline used to end the
// program: the guard threw from its destructor inside a std::optional. The
// failure is now reported once the outermost bracket has closed, the other
// elements are built, and the clip is built again once its file is back.
TEST_F(RenderTimeline, ARebuildThatFailsAsTheBracketClosesIsReportedAndTriedAgainLater) {
    TTempFolder Folder;
    std::string Tone = Folder.Path("tone.wav");
    WriteTestTone(Tone, 440, 0.5, 1.0, 22050, 1);
    TTimelineTrack* Track = Timeline.Track(1);
    TFileClipElement Clip(Tone, true, true, -1);
    Clip.MoveTo(Track, -3, 0);
    auto Other = Color(MakeColor(0, 0, 255), Second);
    Other->MoveTo(Track, -3, 2 * Second);
    ASSERT_NE(Clip.AudioSource(), nullptr);
    std::vector<std::string> Reports;
    SetExceptionReportHandler([&](const std::exception& E) { Reports.push_back(E.what()); });
    std::filesystem::rename(Tone, Tone + ".away");
    {
        std::optional<TTimelineUpdateGuard> Outer;
        Outer.emplace(Timeline);
        {
            TTimelineUpdateGuard Inner(Timeline);
            EXPECT_EQ(Timeline.UpdateCount(), 2);
            Clip.SetStart(Second / 2);
            Other->SetBrightness(10);
        }
        EXPECT_TRUE(Reports.empty()); // not before the outermost bracket closes
        EXPECT_NO_THROW(Outer.reset());
    }
    EXPECT_EQ(Timeline.UpdateCount(), 0);
    ASSERT_EQ(Reports.size(), 1u);
    EXPECT_NE(Reports[0].find(Tone), std::string::npos) << Reports[0];
    EXPECT_TRUE(Clip.Unavailable());
    EXPECT_FALSE(Clip.Pending());
    EXPECT_EQ(Clip.AudioSource(), nullptr);
    EXPECT_EQ(Clip.Start(), Second / 2); // the edit stands
    EXPECT_NE(Other->ColorAdjustEffect(), nullptr);
    // Still gone: trying again changes nothing and reports nothing new.
    EXPECT_EQ(Timeline.RetryUnavailable(), 0);
    EXPECT_EQ(Reports.size(), 1u);
    // Back: the next try builds it.
    std::filesystem::rename(Tone + ".away", Tone);
    EXPECT_EQ(Timeline.RetryUnavailable(), 1);
    EXPECT_FALSE(Clip.Unavailable());
    EXPECT_NE(Clip.AudioSource(), nullptr);
    SetExceptionReportHandler({});
    Clip.Detach();
}

TEST_F(RenderTimeline, InsertingAtTheFrontOfAnABTrackSwapsTheOtherClipsSubTracks) {
    TTimelineTrack* Track = Timeline.Track(1);
    auto A = Color(MakeColor(255, 0, 0), Second);
    auto B = Color(MakeColor(0, 255, 0), Second);
    A->MoveTo(Track, -3, Second);
    B->MoveTo(Track, -3, 2 * Second);
    EXPECT_EQ(A->SubTrackIndex(), 0);
    EXPECT_EQ(B->SubTrackIndex(), 1);
    auto Front = Color(MakeColor(0, 0, 255), Second);
    Front->MoveTo(Track, -3, 0);
    EXPECT_EQ(Front->SubTrackIndex(), 0);
    EXPECT_EQ(A->SubTrackIndex(), 1);
    EXPECT_EQ(B->SubTrackIndex(), 0);
    // The engine agrees: sub-track 0 holds the first and third clips.
    EXPECT_EQ(Pieces(Track->VideoSubTrack(0)),
              (std::vector<TPiece>{{0, Second, 0, Second}, {2 * Second, 3 * Second, 0, Second}}));
    EXPECT_EQ(Pieces(Track->VideoSubTrack(1)),
              (std::vector<TPiece>{{Second, 2 * Second, 0, Second}}));
    Front->Detach();
    EXPECT_EQ(A->SubTrackIndex(), 0);
    EXPECT_EQ(Pieces(Track->VideoSubTrack(1)),
              (std::vector<TPiece>{{2 * Second, 3 * Second, 0, Second}}));
}

TEST_F(RenderTimeline, InvalidMoveRaisesAndLeavesTheClip) {
    TTimelineTrack* Track = Timeline.Track(1);
    auto A = Color(MakeColor(255, 0, 0), Second);
    EXPECT_THROW(A->MoveTo(Track, Second, 0), EError); // not yet placed
    A->MoveTo(Track, -3, 0);
    EXPECT_THROW(A->MoveTo(Track, Second, Second), EError); // another start
    EXPECT_EQ(Track->ClipCount(), 1);
    EXPECT_EQ(Timeline.UpdateCount(), 0);
}

TEST_F(RenderTimeline, TrackVolumeAndMuteBecomeAnEnvelopeOverTheTrack) {
    TTimelineTrack* Track = Timeline.Track(1);
    auto A = Color(MakeColor(255, 0, 0), 3 * Second);
    A->MoveTo(Track, -3, 0);
    EXPECT_TRUE(Track->AudioComposition()->Effects().empty());
    Track->SetVolume(0.5);
    ASSERT_EQ(Track->AudioComposition()->Effects().size(), 1u);
    const TMediaEffect* Envelope = Track->AudioComposition()->Effects()[0].get();
    EXPECT_EQ(Envelope->Properties().TextAt("Vol", 0), "0.5");
    EXPECT_EQ(Envelope->Stop(), 3 * Second);
    Track->SetMuted(true);
    EXPECT_EQ(Track->AudioComposition()->Effects()[0]->Properties().TextAt("Vol", 0), "0");
    Track->SetMuted(false);
    Track->SetVolume(1.0);
    EXPECT_TRUE(Track->AudioComposition()->Effects().empty());
}

TEST_F(RenderTimeline, FirstTrackBackgroundLaysColourAndBlackAndTheKeyTransition) {
    TTimelineTrack* Track = Timeline.Track(1);
    auto A = Color(MakeColor(255, 0, 0), 2 * Second);
    A->MoveTo(Track, -3, 0);
    Track->SetBackgroundColor(MakeColor(0, 0, 255, 10));
    const auto* Background =
        static_cast<const TMediaTrack*>(Timeline.VideoGroup()->Layers()[0].get());
    ASSERT_EQ(Background->Sources().size(), 1u);
    EXPECT_EQ(Background->Sources()[0]->Properties().TextAt("color", 0),
              std::to_string(0xFF0000FFu));
    EXPECT_EQ(Background->Sources()[0]->Stop(), 2 * Second);
    EXPECT_EQ(Timeline.TracksComposition()->Transitions().size(), 1u);
    // A track with a background covers what lies beneath: no key of its own.
    EXPECT_TRUE(Track->VideoComposition()->Transitions().empty());
}

class RenderTimelineFiles : public RenderTimeline {
protected:
    std::string Clip(const std::string& Name, uint8_t R, uint8_t G, uint8_t B, int Frames,
                     bool Numbered = false, int Fps = 25) {
        TTestVideoOptions Options;
        Options.Width = 160;
        Options.Height = 120;
        Options.FrameCount = Frames;
        Options.FramesPerSecondNum = Fps;
        Options.Painter = Numbered ? NumberedFrames() : SolidColor(R, G, B);
        Options.WithAudio = true;
        std::string File = Folder.Path(Name);
        WriteTestVideo(File, Options);
        return File;
    }
    TTempFolder Folder;
};

TEST_F(RenderTimelineFiles, LoopingClipLaysTheMediaDownInPieces) {
    std::string File = Clip("ten.avi", 0, 0, 0, 100, true, 10);
    TFileClipElement Element(File, true, true, -1);
    EXPECT_EQ(Element.MediaLength(), 10 * Second);
    Element.SetLoops(true);
    Element.SetTrim(4 * Second, 10 * Second);
    Element.SetDuration(25 * Second);
    Element.MoveTo(Timeline.Track(1), -3, 0);
    EXPECT_EQ(Pieces(Timeline.Track(1)->VideoSubTrack(0)),
              (std::vector<TPiece>{{0, 6 * Second, 4 * Second, 10 * Second},
                                   {6 * Second, 16 * Second, 0, 10 * Second},
                                   {16 * Second, 25 * Second, 0, 9 * Second}}));
    EXPECT_EQ(Pieces(Timeline.Track(1)->AudioSubTrack(0)).size(), 3u);

    // And the engine plays them so.
    TMediaRenderer Renderer(Timeline.Platform());
    TVideoFrame Frame;
    auto NumberAt = [&](TVideoTime T) {
        Renderer.RenderVideo(T, Frame);
        return ReadFrameNumber(Frame.Data(), Frame.Width(), Frame.Height(), Frame.Stride());
    };
    EXPECT_EQ(NumberAt(0), 40);
    EXPECT_EQ(NumberAt(6 * Second), 0);
    EXPECT_EQ(NumberAt(16 * Second + 5 * Second), 50);
}

TEST_F(RenderTimelineFiles, OverlappingTransitionsScaleTheClipVolume) {
    std::string File = Clip("a.avi", 200, 0, 0, 100);
    TFileClipElement Element(File, true, true, -1);
    Element.MoveTo(Timeline.Track(1), -3, 0);
    EXPECT_EQ(Element.VolumeEffect(), nullptr);
    // Incoming 3 s and outgoing 3 s on a 4 s clip: they overlap by 2 s.
    Element.SetDuration(4 * Second);
    Element.SetTransitionLengths(3 * Second, 3 * Second);
    ASSERT_NE(Element.VolumeEffect(), nullptr);
    // k = 2/4, volume 1/1.5, both fade points at round(3 s / 1.5) = 2 s.
    EXPECT_EQ(Element.VolumeEffect()->Properties().TextAt("multivol", 0),
              "20000000 20000000 0.6666666666666666 0.6666666666666666 40000000 0");
    Element.SetMuted(true);
    EXPECT_EQ(Element.VolumeEffect()->Properties().TextAt("Vol", 0), "0");
}

TEST_F(RenderTimelineFiles, ClipsAndAColourClipPlayAtTheirTimes) {
    std::string Red = Clip("red.avi", 220, 20, 20, 50);
    std::string Blue = Clip("blue.avi", 20, 20, 220, 50);
    TTimelineTrack* Track = Timeline.Track(1);
    TFileClipElement A(Red, true, true, -1);
    TFileClipElement B(Blue, true, true, -1);
    TColorClipElement C(MakeColor(0, 255, 0), Second);
    A.MoveTo(Track, -3, 0);
    C.MoveTo(Track, -3, 2 * Second);
    B.MoveTo(Track, -3, 3 * Second);
    EXPECT_EQ(Timeline.GetDuration(), 5 * Second);
    TMediaRenderer Renderer(Timeline.Platform());
    TVideoFrame Frame;
    auto At = [&](TVideoTime T) {
        Renderer.RenderVideo(T, Frame);
        return Frame.Pixel(160, 120);
    };
    auto Red_ = At(Second);
    EXPECT_GT(int(Red_ & 0xFF), 180);
    EXPECT_EQ(At(2 * Second + Second / 2), MakeColor(0, 255, 0));
    auto Blue_ = At(4 * Second);
    EXPECT_GT(int((Blue_ >> 16) & 0xFF), 180);
    EXPECT_EQ(At(5 * Second), MakeColor(0, 0, 0));
    std::vector<float> Sound;
    Renderer.RenderAudio(Second, 4410, Sound);
    double Peak = 0;
    for (float S : Sound)
        Peak = std::max(Peak, double(std::abs(S)));
    EXPECT_GT(Peak, 0.2); // the clips' tones
}

TEST_F(RenderTimelineFiles, MissingOrUnreadableFilesCannotBecomeClips) {
    EXPECT_THROW(TFileClipElement(Folder.Path("missing.avi"), true, true, -1), EError);
    std::string Garbage = Folder.Path("garbage.avi");
    WriteGarbageFile(Garbage, 4096, 3);
    EXPECT_THROW(TFileClipElement(Garbage, true, true, -1), EError);
}

TEST_F(RenderTimelineFiles, OptimalFormatIsTheLargestOfTheMedia) {
    std::string Small = Clip("small.avi", 1, 2, 3, 10);
    TFileClipElement A(Small, true, true, -1);
    A.MoveTo(Timeline.Track(1), -3, 0);
    TVideoFormat Video;
    TAudioFormat Audio;
    Timeline.OptimalFormat(Video, Audio);
    EXPECT_EQ(Video.Width, 160);
    EXPECT_EQ(Video.Height, 120);
    EXPECT_DOUBLE_EQ(Video.FramesPerSecond, 25.0);
    EXPECT_EQ(Video.Preset, VideoPresetCustom);
    EXPECT_EQ(Audio.SamplesPerSecond, 44100u);
    EXPECT_EQ(Audio.Channels, 2);
    EXPECT_TRUE(Timeline.HasVideoClips());
    EXPECT_TRUE(Timeline.HasAudibleClips());
    Timeline.Track(1)->SetMuted(true);
    EXPECT_FALSE(Timeline.HasAudibleClips());
}

} // namespace

namespace {

TEST_F(RenderTimelineFiles, RenderCopyHasTheSameClipsAndIsNotDisturbedByLaterEdits) {
    std::string Red = Clip("red.avi", 220, 20, 20, 50);
    TFileClipElement A(Red, true, true, -1);
    TColorClipElement C(MakeColor(0, 255, 0), Second);
    A.MoveTo(Timeline.Track(1), -3, 0);
    C.MoveTo(Timeline.Track(1), -3, 2 * Second);
    A.SetBrightness(10);
    Timeline.Track(1)->SetVolume(0.25);

    TTimeline Copy(Timeline, {VideoPresetCustom, 64, 48, 25}, {AudioPresetCustom, 2, 16, 48000});
    EXPECT_EQ(Copy.RenderMode(), 1);
    EXPECT_EQ(Copy.TrackCount(), 1);
    ASSERT_EQ(Copy.Track(1)->ClipCount(), 2);
    EXPECT_EQ(Copy.Track(1)->Clip(1)->Brightness(), 10);
    EXPECT_DOUBLE_EQ(Copy.Track(1)->Volume(), 0.25);
    EXPECT_EQ(Copy.GetDuration(), 3 * Second);
    EXPECT_EQ(Copy.VideoGroup()->VideoFormat().Width, 64);
    EXPECT_EQ(Copy.AudioGroup()->AudioFormat().SamplesPerSecond, 48000);
    EXPECT_FALSE(Copy.VideoGroup()->PreviewMode());

    C.Detach(); // an edit of the project's timeline after the copy
    EXPECT_EQ(Copy.Track(1)->ClipCount(), 2);
    TMediaRenderer Renderer(Copy.Platform());
    TVideoFrame Frame;
    Renderer.RenderVideo(2 * Second + Second / 2, Frame);
    EXPECT_EQ(Frame.Pixel(32, 24), MakeColor(0, 255, 0));
}

} // namespace

namespace {

TEST_F(RenderTimelineFiles, StillPictureShowsThroughThePictureSourceForItsDuration) {
    std::string Picture = Folder.Path("green.png");
    WriteTestPicture(Picture, 64, 48, 0xFF20C040u); // 0xAARRGGBB
    TFileClipElement Still(Picture, true, true, -1);
    EXPECT_TRUE(Still.IsStill());
    EXPECT_FALSE(Still.HasAudio());
    EXPECT_EQ(Still.Duration(), TFileClipElement::DefaultPictureDuration);
    Still.MoveTo(Timeline.Track(1), -3, Second);
    ASSERT_NE(Still.VideoSource(), nullptr);
    EXPECT_EQ(Still.VideoSource()->Properties().TextAt("filename", 0).rfind("qmfileprotocol://", 0),
              0u);
    TMediaRenderer Renderer(Timeline.Platform());
    TVideoFrame Frame;
    Renderer.RenderVideo(2 * Second, Frame);
    TColor P = Frame.Pixel(Frame.Width() / 2, Frame.Height() / 2);
    EXPECT_NEAR(int(P & 0xFF), 0x20, 4);
    EXPECT_NEAR(int((P >> 8) & 0xFF), 0xC0, 4);
    EXPECT_NEAR(int((P >> 16) & 0xFF), 0x40, 4);
    Renderer.RenderVideo(Second / 2, Frame);
    EXPECT_EQ(Frame.Pixel(Frame.Width() / 2, Frame.Height() / 2), MakeColor(0, 0, 0));
}

TEST_F(RenderTimelineFiles, OnlyAStillKeepsABackgroundColourAndItsCopiesKeepItToo) {
    std::string Picture = Folder.Path("wide.png");
    WriteTestPicture(Picture, 64, 16, 0xFF20C040u);
    TFileClipElement Still(Picture, true, true, -1);
    TFileClipElement Movie(Clip("m.avi", 10, 20, 30, 10), true, true, -1);
    EXPECT_TRUE(Still.KeepsBackgroundColor());
    EXPECT_FALSE(Movie.KeepsBackgroundColor());
    EXPECT_FALSE(Color(MakeColor(1, 2, 3), Second)->KeepsBackgroundColor());

    const TColor Red = MakeColor(255, 0, 0);
    Still.MoveTo(Timeline.Track(1), -3, 0);
    Still.SetBackgroundColor(Red);
    EXPECT_EQ(Still.BackgroundColor(), Red);
    auto ClipColorOf = [](const TClipElement& Element) {
        TPictureSourceName Name;
        if (!Element.VideoSource() ||
            !ParsePictureSourceName(Element.VideoSource()->Properties().TextAt("filename", 0),
                                    Name))
            return TColor(0x12345678);
        return Name.ClipColor;
    };
    // The new colour reached the picture source: the clip was rebuilt.
    EXPECT_EQ(ClipColorOf(Still), Red);
    TMediaRenderer Renderer(Timeline.Platform());
    TVideoFrame Frame;
    Renderer.RenderVideo(Second, Frame);
    EXPECT_EQ(Frame.Pixel(Frame.Width() / 2, 1), Red);

    std::unique_ptr<TClipElement> Copy = Still.Clone();
    EXPECT_EQ(Copy->BackgroundColor(), Red);
}

} // namespace
