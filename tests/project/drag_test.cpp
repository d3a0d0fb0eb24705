#include "editing_fixture.h"

namespace {

class DragTest : public EditingTest {
protected:
    // Titles A (5..9 s) and B (8..12 s) joined by a 1 s transition T, a
    // block that starts after a gap and may stretch.
    void MakeTitleBlock() {
        A = PlaceTitle(VideoTrack(), 5 * Second, 4 * Second);
        B = PlaceTitle(VideoTrack(), 9 * Second, 4 * Second);
        T = JoinLast(VideoTrack(), Second);
    }
    // Drags as the timeline editor does: one tracking bracket, several
    // moves, one step.
    void TrackedEdgeDrag(TSelectionEdge Edge, std::initializer_list<TVideoTime> Deltas) {
        VideoTrack()->BeginTracking();
        for (TVideoTime Delta : Deltas)
            VideoTrack()->DragSelectionEdge(Edge, Delta);
        VideoTrack()->EndTracking();
    }
    TTitleClip* A = nullptr;
    TTitleClip* B = nullptr;
    TTransition* T = nullptr;
};

TEST_F(DragTest, RightEdgeOfAClipInABlockMovesItAsFarAsBothClipsAllow) {
    // C (0..8 s) and N (6..14 s), video clips joined by T (6..8 s); only C
    // selected, its right edge dragged 5 s to the right.
    TFileClip* C = PlaceFile(VideoTrack(), Video("c.mp4", 200), 0);
    TFileClip* N = PlaceFile(VideoTrack(), Video("n.mp4", 200), 8 * Second);
    TTransition* Between = JoinLast(VideoTrack(), 2 * Second);
    ASSERT_EQ(N->Position(), 6 * Second);
    Select({C});
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { TrackedEdgeDrag(TSelectionEdge::Right, {Second, 5 * Second}); }));
    EXPECT_EQ(C->Position(), 4 * Second) << Layout(VideoTrack());
    EXPECT_EQ(C->End(), 12 * Second);
    EXPECT_EQ(Between->Position(), 6 * Second);
    EXPECT_EQ(Between->End(), 12 * Second);
    EXPECT_EQ(N->Position(), 6 * Second);
    EXPECT_EQ(N->End(), 14 * Second);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(DragTest, StillAloneInItsBlockStretchesToTheNextBlockAndShrinksToTheMinimum) {
    TFileClip* Still = PlaceFile(VideoTrack(), Picture("p.png"), 0);
    TTitleClip* Next = PlaceTitle(VideoTrack(), 10 * Second, Second);
    Select({Still});
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { TrackedEdgeDrag(TSelectionEdge::Right, {100 * Second}); }));
    EXPECT_EQ(Still->End(), Next->Position());
    EXPECT_EQ(Still->TrimEnd() - Still->TrimBegin(), Still->Duration());
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { TrackedEdgeDrag(TSelectionEdge::Left, {100 * Second}); }));
    EXPECT_EQ(Still->Duration(), MinimumItemDuration);
    EXPECT_EQ(Still->End(), Next->Position());
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(DragTest, RightEdgeOfAVideoClipAloneMovesTheWholeBlock) {
    TFileClip* Clip = PlaceFile(VideoTrack(), Video("a.mp4"), 0);
    TVideoTime Length = Clip->Duration();
    Select({Clip});
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->DragSelectionEdge(TSelectionEdge::Right, 3 * Second); }));
    EXPECT_EQ(Clip->Position(), 3 * Second);
    EXPECT_EQ(Clip->Duration(), Length);
}

TEST_F(DragTest, MovingSeparatedBlocksLeftStopsEachAtWhatLiesBefore) {
    PlaceTitle(VideoTrack(), 0, 2 * Second);
    TTitleClip* First = PlaceTitle(VideoTrack(), 4 * Second, 2 * Second);
    TTitleClip* Second_ = PlaceTitle(VideoTrack(), 20 * Second, 2 * Second);
    Select({First, Second_});
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->MoveSelection(-5 * Second); }));
    // The first stops at the end of the unselected title; the second moves
    // the whole way.
    EXPECT_EQ(First->Position(), 2 * Second);
    EXPECT_EQ(Second_->Position(), 15 * Second);
    // Far enough and the second runs up against the first.
    VideoTrack()->MoveSelection(-100 * Second);
    EXPECT_EQ(First->Position(), 2 * Second);
    EXPECT_EQ(Second_->Position(), 4 * Second);
    // Right: the last moves freely, the earlier ones as far as the next.
    VideoTrack()->MoveSelection(3 * Second);
    EXPECT_EQ(Second_->Position(), 7 * Second);
    EXPECT_EQ(First->Position(), 5 * Second);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(DragTest, ADragThatEndsWhereItBeganLeavesNoStep) {
    MakeTitleBlock();
    Select({A});
    int32_t Steps = UndoHistory().Count();
    std::string Before = ArrangementText(*Project);
    VideoTrack()->BeginTracking();
    VideoTrack()->MoveSelection(2 * Second);
    VideoTrack()->MoveSelection(-Second);
    VideoTrack()->MoveSelection(0);
    VideoTrack()->EndTracking();
    EXPECT_EQ(UndoHistory().Count(), Steps);
    EXPECT_EQ(ArrangementText(*Project), Before);
    // Nor does a drag blocked at once, against the title before the block.
    PlaceTitle(VideoTrack(), 0, Second);
    VideoTrack()->MoveSelection(-100 * Second);
    VideoTrack()->MoveSelection(-Second);
    EXPECT_EQ(UndoHistory().Count(), Steps + 1);
    VideoTrack()->MoveSelection(-Second);
    EXPECT_EQ(UndoHistory().Count(), Steps + 1);
    EXPECT_FALSE(Project->Tracking());
}

TEST_F(DragTest, TrackingDefersTheEngineUntilTheDragEnds) {
    MakeTitleBlock();
    Select({A, T, B});
    std::string Engine = EngineText(Project->Timeline());
    VideoTrack()->BeginTracking();
    VideoTrack()->MoveSelection(2 * Second);
    EXPECT_EQ(A->Position(), 7 * Second);
    EXPECT_EQ(EngineText(Project->Timeline()), Engine);
    VideoTrack()->MoveSelection(-Second);
    EXPECT_EQ(A->Position(), 4 * Second);
    VideoTrack()->EndTracking();
    EXPECT_NE(EngineText(Project->Timeline()), Engine);
    EXPECT_TRUE(EngineMatchesFresh());
    UndoHistory().Undo();
    EXPECT_EQ(A->Position(), 5 * Second);
    EXPECT_EQ(EngineText(Project->Timeline()), Engine);
}

// The shifts of a partly selected block, worked by hand on the block A
// (5..9), T (8..9), B (8..12).
TEST_F(DragTest, LeftEdgeOfAStretchableHeadMovesWithinItsOwnLength) {
    MakeTitleBlock();
    Select({A});
    // Right: A's start stops 0.25 s before its trailing transition.
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->DragSelectionEdge(TSelectionEdge::Left, 10 * Second); }));
    EXPECT_EQ(A->Position(), 8 * Second - MinimumItemDuration) << Layout(VideoTrack());
    EXPECT_EQ(A->End(), 9 * Second);
    EXPECT_EQ(T->Position(), 8 * Second);
    EXPECT_EQ(B->Position(), 8 * Second);
    UndoHistory().Undo();
    // Left: A grows at its start down to 0, and no further.
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->DragSelectionEdge(TSelectionEdge::Left, -10 * Second); }));
    EXPECT_EQ(A->Position(), 0);
    EXPECT_EQ(A->End(), 9 * Second);
    int32_t Steps = UndoHistory().Count();
    VideoTrack()->DragSelectionEdge(TSelectionEdge::Left, -Second);
    EXPECT_EQ(UndoHistory().Count(), Steps) << "a limit that leaves no movement makes no step";
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(DragTest, LeftEdgeOfAStretchableTailPullsTheHeadAlong) {
    MakeTitleBlock();
    Select({B});
    // B's start moves left and its end stays; A and T go with its start.
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->DragSelectionEdge(TSelectionEdge::Left, -2 * Second); }));
    EXPECT_EQ(A->Position(), 3 * Second) << Layout(VideoTrack());
    EXPECT_EQ(T->Position(), 6 * Second);
    EXPECT_EQ(B->Position(), 6 * Second);
    EXPECT_EQ(B->End(), 12 * Second);
    // The block's start stops at 0.
    VideoTrack()->DragSelectionEdge(TSelectionEdge::Left, -10 * Second);
    EXPECT_EQ(A->Position(), 0) << Layout(VideoTrack());
    EXPECT_EQ(B->Position(), 3 * Second);
    EXPECT_EQ(B->End(), 12 * Second);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(DragTest, RightEdgeOfAStretchableTailStretchesIt) {
    MakeTitleBlock();
    TTitleClip* Later = PlaceTitle(VideoTrack(), 20 * Second, Second);
    Select({B});
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->DragSelectionEdge(TSelectionEdge::Right, 3 * Second); }));
    EXPECT_EQ(B->Position(), 8 * Second);
    EXPECT_EQ(B->End(), 15 * Second);
    VideoTrack()->DragSelectionEdge(TSelectionEdge::Right, 30 * Second);
    EXPECT_EQ(B->End(), Later->Position());
    // Left, B shrinks but keeps 0.25 s beyond its transition.
    VideoTrack()->DragSelectionEdge(TSelectionEdge::Right, -30 * Second);
    EXPECT_EQ(B->End(), T->End() + MinimumItemDuration) << Layout(VideoTrack());
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(DragTest, RightEdgeOfASelectedTransitionLengthensTheClipItLeaves) {
    MakeTitleBlock();
    Select({T});
    // A stretches with the transition's end; B stays, and keeps a quarter
    // of itself clear (its end 12 s less 1 s).
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->DragSelectionEdge(TSelectionEdge::Right, Second); }));
    EXPECT_EQ(A->End(), 10 * Second) << Layout(VideoTrack());
    EXPECT_EQ(T->Position(), 8 * Second);
    EXPECT_EQ(T->End(), 10 * Second);
    EXPECT_EQ(B->Position(), 8 * Second);
    EXPECT_EQ(B->End(), 12 * Second);
    VideoTrack()->DragSelectionEdge(TSelectionEdge::Right, 5 * Second);
    EXPECT_EQ(T->End(), 11 * Second) << Layout(VideoTrack());
    EXPECT_EQ(A->End(), 11 * Second);
    EXPECT_EQ(A->TrailingTransition(), T);
    EXPECT_EQ(T->ToClip(), B);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(DragTest, MoveItemsToReordersUnlinkedItemsOnly) {
    TTitleClip* First = PlaceTitle(VideoTrack(), 0, 2 * Second);
    TTitleClip* Second_ = PlaceTitle(VideoTrack(), 3 * Second, 2 * Second);
    TTitleClip* Third = PlaceTitle(VideoTrack(), 6 * Second, 2 * Second);
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->MoveItemsTo(0, 2, 1, 10 * Second); }));
    EXPECT_EQ(VideoTrack()->Item(0), Second_);
    EXPECT_EQ(VideoTrack()->Item(1), Third);
    EXPECT_EQ(VideoTrack()->Item(2), First);
    EXPECT_EQ(First->Position(), 10 * Second);
    EXPECT_TRUE(EngineMatchesFresh());
    // Between a clip and its transition the move is refused.
    JoinLast(VideoTrack(), Second);
    int32_t Steps = UndoHistory().Count();
    std::string Before = ArrangementText(*Project);
    VideoTrack()->MoveItemsTo(0, 2, 1, 0);
    EXPECT_EQ(UndoHistory().Count(), Steps);
    EXPECT_EQ(ArrangementText(*Project), Before);
}

TEST_F(DragTest, ReorderDuringADragIsOneStepWithTheMoves) {
    TTitleClip* First = PlaceTitle(VideoTrack(), 0, 2 * Second);
    TTitleClip* Second_ = PlaceTitle(VideoTrack(), 3 * Second, 2 * Second);
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] {
        VideoTrack()->BeginTracking();
        VideoTrack()->MoveItemsTo(0, 1, 1, 6 * Second);
        VideoTrack()->MoveItemsTo(1, 0, 1, 0);
        VideoTrack()->MoveItemsTo(0, 1, 1, 8 * Second);
        VideoTrack()->EndTracking();
    }));
    EXPECT_EQ(VideoTrack()->Item(0), Second_);
    EXPECT_EQ(First->Position(), 8 * Second);
    EXPECT_FALSE(UndoHistory().GroupOpen());
}

TEST_F(DragTest, ClosingGaps) {
    TTitleClip* A1 = PlaceTitle(VideoTrack(), 2 * Second, 2 * Second);
    TTitleClip* A2 = PlaceTitle(VideoTrack(), 6 * Second, 2 * Second);
    TTitleClip* A3 = PlaceTitle(VideoTrack(), 12 * Second, 2 * Second);
    // The gap in which 5 s lies closes; everything after it moves along.
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->CloseGapAt(5 * Second); }));
    EXPECT_EQ(A1->Position(), 2 * Second);
    EXPECT_EQ(A2->Position(), 4 * Second);
    EXPECT_EQ(A3->Position(), 10 * Second);
    // From 0 every block packs against its predecessor, the first at 0.
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->CloseGapsFrom(0); }));
    EXPECT_EQ(A1->Position(), 0);
    EXPECT_EQ(A2->Position(), 2 * Second);
    EXPECT_EQ(A3->Position(), 4 * Second);
    EXPECT_TRUE(EngineMatchesFresh());
    // Nothing left to close: no step.
    int32_t Steps = UndoHistory().Count();
    VideoTrack()->CloseGapsFrom(0);
    VideoTrack()->CloseGapAt(0);
    EXPECT_EQ(UndoHistory().Count(), Steps);
}

} // namespace
