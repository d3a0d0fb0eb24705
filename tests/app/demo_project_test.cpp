#include "app/demo_project.h"

#include "app/command_line_render.h"
#include "platform/media/audio_file_reader.h"

#include "platform/media/media_probe.h"
#include "platform/media/video_file_reader.h"
#include "platform/media/video_frame.h"
#include "test_media.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Runs in another current folder while the object lives.
class TCurrentFolder {
public:
    explicit TCurrentFolder(const std::string& Folder) : FOld(std::filesystem::current_path()) {
        std::filesystem::current_path(Folder);
    }
    ~TCurrentFolder() { std::filesystem::current_path(FOld); }
    TCurrentFolder(const TCurrentFolder&) = delete;
    TCurrentFolder& operator=(const TCurrentFolder&) = delete;

private:
    std::filesystem::path FOld;
};

int RenderFromCommandLine(const std::string& ProjectFile, const std::string& OutputFile) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int Code = RunCommandLineRender(ProjectFile, {OutputFile, "MP4Quality"});
    testing::internal::GetCapturedStdout();
    std::string Errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Code, 0) << Errors;
    return Code;
}

// The largest difference of any colour channel over frames every half second.
int LargestPictureDifference(const std::string& A, const std::string& B) {
    TMediaInfo Info = ProbeMedia(A);
    TVideoFileReader ReaderA(A, 0);
    TVideoFileReader ReaderB(B, 0);
    int Largest = 0;
    for (TVideoTime Time = 0; Time < Info.Duration - 5000000; Time += 5000000) {
        auto FrameA = ReaderA.FrameAt(Time, Info.Width, Info.Height, TVideoFileReader::TFit::Stretch);
        auto FrameB = ReaderB.FrameAt(Time, Info.Width, Info.Height, TVideoFileReader::TFit::Stretch);
        for (int32_t Y = 0; Y < Info.Height; Y += 4)
            for (int32_t X = 0; X < Info.Width; X += 4) {
                TColor PixelA = FrameA->Pixel(X, Y);
                TColor PixelB = FrameB->Pixel(X, Y);
                for (int Shift = 0; Shift < 24; Shift += 8)
                    Largest = std::max(Largest, std::abs(int((PixelA >> Shift) & 0xFF) -
                                                         int((PixelB >> Shift) & 0xFF)));
            }
    }
    return Largest;
}

// The sound of a file as mono samples, and the largest difference of two.
std::vector<float> Sound(const std::string& FileName, int32_t Frames) {
    TAudioFileReader Reader(FileName, 0, {1, 8000, 16});
    std::vector<float> Samples(size_t(Frames), 0.0f);
    Reader.MixInto(0, Frames, 1.0f, Samples.data());
    return Samples;
}

float LargestSoundDifference(const std::string& A, const std::string& B) {
    constexpr int32_t Frames = 8000 * 9;
    std::vector<float> SoundA = Sound(A, Frames);
    std::vector<float> SoundB = Sound(B, Frames);
    float Largest = 0;
    float Loudest = 0;
    for (size_t I = 0; I < SoundA.size(); ++I) {
        Largest = std::max(Largest, std::fabs(SoundA[I] - SoundB[I]));
        Loudest = std::max(Loudest, std::fabs(SoundA[I]));
    }
    EXPECT_GT(Loudest, 0.05f) << "the demo's render has no sound to compare";
    return Largest;
}

// Regression: the demo stored its media relative to the folder the program
// started in and loading read them against the program's folder, so the
// saved project rendered black with the title alone, reporting success.
TEST(DemoProject, ItsSavedProjectRendersTheSameFromAnotherFolderAndWhenMovedWithItsMedia) {
    TTempFolder Folder;
    TTempFolder Elsewhere;
    testing::internal::CaptureStdout();
    int Code = RunDemo(Folder.Root());
    std::string Output = testing::internal::GetCapturedStdout();
    ASSERT_EQ(Code, 0) << Output;
    const std::string Reference = Folder.Path("Demo.mp4");

    {
        TCurrentFolder Current(Elsewhere.Root());
        ASSERT_EQ(RenderFromCommandLine(Folder.Path("Demo.qmp"), Elsewhere.Path("Again.mp4")), 0);
    }
    EXPECT_LE(LargestPictureDifference(Reference, Elsewhere.Path("Again.mp4")), 2);
    EXPECT_LE(LargestSoundDifference(Reference, Elsewhere.Path("Again.mp4")), 0.01f);

    // The project and its media moved together to another folder, the old
    // one gone: the media are found beside the project file.
    const std::string Moved = Elsewhere.Path("moved");
    std::filesystem::create_directory(Moved);
    for (const char* Name : {"Demo.qmp", "sunrise.mp4", "picture.bmp", "meadow.mp4", "tone.wav"})
        std::filesystem::rename(Folder.Path(Name), Moved + "/" + Name);
    {
        TCurrentFolder Current(Elsewhere.Root());
        ASSERT_EQ(RenderFromCommandLine("moved/Demo.qmp", "Moved.mp4"), 0);
    }
    EXPECT_LE(LargestPictureDifference(Reference, Elsewhere.Path("Moved.mp4")), 2);
    EXPECT_LE(LargestSoundDifference(Reference, Elsewhere.Path("Moved.mp4")), 0.01f);
}

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

// Regression: "--demo --render=PATH" wrote Demo.mp4 beside the demo and
// ignored PATH.
TEST(DemoProject, ARenderRequestNamesTheOutputAndItsExtensionTheKind) {
    TTempFolder Folder;
    const std::string Output = Folder.Path("tune.mp3");
    testing::internal::CaptureStdout();
    int Code = RunDemo(Folder.Root(), TDemoJob::MakeAndRender, {Output, ""});
    std::string Printed = testing::internal::GetCapturedStdout();
    ASSERT_EQ(Code, 0) << Printed;
    EXPECT_FALSE(std::filesystem::exists(Folder.Path("Demo.mp4")));
    TMediaInfo Info = ProbeMedia(Output);
    ASSERT_EQ(Info.Streams.size(), 1u);
    EXPECT_EQ(Info.Streams[0].SubType, "mp3");
}
