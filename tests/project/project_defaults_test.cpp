#include "project/project_defaults.h"

#include "core/data.h"
#include "project/project.h"
#include "project/track.h"

#include <gtest/gtest.h>

namespace {

using TLayout = std::vector<TProjectDefaults::TTrackLayout>;

TEST(ProjectDefaults, BuiltInLayoutIsOneTrackOfEachKindOneToFive) {
    TProjectDefaults Defaults;
    EXPECT_EQ(Defaults.Tracks(), (TLayout{{TTrackKind::Video, 0},
                                          {TTrackKind::Sound, 0},
                                          {TTrackKind::Music, 0},
                                          {TTrackKind::Overlay, 0},
                                          {TTrackKind::Effects, 0}}));
}

TEST(ProjectDefaults, StoredLayoutRoundTripsAndClampsKinds) {
    TProjectDefaults Defaults;
    TData Data;
    Data.LoadFromText("Count = 3\r\nTrack[0]:\r\n  Kind = 12\r\nend\r\nTrack[1]:\r\n  Kind = 0\r\n"
                      "  EffectSubTrackCount = 2\r\nend\r\nTrack[2]:\r\n  Kind = -1\r\nend\r\n");
    Defaults.Load(Data);
    EXPECT_EQ(Defaults.Tracks(), (TLayout{{TTrackKind::Effects, 0}, {TTrackKind::Any, 2}, {TTrackKind::Any, 0}}));

    TData Saved;
    Defaults.Save(Saved);
    EXPECT_FALSE(Saved.Exists("Track[0].EffectSubTrackCount"));
    TProjectDefaults Restored;
    Restored.Load(Saved);
    EXPECT_EQ(Restored.Tracks(), Defaults.Tracks());
    Saved.Enter("Track[0]");
    EXPECT_FALSE(Saved.Exists("EffectSubTrackCount")); // effects tracks carry none
}

TEST(ProjectDefaults, MissingOrEmptyListFallsBackToTheBuiltInLayout) {
    TProjectDefaults Defaults;
    TData Data;
    Data.LoadFromText("Count = 1\r\nTrack[0]:\r\n  Kind = 2\r\nend\r\n");
    Defaults.Load(Data);
    ASSERT_EQ(Defaults.Tracks().size(), 1u);
    TData Empty;
    Empty.WriteInteger("Count", 0);
    Defaults.Load(Empty);
    EXPECT_EQ(Defaults.Tracks().size(), 5u);
}

TEST(ProjectDefaults, CapturedLayoutCountsEffectSubTracks) {
    TRefPtr<TProject> Project(new TProject);
    Project->AddTrack(0, TTrackKind::Video)->AddEffectSubTrack(1);
    Project->AddTrack(1, TTrackKind::Effects);
    TProjectDefaults Defaults;
    EXPECT_FALSE(Defaults.MatchesProject(*Project));
    Defaults.CaptureLayout(*Project);
    EXPECT_EQ(Defaults.Tracks(), (TLayout{{TTrackKind::Video, 1}, {TTrackKind::Effects, 0}}));
    EXPECT_TRUE(Defaults.MatchesProject(*Project));
}

} // namespace
