#include "area_test_support.h"
#include "toolkit/areas/area.h"
#include "toolkit/areas/fragment.h"
#include "toolkit/skin/skin_colors.h"

#include <gtest/gtest.h>

namespace {

constexpr TColor Red = MakeColor(255, 0, 0);
constexpr TColor Green = MakeColor(0, 255, 0);
constexpr TColor Blue = MakeColor(0, 0, 255);
constexpr TColor Grey = MakeColor(90, 90, 90);

// Sizes itself from its children (their widths side by side, the tallest
// height) and places them left to right.
class TRow : public TProbe {
public:
    using TProbe::TProbe;
    void Measure() override {
        TProbe::Measure();
        int32_t W = 0, H = 0;
        for (const auto& Child : Children()) {
            W += Child->Work().Width;
            H = std::max(H, Child->Work().Height);
        }
        Work().Width = W;
        Work().Height = H;
    }
    void Arrange() override {
        TProbe::Arrange();
        int32_t X = 0;
        for (const auto& Child : Children()) {
            Child->Work().Left = X;
            Child->Work().Top = 0;
            X += Child->Work().Width;
        }
    }
};

// Red while the mouse is over it, green otherwise.
template <class TBase>
class THoverBox : public TBase {
public:
    explicit THoverBox(TArea& Owner) : TBase(Owner) {}
    void Paint(TPixels& Pixels) override {
        Pixels.FillRect({0, 0, this->Width(), this->Height()}, this->IsHot() ? Red : Green);
    }
};

} // namespace

// ---- layout

TEST(FragmentLayout, MeasureRunsChildrenFirstAndArrangeParentsFirst) {
    TAreaFixture F;
    auto& Row = F.Desktop().Add<TRow>("row", &F.Log, TFragmentBox{5, 6, 0, 0});
    F.AddProbe(Row, "a", {0, 0, 30, 10});
    F.AddProbe(Row, "b", {0, 0, 20, 25});
    F.Log.Lines.clear();
    F.Area->Relayout();
    EXPECT_EQ(F.Log.Lines, (std::vector<std::string>{"a measure", "b measure", "row measure", "desktop measure",
                                                     "desktop arrange", "row arrange", "a arrange", "b arrange"}));
}

TEST(FragmentLayout, ArrangedBoxesAreCommittedAndRectanglesNestInAreaCoordinates) {
    TAreaFixture F;
    auto& Row = F.Desktop().Add<TRow>("row", &F.Log, TFragmentBox{5, 6, 0, 0});
    auto& A = F.AddProbe(Row, "a", {0, 0, 30, 10});
    auto& B = F.AddProbe(Row, "b", {0, 0, 20, 25});
    F.Area->Relayout();
    EXPECT_EQ(F.Desktop().AreaRect(), TRect::FromSize(0, 0, 200, 100));
    EXPECT_EQ(Row.Box(), (TFragmentBox{5, 6, 50, 25}));
    EXPECT_EQ(A.Box(), (TFragmentBox{0, 0, 30, 10}));
    EXPECT_EQ(B.Box(), (TFragmentBox{30, 0, 20, 25}));
    EXPECT_EQ(B.AreaRect(), TRect::FromSize(35, 6, 20, 25));
    EXPECT_EQ(B.VisibleRect(), B.AreaRect());
}

TEST(FragmentLayout, VisibleRectanglesAreCutByEveryAncestorAndTheClientArea) {
    TAreaFixture F;
    auto& Outer = F.AddProbe(F.Desktop(), "outer", {150, 10, 100, 40});
    auto& Inner = F.AddProbe(Outer, "inner", {-20, 30, 60, 30});
    F.Area->Relayout();
    EXPECT_EQ(Outer.VisibleRect(), (TRect{150, 10, 200, 50}));
    EXPECT_EQ(Inner.AreaRect(), TRect::FromSize(130, 40, 60, 30));
    EXPECT_EQ(Inner.VisibleRect(), (TRect{150, 40, 190, 50}));
}

TEST(FragmentLayout, PositionsOfLongTimelinesAreSummedWithoutWrapping) {
    TAreaFixture F;
    auto& Far = F.AddProbe(F.Desktop(), "far", {2000000000, 0, 100, 10});
    auto& Further = F.AddProbe(Far, "further", {2000000000, 0, 100, 10});
    auto& Back = F.AddProbe(F.Desktop(), "back", {-2000000000, 0, 100, 10});
    auto& Behind = F.AddProbe(Back, "behind", {-2000000000, 0, 100, 10});
    F.Area->Relayout();
    EXPECT_GT(Further.AreaRect().Left, 200);
    EXPECT_GE(Further.AreaRect().Right, Further.AreaRect().Left);
    EXPECT_LT(Behind.AreaRect().Right, 0);
    EXPECT_TRUE(Further.VisibleRect().IsEmpty());
    EXPECT_TRUE(Behind.VisibleRect().IsEmpty());
    EXPECT_EQ(F.Area->FragmentAt({5, 5}), &F.Desktop());
}

// ---- hit testing

TEST(FragmentHitTest, TheDeepestAndLatestFragmentAnswers) {
    TAreaFixture F;
    auto& A = F.AddProbe(F.Desktop(), "a", {0, 0, 100, 80});
    auto& A1 = F.AddProbe(A, "a1", {10, 10, 50, 50});
    auto& A1a = F.AddProbe(A1, "a1a", {20, 20, 10, 10});
    auto& B = F.AddProbe(F.Desktop(), "b", {50, 40, 100, 40}); // over part of a and a1
    F.Area->Relayout();
    EXPECT_EQ(F.Area->FragmentAt({5, 5}), &A);
    EXPECT_EQ(F.Area->FragmentAt({15, 15}), &A1);
    EXPECT_EQ(F.Area->FragmentAt({35, 35}), &A1a);
    EXPECT_EQ(F.Area->FragmentAt({55, 45}), &B); // a1 lies below b
    EXPECT_EQ(F.Area->FragmentAt({160, 50}), &F.Desktop());
    EXPECT_EQ(F.Area->FragmentAt({250, 50}), nullptr);
    EXPECT_EQ(F.Area->FragmentAt({-1, 5}), nullptr);
}

TEST(FragmentHitTest, AFragmentThatDeclinesLetsItsParentAnswerAndChildrenOutsideTheirParentAreNotHit) {
    TAreaFixture F;
    auto& A = F.AddProbe(F.Desktop(), "a", {0, 0, 100, 80});
    auto& Hole = F.AddProbe(A, "hole", {10, 10, 20, 20});
    Hole.IsTransparent = true;
    F.AddProbe(A, "sticking out", {90, 0, 40, 10});
    F.Area->Relayout();
    EXPECT_EQ(F.Area->FragmentAt({15, 15}), &A);
    // Inside the child but outside its parent: the parent's rectangle rules.
    EXPECT_EQ(F.Area->FragmentAt({110, 5}), &F.Desktop());
}

// ---- painting

TEST(FragmentPaint, ParentsPaintFirstLaterChildrenOnTopEachClippedToItsVisibleRectangle) {
    TAreaFixture F;
    F.Desktop().Color = Grey;
    auto& A = F.AddProbe(F.Desktop(), "a", {10, 10, 60, 40}, Red);
    F.AddProbe(A, "a child", {40, 20, 60, 60}, Green); // reaches beyond a
    F.AddProbe(F.Desktop(), "b", {50, 0, 30, 20}, Blue);  // over a, created later
    F.Settle();
    EXPECT_EQ(F.PixelAt(5, 5), Filled(Grey));
    EXPECT_EQ(F.PixelAt(15, 15), Filled(Red));
    EXPECT_EQ(F.PixelAt(60, 15), Filled(Blue));     // b over a
    EXPECT_EQ(F.PixelAt(55, 35), Filled(Green));    // a's child over a
    EXPECT_EQ(F.PixelAt(75, 35), Filled(Grey));     // the child beyond a is cut
    EXPECT_EQ(F.PixelAt(69, 49), Filled(Green));
    EXPECT_EQ(F.PixelAt(69, 50), Filled(Grey));
    // The edge is the area's own and no fragment paints over it.
    EXPECT_NE(PresentedAt(F.System, *F.Window, 0, 0), Filled(Grey));
}

TEST(FragmentPaint, InvalidatingAFragmentRepaintsOnlyItsVisiblePart) {
    TAreaFixture F;
    auto& A = F.AddProbe(F.Desktop(), "a", {10, 10, 30, 30}, Red);
    auto& B = F.AddProbe(F.Desktop(), "b", {100, 10, 30, 30}, Red);
    F.Settle();
    A.Color = Blue;
    B.Color = Blue;
    A.Invalidate();
    B.InvalidatePart({0, 0, 10, 10});
    F.Window->Update();
    EXPECT_EQ(F.PixelAt(20, 20), Filled(Blue));
    EXPECT_EQ(F.PixelAt(105, 15), Filled(Blue));
    EXPECT_EQ(F.PixelAt(115, 15), Filled(Red)); // outside the part asked for
}

TEST(FragmentPaint, AnAreaWithoutDesktopShowsAnEmptySunkenWindowWithBarsAtZero) {
    THeadlessWindowSystem System{{{{0, 0, 800, 600}, {0, 0, 800, 560}}}};
    TWidget Root;
    auto& Area = Root.Add<TArea>();
    EXPECT_EQ(Area.Bounds(), TRect::FromSize(0, 0, TArea::DefaultWidth, TArea::DefaultHeight));
    EXPECT_EQ(Area.Desktop(), nullptr);
    EXPECT_TRUE(Area.TabStop());
    TWidgetWindow Window(System, Root, {.Title = "Empty", .Bounds = TRect::FromSize(0, 0, 300, 200)});
    Window.Show(TActivate::Yes);
    System.ProcessEvents();
    Window.Update();
    EXPECT_EQ(BarValues(Area, TScrollBarKind::Horizontal), TScrollValues{});
    EXPECT_EQ(BarValues(Area, TScrollBarKind::Vertical), TScrollValues{});
    EXPECT_EQ(PresentedAt(System, Window, 100, 60), Filled(SystemColors().Window));
    // Sunken: the top-left edge is darker than the bottom-right one.
    uint32_t TopLeft = PresentedAt(System, Window, 0, 60), BottomRight = PresentedAt(System, Window, 255, 60);
    EXPECT_NE(TopLeft, BottomRight);
    EXPECT_LT(TopLeft & 0xFF, BottomRight & 0xFF);
}

TEST(FragmentPaint, FlatFragmentsRepaintThemselvesWhenTheMouseEntersAndLeaves) {
    TAreaFixture F;
    auto& Flat = F.Desktop().Add<THoverBox<TFlatFragment>>();
    Flat.SetBox({0, 0, 50, 50});
    auto& Plain = F.Desktop().Add<THoverBox<TFragment>>();
    Plain.SetBox({100, 0, 50, 50});
    F.Settle();
    F.System.ScriptMouseMove(F.Screen(10, 10));
    F.System.ScriptMouseMove(F.Screen(110, 10));
    F.System.ScriptStep([&] {
        EXPECT_TRUE(Plain.IsHot());
        // The plain fragment did not ask to be painted again.
        EXPECT_EQ(F.PixelAt(110, 10), Filled(Green));
    });
    F.System.ScriptMouseMove(F.Screen(10, 10));
    F.System.ScriptStep([&] { EXPECT_EQ(F.PixelAt(10, 10), Filled(Red)); });
    F.System.ScriptMouseMove(F.Screen(10, 70));
    F.Run();
    EXPECT_EQ(F.PixelAt(10, 10), Filled(Green));
}
