// The SDL backend end to end on a virtual X server: what it presents is what
// the server shows, and input made by xdotool arrives as the toolkit's
// events. Runs without a window manager, so positions are exact.

#include "platform/keys.h"
#include "platform/message_queue.h"
#include "platform/window/window_system.h"

#include "display_fixture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>


using namespace std::chrono_literals;

namespace {

struct TRecorder : TWindowListener {
    std::vector<TEvent> Events;
    void HandleEvent(const TEvent& Event) override { Events.push_back(Event); }
};

class SdlWindowSystem : public TOnVirtualDisplay {
protected:
    void SetUp() override {
        TOnVirtualDisplay::SetUp();
        if (IsSkipped())
            return;
        System = CreateSdlWindowSystem(Messages);
    }
    void TearDown() override { System.reset(); }

    // Runs the loop until Done answers true or five seconds pass.
    bool RunUntil(const std::function<bool()>& Done) {
        bool TimedOut = false;
        TTimerId Timer = System->StartTimer(5000ms, TTimerRepeat::Once, [&] { TimedOut = true; });
        System->RunLoop([&] { return Done() || TimedOut; });
        System->StopTimer(Timer);
        return Done();
    }

    TMessageQueue Messages;
    std::unique_ptr<TWindowSystem> System;
};

TEST_F(SdlWindowSystem, PresentedPatternMatchesTheScreenPixelForPixel) {
    constexpr int32_t Width = 64, Height = 48;
    TWindowOptions Options;
    Options.Kind = TWindowKind::Popup;
    Options.Bounds = TRect::FromSize(100, 80, Width, Height);
    auto Window = System->CreateWindow(Options);
    Window->Show(TActivate::No);
    ASSERT_TRUE(RunUntil([&] { return Window->IsVisible(); }));
    EXPECT_EQ(Window->Bounds(), Options.Bounds);

    // Every pixel differs from its neighbours in every channel, and the raster
    // is stored bottom-up as the toolkit's rasters are.
    std::vector<uint8_t> Raster(size_t(Width) * Height * 4);
    auto Expected = [](int32_t X, int32_t Y) {
        return uint32_t((X * 4) & 0xFF) << 16 | uint32_t((Y * 5) & 0xFF) << 8 | uint32_t((X * 7 + Y * 13 + 1) & 0xFF);
    };
    TPixelView View{Raster.data() + size_t(Height - 1) * Width * 4, Width, Height, -Width * 4};
    for (int32_t Y = 0; Y < Height; ++Y)
        for (int32_t X = 0; X < Width; ++X) {
            uint8_t* Pixel = View.At(X, Y);
            uint32_t Colour = Expected(X, Y);
            Pixel[0] = uint8_t(Colour);
            Pixel[1] = uint8_t(Colour >> 8);
            Pixel[2] = uint8_t(Colour >> 16);
            Pixel[3] = 255;
        }
    System->ProcessEvents();
    Window->Present(View);

    std::string Shot = testing::TempDir() + "window_pattern_" + std::to_string(getpid()) + ".xwd";
    ASSERT_EQ(RunProgram({"xwd", "-root", "-silent", "-out", Shot}), 0) << "xwd (package x11-apps) is needed";
    TScreenshot Screen;
    ASSERT_TRUE(ReadXwd(Shot, Screen)) << "cannot read the screenshot " << Shot;
    std::remove(Shot.c_str());
    int Wrong = 0;
    for (int32_t Y = 0; Y < Height; ++Y)
        for (int32_t X = 0; X < Width; ++X)
            if (Screen.At(100 + X, 80 + Y) != Expected(X, Y) && ++Wrong <= 5)
                ADD_FAILURE() << "pixel " << X << "," << Y << ": " << std::hex << Screen.At(100 + X, 80 + Y)
                              << " instead of " << Expected(X, Y);
    EXPECT_EQ(Wrong, 0);
    // Nothing outside the window was drawn.
    EXPECT_NE(Screen.At(99, 80), Expected(0, 0));
}

TEST_F(SdlWindowSystem, XdotoolClickAndKeyArriveAsEventsAtThePoint) {
    TRecorder Events;
    TWindowOptions Options;
    Options.Bounds = TRect::FromSize(50, 60, 200, 150);
    auto Window = System->CreateWindow(Options);
    Window->SetListener(&Events);
    Window->Show(TActivate::Yes);
    ASSERT_TRUE(RunUntil([&] { return Window->HasFocus(); })) << "the window never got the keyboard focus";

    auto Find = [&](auto Matches) {
        for (const TEvent& Event : Events.Events)
            if (Matches(Event))
                return true;
        return false;
    };
    auto MouseAt = [&](TMouseEventKind Kind, TPoint Position) {
        return Find([&](const TEvent& Event) {
            auto* Mouse = std::get_if<TMouseEvent>(&Event);
            return Mouse && Mouse->Kind == Kind && Mouse->Window == Window.get() && Mouse->Position == Position &&
                   Mouse->Button == TMouseButton::Left;
        });
    };
    ASSERT_EQ(RunProgram({"xdotool", "mousemove", "80", "100", "click", "1"}), 0) << "xdotool is needed";
    EXPECT_TRUE(RunUntil([&] { return MouseAt(TMouseEventKind::Up, {30, 40}); }));
    EXPECT_TRUE(MouseAt(TMouseEventKind::Down, {30, 40}));

    ASSERT_EQ(RunProgram({"xdotool", "key", "ctrl+z"}), 0);
    auto KeyDown = [&] {
        return Find([&](const TEvent& Event) {
            auto* Key = std::get_if<TKeyEvent>(&Event);
            return Key && Key->Kind == TKeyEventKind::Down && Key->Key == KeyA + ('Z' - 'A') &&
                   Key->ShortCut == (ShortCutCtrl | 'Z') && Key->Window == Window.get();
        });
    };
    EXPECT_TRUE(RunUntil(KeyDown));

    ASSERT_EQ(RunProgram({"xdotool", "type", "q"}), 0);
    EXPECT_TRUE(RunUntil([&] {
        return Find([&](const TEvent& Event) {
            auto* Text = std::get_if<TTextEvent>(&Event);
            return Text && Text->Text == "q";
        });
    }));
}

// The hover look is checked against the mouse position every 50 ms, so the
// position the window system answers must follow a pointer that was warped
// (as input tools do) and not only one moved by a real device.
TEST_F(SdlWindowSystem, MousePositionFollowsAWarpedPointerOverAWindow) {
    TRecorder Events;
    TWindowOptions Options;
    Options.Bounds = TRect::FromSize(50, 60, 200, 150);
    auto Window = System->CreateWindow(Options);
    Window->SetListener(&Events);
    Window->Show(TActivate::Yes);
    ASSERT_TRUE(RunUntil([&] { return Window->IsVisible(); }));
    for (TPoint Target : {TPoint{90, 110}, TPoint{170, 150}, TPoint{120, 80}}) {
        ASSERT_EQ(RunProgram({"xdotool", "mousemove", std::to_string(Target.X), std::to_string(Target.Y)}), 0)
            << "xdotool is needed";
        EXPECT_TRUE(RunUntil([&] { return System->MousePosition() == Target; }))
            << "answered " << System->MousePosition().X << "," << System->MousePosition().Y << " for "
            << Target.X << "," << Target.Y;
        EXPECT_EQ(System->WindowAt(System->MousePosition()), Window.get());
    }
}

TEST_F(SdlWindowSystem, MessagePostedFromAnotherThreadWakesTheSdlLoop) {
    bool Arrived = false;
    std::thread Worker([&] {
        std::this_thread::sleep_for(50ms);
        Messages.Post([&] { Arrived = true; });
    });
    EXPECT_TRUE(RunUntil([&] { return Arrived; }));
    Worker.join();
}

} // namespace
