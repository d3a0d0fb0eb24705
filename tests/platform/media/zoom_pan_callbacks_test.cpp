// The table of zoom-and-pan callbacks that picture sources reach by handle.

#include "platform/media/zoom_pan_callbacks.h"

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <thread>
#include <vector>

TEST(ZoomPanCallbacks, HandlesAreNeverZeroAndNeverGivenTwice) {
    std::set<uint64_t> Seen;
    for (int I = 0; I < 20; ++I) {
        uint64_t Handle =
            RegisterZoomPanCallback([](int32_t, int32_t, double) { return TZoomPanRect{}; });
        EXPECT_NE(Handle, 0u);
        EXPECT_TRUE(Seen.insert(Handle).second);
        UnregisterZoomPanCallback(Handle);
    }
}

TEST(ZoomPanCallbacks, CallPassesTheArgumentsAndReturnsTheRectangle) {
    int32_t Width = 0, Height = 0;
    double Progress = -1;
    TZoomPanRegistration Registration([&](int32_t W, int32_t H, double X) {
        Width = W, Height = H, Progress = X;
        return TZoomPanRect{1, 2, 3, 4};
    });
    TZoomPanRect Rect;
    ASSERT_TRUE(CallZoomPanCallback(Registration.Handle(), 640, 480, 0.25, Rect));
    EXPECT_EQ(Width, 640);
    EXPECT_EQ(Height, 480);
    EXPECT_DOUBLE_EQ(Progress, 0.25);
    EXPECT_DOUBLE_EQ(Rect.Left, 1);
    EXPECT_DOUBLE_EQ(Rect.Top, 2);
    EXPECT_DOUBLE_EQ(Rect.Right, 3);
    EXPECT_DOUBLE_EQ(Rect.Bottom, 4);
}

TEST(ZoomPanCallbacks, UnknownAndZeroHandlesFindNothing) {
    TZoomPanRect Rect{9, 9, 9, 9};
    EXPECT_FALSE(CallZoomPanCallback(0, 10, 10, 0, Rect));
    EXPECT_FALSE(CallZoomPanCallback(0xDEADBEEFDEADBEEFull, 10, 10, 0, Rect));
    EXPECT_DOUBLE_EQ(Rect.Left, 9);
    UnregisterZoomPanCallback(0xDEADBEEFDEADBEEFull); // unknown: nothing happens
}

TEST(ZoomPanCallbacks, UnregisteringReleasesTheCallbackAndItsHandleFindsNothing) {
    auto Owner = std::make_shared<int>(7);
    uint64_t Handle = RegisterZoomPanCallback([Owner](int32_t, int32_t, double) {
        return TZoomPanRect{0, 0, double(*Owner), 1};
    });
    EXPECT_EQ(Owner.use_count(), 2);
    UnregisterZoomPanCallback(Handle);
    EXPECT_EQ(Owner.use_count(), 1);
    TZoomPanRect Rect;
    EXPECT_FALSE(CallZoomPanCallback(Handle, 10, 10, 0, Rect));
}

TEST(ZoomPanCallbacks, RegistrationEndsWithItsOwnerAndMovesWithIt) {
    uint64_t Handle = 0;
    TZoomPanRect Rect;
    {
        TZoomPanRegistration First([](int32_t, int32_t, double) { return TZoomPanRect{}; });
        Handle = First.Handle();
        TZoomPanRegistration Second(std::move(First));
        EXPECT_EQ(Second.Handle(), Handle);
        EXPECT_EQ(First.Handle(), 0u);
        EXPECT_TRUE(CallZoomPanCallback(Handle, 1, 1, 0, Rect));
    }
    EXPECT_FALSE(CallZoomPanCallback(Handle, 1, 1, 0, Rect));
}

TEST(ZoomPanCallbacks, CallsFromOtherThreadsWhileRegistering) {
    TZoomPanRegistration Stable([](int32_t W, int32_t, double) {
        return TZoomPanRect{0, 0, double(W), 1};
    });
    std::atomic<int32_t> Found{0};
    std::vector<std::thread> Callers;
    for (int T = 0; T < 3; ++T)
        Callers.emplace_back([&] {
            for (int I = 0; I < 500; ++I) {
                TZoomPanRect Rect;
                if (CallZoomPanCallback(Stable.Handle(), 5, 5, 0, Rect) && Rect.Right == 5)
                    ++Found;
            }
        });
    for (int I = 0; I < 500; ++I) {
        TZoomPanRegistration Passing([](int32_t, int32_t, double) { return TZoomPanRect{}; });
    }
    for (auto& Caller : Callers)
        Caller.join();
    EXPECT_EQ(Found.load(), 1500);
}
