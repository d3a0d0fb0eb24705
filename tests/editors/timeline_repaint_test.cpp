// What a selection change repaints: the boxes, rows and headers whose look
// changed, not the whole editor.

#include "project/project_changes.h"
#include "timeline_fixture.h"

#include <gtest/gtest.h>

namespace {

// The area's client rectangle of a fragment in window coordinates (the
// area's sunken edge is 2 pixels).
TRect InWindow(const TFragment& Fragment) { return Fragment.VisibleRect().Translated(2, 2); }

bool Inside(const TRect& Inner, const TRect& Outer) { return Inner.Intersected(Outer) == Inner; }

int64_t AreaOf(const TRect& Rect) { return int64_t(Rect.Width()) * Rect.Height(); }

} // namespace

TEST(TimelineRepaint, ChangingTheSelectedClipRepaintsOnlyTheTwoBoxes) {
    TTimelineFixture F;
    TTrackItem* First = F.Title(2 * Second, 4 * Second);
    TTrackItem* Second_ = F.Title(30 * Second, 4 * Second);
    ASSERT_NE(First, nullptr);
    ASSERT_NE(Second_, nullptr);
    F.Project->Select(First, false);
    F.Settle();
    ASSERT_TRUE(F.Window->DirtyRects().empty());
    const TRect FirstBox = InWindow(*F.FragmentOf(First, 0)), SecondBox = InWindow(*F.FragmentOf(Second_, 0));
    const TPoint FirstProbe{FirstBox.Left + 10 - 2, FirstBox.Bottom - 4 - 2};
    const TPoint SecondProbe{SecondBox.Left + 10 - 2, SecondBox.Bottom - 4 - 2};
    const uint32_t FirstBefore = F.PixelAt(FirstProbe.X, FirstProbe.Y);
    const uint32_t SecondBefore = F.PixelAt(SecondProbe.X, SecondProbe.Y);

    F.Project->Select(Second_, false);
    const std::vector<TRect> Dirty = F.Window->DirtyRects();
    ASSERT_FALSE(Dirty.empty());
    int64_t Total = 0;
    for (const TRect& Rect : Dirty) {
        EXPECT_TRUE(Inside(Rect, FirstBox) || Inside(Rect, SecondBox))
            << Rect.Left << "," << Rect.Top << " " << Rect.Width() << "x" << Rect.Height();
        Total += AreaOf(Rect);
    }
    EXPECT_EQ(Total, AreaOf(FirstBox) + AreaOf(SecondBox));
    // And what was repainted shows the change.
    F.Window->Update();
    EXPECT_NE(F.PixelAt(FirstProbe.X, FirstProbe.Y), FirstBefore);
    EXPECT_NE(F.PixelAt(SecondProbe.X, SecondProbe.Y), SecondBefore);
    EXPECT_EQ(F.PixelAt(FirstProbe.X, FirstProbe.Y), SecondBefore);
}

TEST(TimelineRepaint, SelectingATrackRepaintsItsBandAndLeavesTheOthers) {
    TTimelineFixture F;
    ASSERT_NE(F.Title(2 * Second), nullptr);
    F.Project->Select(nullptr, false);
    F.Settle();
    ASSERT_TRUE(F.Window->DirtyRects().empty());
    const TTrackFragment& Sound = *F.Desktop().Tracks().Bands()[1];
    F.Project->Select(&F.Track(1), false);
    const TRect Band = InWindow(Sound);
    ASSERT_FALSE(F.Window->DirtyRects().empty());
    for (const TRect& Rect : F.Window->DirtyRects())
        EXPECT_TRUE(Inside(Rect, Band)) << Rect.Left << "," << Rect.Top << " " << Rect.Width() << "x" << Rect.Height();
    F.Settle();
    // Selecting nothing clears it again, from the same band only.
    F.Project->Select(nullptr, false);
    ASSERT_FALSE(F.Window->DirtyRects().empty());
    for (const TRect& Rect : F.Window->DirtyRects())
        EXPECT_TRUE(Inside(Rect, Band));
}

TEST(TimelineRepaint, ATrackSoundChangeRepaintsTheHeaderColumnOnly) {
    TTimelineFixture F;
    F.Settle();
    F.Project->Changes().Change(ProjectChangeTrackAudio);
    ASSERT_FALSE(F.Window->DirtyRects().empty());
    for (const TRect& Rect : F.Window->DirtyRects())
        EXPECT_LE(Rect.Right, 2 + TTimelineDesktop::HeaderWidth());
}
