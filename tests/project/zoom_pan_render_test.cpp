// A still clip's zoom-and-pan movement reaches the rendered frames: the
// project answers the picture sources of its timeline and of render copies.

#include "item_test_fixture.h"
#include "platform/graphics/color.h"
#include "platform/media/media_renderer.h"
#include "platform/media/video_frame.h"
#include "project/file_clip.h"
#include "render/output_presets.h"
#include "render/timeline.h"

namespace {

using ZoomPanRenderTest = ItemTest;

constexpr TColor Red = MakeColor(255, 0, 0);
constexpr TColor Green = MakeColor(0, 255, 0);
constexpr TColor Blue = MakeColor(0, 0, 255);
constexpr TColor White = MakeColor(255, 255, 255);

// Red top left, green top right, blue bottom left, white bottom right.
TFramePainter Quadrants() {
    return [](int, uint8_t* Bgra, int Width, int Height, int Stride) {
        for (int Y = 0; Y < Height; ++Y)
            for (int X = 0; X < Width; ++X) {
                bool Right = X >= Width / 2, Bottom = Y >= Height / 2;
                TColor C = Bottom ? (Right ? White : Blue) : (Right ? Green : Red);
                ColorToBgra(C, Bgra + Y * Stride + X * 4);
            }
    };
}

// Every pixel of the frame is Colour, but for a margin of Margin pixels at
// the edges: enlarging the crop blends its edge pixels with the picture's
// pixels just outside it.
::testing::AssertionResult IsAll(const TVideoFrame& Frame, TColor Colour, int32_t Margin) {
    if (Frame.IsEmpty())
        return ::testing::AssertionFailure() << "no frame";
    for (int32_t Y = Margin; Y < Frame.Height() - Margin; ++Y)
        for (int32_t X = Margin; X < Frame.Width() - Margin; ++X) {
            TColor P = Frame.Pixel(X, Y);
            for (int Shift : {0, 8, 16})
                if (std::abs(int((P >> Shift) & 0xFF) - int((Colour >> Shift) & 0xFF)) > 4)
                    return ::testing::AssertionFailure()
                           << "pixel (" << X << ", " << Y << ") is " << std::hex << P;
        }
    return ::testing::AssertionSuccess();
}

class StillZoomPan : public ZoomPanRenderTest {
protected:
    void SetUp() override {
        ZoomPanRenderTest::SetUp();
        // 64 x 48 has the shape of the timeline's 320 x 240 frame: zoom 0.5
        // is exactly one quadrant, placed by the centre values 0 or 1.
        std::string File = Folder.Path("q.png");
        WriteTestPicture(File, 64, 48, Quadrants());
        Still = new TFileClip(0, File);
        VideoTrack()->InsertItem(Still, 0);
        VideoTrack()->Normalize(false);
    }

    // One pixel of the 32 x 24 quadrant in a frame Width wide.
    static int32_t PictureMargin(int32_t Width) { return Width / 32; }

    TVideoFrame RenderAt(const TTimeline& Timeline, TVideoTime Time) {
        TMediaRenderer Renderer(Timeline.Platform());
        TVideoFrame Frame;
        Renderer.RenderVideo(Time, Frame);
        return Frame;
    }

    TFileClip* Still = nullptr;
};

TEST_F(StillZoomPan, ZoomedStillShowsOneQuadrantOfItsPicture) {
    // Unmoved, the whole picture shows.
    TVideoFrame Whole = RenderAt(Project->Timeline(), Second);
    EXPECT_EQ(Whole.Pixel(10, 10), Red);
    EXPECT_EQ(Whole.Pixel(Whole.Width() - 10, Whole.Height() - 10), White);

    TZoomPanValue TopRight{1, 0, 0.5};
    Still->SetZoomPanRaw(TopRight, TopRight, false, false);
    TVideoFrame Zoomed = RenderAt(Project->Timeline(), Second);
    EXPECT_TRUE(IsAll(Zoomed, Green, PictureMargin(Zoomed.Width())));
}

TEST_F(StillZoomPan, MovementRunsFromTheBeginQuadrantToTheEndQuadrant) {
    Still->SetZoomPanRaw({0, 1, 0.5}, {1, 1, 0.5}, false, false);
    TVideoTime LastFrame = Still->End() - Project->Timeline().FrameDuration();
    TVideoFrame First = RenderAt(Project->Timeline(), 0);
    TVideoFrame Last = RenderAt(Project->Timeline(), LastFrame);
    EXPECT_TRUE(IsAll(First, Blue, PictureMargin(First.Width())));
    EXPECT_TRUE(IsAll(Last, White, PictureMargin(Last.Width())));
}

// A render copy, made at another size, keeps asking the project.
TEST_F(StillZoomPan, RenderCopyAtAnotherSizeShowsTheSameQuadrant) {
    TZoomPanValue BottomLeft{0, 1, 0.5};
    Still->SetZoomPanRaw(BottomLeft, BottomLeft, false, false);
    TTimeline Copy(Project->Timeline(), TVideoFormat{VideoPresetCustom, 640, 480, 25},
                   DefaultAudioFormat);
    ASSERT_NE(Copy.ZoomPanHandle(), 0u);
    TVideoFrame Frame = RenderAt(Copy, Second);
    ASSERT_EQ(Frame.Width(), 640);
    EXPECT_TRUE(IsAll(Frame, Blue, PictureMargin(Frame.Width())));
}

} // namespace
