// The toolkit end to end on a virtual X server: a window of real controls
// driven by xdotool, checked on the screen's pixels. Hovering a button
// changes the button and nothing else; typing into an edit box changes the
// box and its text.

#include "display_fixture.h"
#include "platform/message_queue.h"
#include "platform/window/window_system.h"
#include "toolkit/controls/common_control.h"
#include "toolkit/controls/edit_control.h"
#include "toolkit/widgets/widget_window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>

using namespace std::chrono_literals;

namespace {

class WidgetsOnScreen : public TOnVirtualDisplay {
protected:
    void SetUp() override {
        TOnVirtualDisplay::SetUp();
        if (IsSkipped())
            return;
        System = CreateSdlWindowSystem(Messages);
    }
    // The controls go before the window system their timers run on.
    void TearDown() override {
        Window.reset();
        Root.reset();
        System.reset();
    }

    // Runs the loop until Done answers true or five seconds pass.
    bool RunUntil(const std::function<bool()>& Done) {
        bool TimedOut = false;
        TTimerId Timer = System->StartTimer(5000ms, TTimerRepeat::Once, [&] { TimedOut = true; });
        System->RunLoop([&] { return Done() || TimedOut; });
        System->StopTimer(Timer);
        return Done();
    }
    // Lets the loop run for a while, so that repaints and the hover timer
    // have their turn.
    void Settle(std::chrono::milliseconds Time) {
        bool Over = false;
        TTimerId Timer = System->StartTimer(Time, TTimerRepeat::Once, [&] { Over = true; });
        System->RunLoop([&] { return Over; });
        System->StopTimer(Timer);
    }
    // Pixels that differ between two shots inside Rect (screen coordinates).
    static int32_t Differences(const TScreenshot& A, const TScreenshot& B, const TRect& Rect) {
        int32_t Count = 0;
        for (int32_t Y = Rect.Top; Y < Rect.Bottom; ++Y)
            for (int32_t X = Rect.Left; X < Rect.Right; ++X)
                Count += A.At(X, Y) != B.At(X, Y);
        return Count;
    }

    TMessageQueue Messages;
    std::unique_ptr<TWindowSystem> System;
    std::unique_ptr<TWidget> Root = std::make_unique<TWidget>();
    std::unique_ptr<TWidgetWindow> Window;
};

TEST_F(WidgetsOnScreen, HoveringAButtonAndTypingIntoAnEditBoxChangeWhatTheScreenShows) {
    auto& Button = Root->Add<TCommonButton>();
    Button.SetCaption("&Apply");
    Button.SetBounds(TRect::FromSize(20, 20, 96, 25));
    auto& Edit = Root->Add<TEditControl>();
    Edit.SetBounds(TRect::FromSize(20, 70, 200, Edit.DefaultHeight()));
    Window = std::make_unique<TWidgetWindow>(*System, *Root,
                                             TWindowOptions{.Title = "Widgets", .Bounds = TRect::FromSize(40, 30, 260, 120)});
    Window->Show(TActivate::Yes);
    ASSERT_TRUE(RunUntil([&] { return Window->Native().IsVisible() && Window->Native().HasFocus(); }));
    ASSERT_EQ(RunProgram({"xdotool", "mousemove", "600", "400"}), 0) << "xdotool is needed";
    Settle(300ms);

    const TRect ButtonOnScreen = Button.ScreenRect();
    const TRect EditOnScreen = Edit.ScreenRect();
    TScreenshot Idle, Hovered, Typed;
    ASSERT_TRUE(TakeScreenshot(Idle)) << "xwd (package x11-apps) is needed";

    TPoint Centre{(ButtonOnScreen.Left + ButtonOnScreen.Right) / 2, (ButtonOnScreen.Top + ButtonOnScreen.Bottom) / 2};
    ASSERT_EQ(RunProgram({"xdotool", "mousemove", std::to_string(Centre.X), std::to_string(Centre.Y)}), 0);
    ASSERT_TRUE(RunUntil([&] { return Button.IsHot(); }));
    // The hover look must outlast the hover timer's checks of the mouse.
    Settle(400ms);
    EXPECT_TRUE(Button.IsHot());
    ASSERT_TRUE(TakeScreenshot(Hovered));
    EXPECT_GT(Differences(Idle, Hovered, ButtonOnScreen), 100) << "the hovered button looks the same";
    EXPECT_EQ(Differences(Idle, Hovered, EditOnScreen), 0);

    TPoint InEdit{EditOnScreen.Left + 20, (EditOnScreen.Top + EditOnScreen.Bottom) / 2};
    ASSERT_EQ(RunProgram({"xdotool", "mousemove", std::to_string(InEdit.X), std::to_string(InEdit.Y), "click", "1"}), 0);
    ASSERT_TRUE(RunUntil([&] { return Edit.HasFocus(); }));
    ASSERT_EQ(RunProgram({"xdotool", "type", "Quill"}), 0);
    ASSERT_TRUE(RunUntil([&] { return Edit.Text() == "Quill"; })) << "the box holds \"" << Edit.Text() << "\"";
    Settle(100ms);
    ASSERT_TRUE(TakeScreenshot(Typed));
    EXPECT_GT(Differences(Hovered, Typed, EditOnScreen), 50) << "the typed text does not show";
    // The button is no longer hovered and looks as it did at first.
    EXPECT_FALSE(Button.IsHot());
    EXPECT_EQ(Differences(Idle, Typed, ButtonOnScreen), 0);
}

} // namespace
