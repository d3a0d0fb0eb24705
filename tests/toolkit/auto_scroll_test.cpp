#include "platform/window/headless_window_system.h"
#include "toolkit/widgets/auto_scroll.h"
#include "toolkit/widgets/scrolling_widget.h"
#include "toolkit/widgets/widget_window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

using namespace std::chrono_literals;

namespace {

struct TFixture {
    THeadlessWindowSystem System{{{{0, 0, 800, 600}, {0, 0, 800, 560}}}};
    TTickerBinding Tickers{System};
    TWidget Root;
    TScrollingWidget& List = Root.Add<TScrollingWidget>();
    std::unique_ptr<TWidgetWindow> Window;

    TFixture() {
        List.SetBounds(TRect::FromSize(0, 0, 100, 100));
        List.SetScrollInfo(TScrollBarKind::Vertical, 0, 300, 100);
        Window = std::make_unique<TWidgetWindow>(
            System, Root, TWindowOptions{.Kind = TWindowKind::Main, .Title = "Auto", .Bounds = TRect::FromSize(0, 0, 100, 100)});
    }
    ~TFixture() {
        AutoScroll().Stop();
        AutoScroll().OnScroll = nullptr;
    }
};

} // namespace

TEST(AutoScroll, ScrollsTheTargetEveryFiftyMillisecondsUntilStopped) {
    TFixture F;
    AutoScroll().Start(&F.List, 0, 40);
    EXPECT_TRUE(AutoScroll().IsScrolling());
    EXPECT_EQ(F.List.VertScrollBar().Position(), 0);
    F.System.AdvanceClock(50ms);
    EXPECT_EQ(F.List.VertScrollBar().Position(), 40);
    F.System.AdvanceClock(100ms);
    EXPECT_EQ(F.List.VertScrollBar().Position(), 120);
    // At the end of the range it stays there.
    F.System.AdvanceClock(500ms);
    EXPECT_EQ(F.List.VertScrollBar().Position(), 200);

    // A new step replaces the old; (0, 0) stops.
    AutoScroll().Start(&F.List, 0, -150);
    F.System.AdvanceClock(50ms);
    EXPECT_EQ(F.List.VertScrollBar().Position(), 50);
    AutoScroll().Start(&F.List, 0, 0);
    EXPECT_FALSE(AutoScroll().IsScrolling());
    EXPECT_FALSE(Every50ms().IsTicking());
    F.System.AdvanceClock(500ms);
    EXPECT_EQ(F.List.VertScrollBar().Position(), 50);
}

TEST(AutoScroll, AnOnScrollHandlerScrollsInsteadOfTheTarget) {
    TFixture F;
    std::vector<TPoint> Steps;
    AutoScroll().OnScroll = [&](TScroll&, int32_t DX, int32_t DY) { Steps.push_back({DX, DY}); };
    AutoScroll().Start(&F.List, 3, -4);
    F.System.AdvanceClock(100ms);
    EXPECT_EQ(Steps, (std::vector<TPoint>{{3, -4}, {3, -4}}));
    EXPECT_EQ(F.List.VertScrollBar().Position(), 0);
}

TEST(AutoScroll, StopsWhenItsTargetIsDestroyed) {
    TFixture F;
    AutoScroll().Start(&F.List, 0, 10);
    F.System.AdvanceClock(50ms);
    std::unique_ptr<TWidget> Gone = F.Root.RemoveChild(F.List);
    Gone.reset();
    EXPECT_EQ(AutoScroll().Target(), nullptr);
    F.System.AdvanceClock(100ms);
    EXPECT_FALSE(AutoScroll().IsScrolling());
    EXPECT_FALSE(Every50ms().IsTicking());
}
