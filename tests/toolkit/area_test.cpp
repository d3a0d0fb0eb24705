#include "area_test_support.h"
#include "core/exception_report.h"
#include "platform/keys.h"
#include "toolkit/areas/area.h"
#include "toolkit/widgets/drag.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

using TLines = std::vector<std::string>;

// Two side-by-side fragments a (0..60) and b (100..160), 40 high at y 20.
struct TTwoFragments : TAreaFixture {
    TProbe& A;
    TProbe& B;
    TTwoFragments()
        : A(AddProbe(Desktop(), "a", {0, 20, 60, 40})), B(AddProbe(Desktop(), "b", {100, 20, 60, 40})) {
        Settle();
    }
    // The lines a test cares about: what the fragments received, without
    // layout passes.
    TLines Heard() const {
        TLines Found;
        for (const auto& Line : Log.Lines)
            if (Line.find("measure") == std::string::npos && Line.find("arrange") == std::string::npos)
                Found.push_back(Line);
        return Found;
    }
};

} // namespace

// ---- mouse routing

TEST(AreaMouse, AClickGoesToTheFragmentUnderTheMouseInItsCoordinatesWithCaptureBetween) {
    TTwoFragments F;
    F.System.ScriptMouseMove(F.Screen(110, 25));
    F.System.ScriptMouseDown(F.Screen(112, 27));
    F.System.ScriptStep([&] {
        EXPECT_TRUE(F.B.IsPressed());
        EXPECT_TRUE(F.B.HasCapture());
        EXPECT_EQ(F.System.CaptureWindow(), &F.Window->Native());
    });
    F.System.ScriptMouseUp(F.Screen(112, 27));
    F.Run();
    EXPECT_EQ(F.Heard(), (TLines{"b enter", "b move 10,5", "b down 0 12,7", "b gained", "b up 0 12,7", "b lost"}));
    EXPECT_FALSE(F.B.IsPressed());
    EXPECT_TRUE(F.B.IsHot());
    EXPECT_EQ(F.Area->CaptureFragment(), nullptr);
    EXPECT_EQ(F.System.CaptureWindow(), nullptr);
}

TEST(AreaMouse, TheLaterOfTwoOverlappingFragmentsReceivesTheMouse) {
    TAreaFixture F;
    F.AddProbe(F.Desktop(), "under", {0, 0, 80, 80});
    F.AddProbe(F.Desktop(), "over", {40, 40, 80, 50});
    F.Settle();
    F.System.ScriptClick(F.Screen(50, 50));
    F.Run();
    EXPECT_TRUE(F.Log.Starting("under").empty());
    EXPECT_EQ(F.Log.Starting("over down"), (TLines{"over down 0 10,10"}));
}

TEST(AreaMouse, APressedFragmentKeepsTheMouseAndIsNotHotOutsideItself) {
    TTwoFragments F;
    F.System.ScriptMouseMove(F.Screen(10, 30));
    F.System.ScriptMouseDown(F.Screen(10, 30));
    F.System.ScriptMouseMove(F.Screen(120, 30));
    F.System.ScriptStep([&] {
        EXPECT_FALSE(F.A.IsHot());
        EXPECT_FALSE(F.B.IsHot());
        EXPECT_EQ(F.Area->HotFragment(), nullptr);
    });
    F.System.ScriptMouseUp(F.Screen(120, 30));
    F.System.ScriptMouseMove(F.Screen(121, 30));
    F.Run();
    EXPECT_EQ(F.Heard(), (TLines{"a enter", "a move 10,10", "a down 0 10,10", "a gained", "a leave", "a move 120,10",
                                 "a up 0 120,10", "a lost", "b enter", "b move 21,10"}));
    EXPECT_TRUE(F.B.IsHot());
}

TEST(AreaMouse, TheMouseLeavingTheAreaClearsTheHotFragment) {
    TTwoFragments F;
    F.System.ScriptMouseMove(F.Screen(10, 30));
    F.System.ScriptStep([&] { EXPECT_TRUE(F.Area->MouseInside()); });
    F.System.ScriptMouseMove({500, 500});
    F.Run();
    EXPECT_FALSE(F.Area->MouseInside());
    EXPECT_EQ(F.Area->HotFragment(), nullptr);
    EXPECT_FALSE(F.A.IsHot());
    EXPECT_EQ(F.Log.Starting("a leave").size(), 1u);
}

TEST(AreaMouse, HintAndCursorFollowTheHotAndCapturingFragments) {
    TTwoFragments F;
    F.A.SetHint("Track a");
    F.A.SetCursor(TCursorKind::SizeWE);
    F.B.SetCursor(TCursorKind::Hand);
    F.System.ScriptMouseMove(F.Screen(10, 30));
    F.System.ScriptStep([&] {
        EXPECT_EQ(F.Area->Hint(), "Track a");
        EXPECT_EQ(F.Window->Native().Cursor(), TCursorKind::SizeWE);
        // A hint changed while hot shows at once.
        F.A.SetHint("Track a, muted");
        EXPECT_EQ(F.Area->Hint(), "Track a, muted");
    });
    F.System.ScriptMouseDown(F.Screen(10, 30));
    F.System.ScriptMouseMove(F.Screen(120, 30));
    // Over b while a holds the capture: a's cursor stays.
    F.System.ScriptStep([&] {
        EXPECT_EQ(F.Window->Native().Cursor(), TCursorKind::SizeWE);
        EXPECT_EQ(F.Area->Hint(), "");
    });
    F.System.ScriptMouseUp(F.Screen(120, 30));
    F.System.ScriptMouseMove(F.Screen(121, 30));
    F.Run();
    EXPECT_EQ(F.Window->Native().Cursor(), TCursorKind::Hand);
}

TEST(AreaMouse, ARightPressWithoutALocalMenuOnlySendsThePress) {
    TTwoFragments F;
    F.System.ScriptClick(F.Screen(10, 30), TMouseButton::Right);
    F.Run();
    EXPECT_EQ(F.Heard(), (TLines{"a enter", "a move 10,10", "a down 1 10,10", "a gained", "a getmenu 10,10",
                                 "a up 1 10,10", "a lost"}));
    EXPECT_EQ(F.Area->MenuFragment(), nullptr);
}

TEST(AreaMouse, ALocalMenuIsPreparedShownAndReportedClosedEvenWhenItFails) {
    TTwoFragments F;
    TTestMenu Menu(F.Log);
    F.A.Menu = &Menu;
    F.System.ScriptClick(F.Screen(10, 30), TMouseButton::Right);
    F.Run();
    EXPECT_EQ(F.Log.Starting("a getmenu").size(), 1u);
    TLines Order;
    for (const auto& Line : F.Heard())
        if (Line.find("prepare") != std::string::npos || Line.find("popup") != std::string::npos ||
            Line.find("closed") != std::string::npos)
            Order.push_back(Line);
    EXPECT_EQ(Order, (TLines{"a prepare 10,10", "menu popup", "a closed"}));
    EXPECT_EQ(Menu.ShownAt, F.Screen(10, 30));
    EXPECT_EQ(F.Area->MenuFragment(), nullptr);

    int32_t Reported = 0;
    SetExceptionReportHandler([&](const std::exception&) { ++Reported; });
    Menu.Throws = true;
    F.Log.Lines.clear();
    F.System.ScriptClick(F.Screen(20, 30), TMouseButton::Right);
    F.Run();
    SetExceptionReportHandler(nullptr);
    EXPECT_EQ(Reported, 1);
    EXPECT_EQ(F.Log.Starting("a closed").size(), 1u);
    EXPECT_EQ(F.Area->MenuFragment(), nullptr);
}

TEST(AreaMouse, TheWheelGoesToTheFragmentAndTheBaseHandsItToTheDesktop) {
    TTwoFragments F;
    F.System.ScriptWheel(F.Screen(110, 30), 120);
    F.System.ScriptWheel(F.Screen(70, 10), -120); // over the desktop itself
    F.Run();
    EXPECT_EQ(F.Log.Starting("b wheel"), (TLines{"b wheel 120 10,10"}));
    // b's base passes it on at b's point in desktop coordinates.
    EXPECT_EQ(F.Log.Starting("desktop wheel"), (TLines{"desktop wheel 120 110,30", "desktop wheel -120 70,10"}));
    EXPECT_EQ(F.Root.Wheels, 0);
}

TEST(AreaMouse, AWheelOverNoFragmentFallsToTheDefaultHandling) {
    TAreaFixture F;
    // A desktop of no size answers no hit test (the area keeps its size, so
    // nothing lays the desktop out again).
    F.Desktop().SetBox({0, 0, 0, 0});
    F.Desktop().UpdateRects();
    F.System.ScriptWheel(F.Screen(50, 50), 120);
    F.Run();
    EXPECT_EQ(F.Root.Wheels, 1);
}

TEST(AreaMouse, DroppedFilesReachTheFragmentUnderTheDropPoint) {
    TTwoFragments F;
    F.System.ScriptDropBegin(F.Screen(5, 5));
    F.System.ScriptDropFile("/tmp/one.avi");
    F.System.ScriptDropFile("/tmp/two.png");
    F.System.ScriptDropComplete(F.Screen(130, 50));
    F.Run();
    EXPECT_EQ(F.Log.Starting("b drop"), (TLines{"b drop 30,30 /tmp/one.avi /tmp/two.png"}));
    EXPECT_TRUE(F.Root.Drops.empty());
    // Beside the area the drop is the window's.
    F.System.ScriptDropBegin(F.Screen(205, 105));
    F.System.ScriptDropFile("/tmp/three.wav");
    F.System.ScriptDropComplete(F.Screen(205, 105));
    F.Run();
    EXPECT_EQ(F.Root.Drops, (TLines{"/tmp/three.wav"}));
    EXPECT_EQ(F.Log.Starting("b drop").size(), 1u);
}

TEST(AreaKeys, KeysGoToTheDesktopWhichOffersThemToChildrenUntilOneTakesIt) {
    TTwoFragments F;
    F.B.SwallowsKey = KeyRight;
    ASSERT_TRUE(F.Area->SetFocus());
    F.System.ScriptKey(KeyRight);
    F.System.ScriptKey(KeyLeft);
    F.Run();
    EXPECT_EQ(F.Heard(), (TLines{"desktop key " + std::to_string(KeyRight), "a key " + std::to_string(KeyRight),
                                 "b key " + std::to_string(KeyRight), "desktop key " + std::to_string(KeyLeft),
                                 "a key " + std::to_string(KeyLeft), "b key " + std::to_string(KeyLeft)}));
}

TEST(AreaKeys, AKeyNoFragmentAcceptsGoesOnToTheParentWidgetAndThenTheShortcuts) {
    TTwoFragments F;
    const uint8_t Taken = KeyA + 1, Passed = KeyA + 6;
    F.B.SwallowsKey = Taken;
    std::vector<uint8_t> Shortcuts;
    F.Window->SetShortcutHook([&](const TWidgetKeyEvent& Event) {
        Shortcuts.push_back(Event.Key);
        return true;
    });
    ASSERT_TRUE(F.Area->SetFocus());
    F.System.ScriptKey(Taken);
    F.System.ScriptKey(Passed);
    F.Run();
    // Both keys went through the fragments; only the one none took went on.
    EXPECT_EQ(F.Log.Starting("b key").size(), 2u);
    EXPECT_EQ(F.Root.Keys, (std::vector<uint8_t>{Passed}));
    EXPECT_EQ(Shortcuts, (std::vector<uint8_t>{Passed}));
}

// ---- handlers that free fragments while the area routes the mouse

TEST(AreaFreeing, APressHandlerThatRebuildsTheTreeLeavesNoCaptureOrHotFragment) {
    TTwoFragments F;
    TTestMenu Menu(F.Log);
    F.A.Menu = &Menu;
    F.A.OnDown = [&] {
        F.Desktop().DeleteChildren();
        F.AddProbe(F.Desktop(), "new", {0, 20, 60, 40});
        F.Area->Relayout();
    };
    F.System.ScriptMouseMove(F.Screen(10, 30));
    F.System.ScriptMouseDown(F.Screen(10, 30), TMouseButton::Right);
    F.System.ScriptStep([&] {
        EXPECT_EQ(F.Area->CaptureFragment(), nullptr);
        EXPECT_EQ(F.Area->HotFragment(), nullptr);
        EXPECT_EQ(F.Area->Hint(), "");
    });
    F.System.ScriptMouseMove(F.Screen(11, 30));
    F.System.ScriptMouseUp(F.Screen(11, 30), TMouseButton::Right);
    F.Run();
    // The freed fragment was not asked for its menu; the new one took over.
    EXPECT_TRUE(F.Log.Starting("menu").empty());
    EXPECT_TRUE(F.Log.Starting("a getmenu").empty());
    EXPECT_EQ(F.Log.Starting("new"), (TLines{"new measure", "new arrange", "new enter", "new move 11,10",
                                             "new up 1 11,10"}));
    EXPECT_EQ(F.System.CaptureWindow(), nullptr);
}

TEST(AreaFreeing, ALeaveHandlerThatFreesTheFragmentBeingEnteredDropsTheMessage) {
    TTwoFragments F;
    TProbe* B = &F.B;
    F.A.OnLeave = [&] {
        if (B) {
            F.Desktop().DeleteChild(*B);
            B = nullptr;
        }
    };
    F.System.ScriptMouseMove(F.Screen(10, 30));
    F.System.ScriptMouseMove(F.Screen(110, 30));
    F.System.ScriptMouseMove(F.Screen(111, 30));
    F.Run();
    EXPECT_EQ(F.Heard(), (TLines{"a enter", "a move 10,10", "a leave"}));
    // Where b was is now the desktop's.
    EXPECT_EQ(F.Area->HotFragment(), &F.Desktop());
}

TEST(AreaFreeing, AnEnterHandlerThatFreesItsOwnFragmentGetsNoMove) {
    TTwoFragments F;
    F.B.OnEnter = [&] { F.Desktop().DeleteChild(F.B); };
    F.System.ScriptMouseMove(F.Screen(110, 30));
    F.Run();
    EXPECT_EQ(F.Heard(), (TLines{"b enter"}));
    EXPECT_EQ(F.Area->HotFragment(), nullptr);
}

TEST(AreaFreeing, DestroyingTheCaptureFragmentDuringADragReleasesEverything) {
    TTwoFragments F;
    F.A.SetHint("a's hint");
    F.A.SetCursor(TCursorKind::SizeWE);
    F.System.ScriptMouseMove(F.Screen(10, 30));
    F.System.ScriptMouseDown(F.Screen(10, 30));
    F.System.ScriptMouseMove(F.Screen(20, 30));
    F.System.ScriptStep([&] {
        ASSERT_EQ(F.Area->CaptureFragment(), &F.A);
        F.Desktop().DeleteChild(F.A);
        EXPECT_EQ(F.Area->CaptureFragment(), nullptr);
        EXPECT_EQ(F.Area->HotFragment(), nullptr);
        EXPECT_EQ(F.Area->Hint(), "");
        EXPECT_EQ(F.Area->Cursor(), TCursorKind::Arrow);
        EXPECT_EQ(F.Window->Native().Cursor(), TCursorKind::Arrow);
    });
    F.System.ScriptMouseMove(F.Screen(120, 30));
    F.System.ScriptMouseUp(F.Screen(120, 30));
    F.Run();
    EXPECT_EQ(F.System.CaptureWindow(), nullptr);
    // With nothing holding the capture, b hears the move and the release.
    EXPECT_EQ(F.Log.Starting("b"), (TLines{"b enter", "b move 20,10", "b up 0 20,10"}));
}

TEST(AreaFreeing, ADesktopClassChangeDuringAPressReplacesTheTreeSafely) {
    TTwoFragments F;
    TProbeDesktopClass Other;
    Other.Log = &F.Log;
    F.A.OnDown = [&] { Areas().SetDesktopClass(&Other); };
    F.System.ScriptMouseMove(F.Screen(10, 30));
    F.System.ScriptMouseDown(F.Screen(10, 30));
    F.System.ScriptMouseUp(F.Screen(10, 30));
    F.Run();
    EXPECT_EQ(Other.Made, 1);
    EXPECT_EQ(F.Area->CaptureFragment(), nullptr);
    // The release went to the new desktop, now under the mouse.
    EXPECT_EQ(F.Area->HotFragment(), F.Area->Desktop());
    EXPECT_EQ(F.System.CaptureWindow(), nullptr);
}

TEST(AreaFreeing, LosingThePlatformCaptureDropsTheCaptureFragment) {
    TTwoFragments F;
    F.System.ScriptMouseMove(F.Screen(10, 30));
    F.System.ScriptMouseDown(F.Screen(10, 30));
    F.System.ScriptStep([&] { F.System.ReleaseCapture(); });
    F.System.ScriptMouseMove(F.Screen(12, 30));
    F.Run();
    EXPECT_EQ(F.Area->CaptureFragment(), nullptr);
    EXPECT_EQ(F.Log.Starting("a lost").size(), 1u);
    EXPECT_EQ(F.Log.Starting("a move").back(), "a move 12,10");
}

// ---- the registry

TEST(AreasRegistry, SnappingSwitchesStartOnAndReportEachRealChangeOnce) {
    struct TCounter : TObject {
        int32_t Changes = 0;
        void Changed(TObject*, TAreasChangeFlags Flags) {
            ++Changes;
            EXPECT_EQ(Flags, AreasChangeAll);
        }
    } Counter;
    TAreas& Registry = Areas();
    EXPECT_TRUE(Registry.IsSnapToGrid());
    EXPECT_TRUE(Registry.IsSnapToObject());
    Registry.Changes().AddChangeHandler(MakeDelegate<&TCounter::Changed>(&Counter));
    Registry.SetSnapToGrid(true);
    EXPECT_EQ(Counter.Changes, 0);
    Registry.SetSnapToGrid(false);
    Registry.SetSnapToObject(false);
    EXPECT_FALSE(Registry.IsSnapToGrid());
    EXPECT_FALSE(Registry.IsSnapToObject());
    EXPECT_EQ(Counter.Changes, 2);
    Registry.SetSnapToGrid(true);
    Registry.SetSnapToObject(true);
    EXPECT_EQ(Counter.Changes, 4);
    Registry.Changes().RemoveChangeHandler(MakeDelegate<&TCounter::Changed>(&Counter));
}

TEST(AreasRegistry, ADesktopClassReachesEveryAreaAndClearingItKeepsTheDesktops) {
    TAreaFixture F;
    TArea Second;
    EXPECT_EQ(Areas().List().size(), 2u);
    ASSERT_NE(Second.Desktop(), nullptr);
    TProbeDesktopClass Other;
    Areas().SetDesktopClass(&Other);
    EXPECT_EQ(Other.Made, 2);
    TDesktop* Kept = Second.Desktop();
    Areas().SetDesktopClass(nullptr);
    EXPECT_EQ(Second.Desktop(), Kept);
    EXPECT_EQ(Areas().DesktopClass(), nullptr);
}

TEST(AreasRegistry, AreasLeaveTheRegistryWhenDestroyed) {
    size_t Before = Areas().List().size();
    {
        TArea One;
        EXPECT_EQ(Areas().List().size(), Before + 1);
    }
    EXPECT_EQ(Areas().List().size(), Before);
}

TEST(AreasRegistry, DragEventsReachEveryFragmentOfEveryAreaParentsFirst) {
    TTwoFragments F;
    F.AddProbe(F.A, "a child", {0, 0, 5, 5});
    TArea Second; // another area, with its own desktop logging to the same log
    F.Log.Lines.clear();
    Areas().DragStarted();
    EXPECT_EQ(F.Log.Lines, (TLines{"desktop dragstart", "a dragstart", "a child dragstart", "b dragstart",
                                   "desktop dragstart"}));
    F.Log.Lines.clear();
    Areas().DragMoved();
    EXPECT_EQ(F.Log.Lines, (TLines{"a dragmove", "a child dragmove", "b dragmove"}));
    F.Log.Lines.clear();
    Areas().DragEnded(false);
    EXPECT_EQ(F.Log.Starting("a dragend"), (TLines{"a dragend cancelled"}));
}

TEST(AreasRegistry, ADropThatEditsTheDocumentReportsOnceAfterEveryFragmentHeardOfIt) {
    TProbeDocument Document;
    TTwoFragments F;
    F.DesktopClass.Document = &Document;
    F.Area->RecreateDesktop();
    auto& A = F.AddProbe(F.Desktop(), "a", {0, 20, 60, 40});
    auto& B = F.AddProbe(F.Desktop(), "b", {100, 20, 60, 40});
    A.OnDragEnded = [&] { Document.SetPosition(10000000); };
    B.OnDragEnded = [&] { Document.SetPosition(20000000); };
    F.Log.Lines.clear();
    Areas().DragEnded(true);
    EXPECT_EQ(F.Log.Lines, (TLines{"desktop dragend", "a dragend dropped", "b dragend dropped", "desktop documentchanged"}));
    EXPECT_EQ(F.Desktop().DocumentChangeCount, 1);
    EXPECT_EQ(Document.Position, 20000000);
}

TEST(AreasRegistry, AFragmentFreedByAnEarlierDragHandlerIsSkipped) {
    TTwoFragments F;
    F.A.OnDragEnded = [&] { F.Desktop().DeleteChild(F.B); };
    Areas().DragEnded(true);
    EXPECT_EQ(F.Log.Starting("b").size(), 0u);
    EXPECT_EQ(F.Desktop().Children().size(), 1u);
}

TEST(AreasRegistry, ADragOfTheDragControllerReachesEveryFragment) {
    TTwoFragments F;
    F.System.ScriptMouseMove(F.Screen(10, 30));
    F.System.ScriptMouseDown(F.Screen(10, 30));
    F.System.ScriptStep([&] {
        F.Log.Lines.clear();
        Drag().BeginDrag(F.System, std::make_unique<TThing>(10, 10));
    });
    F.System.ScriptMouseMove(F.Screen(120, 30));
    F.System.ScriptMouseUp(F.Screen(120, 30));
    F.Run();
    EXPECT_EQ(F.Log.Starting("a drag"), (TLines{"a dragstart", "a dragmove", "a dragend dropped"}));
    EXPECT_EQ(F.Log.Starting("b drag"), (TLines{"b dragstart", "b dragmove", "b dragend dropped"}));
    EXPECT_EQ(F.Log.Starting("desktop drag"), (TLines{"desktop dragstart", "desktop dragend"}));
    EXPECT_FALSE(Drag().IsDragging());
}

// ---- the scroll bars

TEST(AreaScroll, TheBarsShowTheDesktopsValuesAndTheirArrowsScrollIt) {
    TAreaFixture F;
    F.Desktop().Scroll = {{0, 1000, 200}, {}};
    F.Settle();
    EXPECT_EQ(BarValues(*F.Area, TScrollBarKind::Horizontal), (TScrollValues{0, 1000, 200}));
    // The bar lies inside the sunken edge along the bottom: the client area
    // loses its thickness in height only.
    EXPECT_EQ(F.Area->ClientWidth(), 200);
    EXPECT_EQ(F.Area->ClientHeight(), 100 - TScrollingWidget::DefaultThickness);
    TRect More = F.Area->HorzScrollBar().MoreArrowRect();
    EXPECT_EQ(More.Bottom, 104 - TArea::EdgeWidth);
    TPoint Click{100 + More.Left + More.Width() / 2, 100 + More.Top + More.Height() / 2};
    F.System.ScriptMouseMove(Click);
    F.System.ScriptMouseDown(Click);
    F.System.ScriptMouseUp(Click);
    F.Run();
    EXPECT_EQ(F.Log.Starting("desktop scrolled"), (TLines{"desktop scrolled 32,0"}));
    // The desktop here keeps its position at 0, and the bar follows it.
    EXPECT_EQ(F.Area->HorzScrollBar().Position(), 0);
}

TEST(AreaScroll, PanningWithTheMiddleButtonScrollsTheDesktop) {
    TAreaFixture F;
    F.Desktop().Scroll = {{0, 1000, 200}, {0, 500, 100}};
    F.Settle();
    F.System.ScriptMouseMove(F.Screen(100, 50));
    F.System.ScriptMouseDown(F.Screen(100, 50), TMouseButton::Middle);
    F.System.ScriptMouseMove(F.Screen(70, 40));
    F.System.ScriptMouseUp(F.Screen(70, 40), TMouseButton::Middle);
    F.Run();
    EXPECT_EQ(F.Log.Starting("desktop scrolled"), (TLines{"desktop scrolled 30,10"}));
    EXPECT_FALSE(F.Area->IsPanning());
}
