#include "platform/window/headless_window_system.h"
#include "toolkit/widgets/every.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

struct TCall {
    int Handler;
    int32_t Index, Count;
    bool operator==(const TCall&) const = default;
};

} // namespace

TEST(Every, TicksOnTheLoopOnlyWhileItHasHandlers) {
    THeadlessWindowSystem System;
    TEvery Every(10ms);
    Every.Attach(&System);
    EXPECT_FALSE(Every.IsTicking());

    std::vector<int64_t> Times;
    auto Start = System.Now();
    auto Id = Every.Add([&](int32_t, int32_t) {
        Times.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(System.Now() - Start).count());
    });
    EXPECT_TRUE(Every.IsTicking());
    System.AdvanceClock(35ms);
    EXPECT_EQ(Times, (std::vector<int64_t>{10, 20, 30}));

    Every.Remove(Id);
    EXPECT_FALSE(Every.IsTicking());
    System.AdvanceClock(100ms);
    EXPECT_EQ(Times.size(), 3u);
}

TEST(Every, HandlersRunInOrderWithIndexAndCountAndRemovalDuringATickSkipsNone) {
    THeadlessWindowSystem System;
    TEvery Every(50ms);
    Every.Attach(&System);
    std::vector<TCall> Calls;
    std::vector<TEvery::THandlerId> Ids(4);
    int Tick = 0;
    // Handler 0 removes itself on the first tick, handler 1 removes handler
    // 3 (after it) on the first tick, handler 2 removes handler 1 (before
    // it) on the second.
    Ids[0] = Every.Add([&](int32_t I, int32_t N) {
        Calls.push_back({0, I, N});
        Every.Remove(Ids[0]);
    });
    Ids[1] = Every.Add([&](int32_t I, int32_t N) {
        Calls.push_back({1, I, N});
        if (Tick == 1)
            Every.Remove(Ids[3]);
    });
    Ids[2] = Every.Add([&](int32_t I, int32_t N) {
        Calls.push_back({2, I, N});
        if (Tick == 2)
            Every.Remove(Ids[1]);
    });
    Ids[3] = Every.Add([&](int32_t I, int32_t N) { Calls.push_back({3, I, N}); });
    Every.Add([&](int32_t I, int32_t N) { Calls.push_back({4, I, N}); });

    Tick = 1;
    System.AdvanceClock(50ms);
    EXPECT_EQ(Calls, (std::vector<TCall>{{0, 0, 5}, {1, 0, 4}, {2, 1, 3}, {4, 2, 3}}));
    Calls.clear();
    Tick = 2;
    System.AdvanceClock(50ms);
    EXPECT_EQ(Calls, (std::vector<TCall>{{1, 0, 3}, {2, 1, 3}, {4, 1, 2}}));
    EXPECT_EQ(Every.Count(), 2);
}

TEST(Every, RemovingTheLastHandlerDuringATickStopsTheTimer) {
    THeadlessWindowSystem System;
    TEvery Every(10ms);
    Every.Attach(&System);
    int Calls = 0;
    TEvery::THandlerId Id = 0;
    Id = Every.Add([&](int32_t, int32_t) {
        ++Calls;
        Every.Remove(Id);
    });
    System.AdvanceClock(100ms);
    EXPECT_EQ(Calls, 1);
    EXPECT_FALSE(Every.IsTicking());
}

TEST(Every, ASlowHandlerRunningANestedLoopNeverRunsTwiceAtOnce) {
    THeadlessWindowSystem System;
    TEvery Every(10ms);
    Every.Attach(&System);
    int Depth = 0, Deepest = 0, Calls = 0;
    Every.Add([&](int32_t, int32_t) {
        ++Depth;
        ++Calls;
        Deepest = std::max(Deepest, Depth);
        // A modal loop inside the handler fires the ticker's timer again.
        if (Calls == 1)
            Every.Tick();
        --Depth;
    });
    System.AdvanceClock(10ms);
    EXPECT_EQ(Deepest, 1);
    EXPECT_EQ(Calls, 1);
    System.AdvanceClock(10ms);
    EXPECT_EQ(Calls, 2);
}

TEST(Every, TheSharedTickersFollowTheirBindingAndLeaveNoTimerBehind) {
    std::vector<std::string> Log;
    auto Fast = Every10ms().Add([&](int32_t, int32_t) { Log.push_back("10"); });
    auto Slow = Every50ms().Add([&](int32_t, int32_t) { Log.push_back("50"); });
    {
        THeadlessWindowSystem System;
        TTickerBinding Binding(System);
        EXPECT_TRUE(Every10ms().IsTicking());
        System.AdvanceClock(50ms);
        EXPECT_EQ(std::count(Log.begin(), Log.end(), "10"), 5);
        EXPECT_EQ(std::count(Log.begin(), Log.end(), "50"), 1);
    }
    // The loop went away with handlers still added: nothing waits for it.
    EXPECT_FALSE(Every10ms().IsTicking());
    EXPECT_FALSE(Every50ms().IsTicking());
    EXPECT_EQ(Every10ms().System(), nullptr);
    {
        THeadlessWindowSystem System;
        TTickerBinding Binding(System);
        System.AdvanceClock(50ms);
        EXPECT_EQ(std::count(Log.begin(), Log.end(), "50"), 2);
        Every10ms().Remove(Fast);
        Every50ms().Remove(Slow);
        EXPECT_FALSE(Every50ms().IsTicking());
    }
}

TEST(Every, AHandlerMayDestroyItsTicker) {
    THeadlessWindowSystem System;
    auto Every = std::make_unique<TEvery>(10ms);
    Every->Attach(&System);
    int Calls = 0;
    Every->Add([&](int32_t, int32_t) {
        ++Calls;
        Every.reset();
    });
    Every->Add([&](int32_t, int32_t) { ++Calls; });
    System.AdvanceClock(50ms);
    EXPECT_EQ(Calls, 1);
}
