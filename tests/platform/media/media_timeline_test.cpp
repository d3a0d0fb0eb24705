#include "platform/media/media_timeline.h"

#include "platform/media/media_error.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TMediaSource> ColorSource(TVideoTime Start, TVideoTime Stop, const char* Argb) {
    auto Source = std::make_unique<TMediaSource>();
    Source->SetSubObjectClassId(MediaClassIds::ColorSource());
    Source->SetStartStop(Start, Stop);
    Source->SetMediaTimes(0, Stop - Start);
    TPropertySetter Properties;
    Properties.SetValue("color", Argb);
    Source->SetProperties(std::move(Properties));
    return Source;
}

TEST(MediaTimeline, LayersTakeThePriorityTheyAreInsertedAt) {
    TMediaTimeline Timeline;
    TMediaGroup* Group = Timeline.AddGroup(TMediaGroup::Video({}));
    TMediaTrack* A = Group->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    TMediaTrack* B = Group->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    TMediaComposition* C = Group->VTrackInsBefore(std::make_unique<TMediaComposition>(), 1);
    EXPECT_EQ(A->Priority(), 0);
    EXPECT_EQ(C->Priority(), 1);
    EXPECT_EQ(B->Priority(), 2);
    EXPECT_EQ(C->Group(), Group);
    Group->RemoveLayer(C);
    EXPECT_EQ(B->Priority(), 1);
}

TEST(MediaTimeline, SourcesAreFoundByTimeAndGapsHaveNone) {
    TMediaTimeline Timeline;
    TMediaTrack* Track =
        Timeline.AddGroup(TMediaGroup::Video({}))->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    Track->SrcAdd(ColorSource(20, 30, "0xFF0000FF"));
    Track->SrcAdd(ColorSource(0, 10, "0xFFFF0000"));
    EXPECT_EQ(Track->SourceAt(0)->Start(), 0);
    EXPECT_EQ(Track->SourceAt(9)->Start(), 0);
    EXPECT_EQ(Track->SourceAt(10), nullptr);
    EXPECT_EQ(Track->SourceAt(25)->Start(), 20);
    EXPECT_EQ(Track->SourceAt(30), nullptr);
    EXPECT_EQ(Track->Duration(), 30);
    EXPECT_EQ(Timeline.Duration(), 30);
}

TEST(MediaTimeline, UnknownClassIdsAndUnreadableMediaRaiseWhenAdded) {
    TMediaTimeline Timeline;
    TMediaTrack* Track =
        Timeline.AddGroup(TMediaGroup::Video({}))->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    auto Unknown = ColorSource(0, 10, "0");
    Unknown->SetSubObjectClassId(GuidFromText("{00000000-1111-2222-3333-444444444444}"));
    EXPECT_THROW(Track->SrcAdd(std::move(Unknown)), EMediaError);

    auto Missing = std::make_unique<TMediaSource>();
    Missing->SetMediaName("/nonexistent/clip.avi");
    EXPECT_THROW(Track->SrcAdd(std::move(Missing)), EMediaError);

    auto Effect = std::make_unique<TMediaEffect>();
    Effect->SetSubObjectClassId(GuidFromText("{00000000-1111-2222-3333-444444444444}"));
    EXPECT_THROW(Track->EffectInsBefore(std::move(Effect), -1), EMediaError);
    auto Transition = std::make_unique<TMediaTransition>();
    EXPECT_THROW(Track->TransAdd(std::move(Transition)), EMediaError);
    EXPECT_TRUE(Track->Sources().empty());
    EXPECT_TRUE(Track->Effects().empty());
}

TEST(MediaTimeline, OverlappingTransitionsOnOneLayerAreRefused) {
    TMediaTimeline Timeline;
    TMediaTrack* Track =
        Timeline.AddGroup(TMediaGroup::Video({}))->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    auto First = std::make_unique<TMediaTransition>();
    First->SetSubObjectClassId(MediaClassIds::CrossFadeTransition());
    First->SetStartStop(10, 20);
    Track->TransAdd(std::move(First));
    auto Second = std::make_unique<TMediaTransition>();
    Second->SetSubObjectClassId(MediaClassIds::CrossFadeTransition());
    Second->SetStartStop(15, 25);
    EXPECT_THROW(Track->TransAdd(std::move(Second)), EMediaError);
    auto Third = std::make_unique<TMediaTransition>();
    Third->SetSubObjectClassId(MediaClassIds::CrossFadeTransition());
    Third->SetStartStop(20, 25);
    EXPECT_NO_THROW(Track->TransAdd(std::move(Third)));
    EXPECT_EQ(Track->TransitionAt(19)->Start(), 10);
    EXPECT_EQ(Track->TransitionAt(20)->Start(), 20);
}

TEST(MediaTimeline, EffectsAreNumberedByPriority) {
    TMediaTimeline Timeline;
    TMediaGroup* Audio = Timeline.AddGroup(TMediaGroup::Audio({}));
    auto Make = [] {
        auto Effect = std::make_unique<TMediaEffect>();
        Effect->SetSubObjectClassId(MediaClassIds::AudioVolumeEnvelope());
        return Effect;
    };
    TMediaEffect* A = Audio->EffectInsBefore(Make(), -1);
    TMediaEffect* B = Audio->EffectInsBefore(Make(), 0);
    EXPECT_EQ(B->Priority(), 0);
    EXPECT_EQ(A->Priority(), 1);
}

TEST(MediaTimeline, GroupsNeedAUsableFormat) {
    TMediaTimeline Timeline;
    EXPECT_THROW(Timeline.AddGroup(TMediaGroup::Video({0, 240, 400000})), EMediaError);
    EXPECT_THROW(Timeline.AddGroup(TMediaGroup::Audio({0, 44100, 16})), EMediaError);
    EXPECT_EQ(Timeline.VideoGroup(), nullptr);
}

TEST(MediaTimeline, SlowerMediaRangesSpreadOverTheTimelineRange) {
    TMediaSource Source;
    Source.SetStartStop(100, 300);
    Source.SetMediaTimes(0, 100);
    EXPECT_EQ(Source.MediaTimeAt(100), 0);
    EXPECT_EQ(Source.MediaTimeAt(200), 50);
    Source.SetMediaTimes(40, 240);
    EXPECT_EQ(Source.MediaTimeAt(150), 90);
}

} // namespace
