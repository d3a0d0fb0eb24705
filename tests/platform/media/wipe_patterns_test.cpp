// The wipe patterns as masks: which codes exist, that each mask runs from
// the first level to the last, and where B shows half-way for each family.

#include "platform/media/wipe_patterns.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <numbers>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int32_t W = 64, H = 48;
constexpr int32_t HalfWay = WipeLevelCount / 2;

bool ShowsB(const TWipeMask& Mask, int32_t X, int32_t Y, int32_t Edge = HalfWay) {
    return Mask.Levels[size_t(Y * Mask.Width + X)] < Edge;
}

double ShareOfB(const TWipeMask& Mask, int32_t Edge = HalfWay) {
    auto Count = std::count_if(Mask.Levels.begin(), Mask.Levels.end(),
                               [Edge](uint16_t Level) { return Level < Edge; });
    return double(Count) / double(Mask.Levels.size());
}

// B shows half-way exactly where Inside says.
void ExpectRegion(int32_t Code, const std::function<bool(int32_t, int32_t)>& Inside) {
    TWipeMask Mask = BuildWipeMask(Code, W, H);
    int32_t Wrong = 0;
    for (int32_t Y = 0; Y < H; ++Y)
        for (int32_t X = 0; X < W; ++X)
            Wrong += ShowsB(Mask, X, Y) != Inside(X, Y) ? 1 : 0;
    EXPECT_EQ(Wrong, 0) << "code " << Code;
}

TEST(WipePatterns, CodesAreTheCataloguesInItsOrder) {
    const std::pair<int32_t, int32_t> Ranges[] = {
        {1, 8},     {21, 26},   {41, 48},   {61, 68},   {71, 74},   {101, 114}, {119, 125},
        {127, 131}, {201, 207}, {211, 214}, {221, 228}, {231, 236}, {241, 246}, {251, 254},
        {261, 264}, {301, 306}, {310, 317}, {320, 329}, {340, 345}, {350, 353}, {409, 409}};
    std::vector<int32_t> Expected;
    for (auto [First, Last] : Ranges)
        for (int32_t Code = First; Code <= Last; ++Code)
            Expected.push_back(Code);
    auto Codes = WipeCodes();
    EXPECT_EQ(std::vector<int32_t>(Codes.begin(), Codes.end()), Expected);
    EXPECT_EQ(Codes.size(), 134u);
    EXPECT_TRUE(IsWipeCode(409));
    EXPECT_FALSE(IsWipeCode(9));
    EXPECT_FALSE(IsWipeCode(0));
}

TEST(WipePatterns, EveryMaskRunsFromTheFirstLevelToTheLast) {
    for (int32_t Code : WipeCodes()) {
        TWipeMask Mask = BuildWipeMask(Code, W, H);
        ASSERT_EQ(Mask.Levels.size(), size_t(W * H));
        auto [Low, High] = std::minmax_element(Mask.Levels.begin(), Mask.Levels.end());
        EXPECT_EQ(*Low, 0) << "code " << Code;
        EXPECT_EQ(*High, WipeLevelCount - 1) << "code " << Code;
    }
}

TEST(WipePatterns, EveryCodeHasAPatternOfItsOwn) {
    std::set<std::vector<uint16_t>> Seen;
    for (int32_t Code : WipeCodes())
        EXPECT_TRUE(Seen.insert(BuildWipeMask(Code, W, H).Levels).second)
            << "code " << Code << " repeats an earlier pattern";
}

TEST(WipePatterns, UnknownCodesWipeLikeTheBarFromTheLeft) {
    EXPECT_EQ(BuildWipeMask(999, W, H).Levels, BuildWipeMask(1, W, H).Levels);
    EXPECT_EQ(BuildWipeMask(-3, W, H).Levels, BuildWipeMask(1, W, H).Levels);
}

TEST(WipePatterns, TinyAndEmptyFramesGiveMasksOfTheirSize) {
    EXPECT_TRUE(BuildWipeMask(119, 0, 0).Levels.empty());
    EXPECT_EQ(BuildWipeMask(119, 1, 1).Levels.size(), 1u);
    for (int32_t Code : WipeCodes())
        EXPECT_EQ(BuildWipeMask(Code, 3, 2).Levels.size(), 6u);
}

TEST(WipePatterns, CacheGivesTheSameMaskForTheSameSizeAndPattern) {
    auto First = CachedWipeMask(119, W, H);
    EXPECT_EQ(CachedWipeMask(119, W, H), First);
    EXPECT_NE(CachedWipeMask(119, W, H + 2), First);
    EXPECT_EQ(CachedWipeMask(119, W, H + 2)->Height, H + 2);
    EXPECT_EQ(CachedWipeMask(101, W, H)->Code, 101);
    EXPECT_EQ(First->Levels, BuildWipeMask(119, W, H).Levels);
}

TEST(WipePatterns, EdgeWipesHalfWayCoverTheirHalfOrQuarter) {
    ExpectRegion(1, [](int32_t X, int32_t) { return X < W / 2; });
    ExpectRegion(2, [](int32_t, int32_t Y) { return Y < H / 2; });
    ExpectRegion(3, [](int32_t X, int32_t Y) { return X < W / 2 && Y < H / 2; });
    ExpectRegion(4, [](int32_t X, int32_t Y) { return X >= W / 2 && Y < H / 2; });
    ExpectRegion(5, [](int32_t X, int32_t Y) { return X >= W / 2 && Y >= H / 2; });
    ExpectRegion(6, [](int32_t X, int32_t Y) { return X < W / 2 && Y >= H / 2; });
    ExpectRegion(21, [](int32_t X, int32_t) { return X >= W / 4 && X < 3 * W / 4; });
    ExpectRegion(22, [](int32_t, int32_t Y) { return Y >= H / 4 && Y < 3 * H / 4; });
    // Four corner boxes of a quarter of each quadrant.
    ExpectRegion(7, [](int32_t X, int32_t Y) {
        bool EdgeX = X < W / 4 || X >= 3 * W / 4, EdgeY = Y < H / 4 || Y >= 3 * H / 4;
        return EdgeX && EdgeY;
    });
    EXPECT_NEAR(ShareOfB(BuildWipeMask(8, W, H)), 0.25, 0.02);
    EXPECT_NEAR(ShareOfB(BuildWipeMask(23, W, H)), 0.25, 0.02);
    EXPECT_NEAR(ShareOfB(BuildWipeMask(26, W, H)), 0.25, 0.02);
}

TEST(WipePatterns, DiagonalsAndChevronsHalfWay) {
    TWipeMask Diagonal = BuildWipeMask(41, W, H);
    EXPECT_NEAR(ShareOfB(Diagonal), 0.5, 0.02);
    EXPECT_TRUE(ShowsB(Diagonal, 0, 0));
    EXPECT_FALSE(ShowsB(Diagonal, W - 1, H - 1));
    TWipeMask FromTopRight = BuildWipeMask(42, W, H);
    EXPECT_TRUE(ShowsB(FromTopRight, W - 1, 0));
    EXPECT_FALSE(ShowsB(FromTopRight, 0, H - 1));
    EXPECT_NEAR(ShareOfB(BuildWipeMask(43, W, H)), 0.5, 0.02);  // bow tie
    EXPECT_NEAR(ShareOfB(BuildWipeMask(45, W, H)), 0.75, 0.02); // diagonal barn door
    EXPECT_NEAR(ShareOfB(BuildWipeMask(47, W, H)), 0.75, 0.02); // both diagonals
    EXPECT_NEAR(ShareOfB(BuildWipeMask(48, W, H)), 0.25, 0.03); // two diamonds
    EXPECT_NEAR(ShareOfB(BuildWipeMask(61, W, H)), 0.5, 0.02);  // V sweeping down
    EXPECT_NEAR(ShareOfB(BuildWipeMask(65, W, H)), 0.5, 0.02);  // V wedge
    EXPECT_NEAR(ShareOfB(BuildWipeMask(71, W, H)), 0.5, 0.03);  // zig-zag
    // The V pointing down leads in the middle.
    TWipeMask Vee = BuildWipeMask(61, W, H);
    EXPECT_TRUE(ShowsB(Vee, W / 2, H / 2 + 4));
    EXPECT_FALSE(ShowsB(Vee, 2, H / 2 + 4));
    EXPECT_TRUE(ShowsB(Vee, 2, 2));
}

TEST(WipePatterns, IrisShapesGrowFromTheCentre) {
    for (int32_t Code : WipeCodes()) {
        if (Code < 101 || Code > 131)
            continue;
        TWipeMask Mask = BuildWipeMask(Code, W, H);
        EXPECT_TRUE(ShowsB(Mask, W / 2, H / 2, WipeLevelCount / 20)) << "code " << Code;
        for (auto [X, Y] : {std::pair(0, 0), {W - 1, 0}, {0, H - 1}, {W - 1, H - 1}})
            EXPECT_FALSE(ShowsB(Mask, X, Y, WipeLevelCount / 4)) << "code " << Code;
    }
    EXPECT_NEAR(ShareOfB(BuildWipeMask(101, W, H)), 0.25, 0.02);
    EXPECT_NEAR(ShareOfB(BuildWipeMask(102, W, H)), 0.5, 0.02);
    // The circle reaches the corners last: half-way its radius is half the
    // distance from the centre to a corner, whatever the aspect ratio.
    double Radius = std::hypot(W / 2.0, H / 2.0) / 2;
    EXPECT_NEAR(ShareOfB(BuildWipeMask(119, W, H)), std::numbers::pi * Radius * Radius / (W * H),
                0.02);
    TWipeMask Circle = BuildWipeMask(119, W, H);
    EXPECT_EQ(ShowsB(Circle, W / 2 + int32_t(Radius) - 2, H / 2), true);
    EXPECT_EQ(ShowsB(Circle, W / 2, H / 2 + int32_t(Radius) - 2), true);
    EXPECT_EQ(ShowsB(Circle, W / 2 + int32_t(Radius) + 2, H / 2), false);
    // A triangle pointing up is wider below its centre than above, one
    // pointing down the other way round.
    int32_t Edge = WipeLevelCount / 3;
    TWipeMask Up = BuildWipeMask(103, W, H), Down = BuildWipeMask(105, W, H);
    EXPECT_TRUE(ShowsB(Up, W / 2 + 15, H / 2 + 10, Edge));
    EXPECT_FALSE(ShowsB(Up, W / 2 + 15, H / 2 - 10, Edge));
    EXPECT_FALSE(ShowsB(Down, W / 2 + 15, H / 2 + 10, Edge));
    EXPECT_TRUE(ShowsB(Down, W / 2 + 15, H / 2 - 11, Edge));
}

TEST(WipePatterns, ClockWipesTurnFromTheirHour) {
    // Half a turn from twelve covers the right half, from three the bottom.
    ExpectRegion(201, [](int32_t X, int32_t) { return X >= W / 2; });
    ExpectRegion(202, [](int32_t, int32_t Y) { return Y >= H / 2; });
    ExpectRegion(203, [](int32_t X, int32_t) { return X < W / 2; });
    ExpectRegion(204, [](int32_t, int32_t Y) { return Y < H / 2; });
    // A quarter turn from twelve: the top-right quadrant.
    TWipeMask Clock = BuildWipeMask(201, W, H);
    EXPECT_NEAR(ShareOfB(Clock, WipeLevelCount / 4), 0.25, 0.01);
    EXPECT_TRUE(ShowsB(Clock, W - 4, 4, WipeLevelCount / 4));
    EXPECT_FALSE(ShowsB(Clock, W - 4, H - 4, WipeLevelCount / 4));
    // A fan from twelve opens both ways: the top half half-way.
    ExpectRegion(211, [](int32_t, int32_t Y) { return Y < H / 2; });
    // A hand on the top edge, from three o'clock: the right half half-way.
    ExpectRegion(221, [](int32_t X, int32_t) { return X >= W / 2; });
    for (int32_t Code : {205, 206, 207, 225, 227, 228})
        EXPECT_NEAR(ShareOfB(BuildWipeMask(Code, W, H)), 0.5, 0.02) << "code " << Code;
    // A fan from the top edge's middle, 45 degrees each way half-way: in
    // pixels |x - 32| < y.
    EXPECT_NEAR(ShareOfB(BuildWipeMask(231, W, H)), 2048.0 / (W * H), 0.02);
    // A hand on the top-left corner, turning from the top edge, lies at 45
    // degrees half-way: above it y < x.
    EXPECT_NEAR(ShareOfB(BuildWipeMask(241, W, H)), 1 - 1152.0 / (W * H), 0.02);
}

TEST(WipePatterns, MatrixWipesFillCellsInTheirOrder) {
    constexpr int32_t CellW = W / 8, CellH = H / 6;
    // Half of the 48 cells: the top three rows, the left four columns.
    ExpectRegion(301, [](int32_t, int32_t Y) { return Y < H / 2; });
    ExpectRegion(302, [](int32_t X, int32_t) { return X < W / 2; });
    // A spiral's first 24 cells are the outer ring.
    ExpectRegion(310, [](int32_t X, int32_t Y) {
        return X < CellW || X >= W - CellW || Y < CellH || Y >= H - CellH;
    });
    // The snake's first row runs left to right, cell by cell.
    TWipeMask Snake = BuildWipeMask(301, W, H);
    int32_t OneCell = WipeLevelCount / 48;
    EXPECT_TRUE(ShowsB(Snake, CellW - 1, 0, OneCell));
    EXPECT_FALSE(ShowsB(Snake, CellW, 0, OneCell));
    EXPECT_TRUE(ShowsB(Snake, CellW, 0, 2 * OneCell));
    // The second row runs back from the right.
    EXPECT_TRUE(ShowsB(Snake, W - 1, CellH, 9 * OneCell));
    EXPECT_FALSE(ShowsB(Snake, 0, CellH, 9 * OneCell));
    for (int32_t Code : {303, 311, 317, 320, 324, 328, 340, 344, 350, 353})
        EXPECT_NEAR(ShareOfB(BuildWipeMask(Code, W, H)), 0.5, 0.03) << "code " << Code;
    // Two snakes at once, one per half: both halves fill alike.
    TWipeMask Parallel = BuildWipeMask(320, W, H);
    EXPECT_TRUE(ShowsB(Parallel, 0, 0, OneCell * 2));
    EXPECT_TRUE(ShowsB(Parallel, W - 1, 0, OneCell * 2));
}

TEST(WipePatterns, RandomDissolveScattersEvenly) {
    TWipeMask Dissolve = BuildWipeMask(409, W, H);
    EXPECT_NEAR(ShareOfB(Dissolve), 0.5, 0.03);
    int32_t LeftHalf = 0, TopHalf = 0;
    for (int32_t Y = 0; Y < H; ++Y)
        for (int32_t X = 0; X < W; ++X)
            if (ShowsB(Dissolve, X, Y)) {
                LeftHalf += X < W / 2;
                TopHalf += Y < H / 2;
            }
    int32_t Total = int32_t(std::lround(ShareOfB(Dissolve) * W * H));
    EXPECT_NEAR(double(LeftHalf) / Total, 0.5, 0.05);
    EXPECT_NEAR(double(TopHalf) / Total, 0.5, 0.05);
    EXPECT_EQ(BuildWipeMask(409, W, H).Levels, Dissolve.Levels); // the same every time
}

} // namespace
