#include "render/output_profile.h"

#include "media_settings_fixture.h"
#include "platform/media/media_writer.h"
#include "render/output_presets.h"
#include "render/output_settings.h"

#include <gtest/gtest.h>

namespace {

TOutputSettings Settings(TMediaOutputFormat Format, bool BitRate, int32_t Value) {
    TOutputSettings Result;
    Result.OutputFormat = Format;
    Result.BitRateMode = BitRate;
    Result.CompressionValue = Value;
    Result.Video = {VideoPresetCustom, 320, 240, 25};
    Result.Audio = {AudioPresetCustom, 2, 16, 44100};
    return Result;
}

TRenderFormats Stereo() {
    return {{VideoPresetCustom, 320, 240, 25}, {AudioPresetCustom, 2, 16, 44100}};
}

TEST(OutputProfile, Mp4BitRateGivesTheAudioATenthAndTheVideoTheRest) {
    TMediaWriterProfile Profile =
        MakeWriterProfile(Settings(TMediaOutputFormat::Mp4, true, 1000000), Stereo());
    EXPECT_TRUE(Profile.BitRateMode);
    EXPECT_EQ(Profile.AudioBitRate, 100000);
    EXPECT_EQ(Profile.VideoBitRate, 900000);
}

TEST(OutputProfile, VeryLowBitRatesNeverStarveAStream) {
    for (TMediaOutputFormat Format :
         {TMediaOutputFormat::Mp4, TMediaOutputFormat::WindowsMediaVideo}) {
        TMediaWriterProfile Profile = MakeWriterProfile(Settings(Format, true, 1024), Stereo());
        EXPECT_GE(Profile.VideoBitRate, MinVideoBitRate);
        EXPECT_GE(Profile.AudioBitRate, MinWindowsMediaAudioBitRate);
        EXPECT_GE(Profile.AudioBitRate, 2 * MinAudioBitRatePerChannel);
    }
}

TEST(OutputProfile, WindowsMediaAudioTakesTheWholeBitRateAndHasNoVideo) {
    TOutputSettings Wma = Settings(TMediaOutputFormat::WindowsMediaAudio, true, 131072);
    TRenderFormats Formats{{}, {AudioPresetCd, 2, 16, 44100}};
    TMediaWriterProfile Profile = MakeWriterProfile(Wma, Formats);
    EXPECT_EQ(Profile.Format, TMediaOutputFormat::WindowsMediaAudio);
    EXPECT_EQ(Profile.VideoBitRate, 0);
    // The highest constant-rate format the total allows.
    EXPECT_LE(Profile.AudioBitRate, 131072);
    EXPECT_GT(Profile.AudioBitRate, 131072 / 2);
}

TEST(OutputProfile, WindowsMediaVideoAudioShareIsAtLeastTheCodecsLowestRate) {
    TMediaWriterProfile Profile =
        MakeWriterProfile(Settings(TMediaOutputFormat::WindowsMediaVideo, true, 131072), Stereo());
    // A tenth would be below what the codec takes for stereo.
    EXPECT_GT(Profile.AudioBitRate, 131072 / 10);
    EXPECT_GE(Profile.AudioBitRate, MinWindowsMediaAudioBitRate);
    EXPECT_EQ(Profile.VideoBitRate, 131072 - Profile.AudioBitRate);
}

TEST(OutputProfile, WindowsMediaQualityPicksTheAudioLevelNotBelowTheQuality) {
    auto Level = [](int32_t Quality) {
        return MakeWriterProfile(Settings(TMediaOutputFormat::WindowsMediaVideo, false, Quality),
                                 Stereo())
            .AudioQuality;
    };
    EXPECT_EQ(Level(60), 75);
    EXPECT_EQ(Level(75), 75);
    EXPECT_EQ(Level(100), 98);
    EXPECT_EQ(
        MakeWriterProfile(Settings(TMediaOutputFormat::WindowsMediaVideo, false, 60), Stereo())
            .Quality,
        60);
}

TEST(OutputProfile, Mp4QualityRaisesTheAudioQualityWithVideo) {
    TMediaWriterProfile Profile =
        MakeWriterProfile(Settings(TMediaOutputFormat::Mp4, false, 12), Stereo());
    EXPECT_FALSE(Profile.BitRateMode);
    EXPECT_EQ(Profile.AudioQuality, 30);
    EXPECT_GT(Profile.AudioCutoff, 0);
    EXPECT_LE(Profile.AudioCutoff, 22050);
    // Better quality, finer quantizer.
    TMediaWriterProfile Better =
        MakeWriterProfile(Settings(TMediaOutputFormat::Mp4, false, 90), Stereo());
    EXPECT_LT(Better.VideoQuantizer, Profile.VideoQuantizer);
    EXPECT_GE(Better.VideoQuantizer, 1);
}

TEST(OutputProfile, CompressedAviIsAlwaysMadeInQualityMode) {
    TMediaWriterProfile Profile =
        MakeWriterProfile(Settings(TMediaOutputFormat::CompressedAvi, true, 50), Stereo());
    EXPECT_FALSE(Profile.BitRateMode);
    EXPECT_EQ(Profile.Quality, 50);
}

TEST(OutputProfile, AFileWithoutAudioLeavesTheAudioStreamOut) {
    TRenderFormats Silent{{VideoPresetCustom, 64, 48, 10}, {}};
    TMediaWriterProfile Profile =
        MakeWriterProfile(Settings(TMediaOutputFormat::WindowsMediaVideo, true, 500000), Silent);
    EXPECT_EQ(Profile.Format, TMediaOutputFormat::WindowsMediaVideo);
    EXPECT_FALSE(Profile.WithAudio);
    EXPECT_TRUE(Profile.WithVideo);
    EXPECT_EQ(Profile.VideoBitRate, 500000);
}

class OutputProfileFormats : public TMediaTimelineFixture {};

TEST_F(OutputProfileFormats, EmptySizesAndRatesNeverReachTheEngine) {
    TOutputSettings Zero = Settings(TMediaOutputFormat::Mp4, false, 50);
    Zero.Video = {VideoPresetCustom, 0, -5, 0};
    TRenderFormats Formats = ResolveRenderFormats(Timeline, Zero);
    EXPECT_GE(Formats.Video.Width, 1);
    EXPECT_GE(Formats.Video.Height, 1);
    EXPECT_GE(Formats.Video.FramesPerSecond, 1);
    Zero.Audio = {AudioPresetCustom, 0, 0, 0};
    Formats = ResolveRenderFormats(Timeline, Zero);
    EXPECT_GE(Formats.Audio.Channels, 1);
    EXPECT_GE(Formats.Audio.BitsPerSample, 8);
    EXPECT_GT(Formats.Audio.SamplesPerSecond, 0u);
}

TEST_F(OutputProfileFormats, WindowsMediaVideoSizesAreRoundedUpToBlocksOfFour) {
    TOutputSettings Wmv = Settings(TMediaOutputFormat::WindowsMediaVideo, false, 50);
    Wmv.Video = {VideoPresetCustom, 322, 241, 25};
    TRenderFormats Formats = ResolveRenderFormats(Timeline, Wmv);
    EXPECT_EQ(Formats.Video.Width, 324);
    EXPECT_EQ(Formats.Video.Height, 244);
}

TEST_F(OutputProfileFormats, OptimalAudioResolvesFromTheMedia) {
    AddVideo(64, 48, 10, 0.2, 22050, 1);
    TOutputSettings Mp4 = Settings(TMediaOutputFormat::Mp4, false, 50);
    Mp4.Audio = {AudioPresetOptimal, 0, 0, 0};
    TRenderFormats Formats = ResolveRenderFormats(Timeline, Mp4);
    EXPECT_EQ(Formats.Audio.SamplesPerSecond, 22050u);
    EXPECT_EQ(Formats.Audio.Channels, 1u);
    // Windows Media quality has no such format: it becomes CD audio.
    Mp4.OutputFormat = TMediaOutputFormat::WindowsMediaVideo;
    Formats = ResolveRenderFormats(Timeline, Mp4);
    EXPECT_EQ(Formats.Audio.SamplesPerSecond, 44100u);
    EXPECT_EQ(Formats.Audio.Channels, 2u);
    EXPECT_EQ(Formats.Audio.BitsPerSample, 16u);
}

TEST_F(OutputProfileFormats, OptimalAudioOfAColourOnlyProjectIsNone) {
    AddColor(Second);
    TOutputSettings Avi = Settings(TMediaOutputFormat::UncompressedAvi, false, 0);
    Avi.Audio = {AudioPresetOptimal, 0, 0, 0};
    EXPECT_EQ(ResolveRenderFormats(Timeline, Avi).Audio.Preset, AudioPresetNone);
}

} // namespace
