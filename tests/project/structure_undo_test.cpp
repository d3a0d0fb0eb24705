#include "editing_fixture.h"
#include "project/clip_effect.h"
#include "project/list_undo.h"
#include "project/sub_track.h"

namespace {

constexpr int32_t EmbossIndex = 1;

class StructureUndoTest : public EditingTest {};

TEST_F(StructureUndoTest, AddingAndDeletingTracksIsUndone) {
    int32_t Count = Project->TrackCount();
    TTrack* Added = nullptr;
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Added = Project->AddTrack(1, TTrackKind::Sound); }));
    EXPECT_EQ(Project->TrackCount(), Count + 1);
    EXPECT_EQ(Project->Track(1), Added);
    EXPECT_EQ(Project->SelectedItem(), Added);
    PlaceTitle(VideoTrack(), 0, 2 * Second);
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Project->DeleteTrack(0); }));
    EXPECT_EQ(Project->TrackCount(), Count);
    UndoHistory().Undo();
    // The track comes back with its items and its render track.
    ASSERT_EQ(Project->TrackCount(), Count + 1);
    EXPECT_EQ(Project->Track(0)->ItemCount(), 1);
    EXPECT_NE(Project->Track(0)->RenderTrack(), nullptr);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(StructureUndoTest, DeletingSelectedTracksIsOneStep) {
    TTrack* Extra = Project->AddTrack(2, TTrackKind::Video);
    Project->Select(Extra, false);
    Project->Select(VideoTrack(), true);
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Project->DeleteSelection(); }));
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(StructureUndoTest, AddClipEffectMakesASubTrackWhenNoneIsFree) {
    TTitleClip* Clip = PlaceTitle(VideoTrack(), 0, 2 * Second);
    TClipEffect* First = nullptr;
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] {
        First = VideoTrack()->AddClipEffect(Clip, nullptr, EmbossIndex);
    }));
    ASSERT_EQ(VideoTrack()->SubTrackCount(), 2);
    EXPECT_EQ(First->SubTrack(), VideoTrack()->SubTrack(1));
    EXPECT_EQ(Project->SelectedItem(), First);
    // Undone, both the effect and its new sub-track go.
    UndoHistory().Undo();
    EXPECT_EQ(VideoTrack()->SubTrackCount(), 1);
    EXPECT_EQ(Clip->ClipEffectCount(), 0);
    UndoHistory().Redo();
    // A second effect takes a further sub-track; on a given sub-track it
    // replaces the effect there.
    TClipEffect* Second_ = VideoTrack()->AddClipEffect(Clip, nullptr, EmbossIndex);
    EXPECT_EQ(Second_->SubTrack(), VideoTrack()->SubTrack(2));
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] {
        VideoTrack()->AddClipEffect(Clip, VideoTrack()->SubTrack(1), EmbossIndex);
    }));
    EXPECT_EQ(Clip->ClipEffectCount(), 2);
    EXPECT_NE(Clip->EffectSlot(1), First);
    EXPECT_EQ(Clip->EffectSlot(2), Second_);
    // The track's own sub-track is not an effect sub-track: ignored, a free
    // or new one is used.
    TClipEffect* Third = VideoTrack()->AddClipEffect(Clip, VideoTrack()->SubTrack(0), EmbossIndex);
    EXPECT_EQ(Third->SubIndex(), 3);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(StructureUndoTest, DeletingAnEffectSubTrackTakesItsClipEffectsAndUndoBringsThemBack) {
    TTitleClip* A = PlaceTitle(VideoTrack(), 0, 2 * Second);
    TTitleClip* B = PlaceTitle(VideoTrack(), 2 * Second, 2 * Second);
    TClipEffect* OnA = VideoTrack()->AddClipEffect(A, nullptr, EmbossIndex);
    TClipEffect* OnB = VideoTrack()->AddClipEffect(B, VideoTrack()->SubTrack(1), EmbossIndex);
    TClipEffect* Lower = VideoTrack()->AddClipEffect(A, nullptr, EmbossIndex);
    ASSERT_EQ(VideoTrack()->SubTrackCount(), 3);
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->DeleteEffectSubTrack(1); }));
    EXPECT_EQ(VideoTrack()->SubTrackCount(), 2);
    EXPECT_EQ(A->ClipEffectCount(), 1);
    EXPECT_EQ(Lower->SubIndex(), 1);
    UndoHistory().Undo();
    EXPECT_EQ(OnA->SubTrack(), VideoTrack()->SubTrack(1));
    EXPECT_EQ(OnB->SubTrack(), VideoTrack()->SubTrack(1));
    EXPECT_EQ(Lower->SubIndex(), 2);
    EXPECT_EQ(A->ClipEffect(0), OnA);
    EXPECT_TRUE(EngineMatchesFresh());
    // Selected, the sub-track goes through the delete command too.
    Project->Select(VideoTrack()->SubTrack(2), false);
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Project->DeleteSelection(); }));
}

TEST_F(StructureUndoTest, DeletingAClipTakesItsTransitionsWhenNothingElseHoldsThem) {
    TTitleClip* A = PlaceTitle(VideoTrack(), 0, 4 * Second);
    TTitleClip* B = PlaceTitle(VideoTrack(), 4 * Second, 4 * Second);
    TTransition* T = JoinLast(VideoTrack(), Second);
    PlaceTitle(VideoTrack(), 20 * Second, 4 * Second);
    Select({B});
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Project->DeleteSelection(); }));
    // T still leaves A: a fade out, it stays.
    ASSERT_EQ(VideoTrack()->ItemCount(), 3) << Layout(VideoTrack());
    EXPECT_EQ(A->TrailingTransition(), T);
    EXPECT_EQ(T->ToClip(), nullptr);
    Select({A});
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Project->DeleteSelection(); }));
    // Now T has no clip left at all.
    EXPECT_EQ(VideoTrack()->ItemCount(), 1) << Layout(VideoTrack());
    UndoHistory().Undo();
    UndoHistory().Undo();
    EXPECT_EQ(T->FromClip(), A);
    EXPECT_EQ(T->ToClip(), B);
    EXPECT_EQ(B->LeadingTransition(), T);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(StructureUndoTest, SelectedClipEffectsAreDeletedFromTheirClips) {
    TTitleClip* A = PlaceTitle(VideoTrack(), 0, 4 * Second);
    TClipEffect* Effect = VideoTrack()->AddClipEffect(A, nullptr, EmbossIndex);
    VideoTrack()->AddClipEffect(A, nullptr, EmbossIndex);
    Project->Select(Effect, false);
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Project->DeleteSelection(); }));
    EXPECT_EQ(A->ClipEffectCount(), 1);
    EXPECT_EQ(VideoTrack()->ItemCount(), 1);
}

TEST_F(StructureUndoTest, TitleContentIsUndoneAsOneStep) {
    TTitleClip* Title = PlaceTitle(VideoTrack(), 0, 4 * Second);
    TTitleFont Main;
    Main.Name = "DejaVu Sans";
    Main.Style = FontStyleBold;
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Title->SetContent("Привет", Main, {}); }));
    EXPECT_EQ(Title->Text(), "Привет");
    EXPECT_TRUE(Title->MainFont().Font().IsBold());
    // The same content again is no step.
    int32_t Steps = UndoHistory().Count();
    Title->SetContent("Привет", Main, {});
    EXPECT_EQ(UndoHistory().Count(), Steps);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(StructureUndoTest, TrackItemsRecordRestoresOrderTimesAndLinks) {
    TTitleClip* A = PlaceTitle(VideoTrack(), 0, 4 * Second);
    TTitleClip* B = PlaceTitle(VideoTrack(), 4 * Second, 4 * Second);
    TTransition* T = JoinLast(VideoTrack(), Second);
    std::string Before = ArrangementText(*Project);
    TTrackItemsUndo Record(VideoTrack());
    EXPECT_TRUE(Record.IsCurrent());
    // Taken apart by hand: unlinked, moved, one item removed.
    LinkFrom(T, nullptr);
    LinkTo(T, nullptr);
    VideoTrack()->RemoveItem(A);
    B->SetPosition(30 * Second);
    VideoTrack()->Normalize(false);
    EXPECT_FALSE(Record.IsCurrent());
    std::string Apart = ArrangementText(*Project);
    Record.Undo();
    EXPECT_EQ(ArrangementText(*Project), Before);
    EXPECT_EQ(T->FromClip(), A);
    EXPECT_EQ(T->ToClip(), B);
    EXPECT_TRUE(EngineMatchesFresh());
    Record.Redo();
    EXPECT_EQ(ArrangementText(*Project), Apart);
    EXPECT_EQ(A->Track(), nullptr);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(StructureUndoTest, ItemsMovedBetweenTracksReturn) {
    TTrack* Other = Project->AddTrack(1, TTrackKind::Video);
    TTitleClip* Title = PlaceTitle(VideoTrack(), 0, 4 * Second);
    TTrackItemsUndo Record(VideoTrack());
    TRefPtr<TTitleClip> Hold{Title};
    VideoTrack()->RemoveItem(Title);
    Other->InsertItem(Title, 0);
    Record.Undo();
    EXPECT_EQ(Title->Track(), VideoTrack());
    EXPECT_EQ(Other->ItemCount(), 0);
    EXPECT_TRUE(EngineMatchesFresh());
}

} // namespace
