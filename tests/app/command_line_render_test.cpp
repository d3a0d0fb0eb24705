#include "app/command_line_render.h"

#include "app/application.h"
#include "core/data.h"
#include "core/ref_object.h"
#include "platform/media/media_probe.h"
#include "project/project.h"
#include "project/track.h"
#include "render/file_clip_element.h"
#include "render/format_media_settings.h"
#include "render/render.h"
#include "render/video_media_settings.h"
#include "tests/core/temp_directory.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

constexpr TVideoTime Second = 10000000;

const TMediaStreamInfo* VideoStream(const TMediaInfo& Info) {
    for (const TMediaStreamInfo& Stream : Info.Streams)
        if (Stream.MajorType == TStreamMajorType::Video)
            return &Stream;
    return nullptr;
}

struct TOutput {
    int Code;
    std::string Out;
    std::string Errors;
};

template <class Run>
TOutput Capture(Run&& Body) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int Code = Body();
    std::string Out = testing::internal::GetCapturedStdout();
    return {Code, Out, testing::internal::GetCapturedStderr()};
}

// A project and its render driver as the program makes them.
struct TProjectWithRender {
    TRefPtr<TProject> Project{new TProject};
    TRender Render{Project->Timeline()};
    TProjectWithRender() {
        Render.BindProjectHooks(Project->LoadRendering, Project->SaveRendering);
    }
};

class CommandLineRender : public ::testing::Test {
protected:
    // Saves a project in the default layout that renders MP4 at 64 x 48,
    // 10 frames per second.
    // A new project in the default layout and the default render settings.
    std::string SaveNewProject(const std::string& Name) {
        TProjectWithRender Saved;
        Saved.Project->New();
        std::string File = Folder.File(Name);
        Saved.Project->SaveToFile(File);
        return File;
    }

    std::string SaveProject(const std::string& Name) {
        TProjectWithRender Saved;
        Saved.Project->New();
        Saved.Render.SetKind(TRenderKind::MP4Quality);
        Saved.Render.AVI().Video().SetWidth(64);
        Saved.Render.AVI().Video().SetHeight(48);
        Saved.Render.AVI().Video().SetFramesPerSecond(10);
        std::string File = Folder.File(Name);
        Saved.Project->SaveToFile(File);
        return File;
    }

    TTempDirectory Folder;
};

TEST_F(CommandLineRender, RendersASavedProjectInItsKindBesideTheProjectFile) {
    std::string ProjectFile = SaveProject("holiday.qmp");
    TProjectWithRender Loaded;
    Loaded.Project->LoadFromFile(ProjectFile);
    ASSERT_EQ(Loaded.Render.Kind(), TRenderKind::MP4Quality);
    // Project files hold no clips yet: the clip goes onto the render track.
    TColorClipElement Clip(MakeColor(20, 200, 20), Second);
    Clip.MoveTo(Loaded.Project->Track(0)->RenderTrack(), -3, 0);

    TOutput Run = Capture([&] { return RenderProject(*Loaded.Project, Loaded.Render, {}); });
    ASSERT_EQ(Run.Code, RenderExitWritten) << Run.Errors;
    std::string Written = Folder.File("holiday.mp4");
    EXPECT_NE(Run.Out.find(Written), std::string::npos);
    EXPECT_NE(Run.Errors.find("100%"), std::string::npos);
    TMediaInfo Info = ProbeMedia(Written);
    const TMediaStreamInfo* Video = VideoStream(Info);
    ASSERT_NE(Video, nullptr);
    EXPECT_EQ(Video->SubType, "h264");
    EXPECT_EQ(Video->Width, 64);
    EXPECT_EQ(Video->Height, 48);
    EXPECT_NEAR(Video->FrameRate, 10, 0.01);
    EXPECT_NEAR(double(Info.Duration) / Second, 1.0, 0.2);
    Clip.Detach();
}

TEST_F(CommandLineRender, TheKindSwitchOverridesTheProjectsKind) {
    TProjectWithRender Project;
    Project.Project->New();
    TColorClipElement Clip(MakeColor(20, 20, 200), Second / 2);
    Clip.MoveTo(Project.Project->Track(0)->RenderTrack(), -3, 0);
    Project.Render.AVI().Video().SetWidth(32);
    Project.Render.AVI().Video().SetHeight(32);
    std::string Output = Folder.File("clip.avi");
    TOutput Run = Capture([&] {
        return RenderProject(*Project.Project, Project.Render, {Output, "avi"});
    });
    ASSERT_EQ(Run.Code, RenderExitWritten) << Run.Errors;
    EXPECT_EQ(Project.Render.Kind(), TRenderKind::AVI);
    TMediaInfo Info = ProbeMedia(Output);
    const TMediaStreamInfo* Video = VideoStream(Info);
    ASSERT_NE(Video, nullptr);
    EXPECT_EQ(Video->SubType, "rawvideo");
    Clip.Detach();
}

TEST_F(CommandLineRender, WithoutAKindTheOutputsExtensionChoosesWhatIsWritten) {
    TProjectWithRender Project;
    Project.Project->New();
    Project.Render.SetKind(TRenderKind::WMVQuality);
    TColorClipElement Clip(MakeColor(200, 20, 20), Second / 2);
    Clip.MoveTo(Project.Project->Track(0)->RenderTrack(), -3, 0);
    Project.Render.AVI().Video().SetWidth(32);
    Project.Render.AVI().Video().SetHeight(32);
    std::string Output = Folder.File("myvideo.mp4");
    TOutput Run = Capture([&] { return RenderProject(*Project.Project, Project.Render, {Output, ""}); });
    ASSERT_EQ(Run.Code, RenderExitWritten) << Run.Errors;
    EXPECT_EQ(Project.Render.Kind(), TRenderKind::MP4Quality);
    // No note that the file holds another kind than its name says.
    EXPECT_EQ(Run.Errors.find("Note:"), std::string::npos) << Run.Errors;
    TMediaInfo Info = ProbeMedia(Output);
    const TMediaStreamInfo* Video = VideoStream(Info);
    ASSERT_NE(Video, nullptr);
    EXPECT_EQ(Video->SubType, "h264");
    Clip.Detach();
}

TEST_F(CommandLineRender, AnExtensionNoKindWritesIsRefusedWithTheExtensionsThereAre) {
    std::string ProjectFile = SaveProject("p.qmp");
    std::string Output = Folder.File("x.mkv");
    TOutput Run = Capture([&] { return RunApplication({ProjectFile, "--render=" + Output}); });
    EXPECT_EQ(Run.Code, 1);
    EXPECT_NE(Run.Errors.find(".mkv"), std::string::npos) << Run.Errors;
    EXPECT_NE(Run.Errors.find(".wmv"), std::string::npos) << Run.Errors;
    EXPECT_FALSE(std::filesystem::exists(Output));
}

TEST_F(CommandLineRender, AFailedRenderExitsWithItsReason) {
    TProjectWithRender Project;
    Project.Project->New();
    TColorClipElement Clip(MakeColor(20, 20, 200), Second / 2);
    Clip.MoveTo(Project.Project->Track(0)->RenderTrack(), -3, 0);
    // The output name is taken by a folder: the finished file cannot be put there.
    std::string Output = Folder.File("taken.wmv");
    std::filesystem::create_directory(Output);
    TOutput Run = Capture([&] {
        return RenderProject(*Project.Project, Project.Render, {Output, ""});
    });
    EXPECT_EQ(Run.Code, RenderExitFailed);
    EXPECT_NE(Run.Errors.find(Output), std::string::npos);
    EXPECT_EQ(Run.Out.find(Output), std::string::npos);
    Clip.Detach();
}

TEST_F(CommandLineRender, AMissingProjectFileIsReported) {
    std::string Missing = Folder.File("missing.qmp");
    TOutput Run = Capture([&] {
        return RunApplication({Missing, "/RENDER:" + Folder.File("x.mp4")});
    });
    EXPECT_EQ(Run.Code, 1);
    EXPECT_NE(Run.Errors.find(Missing), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Folder.File("x.mp4")));
}

TEST_F(CommandLineRender, AnUnknownKindIsReportedWithTheKindsThereAre) {
    std::string ProjectFile = SaveProject("p.qmp");
    TOutput Run = Capture([&] {
        return RunApplication({ProjectFile, "--render=" + Folder.File("x.mp4"), "--kind=Betamax"});
    });
    EXPECT_EQ(Run.Code, 1);
    EXPECT_NE(Run.Errors.find("Betamax"), std::string::npos);
    EXPECT_NE(Run.Errors.find("WMVQuality"), std::string::npos);
}

TEST_F(CommandLineRender, AnUnwritableFolderIsReportedBeforeRendering) {
    std::string ProjectFile = SaveProject("p.qmp");
    std::string Output = Folder.File("no/such/folder/x.mp4");
    TOutput Run = Capture([&] { return RunApplication({ProjectFile, "/RENDER:" + Output}); });
    EXPECT_EQ(Run.Code, 1);
    EXPECT_NE(Run.Errors.find(Output), std::string::npos);
}

TEST_F(CommandLineRender, TheProjectFileIsNeverRenderedOver) {
    std::string ProjectFile = SaveProject("p.qmp");
    TOutput Run = Capture([&] { return RunApplication({ProjectFile, "/RENDER:" + ProjectFile}); });
    EXPECT_EQ(Run.Code, 1);
    EXPECT_NE(Run.Errors.find(ProjectFile), std::string::npos);
    TProjectWithRender Check;
    Check.Project->LoadFromFile(ProjectFile);
    EXPECT_EQ(Check.Render.Kind(), TRenderKind::MP4Quality);
}

TEST_F(CommandLineRender, AProjectWithNothingToRenderIsReported) {
    // A new project: the default layout, no clips.
    std::string ProjectFile = SaveNewProject("new.qmp");
    TOutput Run = Capture([&] { return RunApplication({ProjectFile, "/RENDER:", "/KIND:MP3"}); });
    EXPECT_EQ(Run.Code, 1);
    EXPECT_NE(Run.Errors.find("MP3"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Folder.File("new.mp3")));
}

TEST_F(CommandLineRender, RenderSwitchesThatCannotBeFollowedShowTheUsage) {
    std::string ProjectFile = SaveProject("p.qmp");
    EXPECT_EQ(Capture([&] { return RunApplication({ProjectFile, "/KIND:AVI"}); }).Code, 2);
    EXPECT_EQ(Capture([&] {
                  return RunApplication({ProjectFile, ProjectFile, "/RENDER:x.avi"});
              }).Code,
              2);
    TOutput Misspelled = Capture([&] { return RunApplication({ProjectFile, "--rendr=x.avi"}); });
    EXPECT_EQ(Misspelled.Code, 2);
    EXPECT_NE(Misspelled.Errors.find("--rendr"), std::string::npos);
    // The project file was not overwritten by a new one.
    TProjectWithRender Check;
    Check.Project->LoadFromFile(ProjectFile);
    EXPECT_EQ(Check.Render.Kind(), TRenderKind::MP4Quality);
}

TEST_F(CommandLineRender, ANewProjectsFileHoldsTheRenderSettings) {
    std::string ProjectFile = SaveNewProject("new.qmp");
    TData Data;
    Data.LoadFromFile(ProjectFile);
    TDataSection Project(Data, "Project");
    TDataSection Settings(Data, "Settings");
    TDataSection Rendering(Data, "Rendering");
    EXPECT_EQ(Data.ReadString("Kind", ""), "WMVQuality");
    EXPECT_TRUE(Data.Exists("MP4"));
}

} // namespace
