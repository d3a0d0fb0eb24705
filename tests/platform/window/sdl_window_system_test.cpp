// The SDL backend end to end on a virtual X server: what it presents is what
// the server shows, and input made by xdotool arrives as the toolkit's
// events. Runs without a window manager, so positions are exact.

#include "platform/keys.h"
#include "platform/message_queue.h"
#include "platform/window/window_system.h"

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

extern char** environ;

using namespace std::chrono_literals;

namespace {

// Runs a program to its end; its exit status, or -1 when it cannot start.
int RunProgram(const std::vector<std::string>& Arguments) {
    std::vector<char*> Argv;
    for (const std::string& Argument : Arguments)
        Argv.push_back(const_cast<char*>(Argument.c_str()));
    Argv.push_back(nullptr);
    pid_t Child = 0;
    if (posix_spawnp(&Child, Argv[0], nullptr, nullptr, Argv.data(), environ) != 0)
        return -1;
    int Status = 0;
    while (waitpid(Child, &Status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
}

// An Xvfb server of its own on a display number the server picks itself
// (-displayfd), so tests running side by side never collide.
class TVirtualDisplay {
public:
    TVirtualDisplay() {
        int Pipe[2];
        if (pipe(Pipe) != 0)
            return;
        posix_spawn_file_actions_t Actions;
        posix_spawn_file_actions_init(&Actions);
        posix_spawn_file_actions_adddup2(&Actions, Pipe[1], 3);
        posix_spawn_file_actions_addopen(&Actions, 2, "/dev/null", O_WRONLY, 0);
        std::vector<std::string> Arguments{"Xvfb", "-displayfd", "3", "-screen", "0", "640x480x24", "-nolisten", "tcp"};
        std::vector<char*> Argv;
        for (std::string& Argument : Arguments)
            Argv.push_back(Argument.data());
        Argv.push_back(nullptr);
        int Error = posix_spawnp(&FServer, "Xvfb", &Actions, nullptr, Argv.data(), environ);
        posix_spawn_file_actions_destroy(&Actions);
        close(Pipe[1]);
        if (Error != 0) {
            FServer = 0;
            close(Pipe[0]);
            return;
        }
        std::string Number;
        pollfd Wait{Pipe[0], POLLIN, 0};
        auto Deadline = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < Deadline && poll(&Wait, 1, 100) >= 0) {
            char Byte;
            if ((Wait.revents & (POLLIN | POLLHUP)) == 0)
                continue;
            if (read(Pipe[0], &Byte, 1) != 1 || Byte == '\n')
                break;
            Number += Byte;
        }
        close(Pipe[0]);
        if (!Number.empty())
            FDisplay = ":" + Number;
    }
    ~TVirtualDisplay() {
        if (FServer > 0) {
            kill(FServer, SIGTERM);
            waitpid(FServer, nullptr, 0);
        }
    }
    const std::string& Display() const { return FDisplay; }

private:
    pid_t FServer = 0;
    std::string FDisplay;
};

// The root window's pixels from xwd, as 0xRRGGBB values.
struct TScreenshot {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint32_t> Pixels;
    uint32_t At(int32_t X, int32_t Y) const { return Pixels[size_t(Y) * size_t(Width) + size_t(X)]; }
};

bool ReadXwd(const std::string& FileName, TScreenshot& Shot) {
    std::ifstream File(FileName, std::ios::binary);
    std::vector<uint8_t> Bytes((std::istreambuf_iterator<char>(File)), std::istreambuf_iterator<char>());
    auto Header = [&](size_t Index) -> uint32_t {
        const uint8_t* Field = &Bytes[Index * 4];
        return uint32_t(Field[0]) << 24 | uint32_t(Field[1]) << 16 | uint32_t(Field[2]) << 8 | Field[3];
    };
    if (Bytes.size() < 100)
        return false;
    uint32_t HeaderSize = Header(0), Format = Header(2), ByteOrder = Header(7), BitsPerPixel = Header(11),
             BytesPerLine = Header(12), RedMask = Header(14), GreenMask = Header(15), BlueMask = Header(16),
             ColorCount = Header(19);
    Shot.Width = int32_t(Header(4));
    Shot.Height = int32_t(Header(5));
    size_t Data = HeaderSize + size_t(ColorCount) * 12;
    // Xvfb's 24-bit screens come as packed 3-byte pixels in padded rows.
    uint32_t Step = BitsPerPixel / 8;
    if (Format != 2 || (BitsPerPixel != 24 && BitsPerPixel != 32) || BytesPerLine < Step * uint32_t(Shot.Width) ||
        Bytes.size() < Data + size_t(BytesPerLine) * size_t(Shot.Height))
        return false;
    auto Channel = [](uint32_t Value, uint32_t Mask) {
        int Shift = 0;
        while (Mask && !(Mask & 1)) {
            Mask >>= 1;
            ++Shift;
        }
        return (Value >> Shift) & 0xFF;
    };
    Shot.Pixels.resize(size_t(Shot.Width) * size_t(Shot.Height));
    for (int32_t Y = 0; Y < Shot.Height; ++Y)
        for (int32_t X = 0; X < Shot.Width; ++X) {
            const uint8_t* Pixel = &Bytes[Data + size_t(Y) * BytesPerLine + size_t(X) * Step];
            uint32_t Value = 0;
            for (uint32_t Byte = 0; Byte < Step; ++Byte)
                Value |= uint32_t(Pixel[Byte]) << (8 * (ByteOrder == 0 ? Byte : Step - 1 - Byte));
            Shot.Pixels[size_t(Y) * size_t(Shot.Width) + size_t(X)] =
                Channel(Value, RedMask) << 16 | Channel(Value, GreenMask) << 8 | Channel(Value, BlueMask);
        }
    return true;
}

struct TRecorder : TWindowListener {
    std::vector<TEvent> Events;
    void HandleEvent(const TEvent& Event) override { Events.push_back(Event); }
};

class SdlWindowSystem : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Display = new TVirtualDisplay;
        if (!Display->Display().empty())
            setenv("DISPLAY", Display->Display().c_str(), 1);
    }
    static void TearDownTestSuite() {
        delete Display;
        Display = nullptr;
    }
    void SetUp() override {
        if (Display->Display().empty())
            GTEST_SKIP() << "Xvfb could not start (is the xvfb package installed?): the SDL backend is not tested";
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

    static TVirtualDisplay* Display;
    TMessageQueue Messages;
    std::unique_ptr<TWindowSystem> System;
};

TVirtualDisplay* SdlWindowSystem::Display = nullptr;

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
