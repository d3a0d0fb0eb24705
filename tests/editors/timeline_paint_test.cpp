// The shortcuts the timeline takes while painting must not change what is
// drawn: a stamped label against the text drawn directly, an opaque fill
// against the blend it replaces, and culled items against items that reach
// into view from far left.

#include "editors/timeline_paint.h"
#include "core/time_text.h"
#include "timeline_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <tuple>

namespace {

struct TStampCase {
    const char* Text;
    TTextAttr Font;
    TColor Color;
    TColor Background;
};

class StampedLabels : public testing::TestWithParam<TStampCase> {};

} // namespace

TEST_P(StampedLabels, MatchTheTextDrawnDirectlyPixelForPixel) {
    const TStampCase& Case = GetParam();
    TPixels Drawn(120, 40), Stamped(120, 40);
    Drawn.FillAll(AlphaColor(Case.Background, 255));
    Stamped.FillAll(AlphaColor(Case.Background, 255));
    // Through a moved origin and a clip that cuts the text, as item boxes do.
    for (TPixels* Pixels : {&Drawn, &Stamped}) {
        Pixels->Origin = {7, 3};
        Pixels->SetClipRect({0, 0, 110, 40});
    }
    Drawn.DrawText(5, 12, TSmooth::Yes, Case.Color, Case.Font, Case.Text);
    TLabelStamps Stamps;
    TLabelStamps::Draw(Stamped, 5, 12, Stamps.Get(Case.Text, Case.Font, Case.Color));
    int32_t Inked = 0;
    for (int32_t Y = 0; Y < 40; ++Y)
        for (int32_t X = 0; X < 120; ++X) {
            ASSERT_EQ(Stamped.GetPixel(X, Y), Drawn.GetPixel(X, Y)) << "at " << X << ", " << Y;
            Inked += Drawn.GetPixel(X, Y) != ColorToPixel(AlphaColor(Case.Background, 255)) ? 1 : 0;
        }
    EXPECT_GT(Inked, 20) << "the text left no ink to compare";
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, StampedLabels,
    testing::Values(TStampCase{"Sunrise clip.mp4", {.FontName = "Arial", .Height = -11}, MakeColor(0, 0, 0, 255),
                               MakeColor(255, 224, 160)},
                    TStampCase{"0:10.00", {.FontName = "Courier New", .Height = -10}, MakeColor(255, 0, 0, 150),
                               MakeColor(230, 230, 230)},
                    TStampCase{"00:10.00", {.FontName = "Courier New", .Height = -9}, MakeColor(255, 0, 0, 255),
                               MakeColor(236, 236, 236)},
                    TStampCase{"Wg jq", {.FontName = "Arial", .Height = -16, .Bold = true}, MakeColor(0, 32, 128, 255),
                               MakeColor(40, 40, 40)}));

TEST(TimelineStamps, ARenamedTextGetsItsOwnPictureAndTheCacheStaysBounded) {
    TLabelStamps Stamps;
    const TTextAttr Font{.FontName = "Arial", .Height = -11};
    const TLabelStamp& First = Stamps.Get("Clip", Font, MakeColor(0, 0, 0, 255));
    const int32_t Width = First.Ink.Width();
    EXPECT_GT(Stamps.Get("Clip renamed", Font, MakeColor(0, 0, 0, 255)).Ink.Width(), Width);
    // Another colour is another picture.
    EXPECT_EQ(Stamps.Count(), 2u);
    Stamps.Get("Clip", Font, MakeColor(255, 0, 0, 255));
    EXPECT_EQ(Stamps.Count(), 3u);
    for (size_t I = 0; I < TLabelStamps::MaxEntries + 5; ++I)
        Stamps.Get(std::to_string(I), Font, MakeColor(0, 0, 0, 255));
    EXPECT_LE(Stamps.Count(), TLabelStamps::MaxEntries);
}

TEST(TimelineStamps, AnOpaqueColourOverAPlainBackgroundEqualsTheBlend) {
    for (TColor Top : {MakeColor(255, 192, 0, 80), MakeColor(0, 80, 255, 8), MakeColor(128, 0, 255, 96),
                       MakeColor(10, 20, 30, 255), MakeColor(10, 20, 30, 0)})
        for (TColor Below : {MakeColor(255, 255, 255), MakeColor(244, 248, 246), MakeColor(0, 0, 0)}) {
            TPixels Blended(1, 1);
            Blended.FillAll(AlphaColor(Below, 255));
            Blended.BlendRect({0, 0, 1, 1}, Top);
            EXPECT_EQ(ColorToPixel(ColorOver(Top, Below)), Blended.GetPixel(0, 0)) << std::hex << Top << " over " << Below;
        }
}

TEST(TimelineCulling, AClipThatStartsFarLeftOfTheViewStillPaintsItsVisibleEnd) {
    TTimelineFixture F;
    // A long title, a gap, then short titles: the long one starts long
    // before the view once it is scrolled to its end.
    TTrackItem* Long = F.Title(0, 100 * Second);
    ASSERT_NE(Long, nullptr);
    for (int32_t I = 0; I < 20; ++I)
        ASSERT_NE(F.Title((200 + 2 * I) * Second, 2 * Second), nullptr);
    F.Settle();
    const TSubTrackFragment& Row = F.Cell(0);
    const int32_t Y = Row.AreaRect().Top + Row.Height() - 4;
    const int32_t Inside = F.Desktop().TimeToX(50 * Second);
    const uint32_t ClipPixel = F.PixelAt(Inside, Y);
    F.Desktop().ScrollTo(int32_t(F.Desktop().TimeToPixels(90 * Second)), 0);
    F.Settle();
    // 90 s at the header's edge: the last ten seconds of the long title
    // show, then the empty row.
    const int32_t Tail = F.Desktop().TimeToX(95 * Second), Gap = F.Desktop().TimeToX(150 * Second);
    ASSERT_GT(Tail, TTimelineDesktop::HeaderWidth());
    EXPECT_EQ(F.PixelAt(Tail, Y), ClipPixel);
    EXPECT_NE(F.PixelAt(Gap, Y), ClipPixel);
}

TEST(TimelineTimeBar, TheLabelOfTimeZeroShowsWholeRightOfTheHeaderColumn) {
    TTimelineFixture F;
    // The edit cursor's handle out of the way.
    F.Project->SetPosition(60 * Second);
    F.Settle();
    ASSERT_EQ(F.Desktop().ScrollX(), 0);
    const int32_t Header = TTimelineDesktop::HeaderWidth(), Bar = TTimelineDesktop::TimeBarHeight();
    // Label ink is dark in some channel (red or blue labels); the light
    // shade, the cursor's faint handle and the short ticks above are not.
    auto Inked = [&](int32_t X) {
        for (int32_t Y = Bar / 3; Y < Bar - 1; ++Y) {
            const uint32_t Pixel = F.PixelAt(X, Y);
            if (std::min({Pixel >> 16 & 0xFF, Pixel >> 8 & 0xFF, Pixel & 0xFF}) < 200)
                return true;
        }
        return false;
    };
    // The first run of inked columns right of the tick of time 0 (the
    // hour's bold tick, 3 pixels wide, at the header's edge), ended by a gap
    // wider than a character's spacing.
    const int32_t Zero = F.Desktop().TimeToX(0);
    ASSERT_EQ(Zero, Header);
    int32_t Left = -1, Right = -1;
    for (int32_t X = Zero + 2; X < Zero + 120; ++X) {
        if (!Inked(X))
            continue;
        if (Left >= 0 && X - Right > 4)
            break;
        if (Left < 0)
            Left = X;
        Right = X;
    }
    ASSERT_GE(Left, 0) << "no label near time 0";
    EXPECT_GT(Left, Zero + 2) << "the label starts under the header column";
    const TRect Ink = TextExtent(FormatTime(0), {.FontName = "Courier New", .Height = -(Bar / 2 + 2)});
    EXPECT_GE(Right - Left + 1, Ink.Width() - 2) << "the label is cut";
    // The next label, at 10 s, stays centred on its tick.
    const int32_t Ten = F.Desktop().TimeToX(10 * Second);
    int32_t TenLeft = INT32_MAX, TenRight = INT32_MIN;
    for (int32_t X = Ten - Ink.Width() / 2 - 4; X <= Ten + Ink.Width() / 2 + 4; ++X)
        if (Inked(X)) {
            TenLeft = std::min(TenLeft, X);
            TenRight = std::max(TenRight, X);
        }
    EXPECT_LE(std::abs((TenLeft + TenRight + 1) / 2 - Ten), 2) << TenLeft << " to " << TenRight << " around " << Ten;
}
