#include "commands/factory_list.h"
#include "platform/keys.h"
#include "platform/window/headless_window_system.h"
#include "toolkit/skin/look.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/scrolling_widget.h"
#include "toolkit/widgets/widget_window.h"
#include "widget_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr TColor ContentColor = MakeColor(20, 180, 60);

// A scrolling widget that paints its whole client area in one colour and
// records every scroll it is told of.
class TContent : public TScrollingWidget {
public:
    std::vector<TPoint> Scrolls;
    TContent() { SetBackground(TWidgetBackground::None); }
    void ScrollBy(int32_t DX, int32_t DY) override {
        Scrolls.push_back({DX, DY});
        TScrollingWidget::ScrollBy(DX, DY);
    }
    void Paint(TPixels& Pixels) override {
        TRect Client = ClientRect();
        Pixels.FillRect({0, 0, Client.Width(), Client.Height()}, ContentColor);
    }
};

// Takes the wheel the content leaves.
class TOuter : public TWidget {
public:
    std::vector<int32_t> Wheels;
    bool MouseWheel(TWidgetMouseEvent& Event) override {
        Wheels.push_back(Event.WheelDelta);
        return true;
    }
};

// A 200 x 150 content widget at (10, 10) of a window at the desktop's
// top-left, so that window, desktop and root coordinates agree.
struct TFixture {
    THeadlessWindowSystem System{{{{0, 0, 800, 600}, {0, 0, 800, 560}}}};
    TOuter Root;
    TContent& Content = Root.Add<TContent>();
    std::unique_ptr<TWidgetWindow> Window;

    TFixture() {
        Content.SetBounds(TRect::FromSize(10, 10, 200, 150));
        Window = std::make_unique<TWidgetWindow>(
            System, Root,
            TWindowOptions{.Kind = TWindowKind::Main, .Title = "Scrolling", .Bounds = TRect::FromSize(0, 0, 300, 220)});
        Window->Show(TActivate::Yes);
        System.ProcessEvents();
    }
    // Content 1000 high with a page of 150 (the widget's height: no
    // horizontal bar), so only the vertical bar shows.
    void Tall(int32_t Position = 0) { Content.SetScrollInfo(TScrollBarKind::Vertical, Position, 1000, 150); }
    // A point of the content widget's own coordinates on the desktop.
    TPoint At(TPoint WidgetPoint) const { return Content.WindowOrigin() + WidgetPoint; }
    static TPoint Centre(const TRect& R) { return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
    uint32_t Pixel(TPoint WidgetPoint) {
        System.ProcessEvents();
        TPoint P = At(WidgetPoint);
        return PresentedAt(System, *Window, P.X, P.Y);
    }
    int32_t V() { return Content.VertScrollBar().Position(); }
    int32_t H() { return Content.HorzScrollBar().Position(); }
};

} // namespace

TEST(ScrollingWidget, ScrollInfoKeepsThePositionInRangeAndShowsTheBarOnlyWhenNeeded) {
    TFixture F;
    auto& Bar = F.Content.VertScrollBar();
    EXPECT_EQ(Bar.Kind(), TScrollBarKind::Vertical);
    EXPECT_EQ(Bar.Size(), 0);
    EXPECT_EQ(F.Content.ClientRect(), (TRect{0, 0, 200, 150}));

    F.Content.SetScrollInfo(TScrollBarKind::Vertical, 5000, 1000, 150);
    EXPECT_EQ(Bar.Position(), 850);
    EXPECT_EQ(Bar.Size(), Bar.Thickness());
    EXPECT_EQ(F.Content.ClientRect(), (TRect{0, 0, 200 - Bar.Thickness(), 150}));
    F.Content.SetScrollInfo(TScrollBarKind::Vertical, -20, 1000, 150);
    EXPECT_EQ(Bar.Position(), 0);

    struct TCase {
        int32_t Position, Range, Page;
    };
    // A page as large as the content or larger: no bar, position 0.
    for (TCase C : {TCase{50, 100, 100}, TCase{50, 100, 200}, TCase{10, 0, 0}, TCase{10, 0, 50}, TCase{5, -3, 1}}) {
        F.Content.SetScrollInfo(TScrollBarKind::Vertical, C.Position, C.Range, C.Page);
        EXPECT_EQ(Bar.Size(), 0) << C.Range << " " << C.Page;
        EXPECT_EQ(Bar.Position(), 0) << C.Range << " " << C.Page;
        EXPECT_TRUE(Bar.BarRect().IsEmpty());
    }
    EXPECT_EQ(Bar.Range(), 0);
    EXPECT_EQ(Bar.Page(), 0);

    // Both bars: each leaves room for the other and the corner.
    F.Content.SetScrollInfo(TScrollBarKind::Vertical, 0, 1000, 134);
    F.Content.SetScrollInfo(TScrollBarKind::Horizontal, 30, 500, 184);
    int32_t T = TScrollingWidget::DefaultThickness;
    EXPECT_EQ(F.Content.VertScrollBar().BarRect(), (TRect{200 - T, 0, 200, 150 - T}));
    EXPECT_EQ(F.Content.HorzScrollBar().BarRect(), (TRect{0, 150 - T, 200 - T, 150}));
    EXPECT_EQ(F.H(), 30);
    // Setting the bars never scrolls.
    EXPECT_TRUE(F.Content.Scrolls.empty());

    // The edge goes around bars and client area alike.
    F.Content.SetHasEdge(true);
    int32_t E = TScrollingWidget::EdgeWidth;
    EXPECT_EQ(F.Content.ClientRect(), (TRect{E, E, 200 - E - T, 150 - E - T}));
    EXPECT_EQ(F.Content.VertScrollBar().BarRect(), (TRect{200 - E - T, E, 200 - E, 150 - E - T}));
}

TEST(ScrollingWidget, CommandsStepByLinesAndNineTenthsOfAPageWithinTheRange) {
    TFixture F;
    struct TCase {
        TScrollCommand Command;
        int32_t From, Track, Page, To;
    };
    const TCase Cases[] = {
        {TScrollCommand::LineDown, 0, 0, 150, 32},      {TScrollCommand::LineUp, 100, 0, 150, 68},
        {TScrollCommand::LineUp, 20, 0, 150, 0},        {TScrollCommand::LineDown, 840, 0, 150, 850},
        {TScrollCommand::PageDown, 0, 0, 150, 135},     {TScrollCommand::PageUp, 500, 0, 150, 365},
        {TScrollCommand::PageDown, 0, 0, 1, 1},         {TScrollCommand::PageDown, 0, 0, 10, 9},
        {TScrollCommand::ThumbTrack, 0, 400, 150, 400}, {TScrollCommand::ThumbPosition, 0, 9999, 150, 850},
        {TScrollCommand::Top, 500, 0, 150, 0},          {TScrollCommand::Bottom, 0, 0, 150, 850},
        {TScrollCommand::EndScroll, 300, 0, 150, 300},
    };
    for (const TCase& C : Cases) {
        F.Content.SetScrollInfo(TScrollBarKind::Vertical, C.From, 1000, C.Page);
        int32_t From = F.V();
        F.Content.Scrolls.clear();
        F.Content.Scroll(TScrollBarKind::Vertical, C.Command, C.Track);
        int32_t Expected = std::min(C.To, 1000 - C.Page);
        EXPECT_EQ(F.V(), Expected) << int(C.Command) << " from " << C.From;
        std::vector<TPoint> Told;
        if (Expected != From)
            Told.push_back({0, Expected - From});
        EXPECT_EQ(F.Content.Scrolls, Told);
    }
}

TEST(ScrollingWidget, HoldingADrawnArrowStepsALineAtOnceThenRepeats) {
    TFixture F;
    F.Tall();
    TPoint Arrow = F.At(TFixture::Centre(F.Content.VertScrollBar().MoreArrowRect()));
    F.System.ScriptMouseDown(Arrow);
    RunScript(F.System);
    EXPECT_EQ(F.V(), 32);
    F.System.AdvanceClock(249ms);
    EXPECT_EQ(F.V(), 32);
    F.System.AdvanceClock(1ms);
    EXPECT_EQ(F.V(), 64);
    F.System.AdvanceClock(50ms);
    EXPECT_EQ(F.V(), 96);
    F.System.AdvanceClock(50ms);
    EXPECT_EQ(F.V(), 128);
    EXPECT_EQ(F.Content.Scrolls, (std::vector<TPoint>{{0, 32}, {0, 32}, {0, 32}, {0, 32}}));

    // Off the arrow the repeats stop; back on it they go on.
    F.System.ScriptMouseMove(F.At({50, 50}));
    RunScript(F.System);
    F.System.AdvanceClock(300ms);
    EXPECT_EQ(F.V(), 128);
    F.System.ScriptMouseMove(Arrow);
    RunScript(F.System);
    F.System.AdvanceClock(250ms);
    EXPECT_EQ(F.V(), 160);
    F.System.ScriptMouseUp(Arrow);
    RunScript(F.System);
    F.System.AdvanceClock(500ms);
    EXPECT_EQ(F.V(), 160);

    // The other arrow steps back; at the start nothing moves.
    TPoint Up = F.At(TFixture::Centre(F.Content.VertScrollBar().LessArrowRect()));
    for (int I = 0; I < 6; ++I)
        F.System.ScriptClick(Up);
    RunScript(F.System);
    EXPECT_EQ(F.V(), 0);
}

TEST(ScrollingWidget, ClickingTheTrackPagesTowardTheMouseUntilTheThumbReachesIt) {
    TFixture F;
    F.Tall();
    auto& Bar = F.Content.VertScrollBar();
    TRect Track = Bar.TrackRect();
    TPoint Below = {Track.Left + 8, Track.Top + Track.Height() * 2 / 3};
    ASSERT_GE(Below.Y, Bar.ThumbRect().Bottom);
    F.System.ScriptClick(F.At(Below));
    RunScript(F.System);
    EXPECT_EQ(F.V(), 135);

    // Held, it pages every repeat tick until the thumb lies under the mouse.
    F.System.ScriptMouseDown(F.At(Below));
    RunScript(F.System);
    F.System.AdvanceClock(2000ms);
    F.System.ScriptMouseUp(F.At(Below));
    RunScript(F.System);
    TRect Thumb = Bar.ThumbRect();
    EXPECT_TRUE(Thumb.Top <= Below.Y && Below.Y < Thumb.Bottom) << Thumb.Top << ".." << Thumb.Bottom;
    EXPECT_LT(F.V(), Bar.MaxPosition());
    EXPECT_EQ(F.V() % 135, 0);

    // Above the thumb it pages back.
    int32_t Before = F.V();
    F.System.ScriptClick(F.At({Track.Left + 8, Track.Top + 1}));
    RunScript(F.System);
    EXPECT_EQ(F.V(), Before - 135);
}

TEST(ScrollingWidget, DraggingTheThumbFollowsTheMouseWithinTheTrack) {
    TFixture F;
    F.Tall(300);
    auto& Bar = F.Content.VertScrollBar();
    TRect Track = Bar.TrackRect(), Thumb = Bar.ThumbRect();
    EXPECT_GE(Thumb.Height(), TScrollingWidget::MinThumbLength);
    int32_t Free = Track.Height() - Thumb.Height();
    int32_t Offset = Thumb.Top - Track.Top;
    // The thumb shows the position: 300 of 850 along its free run.
    EXPECT_EQ(Offset, int32_t(std::lround(300.0 * Free / 850)));

    TPoint Grab = TFixture::Centre(Thumb);
    F.System.ScriptMouseDown(F.At(Grab));
    F.System.ScriptMouseMove(F.At({Grab.X, Grab.Y + 10}));
    RunScript(F.System);
    EXPECT_EQ(F.V(), int32_t(std::lround((Offset + 10) * 850.0 / Free)));
    EXPECT_EQ(Bar.ThumbRect().Top, Thumb.Top + 10);
    // Far beyond the ends the position stops at them.
    F.System.ScriptMouseMove(F.At({Grab.X + 40, Grab.Y + 500}));
    RunScript(F.System);
    EXPECT_EQ(F.V(), 850);
    EXPECT_EQ(Bar.ThumbRect().Bottom, Track.Bottom);
    F.System.ScriptMouseMove(F.At({Grab.X, Grab.Y - 500}));
    F.System.ScriptMouseUp(F.At({Grab.X, Grab.Y - 500}));
    RunScript(F.System);
    EXPECT_EQ(F.V(), 0);
    EXPECT_EQ(Bar.ThumbRect().Top, Track.Top);
    // Every step reached ScrollBy, and they add up to where it ended.
    int32_t Sum = 0;
    for (TPoint S : F.Content.Scrolls)
        Sum += S.Y;
    EXPECT_EQ(Sum, -300);
}

TEST(ScrollingWidget, TheWheelScrollsThreeLinesANotchAndShiftScrollsAcross) {
    TFixture F;
    F.Tall(200);
    F.Content.SetScrollInfo(TScrollBarKind::Horizontal, 0, 600, 184);
    F.Content.SetScrollInfo(TScrollBarKind::Vertical, 200, 1000, 134);
    TPoint Inside = F.At({50, 50});
    F.System.ScriptWheel(Inside, -120);
    RunScript(F.System);
    EXPECT_EQ(F.V(), 296);
    F.System.ScriptWheel(Inside, 240);
    RunScript(F.System);
    EXPECT_EQ(F.V(), 104);
    // Fine-grained wheels add up: two half notches make one.
    F.System.ScriptWheel(Inside, -60);
    F.System.ScriptWheel(Inside, -60);
    RunScript(F.System);
    EXPECT_EQ(F.V(), 200);

    TMouseEvent Shifted;
    Shifted.Window = &F.Window->Native();
    Shifted.Kind = TMouseEventKind::Wheel;
    Shifted.Position = Shifted.ScreenPosition = Inside;
    Shifted.WheelDelta = -120;
    Shifted.Modifiers = ShortCutShift;
    F.System.ScriptEvent(Shifted);
    RunScript(F.System);
    EXPECT_EQ(F.H(), 96);
    EXPECT_EQ(F.V(), 200);
    TMouseEvent Tilted = Shifted;
    Tilted.Modifiers = 0;
    Tilted.IsHorizontalWheel = true;
    Tilted.WheelDelta = 120; // tilted right
    F.System.ScriptEvent(Tilted);
    RunScript(F.System);
    EXPECT_EQ(F.H(), 192);
    EXPECT_TRUE(F.Root.Wheels.empty());

    // With nothing to scroll the wheel goes on to the parent.
    F.Content.SetScrollInfo(TScrollBarKind::Vertical, 0, 100, 134);
    F.System.ScriptWheel(Inside, -120);
    RunScript(F.System);
    EXPECT_EQ(F.Root.Wheels, (std::vector<int32_t>{-120}));
}

TEST(ScrollingWidget, MiddleButtonPansBothBarsUntilReleasedOrTheCaptureIsLost) {
    TFixture F;
    F.Content.SetScrollInfo(TScrollBarKind::Horizontal, 100, 600, 184);
    F.Content.SetScrollInfo(TScrollBarKind::Vertical, 100, 1000, 134);
    TNativeWindow& Native = F.Window->Native();
    Native.SetCursor(TCursorKind::IBeam);
    TPoint Start = F.At({100, 100});
    F.System.ScriptMouseDown(Start, TMouseButton::Middle);
    RunScript(F.System);
    EXPECT_TRUE(F.Content.IsPanning());
    EXPECT_EQ(Native.Cursor(), TCursorKind::SizeAll);

    // The content follows the hand: moving left and up scrolls right and down.
    F.System.ScriptMouseMove({Start.X - 10, Start.Y - 20});
    RunScript(F.System);
    EXPECT_EQ(F.H(), 110);
    EXPECT_EQ(F.V(), 120);
    F.System.ScriptMouseMove({Start.X - 10, Start.Y - 20}); // no change, no scroll
    F.System.ScriptMouseMove({Start.X + 400, Start.Y - 20});
    RunScript(F.System);
    EXPECT_EQ(F.H(), 0);
    EXPECT_EQ(F.V(), 120);
    EXPECT_EQ(F.Content.Scrolls, (std::vector<TPoint>{{10, 20}, {-110, 0}}));

    F.System.ScriptMouseUp({Start.X + 400, Start.Y - 20}, TMouseButton::Middle);
    RunScript(F.System);
    EXPECT_FALSE(F.Content.IsPanning());
    EXPECT_EQ(Native.Cursor(), TCursorKind::IBeam);
    F.System.ScriptMouseMove(Start);
    RunScript(F.System);
    EXPECT_EQ(F.H(), 0);

    // Another window taking the mouse ends it too; a cursor someone else
    // set meanwhile stays.
    F.System.ScriptMouseDown(Start, TMouseButton::Middle);
    RunScript(F.System);
    ASSERT_TRUE(F.Content.IsPanning());
    auto Other = F.System.CreateWindow(
        {.Kind = TWindowKind::Popup, .Title = "Other", .Bounds = TRect::FromSize(400, 400, 50, 50)});
    F.System.TakeCapture(*Other);
    Native.SetCursor(TCursorKind::Wait);
    F.System.AdvanceClock(100ms);
    EXPECT_FALSE(F.Content.IsPanning());
    EXPECT_EQ(Native.Cursor(), TCursorKind::Wait);
    F.System.ReleaseCapture();
}

TEST(ScrollingWidget, ScrollingMovesTheChildrenAndPostedRequestsScrollWithinTheBars) {
    TFixture F;
    F.Tall();
    auto& Child = F.Content.Add<TGadget>();
    Child.SetBounds(TRect::FromSize(5, 40, 20, 20));
    F.Content.Scroll(TScrollBarKind::Vertical, TScrollCommand::LineDown);
    EXPECT_EQ(Child.Bounds(), TRect::FromSize(5, 8, 20, 20));

    F.Content.PostScrollRequest(0, 5000);
    EXPECT_EQ(F.V(), 32);
    F.System.ProcessEvents();
    EXPECT_EQ(F.V(), 850);
    EXPECT_EQ(Child.Bounds(), TRect::FromSize(5, 40 - 850, 20, 20));

    // A request left for a widget that is gone by then is dropped.
    F.Content.PostScrollRequest(0, -100);
    std::unique_ptr<TWidget> Removed = F.Root.RemoveChild(F.Content);
    Removed.reset();
    F.System.ProcessEvents();
}

TEST(ScrollingWidget, TheBarsAreDrawnInTheSkinWithHoverAndPressedLooks) {
    TFixture F;
    const TSkinColors& Skin = SkinColors();
    F.Content.SetScrollInfo(TScrollBarKind::Horizontal, 0, 600, 184);
    F.Content.SetScrollInfo(TScrollBarKind::Vertical, 0, 1000, 134);
    auto& Bar = F.Content.VertScrollBar();

    // Client content, the corner square in the face colour.
    EXPECT_EQ(F.Pixel({50, 50}), Filled(ContentColor));
    EXPECT_EQ(F.Pixel({200 - 3, 150 - 3}), Filled(Skin.FaceColor));

    // At the start the arrow toward it is drawn disabled, the other not.
    TRect Less = Bar.LessArrowRect(), More = Bar.MoreArrowRect();
    EXPECT_EQ(F.Pixel(TFixture::Centre(Less)), Filled(Skin.DisabledTextColor));
    EXPECT_EQ(F.Pixel(TFixture::Centre(More)), Filled(Skin.TextColor));
    // The thumb stands out of the trough; the trough out of the face.
    TRect Thumb = Bar.ThumbRect(), Track = Bar.TrackRect();
    uint32_t ThumbPixel = F.Pixel(TFixture::Centre(Thumb));
    uint32_t TroughPixel = F.Pixel({Track.Left + 8, Track.Bottom - 2});
    EXPECT_NE(ThumbPixel, TroughPixel);
    EXPECT_NE(TroughPixel, Filled(Skin.FaceColor));
    EXPECT_EQ(F.Pixel({Track.Left + 8, Thumb.Bottom}), TroughPixel);

    // Hovering the thumb, then dragging it, changes its look each time.
    F.System.ScriptMouseMove(F.At(TFixture::Centre(Thumb)));
    RunScript(F.System);
    uint32_t HotThumb = F.Pixel(TFixture::Centre(Thumb));
    EXPECT_NE(HotThumb, ThumbPixel);
    F.System.ScriptMouseDown(F.At(TFixture::Centre(Thumb)));
    RunScript(F.System);
    uint32_t DownThumb = F.Pixel(TFixture::Centre(Thumb));
    EXPECT_NE(DownThumb, HotThumb);
    EXPECT_NE(DownThumb, ThumbPixel);
    F.System.ScriptMouseUp(F.At(TFixture::Centre(Thumb)));
    RunScript(F.System);

    // An arrow's face: plain, hovered, pressed.
    TPoint Face = {More.Left + 2, More.Top + 2};
    uint32_t Plain = F.Pixel(Face);
    F.System.ScriptMouseMove(F.At(TFixture::Centre(More)));
    RunScript(F.System);
    uint32_t Hovered = F.Pixel(Face);
    F.System.ScriptMouseDown(F.At(TFixture::Centre(More)));
    RunScript(F.System);
    uint32_t Pressed = F.Pixel(Face);
    F.System.ScriptMouseUp(F.At(TFixture::Centre(More)));
    RunScript(F.System);
    EXPECT_NE(Plain, Hovered);
    EXPECT_NE(Hovered, Pressed);
    EXPECT_NE(Plain, Pressed);
    // Away from the start the first arrow is live again.
    EXPECT_EQ(F.Pixel(TFixture::Centre(Less)), Filled(Skin.TextColor));

    // A bar that is not needed leaves its place to the client area.
    TPoint BarPoint = TFixture::Centre(Track);
    F.Content.SetScrollInfo(TScrollBarKind::Vertical, 0, 100, 150);
    EXPECT_EQ(F.Pixel(BarPoint), Filled(ContentColor));
}

TEST(ScrollingWidget, TheEdgeIsTheSkinsSunkenFrame) {
    TFixture F;
    F.Content.SetHasEdge(true);
    TPixels Reference(200, 150);
    Reference.FillAll(SkinColors().FaceColor);
    PaintEdge({0, 0, 200, 150}, Reference, TScrollingWidget::EdgeWidth, TEdgeDepth::Deep, TEdgeKind::Sunken,
              TEdgeKind::Sunken);
    for (TPoint P : {TPoint{0, 0}, TPoint{1, 1}, TPoint{100, 0}, TPoint{199, 149}, TPoint{198, 75}, TPoint{0, 149}})
        EXPECT_EQ(F.Pixel(P), Reference.GetPixel(P.X, P.Y)) << P.X << "," << P.Y;
    EXPECT_NE(Reference.GetPixel(0, 0), Reference.GetPixel(199, 149));
    EXPECT_EQ(F.Pixel({2, 2}), Filled(ContentColor));
}

TEST(ScrollingWidget, TheFactoryMakesScrollingWidgets) {
    TFactoryList List;
    auto* Factory = new TScrollingWidgetFactory(List, nullptr, "List", "Test|List");
    EXPECT_EQ(Factory->ControlClass(), &TScrollingWidget::Class);
    EXPECT_TRUE(TScrollingWidget::Class.InheritsFrom(TWidget::Class));
    std::unique_ptr<TControl> Control = Factory->CreateControl();
    EXPECT_NE(dynamic_cast<TScrollingWidget*>(Control.get()), nullptr);
}

TEST(ScrollingWidget, BarThicknessFollowsTheSkinSize) {
    TFixture F;
    F.Tall();
    int32_t Start = Skins().Size();
    ASSERT_EQ(Start, TSkins::DefaultSize);
    EXPECT_EQ(F.Content.VertScrollBar().Size(), TScrollingWidget::DefaultThickness);
    Skins().SetSize(100);
    EXPECT_EQ(F.Content.VertScrollBar().Thickness(), 48);
    EXPECT_EQ(F.Content.VertScrollBar().Size(), 48);
    EXPECT_EQ(F.Content.ClientRect().Width(), 200 - 48);
    EXPECT_EQ(F.Content.VertScrollBar().BarRect().Width(), 48);
    // The hidden bar keeps no room but takes the new thickness when it shows.
    EXPECT_EQ(F.Content.HorzScrollBar().Size(), 0);
    EXPECT_EQ(F.Content.HorzScrollBar().Thickness(), 48);
    // Small skins never make the bars thinner than the desktop's.
    Skins().SetSize(TSkins::MinSize);
    EXPECT_EQ(F.Content.VertScrollBar().Size(), TScrollingWidget::DefaultThickness);
    Skins().SetSize(Start);
    EXPECT_EQ(F.Content.ClientRect().Width(), 200 - TScrollingWidget::DefaultThickness);
}
