#include "canvas/pixels.h"

#include "canvas/raster.h"
#include "pixels_test_support.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

std::set<std::pair<int32_t, int32_t>> Drawn(const TPixels& Pixels) {
    std::set<std::pair<int32_t, int32_t>> Points;
    for (int32_t Y = 0; Y < Pixels.Height(); ++Y)
        for (int32_t X = 0; X < Pixels.Width(); ++X)
            if (At(Pixels, X, Y))
                Points.insert({X, Y});
    return Points;
}

const TColor Opaque = AlphaColor(MakeColor(255, 0, 0), 255);

} // namespace

struct TLineCase {
    const char* Name;
    TPoint From, To;
    std::set<std::pair<int32_t, int32_t>> Expected;
};

class LineTest : public testing::TestWithParam<TLineCase> {};

TEST_P(LineTest, DrawsExactlyTheLinePixels) {
    const auto& Case = GetParam();
    for (TSmooth Smooth : {TSmooth::No, TSmooth::Yes}) {
        // Whole-pixel ends put every point on a pixel centre, where
        // smoothing gives all the weight to that one pixel.
        TPixels Pixels(8, 6);
        Pixels.Clear();
        Pixels.Line(Case.From.X, Case.From.Y, Case.To.X, Case.To.Y, Smooth, Opaque);
        if (Case.From.Y == Case.To.Y || Case.From.X == Case.To.X || Smooth == TSmooth::No) {
            EXPECT_EQ(Drawn(Pixels), Case.Expected);
        }
        if (Smooth == TSmooth::No) {
            for (const auto& [X, Y] : Case.Expected)
                EXPECT_EQ(At(Pixels, X, Y), Bgra(255, 0, 0));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineTest,
    testing::Values(TLineCase{"PointToItself", {3, 2}, {3, 2}, {{3, 2}}},
                    TLineCase{"HorizontalOfLengthThree", {1, 1}, {4, 1}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
                    TLineCase{"VerticalUpward", {2, 4}, {2, 1}, {{2, 1}, {2, 2}, {2, 3}, {2, 4}}},
                    TLineCase{"Diagonal", {0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
                    // y steps by 1/2: 0.5, 1.0, 1.5, 2.0, 2.5 -> rows 0, 1, 1, 2, 2
                    TLineCase{"Shallow", {0, 0}, {4, 2}, {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}}),
    [](const testing::TestParamInfo<TLineCase>& Info) { return std::string(Info.param.Name); });

TEST(PixelsLines, ATransparentColourAndTheClipStopDrawing) {
    TPixels Pixels(6, 6);
    Pixels.Clear();
    Pixels.Line(0, 0, 5, 5, TSmooth::No, AlphaColor(0xFF, 0));
    EXPECT_TRUE(Drawn(Pixels).empty());
    Pixels.SetClipRect({2, 0, 6, 3});
    Pixels.Origin = {1, 0};
    Pixels.Line(0, 0, 4, 4, TSmooth::No, Opaque); // placed (1,0)..(5,4)
    EXPECT_EQ(Drawn(Pixels), (std::set<std::pair<int32_t, int32_t>>{{2, 1}, {3, 2}}));
}

TEST(PixelsLines, ASmoothedPointBetweenPixelsIsSpreadOverFour) {
    TPixels Pixels(4, 4);
    Pixels.Clear();
    TRaster Raster;
    Raster.Add({65536 + 32768 + 32768, 65536 + 32768}); // half-way between (1,1) and (2,1)
    Pixels.DrawRaster(Raster, TSmooth::Yes, Opaque);
    // fx = 128: Mul[255][127] = 127 left, Mul[255][128] = 128 right; fy = 0.
    EXPECT_EQ(At(Pixels, 1, 1), Bgra(255, 0, 0, 127));
    EXPECT_EQ(At(Pixels, 2, 1), Bgra(255, 0, 0, 128));
    EXPECT_EQ(Drawn(Pixels).size(), 2u);
}

TEST(PixelsLines, PolylineIsClosed) {
    TPixels Pixels(6, 6);
    Pixels.Clear();
    TPoint Points[3] = {{0, 0}, {4, 0}, {0, 4}};
    Pixels.Polyline(Points, 3, TSmooth::No, Opaque);
    EXPECT_TRUE(Drawn(Pixels).count({0, 2})); // on the closing edge
    EXPECT_TRUE(Drawn(Pixels).count({2, 2}));
    EXPECT_FALSE(Drawn(Pixels).count({1, 1}));
}

TEST(PixelsLines, PatternLineCyclesItsColoursAndIgnoresAnEmptyPattern) {
    TPixels Pixels(8, 1);
    Pixels.Clear();
    TRaster Raster;
    Raster.AddLine({0, 0}, {7, 0});
    TColor Colors[3] = {AlphaColor(0xFF, 255), AlphaColor(0xFF00, 255), AlphaColor(0, 0)};
    Pixels.PatternLine(Raster, Colors, 0, 0);
    EXPECT_TRUE(Drawn(Pixels).empty());
    Pixels.PatternLine(Raster, Colors, 3, 1);
    EXPECT_EQ(At(Pixels, 0, 0), Bgra(0, 255, 0));
    EXPECT_EQ(At(Pixels, 1, 0), 0u);
    EXPECT_EQ(At(Pixels, 2, 0), Bgra(255, 0, 0));
    EXPECT_EQ(At(Pixels, 3, 0), Bgra(0, 255, 0));
    Pixels.Clear();
    Pixels.PatternLine(Raster, Colors, 3, -1); // phase -1 is phase 2
    EXPECT_EQ(At(Pixels, 0, 0), 0u);
    EXPECT_EQ(At(Pixels, 1, 0), Bgra(255, 0, 0));
}

TEST(PixelsLines, FillPolygonCoversItsOutlineAndInterior) {
    TPixels Pixels(8, 8);
    Pixels.Clear();
    TPoint Square[4] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
    Pixels.FillPolygon(Square, 4, TSmooth::No, Opaque);
    std::set<std::pair<int32_t, int32_t>> Expected;
    for (int32_t Y = 1; Y <= 4; ++Y)
        for (int32_t X = 1; X <= 5; ++X)
            Expected.insert({X, Y});
    EXPECT_EQ(Drawn(Pixels), Expected);
    EXPECT_EQ(At(Pixels, 3, 3), Bgra(255, 0, 0));

    TPixels Triangle(8, 8);
    Triangle.Clear();
    TPoint Points[3] = {{0, 0}, {6, 0}, {0, 6}};
    Triangle.FillPolygon(Points, 3, TSmooth::No, AlphaColor(0xFF, 128));
    EXPECT_EQ(At(Triangle, 2, 2), Bgra(255, 0, 0, 128));
    EXPECT_EQ(At(Triangle, 4, 4), 0u);
    EXPECT_EQ(At(Triangle, 3, 3), Bgra(255, 0, 0, 128)); // on the edge
}

TEST(PixelsLines, SmoothPolygonSoftensOnlyTheEdges) {
    TPixels Pixels(10, 10);
    Pixels.Clear();
    TPoint Points[3] = {{1, 1}, {8, 1}, {1, 5}}; // a slanted edge off the pixel centres
    Pixels.FillPolygon(Points, 3, TSmooth::Yes, Opaque);
    EXPECT_EQ(At(Pixels, 2, 2), Bgra(255, 0, 0));
    bool Soft = false;
    for (const auto& [X, Y] : Drawn(Pixels)) {
        uint32_t Alpha = At(Pixels, X, Y) >> 24;
        Soft = Soft || (Alpha > 0 && Alpha < 255);
    }
    EXPECT_TRUE(Soft);
    EXPECT_EQ(At(Pixels, 8, 8), 0u);
}
