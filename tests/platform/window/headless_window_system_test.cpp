#include "platform/window/headless_window_system.h"

#include "core/exception_report.h"
#include "platform/keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

// Records every event it is given.
struct TRecorder : TWindowListener {
    std::vector<TEvent> Events;
    void HandleEvent(const TEvent& Event) override { Events.push_back(Event); }

    template <typename T>
    std::vector<T> All() const {
        std::vector<T> Result;
        for (const TEvent& Event : Events)
            if (auto* Item = std::get_if<T>(&Event))
                Result.push_back(*Item);
        return Result;
    }
    std::vector<TWindowEventKind> WindowKinds() const {
        std::vector<TWindowEventKind> Result;
        for (const TWindowEvent& Event : All<TWindowEvent>())
            Result.push_back(Event.Kind);
        return Result;
    }
};

// Records events and holds the mouse as the toolkit does: from a press on its
// window until the last button is released, or until asked to let go.
struct TPressHolder : TRecorder {
    bool IsHolding = false;
    int32_t LetGoCount = 0;
    void HandleEvent(const TEvent& Event) override {
        TRecorder::HandleEvent(Event);
        if (auto* Mouse = std::get_if<TMouseEvent>(&Event)) {
            if (Mouse->Kind == TMouseEventKind::Down)
                IsHolding = true;
            else if (Mouse->Kind == TMouseEventKind::Up && Mouse->Buttons == 0)
                IsHolding = false;
        }
    }
    bool HoldsMouse() const override { return IsHolding; }
    void LetGoOfMouse() override {
        IsHolding = false;
        ++LetGoCount;
    }
};

class HeadlessWindowSystem : public ::testing::Test {
protected:
    TMessageQueue Messages;
    THeadlessWindowSystem System{{{{0, 0, 800, 600}, {0, 0, 800, 560}}}, Messages};

    std::unique_ptr<TNativeWindow> Make(TRect Bounds, TWindowKind Kind = TWindowKind::Main,
                                        TNativeWindow* Owner = nullptr) {
        TWindowOptions Options;
        Options.Kind = Kind;
        Options.Bounds = Bounds;
        Options.Owner = Owner;
        return System.CreateWindow(Options);
    }
    // Runs the loop until the script is used up.
    void RunScript() {
        System.RunLoop([&] { return System.ScriptLength() == 0; });
        System.ProcessEvents();
    }
};

TEST_F(HeadlessWindowSystem, OneShotTimerFiresAtTheVirtualTimeItWasSetFor) {
    auto Start = System.Now();
    std::vector<std::chrono::milliseconds> FiredAt;
    System.StartTimer(100ms, TTimerRepeat::Once, [&] {
        FiredAt.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(System.Now() - Start));
    });
    System.AdvanceClock(99ms);
    EXPECT_TRUE(FiredAt.empty());
    System.AdvanceClock(1ms);
    ASSERT_EQ(FiredAt.size(), 1u);
    EXPECT_EQ(FiredAt[0], 100ms);
    System.AdvanceClock(1000ms);
    EXPECT_EQ(FiredAt.size(), 1u);
}

TEST_F(HeadlessWindowSystem, RepeatingTimersFireInDueOrderAtExactTimesUntilStopped) {
    auto Start = System.Now();
    std::vector<std::pair<char, std::chrono::milliseconds>> Fired;
    auto Stamp = [&](char Name) {
        Fired.push_back({Name, std::chrono::duration_cast<std::chrono::milliseconds>(System.Now() - Start)});
    };
    TTimerId Fast = System.StartTimer(50ms, TTimerRepeat::Repeat, [&] { Stamp('f'); });
    System.StartTimer(120ms, TTimerRepeat::Once, [&] { Stamp('s'); });
    System.AdvanceClock(160ms);
    System.StopTimer(Fast);
    System.AdvanceClock(200ms);
    std::vector<std::pair<char, std::chrono::milliseconds>> Expected{
        {'f', 50ms}, {'f', 100ms}, {'s', 120ms}, {'f', 150ms}};
    EXPECT_EQ(Fired, Expected);
    EXPECT_FALSE(System.IsTimerActive(Fast));
}

TEST_F(HeadlessWindowSystem, TimerDueInsideAScriptedLoopRunsOnTheLoop) {
    bool Fired = false;
    System.StartTimer(250ms, TTimerRepeat::Once, [&] { Fired = true; });
    System.ScriptAdvance(100ms);
    System.ScriptAdvance(200ms);
    EXPECT_TRUE(System.RunLoop([&] { return Fired; }));
    EXPECT_EQ(System.ScriptLength(), 0u);
}

TEST_F(HeadlessWindowSystem, MessagePostedFromAWorkerThreadWakesTheWaitingLoop) {
    System.SetIdleWait(30s); // a loop that is not woken fails after this
    bool Arrived = false;
    std::thread Worker([&] {
        std::this_thread::sleep_for(20ms);
        Messages.Post([&] { Arrived = true; });
    });
    auto Begin = std::chrono::steady_clock::now();
    bool Ended = false;
    try {
        Ended = System.RunLoop([&] { return Arrived; });
    } catch (...) {
        Worker.join();
        throw;
    }
    Worker.join();
    EXPECT_TRUE(Ended);
    // Woken by the post, not by the idle limit running out.
    EXPECT_LT(std::chrono::steady_clock::now() - Begin, 20s);
}

TEST_F(HeadlessWindowSystem, NestedLoopWithAnEmptyScriptFailsInsteadOfHanging) {
    auto Window = Make(TRect::FromSize(0, 0, 100, 100));
    Window->Show(TActivate::Yes);
    struct TModalOpener : TWindowListener {
        TWindowSystem* System = nullptr;
        int Depth = 0;
        void HandleEvent(const TEvent& Event) override {
            auto* Mouse = std::get_if<TMouseEvent>(&Event);
            if (Mouse && Mouse->Kind == TMouseEventKind::Down) {
                Depth = System->LoopDepth() + 1;
                System->RunLoop([] { return false; }); // a modal form nobody closes
            }
        }
    } Opener;
    Opener.System = &System;
    Window->SetListener(&Opener);
    System.ScriptMouseDown({10, 10});
    bool Reported = false;
    SetExceptionReportHandler([&](const std::exception&) { Reported = true; });
    EXPECT_THROW(System.RunLoop([] { return false; }), ELoopAborted);
    SetExceptionReportHandler({});
    EXPECT_EQ(Opener.Depth, 2);
    // It passes through the handler rather than being reported there.
    EXPECT_FALSE(Reported);
    EXPECT_EQ(System.LoopDepth(), 0);
}

TEST_F(HeadlessWindowSystem, HandlerExceptionIsReportedAndTheLoopGoesOn) {
    std::vector<std::string> Reports;
    SetExceptionReportHandler([&](const std::exception& Error) { Reports.push_back(Error.what()); });
    auto Window = Make(TRect::FromSize(0, 0, 100, 100));
    Window->Show(TActivate::Yes);
    struct TThrower : TWindowListener {
        int Keys = 0;
        void HandleEvent(const TEvent& Event) override {
            if (auto* Key = std::get_if<TKeyEvent>(&Event); Key && Key->Kind == TKeyEventKind::Down)
                if (++Keys == 1)
                    throw std::runtime_error("first key fails");
        }
    } Thrower;
    Window->SetListener(&Thrower);
    bool TimerRan = false;
    System.StartTimer(10ms, TTimerRepeat::Once, [] { throw std::runtime_error("timer fails"); });
    System.ScriptKey(KeyA);
    System.ScriptKey(KeyA + 1);
    System.ScriptAdvance(10ms);
    System.ScriptStep([&] { TimerRan = true; });
    RunScript();
    SetExceptionReportHandler({});
    EXPECT_EQ(Thrower.Keys, 2);
    EXPECT_TRUE(TimerRan);
    EXPECT_EQ(Reports, (std::vector<std::string>{"first key fails", "timer fails"}));
}

TEST_F(HeadlessWindowSystem, TerminateEndsEveryLoop) {
    int Depth = 0;
    System.ScriptStep([&] {
        System.RunLoop([&] {
            Depth = System.LoopDepth();
            return false;
        });
    });
    System.ScriptStep([&] { System.Terminate(); });
    EXPECT_FALSE(System.RunLoop([] { return false; }));
    EXPECT_EQ(Depth, 2);
}

TEST_F(HeadlessWindowSystem, RaisingAWindowKeepsItsOwnedWindowsAboveIt) {
    auto Main = Make(TRect::FromSize(0, 0, 400, 300));
    auto Tool = Make(TRect::FromSize(10, 10, 50, 50), TWindowKind::Tool, Main.get());
    auto Other = Make(TRect::FromSize(0, 0, 400, 300));
    auto Palette = Make(TRect::FromSize(300, 10, 50, 50), TWindowKind::Tool, Main.get());
    Main->Show(TActivate::Yes);
    Tool->Show(TActivate::No);
    Palette->Show(TActivate::No);
    Other->Show(TActivate::Yes);
    EXPECT_EQ(System.ZOrder().front(), Other.get());
    EXPECT_EQ(System.WindowAt({20, 20}), Other.get());

    Main->Raise();
    std::vector<TNativeWindow*> Expected{Palette.get(), Tool.get(), Main.get(), Other.get()};
    EXPECT_EQ(System.ZOrder(), Expected);
    EXPECT_EQ(System.WindowAt({20, 20}), Tool.get());
    EXPECT_EQ(System.WindowAt({100, 100}), Main.get());
    Tool->Hide();
    EXPECT_EQ(System.WindowAt({20, 20}), Main.get());
}

TEST_F(HeadlessWindowSystem, ShowingWithoutActivationLeavesTheFocusAndHidingReturnsItToTheOwner) {
    TRecorder MainEvents, DialogEvents;
    auto Main = Make(TRect::FromSize(0, 0, 400, 300));
    auto Dialog = Make(TRect::FromSize(50, 50, 100, 100), TWindowKind::Dialog, Main.get());
    Main->SetListener(&MainEvents);
    Dialog->SetListener(&DialogEvents);
    Main->Show(TActivate::Yes);
    auto Popup = Make(TRect::FromSize(60, 60, 20, 20), TWindowKind::Popup, Main.get());
    Popup->Show(TActivate::No);
    EXPECT_TRUE(Main->HasFocus());
    Dialog->Show(TActivate::Yes);
    EXPECT_TRUE(Dialog->HasFocus());
    Dialog->Hide();
    EXPECT_EQ(System.FocusedWindow(), Main.get());
    System.ProcessEvents();
    using K = TWindowEventKind;
    EXPECT_EQ(MainEvents.WindowKinds(), (std::vector<K>{K::Shown, K::FocusGained, K::FocusLost, K::FocusGained}));
    EXPECT_EQ(DialogEvents.WindowKinds(), (std::vector<K>{K::Shown, K::FocusGained, K::Hidden, K::FocusLost}));

    // Destroying the owner clears the owned window's reference.
    Main.reset();
    EXPECT_EQ(Dialog->Owner(), nullptr);
    EXPECT_EQ(System.FocusedWindow(), nullptr);
}

TEST_F(HeadlessWindowSystem, MaximisingKeepsTheNormalBoundsAndFullScreenCoversTheDisplay) {
    THeadlessWindowSystem Two({{{0, 0, 800, 600}, {0, 0, 800, 560}}, {{800, 0, 1440, 480}, {800, 20, 1440, 480}}},
                              Messages);
    TWindowOptions Options;
    Options.Bounds = TRect::FromSize(900, 100, 200, 100);
    auto Window = Two.CreateWindow(Options);
    EXPECT_EQ(Two.DesktopBounds(), (TRect{0, 0, 1440, 600}));
    EXPECT_EQ(Two.DesktopWorkArea(), (TRect{0, 0, 1440, 560}));
    Window->Show(TActivate::Yes);
    Window->Maximize();
    EXPECT_EQ(Window->Bounds(), (TRect{800, 20, 1440, 480}));
    EXPECT_EQ(Window->NormalBounds(), TRect::FromSize(900, 100, 200, 100));
    Window->SetNormalBounds(TRect::FromSize(950, 120, 100, 100));
    EXPECT_EQ(Window->Bounds(), (TRect{800, 20, 1440, 480}));
    Window->SetFullScreen(true);
    EXPECT_EQ(Window->State(), TWindowState::FullScreen);
    EXPECT_EQ(Window->Bounds(), (TRect{800, 0, 1440, 480}));
    Window->SetFullScreen(false);
    EXPECT_EQ(Window->State(), TWindowState::Maximized);
    Window->Restore();
    EXPECT_EQ(Window->Bounds(), TRect::FromSize(950, 120, 100, 100));
    EXPECT_EQ(Two.DisplayAt({2000, 10}).Bounds, (TRect{800, 0, 1440, 480}));
}

TEST_F(HeadlessWindowSystem, PresentedPixelsReadBackWithDirtyRectanglesAndBottomUpRasters) {
    auto Window = Make(TRect::FromSize(0, 0, 4, 3));
    std::vector<uint8_t> Raster(4 * 3 * 4);
    for (size_t Index = 0; Index < Raster.size(); ++Index)
        Raster[Index] = uint8_t(Index);
    // Stored bottom-up: the view starts at the last stored row.
    TPixelView BottomUp{Raster.data() + 2 * 16, 4, 3, -16};
    Window->Present(BottomUp);
    TPixelView Shown = System.Presented(*Window);
    ASSERT_EQ(Shown.Width, 4);
    ASSERT_EQ(Shown.Height, 3);
    for (int32_t Y = 0; Y < 3; ++Y)
        for (int32_t X = 0; X < 4; ++X)
            EXPECT_EQ(*Shown.At(X, Y), uint8_t((2 - Y) * 16 + X * 4)) << X << "," << Y;

    std::vector<uint8_t> White(4 * 3 * 4, 255);
    Window->Present({White.data(), 4, 3, 16}, TRect{1, 1, 3, 2});
    EXPECT_EQ(System.PresentCount(*Window), 2);
    for (int32_t Y = 0; Y < 3; ++Y)
        for (int32_t X = 0; X < 4; ++X) {
            bool Inside = X >= 1 && X < 3 && Y == 1;
            EXPECT_EQ(*System.Presented(*Window).At(X, Y), Inside ? 255 : uint8_t((2 - Y) * 16 + X * 4));
        }
}

TEST_F(HeadlessWindowSystem, FilesBetweenDropBeginAndCompleteArriveAsOneDropAtTheReleasePoint) {
    TRecorder Events;
    auto Window = Make(TRect::FromSize(100, 100, 300, 200));
    Window->SetListener(&Events);
    Window->Show(TActivate::Yes);
    System.ScriptDropBegin({150, 150});
    System.ScriptDropFile("/media/a.avi");
    System.ScriptDropFile("/media/b.png");
    System.ScriptDropComplete({210, 130});
    System.ScriptDropBegin({150, 150});
    System.ScriptDropFile("/media/c.mp3");
    System.ScriptDropComplete({120, 290});
    RunScript();
    auto Drops = Events.All<TDropEvent>();
    ASSERT_EQ(Drops.size(), 2u);
    EXPECT_EQ(Drops[0].Files, (std::vector<std::string>{"/media/a.avi", "/media/b.png"}));
    EXPECT_EQ(Drops[0].Position, (TPoint{110, 30}));
    EXPECT_EQ(Drops[0].ScreenPosition, (TPoint{210, 130}));
    EXPECT_EQ(Drops[1].Files, (std::vector<std::string>{"/media/c.mp3"}));
    EXPECT_EQ(Drops[1].Position, (TPoint{20, 190}));
}

TEST_F(HeadlessWindowSystem, ButtonHeldOverAWindowSendsMotionAndReleaseThereEvenOutside) {
    TPressHolder LeftEvents, RightEvents;
    auto Left = Make(TRect::FromSize(0, 0, 100, 100));
    auto Right = Make(TRect::FromSize(200, 0, 100, 100));
    Left->SetListener(&LeftEvents);
    Right->SetListener(&RightEvents);
    Left->Show(TActivate::Yes);
    Right->Show(TActivate::No);
    System.ScriptMouseDown({50, 50});
    System.ScriptMouseMove({250, 40});
    System.ScriptStep([&] { EXPECT_EQ(System.CaptureWindow(), Left.get()); });
    System.ScriptMouseUp({260, 30});
    System.ScriptMouseMove({270, 20});
    RunScript();
    auto Mouse = LeftEvents.All<TMouseEvent>();
    ASSERT_EQ(Mouse.size(), 3u);
    EXPECT_EQ(Mouse[1].Kind, TMouseEventKind::Move);
    EXPECT_EQ(Mouse[1].Position, (TPoint{250, 40}));
    EXPECT_EQ(Mouse[2].Kind, TMouseEventKind::Up);
    EXPECT_EQ(Mouse[2].Position, (TPoint{260, 30}));
    // After the release the mouse belongs to the window under it again.
    ASSERT_EQ(RightEvents.All<TMouseEvent>().size(), 1u);
    EXPECT_EQ(RightEvents.All<TMouseEvent>()[0].Position, (TPoint{70, 20}));
    EXPECT_EQ(System.CaptureWindow(), nullptr);
}

TEST_F(HeadlessWindowSystem, AWindowTakingTheMouseMakesTheHolderOfAnotherLetGo) {
    TPressHolder LeftEvents, RightEvents;
    auto Left = Make(TRect::FromSize(0, 0, 100, 100));
    auto Right = Make(TRect::FromSize(200, 0, 100, 100));
    Left->SetListener(&LeftEvents);
    Right->SetListener(&RightEvents);
    Left->Show(TActivate::Yes);
    Right->Show(TActivate::No);
    System.ScriptMouseDown({50, 50});
    System.ScriptStep([&] {
        ASSERT_EQ(System.CaptureWindow(), Left.get());
        RightEvents.IsHolding = true;
        System.TakeCapture(*Right);
        EXPECT_EQ(LeftEvents.LetGoCount, 1);
        EXPECT_EQ(RightEvents.LetGoCount, 0);
        EXPECT_EQ(System.CaptureWindow(), Right.get());
    });
    // The motion over the left window now goes to the right one.
    System.ScriptMouseMove({60, 50});
    System.ScriptStep([&] {
        System.ReleaseCapture();
        EXPECT_EQ(RightEvents.LetGoCount, 1);
        EXPECT_EQ(System.CaptureWindow(), nullptr);
    });
    RunScript();
    ASSERT_EQ(RightEvents.All<TMouseEvent>().size(), 1u);
    EXPECT_EQ(RightEvents.All<TMouseEvent>()[0].Position, (TPoint{-140, 50}));
    EXPECT_EQ(LeftEvents.All<TMouseEvent>().size(), 1u);
}

TEST_F(HeadlessWindowSystem, DisabledWindowGetsNoInputAndTheFilterSeesEventsFirst) {
    TRecorder Events;
    auto Window = Make(TRect::FromSize(0, 0, 100, 100));
    Window->SetListener(&Events);
    Window->Show(TActivate::Yes);
    int Filtered = 0;
    TEventFilterRegistration Escape = System.AddEventFilter(TFilterPlace::First, [&](const TEvent& Event) {
        auto* Key = std::get_if<TKeyEvent>(&Event);
        return Key && Key->Key == KeyEscape && ++Filtered;
    });
    System.ScriptKey(KeyEscape);
    System.ScriptKey(KeyA, ShortCutCtrl);
    System.ScriptStep([&] { Window->SetEnabled(false); });
    System.ScriptClick({10, 10});
    System.ScriptCloseRequest(*Window);
    RunScript();
    EXPECT_EQ(Filtered, 2);
    auto Keys = Events.All<TKeyEvent>();
    ASSERT_EQ(Keys.size(), 2u);
    EXPECT_EQ(Keys[0].ShortCut, ShortCutCtrl | KeyA);
    EXPECT_TRUE(Events.All<TMouseEvent>().empty());
    for (TWindowEventKind Kind : Events.WindowKinds())
        EXPECT_NE(Kind, TWindowEventKind::CloseRequest);
}

TEST_F(HeadlessWindowSystem, RecordsTitleCursorClipboardAndOpenedDocuments) {
    TRecorder AppEvents;
    System.SetListener(&AppEvents);
    auto Window = Make(TRect::FromSize(0, 0, 100, 100));
    Window->SetTitle("Untitled - Quillmoor");
    Window->SetCursor(TCursorKind::IBeam);
    System.SetClipboardText("clip");
    System.OpenDocument("https://example.org/help");
    System.ProcessEvents();
    EXPECT_EQ(Window->Title(), "Untitled - Quillmoor");
    EXPECT_EQ(Window->Cursor(), TCursorKind::IBeam);
    EXPECT_EQ(System.ClipboardText(), "clip");
    EXPECT_EQ(System.OpenedDocuments(), (std::vector<std::string>{"https://example.org/help"}));
    EXPECT_EQ(AppEvents.All<TClipboardEvent>().size(), 1u);
}

} // namespace

// Regression: the window under the mouse was remembered after it was freed,
// and the next scripted move sent it a mouse-left event.
TEST_F(HeadlessWindowSystem, WindowFreedUnderTheMouseIsForgotten) {
    TRecorder BackEvents;
    auto Back = Make(TRect::FromSize(0, 0, 300, 300));
    Back->SetListener(&BackEvents);
    Back->Show(TActivate::Yes);
    auto Front = Make(TRect::FromSize(50, 50, 100, 100), TWindowKind::Popup);
    Front->Show(TActivate::No);
    System.ScriptMouseMove({60, 60});
    System.ScriptStep([&] { Front.reset(); });
    System.ScriptMouseMove({70, 70});
    RunScript();
    std::vector<TWindowEventKind> Kinds = BackEvents.WindowKinds();
    EXPECT_NE(std::find(Kinds.begin(), Kinds.end(), TWindowEventKind::MouseEntered), Kinds.end());
    ASSERT_FALSE(BackEvents.All<TMouseEvent>().empty());
    EXPECT_EQ(BackEvents.All<TMouseEvent>().back().Position, (TPoint{70, 70}));
}

TEST_F(HeadlessWindowSystem, EventFiltersRunInTheirPlacesAndLeaveInAnyOrder) {
    TRecorder Events;
    auto Window = Make(TRect::FromSize(0, 0, 100, 100));
    Window->SetListener(&Events);
    Window->Show(TActivate::Yes);
    std::vector<std::string> Seen;
    auto Watch = [&](std::string Name, uint8_t Takes) {
        return [&Seen, Name, Takes](const TEvent& Event) {
            auto* Key = std::get_if<TKeyEvent>(&Event);
            if (!Key || Key->Kind != TKeyEventKind::Down)
                return false;
            Seen.push_back(Name);
            return Key->Key == Takes;
        };
    };
    auto Middle = std::make_unique<TEventFilterRegistration>(
        System.AddEventFilter(TFilterPlace::First, Watch("middle", KeyA + 1)));
    auto Last = std::make_unique<TEventFilterRegistration>(
        System.AddEventFilter(TFilterPlace::Last, Watch("last", KeyA + 2)));
    auto First = std::make_unique<TEventFilterRegistration>(
        System.AddEventFilter(TFilterPlace::First, Watch("first", KeyA)));
    ASSERT_EQ(System.EventFilterCount(), 3u);

    System.ScriptKey(KeyA + 1);
    RunScript();
    EXPECT_EQ(Seen, (std::vector<std::string>{"first", "middle"}));

    // The one added first goes first; the others keep their order.
    Middle.reset();
    Seen.clear();
    System.ScriptKey(KeyA + 3);
    RunScript();
    EXPECT_EQ(Seen, (std::vector<std::string>{"first", "last"}));

    // A moved registration keeps its filter; the one moved from holds none.
    TEventFilterRegistration Moved = std::move(*Last);
    Last.reset();
    EXPECT_EQ(System.EventFilterCount(), 2u);
    First.reset();
    Seen.clear();
    System.ScriptKey(KeyA + 2);
    RunScript();
    EXPECT_EQ(Seen, (std::vector<std::string>{"last"}));
    // The press the last filter took never reached the window.
    for (const TKeyEvent& Key : Events.All<TKeyEvent>())
        EXPECT_FALSE(Key.Kind == TKeyEventKind::Down && Key.Key == KeyA + 2);
    Moved.Reset();
    EXPECT_EQ(System.EventFilterCount(), 0u);
}

TEST_F(HeadlessWindowSystem, AFilterRemovingAnotherDuringTheWalkSkipsIt) {
    TEventFilterRegistration Second;
    int32_t SecondRuns = 0;
    TEventFilterRegistration First = System.AddEventFilter(TFilterPlace::First, [&](const TEvent& Event) {
        if (std::holds_alternative<TKeyEvent>(Event))
            Second.Reset();
        return false;
    });
    Second = System.AddEventFilter(TFilterPlace::Last, [&](const TEvent& Event) {
        SecondRuns += std::holds_alternative<TKeyEvent>(Event) ? 1 : 0;
        return false;
    });
    auto Window = Make(TRect::FromSize(0, 0, 100, 100));
    Window->Show(TActivate::Yes);
    System.ScriptKey(KeyA);
    RunScript();
    EXPECT_EQ(SecondRuns, 0);
    EXPECT_EQ(System.EventFilterCount(), 1u);
}

TEST(EventFilterRegistration, OutlivingItsWindowSystemDoesNothing) {
    TMessageQueue Messages;
    auto System = std::make_unique<THeadlessWindowSystem>(std::vector<TDisplay>{{{0, 0, 800, 600}, {0, 0, 800, 560}}},
                                                          Messages);
    TEventFilterRegistration Registration =
        System->AddEventFilter(TFilterPlace::First, [](const TEvent&) { return false; });
    EXPECT_TRUE(Registration.IsActive());
    System.reset();
    EXPECT_FALSE(Registration.IsActive());
    Registration.Reset();
}
