#include "platform/media/media_probe.h"

#include "platform/media/media_error.h"
#include "test_media.h"

#include <gtest/gtest.h>

namespace {

class MediaProbe : public ::testing::Test {
protected:
    TTempFolder Folder;
};

TEST_F(MediaProbe, ReportsStreamsDurationRateAndSize) {
    TTestVideoOptions Options;
    Options.Width = 160;
    Options.Height = 120;
    Options.FrameCount = 50; // 2 s at 25 frames per second
    Options.WithAudio = true;
    std::string File = Folder.Path("clip.avi");
    WriteTestVideo(File, Options);

    TMediaInfo Info = ProbeMedia(File);
    ASSERT_EQ(Info.Streams.size(), 2u);
    EXPECT_EQ(Info.StreamCount(TStreamMajorType::Video), 1);
    EXPECT_EQ(Info.StreamCount(TStreamMajorType::Audio), 1);
    EXPECT_EQ(Info.Streams[0].SubType, "mpeg4");
    EXPECT_EQ(Info.Streams[1].SubType, "pcm_s16le");
    EXPECT_EQ(Info.Streams[1].Channels, 2);
    EXPECT_EQ(Info.Streams[1].SamplesPerSecond, 44100);
    EXPECT_NEAR(double(Info.Duration), 20000000.0, 400000.0);
    EXPECT_DOUBLE_EQ(Info.FrameRate, 25.0);
    EXPECT_EQ(Info.Width, 160);
    EXPECT_EQ(Info.Height, 120);
}

TEST_F(MediaProbe, PicturesHaveNoLengthOfTheirOwn) {
    std::string File = Folder.Path("still.png");
    WriteTestPicture(File, 64, 48, 0xFF00FF00u);
    TMediaInfo Info = ProbeMedia(File);
    EXPECT_EQ(Info.Duration, 0);
    EXPECT_TRUE(Info.HasVideo());
    EXPECT_EQ(Info.Width, 64);
    EXPECT_EQ(Info.Height, 48);
}

TEST_F(MediaProbe, AudioFilesHaveNoPicture) {
    std::string File = Folder.Path("tone.wav");
    WriteTestTone(File, 440, 0.5, 1.5);
    TMediaInfo Info = ProbeMedia(File);
    EXPECT_FALSE(Info.HasVideo());
    EXPECT_TRUE(Info.HasAudio());
    EXPECT_NEAR(double(Info.Duration), 15000000.0, 10000.0);
}

TEST_F(MediaProbe, GarbageMissingAndEmptyFilesAreErrors) {
    for (uint32_t Seed = 1; Seed <= 4; ++Seed) {
        std::string File = Folder.Path("garbage" + std::to_string(Seed) + ".avi");
        WriteGarbageFile(File, 20000 * Seed, Seed);
        EXPECT_THROW(ProbeMedia(File), EMediaError) << Seed;
    }
    EXPECT_THROW(ProbeMedia(Folder.Path("missing.mp4")), EMediaError);
    std::string Empty = Folder.Path("empty.mp4");
    WriteGarbageFile(Empty, 0, 1);
    EXPECT_THROW(ProbeMedia(Empty), EMediaError);
}

TEST_F(MediaProbe, TruncatedFilesAreErrors) {
    TTestVideoOptions Options;
    Options.Codec = "libx264";
    Options.FrameCount = 100;
    Options.Width = 160;
    Options.Height = 120;
    std::string Whole = Folder.Path("whole.mp4");
    WriteTestVideo(Whole, Options);
    EXPECT_NO_THROW(ProbeMedia(Whole));
    std::string Cut = Folder.Path("cut.mp4");
    WriteTruncatedCopy(Whole, Cut, 0.5);
    EXPECT_THROW(ProbeMedia(Cut), EMediaError);

    Options.Codec = "mpeg4";
    Options.FrameCount = 250; // 10 s
    std::string WholeAvi = Folder.Path("whole.avi");
    WriteTestVideo(WholeAvi, Options);
    EXPECT_NO_THROW(ProbeMedia(WholeAvi));
    std::string CutAvi = Folder.Path("cut.avi");
    WriteTruncatedCopy(WholeAvi, CutAvi, 0.4);
    EXPECT_THROW(ProbeMedia(CutAvi), EMediaError);
}

TEST_F(MediaProbe, ErrorsNameTheFileAndTheReason) {
    std::string File = Folder.Path("noise.mp4");
    WriteGarbageFile(File, 5000, 7);
    try {
        ProbeMedia(File);
        FAIL() << "garbage was accepted";
    } catch (const EMediaError& Error) {
        std::string Text = Error.what();
        EXPECT_NE(Text.find(File), std::string::npos) << Text;
        EXPECT_NE(Text.find(':'), std::string::npos) << Text;
    }
}

} // namespace
