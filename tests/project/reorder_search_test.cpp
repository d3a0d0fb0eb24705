#include "project/reorder_search.h"

#include <gtest/gtest.h>

namespace {

constexpr TVideoTime Second = VideoTimeUnitsPerSecond;

// Blocks of one item each: A 0..4 s, B 4..8 s, C 10..14 s, D 14..16 s.
std::vector<TTrackBlock> FourBlocks(std::initializer_list<int32_t> Selected) {
    std::vector<TTrackBlock> Blocks{{0, 0, 0, 4 * Second, false},
                                    {1, 1, 4 * Second, 8 * Second, false},
                                    {2, 2, 10 * Second, 14 * Second, false},
                                    {3, 3, 14 * Second, 16 * Second, false}};
    for (int32_t Index : Selected)
        Blocks[size_t(Index)].IsSelected = true;
    return Blocks;
}

TEST(ReorderSearch, TheRunSpansTheSelectedBlocksAndIsContiguousOnlyWithoutGapsInTheSelection) {
    const TSelectedRun Two = FindSelectedRun(FourBlocks({1, 2}));
    EXPECT_EQ(Two.First, 1);
    EXPECT_EQ(Two.Last, 2);
    EXPECT_TRUE(Two.IsContiguous);
    EXPECT_EQ(RunItemCount(FourBlocks({1, 2}), Two), 2);
    const TSelectedRun Apart = FindSelectedRun(FourBlocks({0, 3}));
    EXPECT_FALSE(Apart.IsContiguous);
    EXPECT_TRUE(FindSelectedRun(FourBlocks({})).IsEmpty());
    // A run that is not contiguous never reorders.
    EXPECT_FALSE(FindReorder(FourBlocks({0, 3}), Apart, 20 * Second, 20 * Second).IsFound());
}

TEST(ReorderSearch, WithinItsOwnGapTheRunsMiddleDecidesAndItNeverReorders) {
    const auto Blocks = FourBlocks({1});
    const TSelectedRun Run = FindSelectedRun(Blocks);
    // B moved 2 s right still lies in 4..10 s: the mouse far right does not count.
    EXPECT_FALSE(FindReorder(Blocks, Run, 2 * Second, 15 * Second).IsFound());
}

TEST(ReorderSearch, PastANeighboursMiddleTheMouseFindsTheTargetAndTheRunFitsBesideIt) {
    const auto Blocks = FourBlocks({1});
    const TSelectedRun Run = FindSelectedRun(Blocks);
    // B dragged 5 s right (9..13 s), the mouse at 12.5 s, past C's middle of 12 s.
    const TReorder Right = FindReorder(Blocks, Run, 5 * Second, 12 * Second + Second / 2);
    ASSERT_TRUE(Right.IsFound());
    EXPECT_EQ(Right.TargetBlock, 2);
    EXPECT_FALSE(Right.MovingLeft);
    // The space after C is 14..14 s: B cannot end before D, so it starts at C's end.
    EXPECT_EQ(Right.NewStart, 14 * Second);
    EXPECT_EQ(ReorderTargetIndex(Blocks, Run, Right), 2);
    // Short of C's middle nothing is found.
    EXPECT_FALSE(FindReorder(Blocks, Run, 5 * Second, 11 * Second).IsFound());
}

TEST(ReorderSearch, MovingLeftTheFirstBlockWhoseMiddleIsPassedIsTheTarget) {
    const auto Blocks = FourBlocks({2});
    const TSelectedRun Run = FindSelectedRun(Blocks);
    // C dragged 9 s left (1..5 s), the mouse at 1.5 s: past A's middle (2 s) and B's (6 s).
    const TReorder Left = FindReorder(Blocks, Run, -9 * Second, Second + Second / 2);
    ASSERT_TRUE(Left.IsFound());
    EXPECT_EQ(Left.TargetBlock, 0);
    EXPECT_TRUE(Left.MovingLeft);
    // Before A there is no room: C starts at 0 and A follows it.
    EXPECT_EQ(Left.NewStart, 0);
    EXPECT_EQ(ReorderTargetIndex(Blocks, Run, Left), 0);
}

} // namespace
