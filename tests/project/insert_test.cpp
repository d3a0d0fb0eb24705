#include "editing_fixture.h"
#include "project/clip_settings.h"
#include "project/effect.h"
#include "project/list_undo.h"
#include "render/effect_description.h"

namespace {

class InsertTest : public EditingTest {
protected:
    static int32_t FirstEffect() { return DescriptionRegistry().Effects().Description(1)->Index(); }
    TTrack* EffectsTrack() const { return Project->Track(Project->TrackCount() - 1); }
};

TEST_F(InsertTest, InsertFileAtATimePushesLaterItemsAndSelectsTheClip) {
    PlaceTitle(VideoTrack(), 0, 2 * Second);
    PlaceTitle(VideoTrack(), 2 * Second, 2 * Second);
    std::string File = Video("a.mp4");
    TFileClip* Clip = nullptr;
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] {
        Clip = VideoTrack()->InsertFile(TKeepTransitions::Neither, File, 2 * Second);
    }));
    ASSERT_EQ(VideoTrack()->ItemCount(), 3);
    EXPECT_EQ(VideoTrack()->Item(1), Clip);
    EXPECT_EQ(Clip->Position(), 2 * Second);
    EXPECT_EQ(VideoTrack()->Item(2)->Position(), Clip->End()) << Layout(VideoTrack());
    EXPECT_EQ(Project->SelectedItem(), Clip);
    EXPECT_GE(Project->Position(), Clip->Position());
    EXPECT_LT(Project->Position(), Clip->End());
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(InsertTest, InsertFileKeepsOrDropsTheTransitionAfterIt) {
    // A 0-4 s, T 3-4 s, B 3-7 s; a drop at 2.9 s lands before T.
    auto* A = PlaceTitle(VideoTrack(), 0, 4 * Second);
    auto* B = PlaceTitle(VideoTrack(), 4 * Second, 4 * Second);
    TTransition* T = JoinLast(VideoTrack(), Second);
    std::string File = Video("a.mp4");
    TFileClip* Clip = nullptr;
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] {
        Clip = VideoTrack()->InsertFile(TKeepTransitions::Trailing, File, 29 * Second / 10);
    }));
    EXPECT_EQ(Clip->Index(), 1);
    EXPECT_EQ(Clip->TrailingTransition(), T);
    EXPECT_EQ(T->ToClip(), B);
    EXPECT_EQ(A->TrailingTransition(), nullptr);
    EXPECT_EQ(Clip->Position(), A->End());
    EXPECT_EQ(T->End(), Clip->End()) << Layout(VideoTrack());
    EXPECT_TRUE(EngineMatchesFresh());
    UndoHistory().Undo();
    EXPECT_EQ(A->TrailingTransition(), T);

    // Not kept: T stays with B only, and the clip pushes it on.
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] {
        Clip = VideoTrack()->InsertFile(TKeepTransitions::Neither, File, 29 * Second / 10);
    }));
    EXPECT_EQ(Clip->TrailingTransition(), nullptr);
    EXPECT_EQ(T->FromClip(), nullptr);
    EXPECT_EQ(B->LeadingTransition(), T);
    EXPECT_GE(T->Position(), Clip->End()) << Layout(VideoTrack());
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(InsertTest, TransitionLengthIsLimitedByTheShorterClip) {
    // A 2 s clip and a 4 s clip without other transitions, 3 s asked for:
    // three quarters of the shorter clip.
    PlaceTitle(VideoTrack(), 0, 2 * Second);
    PlaceTitle(VideoTrack(), 2 * Second, 4 * Second);
    TTransition* T = nullptr;
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] {
        T = VideoTrack()->InsertTransition(TJoinClips::Both, TTransitionDirection::Forward, 3 * Second, TransitionIndex(false),
                                           2 * Second);
    }));
    ASSERT_NE(T, nullptr);
    EXPECT_EQ(T->Duration(), 3 * Second / 2);
    EXPECT_EQ(T->Index(), 1);
    auto* A = dynamic_cast<TClip*>(VideoTrack()->Item(0));
    auto* B = dynamic_cast<TClip*>(VideoTrack()->Item(2));
    EXPECT_EQ(T->FromClip(), A);
    EXPECT_EQ(T->ToClip(), B);
    EXPECT_EQ(T->Position(), Second / 2);
    EXPECT_EQ(B->Position(), Second / 2);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(InsertTest, MaxTransitionLengthCountsTheClipsOtherTransitions) {
    PlaceTitle(VideoTrack(), 0, 8 * Second);
    PlaceTitle(VideoTrack(), 8 * Second, 8 * Second);
    JoinLast(VideoTrack(), 2 * Second);
    auto* Middle = dynamic_cast<TClip*>(VideoTrack()->Item(2));
    // The middle clip has its 2 s leading transition: 8 - 2 - 1 = 5 s left.
    EXPECT_EQ(MaxTransitionLength(Middle, nullptr, 7 * Second), 5 * Second);
    EXPECT_EQ(MaxTransitionLength(nullptr, Middle, 7 * Second), 6 * Second);
    EXPECT_EQ(MaxTransitionLength(Middle, nullptr, Second), Second);
    EXPECT_EQ(MaxTransitionLength(nullptr, nullptr, Second), Second);
}

TEST_F(InsertTest, TransitionWithoutRoomInsertsNothingAndMakesNoStep) {
    // B (2 s) is taken up by its 1.9 s leading transition: nothing is left
    // for one at its end.
    PlaceTitle(VideoTrack(), 0, 4 * Second);
    PlaceTitle(VideoTrack(), 4 * Second, 2 * Second);
    JoinLast(VideoTrack(), 19 * Second / 10);
    TTitleClip* C = PlaceTitle(VideoTrack(), 5 * Second, 2 * Second);
    int32_t Steps = UndoHistory().Count();
    std::string Before = ProjectText(*Project);
    EXPECT_EQ(VideoTrack()->InsertTransition(TJoinClips::Both, TTransitionDirection::Forward, Second, TransitionIndex(false),
                                             C->Position()),
              nullptr);
    EXPECT_EQ(UndoHistory().Count(), Steps);
    EXPECT_EQ(ProjectText(*Project), Before);
}

TEST_F(InsertTest, InsertingIntoATransitionSplitsItAndUndoRestoresIt) {
    PlaceTitle(VideoTrack(), 0, 4 * Second);
    PlaceTitle(VideoTrack(), 4 * Second, 4 * Second);
    TTransition* T = JoinLast(VideoTrack(), 2 * Second);
    auto* Last = dynamic_cast<TClip*>(VideoTrack()->Item(2));
    TTitleClip* Title = nullptr;
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] {
        Title = VideoTrack()->InsertTitleIntoTransition(1, FirstTitleStyle(), {}, {}, "Middle",
                                                        4 * Second);
    }));
    ASSERT_EQ(VideoTrack()->ItemCount(), 5) << Layout(VideoTrack());
    auto* Second_ = dynamic_cast<TTransition*>(VideoTrack()->Item(3));
    ASSERT_NE(Second_, nullptr);
    EXPECT_EQ(T->ToClip(), Title);
    EXPECT_EQ(Second_->FromClip(), Title);
    EXPECT_EQ(Second_->ToClip(), Last);
    EXPECT_EQ(Title->Text(), "Middle");
    EXPECT_TRUE(EngineMatchesFresh());
    UndoHistory().Undo();
    ASSERT_EQ(VideoTrack()->ItemCount(), 3);
    EXPECT_EQ(T->Duration(), 2 * Second);
    EXPECT_EQ(T->ToClip(), Last);
    EXPECT_EQ(Last->LeadingTransition(), T);
    EXPECT_TRUE(EngineMatchesFresh());
    // Into something that is not a transition: nothing.
    EXPECT_EQ(VideoTrack()->InsertFileIntoTransition(0, Video("a.mp4")), nullptr);
}

TEST_F(InsertTest, OverwriteRemovesWhatLiesUnderTheNewClip) {
    PlaceTitle(VideoTrack(), 0, 2 * Second);
    PlaceTitle(VideoTrack(), 2 * Second, 2 * Second);
    JoinLast(VideoTrack(), Second);
    PlaceTitle(VideoTrack(), 10 * Second, 2 * Second);
    std::string File = Video("a.mp4"); // 2 s
    TFileClip* Clip = nullptr;
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] {
        Clip = VideoTrack()->InsertFileOverwrite(File, Second / 2);
    }));
    // Both joined titles overlapped [0.5 s, 2.5 s); the transition between
    // them went with them.
    ASSERT_EQ(VideoTrack()->ItemCount(), 2) << Layout(VideoTrack());
    EXPECT_EQ(VideoTrack()->Item(0), Clip);
    EXPECT_EQ(Clip->Position(), Second / 2);
    EXPECT_EQ(VideoTrack()->Item(1)->Position(), 10 * Second);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(InsertTest, ReplacementsKeepPlaceLinksAndContent) {
    PlaceTitle(VideoTrack(), 0, 4 * Second);
    auto* Title = PlaceTitle(VideoTrack(), 4 * Second, 4 * Second);
    Title->ApplyContent("Hello", {}, {});
    TTransition* T = JoinLast(VideoTrack(), 2 * Second);
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] {
        VideoTrack()->ReplaceTransition(1, TransitionIndex(true), TTransitionDirection::Reverse);
    }));
    auto* New = dynamic_cast<TTransition*>(VideoTrack()->Item(1));
    ASSERT_NE(New, nullptr);
    EXPECT_NE(New, T);
    EXPECT_EQ(New->DescriptionIndex(), TransitionIndex(true));
    EXPECT_EQ(New->Duration(), 2 * Second);
    ASSERT_NE(New->ReverseSetting(), nullptr);
    EXPECT_TRUE(New->ReverseSetting()->Value());
    EXPECT_EQ(New->ToClip(), Title);
    EXPECT_EQ(Project->SelectedItem(), New);

    int32_t Style = DescriptionRegistry().Titles().Description(2)->Index();
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->ReplaceTitleLayout(2, Style); }));
    auto* Restyled = dynamic_cast<TTitleClip*>(VideoTrack()->Item(2));
    ASSERT_NE(Restyled, nullptr);
    EXPECT_EQ(Restyled->StyleIndex(), Style);
    EXPECT_EQ(Restyled->Text(), "Hello");
    EXPECT_EQ(Restyled->LeadingTransition(), New);
    EXPECT_EQ(Restyled->Position(), Title->Position());
    EXPECT_TRUE(EngineMatchesFresh());

    auto* Effect = new TEffect(3 * Second, Second, FirstEffect());
    EffectsTrack()->InsertItem(Effect, 0);
    int32_t Other = DescriptionRegistry().Effects().Description(2)->Index();
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { EffectsTrack()->ReplaceEffect(0, Other); }));
    auto* Replaced = dynamic_cast<TEffect*>(EffectsTrack()->Item(0));
    EXPECT_EQ(Replaced->DescriptionIndex(), Other);
    EXPECT_EQ(Replaced->Position(), Second);
    EXPECT_EQ(Replaced->Duration(), 3 * Second);
}

TEST_F(InsertTest, AStillOnTheOverlayTrackShowsWhatLiesBelowAroundIt) {
    TTrack* Overlay = Project->Track(3);
    ASSERT_EQ(Overlay->Kind(), TTrackKind::Overlay);
    TFileClip* Still = Overlay->InsertFile(TKeepTransitions::Neither, Picture("p.png"), 0);
    ASSERT_NE(Still->BackgroundColorSetting(), nullptr);
    EXPECT_EQ(Still->BackgroundColorSetting()->Value(), 0u);
    TFileClip* Other = VideoTrack()->InsertFile(TKeepTransitions::Neither, Picture("q.png"), 0);
    EXPECT_NE(Other->BackgroundColorSetting()->Value(), 0u);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(InsertTest, InsertEffectOnTheEffectsTrack) {
    TEffect* Effect = nullptr;
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] {
        Effect = EffectsTrack()->InsertEffect(FirstEffect(), 3 * Second, 2 * Second);
    }));
    EXPECT_EQ(Effect->Position(), 2 * Second);
    EXPECT_EQ(Effect->Duration(), 3 * Second);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(InsertTest, AFailedInsertionLeavesTheTrackAsItWas) {
    PlaceTitle(VideoTrack(), 0, 2 * Second);
    std::string Before = ProjectText(*Project);
    EXPECT_ANY_THROW(VideoTrack()->InsertTitle(TKeepTransitions::Neither, {}, {}, "x", -5, Second, 0));
    EXPECT_EQ(ProjectText(*Project), Before);
}

} // namespace
