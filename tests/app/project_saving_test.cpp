#include "app/file_history.h"
#include "app/main_window.h"
#include "app/project_saving.h"

#include "core/ref_object.h"
#include "core/text_table.h"
#include "platform/keys.h"
#include "platform/window/headless_window_system.h"
#include "project/project.h"
#include "project/track.h"
#include "render/render.h"
#include "render/timeline.h"
#include "test_media.h"
#include "toolkit/widgets/widget_window.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const std::string& File) {
    std::ifstream In(File, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

// A project with unsaved changes, and the saving of it answered by script.
class ProjectSaving : public testing::Test {
protected:
    ProjectSaving() : Render(Project->Timeline()) {
        Render.BindProjectHooks(Project->LoadRendering, Project->SaveRendering);
        Project->New();
        FileHistory().Clear();
    }
    ~ProjectSaving() override { FileHistory().Clear(); }

    // A project stored in File, then changed.
    void NamedAndChanged(const std::string& File) {
        Project->SaveToFile(File);
        Project->SetModified(true);
    }

    TTempFolder Folder;
    THeadlessWindowSystem System;
    TRefPtr<TProject> Project = MakeRef<TProject>();
    TRender Render;
    TProjectSaving Saving{System, *Project, Folder.Root()};
};

TEST_F(ProjectSaving, TheSaveQuestionSavesLeavesOrKeepsANamedProject) {
    const std::string File = Folder.Path("Holiday.qmp");
    NamedAndChanged(File);
    fs::resize_file(File, 0); // what is on disk now differs from the project

    System.ScriptKey(KeyEscape); // Cancel: the project stays, unsaved
    EXPECT_FALSE(Saving.ConfirmSave());
    EXPECT_TRUE(Project->Modified());
    EXPECT_EQ(fs::file_size(File), 0u);

    System.ScriptKey('N', ShortCutAlt); // No: give it up unsaved
    EXPECT_TRUE(Saving.ConfirmSave());
    EXPECT_EQ(fs::file_size(File), 0u);

    System.ScriptKey(KeyEnter); // Yes: saved under its name, into the history
    EXPECT_TRUE(Saving.ConfirmSave());
    EXPECT_FALSE(Project->Modified());
    EXPECT_GT(fs::file_size(File), 0u);
    ASSERT_EQ(FileHistory().Count(), 1);
    EXPECT_EQ(FileHistory().Files()[0], File);

    // Nothing changed since: no question at all (nothing is scripted to answer one).
    EXPECT_TRUE(Saving.ConfirmSave());
}

TEST_F(ProjectSaving, AnUntitledProjectIsSavedUnderTheTypedNameOrNotAtAll) {
    Project->SetModified(true);
    EXPECT_EQ(Saving.ProposedFileName(), Folder.Root() + "/" + GetText(TTextSlot::UntitledProject) +
                                             GetText(TTextSlot::ProjectFileExtension));

    // Yes, then cancelling the name: the project is not given up.
    System.ScriptKey(KeyEnter);
    System.ScriptKey(KeyEscape);
    EXPECT_FALSE(Saving.ConfirmSave());
    EXPECT_TRUE(Project->Modified());
    EXPECT_TRUE(Project->FileName().empty());

    // A relative name goes into the proposed folder and gets the extension.
    System.ScriptKey(KeyEnter);
    System.ScriptText("Summer");
    System.ScriptKey(KeyEnter);
    EXPECT_TRUE(Saving.ConfirmSave());
    const std::string Saved = Folder.Path("Summer.qmp");
    EXPECT_EQ(Project->FileName(), Saved);
    EXPECT_TRUE(fs::exists(Saved));
    EXPECT_FALSE(Project->Modified());
}

TEST_F(ProjectSaving, AnExistingFileIsReplacedOnlyWhenTheUserSaysSo) {
    const std::string Other = Folder.Path("Other.qmp");
    std::ofstream(Other) << "keep me";
    Project->SetModified(true);

    // No to replacing: asked again, then a new name.
    System.ScriptText(Other);
    System.ScriptKey(KeyEnter);
    System.ScriptKey('N', ShortCutAlt);
    System.ScriptText("Fresh.qmp");
    System.ScriptKey(KeyEnter);
    EXPECT_TRUE(Saving.SaveProjectAs());
    EXPECT_EQ(ReadBytes(Other), "keep me");
    EXPECT_EQ(Project->FileName(), Folder.Path("Fresh.qmp"));

    // Yes replaces it.
    System.ScriptText(Other);
    System.ScriptKey(KeyEnter);
    System.ScriptKey(KeyEnter);
    EXPECT_TRUE(Saving.SaveProjectAs());
    EXPECT_NE(ReadBytes(Other), "keep me");
    EXPECT_EQ(Project->FileName(), Other);
}

TEST_F(ProjectSaving, TypedNamesResolveAgainstTheProposedFolder) {
    const std::string Root = Folder.Root() + "/";
    EXPECT_EQ(Saving.ResolveFileName("  Trip  "), Root + "Trip.qmp");
    EXPECT_EQ(Saving.ResolveFileName("sub/../Trip.QMP"), Root + "Trip.QMP");
    EXPECT_EQ(Saving.ResolveFileName("/tmp/a.b/Trip"), "/tmp/a.b/Trip.qmp");
    EXPECT_EQ(Saving.ResolveFileName("   "), "");
    // A named project proposes its own folder.
    NamedAndChanged(Folder.Path("Named.qmp"));
    EXPECT_EQ(Saving.ProposedFileName(), Folder.Path("Named.qmp"));
}

TEST_F(ProjectSaving, ClosingTheMainWindowAsksAndAFailedSaveKeepsItOpen) {
    // Named in a folder that is gone: saving fails.
    const std::string Gone = Folder.Path("gone");
    fs::create_directory(Gone);
    NamedAndChanged(Gone + "/Trip.qmp");
    fs::remove_all(Gone);

    TMainWindow Main(System, *Project);
    Main.Start("", "");
    auto AwaitQuestionsAnswered = [&] {
        bool Done = false;
        System.ScriptStep([&] { Done = true; });
        System.RunLoop([&] { return Done || Main.IsClosed(); });
    };
    System.ScriptCloseRequest(Main.Window().Native());
    System.ScriptKey(KeyEnter); // Yes, save
    System.ScriptKey(KeyEnter); // OK to the error
    AwaitQuestionsAnswered();
    EXPECT_FALSE(Main.IsClosed());
    EXPECT_TRUE(Project->Modified());

    // Ctrl+S reports the same failure and changes nothing.
    System.ScriptKey('S', ShortCutCtrl);
    System.ScriptKey(KeyEnter);
    AwaitQuestionsAnswered();
    EXPECT_TRUE(Project->Modified());

    // Cancel keeps it open; No closes it.
    System.ScriptCloseRequest(Main.Window().Native());
    System.ScriptKey(KeyEscape);
    AwaitQuestionsAnswered();
    EXPECT_FALSE(Main.IsClosed());
    System.ScriptCloseRequest(Main.Window().Native());
    System.ScriptKey('N', ShortCutAlt);
    System.RunLoop([&] { return Main.IsClosed(); });
    EXPECT_TRUE(Main.IsClosed());
    EXPECT_TRUE(Project->Modified());
    Main.ReleasePlayers();
}

} // namespace

namespace {

TEST_F(ProjectSaving, CtrlOOpensATypedProjectAndCtrlNStartsANewOneAfterTheSaveQuestion) {
    const std::string Trip = Folder.Path("Trip.qmp");
    Project->AddTrack(Project->TrackCount(), TTrackKind::Any);
    Project->SaveToFile(Trip);
    const int32_t TripTracks = Project->TrackCount();
    Project->New();
    Project->SetModified(true);

    TMainWindow Main(System, *Project);
    Main.Start("", "");
    Main.Saving().SetDefaultFolder(Folder.Root());
    auto RunScript = [&] {
        bool Done = false;
        System.ScriptStep([&] { Done = true; });
        System.RunLoop([&] { return Done; });
    };
    // Ctrl+O, No to saving the changes, Name typed for the file.
    auto ScriptOpenWithoutSaving = [&](const char* Name) {
        System.ScriptKey('O', ShortCutCtrl);
        System.ScriptKey('N', ShortCutAlt);
        System.ScriptText(Name);
        System.ScriptKey(KeyEnter);
    };

    // Cancelling the question keeps everything; a missing file is reported.
    System.ScriptKey('O', ShortCutCtrl);
    System.ScriptKey(KeyEscape);
    RunScript();
    EXPECT_TRUE(Project->Modified());
    ScriptOpenWithoutSaving("Nowhere");
    System.ScriptKey(KeyEnter); // OK to the error
    RunScript();
    EXPECT_TRUE(Project->FileName().empty());

    // A file that is not a project leaves the open one as it was, changes
    // and all, though the user chose not to save them.
    std::ofstream(Folder.Path("Junk.qmp")) << "not a project\n";
    const int32_t Tracks = Project->TrackCount();
    ScriptOpenWithoutSaving("Junk");
    RunScript();
    EXPECT_EQ(Project->TrackCount(), Tracks);
    EXPECT_TRUE(Project->Modified());
    EXPECT_TRUE(Project->FileName().empty());

    // A name relative to the default folder, without its extension.
    ScriptOpenWithoutSaving("Trip");
    RunScript();
    EXPECT_EQ(Project->FileName(), Trip);
    EXPECT_EQ(Project->TrackCount(), TripTracks);
    EXPECT_FALSE(Project->Modified());

    // Ctrl+S stores a change under the project's name.
    Project->AddTrack(Project->TrackCount(), TTrackKind::Any);
    const auto Before = fs::file_size(Trip);
    System.ScriptKey('S', ShortCutCtrl);
    RunScript();
    EXPECT_FALSE(Project->Modified());
    EXPECT_GT(fs::file_size(Trip), Before);

    // Unchanged: Ctrl+N asks nothing and starts an untitled project.
    System.ScriptKey('N', ShortCutCtrl);
    RunScript();
    EXPECT_TRUE(Project->FileName().empty());
    EXPECT_EQ(Project->TrackCount(), TripTracks - 1);
    Main.ReleasePlayers();
}

} // namespace
