#include "toolkit/border_dock.h"

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

class PackAlongTheEdge : public ::testing::TestWithParam<TPackCase> {};

} // namespace

TEST_P(PackAlongTheEdge, PlacesEveryBoxWhereTheRulesSay) {
    std::vector<TBandBox> Boxes = GetParam().Boxes;
    PackBands(Boxes, GetParam().Length);
    ASSERT_EQ(Boxes.size(), GetParam().Expected.size());
    for (size_t I = 0; I < Boxes.size(); ++I)
        EXPECT_EQ(Boxes[I].Result, GetParam().Expected[I]) << "box " << I;
    // Whatever the case, no two boxes overlap and none is shorter than its
    // minimum.
    for (size_t I = 0; I < Boxes.size(); ++I) {
        EXPECT_GE(Boxes[I].Result.Width(), Boxes[I].MinLength) << I;
        for (size_t J = I + 1; J < Boxes.size(); ++J)
            EXPECT_FALSE(Boxes[I].Result.Intersects(Boxes[J].Result)) << I << " " << J;
    }
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
                  {TRect(0, 0, 100, 40), TRect(100, 0, 600, 20), TRect(100, 20, 600, 40)}},
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
                  {TRect(0, 0, 600, 20), TRect(0, 20, 350, 40), TRect(350, 20, 600, 40)}}),
    [](const auto& Info) { return std::string(Info.param.Name); });
