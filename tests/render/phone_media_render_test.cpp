// Media as phones and cameras make it: pictures stored sideways with a turn
// beside them, HD sizes and rates, and colour tags, through the optimal
// format and a render to a file.

#include "media_settings_fixture.h"
#include "platform/graphics/color.h"
#include "platform/media/media_probe.h"
#include "platform/media/video_file_reader.h"
#include "platform/media/video_frame.h"
#include "render/format_media_settings.h"
#include "render/output_presets.h"
#include "render/output_settings.h"
#include "render/render.h"
#include "render/render_job.h"
#include "render/video_media_settings.h"

#include <gtest/gtest.h>

namespace {

const TMediaStreamInfo& VideoStreamOf(const TMediaInfo& Info) {
    for (const TMediaStreamInfo& S : Info.Streams)
        if (S.MajorType == TStreamMajorType::Video)
            return S;
    throw std::runtime_error("no video stream");
}

// The average colour of the 5 x 5 pixels around (X, Y).
std::array<int, 3> AverageAround(const TVideoFrame& Frame, int32_t X, int32_t Y) {
    std::array<int, 3> Sum{};
    for (int32_t Dy = -2; Dy <= 2; ++Dy)
        for (int32_t Dx = -2; Dx <= 2; ++Dx) {
            const uint8_t* P = Frame.Row(Y + Dy) + (X + Dx) * 4;
            Sum[0] += P[2], Sum[1] += P[1], Sum[2] += P[0]; // R, G, B
        }
    for (int& Channel : Sum)
        Channel = (Channel + 12) / 25;
    return Sum;
}

int Distance(const std::array<int, 3>& A, const std::array<int, 3>& B) {
    return std::max({std::abs(A[0] - B[0]), std::abs(A[1] - B[1]), std::abs(A[2] - B[2])});
}

class PhoneMediaRender : public TMediaTimelineFixture {
protected:
    // Renders the timeline as MP4 with the optimal format and waits.
    std::string RenderMp4(const std::string& Name) {
        TRender Render(Timeline);
        Render.SetKind(TRenderKind::MP4Quality);
        EXPECT_EQ(Render.MP4().Video().PresetIndex(), 0); // "Optimal"
        std::string File = Folder.Path(Name);
        TRenderJob Job(Timeline);
        Job.Render(File, Render.OutputSettings());
        TRenderResult Result = Job.Wait();
        EXPECT_EQ(Result.Outcome, TRenderOutcome::Completed) << Result.Error;
        return File;
    }
};

// Red in the stored picture's top-left quarter, blue elsewhere.
TFramePainter TopLeftMarker() {
    return [](int, uint8_t* Bgra, int Width, int Height, int Stride) {
        for (int Y = 0; Y < Height; ++Y)
            for (int X = 0; X < Width; ++X) {
                bool Marker = X < Width / 2 && Y < Height / 2;
                ColorToBgra(Marker ? MakeColor(230, 20, 20) : MakeColor(20, 20, 230),
                            Bgra + Y * Stride + X * 4);
            }
    };
}

TEST_F(PhoneMediaRender, APortraitPhoneClipStoredSidewaysIsProbedAndRenderedUpright) {
    // Stored landscape, with the display matrix a phone held upright writes:
    // shown turned a quarter clockwise, the stored top-left lands top right.
    TTestVideoOptions Options;
    Options.Codec = "libx264";
    Options.Width = 128;
    Options.Height = 72;
    Options.FrameCount = 10;
    Options.FramesPerSecondNum = 20;
    Options.Painter = TopLeftMarker();
    Options.DisplayMatrix = {0, 65536, 0, -65536, 0, 0, 0, 0, 1 << 30};
    TFileClipElement& Clip = AddClip("portrait.mp4", Options);

    TMediaInfo Probed = ProbeMedia(Clip.FileName());
    EXPECT_EQ(Probed.Width, 72);
    EXPECT_EQ(Probed.Height, 128);
    TVideoFormat Video;
    TAudioFormat Audio;
    GetOptimalFormat(Timeline, TMediaOutputFormat::Mp4, false, Video, Audio);
    EXPECT_EQ(Video.Width, 72);
    EXPECT_EQ(Video.Height, 128);

    std::string Out = RenderMp4("upright.mp4");
    TMediaInfo Rendered = ProbeMedia(Out);
    ASSERT_EQ(Rendered.Width, 72);
    ASSERT_EQ(Rendered.Height, 128);
    TVideoFileReader Reader(Out, 0);
    auto Frame = Reader.FrameAt(Second / 4, 72, 128, TVideoFileReader::TFit::Stretch);
    const std::array<int, 3> Red{230, 20, 20}, Blue{20, 20, 230};
    EXPECT_LE(Distance(AverageAround(*Frame, 54, 32), Red), 24);  // top right
    EXPECT_LE(Distance(AverageAround(*Frame, 18, 32), Blue), 24); // top left
    EXPECT_LE(Distance(AverageAround(*Frame, 54, 96), Blue), 24); // bottom right
}

TEST_F(PhoneMediaRender, AFullHd60FpsClipRendersByDefaultAtItsOwnSizeAndRate) {
    TTestVideoOptions Options;
    Options.Codec = "libx264";
    Options.Width = 1920;
    Options.Height = 1080;
    Options.FramesPerSecondNum = 60;
    Options.FrameCount = 6;
    AddClip("phone.mp4", Options);
    std::string Out = RenderMp4("full_hd.mp4");
    TMediaInfo Rendered = ProbeMedia(Out);
    EXPECT_EQ(Rendered.Width, 1920);
    EXPECT_EQ(Rendered.Height, 1080);
    EXPECT_NEAR(Rendered.FrameRate, 60, 0.01);
}

// Eight bars of saturated and mid colours, where a wrong matrix or range
// shows most.
const std::array<TColor, 8> Bars = {MakeColor(191, 191, 191), MakeColor(191, 191, 0),
                                    MakeColor(0, 191, 191),   MakeColor(0, 191, 0),
                                    MakeColor(191, 0, 191),   MakeColor(191, 0, 0),
                                    MakeColor(0, 0, 191),     MakeColor(16, 16, 16)};

TFramePainter ColourBars() {
    return [](int, uint8_t* Bgra, int Width, int Height, int Stride) {
        for (int Y = 0; Y < Height; ++Y)
            for (int X = 0; X < Width; ++X)
                ColorToBgra(Bars[size_t(X) * Bars.size() / size_t(Width)],
                            Bgra + Y * Stride + X * 4);
    };
}

std::array<int, 3> Channels(TColor C) {
    return {int(C & 0xFF), int((C >> 8) & 0xFF), int((C >> 16) & 0xFF)};
}

struct TColourCase {
    const char* Name;
    int Width, Height;
    TTestColours Colours;
    bool FullRange;
    const char* OutputMatrix; // the tag the render must carry
};

void PrintTo(const TColourCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class ColourTags : public PhoneMediaRender, public ::testing::WithParamInterface<TColourCase> {};

TEST_P(ColourTags, ColourBarsSurviveARenderWithinThreeLevelsAndTheOutputIsTagged) {
    const TColourCase& Case = GetParam();
    TTestVideoOptions Options;
    Options.Codec = "libx264";
    Options.Width = Case.Width;
    Options.Height = Case.Height;
    Options.FrameCount = 5;
    Options.Colours = Case.Colours;
    Options.FullRange = Case.FullRange;
    Options.Painter = ColourBars();
    TFileClipElement& Clip = AddClip("bars.mp4", Options);
    std::string Out = RenderMp4("bars_out.mp4");

    TMediaInfo Rendered = ProbeMedia(Out);
    const TMediaStreamInfo& Stream = VideoStreamOf(Rendered);
    ASSERT_EQ(Stream.Width, Case.Width);
    EXPECT_EQ(Stream.ColourMatrix, Case.OutputMatrix);
    EXPECT_EQ(Stream.ColourRange, "tv");
    EXPECT_FALSE(Stream.ColourPrimaries.empty());
    EXPECT_FALSE(Stream.ColourTransfer.empty());

    TVideoFileReader Source(Clip.FileName(), 0), Output(Out, 0);
    auto Before =
        Source.FrameAt(Second / 10, Case.Width, Case.Height, TVideoFileReader::TFit::Stretch);
    auto After =
        Output.FrameAt(Second / 10, Case.Width, Case.Height, TVideoFileReader::TFit::Stretch);
    for (size_t Bar = 0; Bar < Bars.size(); ++Bar) {
        int32_t X = int32_t((2 * Bar + 1) * size_t(Case.Width) / (2 * Bars.size()));
        int32_t Y = Case.Height / 2;
        std::array<int, 3> Decoded = AverageAround(*Before, X, Y);
        // The source decodes to the colours it was made from: its own tags
        // are honoured.
        EXPECT_LE(Distance(Decoded, Channels(Bars[Bar])), 3) << "source, bar " << Bar;
        EXPECT_LE(Distance(AverageAround(*After, X, Y), Decoded), 3) << "render, bar " << Bar;
    }
}

INSTANTIATE_TEST_SUITE_P(
    SdAndHd, ColourTags,
    ::testing::Values(
        TColourCase{"PalBt601", 720, 576, TTestColours::Bt601, false, "bt470bg"},
        TColourCase{"PalFullRange", 720, 576, TTestColours::Bt601, true, "bt470bg"},
        TColourCase{"Hd720Bt709", 1280, 720, TTestColours::Bt709, false, "bt709"},
        // A camera that tags its HD clips BT.601: converted by its own matrix.
        TColourCase{"Hd720TaggedBt601", 1280, 720, TTestColours::Bt601, false, "bt709"},
        TColourCase{"UntaggedSd", 720, 576, TTestColours::Untagged, false, "bt470bg"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

} // namespace
