#include "app/main_window_reactions.h"

#include "../playback/playback_test_support.h"
#include "app/file_history.h"
#include "app/help_pages.h"
#include "app/hint_line.h"
#include "app/main_window.h"
#include "app/project_opening.h"
#include "commands/command.h"
#include "commands/command_list.h"
#include "commands/command_updater.h"
#include "core/ref_object.h"
#include "core/text_table.h"
#include "platform/keys.h"
#include "playback/player_time.h"
#include "playback/player_window.h"
#include "project/file_clip.h"
#include "project/project.h"
#include "project/project_changes.h"
#include "project/track.h"
#include "project/undo_history.h"
#include "render/render.h"
#include "render/timeline.h"
#include "toolkit/areas/area.h"
#include "toolkit/controls/common_control.h"
#include "toolkit/docking/tool_box.h"
#include "toolkit/widgets/widget_window.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace {

namespace fs = std::filesystem;

TPoint Centre(const TWidget& Widget) {
    TRect R = Widget.ScreenRect();
    return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
}

// The main window with its reactions on a headless desktop, and a help
// folder holding the start page and the pages of the window's parts.
class MainWindowReactions : public testing::Test {
protected:
    MainWindowReactions() : Render(Project->Timeline()) {
        RestoreTextTable();
        Render.BindProjectHooks(Project->LoadRendering, Project->SaveRendering);
        Project->New();
        fs::create_directories(Help);
        for (std::string Page : {GetText(TTextSlot::HelpFileName), std::string(TimelineHelpTopic),
                                 std::string(PlayerHelpTopic)})
            std::ofstream(Help + Page) << Page;
        Main = std::make_unique<TMainWindow>(System, *Project);
        Reactions = std::make_unique<TMainWindowReactions>(*Main, Help);
        Main->Start("", "");
    }
    ~MainWindowReactions() override {
        Reactions.reset();
        Main->ReleasePlayers();
        Main.reset();
        ToolBoxes().SetCustomizing(false);
    }
    void RunScript() {
        bool Done = false;
        System.ScriptStep([&] { Done = true; });
        System.RunLoop([&] { return Done; });
    }
    void WaitForRefresh() {
        System.ScriptAdvance(TMainWindowReactions::RefreshInterval);
        RunScript();
    }
    void PressKey(uint8_t Key) {
        Main->Window().Native().Activate();
        System.ScriptKey(Key);
        RunScript();
    }

    TTempFolder Folder;
    std::string Help = Folder.Path("Help") + "/";
    THeadlessWindowSystem System{{{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}}}};
    TRefPtr<TProject> Project = MakeRef<TProject>();
    TRender Render;
    std::unique_ptr<TMainWindow> Main;
    std::unique_ptr<TMainWindowReactions> Reactions;
};

// Writes every title the main window shows at each report of the project
// (its changes and the ends of its brackets) into Titles. Made after the
// reactions, it hears each report after them, so it sees every title they
// set.
class TTitleRecorder : public TObject {
public:
    TTitleRecorder(TMainWindow& Main, std::vector<std::string>& Titles) : FMain(Main), FTitles(Titles) {
        FMain.Project().Changes().AddChangeHandler(MakeDelegate<&TTitleRecorder::Changed>(this));
        FMain.Project().Changes().AddEndHandler(MakeDelegate<&TTitleRecorder::Ended>(this));
    }
    ~TTitleRecorder() override {
        FMain.Project().Changes().RemoveEndHandler(MakeDelegate<&TTitleRecorder::Ended>(this));
        FMain.Project().Changes().RemoveChangeHandler(MakeDelegate<&TTitleRecorder::Changed>(this));
    }
    std::string_view ClassName() const override { return "TTitleRecorder"; }
    void Record() {
        const std::string Title = FMain.Window().Native().Title();
        if (FTitles.empty() || FTitles.back() != Title)
            FTitles.push_back(Title);
    }

private:
    void Changed(TObject*, TProjectChangeFlags) { Record(); }
    void Ended(TObject*) { Record(); }

    TMainWindow& FMain;
    std::vector<std::string>& FTitles;
};

// Writes a project file whose one clip is stored beyond the unlimited time:
// loading it leaves the clip out and notes the problem.
void WriteProjectWithDamagedClip(const std::string& File, const std::string& Media) {
    TRefPtr<TProject> Stored = MakeRef<TProject>();
    Stored->New();
    Stored->Track(0)->InsertItem(new TFileClip(0, Media), 0);
    Stored->SaveToFile(File);
    std::ifstream In(File, std::ios::binary);
    std::string Text, Line;
    bool InClip = false, Damaged = false;
    while (std::getline(In, Line)) {
        InClip = InClip || Line.find("Type = FileClip") != std::string::npos;
        if (size_t At = Line.find("Position = "); InClip && !Damaged && At != std::string::npos) {
            Line = Line.substr(0, At) + "Position = 9223372036854775807";
            Damaged = true;
        }
        Text += Line + "\n";
    }
    In.close();
    ASSERT_TRUE(Damaged) << Text;
    std::ofstream(File, std::ios::binary | std::ios::trunc) << Text;
}

} // namespace

TEST_F(MainWindowReactions, F1OpensThePageOfThePartThatHasTheFocus) {
    Main->Dock().Time().SetFocus();
    PressKey(KeyF1);
    Main->Window().SetFocused(nullptr);
    PressKey(KeyF1);
    if (TTimelineDesktop* Timeline = Main->Dock().TimelineDesktop()) {
        (void)Timeline;
        Main->Dock().Timeline().SetTabStop(true);
        ASSERT_TRUE(Main->Dock().Timeline().SetFocus());
        PressKey(KeyF1);
    }
    std::vector<std::string> Expected = {FileUrl(Help + std::string(PlayerHelpTopic)),
                                         FileUrl(Help + GetText(TTextSlot::HelpFileName))};
    if (Main->Dock().TimelineDesktop())
        Expected.push_back(FileUrl(Help + std::string(TimelineHelpTopic)));
    EXPECT_EQ(System.OpenedDocuments(), Expected);
}

TEST_F(MainWindowReactions, EscapeLeavesDesignModeBeforeFullScreenPlaybackAndFocus) {
    TPlayerWindow& Player = Main->Dock().Player();
    Player.ShowFile(SolidClip(Folder, "clip.avi", 200, 40, 40, 100));
    ASSERT_TRUE(Player.IsPlaying());
    ASSERT_TRUE(Main->Dock().Time().SetFocus());
    TPlayerWindow::ToggleFullScreen();
    ToolBoxes().SetCustomizing(true);

    PressKey(KeyEscape);
    EXPECT_FALSE(ToolBoxes().Customizing());
    EXPECT_TRUE(Player.IsFullScreen()) << "one step at a time";
    PressKey(KeyEscape);
    EXPECT_FALSE(Player.IsFullScreen());
    EXPECT_TRUE(Player.IsPlaying());
    PressKey(KeyEscape);
    EXPECT_FALSE(Player.IsPlaying());
    EXPECT_EQ(Main->Window().Focused(), &Main->Dock().Time());
    PressKey(KeyEscape);
    EXPECT_EQ(Main->Window().Focused(), nullptr);
}

TEST_F(MainWindowReactions, TheTitleIsMarkedWhileTheProjectHasUnsavedChanges) {
    EXPECT_EQ(Main->Window().Native().Title(), "Untitled-Quillmoor");
    std::string File = Folder.Path("Holiday.qmp");
    Project->SaveToFile(File);
    EXPECT_EQ(Main->Window().Native().Title(), "Holiday - Quillmoor");
    Project->AddTrack(Project->TrackCount(), TTrackKind::Any);
    EXPECT_EQ(Main->Window().Native().Title(), "*Holiday - Quillmoor");
    // Saving and loading clear the mark after their change has been
    // reported: the next refresh catches up.
    Project->SaveToFile(File);
    WaitForRefresh();
    EXPECT_EQ(Main->Window().Native().Title(), "Holiday - Quillmoor");
    Project->AddTrack(Project->TrackCount(), TTrackKind::Any);
    Project->LoadFromFile(File);
    WaitForRefresh();
    EXPECT_EQ(Main->Window().Native().Title(), "Holiday - Quillmoor") << "a freshly opened project is unchanged";
}

// Regression: the end of the loading bracket showed "*Name - Quillmoor" for
// a moment, before loading cleared the modified state.
TEST_F(MainWindowReactions, AnOpenedProjectNeverShowsTheMarkWhileAnEditShowsItAtOnce) {
    std::string File = Folder.Path("Holiday.qmp");
    Project->AddTrack(Project->TrackCount(), TTrackKind::Any);
    Project->SaveToFile(File);
    WaitForRefresh();
    std::vector<std::string> Titles;
    TTitleRecorder Recorder(*Main, Titles);
    for (bool Edited : {false, true}) {
        SCOPED_TRACE(Edited ? "opened over unsaved changes" : "opened over the saved project");
        if (Edited) {
            Project->AddTrack(Project->TrackCount(), TTrackKind::Any);
            ASSERT_EQ(Main->Window().Native().Title(), "*Holiday - Quillmoor");
        }
        Titles.clear();
        EXPECT_EQ(OpenProjectFile(*Project, File), "");
        Recorder.Record();
        EXPECT_EQ(Titles, std::vector<std::string>{"Holiday - Quillmoor"});
        // The first edit after opening is marked at once, before any message
        // or refresh has run.
        Project->AddTrack(Project->TrackCount(), TTrackKind::Any);
        EXPECT_EQ(Main->Window().Native().Title(), "*Holiday - Quillmoor");
        WaitForRefresh();
    }
}

TEST_F(MainWindowReactions, HandedOverFilesShowTheirLoadProblemsAsTheCommandLineDoes) {
    std::string Clean = Folder.Path("Clean.qmp");
    std::string Damaged = Folder.Path("Damaged.qmp");
    Project->SaveToFile(Clean);
    WriteProjectWithDamagedClip(Damaged, Folder.Path("gone.avi"));
    // The warning is a dialog that takes the Enter that closes it; a project
    // without problems shows none and leaves the key.
    System.ScriptKey(KeyEnter);
    const size_t Scripted = System.ScriptLength();
    ReceiveHandedOverFiles(*Main, {Clean});
    EXPECT_EQ(Project->FileName(), Clean);
    EXPECT_EQ(System.ScriptLength(), Scripted);
    ReceiveHandedOverFiles(*Main, {Damaged});
    EXPECT_EQ(Project->FileName(), Damaged);
    ASSERT_EQ(Project->LoadProblems().size(), 1u);
    EXPECT_LT(System.ScriptLength(), Scripted) << "the load problems were shown";
}

TEST_F(MainWindowReactions, AFileHandedOverToAChangedProjectOpensOnlyAfterTheSaveQuestion) {
    std::string Other = Folder.Path("Other.qmp");
    Project->SaveToFile(Other);
    Project->New();
    Project->AddTrack(Project->TrackCount(), TTrackKind::Any);
    ASSERT_TRUE(Project->Modified());
    const int32_t Tracks = Project->TrackCount();

    System.ScriptKey(KeyEscape); // Cancel: the changes stay, the file waits in the history
    ReceiveHandedOverFiles(*Main, {Other});
    EXPECT_TRUE(Project->FileName().empty());
    EXPECT_EQ(Project->TrackCount(), Tracks);
    ASSERT_FALSE(FileHistory().Files().empty());
    EXPECT_EQ(FileHistory().Files()[0], Other);

    System.ScriptKey('N', ShortCutAlt); // No: the changes go, the file opens
    ReceiveHandedOverFiles(*Main, {Other});
    EXPECT_EQ(Project->FileName(), Other);
    EXPECT_FALSE(Project->Modified());
}

TEST_F(MainWindowReactions, CommandsAreRefreshedAfterChangesAndOnTheTimer) {
    int32_t Updates = 0;
    struct TCounter {
        int32_t* Count;
        void Update(TCommand*) { ++*Count; }
    } Counter{&Updates};
    auto* Command = new TCommand(nullptr, "Test.Counter", "Counter", "", "", {}, {},
                                 MakeDelegate<&TCounter::Update>(&Counter));
    Project->AddTrack(Project->TrackCount(), TTrackKind::Any);
    EXPECT_GE(Updates, 1) << "after a change of the project";
    int32_t AfterChange = Updates;
    UndoHistory().Changes().Change(UndoChangeAll);
    EXPECT_GT(Updates, AfterChange) << "after a change of the undo history";
    int32_t AfterUndo = Updates;
    System.ScriptAdvance(TMainWindowReactions::RefreshInterval * 3);
    RunScript();
    EXPECT_GE(Updates, AfterUndo + 2) << "on the timer";
    // Inside a bracket of the project the refresh waits for its end.
    {
        TUpdateGuard Guard(Project->Changes());
        int32_t Before = Updates;
        Reactions->Refresh();
        EXPECT_EQ(Updates, Before);
        EXPECT_TRUE(Reactions->Updater().Pending());
    }
    EXPECT_FALSE(Reactions->Updater().Pending());
    Command->Free();
}

TEST_F(MainWindowReactions, TheStatusLineShowsTheShortHintOfTheControlUnderTheMouse) {
    auto& Button = Main->Dock().Add<TCommonControl>();
    Button.SetHint("Cut|Moves the selected clips to the clipboard");
    Button.SetBounds(TRect::FromSize(10, 10, 80, 24));
    Main->Window().Update();
    System.ScriptMouseMove(Centre(Button));
    System.ScriptAdvance(TMainWindowReactions::RefreshInterval * 2);
    RunScript();
    EXPECT_EQ(Main->Dock().Status().Text(), "Cut");
    EXPECT_GT(Main->Dock().Status().Height(), 0);
    EXPECT_EQ(Main->Dock().Status().Bounds().Bottom, Main->Dock().ClientRect().Bottom);

    System.ScriptMouseMove(Centre(Main->Dock().Player()));
    System.ScriptAdvance(TMainWindowReactions::RefreshInterval * 2);
    RunScript();
    EXPECT_EQ(Main->Dock().Status().Text(), "");
}

TEST(HintLine, AHintIsSplitAtBarsIntoAtMostSixParts) {
    EXPECT_TRUE(SplitHint("").empty());
    EXPECT_EQ(SplitHint("Cut"), std::vector<std::string>{"Cut"});
    EXPECT_EQ(SplitHint("Cut|Long|"), (std::vector<std::string>{"Cut", "Long", ""}));
    EXPECT_EQ(SplitHint("1|2|3|4|5|6|7"), (std::vector<std::string>{"1", "2", "3", "4", "5", "6|7"}));
    THintLine Line;
    Line.SetHint("|Only the long form");
    EXPECT_EQ(Line.Text(), "");
}

TEST(LoadProblems, AreListedUnderAHeadingNamingTheProject) {
    RestoreTextTable();
    TRefPtr<TProject> Project = MakeRef<TProject>();
    EXPECT_EQ(LoadProblemsText(*Project), "");
    Project->NoteLoadProblem("clip.avi: not found");
    Project->NoteLoadProblem("Speed 900 is out of range");
    std::string Text = LoadProblemsText(*Project);
    EXPECT_NE(Text.find("\nclip.avi: not found\nSpeed 900 is out of range"), std::string::npos) << Text;
    EXPECT_LT(Text.find('\n'), Text.find("clip.avi")) << "a heading first";

    // The dialog shows and takes the Enter that closes it; without
    // problems nothing shows and the key is left.
    THeadlessWindowSystem System;
    System.ScriptKey(KeyEnter);
    const size_t Scripted = System.ScriptLength();
    ShowLoadProblems(System, *MakeRef<TProject>());
    EXPECT_EQ(System.ScriptLength(), Scripted);
    ShowLoadProblems(System, *Project);
    EXPECT_LT(System.ScriptLength(), Scripted);
}
