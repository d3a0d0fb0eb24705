#include "project/transition.h"

#include "item_test_fixture.h"
#include "project/file_clip.h"
#include "project/title_clip.h"
#include "render/transition_element.h"

namespace {

class TransitionTest : public ItemTest {
protected:
    // Title A over 0..4 s, a 1 s transition, title B over 3..7 s, joined.
    void SetUp() override {
        ItemTest::SetUp();
        A = new TTitleClip(4 * Second, 0, FirstTitleStyle());
        T = new TTransition(Second, 0, TransitionIndex(false));
        B = new TTitleClip(4 * Second, 3 * Second, FirstTitleStyle());
        VideoTrack()->InsertItem(A, 0);
        VideoTrack()->InsertItem(T, 1);
        VideoTrack()->InsertItem(B, 2);
        LinkFrom(T, A);
        LinkTo(T, B);
        VideoTrack()->Normalize(false);
    }
    TTitleClip* A = nullptr;
    TTransition* T = nullptr;
    TTitleClip* B = nullptr;
};

TEST_F(TransitionTest, PlaceEndsTheTransitionWithItsClipAndStartsTheNextThere) {
    EXPECT_EQ(T->Position(), 3 * Second);
    EXPECT_EQ(B->Position(), 3 * Second);
    A->SetDuration(6 * Second);
    VideoTrack()->Normalize(false);
    EXPECT_EQ(T->Position(), 5 * Second);
    EXPECT_EQ(B->Position(), 5 * Second);
    EXPECT_EQ(T->Element()->Start(), 5 * Second);
    EXPECT_EQ(B->Element()->Start(), 5 * Second);
}

TEST_F(TransitionTest, LinksReachTheRenderElements) {
    auto* Element = T->TransitionElement();
    EXPECT_EQ(Element->OutgoingClip(), A->ClipElement());
    EXPECT_EQ(Element->IncomingClip(), B->ClipElement());
    EXPECT_EQ(A->TrailingTransition(), T);
    EXPECT_EQ(B->LeadingTransition(), T);
    B->SetLeadingTransition(nullptr);
    EXPECT_EQ(T->ToClip(), nullptr);
    EXPECT_EQ(Element->IncomingClip(), nullptr);
}

TEST_F(TransitionTest, LimitsKeepTheShortestOverlap) {
    // B's start cannot pass the end of its leading transition's overlap.
    EXPECT_EQ(B->GetLimits().LatestStart, 3 * Second + Second - MinimumItemDuration);
    // A's start not later than its end minus its trailing transition.
    EXPECT_EQ(A->GetLimits().LatestStart, 4 * Second - Second - MinimumItemDuration);
    EXPECT_EQ(A->GetLimits().EarliestStart, 0);
    EXPECT_EQ(A->GetLimits().LatestEnd, B->End() - MinimumItemDuration);
    EXPECT_EQ(T->GetLimits().EarliestStart, MinimumItemDuration);
    EXPECT_EQ(B->GetLimits().LatestEnd, UnlimitedTime);
}

TEST_F(TransitionTest, UnjoinedClipLimitsFollowItsNeighbours) {
    auto* C = new TTitleClip(2 * Second, 9 * Second, FirstTitleStyle());
    VideoTrack()->InsertItem(C, 3);
    TItemLimits Limits = C->GetLimits();
    EXPECT_EQ(Limits.EarliestStart, B->End());
    EXPECT_EQ(Limits.LatestStart, C->End() - MinimumItemDuration);
    EXPECT_EQ(Limits.EarliestEnd, C->Position() + MinimumItemDuration);
}

TEST_F(TransitionTest, BlocksRunThroughTransitions) {
    VideoTrack()->InsertItem(new TTitleClip(Second, 20 * Second, FirstTitleStyle()), 3);
    B->SetSelected(true);
    auto Blocks = VideoTrack()->GetBlocks();
    ASSERT_EQ(Blocks.size(), 2u);
    EXPECT_EQ(Blocks[0].First, 0);
    EXPECT_EQ(Blocks[0].Last, 2);
    EXPECT_EQ(Blocks[0].End, 7 * Second);
    EXPECT_TRUE(Blocks[0].IsSelected);
    EXPECT_FALSE(Blocks[1].IsSelected);
}

TEST_F(TransitionTest, IndexAtTimeAndCursorUseTheVisibleSpans) {
    // A is visible over 0..3 s (middle 1.5 s), T's middle is 3.5 s, B 4..7 s.
    EXPECT_EQ(VideoTrack()->IndexAtTime(Second), 0);
    EXPECT_EQ(VideoTrack()->IndexAtTime(2 * Second), 1);
    EXPECT_EQ(VideoTrack()->IndexAtTime(4 * Second), 2);
    EXPECT_EQ(VideoTrack()->IndexAtTime(6 * Second), 3);
    Project->SetPosition(0);
    Project->MoveCursorIntoItem(B);
    EXPECT_EQ(Project->Position(), 4 * Second);
    Project->SetPosition(30 * Second);
    Project->MoveCursorIntoItem(B);
    // The last frame start before 7 s at 16 frames per second, less 2.
    EXPECT_EQ(Project->Position(), 7 * Second - 2);
}

TEST_F(TransitionTest, MarkJoinedAndKeepJoinedHoldTouchingItems) {
    auto* C = new TTitleClip(Second, 7 * Second, FirstTitleStyle());
    VideoTrack()->InsertItem(C, 3);
    VideoTrack()->MarkJoined();
    EXPECT_FALSE(A->Joined());
    EXPECT_TRUE(C->Joined());
    B->SetDuration(5 * Second);
    VideoTrack()->Normalize(true);
    EXPECT_EQ(C->Position(), 8 * Second);
}

} // namespace
