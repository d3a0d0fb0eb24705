#include "platform/window/headless_window_system.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/widget.h"
#include "toolkit/widgets/widget_window.h"
#include "widget_test_support.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr TColor Red = MakeColor(255, 0, 0);
constexpr TColor Green = MakeColor(0, 255, 0);
constexpr TColor Blue = MakeColor(0, 0, 255);

// A widget with a border of 4 painted in one colour, its client in another.
class TFramed : public TWidget {
public:
    TColor Border = Red;
    int32_t FramePaints = 0;
    TRect NCMargins() const override { return {4, 4, 4, 4}; }
    void PaintFrame(TPixels& Pixels) override {
        ++FramePaints;
        Pixels.FillBand({0, 0, Width(), Height()}, ClientRect(), Border);
    }
};

// Left half red, right half blue: a background a child can show through.
class TStriped : public TWidget {
public:
    void Paint(TPixels& Pixels) override {
        TRect Client = ClientRect();
        Pixels.FillRect({0, 0, Client.Width() / 2, Client.Height()}, Red);
        Pixels.FillRect({Client.Width() / 2, 0, Client.Width(), Client.Height()}, Blue);
    }
};

// Shows its parent through itself and draws a green dot at (1, 1).
class TSeeThrough : public TWidget {
public:
    TSeeThrough() { SetBackground(TWidgetBackground::None); }
    void Paint(TPixels& Pixels) override {
        PaintParentBackground(Pixels);
        Pixels.FillRect({1, 1, 2, 2}, Green);
    }
};

struct TFixture {
    THeadlessWindowSystem System{{{{0, 0, 800, 600}, {0, 0, 800, 560}}}};
    std::unique_ptr<TWidgetWindow> Window;
    void Open(TWidget& Root) {
        Window = std::make_unique<TWidgetWindow>(
            System, Root,
            TWindowOptions{.Kind = TWindowKind::Main, .Title = "Widgets",
                           .Bounds = TRect::FromSize(100, 100, 100, 60)});
        Window->Show(TActivate::Yes);
        System.ProcessEvents();
    }
};

} // namespace

TEST(WidgetBorder, InvalidateNCMergesRequestsIntoOneRepaintPerLoopTurn) {
    TFixture F;
    TWidget Root;
    auto& Framed = Root.Add<TFramed>();
    Framed.SetBounds(TRect::FromSize(10, 10, 40, 30));
    F.Open(Root);
    int32_t Presents = F.System.PresentCount(F.Window->Native());
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 11, 11), Filled(Red));

    Framed.Border = Blue;
    Framed.InvalidateNC({});
    EXPECT_TRUE(Framed.PendingNC().IsEmpty()); // an empty rectangle is ignored
    Framed.InvalidateNC({0, 0, 4, 4});
    Framed.InvalidateNC({36, 26, 40, 30});
    Framed.InvalidateNC({0, 26, 4, 30});
    EXPECT_EQ(Framed.PendingNC(), (TRect{0, 0, 40, 30}));
    F.System.ProcessEvents();
    EXPECT_TRUE(Framed.PendingNC().IsEmpty());
    EXPECT_EQ(F.System.PresentCount(F.Window->Native()), Presents + 1);
    // Both far corners repainted in the new colour by the one repaint.
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 11, 11), Filled(Blue));
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 48, 38), Filled(Blue));
}

TEST(WidgetBorder, APendingBorderRepaintOfADestroyedWidgetIsDropped) {
    TFixture F;
    TWidget Root;
    auto& Framed = Root.Add<TFramed>();
    Framed.SetBounds(TRect::FromSize(10, 10, 40, 30));
    F.Open(Root);
    Framed.InvalidateNC({0, 0, 4, 4});
    Root.RemoveChild(Framed).reset();
    F.System.ProcessEvents(); // the deferred repaint finds the widget gone
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 11, 11), Filled(SkinColors().FaceColor));
}

TEST(WidgetBackground, PaintParentBackgroundShowsTheParentsPaintingThrough) {
    TFixture F;
    TWidget Root;
    auto& Striped = Root.Add<TStriped>();
    Striped.SetBounds(TRect::FromSize(0, 0, 100, 60));
    // Straddles the middle of the stripes at x = 50.
    auto& Child = Striped.Add<TSeeThrough>();
    Child.SetBounds(TRect::FromSize(40, 20, 20, 10));
    F.Open(Root);
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 45, 25), Filled(Red));
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 55, 25), Filled(Blue));
    // The child's own drawing lands in its own coordinates afterwards.
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 41, 21), Filled(Green));
    // Nothing outside the child was touched by the parent's second paint.
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 39, 21), Filled(Red));
}

// A part of the top border that counts its capture's end.
class TCountingPart : public TNCGadget {
public:
    int32_t CaptureEnds = 0;
    void CaptureEnd() override { ++CaptureEnds; }
};

TEST(WidgetBorder, HidingAHeldPartClearsItsHotPressedAndCaptureStates) {
    TFixture F;
    TWidget Root;
    auto& Framed = Root.Add<TFramed>();
    Framed.SetBounds(TRect::FromSize(10, 10, 40, 30));
    auto& Part = static_cast<TCountingPart&>(Framed.AddNCGadget(std::make_unique<TCountingPart>()));
    Part.SetBounds({4, 0, 20, 4});
    F.Open(Root);
    // Pressed and held on the part: hot, down and holding the mouse.
    F.System.ScriptMouseMove({100 + 10 + 8, 100 + 10 + 1});
    F.System.ScriptMouseDown({100 + 10 + 8, 100 + 10 + 1});
    RunScript(F.System);
    ASSERT_EQ(F.Window->Capture(), &Part);
    ASSERT_TRUE(Part.IsHot());
    ASSERT_TRUE(Part.IsDown());

    Part.SetVisible(false);
    EXPECT_EQ(F.Window->Capture(), nullptr);
    EXPECT_EQ(MouseHandler().Hot(), nullptr);
    EXPECT_EQ(MouseHandler().Pressed(), nullptr);
    EXPECT_FALSE(Part.IsHot());
    EXPECT_FALSE(Part.IsDown());
    EXPECT_EQ(Part.CaptureEnds, 1);
    // The release goes to whatever is under the mouse now, not the hidden part.
    F.System.ScriptMouseUp({100 + 10 + 8, 100 + 10 + 1});
    RunScript(F.System);
    EXPECT_EQ(Part.CaptureEnds, 1);
    EXPECT_NE(MouseHandler().Hot(), &Part);
}
