// The table of zoom-and-pan callbacks that picture sources reach by handle.

#include "platform/media/zoom_pan_callbacks.h"

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <thread>
#include <vector>

namespace {

TZoomPanQuery SizeOnly(int32_t Width, int32_t Height) {
    TZoomPanQuery Query;
    Query.PictureWidth = Width;
    Query.PictureHeight = Height;
    return Query;
}

} // namespace

TEST(ZoomPanCallbacks, HandlesAreNeverZeroAndNeverGivenTwice) {
    std::set<uint64_t> Seen;
    for (int I = 0; I < 20; ++I) {
        uint64_t Handle =
            RegisterZoomPanCallback([](const TZoomPanQuery&) { return TZoomPanRect{}; });
        EXPECT_NE(Handle, 0u);
        EXPECT_TRUE(Seen.insert(Handle).second);
        UnregisterZoomPanCallback(Handle);
    }
}

TEST(ZoomPanCallbacks, CallPassesTheQueryAndReturnsTheRectangle) {
    TZoomPanQuery Seen;
    TZoomPanRegistration Registration([&](const TZoomPanQuery& Query) {
        Seen = Query;
        return TZoomPanRect{1, 2, 3, 4};
    });
    TZoomPanQuery Query;
    Query.PictureWidth = 640;
    Query.PictureHeight = 480;
    Query.Progress = 0.25;
    Query.Begin = {0.1, 0.2, 0.3};
    Query.End = {0.4, 0.5, 0.6};
    Query.OutputWidth = 720;
    Query.OutputHeight = 576;
    TZoomPanRect Rect;
    ASSERT_TRUE(CallZoomPanCallback(Registration.Handle(), Query, Rect));
    EXPECT_EQ(Seen.PictureWidth, 640);
    EXPECT_EQ(Seen.PictureHeight, 480);
    EXPECT_DOUBLE_EQ(Seen.Progress, 0.25);
    EXPECT_EQ(Seen.Begin, Query.Begin);
    EXPECT_EQ(Seen.End, Query.End);
    EXPECT_EQ(Seen.OutputWidth, 720);
    EXPECT_EQ(Seen.OutputHeight, 576);
    EXPECT_DOUBLE_EQ(Rect.Left, 1);
    EXPECT_DOUBLE_EQ(Rect.Top, 2);
    EXPECT_DOUBLE_EQ(Rect.Right, 3);
    EXPECT_DOUBLE_EQ(Rect.Bottom, 4);
}

TEST(ZoomPanCallbacks, UnknownAndZeroHandlesFindNothing) {
    TZoomPanRect Rect{9, 9, 9, 9};
    EXPECT_FALSE(CallZoomPanCallback(0, SizeOnly(10, 10), Rect));
    EXPECT_FALSE(CallZoomPanCallback(0xDEADBEEFDEADBEEFull, SizeOnly(10, 10), Rect));
    EXPECT_DOUBLE_EQ(Rect.Left, 9);
    UnregisterZoomPanCallback(0xDEADBEEFDEADBEEFull); // unknown: nothing happens
}

TEST(ZoomPanCallbacks, UnregisteringReleasesTheCallbackAndItsHandleFindsNothing) {
    auto Owner = std::make_shared<int>(7);
    uint64_t Handle = RegisterZoomPanCallback([Owner](const TZoomPanQuery&) {
        return TZoomPanRect{0, 0, double(*Owner), 1};
    });
    EXPECT_EQ(Owner.use_count(), 2);
    UnregisterZoomPanCallback(Handle);
    EXPECT_EQ(Owner.use_count(), 1);
    TZoomPanRect Rect;
    EXPECT_FALSE(CallZoomPanCallback(Handle, SizeOnly(10, 10), Rect));
}

TEST(ZoomPanCallbacks, RegistrationEndsWithItsOwnerAndMovesWithIt) {
    uint64_t Handle = 0;
    TZoomPanRect Rect;
    {
        TZoomPanRegistration First([](const TZoomPanQuery&) { return TZoomPanRect{}; });
        Handle = First.Handle();
        TZoomPanRegistration Second(std::move(First));
        EXPECT_EQ(Second.Handle(), Handle);
        EXPECT_EQ(First.Handle(), 0u);
        EXPECT_TRUE(CallZoomPanCallback(Handle, SizeOnly(1, 1), Rect));
    }
    EXPECT_FALSE(CallZoomPanCallback(Handle, SizeOnly(1, 1), Rect));
}

TEST(ZoomPanCallbacks, CallsFromOtherThreadsWhileRegistering) {
    TZoomPanRegistration Stable([](const TZoomPanQuery& Query) {
        return TZoomPanRect{0, 0, double(Query.PictureWidth), 1};
    });
    std::atomic<int32_t> Found{0};
    std::vector<std::thread> Callers;
    for (int T = 0; T < 3; ++T)
        Callers.emplace_back([&] {
            for (int I = 0; I < 500; ++I) {
                TZoomPanRect Rect;
                if (CallZoomPanCallback(Stable.Handle(), SizeOnly(5, 5), Rect) && Rect.Right == 5)
                    ++Found;
            }
        });
    for (int I = 0; I < 500; ++I) {
        TZoomPanRegistration Passing([](const TZoomPanQuery&) { return TZoomPanRect{}; });
    }
    for (auto& Caller : Callers)
        Caller.join();
    EXPECT_EQ(Found.load(), 1500);
}
