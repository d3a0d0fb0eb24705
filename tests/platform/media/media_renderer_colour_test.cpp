// Compositing rules checked with generated colour sources, no media files.

#include "platform/graphics/color.h"
#include "platform/media/media_renderer.h"
#include "platform/media/media_timeline.h"
#include "platform/media/video_frame.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace {

constexpr TVideoTime Second = 10000000;
constexpr TVideoTime Frame = 400000; // 25 frames per second

const TColor Red = MakeColor(255, 0, 0), Blue = MakeColor(0, 0, 255), Black = MakeColor(0, 0, 0);

std::string Argb(TColor Color) {
    char Text[16];
    std::snprintf(Text, sizeof Text, "0x%08X", ColorToBgraWord(Color));
    return Text;
}

TMediaSource* AddColor(TMediaTrack* Track, TVideoTime Start, TVideoTime Stop, TColor Color) {
    auto Source = std::make_unique<TMediaSource>();
    Source->SetSubObjectClassId(MediaClassIds::ColorSource());
    Source->SetStartStop(Start, Stop);
    Source->SetMediaTimes(0, Stop - Start);
    TPropertySetter Properties;
    Properties.SetValue("color", Argb(Color));
    Source->SetProperties(std::move(Properties));
    return Track->SrcAdd(std::move(Source));
}

TMediaTransition* AddTransition(TMediaLayer* Layer, const TGuid& Id, TVideoTime Start,
                                TVideoTime Stop) {
    auto Transition = std::make_unique<TMediaTransition>();
    Transition->SetSubObjectClassId(Id);
    Transition->SetStartStop(Start, Stop);
    return Layer->TransAdd(std::move(Transition));
}

class MediaRendererColour : public ::testing::Test {
protected:
    TColor At(TVideoTime Time, int32_t X = 8, int32_t Y = 6) {
        Renderer.RenderVideo(Time, Picture);
        return Picture.Pixel(X, Y);
    }

    TMediaTimeline Timeline;
    TMediaGroup* Video = Timeline.AddGroup(TMediaGroup::Video({16, 12, Frame}));
    TMediaRenderer Renderer{Timeline};
    TVideoFrame Picture;
};

TEST_F(MediaRendererColour, EmptyTimelineIsBlackOfTheGroupSize) {
    EXPECT_EQ(At(0), Black);
    EXPECT_EQ(Picture.Width(), 16);
    EXPECT_EQ(Picture.Height(), 12);
}

TEST_F(MediaRendererColour, ClipsShowTheirColourAndGapsAreBlackFromTheExactFrame) {
    TMediaTrack* Track = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    AddColor(Track, 0, 2 * Second, Red);
    AddColor(Track, 3 * Second, 4 * Second, Blue);
    EXPECT_EQ(At(0), Red);
    EXPECT_EQ(At(2 * Second - Frame), Red);
    EXPECT_EQ(At(2 * Second), Black);
    EXPECT_EQ(At(3 * Second - 1), Black);
    EXPECT_EQ(At(3 * Second), Blue);
    EXPECT_EQ(At(4 * Second), Black);
}

TEST_F(MediaRendererColour, HigherPriorityCoversAndItsGapsShowWhatLiesBeneath) {
    TMediaTrack* Bottom = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    TMediaTrack* Top = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    AddColor(Bottom, 0, 4 * Second, Red);
    AddColor(Top, Second, 2 * Second, Blue);
    EXPECT_EQ(At(0), Red);
    EXPECT_EQ(At(Second), Blue);
    EXPECT_EQ(At(3 * Second), Red);
}

TEST_F(MediaRendererColour, TranslucentLayerNeedsTheKeyTransitionToBlend) {
    TMediaTrack* Bottom = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    auto* Overlay = Video->VTrackInsBefore(std::make_unique<TMediaComposition>(), -1);
    TMediaTrack* Title = Overlay->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    AddColor(Bottom, 0, 4 * Second, Blue);
    AddColor(Title, 0, 4 * Second, MakeColor(255, 0, 0, 0)); // fully transparent
    // Without keying the transparent layer replaces the picture: black shows.
    EXPECT_EQ(At(Second), Black);
    AddTransition(Overlay, MediaClassIds::KeyTransition(), 0, 4 * Second);
    EXPECT_EQ(At(Second), Blue);
}

TEST_F(MediaRendererColour, KeyTransitionBlendsByAlpha) {
    TMediaTrack* Bottom = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    TMediaTrack* Top = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    AddColor(Bottom, 0, Second, MakeColor(0, 0, 200));
    AddColor(Top, 0, Second, MakeColor(200, 0, 0, 128));
    AddTransition(Top, MediaClassIds::KeyTransition(), 0, Second);
    TColor P = At(0);
    EXPECT_NEAR(int(P & 0xFF), 100, 1);
    EXPECT_NEAR(int((P >> 16) & 0xFF), 100, 1);
}

TEST_F(MediaRendererColour, CrossFadeFollowsTheTransitionRangeAndSwapInputsReverses) {
    TMediaTrack* A = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    TMediaTrack* B = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    AddColor(A, 0, 2 * Second, MakeColor(0, 0, 0));
    AddColor(B, Second, 3 * Second, MakeColor(200, 200, 200));
    TMediaTransition* Fade =
        AddTransition(B, MediaClassIds::CrossFadeTransition(), Second, 2 * Second);
    EXPECT_EQ(At(Second) & 0xFF, 0u);
    EXPECT_NEAR(int(At(Second + Second / 2) & 0xFF), 100, 1);
    EXPECT_NEAR(int(At(Second + Second * 3 / 4) & 0xFF), 150, 1);
    EXPECT_EQ(At(2 * Second), MakeColor(200, 200, 200));
    Fade->SetSwapInputs(true);
    EXPECT_NEAR(int(At(Second + Second * 3 / 4) & 0xFF), 50, 1);
}

TEST_F(MediaRendererColour, TransitionOverAGapFadesFromTransparentBlack) {
    TMediaTrack* B = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    AddColor(B, 0, 2 * Second, MakeColor(200, 0, 0));
    AddTransition(B, MediaClassIds::CrossFadeTransition(), 0, Second);
    EXPECT_NEAR(int(At(Second / 2) & 0xFF), 100, 1);
}

TEST_F(MediaRendererColour, TransitionProgressKeysOverrideTheTimeShare) {
    TMediaTrack* A = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    TMediaTrack* B = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    AddColor(A, 0, 2 * Second, MakeColor(0, 0, 0));
    AddColor(B, 0, 2 * Second, MakeColor(200, 0, 0));
    auto Transition = std::make_unique<TMediaTransition>();
    Transition->SetSubObjectClassId(MediaClassIds::CrossFadeTransition());
    Transition->SetStartStop(0, 2 * Second);
    TPropertySetter Properties;
    Properties.AddValue("progress", 0, "1");
    Properties.AddValue("progress", 2 * Second, "0", TKeyBlend::Interpolate);
    Transition->SetProperties(std::move(Properties));
    B->TransAdd(std::move(Transition));
    EXPECT_NEAR(int(At(Second / 2) & 0xFF), 150, 1);
}

TEST_F(MediaRendererColour, ChangedNodesAreRenderedAnew) {
    TMediaTrack* Track = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    TMediaSource* Source = AddColor(Track, 0, Second, Red);
    EXPECT_EQ(At(0), Red);
    TPropertySetter Properties;
    Properties.SetValue("color", Argb(Blue));
    Source->SetProperties(std::move(Properties));
    EXPECT_EQ(At(0), Blue);
}

TEST_F(MediaRendererColour, MutedTrackShowsNothing) {
    TMediaTrack* Track = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    AddColor(Track, 0, Second, Red);
    Track->SetMuted(true);
    EXPECT_EQ(At(0), Black);
}

} // namespace
