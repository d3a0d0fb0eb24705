#include "app/main_window.h"

#include "../playback/playback_test_support.h"
#include "core/error.h"
#include "core/ref_object.h"
#include "core/text_table.h"
#include "platform/keys.h"
#include "playback/player_time.h"
#include "playback/player_window.h"
#include "project/project.h"
#include "project/project_changes.h"
#include "render/render.h"
#include "render/timeline.h"
#include "toolkit/areas/area.h"
#include "toolkit/docking/dock_host.h"
#include "toolkit/docking/tool_window.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const std::string& File) {
    std::ifstream In(File, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

// A desktop of 1920 x 1080 whose work area leaves a panel of 40 pixels.
class MainWindow : public testing::Test {
protected:
    MainWindow() : Render(Project->Timeline()) {
        Render.BindProjectHooks(Project->LoadRendering, Project->SaveRendering);
        Project->New();
    }
    std::unique_ptr<TMainWindow> Open(const std::string& Load, const std::string& Save) {
        auto Main = std::make_unique<TMainWindow>(System, *Project);
        Main->Start(Load, Save);
        return Main;
    }
    // Runs the script so far on the loop.
    void RunScript() {
        bool Done = false;
        System.ScriptStep([&] { Done = true; });
        System.RunLoop([&] { return Done; });
    }
    std::string DesktopFile() const { return Folder.Path("Desktop.cfg"); }

    TTempFolder Folder;
    THeadlessWindowSystem System{{{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}}}};
    TRefPtr<TProject> Project = MakeRef<TProject>();
    TRender Render;
};

TEST_F(MainWindow, FirstStartIsCentredAtItsDesignedSizeAndThePlacementSurvivesARestart) {
    {
        auto Main = Open(DesktopFile(), DesktopFile());
        EXPECT_TRUE(Main->Window().Native().IsVisible());
        // Centred on the work area.
        constexpr int32_t W = TMainWindow::DesignWidth, H = TMainWindow::DesignHeight;
        EXPECT_EQ(Main->Window().Native().Bounds(), TRect::FromSize((1920 - W) / 2, (1040 - H) / 2, W, H));
        Main->Window().Native().SetNormalBounds(TRect::FromSize(50, 60, 700, 500));
    }
    ASSERT_TRUE(fs::exists(DesktopFile())) << "the desktop is stored at exit";
    auto Main = Open(DesktopFile(), DesktopFile());
    EXPECT_EQ(Main->Window().Native().NormalBounds(), TRect::FromSize(50, 60, 700, 500));
}

TEST_F(MainWindow, AStoredRectangleOffTheDesktopIsMovedBack) {
    std::ofstream(DesktopFile()) << "Desktop:\n  Main:\n    BoundsRect.Left = 1700\n    BoundsRect.Top = 100\n"
                                    "    BoundsRect.Width = 640\n    BoundsRect.Height = 480\n  end\nend\n";
    auto Main = Open(DesktopFile(), DesktopFile());
    EXPECT_EQ(Main->Window().Native().NormalBounds(), TRect::FromSize(1280, 100, 640, 480));
}

TEST_F(MainWindow, ADamagedDesktopFileIsReportedAndKept) {
    const std::string Damaged("\x01\x02\x03 not a desktop \xff\n", 21);
    std::ofstream(DesktopFile(), std::ios::binary) << Damaged;
    {
        auto Main = Open(DesktopFile(), DesktopFile());
        EXPECT_TRUE(Main->Window().Native().IsVisible());
        // Centred on the work area.
        constexpr int32_t W = TMainWindow::DesignWidth, H = TMainWindow::DesignHeight;
        EXPECT_EQ(Main->Window().Native().Bounds(), TRect::FromSize((1920 - W) / 2, (1040 - H) / 2, W, H));
        EXPECT_TRUE(Main->Dock().Message().IsVisible());
        EXPECT_NE(Main->Dock().Message().Text().find(DesktopFile()), std::string::npos);
        EXPECT_TRUE(Main->DesktopSaveFile().empty());
    }
    EXPECT_EQ(ReadBytes(DesktopFile()), Damaged);
}

TEST_F(MainWindow, AReadOnlyDesktopFileIsNotOverwritten) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    const std::string Stored = "Desktop:\n  Main:\n    IsMaximized = False\n  end\nend\n";
    std::ofstream(DesktopFile()) << Stored;
    ::chmod(DesktopFile().c_str(), 0444);
    {
        auto Main = Open(DesktopFile(), DesktopFile());
        Main->Window().Native().SetNormalBounds(TRect::FromSize(5, 5, 400, 300));
    }
    EXPECT_EQ(ReadBytes(DesktopFile()), Stored);
}

TEST_F(MainWindow, TheTitleFollowsTheProjectFile) {
    auto Main = Open("", "");
    EXPECT_EQ(Main->Window().Native().Title(), "Untitled-Quillmoor");
    std::string File = Folder.Path("Holiday.qmp");
    Project->SaveToFile(File);
    EXPECT_EQ(Main->Window().Native().Title(), "Holiday - Quillmoor");
    Project->New();
    Project->LoadFromFile(File);
    EXPECT_EQ(Main->Window().Native().Title(), "Holiday - Quillmoor");
    // Another extension stays in the title.
    Project->SaveToFile(Folder.Path("Holiday.backup"));
    EXPECT_EQ(Main->Window().Native().Title(), "Holiday.backup - Quillmoor");
}

TEST_F(MainWindow, EscapeLeavesFullScreenThenStopsPlaybackThenTakesTheFocus) {
    auto Main = Open("", "");
    TPlayerWindow& Player = Main->Dock().Player();
    Player.ShowFile(SolidClip(Folder, "clip.avi", 200, 40, 40, 100));
    ASSERT_TRUE(Player.IsPlaying());
    ASSERT_TRUE(Main->Dock().Time().SetFocus());
    TPlayerWindow::ToggleFullScreen();
    ASSERT_TRUE(Player.IsFullScreen());

    System.ScriptKey(KeyEscape);
    RunScript();
    EXPECT_FALSE(Player.IsFullScreen());
    EXPECT_TRUE(Player.IsPlaying()) << "one step at a time";

    Main->Window().Native().Activate();
    System.ScriptKey(KeyEscape);
    RunScript();
    EXPECT_FALSE(Player.IsPlaying());
    EXPECT_EQ(Main->Window().Focused(), &Main->Dock().Time());

    System.ScriptKey(KeyEscape);
    RunScript();
    EXPECT_EQ(Main->Window().Focused(), nullptr);
    EXPECT_FALSE(Main->HandleEscape()) << "nothing left to do";
}

TEST_F(MainWindow, SpacePlaysAndPausesAndTheCloseButtonClosesOnlyWhenAsked) {
    auto Main = Open("", "");
    TPlayerWindow& Player = Main->Dock().Player();
    Player.ShowFile(SolidClip(Folder, "clip.avi", 40, 200, 40, 100));
    ASSERT_TRUE(Player.IsPlaying());
    System.ScriptKey(KeySpace);
    RunScript();
    EXPECT_FALSE(Player.IsPlaying());
    System.ScriptKey(KeySpace);
    RunScript();
    EXPECT_TRUE(Player.IsPlaying());

    EXPECT_FALSE(Main->IsClosed());
    System.ScriptCloseRequest(Main->Window().Native());
    System.RunLoop([&] { return Main->IsClosed(); });
    EXPECT_TRUE(Main->IsClosed());
    Main->ReleasePlayers();
    EXPECT_EQ(Player.PlayerObject(), nullptr);
}

TEST_F(MainWindow, ThePlayerShowsTheProjectAndItsPositionBecomesTheProjects) {
    auto Main = Open("", "");
    TPlayerWindow& Player = Main->Dock().Player();
    EXPECT_EQ(Player.PlayerObject(), &Project->Timeline());
    // Another source in the main player: a change of the project brings the
    // project back.
    Player.ShowFile(SolidClip(Folder, "clip.avi", 40, 40, 200, 50));
    Player.Halt();
    Project->Changes().Change(TProjectChangeFlags(0x10));
    EXPECT_EQ(Player.PlayerObject(), &Project->Timeline());
}

} // namespace

TEST_F(MainWindow, ThePlayerAndTheTimelineTileTheCentreDockAndTheSplitterSizesThemAgainstEachOther) {
    auto Main = Open("", "");
    TMainDock& Dock = Main->Dock();
    TSplitDock& Centre = Dock.Host().Centre();
    RunScript();
    ASSERT_EQ(Dock.PlayerBox().ParentDock(), &Centre);
    ASSERT_EQ(Dock.TimelineBox().ParentDock(), &Centre);
    const TRect Player = Dock.PlayerBox().Bounds(), Timeline = Dock.TimelineBox().Bounds();
    // One above the other, the full width, the splitter between them.
    EXPECT_EQ(Player.Top, 0);
    EXPECT_EQ(Timeline.Top, Player.Bottom + TSplitDock::SplitterWidth);
    EXPECT_EQ(Timeline.Bottom, Centre.ClientRect().Height());
    EXPECT_EQ(Player.Width(), Centre.ClientRect().Width());
    EXPECT_GT(Dock.Player().Height(), 0);
    EXPECT_GT(Dock.Timeline().Height(), 0);
    // Dragging the splitter 60 pixels up gives the timeline 60 more, taken
    // from the player.
    const TRect Screen = Centre.ScreenRect();
    const TPoint From{Screen.Left + Player.Width() / 2, Screen.Top + Player.Bottom + TSplitDock::SplitterWidth / 2};
    System.ScriptMouseMove(From);
    System.ScriptMouseDown(From);
    System.ScriptMouseMove({From.X, From.Y - 60});
    System.ScriptMouseUp({From.X, From.Y - 60});
    RunScript();
    const int32_t Grown = Dock.TimelineBox().Bounds().Height() - Timeline.Height();
    EXPECT_EQ(Grown, 60);
    EXPECT_EQ(Dock.PlayerBox().Bounds().Height(), Player.Height() - Grown);
    // The player's content follows its box.
    EXPECT_EQ(Dock.Panel().Height(), Dock.PlayerBox().ClientRect().Height());
    Main->ReleasePlayers();
}

namespace {

// Drags the splitter between the player and the timeline by DY pixels.
void DragCentreSplitter(THeadlessWindowSystem& System, TMainDock& Dock, int32_t DY) {
    const TRect Screen = Dock.Host().Centre().ScreenRect();
    const TRect Player = Dock.PlayerBox().Bounds();
    const TPoint From{Screen.Left + Player.Width() / 2, Screen.Top + Player.Bottom + TSplitDock::SplitterWidth / 2};
    System.ScriptMouseMove(From);
    System.ScriptMouseDown(From);
    System.ScriptMouseMove({From.X, From.Y + DY});
    System.ScriptMouseUp({From.X, From.Y + DY});
}

} // namespace

TEST_F(MainWindow, TheSplitterAndAFloatingToolWindowAreWhereTheyWereAfterARestart) {
    const TRect FloatAt = TRect::FromSize(300, 200, 500, 240);
    TRect Floated;
    int32_t PlayerHeight = 0;
    std::string PlayerCaption, TimelineCaption;
    {
        auto Main = Open(DesktopFile(), DesktopFile());
        RunScript();
        TMainDock& Dock = Main->Dock();
        PlayerCaption = Dock.PlayerBox().Caption();
        TimelineCaption = Dock.TimelineBox().Caption();
        EXPECT_FALSE(PlayerCaption.empty());
        EXPECT_FALSE(TimelineCaption.empty());
        EXPECT_NE(PlayerCaption, TimelineCaption);
        DragCentreSplitter(System, Dock, -50);
        RunScript();
        PlayerHeight = Dock.PlayerBox().Bounds().Height();
        // The timeline floats on its own.
        std::unique_ptr<TWidget> Timeline = Dock.Host().Centre().Undock(Dock.TimelineBox());
        ASSERT_TRUE(Timeline);
        DockList().Float(std::move(Timeline), FloatAt);
        RunScript();
        // The user makes it larger.
        TNativeWindow& Window = DockList().FloatingWindow(Dock.TimelineBox())->Native();
        Window.SetBounds({Window.Bounds().Left, Window.Bounds().Top, Window.Bounds().Right + 40,
                          Window.Bounds().Bottom + 30});
        RunScript();
        Floated = Window.Bounds();
        EXPECT_EQ(Floated.TopLeft(), FloatAt.TopLeft());
        // Alone in the centre, the player fills it.
        PlayerHeight = Dock.PlayerBox().Bounds().Height();
        Main->ReleasePlayers();
    }
    const std::string Stored = ReadBytes(DesktopFile());
    EXPECT_NE(Stored.find("CenterDock"), std::string::npos);
    EXPECT_NE(Stored.find("ToolWindow[0]"), std::string::npos);
    {
        auto Main = Open(DesktopFile(), DesktopFile());
        RunScript();
        TMainDock& Dock = Main->Dock();
        EXPECT_FALSE(Dock.Message().IsVisible()) << Dock.Message().Text();
        EXPECT_EQ(Dock.PlayerBox().ParentDock(), &Dock.Host().Centre());
        EXPECT_EQ(Dock.PlayerBox().Bounds().Height(), PlayerHeight);
        ASSERT_TRUE(DockList().IsFloating(Dock.TimelineBox()));
        EXPECT_EQ(DockList().FloatingWindow(Dock.TimelineBox())->Native().Bounds(), Floated);
        EXPECT_EQ(Dock.PlayerBox().Caption(), PlayerCaption);
        EXPECT_EQ(Dock.TimelineBox().Caption(), TimelineCaption);
        // The rebuilt timeline still edits the project, the rebuilt player
        // still shows it.
        EXPECT_NE(Dock.TimelineDesktop(), nullptr);
        EXPECT_EQ(Dock.Player().PlayerObject(), &Project->Timeline());
        // Docked back, the splitter again divides the two.
        std::unique_ptr<TWidget> Timeline = DockList().TakeFloating(Dock.TimelineBox());
        const TRect Centre = Dock.Host().Centre().ClientRect();
        Dock.Host().Centre().DockNew(std::move(Timeline), nullptr,
                                     {0, Centre.Height() / 2, Centre.Width(), Centre.Height()});
        RunScript();
        EXPECT_EQ(Dock.TimelineBox().ParentDock(), &Dock.Host().Centre());
        Main->ReleasePlayers();
    }
}

TEST_F(MainWindow, TheLayoutIsStoredOnceAndReadsBackToTheSameText) {
    const std::string Second = Folder.Path("Second.cfg");
    {
        auto Main = Open("", DesktopFile());
        RunScript();
        DragCentreSplitter(System, Main->Dock(), 30);
        RunScript();
        Main->ReleasePlayers();
    }
    {
        auto Main = Open(DesktopFile(), Second);
        RunScript();
        Main->ReleasePlayers();
    }
    const std::string First = ReadBytes(DesktopFile());
    EXPECT_EQ(ReadBytes(Second), First);
    // The panel and the area are named by their factories.
    EXPECT_NE(First.find(TMainFactories::PlayerPanelId), std::string::npos);
    EXPECT_NE(First.find(TMainFactories::AreaId), std::string::npos);
}

TEST_F(MainWindow, ALayoutWithoutThePlayerIsRefusedAndTheCurrentOneStays) {
    // A centre dock whose only item names no known factory.
    const std::string Damaged = "Desktop:\n  Main:\n    IsMaximized = False\n  end\n  CenterDock:\n    List:\n"
                                "      Count = 1\n      Item[0]:\n        FactoryId = 'Nothing|Here'\n      end\n"
                                "    end\n  end\nend\n";
    std::ofstream(DesktopFile()) << Damaged;
    {
        auto Main = Open(DesktopFile(), DesktopFile());
        RunScript();
        TMainDock& Dock = Main->Dock();
        // The default layout, and a message naming the file.
        EXPECT_EQ(Dock.PlayerBox().ParentDock(), &Dock.Host().Centre());
        EXPECT_EQ(Dock.TimelineBox().ParentDock(), &Dock.Host().Centre());
        EXPECT_NE(Dock.Message().Text().find(DesktopFile()), std::string::npos);
        EXPECT_NE(Dock.Message().Text().find(GetText(TTextSlot::LayoutLacksPanels)), std::string::npos);
        EXPECT_TRUE(Main->DesktopSaveFile().empty());
        // Read again while running: the error is raised and the layout on
        // screen, its player and splitter, stay.
        DragCentreSplitter(System, Dock, 40);
        RunScript();
        TPlayerWindow* Player = &Dock.Player();
        const TRect PlayerBounds = Dock.PlayerBox().Bounds();
        EXPECT_THROW(Main->LoadDesktop(DesktopFile(), TDesktopScope::Configuration), EError);
        RunScript();
        EXPECT_EQ(&Dock.Player(), Player);
        EXPECT_EQ(Dock.PlayerBox().Bounds(), PlayerBounds);
        Main->ReleasePlayers();
    }
    EXPECT_EQ(ReadBytes(DesktopFile()), Damaged);
}

TEST_F(MainWindow, TheShippedDesktopShowsThePlayerAboveTheTimelineInTitledToolWindows) {
    // The file holds the layout itself, not just the window's placement.
    const std::string Shipped = ReadBytes(QM_SHIPPED_DESKTOP);
    EXPECT_NE(Shipped.find("CenterDock"), std::string::npos);
    EXPECT_NE(Shipped.find(TMainFactories::PlayerPanelId), std::string::npos);
    EXPECT_NE(Shipped.find(TMainFactories::AreaId), std::string::npos);
    auto Main = Open(QM_SHIPPED_DESKTOP, "");
    RunScript();
    TMainDock& Dock = Main->Dock();
    EXPECT_FALSE(Dock.Message().IsVisible()) << Dock.Message().Text();
    TSplitDock& Centre = Dock.Host().Centre();
    ASSERT_EQ(Dock.PlayerBox().ParentDock(), &Centre);
    ASSERT_EQ(Dock.TimelineBox().ParentDock(), &Centre);
    EXPECT_EQ(Dock.PlayerBox().Caption(), GetText(TTextSlot::PlayerToolWindowCaption));
    EXPECT_EQ(Dock.TimelineBox().Caption(), GetText(TTextSlot::TimelineToolWindowCaption));
    const TRect Player = Dock.PlayerBox().Bounds(), Timeline = Dock.TimelineBox().Bounds();
    EXPECT_EQ(Player.Top, 0);
    EXPECT_EQ(Timeline.Top, Player.Bottom + TSplitDock::SplitterWidth);
    EXPECT_EQ(Timeline.Bottom, Centre.ClientRect().Height());
    EXPECT_GE(Timeline.Height(), TMainDock::TimelineMinHeight);
    EXPECT_GT(Player.Height(), Timeline.Height());
    EXPECT_NE(Dock.TimelineDesktop(), nullptr);
    Main->ReleasePlayers();
}
