#include "canvas/pixels.h"

#include "pixels_test_support.h"

#include <gtest/gtest.h>

namespace {

TPixels Filled(int32_t Width, int32_t Height, TPixel Value) {
    TPixels Pixels(Width, Height);
    for (int32_t Y = 0; Y < Height; ++Y)
        for (int32_t X = 0; X < Width; ++X)
            Put(Pixels, X, Y, Value);
    return Pixels;
}

} // namespace

// One source pixel over one destination pixel through a compose rule.
struct TComposeCase {
    const char* Name;
    void (*Draw)(TPixels& Target, const TPixels& Source);
    TPixel Source;
    TPixel Destination;
    TPixel Expected;
};

class ComposeRuleTest : public testing::TestWithParam<TComposeCase> {};

TEST_P(ComposeRuleTest, GivesTheExactPixelAndTouchesNothingElse) {
    const auto& Case = GetParam();
    TPixels Target = Filled(4, 3, Case.Destination);
    TPixels Source = Filled(1, 1, Case.Source);
    Target.Origin = {1, 0};
    Case.Draw(Target, Source); // every rule places the source at (1, 1) + Origin
    EXPECT_EQ(At(Target, 2, 1), Case.Expected);
    EXPECT_TRUE(UnchangedOutside(Target, {2, 1, 3, 2}, Case.Destination));
}

namespace {
void DoCompose(TPixels& T, const TPixels& S) { T.Compose(1, 1, S); }
void DoFaded(TPixels& T, const TPixels& S) { T.ComposeFaded(1, 1, 128, S); }
void DoFadedOpaque(TPixels& T, const TPixels& S) { T.ComposeFaded(1, 1, 255, S); }
void DoFadedZero(TPixels& T, const TPixels& S) { T.ComposeFaded(1, 1, 0, S); }
void DoBlendFrom(TPixels& T, const TPixels& S) { T.BlendFrom(1, 1, S); }
void DoCopyFrom(TPixels& T, const TPixels& S) { T.CopyFrom(1, 1, S); }
void DoCopyAlpha(TPixels& T, const TPixels& S) { T.CopyAlphaFrom(1, 1, S); }
void DoComposeIn(TPixels& T, const TPixels& S) { T.ComposeIn(1, 1, {0, 0, 10, 10}, S); }
void DoComposeInMissing(TPixels& T, const TPixels& S) { T.ComposeIn(1, 1, {0, 0, 1, 1}, S); }
void DoOpFrom(TPixels& T, const TPixels& S) {
    T.PixelOpFrom(1, 1, [](TPixel Src, TPixel Dst, uint32_t) { return (Src & 0xFFFF) | (Dst & 0xFFFF0000u); }, 0, S);
}
} // namespace

INSTANTIATE_TEST_SUITE_P(
    Rules, ComposeRuleTest,
    testing::Values(
        // Onto a transparent pixel a translucent source comes out as itself.
        TComposeCase{"HalfOverTransparent", DoCompose, Bgra(10, 20, 30, 128), 0, Bgra(10, 20, 30, 128)},
        TComposeCase{"ZeroAlphaLeavesTheDestination", DoCompose, Bgra(10, 20, 30, 0), Bgra(1, 2, 3, 4),
                     Bgra(1, 2, 3, 4)},
        TComposeCase{"OpaqueReplaces", DoCompose, Bgra(10, 20, 30, 255), Bgra(1, 2, 3, 4), Bgra(10, 20, 30, 255)},
        TComposeCase{"OntoOpaqueStaysOpaque", DoCompose, Bgra(255, 0, 0, 128), Bgra(0, 0, 0, 255),
                     Bgra(128, 0, 0, 255)},
        // ao = Screen[100][200] = 222, w = Div[100][222] = 114; 50 + Mul[114][150] = 117.
        TComposeCase{"TranslucentOverTranslucent", DoCompose, Bgra(200, 50, 50, 100), Bgra(50, 50, 50, 200),
                     Bgra(117, 50, 50, 222)},
        // sa := Mul[128][200] = 100, then as above.
        TComposeCase{"FadedUsesTheScaledAlpha", DoFaded, Bgra(200, 50, 50, 200), Bgra(50, 50, 50, 200),
                     Bgra(117, 50, 50, 222)},
        TComposeCase{"FadedFullIsCompose", DoFadedOpaque, Bgra(200, 50, 50, 100), Bgra(50, 50, 50, 200),
                     Bgra(117, 50, 50, 222)},
        TComposeCase{"FadedZeroDrawsNothing", DoFadedZero, Bgra(200, 50, 50, 255), Bgra(50, 50, 50, 200),
                     Bgra(50, 50, 50, 200)},
        // Colour only: 50 + Mul[100][150] = 109; the destination keeps its alpha.
        TComposeCase{"BlendFromKeepsDestinationAlpha", DoBlendFrom, Bgra(200, 50, 50, 100), Bgra(50, 50, 50, 200),
                     Bgra(109, 50, 50, 200)},
        TComposeCase{"CopyFromTakesAllFourBytes", DoCopyFrom, Bgra(200, 50, 50, 100), Bgra(1, 2, 3, 4),
                     Bgra(200, 50, 50, 100)},
        TComposeCase{"CopyAlphaTakesTheAlphaOnly", DoCopyAlpha, Bgra(200, 50, 50, 100), Bgra(1, 2, 3, 4),
                     Bgra(1, 2, 3, 100)},
        TComposeCase{"ComposeInsideTheLimit", DoComposeIn, Bgra(200, 50, 50, 100), Bgra(50, 50, 50, 200),
                     Bgra(117, 50, 50, 222)},
        TComposeCase{"ComposeOutsideTheLimitDrawsNothing", DoComposeInMissing, Bgra(200, 50, 50, 100),
                     Bgra(50, 50, 50, 200), Bgra(50, 50, 50, 200)},
        TComposeCase{"PixelOpFromGetsSourceAndDestination", DoOpFrom, Bgra(1, 2, 3, 4), Bgra(5, 6, 7, 8),
                     Bgra(5, 2, 3, 8)}),
    [](const testing::TestParamInfo<TComposeCase>& Info) { return std::string(Info.param.Name); });

TEST(PixelsCompose, CopyFromItselfMovesWithoutSmearing) {
    TPixels Pixels = Pattern(8, 2);
    TPixels Before(Pixels);
    Pixels.CopyFrom(3, 0, Pixels);
    for (int32_t Y = 0; Y < 2; ++Y) {
        for (int32_t X = 0; X < 3; ++X)
            EXPECT_EQ(At(Pixels, X, Y), At(Before, X, Y));
        for (int32_t X = 3; X < 8; ++X)
            EXPECT_EQ(At(Pixels, X, Y), At(Before, X - 3, Y)) << X;
    }
    Pixels = Before;
    Pixels.CopyFrom(-2, 0, Pixels);
    for (int32_t X = 0; X < 6; ++X)
        EXPECT_EQ(At(Pixels, X, 1), At(Before, X + 2, 1));
}

TEST(PixelsCompose, PlacementIsClippedToTheClipRect) {
    TPixels Target = Filled(6, 6, Bgra(0, 0, 0, 0));
    TPixels Source = Filled(4, 4, Bgra(9, 9, 9, 255));
    Target.SetClipRect({2, 2, 5, 5});
    Target.Compose(0, 0, Source);
    EXPECT_TRUE(UnchangedOutside(Target, {2, 2, 4, 4}, 0));
    EXPECT_EQ(At(Target, 3, 3), Bgra(9, 9, 9, 255));
    EXPECT_EQ(At(Target, 2, 2), Bgra(9, 9, 9, 255));
}

TEST(PixelsCompose, ComposeOutsideSkipsTheHole) {
    TPixels Target = Filled(5, 5, 0);
    TPixels Source = Filled(5, 5, Bgra(1, 1, 1, 255));
    Target.ComposeOutside(0, 0, {1, 1, 4, 4}, 255, Source);
    EXPECT_TRUE(UnchangedOutside(Target, {0, 0, 5, 5}, 0));
    for (int32_t Y = 0; Y < 5; ++Y)
        for (int32_t X = 0; X < 5; ++X)
            EXPECT_EQ(At(Target, X, Y), TRect({1, 1, 4, 4}).Contains(TPoint{X, Y}) ? 0u : Bgra(1, 1, 1, 255));
    // A hole that misses the source composes all of it.
    TPixels Other = Filled(5, 5, 0);
    Other.ComposeOutside(0, 0, {10, 10, 12, 12}, 255, Source);
    EXPECT_EQ(At(Other, 2, 2), Bgra(1, 1, 1, 255));
}

TEST(PixelsCompose, TileRepeatsWithThePhaseOfThePlacement) {
    TPixels Tile(2, 1);
    Put(Tile, 0, 0, Bgra(255, 0, 0, 255));
    Put(Tile, 1, 0, Bgra(0, 0, 255, 255));
    TPixels Target = Filled(5, 2, Bgra(0, 0, 0, 77));
    Target.TileFrom(1, 0, Tile); // phase 1: column 1 starts the tile
    EXPECT_EQ(At(Target, 0, 0), Bgra(0, 0, 255, 77));
    EXPECT_EQ(At(Target, 1, 0), Bgra(255, 0, 0, 77));
    EXPECT_EQ(At(Target, 2, 1), Bgra(0, 0, 255, 77));
    EXPECT_EQ(At(Target, 4, 1), Bgra(0, 0, 255, 77));
    Target.TileFrom(-1, 0, Tile); // negative phases wrap the same way
    EXPECT_EQ(At(Target, 1, 0), Bgra(255, 0, 0, 77));
}

struct TTransformCase {
    bool Rotate, FlipRows, FlipColumns;
    // The placed raster's rows, as indexes into the 3 x 2 source [0 1 2 / 3 4 5].
    std::vector<std::vector<int>> Rows;
};

class TransformTest : public testing::TestWithParam<TTransformCase> {};

TEST_P(TransformTest, MirrorsThenTurnsAnticlockwise) {
    const auto& Case = GetParam();
    TPixels Source(3, 2);
    for (int I = 0; I < 6; ++I)
        Put(Source, I % 3, I / 3, Bgra(uint8_t(I), 0, 0));
    TPixels Target = Filled(5, 5, 0);
    Target.CopyTransformed(1, 1, Case.Rotate, Case.FlipRows, Case.FlipColumns, Source);
    int32_t Height = int32_t(Case.Rows.size()), Width = int32_t(Case.Rows[0].size());
    for (int32_t V = 0; V < Height; ++V)
        for (int32_t U = 0; U < Width; ++U)
            EXPECT_EQ(At(Target, 1 + U, 1 + V), Bgra(uint8_t(Case.Rows[size_t(V)][size_t(U)]), 0, 0)) << U << "," << V;
    EXPECT_TRUE(UnchangedOutside(Target, {1, 1, 1 + Width, 1 + Height}, 0));
}

INSTANTIATE_TEST_SUITE_P(Transforms, TransformTest,
                         testing::Values(TTransformCase{false, false, false, {{0, 1, 2}, {3, 4, 5}}},
                                         TTransformCase{false, true, false, {{3, 4, 5}, {0, 1, 2}}},
                                         TTransformCase{false, false, true, {{2, 1, 0}, {5, 4, 3}}},
                                         TTransformCase{false, true, true, {{5, 4, 3}, {2, 1, 0}}},
                                         // A quarter turn anticlockwise: the right column on top.
                                         TTransformCase{true, false, false, {{2, 5}, {1, 4}, {0, 3}}},
                                         TTransformCase{true, true, false, {{5, 2}, {4, 1}, {3, 0}}},
                                         TTransformCase{true, false, true, {{0, 3}, {1, 4}, {2, 5}}}));

TEST(PixelsCompose, PixelOpMaskedUsesSourceAlphaAsTheParameter) {
    TPixels Target = Filled(2, 1, Bgra(100, 100, 100, 255));
    TPixels Mask(2, 1);
    Put(Mask, 0, 0, Bgra(0, 0, 0, 255));
    Put(Mask, 1, 0, Bgra(0, 0, 0, 0));
    Target.PixelOpMasked(0, 0, [](TPixel, TPixel Dst, uint32_t Param) { return (Dst & 0xFFFFFF00u) | Param; }, 128,
                         Mask);
    EXPECT_EQ(At(Target, 0, 0) & 0xFF, 128u);
    EXPECT_EQ(At(Target, 1, 0) & 0xFF, 0u);
}
