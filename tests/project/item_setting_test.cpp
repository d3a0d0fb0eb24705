#include "project/item_setting.h"

#include "core/data.h"
#include "project/item_setting_undo.h"
#include "project/project.h"
#include "project/project_defaults.h"
#include "project/track.h"
#include "project/track_settings.h"
#include "project/undo_history.h"
#include "test_project_fixture.h"
#include "test_settings_item.h"
#include "undo_round_trip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

class ItemSettingTest : public ::testing::Test {
protected:
    void SetUp() override { EmptyUndoHistory(); }
    void TearDown() override { EmptyUndoHistory(); }

    TUndoHistory& History = UndoHistory();
    TRefPtr<TSettingsItem> Item{new TSettingsItem};
};

TEST_F(ItemSettingTest, VolumeOfAThousandStoresEightHundredAndRecordsOneStep) {
    Item->Level->SetValue(1000);
    EXPECT_EQ(Item->Level->Value(), 800);
    ASSERT_EQ(History.Count(), 1);
    auto* Record = dynamic_cast<TVolumeItemSettingUndo*>(History.Record(0));
    ASSERT_NE(Record, nullptr);
    EXPECT_EQ(Record->Text(), Item->Level->Caption());
    EXPECT_EQ(Record->Item(), Item.Get());
    EXPECT_EQ(Record->Key(), "Level");
    EXPECT_EQ(Record->Value(), 100); // the value before the edit

    Item->Level->SetValue(900); // clamped to the value it already has
    EXPECT_EQ(History.Count(), 1);
}

TEST_F(ItemSettingTest, SettingTheCurrentValueRecordsNothing) {
    Item->Flag->SetValue(false);
    Item->Tint->SetValue(0xFF000000u);
    Item->Shape->SetValue(0);
    Item->Amount->SetValue(10);
    Item->Ratio->SetValue(0.5);
    Item->Level->SetValue(100);
    EXPECT_EQ(History.Count(), 0);
    EXPECT_EQ(Item->ApplyCount, 0);
}

TEST_F(ItemSettingTest, EveryTypedSettingRecordsItsOwnRecordWithTheOldValue) {
    Item->Flag->SetValue(true);
    Item->Tint->SetValue(0x80112233u);
    Item->Shape->SetValue(1);
    Item->Amount->SetValue(-20);
    Item->Ratio->SetValue(1.25);
    Item->Level->SetValue(50);
    ASSERT_EQ(History.Count(), 6);
    auto* Flag = dynamic_cast<TBoolItemSettingUndo*>(History.Record(0));
    auto* Tint = dynamic_cast<TColorItemSettingUndo*>(History.Record(1));
    auto* Shape = dynamic_cast<TEnumItemSettingUndo*>(History.Record(2));
    auto* Amount = dynamic_cast<TIntegerItemSettingUndo*>(History.Record(3));
    auto* Ratio = dynamic_cast<TFloatItemSettingUndo*>(History.Record(4));
    auto* Level = dynamic_cast<TVolumeItemSettingUndo*>(History.Record(5));
    ASSERT_TRUE(Flag && Tint && Shape && Amount && Ratio && Level);
    EXPECT_EQ(Flag->Value(), false);
    EXPECT_EQ(Tint->Value(), 0xFF000000u);
    EXPECT_EQ(Shape->Value(), 0);
    EXPECT_EQ(Amount->Value(), 10);
    EXPECT_EQ(Ratio->Value(), 0.5);
    EXPECT_EQ(Level->Value(), 100);
    EXPECT_EQ(Amount->Text(), "Amount");
    EXPECT_EQ(Item->ApplyCount, 6);
}

TEST_F(ItemSettingTest, IntegerAndFloatAreClampedBeforeTheyCompare) {
    Item->Amount->SetValue(100);
    Item->Amount->SetValue(250);
    EXPECT_EQ(Item->Amount->Value(), 100);
    Item->Amount->SetValue(std::numeric_limits<int32_t>::min());
    EXPECT_EQ(Item->Amount->Value(), -100);
    Item->Ratio->SetValue(-1);
    EXPECT_EQ(Item->Ratio->Value(), 0);
    Item->Ratio->SetValue(std::nan(""));
    EXPECT_EQ(Item->Ratio->Value(), 0);
    EXPECT_EQ(History.Count(), 3);
}

TEST_F(ItemSettingTest, FloatsCompareExactly) {
    Item->Ratio->SetValue(0.1 + 0.2);
    Item->Ratio->SetValue(0.3);
    EXPECT_EQ(History.Count(), 2);
}

TEST_F(ItemSettingTest, EnumerationValuesAreNotClamped) {
    Item->Shape->SetValue(7);
    EXPECT_EQ(Item->Shape->Value(), 7);
    Item->Shape->SetValue(-1);
    EXPECT_EQ(Item->Shape->Value(), -1);
    EXPECT_EQ(History.Count(), 2);
}

TEST_F(ItemSettingTest, EachSettingIsRefreshedFromTheRenderSideOnceWhenCreated) {
    EXPECT_EQ(Item->RefreshCount, Item->SettingCount());
    EXPECT_EQ(Item->ApplyCount, 0);
}

TEST_F(ItemSettingTest, StateChangesOnlyWhenItDiffers) {
    EXPECT_EQ(Item->Amount->State(), TSettingState::Offered);
    Item->Amount->SetState(TSettingState::Offered);
    EXPECT_EQ(Item->StateChangedCount, 0);
    Item->Amount->SetState(TSettingState::Hidden);
    EXPECT_EQ(Item->Amount->State(), TSettingState::Hidden);
    Item->Amount->SetState(TSettingState::Hidden);
    EXPECT_EQ(Item->StateChangedCount, 1);
    Item->Amount->SetState(TSettingState::Offered);
    EXPECT_EQ(Item->StateChangedCount, 2);
    EXPECT_EQ(History.Count(), 0);
    EXPECT_EQ(Item->ApplyCount, 0);
}

TEST_F(ItemSettingTest, NewRangeAppliesWithoutRecording) {
    Item->Amount->SetRange(5, 0, 1, 10);
    EXPECT_EQ(Item->Amount->Value(), 5);
    EXPECT_EQ(Item->Amount->Min(), 0);
    EXPECT_EQ(Item->Amount->Default(), 1);
    EXPECT_EQ(Item->Amount->Max(), 10);
    Item->Amount->SetRange(5, 0, 1, 10);
    Item->Ratio->SetRange(0.5, 0.0, 0.25, 4.0);
    EXPECT_EQ(Item->Ratio->Max(), 4.0);
    EXPECT_EQ(Item->ApplyCount, 2);
    EXPECT_EQ(History.Count(), 0);
    Item->Amount->SetValue(50);
    EXPECT_EQ(Item->Amount->Value(), 10);
}

TEST_F(ItemSettingTest, AnyOneOfTheFourRangeValuesChangingApplies) {
    Item->Amount->SetRange(10, -100, 0, 101);
    Item->Amount->SetRange(10, -100, 1, 101);
    Item->Amount->SetRange(10, -99, 1, 101);
    Item->Amount->SetRange(11, -99, 1, 101);
    EXPECT_EQ(Item->ApplyCount, 4);
    Item->Ratio->SetRange(0.5, 0.0, 1.0, 2.5);
    Item->Ratio->SetRange(0.5, 0.0, 1.5, 2.5);
    Item->Ratio->SetRange(0.5, 0.25, 1.5, 2.5);
    Item->Ratio->SetRange(0.75, 0.25, 1.5, 2.5);
    EXPECT_EQ(Item->ApplyCount, 8);
    EXPECT_EQ(Item->Ratio->Min(), 0.25);
    EXPECT_EQ(Item->Ratio->Default(), 1.5);
    EXPECT_EQ(History.Count(), 0);
}

TEST_F(ItemSettingTest, StoredValuesOutsideTheRangeAreClampedOnLoad) {
    TData Data;
    Data.LoadFromText("Amount = 250\r\nRatio = -3.5\r\nShape = 9\r\nLevel = -5.00000000\r\n"
                      "Flag = True\r\nTint.R = 1\r\nTint.G = 2\r\nTint.B = 3\r\nTint.A = 4\r\n");
    for (int32_t I = 0; I < Item->SettingCount(); ++I)
        Item->Setting(I)->Load(Data);
    EXPECT_EQ(Item->Amount->Value(), 100);
    EXPECT_EQ(Item->Ratio->Value(), 0);
    EXPECT_EQ(Item->Shape->Value(), 9);
    EXPECT_EQ(Item->Level->Value(), 0);
    EXPECT_TRUE(Item->Flag->Value());
    EXPECT_EQ(Item->Tint->Value(), MakeColor(1, 2, 3, 4));
    EXPECT_EQ(History.Count(), 0);
}

TEST_F(ItemSettingTest, UnreadableStoredValuesKeepTheCurrentValue) {
    Item->Flag->SetValue(true);
    Item->Tint->SetValue(MakeColor(1, 2, 3, 4));
    Item->Shape->SetValue(1);
    Item->Amount->SetValue(-42);
    Item->Ratio->SetValue(1.5);
    Item->Level->SetValue(12.5);
    TData Data;
    Data.LoadFromText("Flag = maybe\r\nTint.R = red\r\nTint.B = 99\r\nShape = one\r\n"
                      "Amount = x1\r\nRatio = nan\r\nLevel = \r\n");
    for (int32_t I = 0; I < Item->SettingCount(); ++I)
        Item->Setting(I)->Load(Data);
    EXPECT_TRUE(Item->Flag->Value());
    EXPECT_EQ(Item->Tint->Value(), MakeColor(1, 2, 99, 4)); // each byte on its own
    EXPECT_EQ(Item->Shape->Value(), 1);
    EXPECT_EQ(Item->Amount->Value(), -42);
    EXPECT_EQ(Item->Ratio->Value(), 1.5);
    EXPECT_EQ(Item->Level->Value(), 12.5);
}

TEST_F(ItemSettingTest, SavedValuesLoadBackIntoAFreshItem) {
    Item->Flag->SetValue(true);
    Item->Tint->SetValue(MakeColor(10, 20, 30, 40));
    Item->Shape->SetValue(1);
    Item->Amount->SetValue(-42);
    Item->Ratio->SetValue(1.125);
    Item->Level->SetValue(12.5);
    TData Data;
    for (int32_t I = 0; I < Item->SettingCount(); ++I)
        Item->Setting(I)->Save(Data);
    EXPECT_EQ(Data.SaveToText(), "Flag = True\r\n"
                                 "Tint.R = 10\r\nTint.G = 20\r\nTint.B = 30\r\nTint.A = 40\r\n"
                                 "Shape = 1\r\n"
                                 "Amount = -42\r\n"
                                 "Ratio = 1.12500000\r\n"
                                 "Level = 12.50000000\r\n");
    TRefPtr<TSettingsItem> Fresh(new TSettingsItem);
    for (int32_t I = 0; I < Fresh->SettingCount(); ++I)
        Fresh->Setting(I)->Load(Data);
    EXPECT_TRUE(Fresh->Flag->Value());
    EXPECT_EQ(Fresh->Tint->Value(), MakeColor(10, 20, 30, 40));
    EXPECT_EQ(Fresh->Shape->Value(), 1);
    EXPECT_EQ(Fresh->Amount->Value(), -42);
    EXPECT_EQ(Fresh->Ratio->Value(), 1.125);
    EXPECT_EQ(Fresh->Level->Value(), 12.5);
}

// A record that, while it is replayed, edits a setting the way a listener or
// a compound record might.
class TEditingUndo : public TUndo {
public:
    explicit TEditingUndo(TBoolItemSetting* Setting) : TUndo("Edit"), FSetting(Setting) {}

protected:
    void Exchange() override { FSetting->SetValue(!FSetting->Value()); }

private:
    TBoolItemSetting* FSetting;
};

TEST_F(ItemSettingTest, SettingChangedWhileReplayingStoresWithoutRecording) {
    History.Add(std::make_unique<TEditingUndo>(Item->Flag));
    History.Undo();
    EXPECT_TRUE(Item->Flag->Value());
    EXPECT_EQ(Item->ApplyCount, 1);
    EXPECT_EQ(History.Count(), 1);
    EXPECT_TRUE(History.CanRedo());
}

TEST_F(ItemSettingTest, TrackSettingEditIsOneRecordInsideOneProjectChange) {
    ProjectDefaults().SetBuiltIn();
    TRefPtr<TProject> Project(new TProject);
    Project->New();
    TChangeRecorder Recorder(*Project);
    Project->Track(1)->Volume()->SetValue(1000);
    EXPECT_EQ(Project->Track(1)->Volume()->Value(), 800);
    EXPECT_EQ(Recorder.Flags(), std::vector<TProjectChangeFlags>{ProjectChangeTrackAudio});
    ASSERT_EQ(History.Count(), 1);
    EXPECT_EQ(History.UndoText(), Project->Track(1)->Volume()->Caption());
}

} // namespace
