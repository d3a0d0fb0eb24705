#include "editors/timeline_scale.h"
#include "timeline_fixture.h"

#include <gtest/gtest.h>

TEST(TimelineScale, ScaledSizesFollowTheDefaultIconSize) {
    EXPECT_EQ(Scaled(50), 48);
    EXPECT_EQ(Scaled(16), 15);
    EXPECT_EQ(Scaled(8), 7);
    EXPECT_EQ(Scaled(64), 62);
}

TEST(TimelineScale, ZoomStepsAreWholeSteps) {
    EXPECT_EQ(ScaleOfZoomStep(0), 8.0);
    EXPECT_EQ(ScaleOfZoomStep(12), 512.0);
    EXPECT_EQ(ScaleOfZoomStep(-12), 0.125);
    EXPECT_EQ(ZoomStepOfScale(ScaleOfZoomStep(5)), 5);
    EXPECT_EQ(ZoomStepOfScale(ScaleOfZoomStep(-7)), -7);
}

TEST(TimelineScale, EdgeZonesGrowWithTheBoxUpToEightPixels) {
    // A 2-pixel box: 1-pixel zones.
    EXPECT_EQ(EdgeAt(0, 0, 2), TItemEdge::Left);
    EXPECT_EQ(EdgeAt(1, 0, 2), TItemEdge::Right);
    // A 100-pixel box: 8-pixel zones.
    EXPECT_EQ(EdgeAt(7, 0, 100), TItemEdge::Left);
    EXPECT_EQ(EdgeAt(8, 0, 100), TItemEdge::Body);
    EXPECT_EQ(EdgeAt(91, 0, 100), TItemEdge::Body);
    EXPECT_EQ(EdgeAt(92, 0, 100), TItemEdge::Right);
    // A 1-pixel box has none.
    EXPECT_EQ(EdgeAt(0, 0, 1), TItemEdge::Body);
}

TEST(TimelineScale, CursorStepsFollowTheScale) {
    EXPECT_EQ(CursorStepSize(TStepKind::Second, 8, 400000), Second);
    EXPECT_EQ(CursorStepSize(TStepKind::TenSeconds, 8, 400000), 10 * Second);
    EXPECT_EQ(CursorStepSize(TStepKind::Frame, 8, 400000), 400000);
    EXPECT_EQ(CursorStepSize(TStepKind::Second, 32, 400000), Second / 4);
    // Too far out for any interval: 1 s and 10 s.
    EXPECT_EQ(CursorStepSize(TStepKind::Second, 0.001, 400000), Second);
    EXPECT_EQ(CursorStepSize(TStepKind::TenSeconds, 0.001, 400000), 10 * Second);
}

TEST(TimelineScale, StepsStopAtItemEdgesBeforeTheGrid) {
    TTimelineFixture F;
    EXPECT_EQ(StepBackTime(F.Project.Get(), 10 * Second, Second), 9 * Second);
    EXPECT_EQ(StepBackTime(F.Project.Get(), 10 * Second + 3 * Second / 10, Second), 10 * Second);
    EXPECT_EQ(StepForwardTime(F.Project.Get(), 10 * Second, Second), 11 * Second);
    EXPECT_EQ(StepForwardTime(F.Project.Get(), 10 * Second, 0), 10 * Second);
    // A clip from 5.5 s to 9.5 s: its end lies between 9 s and 10 s.
    F.Title(5 * Second + Second / 2, 4 * Second);
    EXPECT_EQ(StepBackTime(F.Project.Get(), 10 * Second, Second), 9 * Second + Second / 2);
    EXPECT_EQ(StepForwardTime(F.Project.Get(), 5 * Second, Second), 5 * Second + Second / 2);
}

TEST(TimelineGrid, TheBarTicksAndTheRowLinesFollowTheSpacingOnScreen) {
    // At 8 pixels per second: ticks from 1 s (8 px; 0.25 s gives 2 px), grid
    // lines and labels from 10 s (80 px; 5 s gives 40 px).
    std::vector<double> Ticked;
    ForEachIntervalSpaced(8, MinTickSpacing(), [&](int32_t, const TTimeInterval& Entry, long Spacing) {
        Ticked.push_back(Entry.Seconds);
        EXPECT_EQ(Spacing, TickSpacing(Entry, 8));
    });
    ASSERT_FALSE(Ticked.empty());
    EXPECT_EQ(Ticked.front(), 1.0);
    EXPECT_EQ(Ticked.size(), 9u);
    ASSERT_NE(FirstIntervalSpaced(8, MinLabelSpacing()), nullptr);
    EXPECT_EQ(FirstIntervalSpaced(8, MinLabelSpacing())->Seconds, 10.0);
    EXPECT_EQ(FirstIntervalSpaced(0.001, MinTickSpacing()), nullptr);
}

TEST(TimelineGrid, TickRangesCoverTheSpanWithOneMoreEachSideAndNoneBeforeZero) {
    const TTimeInterval& OneSecond = TimeIntervals()[2];
    ASSERT_EQ(OneSecond.Seconds, 1.0);
    const TTickRange Ticks = TicksAround(OneSecond, 3 * Second + Second / 2, 7 * Second);
    EXPECT_EQ(Ticks.First, 2);
    EXPECT_EQ(Ticks.Last, 8);
    EXPECT_EQ(TicksAround(OneSecond, -5 * Second, Second).First, 0);
    EXPECT_EQ(TickAtOrBefore(OneSecond, 3 * Second - 1), 2);
    EXPECT_EQ(TickAtOrBefore(OneSecond, 3 * Second), 3);
    EXPECT_EQ(TickAtOrBefore(OneSecond, -1), -1);
}
