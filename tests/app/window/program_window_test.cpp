// The program itself on a virtual X server of its own: it opens its window
// on a project, and closing it leaves the project file as it was and stores
// the desktop in the per-user configuration folder.

#include "app/demo_project.h"
#include "core/ref_object.h"
#include "project/project.h"
#include "render/render.h"
#include "test_media.h"

#include <gtest/gtest.h>

#include <chrono>
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

extern char** environ;

using namespace std::chrono_literals;

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const std::string& File) {
    std::ifstream In(File, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

pid_t Spawn(const std::vector<std::string>& Arguments, const std::vector<std::string>& Environment,
            posix_spawn_file_actions_t* Actions = nullptr) {
    std::vector<char*> Argv, Envp;
    for (const std::string& Argument : Arguments)
        Argv.push_back(const_cast<char*>(Argument.c_str()));
    Argv.push_back(nullptr);
    for (const std::string& Entry : Environment)
        Envp.push_back(const_cast<char*>(Entry.c_str()));
    Envp.push_back(nullptr);
    pid_t Child = 0;
    if (posix_spawnp(&Child, Argv[0], Actions, nullptr, Argv.data(), Envp.data()) != 0)
        return 0;
    return Child;
}

// The exit code of Child, or -1 when it did not end by itself in time.
int WaitFor(pid_t Child, std::chrono::seconds Limit) {
    auto Deadline = std::chrono::steady_clock::now() + Limit;
    int Status = 0;
    while (std::chrono::steady_clock::now() < Deadline) {
        if (waitpid(Child, &Status, WNOHANG) == Child)
            return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
        std::this_thread::sleep_for(20ms);
    }
    kill(Child, SIGKILL);
    waitpid(Child, &Status, 0);
    return -1;
}

// This process's environment with Changes applied ("NAME=value" sets, "NAME"
// alone removes).
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& Changes) {
    auto NameOf = [](const std::string& Entry) { return Entry.substr(0, Entry.find('=')); };
    std::vector<std::string> Result;
    for (char** Entry = environ; *Entry; ++Entry) {
        std::string Text = *Entry;
        bool Replaced = false;
        for (const std::string& Change : Changes)
            Replaced = Replaced || NameOf(Change) == NameOf(Text);
        if (!Replaced)
            Result.push_back(Text);
    }
    for (const std::string& Change : Changes)
        if (Change.find('=') != std::string::npos)
            Result.push_back(Change);
    return Result;
}

// An Xvfb server on a display number it picks itself (-displayfd).
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
        FServer = Spawn({"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
                        EnvironmentWith({}), &Actions);
        posix_spawn_file_actions_destroy(&Actions);
        close(Pipe[1]);
        std::string Number;
        pollfd Wait{Pipe[0], POLLIN, 0};
        auto Deadline = std::chrono::steady_clock::now() + 10s;
        while (FServer > 0 && std::chrono::steady_clock::now() < Deadline && poll(&Wait, 1, 100) >= 0) {
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

// The ids of the windows whose title is Title, as xdotool finds them.
std::string FindWindow(const std::string& Display, const std::string& Title) {
    std::string Command = "DISPLAY=" + Display + " xdotool search --name '^" + Title + "$' 2>/dev/null";
    std::string Output;
    if (std::FILE* Pipe = ::popen(Command.c_str(), "r")) {
        char Buffer[256];
        while (std::fgets(Buffer, sizeof Buffer, Pipe))
            Output += Buffer;
        ::pclose(Pipe);
    }
    return Output;
}

TEST(ProgramWindow, OpensTheProjectInItsWindowAndClosingLeavesTheFileUnchanged) {
    TVirtualDisplay Display;
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

    pid_t Program = Spawn({QM_PROGRAM, Copy},
                          EnvironmentWith({"DISPLAY=" + Display.Display(), "WAYLAND_DISPLAY",
                                           "XDG_CONFIG_HOME=" + Config, "SDL_AUDIODRIVER=dummy"}));
    ASSERT_GT(Program, 0);
    bool Shown = false;
    for (auto Deadline = std::chrono::steady_clock::now() + 20s; !Shown && std::chrono::steady_clock::now() < Deadline;
         std::this_thread::sleep_for(100ms))
        Shown = !FindWindow(Display.Display(), "Copy of Demo - Quillmoor").empty();
    EXPECT_TRUE(Shown) << "a window titled after the project";
    // Let it paint and run a little before the session ends it.
    std::this_thread::sleep_for(500ms);
    kill(Program, SIGTERM);
    EXPECT_EQ(WaitFor(Program, 20s), 0);

    EXPECT_EQ(ReadBytes(Copy), Before);
    EXPECT_EQ(fs::last_write_time(Copy), Stamp);
    std::string Desktop = ReadBytes(Config + "/quillmoor/Desktop.cfg");
    EXPECT_NE(Desktop.find("BoundsRect.Width = 368"), std::string::npos) << Desktop;
}

} // namespace
