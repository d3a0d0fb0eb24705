#include "editors/timeline_snap.h"

#include "timeline_fixture.h"

#include <gtest/gtest.h>

namespace {

// At the normal scale of 8 pixels per second one pixel is an eighth of a second.
constexpr TVideoTime PerPixel = Second / 8;

TEST(TimelineSnap, TheNearestOfferStrictlyWithinReachWinsAndTheFirstAmongEquals) {
    TTimelineFixture F;
    TSnapSearch Search(F.Desktop(), ItemSnapReach);
    Search.Offer(0, 8 * PerPixel);
    EXPECT_FALSE(Search.Found());
    Search.Offer(0, 5 * PerPixel);
    Search.Offer(0, -3 * PerPixel);
    Search.Offer(0, 3 * PerPixel);
    Search.Offer(10 * PerPixel, 14 * PerPixel);
    ASSERT_TRUE(Search.Found());
    EXPECT_EQ(Search.Target(), -3 * PerPixel);
    EXPECT_EQ(Search.Shift(), -3 * PerPixel);
}

TEST(TimelineSnap, TheGridReachShrinksWhereTheFinestGridShownIsDense) {
    // 1 s ticks 8 pixels apart: a quarter of that and one.
    EXPECT_EQ(GridSnapReach(8), 3);
    // Every grid shown is at least 18 pixels apart: 4.
    EXPECT_EQ(GridSnapReach(512), 4);
}

TEST(TimelineSnap, AMovedClipsEndMeetsAnotherTracksClipStartSevenPixelsAwayButNotEight) {
    TTimelineFixture F;
    TClip* Other =
        F.Track(3).InsertTitle(TKeepTransitions::Neither, {}, {}, "Over",
                               TTimelineFixture::FirstTitleStyle(), 4 * Second, 10 * Second);
    ASSERT_NE(Other, nullptr);
    const TSnapSwitches Objects{.ToObjects = true};
    // A span 2..6 s moved right: its end comes 7 pixels short of 10 s.
    const TSnapSpan Span{.Start = 2 * Second, .End = 6 * Second};
    EXPECT_EQ(SnapSpanDelta(F.Desktop(), F.Project.Get(), Objects, Span, 4 * Second - 7 * PerPixel),
              4 * Second);
    EXPECT_EQ(SnapSpanDelta(F.Desktop(), F.Project.Get(), Objects, Span, 4 * Second - 8 * PerPixel),
              4 * Second - 8 * PerPixel);
    // Only the start may snap (a left-edge trim): the end is not compared.
    const TSnapSpan StartOnly{.Start = 2 * Second, .End = 6 * Second, .UseEnd = false};
    EXPECT_EQ(
        SnapSpanDelta(F.Desktop(), F.Project.Get(), Objects, StartOnly, 4 * Second - 7 * PerPixel),
        4 * Second - 7 * PerPixel);
    // The moved items themselves are never a target.
    const TSnapSpan Own{.Start = 9 * Second,
                        .End = 13 * Second,
                        .OwnTrack = &F.Track(3),
                        .FirstOwn = 0,
                        .LastOwn = 0};
    EXPECT_EQ(SnapSpanDelta(F.Desktop(), F.Project.Get(), Objects, Own, Second + 2 * PerPixel),
              Second + 2 * PerPixel);
}

TEST(TimelineSnap, TheGridIsMetOnlyWhenNoItemEdgeIsNear) {
    TTimelineFixture F;
    const TSnapSpan Span{.Start = 2 * Second + 2 * PerPixel, .End = 4 * Second + 2 * PerPixel};
    const TSnapSwitches Grid{.ToGrid = true};
    // 2 pixels past the 2 s line, within the reach of 3: back onto it.
    EXPECT_EQ(SnapSpanDelta(F.Desktop(), F.Project.Get(), Grid, Span, 0), -2 * PerPixel);
    // 3 pixels past the lines is out of reach.
    EXPECT_EQ(SnapSpanDelta(F.Desktop(), F.Project.Get(), Grid, Span, PerPixel), PerPixel);
    // An item edge in reach wins over a nearer grid line: a title 5 pixels
    // after the span's start and its end 5 pixels after the span's end.
    TTitleClip* Near = F.Title(2 * Second + 7 * PerPixel, 2 * Second);
    ASSERT_EQ(Near->Position(), 2 * Second + 7 * PerPixel);
    const TSnapSwitches Both{.ToObjects = true, .ToGrid = true};
    EXPECT_EQ(SnapSpanDelta(F.Desktop(), F.Project.Get(), Both, Span, 0), 5 * PerPixel);
    EXPECT_EQ(SnapSpanDelta(F.Desktop(), F.Project.Get(), TSnapSwitches{}, Span, 0), 0);
}

TEST(TimelineSnap, TheCursorBetweenAnItemsEndsTakesItsEndOnATie) {
    TTimelineFixture F;
    // A title 4 pixels long: its middle is 2 pixels from either end.
    F.Title(4 * Second, 4 * PerPixel);
    EXPECT_EQ(SnapCursorTime(F.Desktop(), F.Project.Get(), 4 * Second + 2 * PerPixel),
              4 * Second + 4 * PerPixel);
    EXPECT_EQ(SnapCursorTime(F.Desktop(), F.Project.Get(), 4 * Second + PerPixel), 4 * Second);
    EXPECT_EQ(SnapCursorTime(F.Desktop(), F.Project.Get(), 20 * Second), 20 * Second);
}

} // namespace
