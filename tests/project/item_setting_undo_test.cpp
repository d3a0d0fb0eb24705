#include "project/item_setting_undo.h"

#include "project/item_setting.h"
#include "project/project.h"
#include "project/project_defaults.h"
#include "project/track.h"
#include "project/track_settings.h"
#include "project/undo_history.h"
#include "render/timeline_track.h"
#include "test_settings_item.h"
#include "undo_round_trip.h"

#include <gtest/gtest.h>

namespace {

class ItemSettingUndoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ProjectDefaults().SetBuiltIn();
        Project->New();
        ASSERT_EQ(History.Count(), 0);
    }
    void TearDown() override { EmptyUndoHistory(); }

    // The new project's tracks: kind 1 with mute, volume and background
    // colour; kinds 2 and 3 with mute and volume.
    TTrack* Video() const { return Project->Track(0); }
    TTrack* Audio1() const { return Project->Track(1); }
    TTrack* Audio2() const { return Project->Track(2); }

    TUndoHistory& History = UndoHistory();
    TRefPtr<TProject> Project{new TProject};
};

TEST_F(ItemSettingUndoTest, EachSettingEditIsUndoneAndRedoneExactly) {
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Video()->Mute()->SetValue(true); }));
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Audio1()->Mute()->SetValue(true); }));
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Audio2()->Volume()->SetValue(37.5); }));
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Video()->Volume()->SetValue(1000); }));
    EXPECT_TRUE(UndoRoundTrip(
        *Project, [&] { Video()->BackgroundColor()->SetValue(MakeColor(200, 100, 50, 255)); }));
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Audio2()->Volume()->SetValue(0); }));
}

TEST_F(ItemSettingUndoTest, GroupedEditsOfSeveralTracksAreOneStepUndoneExactly) {
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] {
        TUndoGroupGuard Group(History, "Mute all");
        Video()->Mute()->SetValue(true);
        Audio1()->Mute()->SetValue(true);
        Audio2()->Mute()->SetValue(true);
        Audio1()->Volume()->SetValue(250);
        // The same setting twice in one step: undo must reach the first value.
        Video()->BackgroundColor()->SetValue(MakeColor(1, 2, 3, 255));
        Video()->BackgroundColor()->SetValue(MakeColor(4, 5, 6, 255));
    }));
    EXPECT_EQ(History.UndoText(), "Mute all");
}

TEST_F(ItemSettingUndoTest, SequenceOfGroupedAndSingleEditsUnwindsAndRewindsExactly) {
    EXPECT_TRUE(UndoSequenceRoundTrip(
        *Project, {
                      [&] { Video()->Volume()->SetValue(80); },
                      [&] {
                          TUndoGroupGuard Group(History, "Balance");
                          Audio1()->Volume()->SetValue(120);
                          Audio2()->Volume()->SetValue(60);
                      },
                      [&] { Video()->Volume()->SetValue(90); },
                      [&] { Video()->BackgroundColor()->SetValue(MakeColor(0, 0, 255, 128)); },
                      [&] {
                          TUndoGroupGuard Group(History, "Silence");
                          TUndoGroupGuard Inner(History, "Inner");
                          Audio1()->Mute()->SetValue(true);
                          Audio2()->Mute()->SetValue(true);
                      },
                      [&] { Audio1()->Mute()->SetValue(false); },
                  }));
}

TEST_F(ItemSettingUndoTest, ReplayedValuesReachTheRenderTracks) {
    Video()->Volume()->SetValue(50);
    Video()->Mute()->SetValue(true);
    Video()->BackgroundColor()->SetValue(MakeColor(255, 0, 0));
    History.Undo();
    History.Undo();
    History.Undo();
    EXPECT_DOUBLE_EQ(Video()->RenderTrack()->Volume(), 1.0);
    EXPECT_FALSE(Video()->RenderTrack()->Muted());
    EXPECT_EQ(Video()->RenderTrack()->BackgroundColor(), 0u);
    History.Redo();
    History.Redo();
    History.Redo();
    EXPECT_DOUBLE_EQ(Video()->RenderTrack()->Volume(), 0.5);
    EXPECT_TRUE(Video()->RenderTrack()->Muted());
    EXPECT_EQ(Video()->RenderTrack()->BackgroundColor(), MakeColor(255, 0, 0));
}

// Two settings under one caption, told apart by their keys only.
class TTwinItem : public TItem {
public:
    TTwinItem() {
        Left = AddSetting<TBoolItemSetting>("Left", "Same caption", false);
        Right = AddSetting<TBoolItemSetting>("Right", "Same caption", false);
    }
    TProjectChanges* Changes() const override { return nullptr; }
    TBoolItemSetting* Left;
    TBoolItemSetting* Right;
};

TEST_F(ItemSettingUndoTest, RecordFindsItsSettingByKeyNotByCaption) {
    TRefPtr<TTwinItem> Item(new TTwinItem);
    Item->Right->SetValue(true);
    History.Undo();
    EXPECT_FALSE(Item->Right->Value());
    EXPECT_FALSE(Item->Left->Value());
    History.Redo();
    EXPECT_TRUE(Item->Right->Value());
    EXPECT_FALSE(Item->Left->Value());
}

TEST_F(ItemSettingUndoTest, EveryTypedRecordRestoresItsSetting) {
    TRefPtr<TSettingsItem> Item(new TSettingsItem);
    Item->Flag->SetValue(true);
    Item->Tint->SetValue(0x80112233u);
    Item->Shape->SetValue(5);
    Item->Amount->SetValue(-20);
    Item->Ratio->SetValue(1.25);
    Item->Level->SetValue(50);
    for (int I = 0; I < 6; ++I)
        History.Undo();
    EXPECT_FALSE(Item->Flag->Value());
    EXPECT_EQ(Item->Tint->Value(), 0xFF000000u);
    EXPECT_EQ(Item->Shape->Value(), 0);
    EXPECT_EQ(Item->Amount->Value(), 10);
    EXPECT_EQ(Item->Ratio->Value(), 0.5);
    EXPECT_EQ(Item->Level->Value(), 100);
    for (int I = 0; I < 6; ++I)
        History.Redo();
    EXPECT_TRUE(Item->Flag->Value());
    EXPECT_EQ(Item->Tint->Value(), 0x80112233u);
    EXPECT_EQ(Item->Shape->Value(), 5);
    EXPECT_EQ(Item->Amount->Value(), -20);
    EXPECT_EQ(Item->Ratio->Value(), 1.25);
    EXPECT_EQ(Item->Level->Value(), 50);
    EXPECT_EQ(History.Count(), 6);
    EXPECT_EQ(Item->ApplyCount, 18);
}

TEST_F(ItemSettingUndoTest, RecordKeepsItsItemAliveUntilTheHistoryLetsGo) {
    int Freed = 0;
    TSettingsItem* Raw = new TSettingsItem(&Freed);
    {
        TRefPtr<TSettingsItem> Item(Raw);
        Item->Amount->SetValue(99);
        Item->Amount->SetValue(50);
    }
    EXPECT_EQ(Freed, 0);
    EXPECT_EQ(Raw->RefCount(), 2);
    History.Undo();
    EXPECT_EQ(Raw->Amount->Value(), 99);
    History.ClearUndo(); // the undone record goes too, and with it the item
    EXPECT_EQ(Freed, 1);
}

TEST_F(ItemSettingUndoTest, TrackRemovedFromTheProjectIsStillRestored) {
    TTrack* Removed = Audio1();
    Removed->Volume()->SetValue(50);
    Project->DeleteTrack(1);
    EXPECT_EQ(Removed->Project(), nullptr);
    // Steps made by the deletion itself are taken out and freed, so that the
    // volume record is left as the track's only holder.
    while (History.Count() > 1)
        History.UndoRemove(History.Record(History.Count() - 1));
    EXPECT_EQ(Removed->RefCount(), 1);
    History.Undo();
    EXPECT_EQ(Removed->Volume()->Value(), 100);
    History.Redo();
    EXPECT_EQ(Removed->Volume()->Value(), 50);
}

} // namespace
