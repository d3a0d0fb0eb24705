#include "canvas/raster.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TRasterPoint Centre(int32_t X, int32_t Y) {
    return {X * 65536 + 32768, Y * 65536 + 32768};
}

} // namespace

TEST(Raster, ALineFromAPointToItselfIsOnePoint) {
    TRaster Raster;
    Raster.AddLine({3, 4}, {3, 4});
    ASSERT_EQ(Raster.Count(), 1);
    EXPECT_EQ(Raster.Points()[0], Centre(3, 4));
}

TEST(Raster, ALineHasOnePointPerStepOfTheMajorAxis) {
    TRaster Raster;
    Raster.AddLine({0, 0}, {4, 2});
    ASSERT_EQ(Raster.Count(), 5);
    EXPECT_EQ(Raster.Points()[0], Centre(0, 0));
    EXPECT_EQ(Raster.Points()[1], (TRasterPoint{Centre(1, 0).X, 32768 + 32768})); // y 0.5 + 0.5
    EXPECT_EQ(Raster.Points()[4], Centre(4, 2));
    TRaster Steep;
    Steep.AddLine({2, 6}, {0, 0});
    ASSERT_EQ(Steep.Count(), 7);
    EXPECT_EQ(Steep.Points()[3], (TRasterPoint{int32_t(std::lround((2.5 - 1.0) * 65536)), Centre(0, 3).Y}));
    EXPECT_EQ(Steep.Points()[6], Centre(0, 0));
}

TEST(Raster, PolylinesDoNotRepeatTheirJoints) {
    TPoint Points[3] = {{0, 0}, {3, 0}, {3, 2}};
    TRaster Open;
    Open.AddPolyline(Points, 3, false);
    EXPECT_EQ(Open.Count(), 4 + 2); // 0..3 along x, then two more down
    TRaster Closed;
    Closed.AddPolyline(Points, 3, true);
    EXPECT_EQ(Closed.Count(), 3 + 2 + 3); // the start is not repeated
    EXPECT_EQ(Closed.Points().front(), Centre(0, 0));
    EXPECT_NE(Closed.Points().back(), Centre(0, 0));
    TRaster One, None;
    One.AddPolyline(Points, 1, true);
    None.AddPolyline(Points, 0, true);
    EXPECT_EQ(One.Count(), 1);
    EXPECT_EQ(None.Count(), 0);
}

TEST(Raster, RectangleOutlineAndBoundingBox) {
    TRaster Raster;
    Raster.AddRectOutline({2, 3, 6, 6}); // corners (2,3) (5,3) (5,5) (2,5)
    EXPECT_EQ(Raster.Count(), 2 * 3 + 2 * 2);
    EXPECT_EQ(Raster.BoundingBox(), (TRect{2, 3, 6, 6}));
    EXPECT_EQ(Raster.BoundingBox(true), (TRect{2, 3, 7, 7}));
    Raster.Translate({-2, 1});
    EXPECT_EQ(Raster.BoundingBox(), (TRect{0, 4, 4, 7}));
}
