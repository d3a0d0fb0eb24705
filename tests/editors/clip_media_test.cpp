#include "editors/clip_media.h"
#include "platform/message_queue.h"
#include "project/clip_infos.h"
#include "project/file_clip.h"
#include "timeline_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>

namespace {

// Presented pixels are stored blue first.
uint8_t Blue(uint32_t Pixel) { return uint8_t(Pixel); }
uint8_t Green(uint32_t Pixel) { return uint8_t(Pixel >> 8); }
uint8_t Red(uint32_t Pixel) { return uint8_t(Pixel >> 16); }

// Whether Pixel is within Tolerance of (R, G, B).
bool Near(uint32_t Pixel, int R, int G, int B, int Tolerance = 24) {
    return std::abs(Red(Pixel) - R) <= Tolerance && std::abs(Green(Pixel) - G) <= Tolerance &&
           std::abs(Blue(Pixel) - B) <= Tolerance;
}

// Runs posted messages until Done or a few seconds passed.
bool WaitFor(TTimelineFixture& F, const std::function<bool()>& Done) {
    bool Met = UiMessages().WaitAndProcess(Done, std::chrono::seconds(20));
    F.Window->Update();
    return Met;
}

} // namespace

TEST(AudioPeaks, FollowTheToneAndStayWithinTheBucketLimit) {
    TTempFolder Folder;
    const std::string File = Folder.Path("tone.wav");
    WriteTestTone(File, 440, 0.5, 2, 44100, 1);
    TAudioPeaks Peaks = ComputeAudioPeaks(File, 2 * Second);
    EXPECT_EQ(Peaks.BucketDuration, TAudioPeaks::ShortestBucket);
    ASSERT_EQ(Peaks.Levels.size(), 200u);
    // Half of full scale, in every bucket of the middle.
    for (size_t I = 10; I < 190; ++I)
        EXPECT_NEAR(Peaks.Levels[I], 128, 8) << "bucket " << I;
    EXPECT_NEAR(Peaks.PeakIn(Second / 2, Second), 128, 8);
    EXPECT_EQ(Peaks.PeakIn(3 * Second, 4 * Second), 0);

    // A long claimed duration widens the buckets instead of growing the
    // outline; past the file's end it is silent.
    TAudioPeaks Long = ComputeAudioPeaks(File, 100 * Second);
    EXPECT_LE(Long.Levels.size(), size_t(TAudioPeaks::MaxBuckets));
    EXPECT_GT(Long.BucketDuration, TAudioPeaks::ShortestBucket);
    EXPECT_NEAR(Long.PeakIn(Second / 2, Second), 128, 8);
    EXPECT_EQ(Long.PeakIn(10 * Second, 90 * Second), 0);
}

TEST(AudioPeaks, AFileWithoutSoundRaises) {
    TTempFolder Folder;
    const std::string File = Folder.Path("silent.avi");
    WriteTestVideo(File, {});
    EXPECT_ANY_THROW(ComputeAudioPeaks(File, 2 * Second));
}

TEST(TimelineClipPictures, VideoClipsShowTheCatalogueThumbnailOnceBuilt) {
    TTimelineFixture F;
    TTestVideoOptions Options;
    Options.Painter = SolidColor(20, 200, 40);
    Options.FrameCount = 500;
    const std::string File = F.Folder.Path("green.avi");
    WriteTestVideo(File, Options);
    auto* Clip = dynamic_cast<TFileClip*>(F.Track(0).InsertFile(TKeepTransitions::Neither, File, 0));
    ASSERT_NE(Clip, nullptr);
    F.Project->Select(nullptr, false);
    F.Settle();
    TItemFragment* Fragment = F.FragmentOf(Clip, 0);
    ASSERT_NE(Fragment, nullptr);
    const TRect Box = Fragment->AreaRect();
    // Low in the box, clear of the label.
    const int32_t X = Box.Left + 6, Y = Box.Bottom - 6;
    // Painting never builds the entry: it asks for it and draws the plain box.
    EXPECT_FALSE(Near(F.PixelAt(X, Y), 20, 200, 40));
    EXPECT_FALSE(ClipInfos().FindInfo(File));
    ASSERT_TRUE(WaitFor(F, [&] { return bool(ClipInfos().FindInfo(File)); }));
    F.Window->Update();
    EXPECT_TRUE(Near(F.PixelAt(X, Y), 20, 200, 40)) << std::hex << F.PixelAt(X, Y);
    // The picture repeats along the clip, each tile the row's height.
    const int32_t Tile = (Box.Height() - 2) * 4 / 3;
    EXPECT_TRUE(Near(F.PixelAt(X + Tile + 1, Y), 20, 200, 40));
    EXPECT_EQ(F.Desktop().Media().ThumbnailCount(), 1u);

    // The catalogue starts afresh: the clip drops its scaled picture, paints
    // again and so asks for the new entry, which shows in its turn.
    ClipInfos().Invalidate();
    UiMessages().ProcessPending();
    EXPECT_EQ(F.Desktop().Media().ThumbnailCount(), 0u);
    F.Window->Update();
    ASSERT_TRUE(WaitFor(F, [&] { return bool(ClipInfos().FindInfo(File)); }));
    F.Window->Update();
    EXPECT_EQ(F.Desktop().Media().ThumbnailCount(), 1u);
    EXPECT_TRUE(Near(F.PixelAt(X, Y), 20, 200, 40));
}

TEST(TimelineClipPictures, AudioClipsDrawTheirOutlineAroundTheMiddle) {
    TTimelineFixture F;
    const std::string File = F.Tone("loud.wav", 20);
    TTrackItem* Clip = F.Track(1).InsertFile(TKeepTransitions::Neither, File, 0);
    ASSERT_NE(Clip, nullptr);
    F.Project->Select(nullptr, false);
    F.Settle();
    TItemFragment* Fragment = F.FragmentOf(Clip, 1);
    ASSERT_NE(Fragment, nullptr);
    const TRect Box = Fragment->AreaRect();
    // Right of the label, which sits at the box's left.
    const int32_t X = Box.Left + Box.Width() * 3 / 4, Middle = (Box.Top + 1 + Box.Bottom - 1) / 2;
    // Half the inner height at half of full scale: about a quarter above the middle.
    const int32_t Above = Middle - (Box.Height() - 2) / 4 + 2;
    const uint32_t Before = F.PixelAt(X, Above);
    ASSERT_TRUE(WaitFor(F, [&] { return F.Desktop().Media().Peaks(File, 20 * Second) != nullptr; }));
    F.Window->Update();
    const uint32_t After = F.PixelAt(X, Above);
    EXPECT_NE(Before, After);
    // The outline is darker than the plain fill it covers.
    EXPECT_LT(Red(After) + Green(After) + Blue(After), Red(Before) + Green(Before) + Blue(Before));
    // Out past the level it is the plain fill again.
    EXPECT_EQ(F.PixelAt(X, Box.Top + 3), F.PixelAt(X + 1, Box.Top + 3));
    EXPECT_EQ(F.Desktop().Media().OutlineCount(), 1u);
}
