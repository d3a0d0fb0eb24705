#include "app/demo_project.h"

#include "platform/media/media_probe.h"
#include "platform/media/video_file_reader.h"
#include "platform/media/video_frame.h"
#include "test_media.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

TEST(DemoProject, MakesItsMediaAndRendersAProjectOfClipsTransitionsAndATitle) {
    TTempFolder Folder;
    testing::internal::CaptureStdout();
    int Code = RunDemo(Folder.Root());
    std::string Output = testing::internal::GetCapturedStdout();
    ASSERT_EQ(Code, 0) << Output;
    EXPECT_TRUE(std::filesystem::exists(Folder.Path("Demo.qmp")));

    TMediaInfo Info = ProbeMedia(Folder.Path("Demo.mp4"));
    ASSERT_EQ(Info.Streams.size(), 2u);
    EXPECT_EQ(Info.Streams[0].SubType, "h264");
    EXPECT_EQ(Info.Streams[1].SubType, "aac");
    EXPECT_NEAR(double(Info.Duration), 10e7, 1e6);

    // The still picture's white band shows in the middle of the picture
    // between the two transitions; the first clip is orange at its start.
    TVideoFileReader Reader(Folder.Path("Demo.mp4"), 0);
    auto Early = Reader.FrameAt(2000000, Info.Width, Info.Height, TVideoFileReader::TFit::Stretch);
    TColor Orange = Early->Pixel(10, 10);
    EXPECT_GT(int(Orange & 0xFF), 200);
    EXPECT_LT(int((Orange >> 16) & 0xFF), 80);
    auto Still = Reader.FrameAt(50000000, Info.Width, Info.Height, TVideoFileReader::TFit::Stretch);
    TColor Band = Still->Pixel(Info.Width / 2, Info.Height / 2);
    EXPECT_GT(int(Band & 0xFF), 220);
    EXPECT_GT(int((Band >> 8) & 0xFF), 220);
    EXPECT_GT(int((Band >> 16) & 0xFF), 220);
}

} // namespace
