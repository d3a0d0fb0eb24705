#include "project/track.h"

#include "core/data.h"
#include "project/project_defaults.h"
#include "project/sub_track.h"
#include "project/track_settings.h"
#include "render/timeline.h"
#include "test_project_fixture.h"

#include <gtest/gtest.h>

namespace {

class TrackTest : public ::testing::Test {
protected:
    void SetUp() override {
        ProjectDefaults().SetBuiltIn();
        Project->New();
    }
    TRefPtr<TProject> Project{new TProject};
};

TEST_F(TrackTest, EachTrackKindRequestsItsRenderTrackLayout) {
    const TTimelineTrackKind Expected[] = {
        TTimelineTrackKind::ABVideoAudio, TTimelineTrackKind::ABVideoAudio,
        TTimelineTrackKind::ABAudio,      TTimelineTrackKind::ABAudio,
        TTimelineTrackKind::ABVideo,      TTimelineTrackKind::Effects,
    };
    Project->Clear();
    for (int32_t Kind = 0; Kind < TrackKindCount; ++Kind)
        Project->AddTrack(Kind, static_cast<TTrackKind>(Kind));
    for (int32_t Kind = 0; Kind < TrackKindCount; ++Kind) {
        TTimelineTrack* RenderTrack = Project->Track(Kind)->RenderTrack();
        ASSERT_NE(RenderTrack, nullptr);
        EXPECT_EQ(RenderTrack->Kind(), Expected[Kind]);
        EXPECT_EQ(Project->Timeline().PositionOf(RenderTrack), Kind + 1);
    }
}

TEST_F(TrackTest, RenderTracksFollowTheProjectTrackOrder) {
    TTrack* Inserted = Project->AddTrack(1, TTrackKind::Overlay);
    EXPECT_EQ(Project->Timeline().PositionOf(Inserted->RenderTrack()), 2);
    EXPECT_EQ(Project->Timeline().PositionOf(Project->Track(0)->RenderTrack()), 1);
    EXPECT_EQ(Project->Timeline().PositionOf(Project->Track(2)->RenderTrack()), 3);
}

TEST_F(TrackTest, SettingsPushTheirValuesToTheRenderTrack) {
    TTrack* Video = Project->Track(0);
    Video->Volume()->SetValue(50);
    Video->Mute()->SetValue(true);
    Video->BackgroundColor()->SetValue(MakeColor(255, 0, 0));
    EXPECT_DOUBLE_EQ(Video->RenderTrack()->Volume(), 0.5);
    EXPECT_TRUE(Video->RenderTrack()->Muted());
    EXPECT_EQ(Video->RenderTrack()->BackgroundColor(), MakeColor(255, 0, 0));
    EXPECT_TRUE(Video->RenderTrack()->HasBackground());
}

TEST_F(TrackTest, EditingASettingIsOneChangeOfTheMatchingKind) {
    TChangeRecorder Recorder(*Project);
    Project->Track(1)->Volume()->SetValue(120);
    Project->Track(0)->BackgroundColor()->SetValue(MakeColor(0, 0, 255));
    Project->Track(0)->BackgroundColor()->SetValue(MakeColor(0, 0, 255)); // unchanged
    EXPECT_EQ(Recorder.Flags(),
              (std::vector<TProjectChangeFlags>{ProjectChangeTrackAudio, ProjectChangeSettings}));
}

TEST_F(TrackTest, VolumeIsClampedWhenSetAndWhenLoaded) {
    TVolumeTrackSetting* Volume = Project->Track(1)->Volume();
    Volume->SetValue(1000);
    EXPECT_DOUBLE_EQ(Volume->Value(), 800);
    Volume->SetValue(-3);
    EXPECT_DOUBLE_EQ(Volume->Value(), 0);

    TData Data;
    Data.WriteRaw("Volume", "-5.00000000");
    Volume->SetValue(10);
    Volume->Load(Data);
    EXPECT_DOUBLE_EQ(Volume->Value(), 0);
    Data.WriteRaw("Volume", "12345");
    Volume->Load(Data);
    EXPECT_DOUBLE_EQ(Volume->Value(), 800);
    Data.WriteRaw("Volume", "loud");
    Volume->Load(Data);
    EXPECT_DOUBLE_EQ(Volume->Value(), 800);
}

TEST_F(TrackTest, BackgroundColourStartsFromTheRenderTrackAndSurvivesReattachment) {
    TRefPtr<TTrack> Track = MakeRef<TTrack>(TTrackKind::Video);
    EXPECT_EQ(Track->BackgroundColor(), nullptr);
    Project->InsertTrack(Track.Get(), 0);
    ASSERT_NE(Track->BackgroundColor(), nullptr);
    EXPECT_EQ(Track->BackgroundColor()->Value(), Track->RenderTrack()->BackgroundColor());
    Track->BackgroundColor()->SetValue(MakeColor(9, 8, 7));

    Project->RemoveTrack(Track.Get());
    Project->InsertTrack(Track.Get(), 2);
    EXPECT_EQ(Track->SettingCount(), 3);
    EXPECT_EQ(Track->RenderTrack()->BackgroundColor(), MakeColor(9, 8, 7));
}

TEST_F(TrackTest, EffectSubTracksAreAddedAfterTheOwnSubTrackAndDeletedByIndex) {
    TTrack* Track = Project->Track(1);
    TChangeRecorder Recorder(*Project);
    TSubTrack* First = Track->AddEffectSubTrack(0); // taken as 1
    TSubTrack* Second = Track->AddEffectSubTrack(1);
    ASSERT_EQ(Track->SubTrackCount(), 3);
    EXPECT_EQ(Track->SubTrack(1), Second);
    EXPECT_EQ(Track->SubTrack(2), First);
    EXPECT_EQ(First->Index(), 2);
    EXPECT_EQ(First->Track(), Track);
    EXPECT_EQ(Recorder.Flags(),
              (std::vector<TProjectChangeFlags>{ProjectChangeSubTracks, ProjectChangeSubTracks}));

    Track->DeleteEffectSubTrack(0); // the own sub-track is refused
    EXPECT_EQ(Track->SubTrackCount(), 3);
    Track->DeleteEffectSubTrack(1);
    ASSERT_EQ(Track->SubTrackCount(), 2);
    EXPECT_EQ(Track->SubTrack(1), First);
    EXPECT_EQ(First->Index(), 1);
}

TEST_F(TrackTest, ItemIndexesFollowInsertions) {
    TTrack* Track = Project->Track(0);
    auto* A = new TTestItem;
    auto* B = new TTestItem;
    auto* C = new TTestItem;
    Track->InsertItem(A, 0);
    Track->InsertItem(B, 0);
    Track->InsertItem(C, 1);
    EXPECT_EQ(B->Index(), 0);
    EXPECT_EQ(C->Index(), 1);
    EXPECT_EQ(A->Index(), 2);
    Track->RemoveItem(C);
    EXPECT_EQ(A->Index(), 1);
    EXPECT_EQ(Track->Item(1), A);
}

TEST_F(TrackTest, DestroyingAProjectLeavesItemsHeldElsewhereDetached) {
    TRefPtr<TTestItem> Held(new TTestItem);
    {
        TRefPtr<TProject> Other(new TProject);
        Other->New();
        Other->Track(0)->InsertItem(Held.Get(), 0);
    }
    EXPECT_EQ(Held->Track(), nullptr);
    EXPECT_EQ(Held->RefCount(), 1);
    EXPECT_EQ(Held->Changes(), nullptr);
}

TEST_F(TrackTest, SettingsOfADetachedTrackChangeWithoutANotifier) {
    TRefPtr<TTrack> Track = MakeRef<TTrack>(TTrackKind::Sound);
    Track->Mute()->SetValue(true);
    Track->SetSelected(true);
    EXPECT_TRUE(Track->IsSelected());
    Project->InsertTrack(Track.Get(), 0);
    EXPECT_TRUE(Track->RenderTrack()->Muted());
}

} // namespace
