#include "project/clip.h"

#include "item_test_fixture.h"
#include "platform/media/media_renderer.h"
#include "platform/media/video_frame.h"
#include "project/file_clip.h"
#include "project/title_clip.h"
#include "render/timeline.h"

namespace {

using ClipTest = ItemTest;

// A still, a video clip and a title placed on tracks play through the engine
// at their own times.
TEST_F(ClipTest, StillVideoAndTitleRenderAtTheirTimes) {
    // Opaque blue still over 0..1 s, numbered video over 2..4 s.
    VideoTrack()->InsertItem(new TFileClip(0, Picture("blue.png", 0xFF0000FF)), 0);
    static_cast<TClip*>(VideoTrack()->Item(0))->SetDuration(Second);
    auto* Clip = new TFileClip(2 * Second, Video("n.avi"));
    VideoTrack()->InsertItem(Clip, 1);
    Clip->SetTrim(Second / 2, 2 * Second);
    auto* Title = new TTitleClip(2 * Second, 5 * Second, FirstTitleStyle());
    Project->Track(3)->InsertItem(Title, 0);
    Title->SetText("HELLO");
    VideoTrack()->Normalize(false);
    Project->Track(3)->Normalize(false);

    TMediaRenderer Renderer(Project->Timeline().Platform());
    TVideoFrame Frame;
    Renderer.RenderVideo(Second / 2, Frame);
    TColor Middle = Frame.Pixel(Frame.Width() / 2, Frame.Height() / 2);
    EXPECT_GT((Middle >> 16) & 0xFF, 200u) << "blue";
    EXPECT_LT(Middle & 0xFF, 40u) << "red";

    // The trimmed clip starts with media frame 12 (0.5 s at 25 per second).
    Renderer.RenderVideo(2 * Second, Frame);
    EXPECT_EQ(ReadFrameNumber(Frame.Data(), Frame.Width(), Frame.Height(), Frame.Stride()), 12);
    Renderer.RenderVideo(3 * Second, Frame);
    EXPECT_EQ(ReadFrameNumber(Frame.Data(), Frame.Width(), Frame.Height(), Frame.Stride()), 37);

    // The title draws something over the black gap; before it nothing does.
    auto LitPixels = [&](TVideoTime Time) {
        Renderer.RenderVideo(Time, Frame);
        int Lit = 0;
        for (int32_t Y = 0; Y < Frame.Height(); ++Y)
            for (int32_t X = 0; X < Frame.Width(); ++X)
                if ((Frame.Pixel(X, Y) & 0xFF) > 128)
                    ++Lit;
        return Lit;
    };
    EXPECT_EQ(LitPixels(4 * Second + Second / 2), 0);
    EXPECT_GT(LitPixels(6 * Second), 0);
}

} // namespace
