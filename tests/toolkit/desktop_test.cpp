#include "area_test_support.h"
#include "toolkit/areas/area.h"
#include "toolkit/areas/desktop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// A desktop on an area of its own, without a window or a registered class.
struct TLoneDesktop {
    TArea Area;
    TProbeDesktop Desktop;
    explicit TLoneDesktop(TProbeDocument* Shown = nullptr) : Desktop(Area, Shown, nullptr) {}
};

} // namespace

// ---- the time scale

TEST(DesktopScale, TimelineScalesStartAtNormalWithPreviousEightZoomStepsBelow) {
    TLoneDesktop D;
    D.Desktop.SetScales(std::sqrt(2.0), 512, 8, 0.125);
    EXPECT_DOUBLE_EQ(D.Desktop.PixelsPerSecond(), 8);
    EXPECT_DOUBLE_EQ(D.Desktop.PreviousScale(), 0.5);
    EXPECT_DOUBLE_EQ(D.Desktop.MinScale(), 0.125);
    EXPECT_DOUBLE_EQ(D.Desktop.MaxScale(), 512);
    EXPECT_EQ(D.Desktop.ScaleChanges, 1);

    // The same four again change nothing.
    D.Desktop.SetScale(16);
    D.Desktop.SetScales(std::sqrt(2.0), 512, 8, 0.125);
    EXPECT_DOUBLE_EQ(D.Desktop.PixelsPerSecond(), 16);
    EXPECT_EQ(D.Desktop.ScaleChanges, 2);
}

TEST(DesktopScale, PreviousScaleIsTheMaximumWhenEightStepsBelowNormalExceedIt) {
    TLoneDesktop D;
    D.Desktop.SetScales(0.5, 100, 8, 1); // 8 / 0.5^8 = 2048
    EXPECT_DOUBLE_EQ(D.Desktop.PreviousScale(), 100);
}

TEST(DesktopScale, SetScaleLimitsBeforeTestingForZeroAndRemembersTheLastScaleAwayFromNormal) {
    TLoneDesktop D;
    D.Desktop.SetScales(std::sqrt(2.0), 512, 8, 0.125);
    D.Desktop.SetScale(1000);
    EXPECT_DOUBLE_EQ(D.Desktop.PixelsPerSecond(), 512);
    // The scale left was the normal one: the previous scale stays.
    EXPECT_DOUBLE_EQ(D.Desktop.PreviousScale(), 0.5);
    D.Desktop.SetScale(0);
    EXPECT_DOUBLE_EQ(D.Desktop.PixelsPerSecond(), 0.125);
    EXPECT_DOUBLE_EQ(D.Desktop.PreviousScale(), 512);
    int32_t Changes = D.Desktop.ScaleChanges;
    D.Desktop.SetScale(-3); // limited to the minimum, which it already is
    EXPECT_EQ(D.Desktop.ScaleChanges, Changes);
    D.Desktop.SetScale(8);
    EXPECT_DOUBLE_EQ(D.Desktop.PreviousScale(), 0.125);
    D.Desktop.SetScale(2);
    // Leaving the normal scale keeps the previous one.
    EXPECT_DOUBLE_EQ(D.Desktop.PreviousScale(), 0.125);
}

TEST(DesktopScale, ConvertsPixelsAndTimesAtTheScale) {
    TLoneDesktop D;
    D.Desktop.SetScales(std::sqrt(2.0), 512, 8, 0.125);
    EXPECT_EQ(D.Desktop.TimeToPixels(10000000), 8);
    EXPECT_EQ(D.Desktop.PixelsToTime(3), 3750000);
    EXPECT_EQ(D.Desktop.PixelsToTime(-3), -3750000);
    // 0.06 s is 0.48 px and 0.069 s 0.552 px at 8 px/s.
    EXPECT_EQ(D.Desktop.TimeToPixels(600000), 0);
    EXPECT_EQ(D.Desktop.TimeToPixels(690000), 1);
    D.Desktop.SetScale(0.125);
    EXPECT_EQ(D.Desktop.PixelsToTime(1), 80000000);
    EXPECT_EQ(D.Desktop.TimeToPixels(80000000), 1);
}

TEST(DesktopScale, WithoutScalesConversionsAreLimitedInsteadOfDividingByZero) {
    TLoneDesktop D;
    EXPECT_EQ(D.Desktop.PixelsPerSecond(), 0);
    EXPECT_EQ(D.Desktop.PixelsToTime(0), 0);
    EXPECT_EQ(D.Desktop.PixelsToTime(5), UnlimitedVideoTime);
    EXPECT_EQ(D.Desktop.PixelsToTime(-5), -UnlimitedVideoTime);
    EXPECT_EQ(D.Desktop.TimeToPixels(10000000), 0);
}

TEST(DesktopScale, HugeValuesAreLimitedRatherThanOverflowing) {
    TLoneDesktop D;
    D.Desktop.SetScales(std::sqrt(2.0), 512, 8, 0.125);
    D.Desktop.SetScale(0.125);
    EXPECT_EQ(D.Desktop.PixelsToTime(std::numeric_limits<int64_t>::max()), UnlimitedVideoTime);
    EXPECT_EQ(D.Desktop.PixelsToTime(std::numeric_limits<int64_t>::min()), -UnlimitedVideoTime);
    D.Desktop.SetScale(512);
    // A hundred hours at the largest scale, exactly.
    EXPECT_EQ(D.Desktop.TimeToPixels(int64_t(3600) * 100 * 10000000), int64_t(3600) * 100 * 512);
    D.Desktop.SetScales(2, 1e15, 1e15, 1);
    EXPECT_EQ(D.Desktop.TimeToPixels(std::numeric_limits<int64_t>::max()), UnlimitedVideoTime);
    EXPECT_EQ(D.Desktop.TimeToPixels(std::numeric_limits<int64_t>::min()), -UnlimitedVideoTime);
}

TEST(DesktopScale, ScaleChangesLayTheAreaOutAgain) {
    TAreaFixture F;
    F.Settle();
    F.Desktop().SetScales(std::sqrt(2.0), 512, 8, 0.125);
    EXPECT_EQ(F.Log.Starting("desktop arrange").size(), 1u);
    F.Desktop().SetScale(16);
    EXPECT_EQ(F.Log.Starting("desktop arrange").size(), 2u);
}

// ---- the document's cursor

TEST(DesktopDocument, StepsMoveFromTheCursorBySecondFrameOrTenSeconds) {
    TProbeDocument Document;
    Document.Position = 50000000;
    TLoneDesktop D(&Document);
    TVideoTime Frame = Document.Frame;
    EXPECT_EQ(D.Desktop.StepBack(TStepKind::Second), 40000000);
    EXPECT_EQ(D.Desktop.StepForward(TStepKind::Second), 60000000);
    EXPECT_EQ(D.Desktop.StepBack(TStepKind::Frame), 50000000 - Frame);
    EXPECT_EQ(D.Desktop.StepForward(TStepKind::Frame), 50000000 + Frame);
    EXPECT_EQ(D.Desktop.StepBack(TStepKind::TenSeconds), -50000000);
    EXPECT_EQ(D.Desktop.StepForward(TStepKind::TenSeconds), 150000000);
}

TEST(DesktopDocument, WithoutADocumentStepsGoFromTimeZeroAndNothingIsBracketed) {
    TLoneDesktop D;
    EXPECT_EQ(D.Desktop.StepForward(TStepKind::Frame), 0);
    EXPECT_EQ(D.Desktop.StepBack(TStepKind::Second), -10000000);
    EXPECT_EQ(D.Desktop.DocumentChanges(), nullptr);
}

// ---- scrolling

TEST(DesktopScroll, PagesScrollTheAreaByHalfItsClientSizePlusOne) {
    TAreaFixture F;
    F.Settle();
    F.Desktop().ScrollPage(TScrollDirection::Right);
    F.Desktop().ScrollPage(TScrollDirection::Left);
    F.Desktop().ScrollPage(TScrollDirection::Down);
    F.Desktop().ScrollPage(TScrollDirection::Up);
    EXPECT_EQ(F.Log.Starting("desktop scrolled"),
              (std::vector<std::string>{"desktop scrolled 101,0", "desktop scrolled -101,0", "desktop scrolled 0,51",
                                        "desktop scrolled 0,-51"}));
}

TEST(DesktopScroll, ScrollingRecomputesRectanglesAndTheBarsFollowTheDesktop) {
    TAreaFixture F;
    auto& Child = F.AddProbe(F.Desktop(), "A", {10, 10, 20, 20});
    F.Settle();
    F.Desktop().Scroll = {{40, 1000, 200}, {5, 300, 100}};
    // A desktop that scrolls moves its children; here the test moves one.
    Child.SetBox({-30, 10, 20, 20});
    F.Area->ScrollBy(40, 0);
    EXPECT_EQ(Child.AreaRect(), TRect::FromSize(-30, 10, 20, 20));
    EXPECT_TRUE(Child.VisibleRect().IsEmpty());
    EXPECT_EQ(BarValues(*F.Area, TScrollBarKind::Horizontal), (TScrollValues{40, 1000, 200}));
    EXPECT_EQ(BarValues(*F.Area, TScrollBarKind::Vertical), (TScrollValues{5, 300, 100}));
}
