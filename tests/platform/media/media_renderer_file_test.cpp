// The renderer over media files made at run time: clips, gaps, looping
// pieces, letterboxing and audio mixing.

#include "platform/media/media_renderer.h"

#include "platform/media/media_timeline.h"
#include "platform/media/video_frame.h"
#include "test_media.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr TVideoTime Second = 10000000;

TMediaSource* AddFile(TMediaTrack* Track, const std::string& File, TVideoTime Start,
                      TVideoTime Stop, TVideoTime MediaStart, TVideoTime MediaStop,
                      int32_t Stretch = TMediaSource::Stretch) {
    auto Source = std::make_unique<TMediaSource>();
    Source->SetMediaName(File);
    Source->SetStartStop(Start, Stop);
    Source->SetMediaTimes(MediaStart, MediaStop);
    Source->SetStretchMode(Stretch);
    return Track->SrcAdd(std::move(Source));
}

double Rms(const std::vector<float>& Samples, size_t From = 0, size_t To = SIZE_MAX) {
    To = std::min(To, Samples.size());
    double Sum = 0;
    for (size_t I = From; I < To; ++I)
        Sum += double(Samples[I]) * Samples[I];
    return To > From ? std::sqrt(Sum / double(To - From)) : 0;
}

bool Near(TColor Pixel, TColor Expected, int Tolerance = 24) {
    for (int Shift = 0; Shift < 24; Shift += 8)
        if (std::abs(int((Pixel >> Shift) & 0xFF) - int((Expected >> Shift) & 0xFF)) > Tolerance)
            return false;
    return true;
}

class MediaRendererFile : public ::testing::Test {
protected:
    std::string SolidClip(const std::string& Name, uint8_t R, uint8_t G, uint8_t B, int Frames) {
        TTestVideoOptions Options;
        Options.Width = 160;
        Options.Height = 120;
        Options.FrameCount = Frames;
        Options.Painter = SolidColor(R, G, B);
        std::string File = Folder.Path(Name);
        WriteTestVideo(File, Options);
        return File;
    }
    int FrameNumberAt(TMediaRenderer& Renderer, TVideoTime Time) {
        Renderer.RenderVideo(Time, Picture);
        return ReadFrameNumber(Picture.Data(), Picture.Width(), Picture.Height(), Picture.Stride());
    }

    TTempFolder Folder;
    TVideoFrame Picture;
};

TEST_F(MediaRendererFile, ClipsGapsAndTheExactFrameOfAChange) {
    std::string Red = SolidClip("red.avi", 220, 20, 20, 25);
    std::string Blue = SolidClip("blue.avi", 20, 20, 220, 25);
    TMediaTimeline Timeline;
    TMediaGroup* Video = Timeline.AddGroup(TMediaGroup::Video({128, 72, 400000}));
    TMediaTrack* Track = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    AddFile(Track, Red, 0, Second, 0, Second);
    AddFile(Track, Blue, 2 * Second, 3 * Second, 0, Second);
    TMediaRenderer Renderer(Timeline);

    auto At = [&](TVideoTime Time) {
        Renderer.RenderVideo(Time, Picture);
        return Picture.Pixel(64, 36);
    };
    EXPECT_TRUE(Near(At(0), MakeColor(220, 20, 20)));
    EXPECT_TRUE(Near(At(Second - 400000), MakeColor(220, 20, 20)));
    EXPECT_EQ(At(Second), MakeColor(0, 0, 0));
    EXPECT_EQ(At(2 * Second - 400000), MakeColor(0, 0, 0));
    EXPECT_TRUE(Near(At(2 * Second), MakeColor(20, 20, 220)));
    EXPECT_EQ(At(3 * Second), MakeColor(0, 0, 0));
}

TEST_F(MediaRendererFile, LoopingPiecesRepeatTheMedia) {
    // A clip 25 s long over a 10 s file from 4 s: pieces of 6 s (media
    // 4..10), 10 s and 9 s (media 0..9).
    TTestVideoOptions Options;
    Options.Width = 160;
    Options.Height = 120;
    Options.FramesPerSecondNum = 10;
    Options.FrameCount = 100;
    Options.GopSize = 25;
    Options.Painter = NumberedFrames();
    std::string File = Folder.Path("ten.avi");
    WriteTestVideo(File, Options);

    TMediaTimeline Timeline;
    TMediaGroup* Video = Timeline.AddGroup(TMediaGroup::Video({160, 120, 1000000}));
    TMediaTrack* Track = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    AddFile(Track, File, 0, 6 * Second, 4 * Second, 10 * Second);
    AddFile(Track, File, 6 * Second, 16 * Second, 0, 10 * Second);
    AddFile(Track, File, 16 * Second, 25 * Second, 0, 9 * Second);
    TMediaRenderer Renderer(Timeline);
    EXPECT_EQ(FrameNumberAt(Renderer, 0), 40);
    EXPECT_EQ(FrameNumberAt(Renderer, 6 * Second - 1000000), 99);
    EXPECT_EQ(FrameNumberAt(Renderer, 6 * Second), 0);
    EXPECT_EQ(FrameNumberAt(Renderer, 11 * Second + 500000), 50);
    EXPECT_EQ(FrameNumberAt(Renderer, 16 * Second), 0);
    EXPECT_EQ(FrameNumberAt(Renderer, 25 * Second - 1000000), 89);
    Renderer.RenderVideo(25 * Second, Picture);
    EXPECT_EQ(Picture.Pixel(80, 60), MakeColor(0, 0, 0));
}

TEST_F(MediaRendererFile, KeepAspectRatioLetterboxesAFourByThreeSourceIntoSixteenByNine) {
    std::string White = SolidClip("white.avi", 255, 255, 255, 5);
    TMediaTimeline Timeline;
    TMediaGroup* Video = Timeline.AddGroup(TMediaGroup::Video({640, 360, 400000}));
    TMediaTrack* Track = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    AddFile(Track, White, 0, Second / 5, 0, Second / 5, TMediaSource::PreserveAspectRatio);
    TMediaRenderer Renderer(Timeline);
    Renderer.RenderVideo(0, Picture);
    // 4:3 at a height of 360 is 480 wide: bars of 80 pixels on each side.
    auto Brightness = [&](int X) { return int(Picture.Pixel(X, 180) & 0xFF); };
    EXPECT_LT(Brightness(78), 20);
    EXPECT_GT(Brightness(82), 230);
    EXPECT_GT(Brightness(557), 230);
    EXPECT_LT(Brightness(561), 20);
}

TEST_F(MediaRendererFile, AnotherSizeDecodesAndCompositesThereAndBackAgain) {
    // A preview shown at half the format's size: the letterboxed file and a
    // cross-fade over it come out at that size with the same layout, and
    // the format's own size afterwards is unchanged by it.
    std::string White = SolidClip("white.avi", 255, 255, 255, 25);
    TMediaTimeline Timeline;
    TMediaGroup* Video = Timeline.AddGroup(TMediaGroup::Video({640, 360, 400000}));
    TMediaTrack* Bottom = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    TMediaTrack* Top = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    AddFile(Bottom, White, 0, Second, 0, Second, TMediaSource::PreserveAspectRatio);
    AddFile(Top, White, Second / 2, Second, 0, Second / 2, TMediaSource::Stretch);
    auto Fade = std::make_unique<TMediaTransition>();
    Fade->SetSubObjectClassId(MediaClassIds::CrossFadeTransition());
    Fade->SetStartStop(Second / 2, Second);
    Top->TransAdd(std::move(Fade));
    TMediaRenderer Renderer(Timeline);

    Renderer.RenderVideo(0, Picture, 320, 180);
    ASSERT_EQ(Picture.Width(), 320);
    ASSERT_EQ(Picture.Height(), 180);
    // 4:3 at a height of 180 is 240 wide: bars of 40 pixels on each side.
    auto Brightness = [&](int X, int Y) { return int(Picture.Pixel(X, Y) & 0xFF); };
    EXPECT_LT(Brightness(38, 90), 20);
    EXPECT_GT(Brightness(42, 90), 230);
    EXPECT_GT(Brightness(277, 90), 230);
    EXPECT_LT(Brightness(281, 90), 20);

    // Halfway through the fade the stretched top clip covers the bars by half.
    Renderer.RenderVideo(Second * 3 / 4, Picture, 320, 180);
    ASSERT_EQ(Picture.Width(), 320);
    EXPECT_NEAR(Brightness(10, 90), 128, 12);
    EXPECT_GT(Brightness(160, 90), 230);

    Renderer.RenderVideo(0, Picture);
    ASSERT_EQ(Picture.Width(), 640);
    ASSERT_EQ(Picture.Height(), 360);
    EXPECT_LT(Brightness(78, 180), 20);
    EXPECT_GT(Brightness(82, 180), 230);
    EXPECT_EQ(Renderer.OpenedDecoderCount(), 2); // decoders serve every size
}

TEST_F(MediaRendererFile, AudioTracksSumAndStartOnTheirSample) {
    std::string Low = Folder.Path("low.wav"), High = Folder.Path("high.wav");
    WriteTestTone(Low, 300, 0.3, 2);
    WriteTestTone(High, 1000, 0.4, 2);
    TMediaTimeline Timeline;
    TMediaGroup* Audio = Timeline.AddGroup(TMediaGroup::Audio({2, 44100, 16}));
    TMediaTrack* A = Audio->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    TMediaTrack* B = Audio->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    AddFile(A, Low, 0, 2 * Second, 0, 2 * Second);
    AddFile(B, High, Second, 3 * Second, 0, 2 * Second);
    TMediaRenderer Renderer(Timeline);

    std::vector<float> Samples;
    Renderer.RenderAudio(Second / 2, 22050, Samples); // 0.5 .. 1.0 s: the low tone alone
    EXPECT_NEAR(Rms(Samples), 0.3 / std::sqrt(2.0), 0.01);
    Renderer.RenderAudio(Second + Second / 4, 22050, Samples); // both tones
    EXPECT_NEAR(Rms(Samples), std::sqrt(0.3 * 0.3 / 2 + 0.4 * 0.4 / 2), 0.01);
    Renderer.RenderAudio(2 * Second + Second / 4, 22050, Samples); // the high tone alone
    EXPECT_NEAR(Rms(Samples), 0.4 / std::sqrt(2.0), 0.01);

    // The high tone starts on the sample of 1 s exactly.
    Renderer.RenderAudio(Second - Second / 10, 8820, Samples); // 0.9 .. 1.1 s
    std::vector<float> LowOnly;
    TMediaTimeline LowTimeline;
    TMediaGroup* LowAudio = LowTimeline.AddGroup(TMediaGroup::Audio({2, 44100, 16}));
    AddFile(LowAudio->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1), Low, 0, 2 * Second,
            0, 2 * Second);
    TMediaRenderer LowRenderer(LowTimeline);
    LowRenderer.RenderAudio(Second - Second / 10, 8820, LowOnly);
    size_t Start = 4410 * 2; // the frame of 1 s, two channels
    for (size_t I = 0; I < Start; ++I)
        ASSERT_NEAR(Samples[I], LowOnly[I], 1e-6) << I;
    EXPECT_GT(Rms(Samples, Start, Start + 200) - Rms(LowOnly, Start, Start + 200), 0.05);
}

TEST_F(MediaRendererFile, VolumeEnvelopeScalesItsLayerOverItsRange) {
    std::string Tone = Folder.Path("tone.wav");
    WriteTestTone(Tone, 440, 0.5, 3);
    TMediaTimeline Timeline;
    TMediaGroup* Audio = Timeline.AddGroup(TMediaGroup::Audio({2, 48000, 16}));
    auto* Composition = Audio->VTrackInsBefore(std::make_unique<TMediaComposition>(), -1);
    AddFile(Composition->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1), Tone, 0,
            3 * Second, 0, 3 * Second);
    auto Envelope = std::make_unique<TMediaEffect>();
    Envelope->SetSubObjectClassId(MediaClassIds::AudioVolumeEnvelope());
    Envelope->SetStartStop(Second, 2 * Second);
    TPropertySetter Properties;
    Properties.SetValue("Vol", "0.5");
    Envelope->SetProperties(std::move(Properties));
    Composition->EffectInsBefore(std::move(Envelope), -1);
    TMediaRenderer Renderer(Timeline);

    std::vector<float> Before, Inside, After;
    Renderer.RenderAudio(0, 48000, Before);
    Renderer.RenderAudio(Second, 48000, Inside);
    Renderer.RenderAudio(2 * Second, 48000, After);
    EXPECT_NEAR(Rms(Inside) / Rms(Before), 0.5, 0.01);
    EXPECT_NEAR(Rms(After) / Rms(Before), 1.0, 0.01);
}

TEST_F(MediaRendererFile, AudioOfAVideoFileAndMutedTracks) {
    TTestVideoOptions Options;
    Options.Width = 160;
    Options.Height = 120;
    Options.FrameCount = 25;
    Options.WithAudio = true;
    Options.ToneAmplitude = 0.5;
    std::string File = Folder.Path("av.avi");
    WriteTestVideo(File, Options);
    TMediaTimeline Timeline;
    TMediaGroup* Audio = Timeline.AddGroup(TMediaGroup::Audio({2, 44100, 16}));
    TMediaTrack* Track = Audio->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    AddFile(Track, File, 0, Second, 0, Second);
    TMediaRenderer Renderer(Timeline);
    std::vector<float> Samples;
    Renderer.RenderAudio(Second / 4, 11025, Samples);
    EXPECT_NEAR(Rms(Samples), 0.5 / std::sqrt(2.0), 0.02);
    Track->SetMuted(true);
    Renderer.RenderAudio(Second / 4, 11025, Samples);
    EXPECT_EQ(Rms(Samples), 0.0);
}

TEST(FloatToPcm, ClipsAndEncodesLittleEndian) {
    std::vector<uint8_t> Bytes;
    FloatToPcm({0.0f, 1.0f, -1.0f, 2.0f, 0.5f}, 16, Bytes);
    ASSERT_EQ(Bytes.size(), 10u);
    auto Word = [&](size_t I) { return int16_t(Bytes[2 * I] | Bytes[2 * I + 1] << 8); };
    EXPECT_EQ(Word(0), 0);
    EXPECT_EQ(Word(1), 32767);
    EXPECT_EQ(Word(2), -32768);
    EXPECT_EQ(Word(3), 32767);
    EXPECT_EQ(Word(4), 16384);
    FloatToPcm({0.0f, -1.0f}, 8, Bytes);
    EXPECT_EQ(Bytes, (std::vector<uint8_t>{128, 0}));
}

} // namespace
