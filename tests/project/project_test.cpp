#include "project/project.h"

#include "core/data.h"
#include "core/error.h"
#include "core/exception_report.h"
#include "core/file_io.h"
#include "project/project_defaults.h"
#include "project/sub_track.h"
#include "project/track.h"
#include "project/track_settings.h"
#include "render/timeline.h"
#include "test_project_fixture.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {

class ProjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        Folder = std::filesystem::temp_directory_path() /
                 ("quillmoor-project-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(Folder);
        ProjectDefaults().SetBuiltIn();
    }
    void TearDown() override { std::filesystem::remove_all(Folder); }

    std::string PathOf(const std::string& Name) const { return (Folder / Name).string(); }

    std::filesystem::path Folder;
    TRefPtr<TProject> Project{new TProject};
};

std::vector<std::string> SettingKeys(const TItem* Item) {
    std::vector<std::string> Keys;
    for (int32_t I = 0; I < Item->SettingCount(); ++I)
        Keys.push_back(Item->Setting(I)->Key());
    return Keys;
}

TEST_F(ProjectTest, NewProjectHasFiveTracksOfKindsOneToFiveWithOwnSubTracksOnly) {
    Project->New();
    ASSERT_EQ(Project->TrackCount(), 5);
    for (int32_t I = 0; I < 5; ++I) {
        TTrack* Track = Project->Track(I);
        EXPECT_EQ(Track->Kind(), static_cast<TTrackKind>(I + 1));
        EXPECT_EQ(Track->Index(), I);
        ASSERT_EQ(Track->SubTrackCount(), 1);
        EXPECT_EQ(Track->SubTrack(0)->Kind(), OwnSubTrackKind(Track->Kind()));
        EXPECT_NE(Track->RenderTrack(), nullptr);
    }
    using Keys = std::vector<std::string>;
    EXPECT_EQ(SettingKeys(Project->Track(0)), (Keys{"Mute", "Volume", "Background.Color"}));
    EXPECT_EQ(SettingKeys(Project->Track(1)), (Keys{"Mute", "Volume"}));
    EXPECT_EQ(SettingKeys(Project->Track(2)), (Keys{"Mute", "Volume"}));
    EXPECT_TRUE(SettingKeys(Project->Track(3)).empty());
    EXPECT_TRUE(SettingKeys(Project->Track(4)).empty());
    EXPECT_EQ(Project->Timeline().TrackCount(), 5);
    EXPECT_FALSE(Project->Modified());
    EXPECT_FALSE(Project->HasSelection());
    EXPECT_EQ(Project->LastKind1Index(), 0);
    EXPECT_EQ(Project->FirstKind5Index(), 4);
}

TEST_F(ProjectTest, SavedSingleAudioTrackMatchesTheDocumentedLayoutByteForByte) {
    Project->AddTrack(0, TTrackKind::Sound);
    Project->Select(nullptr, false);
    std::string File = PathOf("one.qmp");
    Project->SaveToFile(File);
    const std::string Expected = "Project:\r\n"
                                 "  Tracks:\r\n"
                                 "    Count = 1\r\n"
                                 "    Track[0]:\r\n"
                                 "      Kind = 2\r\n"
                                 "      IsSelected = False\r\n"
                                 "      Settings:\r\n"
                                 "        Mute = False\r\n"
                                 "        Volume = 100.00000000\r\n"
                                 "      end\r\n"
                                 "      SubTracks:\r\n"
                                 "        Count = 1\r\n"
                                 "        SubTrack[0]:\r\n"
                                 "          Kind = 1\r\n"
                                 "          IsSelected = False\r\n"
                                 "          Settings:\r\n"
                                 "          end\r\n"
                                 "        end\r\n"
                                 "      end\r\n"
                                 "      Items:\r\n"
                                 "        Count = 0\r\n"
                                 "      end\r\n"
                                 "    end\r\n"
                                 "  end\r\n"
                                 "  Settings:\r\n"
                                 "    Position = 0\r\n"
                                 "    Rendering:\r\n"
                                 "    end\r\n"
                                 "  end\r\n"
                                 "end\r\n";
    EXPECT_EQ(ReadFileBytes(File), Expected);
    EXPECT_EQ(Project->FileName(), File);
    EXPECT_FALSE(Project->Modified());
}

TEST_F(ProjectTest, SaveLoadSaveIsByteIdentical) {
    Project->New();
    Project->Track(1)->AddEffectSubTrack(1);
    Project->Track(0)->Volume()->SetValue(37.5);
    Project->Track(2)->Mute()->SetValue(true);
    Project->Track(0)->BackgroundColor()->SetValue(MakeColor(10, 20, 30, 200));
    Project->SetPosition(123456789);
    Project->Select(Project->Track(3), false);
    std::string First = PathOf("first.qmp"), Second = PathOf("second.qmp");
    Project->SaveToFile(First);

    TRefPtr<TProject> Loaded(new TProject);
    Loaded->LoadFromFile(First);
    EXPECT_EQ(Loaded->TrackCount(), 5);
    EXPECT_EQ(Loaded->Track(1)->SubTrackCount(), 2);
    EXPECT_EQ(Loaded->Track(1)->SubTrack(1)->Kind(), TSubTrackKind::Effect);
    EXPECT_DOUBLE_EQ(Loaded->Track(0)->Volume()->Value(), 37.5);
    EXPECT_TRUE(Loaded->Track(2)->Mute()->Value());
    EXPECT_EQ(Loaded->Track(0)->BackgroundColor()->Value(), MakeColor(10, 20, 30, 200));
    EXPECT_EQ(Loaded->Position(), 123456789);
    EXPECT_EQ(Loaded->SelectedItem(), Loaded->Track(3));
    EXPECT_FALSE(Loaded->Modified());
    Loaded->SaveToFile(Second);
    EXPECT_EQ(ReadFileBytes(First), ReadFileBytes(Second));
}

TEST_F(ProjectTest, LoadedSettingsReachTheRenderTracks) {
    Project->New();
    Project->Track(1)->Volume()->SetValue(250);
    Project->Track(1)->Mute()->SetValue(true);
    Project->Track(0)->BackgroundColor()->SetValue(MakeColor(1, 2, 3));
    TData Data;
    Project->SaveToData(Data);

    TRefPtr<TProject> Loaded(new TProject);
    Loaded->LoadFromData(Data);
    EXPECT_DOUBLE_EQ(Loaded->Track(1)->RenderTrack()->Volume(), 2.5);
    EXPECT_TRUE(Loaded->Track(1)->RenderTrack()->Muted());
    EXPECT_EQ(Loaded->Track(0)->RenderTrack()->BackgroundColor(), MakeColor(1, 2, 3));
}

TEST_F(ProjectTest, TrackKindOutOfRangeLoadsAsEffectsTrack) {
    TData Data;
    Data.LoadFromText("Project:\r\n  Tracks:\r\n    Count = 1\r\n    Track[0]:\r\n      Kind = 9\r\n"
                      "    end\r\n  end\r\nend\r\n");
    Project->LoadFromData(Data);
    ASSERT_EQ(Project->TrackCount(), 1);
    EXPECT_EQ(Project->Track(0)->Kind(), TTrackKind::Effects);
    EXPECT_EQ(Project->Track(0)->SubTrack(0)->Kind(), TSubTrackKind::Effect);
}

// The kind numbers of a project file: each known number loads as its kind
// and is written back as it was read; an unknown one loads as the nearest
// kind and is written back as that kind's number.
TEST_F(ProjectTest, StoredKindNumbersConvertAtTheFileEdge) {
    struct TCase {
        int32_t StoredTrackKind;
        TTrackKind Track;
        int32_t StoredSubTrackKind;
        TSubTrackKind SubTrack;
    };
    const TCase Cases[] = {
        {-7, TTrackKind::Any, -1, TSubTrackKind::None},
        {0, TTrackKind::Any, 0, TSubTrackKind::None},
        {1, TTrackKind::Video, 1, TSubTrackKind::Audio},
        {2, TTrackKind::Sound, 2, TSubTrackKind::Video},
        {3, TTrackKind::Music, 3, TSubTrackKind::Effect},
        {4, TTrackKind::Overlay, 4, TSubTrackKind::Effect},
        {5, TTrackKind::Effects, 77, TSubTrackKind::Effect},
        {6, TTrackKind::Effects, 3, TSubTrackKind::Effect},
        {2147483647, TTrackKind::Effects, -2147483647, TSubTrackKind::None},
    };
    for (const TCase& Case : Cases) {
        TData Stored;
        Stored.LoadFromText("Project:\r\n  Tracks:\r\n    Count = 1\r\n    Track[0]:\r\n"
                            "      Kind = " +
                            std::to_string(Case.StoredTrackKind) +
                            "\r\n      SubTracks:\r\n        Count = 2\r\n"
                            "        SubTrack[0]:\r\n        end\r\n"
                            "        SubTrack[1]:\r\n          Kind = " +
                            std::to_string(Case.StoredSubTrackKind) +
                            "\r\n        end\r\n      end\r\n    end\r\n  end\r\nend\r\n");
        TRefPtr<TProject> Loaded = MakeRef<TProject>();
        Loaded->LoadFromData(Stored);
        ASSERT_EQ(Loaded->TrackCount(), 1) << Case.StoredTrackKind;
        TTrack* Track = Loaded->Track(0);
        EXPECT_EQ(Track->Kind(), Case.Track) << Case.StoredTrackKind;
        EXPECT_EQ(Track->SubTrack(0)->Kind(), OwnSubTrackKind(Case.Track))
            << Case.StoredTrackKind;
        ASSERT_EQ(Track->SubTrackCount(), 2) << Case.StoredSubTrackKind;
        EXPECT_EQ(Track->SubTrack(1)->Kind(), Case.SubTrack) << Case.StoredSubTrackKind;

        TData Saved;
        Loaded->SaveToData(Saved);
        TDataSection ProjectSection(Saved, "Project");
        TDataSection Tracks(Saved, "Tracks");
        TDataSection Element(Saved, ListItemName("Track[", 0));
        EXPECT_EQ(Saved.ReadInteger("Kind", -100), static_cast<int32_t>(Case.Track))
            << Case.StoredTrackKind;
        TDataSection SubTracks(Saved, "SubTracks");
        TDataSection SubTrack(Saved, ListItemName("SubTrack[", 1));
        EXPECT_EQ(Saved.ReadInteger("Kind", -100), static_cast<int32_t>(Case.SubTrack))
            << Case.StoredSubTrackKind;
    }
}

TEST_F(ProjectTest, HugeStoredCountBuildsOnlyTheStoredTracks) {
    TData Data;
    Data.LoadFromText("Project:\r\n  Tracks:\r\n    Count = 2000000000\r\n    Track[0]:\r\n"
                      "      Kind = 2\r\n    end\r\n  end\r\n  Settings:\r\n    Position = -7\r\n"
                      "  end\r\nend\r\n");
    Project->LoadFromData(Data);
    EXPECT_EQ(Project->TrackCount(), 1);
    EXPECT_EQ(Project->Position(), 0);
}

TEST_F(ProjectTest, GarbageFilesLoadWithoutCrashing) {
    struct TCase {
        std::string Input;
        bool IsProject; // has a project section, damaged or not
    };
    const TCase Cases[] = {
        {"", false},
        {"garbage without separators\r\n", false},
        {"Project:\r\n  Tracks:\r\n    Count = 3\r\n    Track[1]:\r\n      Kind = -4\r\n", true},
        {"Project:\r\n  Tracks:\r\n    Count = x\r\n    Track[0]:\r\n      SubTracks:\r\n"
         "        Count = 99\r\n        SubTrack[5]:\r\n          Kind = 77\r\n",
         true},
        {std::string("\0\1\2Project:\xff\xfe=:::\r\n", 20), false},
    };
    for (const TCase& Case : Cases) {
        std::string File = PathOf("garbage.qmp");
        WriteFileAtomically(File, Case.Input);
        TRefPtr<TProject> Loaded(new TProject);
        Loaded->New();
        if (!Case.IsProject) {
            // Some other file: refused, and the open project stays.
            EXPECT_THROW(Loaded->LoadFromFile(File), EError) << Case.Input;
            EXPECT_EQ(Loaded->TrackCount(), 5);
            continue;
        }
        EXPECT_NO_THROW(Loaded->LoadFromFile(File)) << Case.Input;
        for (int32_t I = 0; I < Loaded->TrackCount(); ++I) {
            EXPECT_LE(Loaded->Track(I)->Kind(), TTrackKind::Effects);
            EXPECT_GE(Loaded->Track(I)->SubTrackCount(), 1);
        }
    }
}

TEST_F(ProjectTest, LoadingAMissingFileRaisesAndKeepsTheProject) {
    Project->New();
    std::string File = PathOf("kept.qmp");
    Project->SaveToFile(File);
    EXPECT_THROW(Project->LoadFromFile(PathOf("missing.qmp")), EError);
    EXPECT_EQ(Project->TrackCount(), 5);
    EXPECT_EQ(Project->FileName(), File);
}

TEST_F(ProjectTest, FailedSaveKeepsTheOldFileAndTheFileName) {
    Project->New();
    std::string File = PathOf("old.qmp");
    Project->SaveToFile(File);
    std::string Before = ReadFileBytes(File);
    Project->Track(0)->Mute()->SetValue(true);
    EXPECT_THROW(Project->SaveToFile(PathOf("no-such-folder/new.qmp")), EError);
    EXPECT_EQ(Project->FileName(), File);
    EXPECT_TRUE(Project->Modified());
    EXPECT_EQ(ReadFileBytes(File), Before);
}

TEST_F(ProjectTest, PositionIsClampedAndSignalledOncePerChange) {
    TChangeRecorder Recorder(*Project);
    Project->SetPosition(-5);
    EXPECT_EQ(Project->Position(), 0);
    EXPECT_TRUE(Recorder.Flags().empty());
    Project->SetPosition(200LL * 3600 * 10000000);
    EXPECT_EQ(Project->Position(), MaxProjectPosition);
    Project->SetPosition(MaxProjectPosition);
    EXPECT_EQ(Recorder.Flags(), std::vector<TProjectChangeFlags>{ProjectChangePosition});
    EXPECT_FALSE(Project->Modified());
}

TEST_F(ProjectTest, SelectionAndPositionLeaveTheProjectUnmodifiedButSettingsDoNot) {
    Project->New();
    Project->Select(Project->Track(2), false);
    Project->SetPosition(50000000);
    EXPECT_FALSE(Project->Modified());
    Project->Track(2)->Volume()->SetValue(50);
    EXPECT_TRUE(Project->Modified());
}

TEST_F(ProjectTest, NewDeliversOneCombinedChange) {
    TChangeRecorder Recorder(*Project);
    Project->New();
    EXPECT_EQ(Recorder.Flags(), std::vector<TProjectChangeFlags>{ProjectChangeAll});
}

TEST_F(ProjectTest, ExtendedSelectionWithinATrackAndResetAcrossTracks) {
    Project->New();
    TTrack* Video = Project->Track(0);
    TTrack* Audio = Project->Track(1);
    auto* A = new TTestItem;
    auto* B = new TTestItem;
    auto* C = new TTestItem;
    Video->InsertItem(A, 0);
    Video->InsertItem(B, 1);
    Audio->InsertItem(C, 0);

    TChangeRecorder Recorder(*Project);
    Project->Select(A, false);
    Project->Select(B, true);
    EXPECT_TRUE(A->IsSelected());
    EXPECT_TRUE(B->IsSelected());
    EXPECT_TRUE(Project->HasSelection());
    EXPECT_EQ(Project->SelectedItem(), nullptr);
    Project->Select(C, false);
    EXPECT_FALSE(A->IsSelected());
    EXPECT_FALSE(B->IsSelected());
    EXPECT_EQ(Project->SelectedItem(), C);
    EXPECT_EQ(Recorder.Flags().size(), 3u);

    Project->Select(Video->SubTrack(0), false);
    EXPECT_FALSE(C->IsSelected());
    EXPECT_EQ(Project->SelectedItem(), Video->SubTrack(0));
    Project->Select(Audio, false);
    EXPECT_FALSE(Video->SubTrack(0)->IsSelected());
    EXPECT_EQ(Project->SelectedItem(), Audio);
    Project->Select(nullptr, true);
    EXPECT_EQ(Project->SelectedItem(), Audio);
    Project->Select(nullptr, false);
    EXPECT_FALSE(Project->HasSelection());
}

TEST_F(ProjectTest, InsertingAnItemThatIsAlreadyOnATrackRaisesAndChangesNothing) {
    Project->New();
    auto* Item = new TTestItem;
    Project->Track(0)->InsertItem(Item, 0);
    EXPECT_THROW(Project->Track(3)->InsertItem(Item, 0), EError);
    EXPECT_EQ(Project->Track(0)->ItemCount(), 1);
    EXPECT_EQ(Project->Track(3)->ItemCount(), 0);
    EXPECT_EQ(Item->Track(), Project->Track(0));
    EXPECT_EQ(Item->AttachCount, 1);
    EXPECT_FALSE(Project->IsEmpty());
}

TEST_F(ProjectTest, RemovingAnItemFromTheWrongTrackRaises) {
    Project->New();
    TRefPtr<TTestItem> Item(new TTestItem);
    Project->Track(0)->InsertItem(Item.Get(), 0);
    EXPECT_THROW(Project->Track(1)->RemoveItem(Item.Get()), EError);
    Project->Track(0)->RemoveItem(Item.Get());
    EXPECT_EQ(Item->Track(), nullptr);
    EXPECT_EQ(Item->DetachCount, 1);
    EXPECT_EQ(Item->RefCount(), 1); // only the test's reference is left
    EXPECT_TRUE(Project->IsEmpty());
}

TEST_F(ProjectTest, TrackHeldElsewhereSurvivesRemovalAndCanBeInsertedAgain) {
    Project->New();
    TRefPtr<TTrack> Held(Project->Track(2));
    Project->DeleteTrack(2);
    EXPECT_EQ(Project->TrackCount(), 4);
    EXPECT_EQ(Held->Project(), nullptr);
    EXPECT_EQ(Held->RenderTrack(), nullptr);
    EXPECT_EQ(Project->Timeline().TrackCount(), 4);
    EXPECT_THROW(Held->Free(), EError);

    Project->InsertTrack(Held.Get(), 0);
    EXPECT_EQ(Held->Index(), 0);
    EXPECT_EQ(Project->Track(1)->Index(), 1);
    EXPECT_NE(Held->RenderTrack(), nullptr);
    EXPECT_THROW(Project->InsertTrack(Held.Get(), 1), EError);
    EXPECT_EQ(Project->TrackCount(), 5);
}

TEST_F(ProjectTest, RemovingAForeignTrackRaises) {
    TRefPtr<TTrack> Loose = MakeRef<TTrack>(TTrackKind::Video);
    EXPECT_THROW(Project->RemoveTrack(Loose.Get()), EError);
}

TEST_F(ProjectTest, KindIndexesFollowInsertionAndRemoval) {
    EXPECT_EQ(Project->LastKind1Index(), -1);
    EXPECT_EQ(Project->FirstKind5Index(), 0);
    Project->AddTrack(0, TTrackKind::Video);
    Project->AddTrack(1, TTrackKind::Video);
    Project->AddTrack(2, TTrackKind::Effects);
    Project->AddTrack(3, TTrackKind::Effects);
    EXPECT_EQ(Project->LastKind1Index(), 1);
    EXPECT_EQ(Project->FirstKind5Index(), 2);
    Project->DeleteTrack(1);
    EXPECT_EQ(Project->LastKind1Index(), 0);
    EXPECT_EQ(Project->FirstKind5Index(), 1);
}

TEST_F(ProjectTest, DeleteSelectionRemovesSelectedTracks) {
    Project->New();
    Project->Select(Project->Track(1), false);
    Project->Track(3)->SetSelected(true);
    TChangeRecorder Recorder(*Project);
    Project->DeleteSelection();
    ASSERT_EQ(Project->TrackCount(), 3);
    EXPECT_EQ(Project->Track(0)->Kind(), TTrackKind::Video);
    EXPECT_EQ(Project->Track(1)->Kind(), TTrackKind::Music);
    EXPECT_EQ(Project->Track(2)->Kind(), TTrackKind::Effects);
    EXPECT_EQ(Recorder.Flags().size(), 1u);
    EXPECT_FALSE(Project->HasSelection());
}

TEST_F(ProjectTest, DeleteSelectionRemovesSelectedEffectSubTracks) {
    Project->New();
    TTrack* Track = Project->Track(0);
    Track->AddEffectSubTrack(1);
    Track->AddEffectSubTrack(2);
    Project->Select(Track->SubTrack(1), false);
    Project->DeleteSelection();
    EXPECT_EQ(Project->TrackCount(), 5);
    ASSERT_EQ(Track->SubTrackCount(), 2);
    EXPECT_EQ(Track->SubTrack(1)->Index(), 1);
}

TEST_F(ProjectTest, TrackingBracketHoldsTheTimelineUntilTheOutermostEnd) {
    TChangeRecorder Recorder(*Project);
    Project->BeginTracking();
    Project->BeginTracking();
    EXPECT_TRUE(Project->Tracking());
    EXPECT_FALSE(Project->Timeline().Idle());
    Project->EndTracking();
    EXPECT_TRUE(Recorder.Flags().empty());
    Project->EndTracking();
    EXPECT_FALSE(Project->Tracking());
    EXPECT_TRUE(Project->Timeline().Idle());
    EXPECT_EQ(Recorder.Flags(), std::vector<TProjectChangeFlags>{ProjectChangeTrackingEnd});
    EXPECT_FALSE(Project->Modified());
}

TEST_F(ProjectTest, ClearEmptiesTracksFileNameAndTimeline) {
    Project->New();
    Project->SaveToFile(PathOf("x.qmp"));
    Project->Clear();
    EXPECT_EQ(Project->TrackCount(), 0);
    EXPECT_TRUE(Project->FileName().empty());
    EXPECT_EQ(Project->Timeline().TrackCount(), 0);
    EXPECT_FALSE(Project->Modified());
}

TEST_F(ProjectTest, NewFollowsTheDefaultLayoutWithEffectSubTracks) {
    TData Data;
    Data.LoadFromText("Count = 2\r\nTrack[0]:\r\n  Kind = 0\r\n  EffectSubTrackCount = 2\r\nend\r\n"
                      "Track[1]:\r\n  Kind = 5\r\nend\r\n");
    ProjectDefaults().Load(Data);
    Project->New();
    ASSERT_EQ(Project->TrackCount(), 2);
    EXPECT_EQ(Project->Track(0)->SubTrackCount(), 3);
    EXPECT_EQ(Project->Track(0)->SubTrack(2)->Kind(), TSubTrackKind::Effect);
    EXPECT_TRUE(ProjectDefaults().MatchesProject(*Project));
    Project->Track(0)->DeleteEffectSubTrack(1);
    EXPECT_FALSE(ProjectDefaults().MatchesProject(*Project));
}

TEST_F(ProjectTest, ChangeHandlerFailureDoesNotBreakTheEdit) {
    struct TFailingListener {
        void Changed(TObject*, TProjectChangeFlags) { throw EError("listener failed"); }
    } Listener;
    int Reports = 0;
    SetExceptionReportHandler([&](const std::exception&) { ++Reports; });
    Project->Changes().AddChangeHandler(MakeDelegate<&TFailingListener::Changed>(&Listener));
    EXPECT_NO_THROW(Project->New());
    EXPECT_EQ(Project->TrackCount(), 5);
    EXPECT_EQ(Reports, 1);
    Project->Changes().RemoveChangeHandler(MakeDelegate<&TFailingListener::Changed>(&Listener));
    SetExceptionReportHandler(nullptr);
}

} // namespace
