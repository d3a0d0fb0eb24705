#include "commands/factory_list.h"
#include "platform/window/headless_window_system.h"
#include "toolkit/design/widget_factory.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/widget.h"
#include "toolkit/widgets/widget_window.h"
#include "widget_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

// A title-bar button: records what reaches it and paints itself in the
// shadow colour, or the highlight colour while hot.
class TCloseButton : public TNCGadget {
public:
    std::vector<std::string>* Log = nullptr;
    void CaptureBegin() override { Log->push_back("capture"); }
    void CaptureEnd() override { Log->push_back("release"); }
    void MouseDown(TWidgetMouseEvent& Event) override {
        Log->push_back("down " + std::to_string(Event.Position.X) + "," +
                       std::to_string(Event.Position.Y));
    }
    void MouseUp(TWidgetMouseEvent&) override { Log->push_back("up"); }
    void Paint(TPixels& Pixels) override {
        Pixels.FillRect({-50, -50, 50, 50},
                        IsHot() ? SkinColors().HighlightColor : SkinColors().ShadowColor);
    }
};

// A framed panel with a title strip of 10 pixels holding the close button.
class TPanel : public TWidget {
public:
    TCloseButton* Close = nullptr;
    std::vector<int32_t> Wheels;
    TRect NCMargins() const override { return {1, 10, 1, 1}; }
    void LayoutNC(int32_t Width, int32_t) override {
        if (Close)
            Close->SetBounds(TRect::FromSize(Width - 9, 1, 8, 8));
    }
    bool MouseWheel(TWidgetMouseEvent& Event) override {
        Wheels.push_back(Event.WheelDelta);
        return true;
    }
};

struct TFixture {
    THeadlessWindowSystem System{{{{0, 0, 800, 600}, {0, 0, 800, 560}}}};
    TWidget Root;
    std::unique_ptr<TWidgetWindow> Window;
    void Open() {
        Window = std::make_unique<TWidgetWindow>(
            System, Root,
            TWindowOptions{.Kind = TWindowKind::Main,
                           .Title = "Parts",
                           .Bounds = TRect::FromSize(0, 0, 200, 100)});
        Window->Show(TActivate::Yes);
        System.ProcessEvents();
    }
};

} // namespace

TEST(WidgetParts, NonClientGadgetsArePlacedPaintedHotTrackedAndCapture) {
    TFixture F;
    std::vector<std::string> Log;
    auto& Panel = F.Root.Add<TPanel>();
    Panel.SetBounds(TRect::FromSize(10, 10, 60, 40));
    auto Close = std::make_unique<TCloseButton>();
    Close->Log = &Log;
    Panel.Close = Close.get();
    Panel.AddNCGadget(std::move(Close));
    F.Open();
    // Placed by LayoutNC at (51, 1) of the panel: (61, 11) in the window.
    EXPECT_EQ(Panel.Close->WindowRect(), TRect::FromSize(61, 11, 8, 8));
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 61, 11), Filled(SkinColors().ShadowColor));
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 68, 18), Filled(SkinColors().ShadowColor));
    // Its greedy fill stays inside its own bounds.
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 60, 11), Filled(SkinColors().FaceColor));
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 61, 19), Filled(SkinColors().FaceColor));

    F.System.ScriptMouseMove({63, 12});
    F.System.ScriptStep([&] {});
    F.System.ScriptMouseDown({63, 12});
    F.System.ScriptMouseMove({150, 80}); // off it: the capture keeps the input
    F.System.ScriptMouseUp({150, 80});
    RunScript(F.System);
    EXPECT_EQ(Log, (std::vector<std::string>{"capture", "down 2,1", "release", "up"}));
    EXPECT_FALSE(Panel.Close->IsHot());
    EXPECT_EQ(F.Window->Capture(), nullptr);
    EXPECT_EQ(MouseHandler().Hot(), &F.Root);

    F.System.ScriptMouseMove({63, 12});
    RunScript(F.System);
    EXPECT_TRUE(Panel.Close->IsHot());
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 61, 11), Filled(SkinColors().HighlightColor));
}

TEST(WidgetParts, WheelBubblesToTheFirstWidgetTakingIt) {
    TFixture F;
    auto& Panel = F.Root.Add<TPanel>();
    Panel.SetBounds(TRect::FromSize(10, 10, 100, 60));
    auto& Inner = Panel.Add<TGadget>();
    Inner.SetBounds(TRect::FromSize(0, 0, 20, 20));
    F.Open();
    F.System.ScriptWheel({15, 25}, -120);
    RunScript(F.System);
    EXPECT_EQ(Panel.Wheels, (std::vector<int32_t>{-120}));
}

TEST(WidgetParts, DesignHookSeesMouseInputFirstAndCanConsumeIt) {
    struct TDesigner {
        std::vector<TMouseEventKind> Seen;
        bool Consume = true;
        bool Hook(TControl*, const TWidgetMouseEvent& Event, void*) {
            Seen.push_back(Event.Kind);
            return Consume;
        }
    } Designer;
    TFixture F;
    auto& Gadget = F.Root.Add<TGadget>();
    Gadget.SetBounds(TRect::FromSize(10, 10, 20, 20));
    int32_t Executed = 0;
    Gadget.OnExecute = [&] { ++Executed; };
    F.Open();
    F.Root.BeginDesign({MakeDelegate<&TDesigner::Hook>(&Designer), nullptr});
    EXPECT_TRUE(Gadget.IsDesigning());
    EXPECT_TRUE(F.Root.Add<TGadget>().IsDesigning()); // added while designing
    F.System.ScriptClick({15, 15});
    RunScript(F.System);
    EXPECT_EQ(Designer.Seen,
              (std::vector<TMouseEventKind>{TMouseEventKind::Move, TMouseEventKind::Down,
                                            TMouseEventKind::Up}));
    EXPECT_EQ(Executed, 0);
    F.Root.EndDesign();
    EXPECT_FALSE(Gadget.IsDesigning());
    F.System.ScriptClick({15, 15});
    RunScript(F.System);
    EXPECT_EQ(Executed, 1);
    EXPECT_EQ(Designer.Seen.size(), 3u);
}

TEST(WidgetParts, GadgetClicksOnlyWhenReleasedOverItAndNotWhenDisabled) {
    TFixture F;
    auto& Gadget = F.Root.Add<TGadget>();
    Gadget.SetBounds(TRect::FromSize(10, 10, 20, 20));
    int32_t Clicks = 0, Executed = 0;
    Gadget.OnClick = [&] { ++Clicks; };
    Gadget.OnExecute = [&] { ++Executed; };
    F.Open();
    F.System.ScriptClick({15, 15});
    F.System.ScriptMouseDown({15, 15});
    F.System.ScriptMouseUp({100, 80});
    RunScript(F.System);
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Executed, 2);
    Gadget.SetEnabled(false);
    F.System.ScriptClick({15, 15});
    RunScript(F.System);
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Executed, 2);
}

TEST(WidgetParts, FactoriesMakeWidgetsAndGadgetsWithTheirHandlers) {
    TFactoryList List;
    int32_t Clicks = 0, Executed = 0;
    auto* Widgets = new TWidgetFactory(List, nullptr, "Panel", "Test|Panel");
    auto* Gadgets = new TGadgetFactory(
        List, nullptr, "Button", "Test|Button", [&] { ++Clicks; }, [&] { ++Executed; });
    EXPECT_EQ(Widgets->ControlClass(), &TWidget::Class);
    std::unique_ptr<TControl> Control = Gadgets->CreateControl();
    auto* Gadget = dynamic_cast<TGadget*>(Control.get());
    ASSERT_NE(Gadget, nullptr);
    Gadget->Execute();
    Gadget->Click();
    EXPECT_EQ(Executed, 1);
    EXPECT_EQ(Clicks, 1);
    EXPECT_TRUE(TGadget::Class.InheritsFrom(TControl::Class));
    EXPECT_NE(dynamic_cast<TWidget*>(Widgets->CreateControl().get()), nullptr);
}
