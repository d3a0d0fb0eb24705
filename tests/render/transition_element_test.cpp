#include "render/transition_element.h"

#include "core/error.h"
#include "platform/media/media_renderer.h"
#include "platform/media/media_timeline.h"
#include "platform/media/video_frame.h"
#include "render/effect_element.h"
#include "render/file_clip_element.h"
#include "render/output_presets.h"
#include "render/text_clip_element.h"
#include "render/timeline.h"
#include "test_media.h"

#include <gtest/gtest.h>

namespace {

constexpr TVideoTime Second = 10000000;
constexpr int32_t CrossFadeIndex = 1;
constexpr int32_t FirstWipeIndex = 2; // a left-to-right bar wipe

class TransitionElement : public ::testing::Test {
protected:
    TColor At(TVideoTime Time, int32_t X = 160, int32_t Y = 120) {
        Renderer.RenderVideo(Time, Frame);
        return Frame.Pixel(X, Y);
    }
    TTimeline Timeline;
    TTimelineTrack* Track = Timeline.Track(1);
    TMediaRenderer Renderer{Timeline.Platform()};
    TVideoFrame Frame;
};

TEST_F(TransitionElement, CrossFadeJoinsTwoClipsOverTheirOverlap) {
    TColorClipElement A(MakeColor(200, 0, 0), 2 * Second);
    TColorClipElement B(MakeColor(0, 0, 200), 2 * Second);
    A.MoveTo(Track, -3, 0);
    B.MoveTo(Track, -3, Second);
    TTransitionElement Fade(&A, false, Second, Second, &B, CrossFadeIndex);
    Fade.MoveTo(Track);
    ASSERT_NE(Fade.EngineTransition(), nullptr);
    EXPECT_EQ(Track->VideoSubTrack(1)->Transitions().size(), 1u);
    EXPECT_EQ(At(Second / 2), MakeColor(200, 0, 0));
    TColor Middle = At(Second + Second / 2);
    EXPECT_NEAR(int(Middle & 0xFF), 100, 6);
    EXPECT_NEAR(int((Middle >> 16) & 0xFF), 100, 6);
    EXPECT_EQ(At(2 * Second + Second / 4), MakeColor(0, 0, 200));

    // Reversed, the picture goes the other way.
    Fade.SetReverse(true);
    TColor Late = At(Second + Second * 3 / 4);
    EXPECT_GT(int(Late & 0xFF), int((Late >> 16) & 0xFF));
}

TEST_F(TransitionElement, TheTransitionFollowsItsClipsWhenTheyChangeSubTracks) {
    TColorClipElement A(MakeColor(200, 0, 0), 2 * Second);
    TColorClipElement B(MakeColor(0, 0, 200), 2 * Second);
    A.MoveTo(Track, -3, 5 * Second);
    B.MoveTo(Track, -3, 6 * Second);
    TTransitionElement Fade(&A, false, Second, 6 * Second, &B, CrossFadeIndex);
    Fade.MoveTo(Track);
    TColor Before = At(6 * Second + Second / 4);
    // A clip in front moves both to the other sub-track; the fade still
    // goes from A to B.
    TColorClipElement Front(MakeColor(0, 200, 0), Second);
    Front.MoveTo(Track, -3, 0);
    EXPECT_EQ(A.SubTrackIndex(), 1);
    EXPECT_EQ(At(6 * Second + Second / 4), Before);
    EXPECT_GT(int(At(6 * Second + Second / 4) & 0xFF), 100); // mostly red still
}

TEST_F(TransitionElement, ATransitionAtTheVeryStartFadesFromBlack) {
    TColorClipElement B(MakeColor(0, 0, 200), 3 * Second);
    B.MoveTo(Track, -3, 0);
    TTransitionElement Fade(nullptr, false, Second, 0, &B, CrossFadeIndex);
    Fade.MoveTo(Track);
    EXPECT_EQ(Track->VideoSubTrack(1)->Sources().size(), 1u); // the black filler
    EXPECT_LT(int((At(Second / 10) >> 16) & 0xFF), 60);
    EXPECT_NEAR(int((At(Second / 2) >> 16) & 0xFF), 100, 8);
    EXPECT_EQ(At(Second + Second / 2), MakeColor(0, 0, 200));
}

TEST_F(TransitionElement, AWipeShowsBothClipsSideBySideHalfWay) {
    TColorClipElement A(MakeColor(200, 0, 0), 2 * Second);
    TColorClipElement B(MakeColor(0, 0, 200), 2 * Second);
    A.MoveTo(Track, -3, 0);
    B.MoveTo(Track, -3, Second);
    TTransitionElement Wipe(&A, false, Second, Second, &B, FirstWipeIndex);
    Wipe.MoveTo(Track);
    At(Second + Second / 2);
    int Red = 0, Blue = 0;
    for (int32_t X = 0; X < Frame.Width(); ++X) {
        TColor P = Frame.Pixel(X, 120);
        Red += (P & 0xFF) > 150;
        Blue += ((P >> 16) & 0xFF) > 150;
    }
    EXPECT_GT(Red, Frame.Width() / 4);
    EXPECT_GT(Blue, Frame.Width() / 4);
}

// The engine value of Key on the first transition found under Node that has it.
std::string EngineValue(const TMediaNode& Node, std::string_view Key) {
    if (Node.Properties().Has(Key))
        return Node.Properties().TextAt(Key, 0);
    if (const auto* Layer = dynamic_cast<const TMediaLayer*>(&Node))
        for (const auto& Transition : Layer->Transitions())
            if (std::string Found = EngineValue(*Transition, Key); !Found.empty())
                return Found;
    if (const auto* Composition = dynamic_cast<const TMediaComposition*>(&Node))
        for (const auto& Layer : Composition->Layers())
            if (std::string Found = EngineValue(*Layer, Key); !Found.empty())
                return Found;
    return {};
}

TEST_F(TransitionElement, ASoftnessSetInPercentReachesTheEngineInItsOwnRange) {
    TColorClipElement A(MakeColor(200, 0, 0), 2 * Second);
    TColorClipElement B(MakeColor(0, 0, 200), 2 * Second);
    A.MoveTo(Track, -3, 0);
    B.MoveTo(Track, -3, Second);
    TTransitionElement Wipe(&A, false, Second, Second, &B, FirstWipeIndex);
    Wipe.MoveTo(Track);
    const TMediaGroup& Video = *Timeline.Platform().VideoGroup();
    // The default, 25 percent, and a value the user set, the same 25.
    EXPECT_EQ(EngineValue(Video, "BorderSoftness"), "64");
    Wipe.Props().SetValue("BorderSoftness", TPropertyVariant(25));
    EXPECT_EQ(EngineValue(Video, "BorderSoftness"), "64");
    Wipe.Props().SetValue("BorderSoftness", TPropertyVariant(100));
    EXPECT_EQ(EngineValue(Video, "BorderSoftness"), "255");
}

TEST_F(TransitionElement, UnknownDescriptionsAreErrors) {
    TColorClipElement A(MakeColor(200, 0, 0), 2 * Second);
    EXPECT_THROW(TTransitionElement(&A, false, Second, 0, nullptr, 99999), EError);
    EXPECT_THROW(TEffectElement(99999, TEffectTimeMode::Whole, Second), EError);
}

TEST_F(TransitionElement, RelativeEffectCoversTheSecondHalfOfItsHost) {
    TColorClipElement A(MakeColor(200, 200, 200), 4 * Second);
    A.MoveTo(Track, -3, 2 * Second);
    // An effect description acting on video (the first one registered).
    TEffectElement Effect(1, TEffectTimeMode::Relative, 0, -5000000, -10000000);
    Effect.AttachToClip(&A);
    TVideoTime From = 0, To = 0;
    Effect.ComputeRange(From, To);
    EXPECT_EQ(From, 4 * Second);
    EXPECT_EQ(To, 6 * Second);
    ASSERT_NE(Effect.VideoEffect(), nullptr);
    EXPECT_EQ(Effect.VideoEffect()->Start(), 4 * Second);
    EXPECT_EQ(Effect.VideoEffect()->Stop(), 6 * Second);
    A.Detach();
    EXPECT_EQ(Effect.VideoEffect(), nullptr);
}

TEST_F(TransitionElement, EffectOrderNumbersDecideTheEngineOrder) {
    TColorClipElement A(MakeColor(200, 200, 200), 4 * Second);
    A.MoveTo(Track, -3, 0);
    TEffectElement First(1, TEffectTimeMode::Whole, 0);
    TEffectElement Second_(2, TEffectTimeMode::Whole, 0);
    First.MoveTo(Track, 0);
    Second_.MoveTo(Track, 0, 0); // in front of the first
    ASSERT_NE(First.VideoEffect(), nullptr);
    ASSERT_NE(Second_.VideoEffect(), nullptr);
    EXPECT_LT(Second_.VideoEffect()->Priority(), First.VideoEffect()->Priority());
    EXPECT_EQ(Track->Effects().front(), &Second_);
}

TEST_F(TransitionElement, TitleClipDrawsItsTextOverTheClipBeneath) {
    Timeline.AddTrack(TTimelineTrackKind::ABVideo, 0); // an overlay track on top
    TTimelineTrack* Overlay = Timeline.Track(2);
    TColorClipElement Back(MakeColor(0, 0, 120), 3 * Second);
    Back.MoveTo(Track, -3, 0);
    TTextClipDescriptor Title;
    Title.SetText("Summer");
    TTextClipElement Text(Title, 2 * Second);
    Text.MoveTo(Overlay, -3, 0);
    At(Second);
    int Lit = 0, Back_ = 0;
    for (int32_t Y = 0; Y < Frame.Height(); ++Y)
        for (int32_t X = 0; X < Frame.Width(); ++X) {
            TColor P = Frame.Pixel(X, Y);
            Lit += (P & 0xFF) > 180 && ((P >> 8) & 0xFF) > 180;
            Back_ += P == MakeColor(0, 0, 120);
        }
    EXPECT_GT(Lit, 50);                                   // the text
    EXPECT_GT(Back_, Frame.Width() * Frame.Height() / 2); // the clip beneath shows around it
    EXPECT_EQ(At(2 * Second + Second / 2), MakeColor(0, 0, 120));
}

} // namespace

namespace {

TEST_F(TransitionElement, RenderCopyKeepsTransitionsAndEffects) {
    TColorClipElement A(MakeColor(200, 0, 0), 2 * Second);
    TColorClipElement B(MakeColor(0, 0, 200), 2 * Second);
    A.MoveTo(Track, -3, 0);
    B.MoveTo(Track, -3, Second);
    TTransitionElement Fade(&A, false, Second, Second, &B, CrossFadeIndex);
    Fade.MoveTo(Track);
    TEffectElement Effect(1, TEffectTimeMode::Whole, 0);
    Effect.AttachToClip(&B);

    TTimeline Copy(Timeline, {VideoPresetCustom, 320, 240, 16}, {AudioPresetCustom, 2, 16, 44100});
    TTimelineTrack* Copied = Copy.Track(1);
    ASSERT_EQ(Copied->ClipCount(), 2);
    EXPECT_EQ(Copied->TransitionCount(), 1);
    EXPECT_EQ(Copied->Clip(2)->ClipEffects().size(), 1u);
    EXPECT_NE(Copied->Clip(2)->ClipEffects()[0]->VideoEffect(), nullptr);
    EXPECT_EQ(Copied->Clip(1)->OutgoingTransition(), Copied->Clip(2)->IncomingTransition());

    TMediaRenderer CopyRenderer(Copy.Platform());
    TVideoFrame Original, Rendered;
    Renderer.RenderVideo(Second + Second / 4, Original);
    CopyRenderer.RenderVideo(Second + Second / 4, Rendered);
    EXPECT_EQ(Rendered.Pixel(160, 120), Original.Pixel(160, 120));
}

} // namespace

namespace {

// Two file clips joined by a wipe, then a colour clip, with a title on an
// overlay track: each shows at its own times.
TEST(RenderTimelineEndToEnd, FileClipsWipeColourClipAndTitle) {
    TTempFolder Folder;
    auto Clip = [&](const char* Name, uint8_t R, uint8_t G, uint8_t B) {
        TTestVideoOptions Options;
        Options.Width = 160;
        Options.Height = 120;
        Options.FrameCount = 75; // 3 s
        Options.Painter = SolidColor(R, G, B);
        WriteTestVideo(Folder.Path(Name), Options);
        return Folder.Path(Name);
    };
    TTimeline Timeline;
    TTimelineTrack* Video = Timeline.Track(1);
    Timeline.AddTrack(TTimelineTrackKind::ABVideo, 0);
    TTimelineTrack* Overlay = Timeline.Track(2);
    TFileClipElement Red(Clip("red.avi", 230, 20, 20), true, true, -1);
    TFileClipElement Blue(Clip("blue.avi", 20, 20, 230), true, true, -1);
    TColorClipElement Green(MakeColor(0, 200, 0), 2 * Second);
    Red.MoveTo(Video, -3, 0);
    Blue.MoveTo(Video, -3, 2 * Second);
    Green.MoveTo(Video, -3, 5 * Second);
    TTransitionElement Wipe(&Red, false, Second, 2 * Second, &Blue, FirstWipeIndex);
    Wipe.MoveTo(Video);
    TTextClipDescriptor Title;
    Title.SetText("The End");
    TTextClipElement Text(Title, 2 * Second);
    Text.MoveTo(Overlay, -3, 5 * Second);

    TMediaRenderer Renderer(Timeline.Platform());
    TVideoFrame Frame;
    auto Middle = [&](TVideoTime T) {
        Renderer.RenderVideo(T, Frame);
        return Frame.Pixel(Frame.Width() / 2, Frame.Height() * 9 / 10);
    };
    EXPECT_GT(int(Middle(Second) & 0xFF), 200);             // red
    EXPECT_GT(int((Middle(4 * Second) >> 16) & 0xFF), 200); // blue
    EXPECT_EQ(Middle(6 * Second), MakeColor(0, 200, 0));    // green below the title
    // Half-way through the wipe both clips are on screen.
    Renderer.RenderVideo(2 * Second + Second / 2, Frame);
    int Reds = 0, Blues = 0;
    for (int32_t X = 0; X < Frame.Width(); ++X) {
        TColor P = Frame.Pixel(X, Frame.Height() / 2);
        Reds += (P & 0xFF) > 180;
        Blues += ((P >> 16) & 0xFF) > 180;
    }
    EXPECT_GT(Reds, 0);
    EXPECT_GT(Blues, 0);
    // The title lights pixels over the green clip.
    Renderer.RenderVideo(6 * Second, Frame);
    int Lit = 0;
    for (int32_t Y = 0; Y < Frame.Height(); ++Y)
        for (int32_t X = 0; X < Frame.Width(); ++X)
            Lit += (Frame.Pixel(X, Y) & 0xFF) > 180;
    EXPECT_GT(Lit, 20);
    EXPECT_EQ(Middle(7 * Second), MakeColor(0, 0, 0));
}

} // namespace
