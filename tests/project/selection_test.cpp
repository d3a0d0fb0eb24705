// The project's selection: one kind of object at a time (tracks,
// sub-tracks, the track items of one track, or the clip effects of one
// clip), changed in one step.

#include "item_test_fixture.h"
#include "project/clip_effect.h"
#include "project/sub_track.h"
#include "project/title_clip.h"

#include <vector>

namespace {

constexpr int32_t EmbossIndex = 1;

// Two titles A and B with two effect sub-tracks on the video track, one
// title C on the overlay track with one. A carries effects A1 and A2, B
// carries B1, C carries C1.
class SelectionTest : public ItemTest {
protected:
    void SetUp() override {
        ItemTest::SetUp();
        VideoTrack()->AddEffectSubTrack(1);
        VideoTrack()->AddEffectSubTrack(2);
        Overlay()->AddEffectSubTrack(1);
        A = AddTitle(VideoTrack(), 0);
        B = AddTitle(VideoTrack(), 3 * Second);
        C = AddTitle(Overlay(), 0);
        A1 = AddEffect(A, 1);
        A2 = AddEffect(A, 2);
        B1 = AddEffect(B, 1);
        C1 = AddEffect(C, 1);
        Project->Select(nullptr, false);
    }

    TTrack* Overlay() const { return Project->Track(3); }

    TTitleClip* AddTitle(TTrack* Track, TVideoTime Position) {
        auto* Title = new TTitleClip(2 * Second, Position, FirstTitleStyle());
        Track->InsertItem(Title, Track->ItemCount());
        Track->Normalize(false);
        return Title;
    }
    static TClipEffect* AddEffect(TClip* Clip, int32_t SubIndex) {
        auto* Effect = new TClipEffect(EmbossIndex);
        Clip->InsertClipEffect(Effect, SubIndex);
        return Effect;
    }

    // Selects every object given, bypassing the rules.
    static void Mark(std::initializer_list<TItem*> Items) {
        for (TItem* Item : Items)
            Item->SetSelected(true);
    }
    // One of each kind in each place the rules tell apart.
    void MarkOneOfEverything() {
        Mark({Project->Track(1), VideoTrack()->SubTrack(1), Overlay()->SubTrack(0), A, B, C, A1, A2,
              B1, C1});
    }

    // What is selected, in the order tracks, sub-tracks, items, clip effects
    // of each track.
    std::vector<TItem*> Selected() const {
        std::vector<TItem*> Result;
        auto Visit = [&](TItem* Item) {
            if (Item->IsSelected())
                Result.push_back(Item);
        };
        for (int32_t T = 0; T < Project->TrackCount(); ++T) {
            TTrack* Track = Project->Track(T);
            Visit(Track);
            for (int32_t S = 0; S < Track->SubTrackCount(); ++S)
                Visit(Track->SubTrack(S));
            for (int32_t I = 0; I < Track->ItemCount(); ++I)
                Visit(Track->Item(I));
            for (int32_t I = 0; I < Track->ItemCount(); ++I)
                if (auto* Clip = dynamic_cast<TClip*>(Track->Item(I)))
                    for (int32_t K = 0; K < Clip->ClipEffectCount(); ++K)
                        Visit(Clip->ClipEffect(K));
        }
        return Result;
    }
    using TItems = std::vector<TItem*>;

    TTitleClip* A = nullptr;
    TTitleClip* B = nullptr;
    TTitleClip* C = nullptr;
    TClipEffect* A1 = nullptr;
    TClipEffect* A2 = nullptr;
    TClipEffect* B1 = nullptr;
    TClipEffect* C1 = nullptr;
};

TEST_F(SelectionTest, TrackIsSelectedAloneWithOrWithoutExtend) {
    for (bool Extend : {false, true}) {
        MarkOneOfEverything();
        VideoTrack()->SetSelected(true);
        Project->Select(Overlay(), Extend);
        EXPECT_EQ(Selected(), TItems{Overlay()}) << Extend;
    }
}

TEST_F(SelectionTest, SubTrackIsSelectedAloneWithOrWithoutExtend) {
    for (bool Extend : {false, true}) {
        MarkOneOfEverything();
        Project->Select(VideoTrack()->SubTrack(2), Extend);
        EXPECT_EQ(Selected(), TItems{VideoTrack()->SubTrack(2)}) << Extend;
    }
}

TEST_F(SelectionTest, TrackItemDeselectsEveryClipEffectAndTheOtherTracks) {
    MarkOneOfEverything();
    Project->Select(A, false);
    EXPECT_EQ(Selected(), TItems{A});
}

TEST_F(SelectionTest, ExtendedTrackItemKeepsOnlyTheItemsOfItsOwnTrack) {
    MarkOneOfEverything();
    Project->Select(A, true);
    // B (same track) stays; C (other track) and every clip effect, A's own
    // and those on A's track included, go.
    EXPECT_EQ(Selected(), (TItems{A, B}));
}

TEST_F(SelectionTest, ClipEffectDeselectsTracksItemsAndOtherClipsEffects) {
    MarkOneOfEverything();
    Project->Select(A1, false);
    EXPECT_EQ(Selected(), TItems{A1});
    EXPECT_EQ(Project->SelectedItem(), A1);
}

TEST_F(SelectionTest, ExtendedClipEffectKeepsOnlyTheEffectsOfItsOwnClip) {
    MarkOneOfEverything();
    Project->Select(A1, true);
    // A2 (same clip) stays; B1 (same track, other clip), C1 and the clip A
    // itself go.
    EXPECT_EQ(Selected(), (TItems{A1, A2}));
    EXPECT_EQ(Project->SelectedItem(), nullptr);
    EXPECT_TRUE(Project->HasSelection());
}

TEST_F(SelectionTest, NothingClearsEverythingUnlessExtended) {
    MarkOneOfEverything();
    TItems Before = Selected();
    Project->Select(nullptr, true);
    EXPECT_EQ(Selected(), Before);
    Project->Select(nullptr, false);
    EXPECT_TRUE(Selected().empty());
    EXPECT_FALSE(Project->HasSelection());
}

// A selected clip effect counts for the selection summary like any item.
TEST_F(SelectionTest, SummaryCountsClipEffects) {
    Project->Select(C1, false);
    EXPECT_EQ(Project->SelectedItem(), C1);
    EXPECT_TRUE(Project->HasSelection());
    Project->Select(B, true);
    EXPECT_EQ(Project->SelectedItem(), B);
}

TEST_F(SelectionTest, EachSelectionReachesListenersAsOneChange) {
    MarkOneOfEverything();
    TChangeRecorder Recorder(*Project);
    Project->Select(A1, false);
    ASSERT_EQ(Recorder.Flags().size(), 1u);
    EXPECT_EQ(Recorder.Flags()[0], ProjectChangeSelection);
    Recorder.Reset();
    Project->Select(VideoTrack(), false);
    EXPECT_EQ(Recorder.Flags().size(), 1u);
}

} // namespace
