#include "render/output_presets.h"

#include "media_settings_fixture.h"
#include "platform/media/media_writer.h"

#include <gtest/gtest.h>

namespace {

TVideoFormat CollectedVideo(int32_t Width, int32_t Height, double Fps) {
    return {VideoPresetCustom, Width, Height, Fps};
}

TAudioFormat CollectedAudio(uint16_t Channels, uint16_t Bits, uint32_t Rate) {
    return {AudioPresetCustom, Channels, Bits, Rate};
}

TVideoFormat SnapVideo(TMediaOutputFormat Format, TVideoFormat Video) {
    TAudioFormat Audio;
    SnapOptimalFormat(Format, false, Video, Audio);
    return Video;
}

TAudioFormat SnapAudio(TMediaOutputFormat Format, bool Flag, TAudioFormat Audio) {
    TVideoFormat Video;
    SnapOptimalFormat(Format, Flag, Video, Audio);
    return Audio;
}

TEST(OutputPresets, DvSnapsToTheSmallestCoveringNormAndTheLaterOfEqualSizes) {
    // PAL and NTSC both cover 640 x 480 at 25; NTSC comes later and is not larger.
    TVideoFormat Vga = SnapVideo(TMediaOutputFormat::DvAvi, CollectedVideo(640, 480, 25));
    EXPECT_EQ(Vga, (TVideoFormat{VideoPresetNtsc, 720, 480, 30}));
    TVideoFormat Pal = SnapVideo(TMediaOutputFormat::DvAvi, CollectedVideo(704, 576, 25));
    EXPECT_EQ(Pal, (TVideoFormat{VideoPresetPal, 720, 576, 25}));
    // Limited to 640 x 480 first, then 30 frames per second only NTSC covers.
    TVideoFormat Svga = SnapVideo(TMediaOutputFormat::DvAvi, CollectedVideo(800, 600, 30));
    EXPECT_EQ(Svga, (TVideoFormat{VideoPresetNtsc, 720, 480, 30}));
}

TEST(OutputPresets, DvTakesTheLargestNormWhenNoneCovers) {
    // 720 x 576 at 30: PAL is too slow, NTSC too small.
    TVideoFormat Video = SnapVideo(TMediaOutputFormat::DvAvi, CollectedVideo(720, 576, 30));
    EXPECT_EQ(Video.Preset, VideoPresetPal);
}

TEST(OutputPresets, OtherFormatsKeepCustomSizesUpTo4kInTheirShape) {
    // Phone and camera sizes and rates stay, landscape and portrait.
    TVideoFormat Hd = SnapVideo(TMediaOutputFormat::Mp4, CollectedVideo(1920, 1080, 50));
    EXPECT_EQ(Hd, (TVideoFormat{VideoPresetCustom, 1920, 1080, 50}));
    TVideoFormat Hd720 =
        SnapVideo(TMediaOutputFormat::CompressedAvi, CollectedVideo(1280, 720, 60));
    EXPECT_EQ(Hd720, (TVideoFormat{VideoPresetCustom, 1280, 720, 60}));
    TVideoFormat Portrait = SnapVideo(TMediaOutputFormat::Mp4, CollectedVideo(1080, 1920, 30));
    EXPECT_EQ(Portrait, (TVideoFormat{VideoPresetCustom, 1080, 1920, 30}));
    TVideoFormat Uhd =
        SnapVideo(TMediaOutputFormat::WindowsMediaVideo, CollectedVideo(3840, 2160, 25));
    EXPECT_EQ(Uhd, (TVideoFormat{VideoPresetCustom, 3840, 2160, 25}));
    // Larger pictures come down to fit 4K either way round, keeping their shape.
    TVideoFormat Eight = SnapVideo(TMediaOutputFormat::Mp4, CollectedVideo(7680, 4320, 30));
    EXPECT_EQ(Eight, (TVideoFormat{VideoPresetCustom, 3840, 2160, 30}));
    TVideoFormat TallEight = SnapVideo(TMediaOutputFormat::Mp4, CollectedVideo(4320, 7680, 30));
    EXPECT_EQ(TallEight, (TVideoFormat{VideoPresetCustom, 2160, 3840, 30}));
    TVideoFormat Wide = SnapVideo(TMediaOutputFormat::Mp4, CollectedVideo(5000, 2000, 30));
    EXPECT_EQ(Wide, (TVideoFormat{VideoPresetCustom, 3840, 1536, 30}));
    // The PAL and NTSC sizes themselves are not limited.
    TVideoFormat Pal =
        SnapVideo(TMediaOutputFormat::WindowsMediaVideo, CollectedVideo(720, 576, 25));
    EXPECT_EQ(Pal, (TVideoFormat{VideoPresetCustom, 720, 576, 25}));
    TVideoFormat NoRate = SnapVideo(TMediaOutputFormat::Mp4, CollectedVideo(176, 144, 0));
    EXPECT_EQ(NoRate.FramesPerSecond, 25);
}

TEST(OutputPresets, NoMediaStaysNone) {
    TVideoFormat Video;
    TAudioFormat Audio;
    SnapOptimalFormat(TMediaOutputFormat::DvAvi, false, Video, Audio);
    EXPECT_EQ(Video.Preset, VideoPresetNone);
    SnapOptimalFormat(TMediaOutputFormat::WindowsMediaAudio, false, Video, Audio);
    EXPECT_EQ(Audio.Preset, AudioPresetNone);
}

TEST(OutputPresets, WindowsMediaQualityAudioSnapsToCdOrBetter) {
    TAudioFormat Radio =
        SnapAudio(TMediaOutputFormat::WindowsMediaAudio, false, CollectedAudio(1, 16, 8000));
    EXPECT_EQ(Radio, AudioPresetFormat(AudioPresetCd));
    TAudioFormat Dat =
        SnapAudio(TMediaOutputFormat::WindowsMediaVideo, false, CollectedAudio(2, 16, 48000));
    EXPECT_EQ(Dat.Preset, AudioPresetBetterThanCd);
    // 24 bits are covered by neither: the cheaper by rate, channels and bits wins.
    TAudioFormat Studio =
        SnapAudio(TMediaOutputFormat::WindowsMediaAudio, false, CollectedAudio(2, 24, 96000));
    EXPECT_EQ(Studio.Preset, AudioPresetBetterThanCd);
}

TEST(OutputPresets, WindowsMediaBitRateAudioKeepsItsRateAt16Bits) {
    TAudioFormat Mono48 =
        SnapAudio(TMediaOutputFormat::WindowsMediaAudio, true, CollectedAudio(1, 24, 48000));
    EXPECT_EQ(Mono48, (TAudioFormat{AudioPresetCustom, 1, 16, 44100}));
    TAudioFormat Stereo48 =
        SnapAudio(TMediaOutputFormat::WindowsMediaVideo, true, CollectedAudio(2, 8, 48000));
    EXPECT_EQ(Stereo48, (TAudioFormat{AudioPresetCustom, 2, 16, 48000}));
    // Other formats take the audio as it is.
    TAudioFormat Mp4 = SnapAudio(TMediaOutputFormat::Mp4, false, CollectedAudio(1, 24, 48000));
    EXPECT_EQ(Mp4, CollectedAudio(1, 24, 48000));
}

class OutputPresetsTimeline : public TMediaTimelineFixture {};

TEST_F(OutputPresetsTimeline, OptimalFormatIsTheLargestMediaSnapped) {
    AddVideo(176, 144, 10, 0.5, 22050, 1);
    AddVideo(96, 160, 25, 0.5, 0);
    TVideoFormat Video;
    TAudioFormat Audio;
    GetOptimalFormat(Timeline, TMediaOutputFormat::Mp4, false, Video, Audio);
    EXPECT_EQ(Video, (TVideoFormat{VideoPresetCustom, 176, 160, 25}));
    EXPECT_EQ(Audio.Preset, AudioPresetCustom);
    EXPECT_EQ(Audio.SamplesPerSecond, 22050u);
    EXPECT_EQ(Audio.Channels, 1u);
    GetOptimalFormat(Timeline, TMediaOutputFormat::DvAvi, false, Video, Audio);
    EXPECT_EQ(Video.Preset, VideoPresetNtsc);
}

TEST_F(OutputPresetsTimeline, StillPicturesNeverRaiseTheSizeAboveTheMovingVideos) {
    AddVideo(176, 144, 10, 0.5, 0);
    AddPicture(800, 600);
    TVideoFormat Video;
    TAudioFormat Audio;
    GetOptimalFormat(Timeline, TMediaOutputFormat::Mp4, false, Video, Audio);
    EXPECT_EQ(Video, (TVideoFormat{VideoPresetCustom, 176, 144, 10}));
}

TEST_F(OutputPresetsTimeline, AProjectOfStillsAloneTakesAtMostFullHdInThePicturesShape) {
    AddPicture(2400, 1800);
    TVideoFormat Video;
    TAudioFormat Audio;
    GetOptimalFormat(Timeline, TMediaOutputFormat::Mp4, false, Video, Audio);
    EXPECT_EQ(Video.Preset, VideoPresetCustom);
    EXPECT_EQ(Video.Width, 1440);
    EXPECT_EQ(Video.Height, 1080);
    // A small still stays as it is.
    Timeline.Track(1)->Clip(1)->Detach();
    AddPicture(320, 200);
    GetOptimalFormat(Timeline, TMediaOutputFormat::Mp4, false, Video, Audio);
    EXPECT_EQ(Video.Width, 320);
    EXPECT_EQ(Video.Height, 200);
}

TEST(OutputPresetTables, HdPresetsComeAfterTheStandardOnesAndBeforeCustom) {
    EXPECT_EQ(VideoPresetFormat(VideoPresetHd720), (TVideoFormat{VideoPresetHd720, 1280, 720, 30}));
    EXPECT_EQ(VideoPresetFormat(VideoPresetFullHd),
              (TVideoFormat{VideoPresetFullHd, 1920, 1080, 30}));
    EXPECT_EQ(VideoPresetFormat(VideoPresetUhd), (TVideoFormat{VideoPresetUhd, 3840, 2160, 30}));
    EXPECT_EQ(VideoPresetName(VideoPresetHd720), "HD 720p");
    EXPECT_EQ(VideoPresetName(VideoPresetFullHd), "Full HD 1080p");
    EXPECT_EQ(VideoPresetName(VideoPresetUhd), "4K UHD");
    EXPECT_GT(VideoPresetCustom, VideoPresetUhd);
    EXPECT_EQ(VideoPresetName(VideoPresetCustom), "Custom");
    // Out of range still means custom.
    EXPECT_EQ(VideoPresetFormat(200).Preset, VideoPresetCustom);
}

TEST_F(OutputPresetsTimeline, ColourClipsHaveNoOptimalFormat) {
    AddColor(Second);
    TVideoFormat Video;
    TAudioFormat Audio;
    GetOptimalFormat(Timeline, TMediaOutputFormat::WindowsMediaVideo, false, Video, Audio);
    EXPECT_EQ(Video.Preset, VideoPresetNone);
    EXPECT_EQ(Audio.Preset, AudioPresetNone);
}

} // namespace
