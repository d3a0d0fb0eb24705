#include "toolkit/docking/border_dock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A box that has been laid out before at its wanted place (edge space: x
// along the edge, y away from it); a tool box may be squeezed to 100
// pixels or its width.
TBandBox Box(int32_t Left, int32_t Top, int32_t Width, int32_t Height, bool MayStretch = true) {
    TBandBox Result;
    Result.Wanted = Result.Current = TRect::FromSize(Left, Top, Width, Height);
    Result.MinLength = std::min(100, Width);
    Result.MayStretch = MayStretch;
    return Result;
}

// A box just dropped at its wanted place.
TBandBox Dropped(int32_t Left, int32_t Top, int32_t Width, int32_t Height) {
    TBandBox Result = Box(Left, Top, Width, Height);
    Result.IsNew = true;
    return Result;
}

struct TPackCase {
    const char* Name;
    int32_t Length;
    std::vector<TBandBox> Boxes;
    std::vector<TRect> Expected;
};

void ExpectPacked(const std::vector<TBandBox>& Boxes, const TPackCase& Case) {
    ASSERT_EQ(Boxes.size(), Case.Expected.size());
    for (size_t I = 0; I < Boxes.size(); ++I)
        EXPECT_EQ(Boxes[I].Result, Case.Expected[I]) << "box " << I;
    // Whatever the case, no two boxes overlap and none is shorter than its
    // minimum.
    for (size_t I = 0; I < Boxes.size(); ++I) {
        EXPECT_GE(Boxes[I].Result.Width(), Boxes[I].MinLength) << I;
        for (size_t J = I + 1; J < Boxes.size(); ++J)
            EXPECT_FALSE(Boxes[I].Result.Intersects(Boxes[J].Result)) << I << " " << J;
    }
}

// Laying boxes along the edge in the bands they wanted.
class PackAlongTheEdge : public ::testing::TestWithParam<TPackCase> {};

// The whole packing: bands first, then along the edge.
class PackIntoBands : public ::testing::TestWithParam<TPackCase> {};

} // namespace

TEST_P(PackIntoBands, PlacesEveryBoxWhereTheRulesSay) {
    std::vector<TBandBox> Boxes = GetParam().Boxes;
    PackBands(Boxes, GetParam().Length);
    ExpectPacked(Boxes, GetParam());
}

TEST_P(PackAlongTheEdge, PlacesEveryBoxWhereTheRulesSay) {
    std::vector<TBandBox> Boxes = GetParam().Boxes;
    for (auto& Box : Boxes)
        Box.Result = Box.Wanted;
    LayBandsAlong(Boxes, GetParam().Length);
    ExpectPacked(Boxes, GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    BorderDock, PackAlongTheEdge,
    ::testing::Values(
        // B wants to start inside A: B keeps its place, A is cut at B's
        // left, and B stretches to the dock's end.
        TPackCase{"ALaterBoxSqueezesItsLeftNeighbour", 600,
                  {Box(0, 0, 300, 20), Box(200, 0, 300, 20)},
                  {TRect(0, 0, 200, 20), TRect(200, 0, 600, 20)}},
        // B starts less than 100 pixels after A: it goes to A's earliest
        // left plus A's minimum length.
        TPackCase{"ABoxNeverStartsBeforeItsNeighboursMinimum", 600,
                  {Box(0, 0, 300, 20), Box(40, 0, 200, 20)},
                  {TRect(0, 0, 100, 20), TRect(100, 0, 600, 20)}},
        // C reaches past the dock's end: it is pulled back until its
        // minimum length ends there, B gives way to keep 100 pixels before
        // C, and A keeps its own 100 before B.
        TPackCase{"ABoxPastTheEndIsPulledBackAndPushesItsNeighboursLeft", 350,
                  {Box(0, 0, 200, 20), Box(200, 0, 200, 20), Box(400, 0, 200, 20)},
                  {TRect(0, 0, 150, 20), TRect(150, 0, 250, 20), TRect(250, 0, 350, 20)}},
        // A box that may not stretch keeps its width and leaves the gap.
        TPackCase{"ABoxThatMayNotStretchKeepsItsWidth", 600,
                  {Box(0, 0, 120, 20, false), Box(300, 0, 100, 20)},
                  {TRect(0, 0, 120, 20), TRect(300, 0, 600, 20)}},
        // Boxes in different bands do not push each other.
        TPackCase{"BoxesOfOtherBandsAreNoNeighbours", 600,
                  {Box(0, 0, 400, 20), Box(50, 20, 100, 20)},
                  {TRect(0, 0, 600, 20), TRect(50, 20, 600, 40)}},
        // A box two bands tall is the left neighbour of a box in each band.
        TPackCase{"ATallBoxIsTheNeighbourOfABoxInEachBand", 600,
                  {Box(0, 0, 100, 40), Box(50, 0, 150, 20), Box(60, 20, 150, 20)},
                  {TRect(0, 0, 100, 40), TRect(100, 0, 600, 20), TRect(100, 20, 600, 40)}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    BorderDock, PackIntoBands,
    ::testing::Values(
        // Dropped across the line between two bands (a third to two thirds
        // over each): the box opens a band of its own there and the lower
        // band goes down below it.
        TPackCase{"ABoxDroppedBetweenTwoBandsOpensABandAndPushesTheLowerOneDown", 600,
                  {Box(0, 0, 300, 20), Box(0, 20, 300, 20), Dropped(120, 12, 150, 20)},
                  {TRect(0, 0, 600, 20), TRect(0, 40, 600, 60), TRect(120, 20, 600, 40)}},
        // Dropped beside a band, mostly at its height: the box joins it and
        // the box before it is cut at its left.
        TPackCase{"ABoxDroppedBesideABandJoinsIt", 600,
                  {Box(0, 0, 300, 20), Box(0, 20, 300, 20), Dropped(350, 22, 150, 20)},
                  {TRect(0, 0, 600, 20), TRect(0, 20, 350, 40), TRect(350, 20, 600, 40)}},
        // Dropped across the line between two bands nearer the upper one's
        // top (A tall, B short): it takes the band below A and B, whose top
        // it covers, goes down below it.
        TPackCase{"ABoxDroppedOverALowerBandsTopPushesThatBandDown", 600,
                  {Box(0, 0, 300, 30), Box(0, 30, 300, 20), Dropped(150, 24, 200, 20)},
                  {TRect(0, 0, 600, 30), TRect(0, 50, 600, 70), TRect(150, 30, 600, 50)}},
        // Dropped into the gap between two boxes of a band, a little off
        // its height: it joins that band between them.
        TPackCase{"ABoxDroppedIntoABandsGapFillsIt", 600,
                  {Box(0, 0, 200, 20), Box(400, 0, 200, 20), Dropped(220, 3, 150, 20)},
                  {TRect(0, 0, 220, 20), TRect(400, 0, 600, 20), TRect(220, 0, 400, 20)}},
        // Dropped across the edge, mostly outside: it opens a band at the
        // edge and the band there goes down.
        TPackCase{"ABoxDroppedAcrossTheEdgeOpensABandThere", 600,
                  {Box(0, 0, 300, 20), Dropped(150, -12, 200, 20)},
                  {TRect(0, 20, 600, 40), TRect(150, 0, 600, 20)}},
        // The middle band was emptied (its box undocked): the band below it
        // moves up against the first.
        TPackCase{"AnEmptiedBandIsClosed", 600,
                  {Box(0, 0, 300, 20), Box(100, 40, 300, 20), Box(0, 60, 200, 24)},
                  {TRect(0, 0, 600, 20), TRect(100, 20, 600, 40), TRect(0, 40, 600, 64)}},
        // Dropped between two bands over one box of the lower band: the
        // whole lower band goes down, the box it did not cover too.
        TPackCase{"ABoxDroppedBetweenBandsMovesTheWholeLowerBand", 600,
                  {Box(0, 0, 300, 20), Box(0, 20, 300, 20), Box(400, 20, 200, 20), Dropped(120, 12, 150, 20)},
                  {TRect(0, 0, 600, 20), TRect(0, 40, 400, 60), TRect(400, 40, 600, 60), TRect(120, 20, 600, 40)}},
        // Two boxes whose starts lie within 100 pixels cannot share a band:
        // the one placed later keeps the band, the other goes below.
        TPackCase{"BoxesStartingTooCloseTakeBandsOfTheirOwn", 600,
                  {Box(0, 0, 300, 20), Box(40, 0, 200, 20)},
                  {TRect(0, 20, 600, 40), TRect(40, 0, 600, 20)}}),
    [](const auto& Info) { return std::string(Info.param.Name); });
