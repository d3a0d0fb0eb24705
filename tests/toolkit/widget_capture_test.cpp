#include "platform/window/headless_window_system.h"
#include "toolkit/widgets/widget.h"
#include "toolkit/widgets/widget_window.h"
#include "widget_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A widget that records when the capture comes and goes.
class TCaptureProbe : public TWidget {
public:
    std::vector<std::string>* Log = nullptr;
    std::string Name;
    void CaptureBegin() override { Log->push_back(Name + " begin"); }
    void CaptureEnd() override { Log->push_back(Name + " end"); }
};

struct TTwoWindows {
    THeadlessWindowSystem System{{{{0, 0, 800, 600}, {0, 0, 800, 560}}}};
    std::vector<std::string> Log;
    TWidget LeftRoot, RightRoot;
    TCaptureProbe* Left = nullptr;
    TCaptureProbe* Right = nullptr;
    std::unique_ptr<TWidgetWindow> LeftWindow, RightWindow;

    TTwoWindows() {
        Left = &AddProbe(LeftRoot, "left");
        Right = &AddProbe(RightRoot, "right");
        LeftWindow = std::make_unique<TWidgetWindow>(
            System, LeftRoot, TWindowOptions{.Title = "Left", .Bounds = TRect::FromSize(0, 0, 100, 100)});
        RightWindow = std::make_unique<TWidgetWindow>(
            System, RightRoot, TWindowOptions{.Title = "Right", .Bounds = TRect::FromSize(200, 0, 100, 100)});
        LeftWindow->Show(TActivate::Yes);
        RightWindow->Show(TActivate::No);
        System.ProcessEvents();
    }

    TCaptureProbe& AddProbe(TWidget& Root, const std::string& Name) {
        auto& Probe = Root.Add<TCaptureProbe>();
        Probe.SetBounds(TRect::FromSize(10, 10, 50, 50));
        Probe.Log = &Log;
        Probe.Name = Name;
        return Probe;
    }
};

} // namespace

TEST(WidgetCapture, ASecondWindowTakingTheCaptureMakesTheFirstLetGo) {
    TTwoWindows F;
    F.LeftWindow->SetCapture(*F.Left);
    EXPECT_EQ(F.System.CaptureWindow(), &F.LeftWindow->Native());
    EXPECT_TRUE(F.Left->IsDown());

    F.RightWindow->SetCapture(*F.Right);
    EXPECT_EQ(F.LeftWindow->Capture(), nullptr);
    EXPECT_EQ(F.RightWindow->Capture(), F.Right);
    EXPECT_EQ(F.System.CaptureWindow(), &F.RightWindow->Native());
    EXPECT_FALSE(F.Left->IsDown());
    EXPECT_TRUE(F.Right->IsDown());
    EXPECT_EQ(MouseHandler().Pressed(), F.Right);
    EXPECT_EQ(F.Log, (std::vector<std::string>{"left begin", "left end", "right begin"}));

    // The mouse over the left window now reaches the right one's holder.
    F.System.ScriptMouseMove({30, 30});
    RunScript(F.System);
    EXPECT_EQ(F.RightWindow->Capture(), F.Right);
    F.RightWindow->ReleaseCapture();
    EXPECT_EQ(F.System.CaptureWindow(), nullptr);
}

TEST(WidgetCapture, AnExplicitCaptureOutlivesTheReleaseOfTheButtons) {
    TTwoWindows F;
    F.System.ScriptMouseDown({20, 20});
    F.System.ScriptStep([&] {
        ASSERT_EQ(F.LeftWindow->Capture(), F.Left);
        F.LeftWindow->SetCapture(*F.Left);
    });
    F.System.ScriptMouseUp({250, 20});
    RunScript(F.System);
    EXPECT_EQ(F.LeftWindow->Capture(), F.Left);
    EXPECT_EQ(F.System.CaptureWindow(), &F.LeftWindow->Native());
    // Everyone asked to let go: the left window does.
    F.System.ReleaseCapture();
    EXPECT_EQ(F.LeftWindow->Capture(), nullptr);
    EXPECT_EQ(F.Log, (std::vector<std::string>{"left begin", "left end"}));
}

TEST(WidgetCapture, DestroyingTheHolderReleasesTheCaptureOfItsWindow) {
    TTwoWindows F;
    F.System.ScriptMouseDown({20, 20});
    RunScript(F.System);
    ASSERT_EQ(F.System.CaptureWindow(), &F.LeftWindow->Native());
    ASSERT_EQ(MouseHandler().Pressed(), F.Left);

    std::unique_ptr<TWidget> Taken = F.LeftRoot.RemoveChild(*F.Left);
    Taken.reset();
    EXPECT_EQ(F.LeftWindow->Capture(), nullptr);
    EXPECT_EQ(F.System.CaptureWindow(), nullptr);
    EXPECT_EQ(MouseHandler().Pressed(), nullptr);
    // The release goes to the window under the mouse, which has no holder.
    F.System.ScriptMouseUp({250, 20});
    RunScript(F.System);
    EXPECT_EQ(F.RightWindow->Capture(), nullptr);
}

TEST(WidgetCapture, DestroyingTheWindowHoldingTheMouseLeavesNoHolder) {
    TTwoWindows F;
    F.LeftWindow->SetCapture(*F.Left);
    F.LeftWindow.reset();
    EXPECT_EQ(F.System.CaptureWindow(), nullptr);
    EXPECT_EQ(MouseHandler().Pressed(), nullptr);
    // The mouse belongs to the window under it again.
    F.System.ScriptMouseDown({220, 20});
    RunScript(F.System);
    EXPECT_EQ(F.RightWindow->Capture(), F.Right);
    F.System.ScriptMouseUp({220, 20});
    RunScript(F.System);
}
