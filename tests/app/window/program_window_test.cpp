// The program itself on a virtual X server of its own: it opens its window
// on a project, and closing it leaves the project file as it was and stores
// the desktop in the per-user configuration folder.

#include "app/demo_project.h"
#include "app/main_window.h"
#include "core/data.h"
#include "core/ref_object.h"
#include "project/project.h"
#include "render/render.h"
#include "test_media.h"
#include "toolkit/docking/split_dock.h"
#include "virtual_display.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <chrono>
#include <cstdlib>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>


using namespace std::chrono_literals;

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const std::string& File) {
    std::ifstream In(File, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

// The ids of the windows whose title is Title, as xdotool finds them. A
// search that meets a window going away (the splash screen closing) finds
// nothing, so callers poll.
std::string FindWindow(const std::string& Display, const std::string& Title) {
    std::string Command = "DISPLAY=" + Display + " timeout 10 xdotool search --name '^" + Title + "$' 2>/dev/null";
    std::string Output;
    if (std::FILE* Pipe = ::popen(Command.c_str(), "r")) {
        char Buffer[256];
        while (std::fgets(Buffer, sizeof Buffer, Pipe))
            Output += Buffer;
        ::pclose(Pipe);
    }
    return Output;
}

// The player's tool window in the centre dock of a stored desktop: its
// rectangle and caption (empty when the file holds none).
struct TStoredBox {
    TRect Around;
    std::string Caption;
};
TStoredBox StoredPlayerBox(const std::string& Text) {
    TData Data;
    Data.LoadFromText(Text);
    TStoredBox Box;
    for (const char* Name : {"Desktop", "CenterDock", "Table", "Cell[0]", "Item", "Dock"}) {
        if (!Data.Exists(Name))
            return Box;
        Data.Enter(Name);
    }
    Box.Around = Data.ReadRect("AroundRect", {});
    Box.Caption = Data.ReadString("Caption", "");
    return Box;
}

// The window's top-left corner on the screen, as xdotool finds it.
TPoint WindowPosition(const std::string& Display, const std::string& Id) {
    std::string Command = "DISPLAY=" + Display + " timeout 10 xdotool getwindowgeometry --shell " + Id + " 2>/dev/null";
    TPoint Result{-1, -1};
    if (std::FILE* Pipe = ::popen(Command.c_str(), "r")) {
        char Buffer[256];
        while (std::fgets(Buffer, sizeof Buffer, Pipe)) {
            if (std::strncmp(Buffer, "X=", 2) == 0)
                Result.X = std::atoi(Buffer + 2);
            if (std::strncmp(Buffer, "Y=", 2) == 0)
                Result.Y = std::atoi(Buffer + 2);
        }
        ::pclose(Pipe);
    }
    return Result;
}

TEST(ProgramWindow, OpensTheProjectInItsWindowAndClosingLeavesTheFileUnchanged) {
    TVirtualDisplay Display("1024x768x24");
    if (Display.Display().empty())
        GTEST_SKIP() << "Xvfb is not available";
    TTempFolder Folder;
    std::string Project = Folder.Path("Demo.qmp");
    {
        TRefPtr<TProject> Demo = MakeRef<TProject>();
        TRender Render(Demo->Timeline());
        Render.BindProjectHooks(Demo->LoadRendering, Demo->SaveRendering);
        MakeDemoMedia(Folder.Root());
        BuildDemoProject(*Demo, Folder.Root());
        Demo->SaveToFile(Project);
    }
    std::string Copy = Folder.Path("Copy of Demo.qmp");
    fs::copy_file(Project, Copy);
    const std::string Before = ReadBytes(Copy);
    const auto Stamp = fs::last_write_time(Copy);
    std::string Config = Folder.Path("config");

    // A headless session as a build machine has it: no session bus (else
    // libdbus launches a bus per run and keeps memory that only its own
    // shutdown frees) and no GPU (else SDL loads and unloads the software GL
    // driver only to find the shared-memory framebuffer faster).
    TSpawnedProgram Program({QM_PROGRAM, Copy},
                            EnvironmentWith({"DISPLAY=" + Display.Display(), "WAYLAND_DISPLAY",
                                           "XDG_CONFIG_HOME=" + Config, "SDL_AUDIODRIVER=dummy",
                                           "DBUS_SESSION_BUS_ADDRESS=disabled:",
                                           "SDL_FRAMEBUFFER_ACCELERATION=0"}));
    ASSERT_TRUE(Program.Started());
    std::string Id;
    for (auto Deadline = std::chrono::steady_clock::now() + 20s;
         Id.empty() && std::chrono::steady_clock::now() < Deadline; std::this_thread::sleep_for(100ms)) {
        Id = FindWindow(Display.Display(), "Copy of Demo - Quillmoor");
        Id = Id.substr(0, Id.find('\n'));
    }
    ASSERT_FALSE(Id.empty()) << "a window titled after the project";
    // A first start shows the shipped layout: the player above the timeline,
    // each in a titled tool window. Dragging the splitter between them 60
    // pixels up gives the timeline that much more.
    const TStoredBox Shipped = StoredPlayerBox(ReadBytes(QM_SHIPPED_DESKTOP));
    ASSERT_FALSE(Shipped.Caption.empty());
    TPoint Origin = WindowPosition(Display.Display(), Id);
    for (auto Deadline = std::chrono::steady_clock::now() + 10s;
         Origin.X < 0 && std::chrono::steady_clock::now() < Deadline; std::this_thread::sleep_for(100ms))
        Origin = WindowPosition(Display.Display(), Id);
    ASSERT_GE(Origin.X, 0) << "the window's place on the screen";
    ASSERT_GE(Origin.Y, 0);
    const std::string X = std::to_string(Origin.X + Shipped.Around.Width() / 2);
    const int32_t SplitterY = Origin.Y + Shipped.Around.Bottom + TSplitDock::SplitterWidth / 2;
    // A busy machine is slow to lay out and paint: the drag starts once the
    // window has painted most of its area (the bare screen is black; only
    // the player's letterbox bars are black in a painted window).
    ::setenv("DISPLAY", Display.Display().c_str(), 1);
    TScreenshot Painting;
    auto Painted = [&](const TScreenshot& Shot) {
        int64_t Lit = 0, All = 0;
        for (int32_t Y = Origin.Y; Y < std::min(Shot.Height, Origin.Y + Shipped.Around.Bottom * 2); Y += 4)
            for (int32_t Column = Origin.X; Column < std::min(Shot.Width, Origin.X + Shipped.Around.Width()); Column += 4) {
                ++All;
                Lit += Shot.At(Column, Y) != 0;
            }
        return All > 0 && Lit * 2 > All;
    };
    for (auto Deadline = std::chrono::steady_clock::now() + 30s;
         std::chrono::steady_clock::now() < Deadline && !(TakeScreenshot(Painting) && Painted(Painting));
         std::this_thread::sleep_for(250ms)) {
    }
    ASSERT_TRUE(Painted(Painting)) << "the window painted its docks";
    std::this_thread::sleep_for(300ms);
    ASSERT_EQ(RunProgram({"xdotool", "mousemove", X, std::to_string(SplitterY), "mousedown", "1"}), 0)
        << "xdotool is needed";
    for (int32_t Step = 1; Step <= 6; ++Step) {
        std::this_thread::sleep_for(50ms);
        ASSERT_EQ(RunProgram({"xdotool", "mousemove", X, std::to_string(SplitterY - 10 * Step)}), 0);
    }
    std::this_thread::sleep_for(100ms);
    ASSERT_EQ(RunProgram({"xdotool", "mouseup", "1"}), 0);
    // The rows just above the old splitter change as the timeline grows into
    // them; then the program has the drag.
    auto RowChanged = [&](const TScreenshot& Shot) {
        if (Shot.Width != Painting.Width || Shot.Height != Painting.Height)
            return false;
        for (int32_t Column = Origin.X + 1; Column < Origin.X + Shipped.Around.Width() - 1; ++Column)
            if (Shot.At(Column, SplitterY - 20) != Painting.At(Column, SplitterY - 20))
                return true;
        return false;
    };
    TScreenshot After;
    for (auto Deadline = std::chrono::steady_clock::now() + 30s;
         std::chrono::steady_clock::now() < Deadline && !(TakeScreenshot(After) && RowChanged(After));
         std::this_thread::sleep_for(250ms)) {
    }
    std::this_thread::sleep_for(500ms);
    // QM_KEEP_SCREENSHOT=file.png keeps a picture of the screen to look at.
    if (const char* Keep = std::getenv("QM_KEEP_SCREENSHOT")) {
        EXPECT_EQ(RunProgram({"import", "-window", "root", Keep}), 0);
    }
    ::unsetenv("DISPLAY");
    Program.Signal(SIGTERM);
    EXPECT_EQ(Program.Wait(20s), 0);

    EXPECT_EQ(ReadBytes(Copy), Before);
    EXPECT_EQ(fs::last_write_time(Copy), Stamp);
    std::string Desktop = ReadBytes(Config + "/quillmoor/Desktop.cfg");
    EXPECT_NE(Desktop.find("BoundsRect.Width = " + std::to_string(TMainWindow::DesignWidth)), std::string::npos)
        << Desktop;
    const TStoredBox Stored = StoredPlayerBox(Desktop);
    EXPECT_EQ(Stored.Caption, Shipped.Caption);
    EXPECT_EQ(Stored.Around.Height(), Shipped.Around.Height() - 60);
}

} // namespace
