// The part of a still's picture each frame shows, from the clip's movement.

#include "project/zoom_pan_rectangle.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

TZoomPanQuery Query(int32_t PictureWidth, int32_t PictureHeight, int32_t OutputWidth,
                    int32_t OutputHeight, TZoomPanValue Begin = {}, TZoomPanValue End = {}) {
    TZoomPanQuery Result;
    Result.PictureWidth = PictureWidth;
    Result.PictureHeight = PictureHeight;
    Result.OutputWidth = OutputWidth;
    Result.OutputHeight = OutputHeight;
    Result.Begin = Begin;
    Result.End = End;
    return Result;
}

TZoomPanRect At(TZoomPanQuery Q, double Progress) {
    Q.Progress = Progress;
    return ZoomPanRectangle(Q);
}

::testing::AssertionResult IsRect(const TZoomPanRect& R, double Left, double Top, double Right,
                                  double Bottom) {
    constexpr double Tolerance = 1e-9;
    if (std::abs(R.Left - Left) < Tolerance && std::abs(R.Top - Top) < Tolerance &&
        std::abs(R.Right - Right) < Tolerance && std::abs(R.Bottom - Bottom) < Tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << R.Left << ", " << R.Top << ", " << R.Right << ", " << R.Bottom << ")";
}

} // namespace

// A 4:3 picture in a 5:4 frame at zoom 1: the crop spans the picture's width
// and reaches 16 pixels beyond its top and bottom, for the whole clip.
TEST(ZoomPanRectangle, WholePictureInAFrameOfAnotherShapeStaysPutThroughTheClip) {
    TZoomPanQuery Q = Query(640, 480, 720, 576);
    for (double X : {0.0, 0.25, 0.5, 0.75, 1.0})
        EXPECT_TRUE(IsRect(At(Q, X), 0, -16, 640, 496)) << X;
}

// A picture narrower than the frame's shape spans the picture's height; the
// borders left and right share 233 pixels, and -116.5 rounds to even.
TEST(ZoomPanRectangle, NarrowPictureSpansItsHeightAndRoundsHalvesToEven) {
    EXPECT_TRUE(IsRect(At(Query(300, 400, 400, 300), 0.5), -116, 0, 417, 400));
    // Zoom 0.75 on a 4 x 4 picture in a 3:2 frame: the crop of 4.5 x 3 is 4 x 3,
    // placed at (0, round(0.5)) = (0, 0). Rounding halves up would give 5 x 3 at (-1, 1).
    TZoomPanValue Value{0.5, 0.5, 0.75};
    EXPECT_TRUE(IsRect(At(Query(4, 4, 3, 2, Value, Value), 0), 0, 0, 4, 3));
}

TEST(ZoomPanRectangle, CentreValuesPlaceTheCropBetweenThePictureEdges) {
    TZoomPanValue TopLeft{0, 0, 0.5}, BottomRight{1, 1, 0.5};
    // 400 x 300 at zoom 0.5 is a 200 x 150 crop.
    TZoomPanQuery Q = Query(400, 300, 400, 300, TopLeft, BottomRight);
    EXPECT_TRUE(IsRect(At(Q, 0), 0, 0, 200, 150));
    EXPECT_TRUE(IsRect(At(Q, 1), 200, 150, 400, 300));
    // Equal zooms move linearly.
    EXPECT_TRUE(IsRect(At(Q, 0.25), 50, 37.5, 250, 187.5));
}

// A zoom from 400 to 200 pixels wide passes 282.84 (the geometric mean) at
// half time, whichever way it goes: the size changes by equal factors in
// equal times rather than by equal steps.
TEST(ZoomPanRectangle, ChangingZoomIsEasedSoTheSizeChangesByEqualFactors) {
    TZoomPanValue Whole{0.5, 0.5, 1}, Half{0.5, 0.5, 0.5};
    TZoomPanQuery In = Query(400, 300, 400, 300, Whole, Half);
    TZoomPanQuery Out = Query(400, 300, 400, 300, Half, Whole);
    const double Mean = std::sqrt(400.0 * 200.0);
    for (const TZoomPanQuery& Q : {In, Out}) {
        TZoomPanRect Middle = At(Q, 0.5);
        EXPECT_NEAR(Middle.Right - Middle.Left, Mean, 1e-9);
        EXPECT_NEAR(Middle.Bottom - Middle.Top, Mean * 0.75, 1e-9);
        EXPECT_NEAR((Middle.Left + Middle.Right) / 2, 200, 1e-9);
    }
    // The ends are the begin and end rectangles exactly.
    EXPECT_TRUE(IsRect(At(In, 0), 0, 0, 400, 300));
    EXPECT_TRUE(IsRect(At(In, 1), 100, 75, 300, 225));
    EXPECT_TRUE(IsRect(At(Out, 0), 100, 75, 300, 225));
    EXPECT_TRUE(IsRect(At(Out, 1), 0, 0, 400, 300));
    // Each quarter shrinks the width by the same factor.
    double Previous = 400;
    for (double X : {0.25, 0.5, 0.75, 1.0}) {
        TZoomPanRect R = At(In, X);
        EXPECT_NEAR((R.Right - R.Left) / Previous, std::pow(0.5, 0.25), 1e-9) << X;
        Previous = R.Right - R.Left;
    }
}

TEST(ZoomPanRectangle, NearlyEqualZoomsMoveLinearly) {
    // 1 to 0.95 (a ratio above 15/16): 400 x 300 to 380 x 285, halfway at 390.
    TZoomPanQuery Q = Query(400, 300, 400, 300, {0.5, 0.5, 1}, {0.5, 0.5, 0.95});
    TZoomPanRect Middle = At(Q, 0.5);
    EXPECT_NEAR(Middle.Right - Middle.Left, 390, 1e-9);
    EXPECT_NEAR(Middle.Bottom - Middle.Top, 292.5, 1e-9);
}

// A crop growing beyond the picture from the top-left corner drifts to the
// middle: a crop ten times the picture is exactly centred whatever its
// centre values say, and on the way it lies between the corner and the
// middle.
TEST(ZoomPanRectangle, CropWiderThanThePictureIsDrawnToTheMiddle) {
    TZoomPanValue Corner{0, 0, 1}, FarCorner{0, 0, 10};
    TZoomPanQuery Q = Query(400, 300, 400, 300, Corner, FarCorner);
    EXPECT_TRUE(IsRect(At(Q, 0), 0, 0, 400, 300));
    // 4000 x 3000 centred on 400 x 300.
    EXPECT_TRUE(IsRect(At(Q, 1), -1800, -1350, 2200, 1650));

    TZoomPanQuery Twice = Query(400, 300, 400, 300, Corner, {0, 0, 2});
    TZoomPanRect End = At(Twice, 1);
    EXPECT_NEAR(End.Right - End.Left, 800, 1e-9);
    EXPECT_NEAR(End.Bottom - End.Top, 600, 1e-9);
    EXPECT_LT(End.Left, 0);    // the corner placement would be 0
    EXPECT_GT(End.Left, -200); // the centred one -200
    EXPECT_LT(End.Top, 0);
    EXPECT_GT(End.Top, -150);

    // Shrinking from the oversized crop: centred at the start, the corner at the end.
    TZoomPanQuery Back = Query(400, 300, 400, 300, FarCorner, Corner);
    EXPECT_TRUE(IsRect(At(Back, 0), -1800, -1350, 2200, 1650));
    EXPECT_TRUE(IsRect(At(Back, 1), 0, 0, 400, 300));
}

TEST(ZoomPanRectangle, OversizedCropOfConstantSizeKeepsItsPlace) {
    TZoomPanValue Left{0, 0.5, 2};
    TZoomPanQuery Q = Query(400, 300, 400, 300, Left, Left);
    EXPECT_TRUE(IsRect(At(Q, 0.5), 0, -150, 800, 450));
}

TEST(ZoomPanRectangle, WithoutAnOutputSizeOrAPictureTheWholePictureShows) {
    TZoomPanValue Zoomed{0.2, 0.8, 0.3};
    EXPECT_TRUE(IsRect(At(Query(640, 480, 0, 0, Zoomed, Zoomed), 0.5), 0, 0, 640, 480));
    EXPECT_TRUE(IsRect(At(Query(640, 480, 720, 0, Zoomed, Zoomed), 0.5), 0, 0, 640, 480));
    EXPECT_TRUE(IsRect(At(Query(640, 480, 0, 576, Zoomed, Zoomed), 0.5), 0, 0, 640, 480));
    EXPECT_TRUE(IsRect(At(Query(0, 480, 720, 576, Zoomed, Zoomed), 0.5), 0, 0, 0, 480));
    EXPECT_TRUE(IsRect(At(Query(640, 0, 720, 576, Zoomed, Zoomed), 0.5), 0, 0, 640, 0));
}

TEST(ZoomPanRectangle, TinyZoomStillCropsAtLeastOnePixel) {
    TZoomPanValue Speck{0.5, 0.5, 0.001};
    EXPECT_TRUE(IsRect(At(Query(1, 1, 720, 576, Speck, Speck), 0), 0, 0, 1, 1));
    // 0.001 of 640 x 480 in 5:4: 0.64 x 0.512, both 1.
    EXPECT_TRUE(IsRect(At(Query(640, 480, 720, 576, Speck, Speck), 0), 320, 240, 321, 241));
}
