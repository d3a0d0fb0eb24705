// Docking end to end on a virtual X server: a tool bar in the top dock of a
// five-dock host is dragged out with xdotool, floats in a window of its own,
// and is dragged back over the top dock, whose preview band lights up until
// the release docks the bar again. Checked on the docks' item lists and on
// the screen's pixels against what the widgets draw.

#include "commands/command.h"
#include "commands/command_list.h"
#include "commands/factory_list.h"
#include "display_fixture.h"
#include "platform/message_queue.h"
#include "platform/window/window_system.h"
#include "toolkit/docking/dock_host.h"
#include "toolkit/docking/tool_bar.h"
#include "toolkit/docking/tool_gadgets.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/drag.h"
#include "toolkit/widgets/flat_gadget.h"
#include "toolkit/widgets/widget_window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

class TButtonFactory : public TFlatGadgetFactory {
public:
    TButtonFactory(TFactoryList& List, std::string_view Id) : TFlatGadgetFactory(List, nullptr, Id, Id, {}, {}) {
        SetControlClass(TToolButton::Class);
    }
};

uint8_t Red(uint32_t Pixel) { return uint8_t(Pixel >> 16); }

// The pixel a canvas fill with Color shows on a 24-bit screen.
uint32_t OnScreen(TColor Color) {
    TPixels One(1, 1);
    One.FillAll(Color);
    return One.GetPixel(0, 0) & 0xFFFFFF;
}

class DocksOnScreen : public TOnVirtualDisplay {
protected:
    void SetUp() override {
        TOnVirtualDisplay::SetUp();
        if (IsSkipped())
            return;
        System = CreateSdlWindowSystem(Messages);
        BarFactory = new TToolBarFactory(Factories, nullptr, "Bar", "Test|Bar");
        ButtonFactory = new TButtonFactory(Factories, "Test|Button");
        for (const char* Caption : {"Cut", "Copy", "Paste"})
            new TCommand(Commands, nullptr, std::string("Test|") + Caption, Caption, "", "");
        DockList().SetSystem(System.get());
        DockList().SetFactories(&Factories);
    }
    // The drag, the floating bar and the docks go before the window system
    // their windows and timers live in, and before the commands the buttons
    // follow.
    void TearDown() override {
        Drag().Cancel();
        DockList().Clear();
        Window.reset();
        Host.reset();
        DockList().SetMainWindow(nullptr);
        DockList().SetFactories(nullptr);
        DockList().SetSystem(nullptr);
        System.reset();
    }

    // A horizontal bar with a tool button for each command.
    std::unique_ptr<TToolBar> MakeBar() {
        std::unique_ptr<TControl> Made = BarFactory->CreateControl();
        std::unique_ptr<TToolBar> Bar(static_cast<TToolBar*>(Made.release()));
        Bar->SetCaption("Edit");
        for (int32_t I = 0; I < Commands.Count(); ++I) {
            std::unique_ptr<TControl> Made2 = ButtonFactory->CreateControl();
            auto* Button = static_cast<TToolButton*>(Made2.get());
            Button->SetCommand(Commands.Get(I));
            Bar->DockNew(std::unique_ptr<TWidget>(static_cast<TWidget*>(Made2.release())), ButtonFactory,
                         TRect::FromSize(1000 * (I + 1), 0, 10, 10));
        }
        return Bar;
    }

    // Runs the loop until Done answers true or ten seconds pass.
    bool RunUntil(const std::function<bool()>& Done) {
        bool TimedOut = false;
        TTimerId Timer = System->StartTimer(10000ms, TTimerRepeat::Once, [&] { TimedOut = true; });
        System->RunLoop([&] { return Done() || TimedOut; });
        System->StopTimer(Timer);
        return Done();
    }
    void Settle(std::chrono::milliseconds Time) {
        bool Over = false;
        TTimerId Timer = System->StartTimer(Time, TTimerRepeat::Once, [&] { Over = true; });
        System->RunLoop([&] { return Over; });
        System->StopTimer(Timer);
    }
    static bool Xdotool(std::vector<std::string> Arguments) {
        Arguments.insert(Arguments.begin(), "xdotool");
        return RunProgram(Arguments) == 0;
    }
    static bool MoveMouse(TPoint Point) {
        return Xdotool({"mousemove", std::to_string(Point.X), std::to_string(Point.Y)});
    }
    // Takes screenshots, letting the loop run in between, until Good accepts
    // one or ten seconds pass; false then.
    bool ShotUntil(TScreenshot& Shot, const std::function<bool(const TScreenshot&)>& Good) {
        const auto Deadline = std::chrono::steady_clock::now() + 10s;
        do {
            Settle(50ms);
            if (TakeScreenshot(Shot) && Good(Shot))
                return true;
        } while (std::chrono::steady_clock::now() < Deadline);
        return false;
    }
    // Keeps the screen in QM_SCREENSHOT_DIR/Name.png when that is set, to be
    // looked at.
    static void KeepScreen(const std::string& Name) {
        if (const char* Folder = std::getenv("QM_SCREENSHOT_DIR"))
            RunProgram({"import", "-window", "root", std::string(Folder) + "/" + Name + ".png"});
    }
    // Pixels inside Rect (screen coordinates) where the screen differs from
    // what Widget draws with its top-left at Rect's.
    static int32_t Mismatches(const TScreenshot& Shot, TWidget& Widget, const TRect& Rect) {
        TPixels Drawn(Rect.Width(), Rect.Height());
        Drawn.FillAll(SkinColors().FaceColor);
        PaintWidgetTree(Widget, Drawn);
        int32_t Count = 0;
        for (int32_t Y = 0; Y < Rect.Height(); ++Y)
            for (int32_t X = 0; X < Rect.Width(); ++X)
                Count += Shot.At(Rect.Left + X, Rect.Top + Y) != (Drawn.GetPixel(X, Y) & 0xFFFFFF);
        return Count;
    }
    static int32_t Differences(const TScreenshot& A, const TScreenshot& B, const TRect& Rect) {
        int32_t Count = 0;
        for (int32_t Y = Rect.Top; Y < Rect.Bottom; ++Y)
            for (int32_t X = Rect.Left; X < Rect.Right; ++X)
                Count += A.At(X, Y) != B.At(X, Y);
        return Count;
    }
    // A point on the bar's title strip (its grip), on the desktop.
    static TPoint GripPoint(TToolBar& Bar) {
        const TRect Title = Bar.TitleRect(Bar.Width(), Bar.Height());
        const TRect Screen = Bar.ScreenRect();
        return {Screen.Left + Title.Left + Title.Width() / 2, Screen.Top + Title.Top + Title.Height() / 2};
    }
    // Presses the left button at From and moves the mouse to To in Steps
    // steps, each one seen by the drag before the next; the button stays
    // down.
    void PressAndDrag(TPoint From, TPoint To, int32_t Steps) {
        ASSERT_TRUE(MoveMouse(From));
        ASSERT_TRUE(RunUntil([&] { return System->MousePosition() == From; }));
        ASSERT_TRUE(Xdotool({"mousedown", "1"}));
        for (int32_t I = 1; I <= Steps; ++I) {
            const TPoint At{From.X + (To.X - From.X) * I / Steps, From.Y + (To.Y - From.Y) * I / Steps};
            ASSERT_TRUE(MoveMouse(At));
            ASSERT_TRUE(RunUntil([&] { return Drag().IsDragging() && Drag().Position() == At; }))
                << "step " << I << " to " << At.X << "," << At.Y << " not seen by a drag";
        }
    }
    void Release() {
        ASSERT_TRUE(Xdotool({"mouseup", "1"}));
        ASSERT_TRUE(RunUntil([&] { return !Drag().IsDragging(); }));
    }

    TMessageQueue Messages;
    std::unique_ptr<TWindowSystem> System;
    TFactoryList Factories;
    TToolBarFactory* BarFactory = nullptr;
    TButtonFactory* ButtonFactory = nullptr;
    TCommandList Commands;
    std::unique_ptr<TDockHost> Host;
    std::unique_ptr<TWidgetWindow> Window;
};

TEST_F(DocksOnScreen, ABarDraggedOutOfTheTopDockFloatsAndDraggedBackDocksAfterThePreview) {
    const TRect MainRect = TRect::FromSize(40, 40, 480, 320);
    Host = std::make_unique<TDockHost>();
    Window = std::make_unique<TWidgetWindow>(*System, *Host,
                                             TWindowOptions{.Kind = TWindowKind::Main, .Title = "Docks", .Bounds = MainRect});
    DockList().SetMainWindow(&Window->Native());
    TBorderDock& Top = Host->Top();
    std::unique_ptr<TToolBar> Made = MakeBar();
    TToolBar& Bar = *Made;
    Top.DockNew(std::move(Made), BarFactory, {0, 0, 50, 20});
    Window->Show(TActivate::Yes);
    ASSERT_TRUE(RunUntil([&] { return Window->Native().IsVisible(); }));
    ASSERT_TRUE(MoveMouse({600, 450})) << "xdotool is needed";
    ASSERT_EQ(Top.Items().size(), 1u);
    const int32_t BarHeight = Bar.Height();
    ASSERT_GT(BarHeight, 0);
    ASSERT_EQ(Top.Height(), BarHeight);
    const TRect DockedRect = Bar.ScreenRect();

    // Docked: the window shows the docks as they draw themselves.
    TScreenshot Docked;
    ASSERT_TRUE(ShotUntil(Docked, [&](const TScreenshot& Shot) { return Mismatches(Shot, *Host, MainRect) == 0; }))
        << "the main window does not show what its docks draw";
    KeepScreen("1-docked");

    // Out of the top dock to the middle of the window: the bar floats there.
    const TPoint Grip = GripPoint(Bar);
    const TPoint Hot = Grip - DockedRect.TopLeft();
    const TPoint Middle{MainRect.Left + MainRect.Width() / 2, MainRect.Top + MainRect.Height() / 2};
    PressAndDrag(Grip, Middle, 8);
    if (HasFatalFailure())
        return;
    EXPECT_NE(Top.PreviewKind(), TPreviewKind::Insert) << "the top dock takes the bar dropped in the middle";
    Release();
    if (HasFatalFailure())
        return;
    EXPECT_TRUE(Top.Items().empty());
    EXPECT_EQ(Top.Height(), 0);
    ASSERT_TRUE(DockList().IsFloating(Bar));
    TWidgetWindow* Floating = DockList().FloatingWindow(Bar);
    ASSERT_NE(Floating, nullptr);
    ASSERT_TRUE(RunUntil([&] { return Floating->Native().IsVisible(); }));
    const TRect FloatRect = Floating->Native().Bounds();
    EXPECT_EQ(FloatRect.TopLeft(), Middle - Hot);
    EXPECT_EQ(FloatRect.Size(), Bar.Bounds().Size());

    // The screen shows the floating bar at its place, and the main window
    // without it, the top strip where it was now part of the centre.
    TScreenshot Floated;
    ASSERT_TRUE(ShotUntil(Floated, [&](const TScreenshot& Shot) {
        return Mismatches(Shot, Bar, FloatRect) == 0 &&
               Mismatches(Shot, *Host, TRect::FromSize(MainRect.Left, MainRect.Top, MainRect.Width(), BarHeight)) == 0;
    })) << "the floating bar or the emptied top dock does not show";
    KeepScreen("2-floating");
    EXPECT_GT(Differences(Docked, Floated, DockedRect.Intersected(MainRect)), DockedRect.Width() * BarHeight / 4)
        << "the emptied top dock still looks the same";
    EXPECT_GT(Differences(Docked, Floated, FloatRect), FloatRect.Width() * FloatRect.Height() / 4);

    // Back over the top dock: the top dock previews the bar in a lightened
    // band; the release docks it.
    const TPoint Back{MainRect.Left + 120, MainRect.Top + 3};
    PressAndDrag(GripPoint(Bar), Back, 8);
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(RunUntil([&] { return Top.PreviewKind() != TPreviewKind::None; }))
        << "no preview with the bar over the top dock";
    ASSERT_FALSE(Top.PreviewRect().IsEmpty());
    const TRect Band = Top.PreviewRect().Translated(Top.Origin()).Translated(Top.ScreenRect().TopLeft());
    ASSERT_NE(Drag().Window(), nullptr);
    const TRect DragWindow = Drag().Window()->Bounds();
    const uint8_t FaceRed = Red(OnScreen(SkinColors().FaceColor));
    // Most of the band the drag window leaves uncovered is lighter than the
    // face.
    auto LightBand = [&](const TScreenshot& Shot) {
        int32_t Light = 0, Seen = 0;
        for (int32_t Y = Band.Top + 1; Y < Band.Bottom - 1; ++Y)
            for (int32_t X = Band.Left + 1; X < Band.Right - 1; ++X)
                if (!DragWindow.Contains(TPoint{X, Y})) {
                    ++Seen;
                    Light += Red(Shot.At(X, Y)) > FaceRed;
                }
        return Seen > 0 && Light * 4 > Seen * 3;
    };
    TScreenshot Previewed;
    EXPECT_TRUE(ShotUntil(Previewed, LightBand)) << "the preview band does not show";
    KeepScreen("3-preview");
    if (TWidgetWindow* Hidden = DockList().FloatingWindow(Bar)) {
        EXPECT_FALSE(Hidden->Native().IsVisible()) << "the floating window shows while its bar is dragged";
    }
    Release();
    if (HasFatalFailure())
        return;

    ASSERT_EQ(Top.Items().size(), 1u);
    EXPECT_NE(Top.FindItem(Bar), nullptr);
    EXPECT_FALSE(DockList().IsFloating(Bar));
    EXPECT_EQ(DockList().FloatingWindow(Bar), nullptr);
    EXPECT_EQ(Bar.Parent(), &Top);
    // The host places its docks again on its next layout.
    EXPECT_TRUE(RunUntil([&] { return Top.Height() == BarHeight; })) << "the top dock is " << Top.Height() << " high";
    EXPECT_EQ(Top.PreviewKind(), TPreviewKind::None);
    EXPECT_FALSE(Top.DockingMode());
    TScreenshot Redocked;
    EXPECT_TRUE(ShotUntil(Redocked, [&](const TScreenshot& Shot) {
        return Mismatches(Shot, *Host, MainRect) == 0 && Differences(Floated, Shot, FloatRect) > 0;
    })) << "the docked bar does not show, or the floating one still does";
    KeepScreen("4-docked-again");
    EXPECT_GT(Differences(Floated, Redocked, Bar.ScreenRect()), Bar.Width() * BarHeight / 4);
}

} // namespace
