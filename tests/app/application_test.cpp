#include "app/application.h"

#include "app/demo_project.h"
#include "core/ref_object.h"
#include "project/project.h"
#include "render/render.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <cstdlib>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& File) {
    std::ifstream In(File, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

struct TRun {
    int Code = -1;
    std::string Output;
};

// Runs the installed-to-be program itself, as a file manager would.
TRun RunProgram(const std::string& Argument, const std::string& Second = {}) {
    TRun Result;
    std::string Command = std::string("'") + QM_PROGRAM + "' '" + Argument + "'";
    if (!Second.empty())
        Command += " '" + Second + "'";
    Command += " 2>&1";
    std::FILE* Pipe = ::popen(Command.c_str(), "r");
    if (!Pipe)
        return Result;
    char Buffer[512];
    while (std::fgets(Buffer, sizeof Buffer, Pipe))
        Result.Output += Buffer;
    int Status = ::pclose(Pipe);
    Result.Code = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
    return Result;
}

class ApplicationOpen : public testing::Test {
protected:
    void SetUp() override {
        // These run the program without a display: it does its console work.
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        Folder = fs::temp_directory_path() / ("quillmoor-open-" + std::to_string(::getpid()));
        fs::create_directories(Folder);
    }
    void TearDown() override { fs::remove_all(Folder); }
    fs::path Folder;
};

// Opening a project from the command line must never write it: a user who
// opens an existing project from a file manager keeps it byte for byte.
TEST_F(ApplicationOpen, OpensAProjectFileAndLeavesItUnchanged) {
    {
        TRefPtr<TProject> Project = MakeRef<TProject>();
        TRender Render(Project->Timeline());
        Render.BindProjectHooks(Project->LoadRendering, Project->SaveRendering);
        MakeDemoMedia(Folder.string());
        BuildDemoProject(*Project, Folder.string());
        Project->SaveToFile((Folder / "Demo.qmp").string());
    }
    fs::path Copy = Folder / "Copy of Demo.qmp";
    fs::copy_file(Folder / "Demo.qmp", Copy);
    std::string Before = ReadBytes(Copy);
    auto Stamp = fs::last_write_time(Copy);
    ASSERT_FALSE(Before.empty());

    TRun Run = RunProgram(Copy.string());
    EXPECT_EQ(Run.Code, 0) << Run.Output;
    EXPECT_NE(Run.Output.find(Copy.string()), std::string::npos) << Run.Output;
    EXPECT_EQ(ReadBytes(Copy), Before);
    EXPECT_EQ(fs::last_write_time(Copy), Stamp);
    // The report counts what was read: the demo's clips are all there.
    EXPECT_EQ(Run.Output.find(" 0 clips"), std::string::npos) << Run.Output;
}

TEST_F(ApplicationOpen, AMissingFileStartsUntitledWithoutMakingTheFile) {
    fs::path Missing = Folder / "Not yet.qmp";
    TRun Run = RunProgram(Missing.string());
    EXPECT_EQ(Run.Code, 0) << Run.Output;
    EXPECT_NE(Run.Output.find(Missing.string()), std::string::npos);
    EXPECT_FALSE(fs::exists(Missing));
}

TEST_F(ApplicationOpen, ADamagedFileIsReportedAndLeftAsItWas) {
    fs::path Damaged = Folder / "Damaged.qmp";
    const std::string Garbage = "Not a project at all\n\x01\x02 = \xff\n";
    std::ofstream(Damaged, std::ios::binary) << Garbage;
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    int Code = RunApplication({Damaged.string()});
    testing::internal::GetCapturedStdout();
    std::string Errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Code, 1);
    EXPECT_FALSE(Errors.empty());
    EXPECT_EQ(ReadBytes(Damaged), Garbage);
}

TEST_F(ApplicationOpen, HelpAndVersionPrintAndEndWithoutTouchingAnything) {
    TRun Help = RunProgram("--help");
    EXPECT_EQ(Help.Code, 0);
    EXPECT_NE(Help.Output.find("--demo"), std::string::npos) << Help.Output;
    EXPECT_NE(Help.Output.find("--render="), std::string::npos) << Help.Output;
    TRun Version = RunProgram("--version");
    EXPECT_EQ(Version.Code, 0);
    EXPECT_EQ(Version.Output.rfind("Quillmoor ", 0), 0u) << Version.Output;
    // A version number follows the name: digits and dots.
    EXPECT_NE(Version.Output.find_first_of("0123456789"), std::string::npos) << Version.Output;
    EXPECT_TRUE(fs::is_empty(Folder));
}

TEST_F(ApplicationOpen, TheDemoSwitchTakesNoProjectFile) {
    fs::path Project = Folder / "Mine.qmp";
    TRun Run = RunProgram("--demo", Project.string());
    EXPECT_EQ(Run.Code, 2) << Run.Output;
    EXPECT_NE(Run.Output.find("--demo"), std::string::npos) << Run.Output;
    EXPECT_TRUE(fs::is_empty(Folder));
}

TEST_F(ApplicationOpen, TheDemoMadeForTheWindowIsAProjectWithoutARender) {
    // What --demo does before the window opens: media and project, no render.
    EXPECT_EQ(RunDemo(Folder.string(), TDemoJob::MakeOnly), 0);
    const std::string ProjectFile = DemoProjectFile(Folder.string());
    EXPECT_EQ(fs::path(ProjectFile), fs::absolute(Folder / "Demo.qmp").lexically_normal());
    ASSERT_TRUE(fs::exists(ProjectFile));
    EXPECT_FALSE(fs::exists(Folder / "Demo.mp4"));
    TRefPtr<TProject> Opened = MakeRef<TProject>();
    Opened->LoadFromFile(ProjectFile);
    EXPECT_GT(Opened->TrackCount(), 0);
}

} // namespace
