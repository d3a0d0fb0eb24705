#include "platform/keys.h"
#include "platform/window/headless_window_system.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/popup_widget.h"
#include "toolkit/widgets/widget.h"
#include "toolkit/widgets/widget_window.h"
#include "widget_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

using namespace std::chrono_literals;

namespace {

// Fills its client area with one colour and counts its paints; optionally
// tries to draw far outside its bounds.
class TColorBox : public TWidget {
public:
    TColor Color = SkinColors().HighlightColor;
    bool IsGreedy = false;
    int32_t Paints = 0;
    std::vector<TWidgetKeyEvent> Keys;
    bool AcceptsKeys = false;

    void Paint(TPixels& Pixels) override {
        ++Paints;
        TRect Client = ClientRect();
        Pixels.FillRect(IsGreedy ? TRect{-1000, -1000, 1000, 1000}
                                 : TRect{0, 0, Client.Width(), Client.Height()},
                        Color);
    }
    void KeyDown(TWidgetKeyEvent& Event) override {
        Keys.push_back(Event);
        if (AcceptsKeys)
            Event.Accept();
    }
};

TColorBox& AddBox(TWidget& Parent, TRect Bounds, bool TabStop = true) {
    auto& Box = Parent.Add<TColorBox>();
    Box.SetBounds(Bounds);
    Box.SetTabStop(TabStop);
    return Box;
}

struct TFixture {
    THeadlessWindowSystem System{{{{0, 0, 800, 600}, {0, 0, 800, 560}}}};
    TWidget Root;
    std::unique_ptr<TWidgetWindow> Window;

    void Open(TRect Bounds = TRect::FromSize(100, 100, 200, 100)) {
        Window = std::make_unique<TWidgetWindow>(
            System, Root,
            TWindowOptions{.Kind = TWindowKind::Main, .Title = "Widgets", .Bounds = Bounds});
        Window->Show(TActivate::Yes);
        System.ProcessEvents();
    }
};

int64_t Millis(TWindowSystem::TClock::duration D) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(D).count();
}

} // namespace

// ---- auto-repeat and the mouse handler

TEST(WidgetMouse, HeldGadgetRepeatsAtFirstAndNextIntervalsAndStopsOffIt) {
    TFixture F;
    auto& Gadget = F.Root.Add<TGadget>();
    Gadget.SetBounds(TRect::FromSize(10, 10, 40, 20));
    F.Open();
    auto Start = F.System.Now();
    std::vector<int64_t> Executed;
    Gadget.OnExecute = [&] { Executed.push_back(Millis(F.System.Now() - Start)); };

    F.System.ScriptMouseDown({115, 115});
    F.System.ScriptAdvance(360ms);
    F.System.ScriptMouseUp({115, 115});
    F.System.ScriptAdvance(300ms);
    RunScript(F.System);
    EXPECT_EQ(Executed, (std::vector<int64_t>{0, 250, 300, 350}));
    EXPECT_FALSE(Gadget.IsDown());
    EXPECT_TRUE(Gadget.IsHot());
    EXPECT_EQ(MouseHandler().Pressed(), nullptr);

    // Moving off stops the repeats; moving back resumes them after the first
    // interval.
    Executed.clear();
    Start = F.System.Now();
    F.System.ScriptMouseDown({115, 115});
    F.System.ScriptAdvance(260ms);
    F.System.ScriptMouseMove({180, 160});
    F.System.ScriptAdvance(200ms);
    F.System.ScriptMouseMove({115, 115});
    F.System.ScriptAdvance(260ms);
    F.System.ScriptMouseUp({115, 115});
    RunScript(F.System);
    EXPECT_EQ(Executed, (std::vector<int64_t>{0, 250, 710}));
}

TEST(WidgetMouse, HotAndDownStatesRepaintTheGadgetAndLeavingClearsThem) {
    TFixture F;
    auto& Gadget = F.Root.Add<TGadget>();
    Gadget.SetBounds(TRect::FromSize(10, 10, 40, 20));
    F.Open();
    auto Snapshot = [&] {
        std::vector<uint32_t> Pixels;
        for (int32_t Y = 10; Y < 30; ++Y)
            for (int32_t X = 10; X < 50; ++X)
                Pixels.push_back(PresentedAt(F.System, *F.Window, X, Y));
        return Pixels;
    };
    auto Idle = Snapshot();
    F.System.ScriptMouseMove({120, 115});
    RunScript(F.System);
    EXPECT_TRUE(Gadget.IsHot());
    auto Hot = Snapshot();
    EXPECT_NE(Hot, Idle);
    F.System.ScriptMouseDown({120, 115});
    RunScript(F.System);
    EXPECT_TRUE(Gadget.IsDown());
    EXPECT_NE(Snapshot(), Hot);
    F.System.ScriptMouseUp({120, 115});
    F.System.ScriptMouseMove({500, 500}); // off the window
    F.System.ScriptAdvance(300ms);
    RunScript(F.System);
    EXPECT_FALSE(Gadget.IsHot());
    EXPECT_FALSE(Gadget.IsDown());
    EXPECT_EQ(Snapshot(), Idle);
}

// ---- painting

TEST(WidgetPaint, InvalidateOnlyMarksAndOneLoopTurnPresentsOnlyTheDirtyPart) {
    TFixture F;
    auto& Box = AddBox(F.Root, TRect::FromSize(20, 20, 40, 40));
    F.Open();
    const TColor Old = Box.Color;
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 25, 25), Filled(Old));
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 5, 5), Filled(SkinColors().FaceColor));

    int32_t Presents = F.System.PresentCount(F.Window->Native());
    int32_t Paints = Box.Paints;
    Box.Color = SkinColors().ShadowColor;
    Box.InvalidateClient({0, 0, 10, 10});
    Box.InvalidateClient({5, 5, 12, 12});
    // Invalidating never paints.
    EXPECT_EQ(Box.Paints, Paints);
    EXPECT_EQ(F.System.PresentCount(F.Window->Native()), Presents);
    EXPECT_EQ(F.Window->DirtyRect(), (TRect{20, 20, 32, 32}));
    F.System.ProcessEvents();
    EXPECT_EQ(Box.Paints, Paints + 1);
    EXPECT_EQ(F.System.PresentCount(F.Window->Native()), Presents + 1);
    EXPECT_TRUE(F.Window->DirtyRect().IsEmpty());
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 20, 20), Filled(SkinColors().ShadowColor));
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 31, 31), Filled(SkinColors().ShadowColor));
    // Outside the dirty rectangle the old pixels stay.
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 32, 32), Filled(Old));
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 59, 59), Filled(Old));
}

TEST(WidgetPaint, FarApartInvalidationsPaintAndPresentOnlyTheirOwnParts) {
    TFixture F;
    auto& Left = AddBox(F.Root, TRect::FromSize(0, 0, 10, 10));
    auto& Middle = AddBox(F.Root, TRect::FromSize(90, 40, 20, 20));
    auto& Right = AddBox(F.Root, TRect::FromSize(190, 90, 10, 10));
    auto& Neighbour = AddBox(F.Root, TRect::FromSize(10, 0, 10, 10));
    F.Open();
    int32_t Presents = F.System.PresentCount(F.Window->Native());
    int32_t MiddlePaints = Middle.Paints;
    Left.Invalidate();
    Right.Invalidate();
    Neighbour.Invalidate(); // adjoins Left: one rectangle with it
    EXPECT_EQ(F.Window->DirtyRects(),
              (std::vector<TRect>{TRect{190, 90, 200, 100}, TRect{0, 0, 20, 10}}));
    EXPECT_EQ(F.Window->DirtyRect(), (TRect{0, 0, 200, 100}));
    F.System.ProcessEvents();
    EXPECT_EQ(F.System.PresentCount(F.Window->Native()), Presents + 2);
    EXPECT_EQ(Middle.Paints, MiddlePaints);
    EXPECT_EQ(Left.Paints, 2);
    EXPECT_EQ(Right.Paints, 2);
    EXPECT_TRUE(F.Window->DirtyRects().empty());
}

TEST(WidgetPaint, AChildNeverPaintsOutsideItsClipEvenNested) {
    TFixture F;
    auto& Outer = AddBox(F.Root, TRect::FromSize(20, 10, 60, 50), false);
    Outer.Color = SkinColors().ShadowColor;
    auto& Inner = AddBox(Outer, TRect::FromSize(40, 30, 40, 40), false); // sticks out of Outer
    Inner.IsGreedy = true;
    Inner.Color = SkinColors().HighlightColor;
    F.Open();
    for (int32_t Y = 0; Y < 100; ++Y)
        for (int32_t X = 0; X < 200; ++X) {
            bool InInner = X >= 60 && X < 80 && Y >= 40 && Y < 60;
            bool InOuter = X >= 20 && X < 80 && Y >= 10 && Y < 60;
            TColor Expected = InInner   ? SkinColors().HighlightColor
                              : InOuter ? SkinColors().ShadowColor
                                        : SkinColors().FaceColor;
            ASSERT_EQ(PresentedAt(F.System, *F.Window, X, Y), Filled(Expected)) << X << "," << Y;
        }
}

TEST(WidgetPaint, NonClientMarginsMoveTheClientAreaAndItsChildren) {
    struct TFramed : TColorBox {
        TRect NCMargins() const override { return {3, 4, 3, 4}; }
        void PaintFrame(TPixels& Pixels) override {
            Pixels.FillBand({0, 0, Width(), Height()}, ClientRect(), SkinColors().TextColor);
        }
    };
    TFixture F;
    auto& Framed = F.Root.Add<TFramed>();
    Framed.SetBounds(TRect::FromSize(10, 10, 30, 30));
    Framed.Color = SkinColors().ShadowColor;
    auto& Child = AddBox(Framed, TRect::FromSize(0, 0, 5, 5), false);
    F.Open();
    EXPECT_EQ(Child.WindowRect(), TRect::FromSize(13, 14, 5, 5));
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 10, 10), Filled(SkinColors().TextColor));
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 12, 20), Filled(SkinColors().TextColor));
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 13, 14), Filled(Child.Color));
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 20, 20), Filled(SkinColors().ShadowColor));
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 39, 37), Filled(SkinColors().TextColor));
}

// ---- focus and keys

TEST(WidgetFocus, TabAndShiftTabWalkTheTabOrderSkippingWhatCannotTakeIt) {
    TFixture F;
    auto& A = AddBox(F.Root, TRect::FromSize(0, 0, 10, 10));
    auto& Panel = AddBox(F.Root, TRect::FromSize(20, 0, 100, 50), false);
    auto& B = AddBox(Panel, TRect::FromSize(0, 0, 10, 10));
    auto& Disabled = AddBox(Panel, TRect::FromSize(20, 0, 10, 10));
    Disabled.SetEnabled(false);
    auto& Hidden = AddBox(F.Root, TRect::FromSize(0, 20, 10, 10));
    Hidden.SetVisible(false);
    auto& C = AddBox(F.Root, TRect::FromSize(0, 40, 10, 10));
    F.Open();
    EXPECT_EQ(F.Window->Focused(), nullptr);

    std::vector<TWidget*> Seen;
    auto Record = [&] { Seen.push_back(F.Window->Focused()); };
    for (int I = 0; I < 4; ++I) {
        F.System.ScriptKey(KeyTab);
        F.System.ScriptStep(Record);
    }
    F.System.ScriptKey(KeyTab, ShortCutShift);
    F.System.ScriptStep(Record);
    F.System.ScriptKey(KeyTab, ShortCutShift);
    F.System.ScriptStep(Record);
    RunScript(F.System);
    // Outside the list Tab starts at the first candidate.
    EXPECT_EQ(Seen, (std::vector<TWidget*>{&A, &B, &C, &A, &C, &B}));

    F.Window->SetFocused(nullptr);
    F.System.ScriptKey(KeyTab, ShortCutShift);
    RunScript(F.System);
    EXPECT_EQ(F.Window->Focused(), &C); // Shift+Tab from outside: the last
}

TEST(WidgetFocus, ArrowsMoveToTheNearestControlInThatDirection) {
    TFixture F;
    auto& TopLeft = AddBox(F.Root, TRect::FromSize(0, 0, 20, 10));
    auto& TopRight = AddBox(F.Root, TRect::FromSize(100, 0, 20, 10));
    auto& Near = AddBox(F.Root, TRect::FromSize(40, 4, 20, 10));
    auto& Below = AddBox(F.Root, TRect::FromSize(0, 50, 20, 10));
    F.Open();
    std::vector<uint16_t> Unhandled;
    F.Window->SetShortcutHook([&](const TWidgetKeyEvent& E) {
        Unhandled.push_back(E.Key);
        return true;
    });
    ASSERT_TRUE(TopLeft.SetFocus());
    std::vector<TWidget*> Seen;
    auto Record = [&] { Seen.push_back(F.Window->Focused()); };
    for (uint8_t Key : {KeyRight, KeyRight, KeyLeft, KeyLeft, KeyDown, KeyUp, KeyUp}) {
        F.System.ScriptKey(Key);
        F.System.ScriptStep(Record);
    }
    RunScript(F.System);
    EXPECT_EQ(Seen, (std::vector<TWidget*>{&Near, &TopRight, &Near, &TopLeft, &Below, &TopLeft,
                                           &TopLeft}));
    // Nothing lies above the top row: the key goes on to the shortcuts.
    EXPECT_EQ(Unhandled, (std::vector<uint16_t>{KeyUp}));
}

TEST(WidgetFocus, KeysBubbleToParentsThenToTheShortcutHook) {
    TFixture F;
    auto& Parent = AddBox(F.Root, TRect::FromSize(0, 0, 100, 50), false);
    auto& Child = AddBox(Parent, TRect::FromSize(0, 0, 10, 10));
    F.Open();
    int32_t Hooked = 0;
    F.Window->SetShortcutHook([&](const TWidgetKeyEvent&) { return ++Hooked, true; });
    Child.SetFocus();
    F.System.ScriptKey(KeyA);
    RunScript(F.System);
    EXPECT_EQ(Child.Keys.size(), 1u);
    EXPECT_EQ(Parent.Keys.size(), 1u);
    EXPECT_EQ(Hooked, 1);
    Parent.AcceptsKeys = true;
    F.System.ScriptKey(KeyA);
    RunScript(F.System);
    EXPECT_EQ(Child.Keys.size(), 2u);
    EXPECT_EQ(Parent.Keys.size(), 2u);
    EXPECT_EQ(Hooked, 1);
}

TEST(WidgetFocus, EachWindowRemembersItsFocusAcrossActivation) {
    TFixture F;
    auto& A1 = AddBox(F.Root, TRect::FromSize(0, 0, 10, 10));
    auto& A2 = AddBox(F.Root, TRect::FromSize(20, 0, 10, 10));
    F.Open();
    TWidget OtherRoot;
    auto& B1 = AddBox(OtherRoot, TRect::FromSize(0, 0, 10, 10));
    AddBox(OtherRoot, TRect::FromSize(20, 0, 10, 10));
    TWidgetWindow Other(F.System, OtherRoot,
                        {.Kind = TWindowKind::Main,
                         .Title = "Other",
                         .Bounds = TRect::FromSize(400, 100, 100, 100)});
    Other.Show(TActivate::No);
    F.System.ProcessEvents();

    A2.SetFocus();
    F.System.ScriptStep([&] { Other.Native().Activate(); });
    F.System.ScriptKey(KeyTab);
    F.System.ScriptKey(KeyA);
    F.System.ScriptStep([&] { F.Window->Native().Activate(); });
    F.System.ScriptKey(KeyA);
    RunScript(F.System);
    EXPECT_EQ(Other.Focused(), &B1);
    EXPECT_EQ(B1.Keys.size(), 1u); // the A: the Tab went to the root, nothing was focused
    EXPECT_EQ(F.Window->Focused(), &A2);
    EXPECT_EQ(A2.Keys.size(), 1u); // the A typed after coming back
    EXPECT_EQ(A1.Keys.size(), 0u);
    EXPECT_EQ(F.Root.FocusedChild(), &A2);

    // A hidden focused control gives the focus up.
    A2.SetVisible(false);
    EXPECT_EQ(F.Window->Focused(), nullptr);
}

// ---- pop-ups

TEST(PopupPlacement, FitsTheWorkAreaAndStepsAsideOfTheControl) {
    const TRect Work{0, 0, 800, 560};
    // Room enough: where asked.
    EXPECT_EQ(TPopupWidget::Place({100, 100}, {50, 80}, TRect::FromSize(100, 80, 40, 20), Work),
              TRect::FromSize(100, 100, 50, 80));
    // Below a button near the bottom edge: above the button instead.
    EXPECT_EQ(TPopupWidget::Place({300, 540}, {120, 100}, TRect::FromSize(300, 520, 60, 20), Work),
              TRect::FromSize(300, 420, 120, 100));
    // Right of a button near the right edge: left of the button instead.
    EXPECT_EQ(TPopupWidget::Place({790, 200}, {100, 60}, TRect::FromSize(740, 200, 50, 20), Work),
              TRect::FromSize(640, 200, 100, 60));
    // No control: only shifted into the work area, never shrunk.
    EXPECT_EQ(TPopupWidget::Place({-30, 590}, {100, 60}, TRect{}, Work),
              TRect::FromSize(0, 500, 100, 60));
    // Larger than the area: its top-left stays inside.
    EXPECT_EQ(TPopupWidget::Place({10, 10}, {900, 50}, TRect{}, Work),
              TRect::FromSize(0, 10, 900, 50));
}

struct TPopupCase {
    const char* Name;
    int Action; // 0 Escape, 1 Enter, 2 click outside on the owner's gadget
    bool Result;
};

class PopupClose : public ::testing::TestWithParam<TPopupCase> {};

TEST_P(PopupClose, EndsTheLoopWithItsResult) {
    TFixture F;
    auto& Button = F.Root.Add<TGadget>();
    Button.SetBounds(TRect::FromSize(10, 10, 40, 20));
    int32_t Clicks = 0;
    F.Open();
    TPopupWidget List;
    List.SetBounds(TRect::FromSize(0, 0, 60, 40));
    TRect Shown;
    F.System.ScriptStep([&] {
        Shown = List.PopupWindow()->Native().Bounds();
        Button.OnExecute = [&] { ++Clicks; };
    });
    switch (GetParam().Action) {
    case 0:
        F.System.ScriptKey(KeyEscape);
        break;
    case 1:
        F.System.ScriptKey(KeyEnter);
        break;
    default:
        F.System.ScriptClick({120, 115});
        break;
    }
    TRect B = Button.ScreenRect();
    bool Result = List.Popup(F.System, B.Left, B.Bottom, &Button);
    EXPECT_EQ(Result, GetParam().Result);
    EXPECT_EQ(Shown, TRect::FromSize(110, 130, 60, 40));
    EXPECT_FALSE(List.IsPoppedUp());
    EXPECT_EQ(List.PopupWindow(), nullptr);
    EXPECT_TRUE(MouseHandler().Popups().empty());
    EXPECT_EQ(F.System.ZOrder().size(), 1u);
    RunScript(F.System);
    // A click outside still reaches what was clicked.
    EXPECT_EQ(Clicks, GetParam().Action == 2 ? 1 : 0);
    // Not re-entrant, but ready again once closed.
    F.System.ScriptKey(KeyEnter);
    EXPECT_TRUE(List.Popup(F.System, 0, 0, nullptr));
}

INSTANTIATE_TEST_SUITE_P(Widget, PopupClose,
                         ::testing::Values(TPopupCase{"Escape", 0, false},
                                           TPopupCase{"Enter", 1, true},
                                           TPopupCase{"ClickOutside", 2, false}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// ---- destruction from inside handlers

TEST(WidgetLifetime, AGadgetDestroyedByItsOwnHandlerLeavesNoPointerBehind) {
    TFixture F;
    auto& Keep = AddBox(F.Root, TRect::FromSize(100, 0, 10, 10));
    auto& Gadget = F.Root.Add<TGadget>();
    Gadget.SetBounds(TRect::FromSize(10, 10, 40, 20));
    Gadget.SetTabStop(true);
    F.Open();
    Gadget.SetFocus();
    int32_t Executed = 0;
    Gadget.OnExecute = [&] {
        ++Executed;
        F.Root.RemoveChild(Gadget).reset(); // destroys the gadget running this
    };
    F.System.ScriptMouseDown({115, 115});
    F.System.ScriptAdvance(400ms);
    F.System.ScriptMouseUp({115, 115});
    F.System.ScriptKey(KeyTab);
    RunScript(F.System);
    EXPECT_EQ(Executed, 1);
    EXPECT_EQ(F.Root.Children().size(), 1u);
    EXPECT_EQ(MouseHandler().Pressed(), nullptr);
    EXPECT_EQ(MouseHandler().Hot(), &F.Root); // the root is under the mouse now
    EXPECT_EQ(F.Window->Capture(), nullptr);
    EXPECT_EQ(F.Window->Focused(), &Keep); // Tab found the one left
    EXPECT_EQ(F.Root.FocusedChild(), &Keep);
}

TEST(WidgetLifetime, APopupDestroyedInsideItsLoopEndsTheLoop) {
    TFixture F;
    F.Open();
    auto List = std::make_unique<TPopupWidget>();
    List->SetBounds(TRect::FromSize(0, 0, 100, 60));
    auto& Close = List->Add<TGadget>();
    Close.SetBounds(TRect::FromSize(0, 0, 20, 20));
    Close.OnExecute = [&] { List.reset(); };
    // On Close: the pop-up's client starts at its border. The script ends
    // with the press: the headless system still keeps the destroyed pop-up
    // as the window under the mouse, so a later mouse step would use it.
    F.System.ScriptMouseMove({205, 205});
    F.System.ScriptMouseDown({205, 205});
    F.System.ScriptAdvance(300ms);
    EXPECT_FALSE(List->Popup(F.System, 200, 200, nullptr));
    EXPECT_EQ(List, nullptr);
    EXPECT_TRUE(MouseHandler().Popups().empty());
    EXPECT_EQ(MouseHandler().Hot(), nullptr);
    EXPECT_EQ(F.System.ZOrder().size(), 1u);
    RunScript(F.System);
}

TEST(WidgetLifetime, RemovingAControlClearsHoverPressAndFocusMemoryOfItsWholeSubtree) {
    TFixture F;
    auto& Panel = AddBox(F.Root, TRect::FromSize(0, 0, 100, 60), false);
    auto& Inner = AddBox(Panel, TRect::FromSize(10, 10, 50, 30), false);
    auto& Leaf = AddBox(Inner, TRect::FromSize(5, 5, 10, 10));
    F.Open();
    ASSERT_TRUE(Leaf.SetFocus());
    EXPECT_EQ(Panel.FocusedChild(), &Inner);
    EXPECT_EQ(Panel.FindFocusTarget(), &Leaf);
    F.System.ScriptMouseDown({117, 117}); // on Leaf
    RunScript(F.System);
    ASSERT_EQ(MouseHandler().Hot(), &Leaf);
    ASSERT_EQ(MouseHandler().Pressed(), &Leaf);
    ASSERT_EQ(F.Window->Capture(), &Leaf);

    std::unique_ptr<TWidget> Taken = Panel.RemoveChild(Inner);
    EXPECT_EQ(MouseHandler().Hot(), nullptr);
    EXPECT_EQ(MouseHandler().Pressed(), nullptr);
    EXPECT_EQ(F.Window->Capture(), nullptr);
    EXPECT_EQ(F.Window->Focused(), nullptr);
    EXPECT_EQ(Panel.FocusedChild(), nullptr);
    EXPECT_EQ(Taken->Window(), nullptr);
    Taken.reset();

    // Input goes on to what is left.
    F.System.ScriptMouseUp({117, 117});
    F.System.ScriptAdvance(300ms);
    RunScript(F.System);
    EXPECT_EQ(MouseHandler().Hot(), &Panel);
}
