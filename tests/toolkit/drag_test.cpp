#include "platform/keys.h"
#include "platform/window/headless_window_system.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/drag.h"
#include "toolkit/widgets/widget.h"
#include "toolkit/widgets/widget_window.h"
#include "widget_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

// What happened during a drag, in order, from the thing and the listeners.
struct TLog {
    std::vector<std::string> Events;
    std::vector<TRect> WindowRects;
    TWidget* DroppedOn = nullptr;
    std::vector<TWidget*> GoneControls;

    void Started(TThing*) { Events.push_back("start listener"); }
    void Moved(TThing*) {
        Events.push_back("move listener");
        if (Drag().Window())
            WindowRects.push_back(Drag().Window()->Bounds());
    }
    void Ended(TThing*, TDragResult Result) {
        Events.push_back(Result == TDragResult::Dropped ? "end listener dropped"
                                                        : "end listener cancelled");
        DroppedOn = Drag().Target();
    }
};

class TLoggingThing : public TThing {
public:
    TLoggingThing(TLog& Log, bool ThrowOnStart = false)
        : TThing(20, 10, 5, 4), FLog(Log), FThrowOnStart(ThrowOnStart) {}
    void DragStart() override {
        FLog.Events.push_back("start");
        if (FThrowOnStart)
            throw std::runtime_error("no drag today");
    }
    void DragMove(TRect& /*Rect*/) override { FLog.Events.push_back("move"); }
    void DragEnd(TDragResult Result) override {
        FLog.Events.push_back(Result == TDragResult::Dropped ? "end dropped" : "end cancelled");
    }
    void Notification(TWidget& Control) override { FLog.GoneControls.push_back(&Control); }

private:
    TLog& FLog;
    bool FThrowOnStart;
};

// A widget that starts a drag when a button goes down on it.
class TSource : public TWidget {
public:
    TWindowSystem* System = nullptr;
    TLog* Log = nullptr;
    void MouseDown(TWidgetMouseEvent& Event) override {
        Event.Accept();
        Drag().BeginDrag(*System, std::make_unique<TLoggingThing>(*Log));
    }
};

// Two windows side by side: the source at (100, 100), the target at (400, 100).
struct TFixture {
    THeadlessWindowSystem System{{{{0, 0, 800, 600}, {0, 0, 800, 560}}}};
    TLog Log;
    TWidget SourceRoot, TargetRoot;
    TSource* Source = nullptr;
    TWidget* Target = nullptr;
    std::unique_ptr<TWidgetWindow> SourceWindow, TargetWindow;

    TFixture() {
        Source = &SourceRoot.Add<TSource>();
        Source->SetBounds(TRect::FromSize(10, 10, 50, 30));
        Source->System = &System;
        Source->Log = &Log;
        Target = &TargetRoot.Add<TWidget>();
        Target->SetBounds(TRect::FromSize(20, 20, 60, 40));
        SourceWindow = std::make_unique<TWidgetWindow>(
            System, SourceRoot,
            TWindowOptions{.Kind = TWindowKind::Main, .Title = "Source",
                           .Bounds = TRect::FromSize(100, 100, 200, 100)});
        TargetWindow = std::make_unique<TWidgetWindow>(
            System, TargetRoot,
            TWindowOptions{.Kind = TWindowKind::Tool, .Title = "Target",
                           .Bounds = TRect::FromSize(400, 100, 200, 100)});
        TargetWindow->Show(TActivate::No);
        SourceWindow->Show(TActivate::Yes);
        System.ProcessEvents();
        Drag().AddStartHandler(MakeDelegate<&TLog::Started>(&Log));
        Drag().AddMoveHandler(MakeDelegate<&TLog::Moved>(&Log));
        Drag().AddEndHandler(MakeDelegate<&TLog::Ended>(&Log));
    }
    ~TFixture() {
        Drag().Cancel();
        Drag().RemoveStartHandler(MakeDelegate<&TLog::Started>(&Log));
        Drag().RemoveMoveHandler(MakeDelegate<&TLog::Moved>(&Log));
        Drag().RemoveEndHandler(MakeDelegate<&TLog::Ended>(&Log));
    }
};

// An image of W x H with every alpha given row by row (top row first); the
// colour is white.
TPixels Image(int32_t W, int32_t H, const std::vector<uint8_t>& Alphas) {
    TPixels Result(W, H);
    for (int32_t Y = 0; Y < H; ++Y)
        for (int32_t X = 0; X < W; ++X)
            Result.RowPixels(Y)[X] = uint32_t(Alphas[size_t(Y * W + X)]) << 24 | 0xFFFFFF;
    return Result;
}

} // namespace

// ---- dragging between windows

TEST(Drag, StartsMovesAndDropsOnTheControlUnderTheMouseInAnotherWindow) {
    TFixture F;
    F.System.ScriptMouseMove({120, 120});
    F.System.ScriptMouseDown({120, 120});
    TNativeWindow* DragWindow = nullptr;
    TNativeWindow* UnderDragWindow = nullptr;
    TWidget* TargetWhileOver = nullptr;
    F.System.ScriptStep([&] {
        DragWindow = Drag().Window();
        // The drag window sits under the mouse but hit tests pass through it.
        UnderDragWindow = F.System.WindowAt({120, 120});
    });
    F.System.ScriptMouseMove({130, 125});
    F.System.ScriptMouseMove({430, 130}); // over the target widget
    F.System.ScriptStep([&] { TargetWhileOver = Drag().Target(); });
    F.System.ScriptMouseUp({430, 130});
    RunScript(F.System);

    EXPECT_EQ(F.Log.Events,
              (std::vector<std::string>{"start", "start listener", "move", "move listener", "move",
                                        "move listener", "end dropped", "end listener dropped"}));
    ASSERT_NE(DragWindow, nullptr);
    EXPECT_EQ(UnderDragWindow, &F.SourceWindow->Native());
    // The window follows the mouse less the hot spot (5, 4), at the thing's size.
    EXPECT_EQ(F.Log.WindowRects, (std::vector<TRect>{TRect::FromSize(125, 121, 20, 10),
                                                     TRect::FromSize(425, 126, 20, 10)}));
    EXPECT_EQ(TargetWhileOver, F.Target);
    EXPECT_EQ(F.Log.DroppedOn, F.Target);
    // All over: no thing, no window, no capture, the target forgotten.
    EXPECT_FALSE(Drag().IsDragging());
    EXPECT_EQ(Drag().Window(), nullptr);
    EXPECT_EQ(Drag().Target(), nullptr);
    EXPECT_EQ(F.System.CaptureWindow(), nullptr);
    EXPECT_EQ(F.System.ZOrder().size(), 2u);
    // The source window let go of the mouse: hovering works at once.
    EXPECT_EQ(F.SourceWindow->Capture(), nullptr);
    F.System.ScriptMouseMove({115, 115});
    RunScript(F.System);
    EXPECT_EQ(MouseHandler().Hot(), F.Source);
}

struct TCancelCase {
    const char* Name;
    int Action; // 0 Escape, 1 another button, 2 capture taken, 3 capture taken, noticed by the poll
};

class DragCancel : public ::testing::TestWithParam<TCancelCase> {};

TEST_P(DragCancel, EndsTheDragAsCancelled) {
    TFixture F;
    F.System.ScriptMouseMove({120, 120});
    F.System.ScriptMouseDown({120, 120});
    F.System.ScriptMouseMove({300, 300});
    switch (GetParam().Action) {
    case 0:
        F.System.ScriptKey(KeyEscape);
        break;
    case 1:
        F.System.ScriptMouseDown({300, 300}, TMouseButton::Right);
        F.System.ScriptMouseUp({300, 300}, TMouseButton::Right);
        break;
    case 2:
        F.System.ScriptStep([&] { F.TargetWindow->SetCapture(*F.TargetWindow->Root()); });
        F.System.ScriptMouseMove({310, 310});
        break;
    default:
        F.System.ScriptStep([&] { F.System.ReleaseCapture(); });
        F.System.ScriptAdvance(TDrag::PollInterval);
        break;
    }
    bool EndedBeforeRelease = false;
    F.System.ScriptStep([&] { EndedBeforeRelease = !Drag().IsDragging(); });
    F.System.ScriptMouseUp({300, 300});
    RunScript(F.System);
    EXPECT_TRUE(EndedBeforeRelease);
    ASSERT_GE(F.Log.Events.size(), 2u);
    EXPECT_EQ(F.Log.Events[F.Log.Events.size() - 2], "end cancelled");
    EXPECT_EQ(F.Log.Events.back(), "end listener cancelled");
    EXPECT_EQ(Drag().Window(), nullptr);
    EXPECT_EQ(F.System.ZOrder().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Widget, DragCancel,
                         ::testing::Values(TCancelCase{"Escape", 0}, TCancelCase{"AnotherButton", 1},
                                           TCancelCase{"CaptureTaken", 2},
                                           TCancelCase{"CaptureLostNoticedByThePoll", 3}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(Drag, KeysGoToTheDragNotToTheFocusedWindow) {
    TFixture F;
    std::vector<uint8_t> Keys;
    F.SourceWindow->SetShortcutHook([&](const TWidgetKeyEvent& Event) {
        Keys.push_back(Event.Key);
        return true;
    });
    F.System.ScriptMouseMove({120, 120});
    F.System.ScriptMouseDown({120, 120});
    F.System.ScriptKey('A');
    F.System.ScriptMouseUp({120, 120});
    F.System.ScriptKey('B');
    RunScript(F.System);
    EXPECT_EQ(Keys, (std::vector<uint8_t>{'B'}));
    EXPECT_EQ(F.Log.Events.back(), "end listener dropped");
}

TEST(Drag, ANewDragCancelsTheOneInProgress) {
    TFixture F;
    TLog Second;
    Drag().BeginDrag(F.System, std::make_unique<TLoggingThing>(F.Log));
    Drag().BeginDrag(F.System, std::make_unique<TLoggingThing>(Second));
    EXPECT_EQ(F.Log.Events, (std::vector<std::string>{"start", "start listener", "end cancelled",
                                                      "end listener cancelled", "start listener"}));
    EXPECT_EQ(Second.Events, (std::vector<std::string>{"start"}));
    EXPECT_EQ(F.System.ZOrder().size(), 3u); // one drag window only
    Drag().Cancel();
    EXPECT_EQ(Second.Events.back(), "end cancelled");
    EXPECT_EQ(F.System.ZOrder().size(), 2u);
}

TEST(Drag, AnExceptionWhileStartingCancelsAndPassesOn) {
    TFixture F;
    EXPECT_THROW(Drag().BeginDrag(F.System, std::make_unique<TLoggingThing>(F.Log, true)),
                 std::runtime_error);
    EXPECT_EQ(F.Log.Events,
              (std::vector<std::string>{"start", "end cancelled", "end listener cancelled"}));
    EXPECT_FALSE(Drag().IsDragging());
    EXPECT_EQ(F.System.CaptureWindow(), nullptr);
    EXPECT_EQ(F.System.ZOrder().size(), 2u);
}

TEST(Drag, ATargetDestroyedDuringTheDragIsForgottenAndTheThingTold) {
    TFixture F;
    F.System.ScriptMouseMove({120, 120});
    F.System.ScriptMouseDown({120, 120});
    F.System.ScriptMouseMove({430, 130});
    TWidget* Before = nullptr;
    TWidget* Gone = F.Target;
    F.System.ScriptStep([&] {
        Before = Drag().Target();
        F.TargetRoot.RemoveChild(*F.Target).reset();
        F.Target = nullptr;
    });
    F.System.ScriptMouseUp({431, 130}); // lands on the root now
    RunScript(F.System);
    EXPECT_EQ(Before, Gone);
    EXPECT_EQ(F.Log.GoneControls, (std::vector<TWidget*>{Gone}));
    EXPECT_EQ(F.Log.DroppedOn, &F.TargetRoot);
}

// ---- the drag window's picture and shape

TEST(DragThing, FlattensItsImageOverTheBackgroundAndShapesTheWindow) {
    TFixture F;
    // A 4 x 3 red image: an opaque core, a fringe of strong and faint
    // pixels, a transparent corner.
    TPixels Picture = Image(4, 3, {0, 10, 10, 200, 200, 255, 255, 200, 200, 10, 10, 200});
    for (int32_t Y = 0; Y < 3; ++Y)
        for (int32_t X = 0; X < 4; ++X)
            Picture.RowPixels(Y)[X] = (Picture.RowPixels(Y)[X] & 0xFF000000u) | 0x00FF0000u;
    TColor Blue = MakeColor(0, 0, 255);
    Drag().BeginDrag(F.System, std::make_unique<TDragThing>(Picture, 1, 1, Blue));
    ASSERT_NE(Drag().Window(), nullptr);
    TPixelView Shown = F.System.Presented(*Drag().Window());
    ASSERT_EQ(Shown.Width, 4);
    auto At = [&](int32_t X, int32_t Y) {
        uint32_t P = 0;
        std::memcpy(&P, Shown.At(X, Y), 4);
        return P;
    };
    EXPECT_EQ(At(1, 1), 0xFFFF0000u); // opaque red stays red
    EXPECT_EQ(At(0, 0), 0xFF0000FFu); // transparent shows the background
    EXPECT_LT(At(1, 0) >> 16 & 0xFF, 20u); // a faint pixel is mostly background
    EXPECT_GT(At(1, 0) & 0xFF, 230u);
    TPixels Mask;
    ASSERT_TRUE(Drag().Thing()->Shape(Mask));
    // The border pixels are all but the core's two: 4 x 10 + 5 x 200 = 1040
    // over 9 of them, T = 1040 / (27 / 2 + 1) = 74: the faint ones drop out.
    const char* Shape[3] = {"...#", "####", "#..#"};
    for (int32_t Y = 0; Y < 3; ++Y)
        for (int32_t X = 0; X < 4; ++X)
            EXPECT_EQ(Mask.RowPixels(Y)[X] >> 24, Shape[Y][X] == '#' ? 255u : 0u) << X << "," << Y;
    Drag().Cancel();
}

TEST(DragThing, AnOpaqueImageNeedsNoShape) {
    TPixels Picture = Image(2, 2, {255, 255, 255, 255});
    TDragThing Thing(Picture, 0, 0, 0);
    TPixels Mask;
    EXPECT_FALSE(Thing.Shape(Mask));
}

struct TRegionCase {
    const char* Name;
    int32_t Width, Height;
    std::vector<uint8_t> Alphas;
    int32_t Threshold;
    std::vector<TRect> Region;
};

class DragImageShape : public ::testing::TestWithParam<TRegionCase> {};

TEST_P(DragImageShape, ThresholdAndRowRuns) {
    const TRegionCase& Case = GetParam();
    TPixels Picture = Image(Case.Width, Case.Height, Case.Alphas);
    int32_t T = DragImageThreshold(Picture);
    EXPECT_EQ(T, Case.Threshold);
    EXPECT_EQ(DragImageRegion(Picture, T), Case.Region);
}

INSTANTIATE_TEST_SUITE_P(
    Widget, DragImageShape,
    ::testing::Values(
        // Every pixel but the centre touches the edge: 8 x 255 / (12 + 1).
        TRegionCase{"OpaqueSquare", 3, 3, std::vector<uint8_t>(9, 255), 156,
                    {{0, 0, 3, 1}, {0, 1, 3, 2}, {0, 2, 3, 3}}},
        TRegionCase{"Transparent", 2, 2, std::vector<uint8_t>(4, 0), 0, {}},
        // A ring of transparency round a 3 x 3 disc with faint corners: the
        // eight outer pixels touch it, (4 x 20 + 4 x 255) / 13 = 84, and the
        // corners fall outside the shape.
        TRegionCase{"SoftCorners", 5, 5,
                    {0, 0, 0,   0,   0, 0, 20, 255, 20, 0, 0,  255, 255,
                     255, 0, 0, 20, 255, 20, 0, 0, 0,   0,  0, 0},
                    84,
                    {{2, 1, 3, 2}, {1, 2, 4, 3}, {2, 3, 3, 4}}},
        // A hole in the middle of a row splits it into two runs.
        // Edge pixels only: 400 / (3 + 1).
        TRegionCase{"Hole", 3, 1, {200, 0, 200}, 100, {{0, 0, 1, 1}, {2, 0, 3, 1}}},
        // 540 / (4 + 1): the faint pixel is left out.
        TRegionCase{"FaintEnd", 4, 1, {30, 0, 255, 255}, 108, {{2, 0, 4, 1}}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(DragImageShape, AHugeOpaqueImageDoesNotOverflowTheSum) {
    const int32_t Size = 4096;
    TPixels Picture(Size, Size);
    Picture.FillAll(AlphaColor(0xFFFFFF, 255));
    // The border is the outer ring: 4 x 4096 - 4 pixels of alpha 255.
    int64_t Count = 4 * int64_t(Size) - 4;
    auto Expected = int32_t(Count * 255 / (3 * Count / 2 + 1));
    int32_t T = DragImageThreshold(Picture);
    EXPECT_EQ(T, Expected);
    EXPECT_GT(T, 0);
    EXPECT_LT(T, 255);
    std::vector<TRect> Region = DragImageRegion(Picture, T);
    ASSERT_EQ(Region.size(), size_t(Size));
    EXPECT_EQ(Region.front(), (TRect{0, 0, Size, 1}));
    EXPECT_EQ(Region.back(), (TRect{0, Size - 1, Size, Size}));
}
