#include "playback/player_window.h"

#include "core/error.h"
#include "platform/media/frame_grabber.h"
#include "platform/media/picture_file.h"
#include "platform/media/video_frame.h"
#include "playback/drag_preview.h"
#include "playback/text_previewer.h"
#include "playback_test_support.h"
#include "project/drag_things.h"
#include "render/effect_previewer.h"
#include "render/preview_graph.h"
#include "render/preview_pictures.h"
#include "render/text_description.h"
#include "render/text_descriptor.h"
#include "render/transition_previewer.h"
#include "toolkit/skin/skin.h"
#include "toolkit/widgets/drag.h"

#include <gtest/gtest.h>

namespace {

constexpr TVideoTime Second = 10000000;
constexpr int32_t CrossFade = 1;

TRgb CentreOf(const TRgbImage& Image) {
    size_t At = (size_t(Image.Height / 2) * size_t(Image.Width) + size_t(Image.Width / 2)) * 3;
    return {Image.Pixels[At], Image.Pixels[At + 1], Image.Pixels[At + 2]};
}

TRgb CentreOf(const std::string& PictureFile) {
    TVideoFrame Picture = LoadPicture(PictureFile).Picture;
    TColor Pixel = Picture.Pixel(Picture.Width() / 2, Picture.Height() / 2);
    return {int(Pixel & 0xFF), int(Pixel >> 8 & 0xFF), int(Pixel >> 16 & 0xFF)};
}

bool Near(TRgb Seen, TRgb Wanted, int Tolerance = 12) {
    return ::Near(Seen, Wanted.R, Wanted.G, Wanted.B, Tolerance);
}

class PreviewerWindow : public ::testing::Test {
protected:
    PreviewerWindow() {
        FSavedImages = Skins().ImagesFolder();
        // The images folder as the build makes it.
        WritePreviewPictures(Folder.Path("Images"));
        Skins().SetImagesFolder(Folder.Path("Images"));
    }
    ~PreviewerWindow() override { Skins().SetImagesFolder(FSavedImages); }

    TTempFolder Folder;
    TPlayerHarness H;

private:
    std::string FSavedImages;
};

// The grabbed frames of a cross-fade: the outgoing picture alone at the
// start, the incoming one alone at the last frame (the transition ends a
// frame early for that).
TEST_F(PreviewerWindow, TheFirstGrabbedFrameIsTheOutgoingPictureAndTheLastTheIncoming) {
    std::string Images = Folder.Path("Images");
    std::string Outgoing = EnsurePreviewPicture(Images, TPreviewPicture::TransitionOutgoing);
    std::string Incoming = EnsurePreviewPicture(Images, TPreviewPicture::TransitionIncoming);
    TRgb OutgoingCentre = CentreOf(Outgoing), IncomingCentre = CentreOf(Incoming);
    ASSERT_FALSE(Near(OutgoingCentre, IncomingCentre, 60)) << "the pictures must differ";

    TTransitionPreviewer Previewer(Outgoing, Incoming);
    Previewer.ShowTransition(CrossFade, false, 2 * Second);
    TVideoTime LastFrameAt = -1;
    Previewer.OnFrame = [&](const TVideoFrame&, TVideoTime At) { LastFrameAt = At; };
    Previewer.SetVideoVisible(true);
    Previewer.Seek(0);
    ASSERT_TRUE(H.RunUntil([&] { return LastFrameAt == 0; }));
    TRgbImage First = Previewer.Preview()->GrabFrame();
    ASSERT_EQ(First.Width, 320);
    EXPECT_TRUE(Near(CentreOf(First), OutgoingCentre));

    TVideoTime Last = 2 * Second - Second / 16;
    Previewer.Seek(Last);
    ASSERT_TRUE(H.RunUntil([&] { return LastFrameAt == Last; }));
    EXPECT_TRUE(Near(CentreOf(Previewer.Preview()->GrabFrame()), IncomingCentre));
}

TEST_F(PreviewerWindow, ShowTransitionPlaysThePreviewAndRepeatingKeepsThePreviewer) {
    H.Player->ShowTransition(CrossFade, false, 2 * Second);
    TTransitionPreviewer* Previewer = H.Player->TransitionPreviewer();
    ASSERT_NE(Previewer, nullptr);
    EXPECT_EQ(H.Player->PlayerObject(), Previewer);
    EXPECT_EQ(H.Player->RangeLength(), 2 * Second);
    EXPECT_TRUE(H.Player->IsPlaying());
    ASSERT_TRUE(H.RunUntil([&] { return H.Player->Position() > Second / 4; }));
    // 320 x 240 in 200 x 100: 133 x 100 from x = 33.
    ASSERT_TRUE(H.RunUntil([&] { return H.Player->FramesShown() > 0; }));
    EXPECT_EQ(H.Player->VideoRect(), TRect::FromSize(33, 0, 133, 100));
    EXPECT_TRUE(Near(RgbOf(H.PresentedPixel(10, 50)), 0, 0, 0, 0));

    int32_t Builds = Previewer->ElementBuildCount();
    H.Player->ShowTransition(CrossFade, false, 2 * Second);
    EXPECT_EQ(H.Player->TransitionPreviewer(), Previewer);
    EXPECT_EQ(Previewer->ElementBuildCount(), Builds);

    // An unknown transition leaves the window as it was.
    EXPECT_THROW(H.Player->ShowTransition(9999, false, Second), EError);
    EXPECT_EQ(H.Player->PlayerObject(), Previewer);
}

TEST_F(PreviewerWindow, FramesArriveScaledToTheVideoRectangle) {
    H.Player->ShowEffect(5, 2 * Second);
    ASSERT_NE(H.Player->EffectPreviewer(), nullptr);
    int32_t Width = 0, Height = 0;
    H.Player->PlayerObject()->OnFrame = [&, Chained = H.Player->PlayerObject()->OnFrame](
                                            const TVideoFrame& Frame, TVideoTime At) {
        Width = Frame.Width();
        Height = Frame.Height();
        Chained(Frame, At);
    };
    ASSERT_TRUE(H.RunUntil([&] { return Width > 0; }));
    EXPECT_EQ(Width, 133);
    EXPECT_EQ(Height, 100);

    // A larger window asks for larger frames, a paused preview sends its
    // frame again at once.
    H.Player->Halt();
    H.Player->SetBounds(TRect::FromSize(0, 0, 200, 150));
    ASSERT_TRUE(H.RunUntil([&] { return Width == 200; }));
    EXPECT_EQ(Height, 150);
}

TEST_F(PreviewerWindow, ATitleStylePlaysItsSampleText) {
    H.Player->ShowTitleStyle(1, 2 * Second);
    TTextPreviewer* Previewer = H.Player->TextPreviewer();
    ASSERT_NE(Previewer, nullptr);
    EXPECT_EQ(H.Player->RangeLength(), 2 * Second);
    EXPECT_NE(Previewer->Descriptor().Text(), "");
    EXPECT_EQ(Previewer->Descriptor().Text(), Previewer->Descriptor().Style().SampleText());
    EXPECT_TRUE(H.Player->IsPlaying());
    ASSERT_TRUE(H.RunUntil([&] { return H.Player->Position() > Second / 4; }));
    EXPECT_THROW(H.Player->ShowTitleStyle(9999, Second), EError);
    EXPECT_EQ(H.Player->PlayerObject(), Previewer);
}

// What a browser drags, as the toolkit's drag carries it.
class TBrowserThing : public TThing, public TPreviewedThing {
public:
    explicit TBrowserThing(std::unique_ptr<TVideoDragThing> Thing)
        : TThing(16, 16, 8, 8), FThing(std::move(Thing)) {}
    const TVideoDragThing& Previewed() const override { return *FThing; }

private:
    std::unique_ptr<TVideoDragThing> FThing;
};

TEST_F(PreviewerWindow, ADraggedItemIsPreviewedWhenItEntersTheWindow) {
    // Each drag starts outside the window and enters it; what the window
    // shows while the thing is over it is taken in a script step.
    auto DragOver = [&](std::unique_ptr<TVideoDragThing> Thing) {
        TPlayerObject* Shown = nullptr;
        bool Playing = false;
        H.System.ScriptMouseMove({300, 300});
        H.System.ScriptMouseDown({300, 300});
        H.System.ScriptStep([&] {
            Drag().BeginDrag(H.System, std::make_unique<TBrowserThing>(std::move(Thing)));
        });
        H.System.ScriptMouseMove({250, 50});
        H.System.ScriptStep([&] { EXPECT_EQ(H.Player->PlayerObject(), nullptr); });
        H.System.ScriptMouseMove({100, 50});
        H.System.ScriptMouseMove({110, 60}); // moving within the window shows it once
        H.System.ScriptStep([&] {
            Shown = H.Player->PlayerObject();
            Playing = H.Player->IsPlaying();
        });
        H.System.ScriptMouseUp({300, 300});
        H.System.RunLoop([&] { return H.System.ScriptLength() == 0; });
        H.System.ProcessEvents();
        EXPECT_FALSE(Drag().IsDragging());
        EXPECT_TRUE(Playing);
        return Shown;
    };

    TPlayerObject* Shown = DragOver(std::make_unique<TEffectDragThing>(5, 3 * Second, 0));
    ASSERT_NE(H.Player->EffectPreviewer(), nullptr);
    EXPECT_EQ(Shown, H.Player->PlayerObject());
    EXPECT_EQ(Shown->GetDuration(), Second) << "an effect is previewed for 1 s";
    H.Player->Detach();

    Shown = DragOver(std::make_unique<TTransitionDragThing>(CrossFade, 2 * Second, 0));
    ASSERT_NE(H.Player->TransitionPreviewer(), nullptr);
    EXPECT_EQ(Shown->GetDuration(), 2 * Second);
    H.Player->Detach();

    Shown = DragOver(std::make_unique<TTitleClipDragThing>(1, 3 * Second));
    ASSERT_NE(H.Player->TextPreviewer(), nullptr);
    EXPECT_EQ(Shown->GetDuration(), 3 * Second);
    H.Player->Detach();

    std::string File = SolidClip(Folder, "clip.avi", 40, 200, 40, 25);
    int64_t ShownBefore = H.Player->FramesShown();
    Shown = DragOver(std::make_unique<TFileClipDragThing>(File));
    EXPECT_EQ(H.Player->RangeLength(), Second);
    ASSERT_TRUE(H.RunUntil([&] { return H.Player->FramesShown() > ShownBefore + 1; }));
    EXPECT_TRUE(Near(RgbOf(H.PresentedPixel(100, 50)), 40, 200, 40));

    // A thing the window cannot preview changes nothing.
    struct TOther : TThing {
        TOther() : TThing(16, 16, 8, 8) {}
    };
    H.System.ScriptMouseDown({300, 300});
    H.System.ScriptStep([&] { Drag().BeginDrag(H.System, std::make_unique<TOther>()); });
    H.System.ScriptMouseMove({100, 50});
    H.System.ScriptMouseUp({300, 300});
    H.System.RunLoop([&] { return H.System.ScriptLength() == 0; });
    H.System.ProcessEvents();
    EXPECT_FALSE(Drag().IsDragging());
    EXPECT_EQ(H.Player->PlayerObject(), Shown);
}

TEST(TextPreviewer, ADefaultPreviewNamesItsSourceBySizeLengthAndRate) {
    TTextPreviewer Previewer(320, 240, 15);
    TTextClipDescriptor Default;
    EXPECT_EQ(Previewer.SourceName(),
              "qmtextprotocol://1/320/240/40000000/15/" + Default.TextForm(MakeColor(0, 0, 0)));
    EXPECT_EQ(Previewer.GetDuration(), 4 * Second);

    Default.SetText("Hello");
    Previewer.SetTitle(Default, Second);
    EXPECT_EQ(Previewer.GetDuration(), Second);
    EXPECT_EQ(Previewer.SourceName().rfind("qmtextprotocol://1/320/240/10000000/15/", 0), 0u);
    EXPECT_EQ(Previewer.Descriptor().Text(), "Hello");
}

} // namespace
