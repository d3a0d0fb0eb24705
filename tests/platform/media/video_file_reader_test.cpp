#include "platform/media/video_file_reader.h"

#include "platform/media/video_frame.h"
#include "test_media.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr int Width = 160, Height = 120;

class VideoFileReader : public ::testing::Test {
protected:
    std::string MakeClip(const std::string& Name, const std::string& Codec, int Frames, int Gop,
                         int BFrames, int Fps = 25) {
        TTestVideoOptions Options;
        Options.Codec = Codec;
        Options.Width = Width;
        Options.Height = Height;
        Options.FrameCount = Frames;
        Options.GopSize = Gop;
        Options.MaxBFrames = BFrames;
        Options.FramesPerSecondNum = Fps;
        Options.Painter = NumberedFrames();
        std::string File = Folder.Path(Name);
        WriteTestVideo(File, Options);
        return File;
    }
    static int NumberOf(const TVideoFrame& Frame) {
        return ReadFrameNumber(Frame.Data(), Frame.Width(), Frame.Height(), Frame.Stride());
    }
    static TVideoTime FrameTime(int Index, int Fps) { return TVideoTime(Index) * 10000000 / Fps; }

    TTempFolder Folder;
};

TEST_F(VideoFileReader, SequentialTimesDeliverTheFrameThatCoversThem) {
    std::string File = MakeClip("seq.avi", "mpeg4", 40, 12, 0);
    TVideoFileReader Reader(File, 0);
    for (int I = 0; I < 40; ++I) {
        auto Start = Reader.FrameAt(FrameTime(I, 25), Width, Height, TVideoFileReader::TFit::Stretch);
        EXPECT_EQ(NumberOf(*Start), I);
        auto Late = Reader.FrameAt(FrameTime(I, 25) + 350000, Width, Height,
                                   TVideoFileReader::TFit::Stretch);
        EXPECT_EQ(NumberOf(*Late), I);
    }
    EXPECT_EQ(Reader.SeekCount(), 1); // only the first request positions the decoder
}

// Kept frames answer a step back without decoding again; a reader told to
// keep fewer (a render, reading forward) holds no more than that, and a
// step back past them decodes again but still finds the right frame.
TEST_F(VideoFileReader, StepsBackWithinTheKeptFramesDecodeNothing) {
    std::string File = MakeClip("kept.avi", "mpeg4", 20, 12, 0);
    auto At = [&](TVideoFileReader& Reader, int I) {
        return NumberOf(*Reader.FrameAt(FrameTime(I, 25), Width, Height,
                                        TVideoFileReader::TFit::Stretch));
    };
    TVideoFileReader Preview(File, 0);
    for (int I = 0; I < 10; ++I)
        At(Preview, I);
    EXPECT_EQ(Preview.KeptFrameCount(), 6u);
    int32_t Decoded = Preview.DecodedFrameCount();
    EXPECT_EQ(At(Preview, 5), 5);
    EXPECT_EQ(Preview.DecodedFrameCount(), Decoded);

    TVideoFileReader Render(File, 0);
    Render.SetFramesKept(2);
    for (int I = 0; I < 10; ++I)
        EXPECT_EQ(At(Render, I), I);
    EXPECT_EQ(Render.KeptFrameCount(), 2u);
    Decoded = Render.DecodedFrameCount();
    EXPECT_EQ(At(Render, 8), 8);
    EXPECT_EQ(Render.DecodedFrameCount(), Decoded);
    EXPECT_EQ(At(Render, 5), 5);
    EXPECT_GT(Render.DecodedFrameCount(), Decoded);
    Render.SetFramesKept(0); // at least one
    EXPECT_EQ(Render.KeptFrameCount(), 1u);
}

TEST_F(VideoFileReader, SeekingAnyFrameOfLongGopH264MatchesDecodingFromTheStart) {
    std::string File = MakeClip("long.mp4", "libx264", 90, 60, 3, 30);
    std::vector<std::shared_ptr<const TVideoFrame>> Sequential;
    {
        TVideoFileReader Reader(File, 0);
        for (int I = 0; I < 90; ++I)
            Sequential.push_back(
                Reader.FrameAt(FrameTime(I, 30), Width, Height, TVideoFileReader::TFit::Stretch));
    }
    for (int I = 0; I < 90; ++I)
        ASSERT_EQ(NumberOf(*Sequential[size_t(I)]), I);

    TVideoFileReader Reader(File, 0);
    std::mt19937 Random(42);
    for (int N = 0; N < 40; ++N) {
        int I = int(Random() % 90);
        auto Frame = Reader.FrameAt(FrameTime(I, 30) + 1000, Width, Height,
                                    TVideoFileReader::TFit::Stretch);
        ASSERT_EQ(std::memcmp(Frame->Data(), Sequential[size_t(I)]->Data(),
                              size_t(Frame->Stride()) * Height),
                  0)
            << "frame " << I;
    }
    EXPECT_GT(Reader.SeekCount(), 1);
}

TEST_F(VideoFileReader, TimesPastTheEndHoldTheLastFrame) {
    std::string File = MakeClip("short.avi", "mpeg4", 10, 5, 0);
    TVideoFileReader Reader(File, 0);
    EXPECT_EQ(NumberOf(*Reader.FrameAt(FrameTime(30, 25), Width, Height,
                                       TVideoFileReader::TFit::Stretch)),
              9);
    EXPECT_EQ(NumberOf(*Reader.FrameAt(FrameTime(2, 25), Width, Height,
                                       TVideoFileReader::TFit::Stretch)),
              2);
}

TEST_F(VideoFileReader, KeepingTheAspectRatioLetterboxesIntoAWiderFrame) {
    TTestVideoOptions Options;
    Options.Width = 160;
    Options.Height = 120; // 4:3
    Options.FrameCount = 5;
    Options.Painter = SolidColor(255, 255, 255);
    std::string File = Folder.Path("white.avi");
    WriteTestVideo(File, Options);
    TVideoFileReader Reader(File, 0);
    // 4:3 in 320 x 180 (16:9): a 240-wide picture with 40-pixel bars.
    auto Frame = Reader.FrameAt(0, 320, 180, TVideoFileReader::TFit::KeepAspectRatio);
    auto Brightness = [&](int X) { return int(Frame->Pixel(X, 90) & 0xFF); };
    EXPECT_LT(Brightness(0), 20);
    EXPECT_LT(Brightness(38), 20);
    EXPECT_GT(Brightness(42), 230);
    EXPECT_GT(Brightness(160), 230);
    EXPECT_GT(Brightness(277), 230);
    EXPECT_LT(Brightness(282), 20);
    EXPECT_EQ(Frame->Pixel(0, 90) >> 24, 255u); // bars are opaque black
    auto Stretched = Reader.FrameAt(0, 320, 180, TVideoFileReader::TFit::Stretch);
    EXPECT_GT(int(Stretched->Pixel(0, 90) & 0xFF), 230);
}

TEST_F(VideoFileReader, MissingStreamRaises) {
    std::string Tone = Folder.Path("tone.wav");
    WriteTestTone(Tone, 440, 0.5, 0.5);
    EXPECT_ANY_THROW(TVideoFileReader(Tone, 0));
}

} // namespace

namespace {

// Regression: widths that are no multiple of 16 (a portrait phone clip is
// 1080 wide) made the colour converter store past the end of the frame's
// last row and corrupt the heap.
TEST(VideoFileReaderWidths, WidthsThatAreNoMultipleOf16ConvertWithinTheFrame) {
    TTempFolder Folder;
    const std::pair<int, int> Sizes[] = {{72, 128}, {90, 160}, {100, 56}, {34, 18}};
    for (auto [ClipWidth, ClipHeight] : Sizes) {
        TTestVideoOptions Options;
        Options.Codec = "libx264";
        Options.Width = ClipWidth;
        Options.Height = ClipHeight;
        Options.FrameCount = 3;
        Options.Painter = SolidColor(200, 40, 40);
        std::string File = Folder.Path("w" + std::to_string(ClipWidth) + ".mp4");
        WriteTestVideo(File, Options);
        for (int Round = 0; Round < 3; ++Round) {
            TVideoFileReader Reader(File, 0);
            auto Frame = Reader.FrameAt(0, ClipWidth, ClipHeight, TVideoFileReader::TFit::Stretch);
            ASSERT_EQ(Frame->Width(), ClipWidth);
            const uint8_t* Last = Frame->Row(ClipHeight - 1) + (ClipWidth - 1) * 4;
            EXPECT_NEAR(Last[2], 200, 8) << ClipWidth;
            EXPECT_NEAR(Last[1], 40, 8) << ClipWidth;
        }
    }
}

} // namespace
