#include "toolkit/layout/table.h"

#include "core/error.h"
#include "tests/canvas/pixels_test_support.h"
#include "toolkit/widgets/widget.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A hook with a settable report that records where it was placed.
class TProbeHook : public TTableHook {
public:
    explicit TProbeHook(int32_t Width = 10, int32_t Height = 10, int32_t HorzPriority = 0, int32_t VertPriority = 0,
                        TTableKind Kind = TTableKind::Visible) {
        Info.Width = Width;
        Info.Height = Height;
        Info.HorzPriority = HorzPriority;
        Info.VertPriority = VertPriority;
        Info.Kind = Kind;
    }
    TInfo Info;
    TRect Placed;
    bool Shown = false;
    int32_t Placements = 0;

    void GetInfo(TInfo& Out) override { Out = Info; }
    void SetBounds(int32_t, int32_t, bool Show, const TRect& Rect) override {
        Placed = Rect;
        Shown = Show;
        ++Placements;
    }
};

using THooks = std::vector<std::unique_ptr<TProbeHook>>;

THooks MakeHooks(int32_t Count, int32_t Width, int32_t Height, int32_t HorzPriority = 0, int32_t VertPriority = 0) {
    THooks Hooks;
    for (int32_t I = 0; I < Count; ++I)
        Hooks.push_back(std::make_unique<TProbeHook>(Width, Height, HorzPriority, VertPriority));
    return Hooks;
}

// One row of cells, each holding the next hook.
void FillRow(TTable& Table, THooks& Hooks) {
    for (int32_t I = 0; I < int32_t(Hooks.size()); ++I)
        Table.AddChild(0, I).SetHook(Hooks[size_t(I)].get());
}

std::vector<int32_t> ColWidths(const TTable& Table) {
    std::vector<int32_t> Widths;
    for (int32_t I = 0; I < Table.ColCount(); ++I)
        Widths.push_back(Table.ColAt(I).End - Table.ColAt(I).Start);
    return Widths;
}

} // namespace

// --- Sharing extra space

TEST(TableLayout, ThreeEqualColumnsShareTenPixelsByCumulativeRounding) {
    THooks Hooks = MakeHooks(3, 20, 8);
    TTable Table;
    FillRow(Table, Hooks);
    Table.Update();
    EXPECT_EQ(Table.Width(), 60);
    EXPECT_EQ(Table.Height(), 8);
    Table.SetBounds({5, 0, 75, 8});
    EXPECT_EQ(ColWidths(Table), (std::vector<int32_t>{23, 23, 24}));
    EXPECT_EQ(Table.ColAt(0).Start, 5);
    EXPECT_EQ(Table.ColAt(2).End, 75);
    EXPECT_EQ(Hooks[1]->Placed, (TRect{28, 0, 51, 8}));
    EXPECT_TRUE(Hooks[1]->Shown);
}

TEST(TableLayout, HigherPriorityClassTakesAllExtraSpace) {
    struct TCase {
        std::vector<int32_t> Priorities;
        std::vector<int32_t> Widths; // for 10 px wanted each in 60 px
    };
    const TCase Cases[] = {
        {{0, 100, 0}, {10, 40, 10}},
        {{-100, 0, -100}, {10, 40, 10}},
        {{-100, -100}, {30, 30}},
        {{100, 100, 0}, {25, 25, 10}},
        // Between classes the weight falls with the distance to the top.
        {{0, 50, 100}, {10, 20, 30}},
    };
    for (const TCase& Case : Cases) {
        THooks Hooks;
        for (int32_t Priority : Case.Priorities)
            Hooks.push_back(std::make_unique<TProbeHook>(10, 10, Priority));
        TTable Table;
        FillRow(Table, Hooks);
        Table.Update();
        Table.SetBounds({0, 0, 60, 10});
        std::vector<int32_t> Widths = ColWidths(Table);
        int32_t Sum = 0;
        for (int32_t W : Widths)
            Sum += W;
        EXPECT_EQ(Sum, 60);
        EXPECT_EQ(Widths, Case.Widths);
    }
}

TEST(TableLayout, TooLittleRoomGivesWantedSizesAndOverflows) {
    THooks Hooks = MakeHooks(3, 20, 8, 100);
    TTable Table;
    FillRow(Table, Hooks);
    Table.Update();
    Table.SetBounds({0, 0, 30, 8});
    EXPECT_EQ(ColWidths(Table), (std::vector<int32_t>{20, 20, 20}));
    EXPECT_EQ(Table.ColAt(2).End, 60);
}

TEST(TableLayout, HiddenCellsTakeNoSpaceAndAreNotShown) {
    THooks Hooks = MakeHooks(3, 20, 8);
    Hooks[1]->Info.Kind = TTableKind::Hidden;
    TTable Table;
    FillRow(Table, Hooks);
    Table.Update();
    Table.SetBounds({0, 0, 50, 8});
    EXPECT_FALSE(Table.ColAt(1).Active);
    EXPECT_EQ(ColWidths(Table), (std::vector<int32_t>{25, 0, 25}));
    EXPECT_FALSE(Hooks[1]->Shown);
    EXPECT_EQ(Hooks[1]->Placements, 1);
    EXPECT_TRUE(Hooks[0]->Shown);
}

TEST(TableLayout, NestedGridsSumTheirActiveLinesAndInheritKinds) {
    TProbeHook A(10, 5), B(30, 7, 0, 0, TTableKind::Inherit), C(8, 20, -100, -100);
    TTable Table;
    TTable& Left = Table.AddChild(0, 0);
    Left.AddChild(0, 0).SetHook(&A);
    Left.AddChild(1, 0).SetHook(&B);
    Table.AddChild(0, 1).SetHook(&C);
    Table.Update();
    EXPECT_EQ(Left.Kind(), TTableKind::Visible);
    EXPECT_EQ(Left.Child(1).Kind(), TTableKind::Visible); // inherited
    EXPECT_EQ(Left.Width(), 30);
    EXPECT_EQ(Left.Height(), 12);
    EXPECT_EQ(Table.Width(), 38);
    EXPECT_EQ(Table.Height(), 20);
    EXPECT_EQ(Table.HorzPriority(), 0);
    Table.SetBounds({0, 0, 48, 20});
    // The priority-0 column takes all 10 extra pixels; inside it the rows
    // share the 8 extra pixels equally.
    EXPECT_EQ(ColWidths(Table), (std::vector<int32_t>{40, 8}));
    EXPECT_EQ(A.Placed, (TRect{0, 0, 40, 9}));
    EXPECT_EQ(B.Placed, (TRect{0, 9, 40, 20}));
    // Inset by 1 and limited to the root's Inner inset by 2.
    EXPECT_EQ(Left.Inner(), (TRect{3, 3, 39, 17}));
}

TEST(TableLayout, FloatingCellKeepsItsSizeCentredInTheParent) {
    TProbeHook Grid(40, 20), Float(10, 6, 0, 0, TTableKind::Floating);
    TTable Table;
    TTable& Fixed = Table.AddChild(0, 0);
    Fixed.AddChild(0, 0).SetHook(&Grid);
    Fixed.AddChild(0, 1).SetHook(&Float);
    Grid.Info.Kind = TTableKind::Fixed;
    Table.Update();
    EXPECT_EQ(Fixed.Child(1).Kind(), TTableKind::Floating);
    Fixed.SetBounds({0, 0, 100, 50});
    EXPECT_TRUE(Float.Shown);
    EXPECT_EQ(Float.Placed, (TRect{45, 22, 55, 28}));
    EXPECT_FALSE(Grid.Shown); // kind 3 takes part in the grid unshown
    // Under a visible parent a floating cell joins the grid.
    Grid.Info.Kind = TTableKind::Visible;
    Table.Update();
    EXPECT_EQ(Fixed.Child(1).Kind(), TTableKind::Visible);
}

TEST(TableLayout, ControlHookAlignsTheControlInItsCell) {
    struct TCase {
        TTableAlign Horz, Vert;
        TRect Expected;
    };
    const TCase Cases[] = {
        {TTableAlign::Near, TTableAlign::Near, {10, 20, 30, 30}},
        {TTableAlign::Far, TTableAlign::Far, {90, 70, 110, 80}},
        {TTableAlign::Center, TTableAlign::CenterFixed, {50, 45, 70, 55}},
        {TTableAlign::Stretch, TTableAlign::StretchFirst, {10, 20, 110, 80}},
    };
    for (const TCase& Case : Cases) {
        TWidget Control;
        Control.SetBounds({0, 0, 20, 10});
        TControlTableHook Hook(Control);
        Hook.HorzAlign = Case.Horz;
        Hook.VertAlign = Case.Vert;
        Hook.SetBounds(20, 10, true, {10, 20, 110, 80});
        EXPECT_EQ(Control.Bounds(), Case.Expected);
        EXPECT_TRUE(Control.IsVisible());
        Hook.SetBounds(20, 10, false, {10, 20, 110, 80});
        EXPECT_FALSE(Control.IsVisible());
    }
}

TEST(TableLayout, ControlHookReportsPrioritiesFromAlignmentAndKindFromVisibility) {
    TWidget Shown, Hidden;
    Shown.SetBounds({0, 0, 30, 12});
    Hidden.SetVisible(false);
    TControlTableHook A(Shown), B(Hidden);
    A.HorzAlign = TTableAlign::StretchFirst;
    A.VertAlign = TTableAlign::Near;
    TTableHook::TInfo Info;
    A.GetInfo(Info);
    EXPECT_EQ(Info.Width, 30);
    EXPECT_EQ(Info.Height, 12);
    EXPECT_EQ(Info.Kind, TTableKind::Visible);
    EXPECT_EQ(Info.HorzPriority, 100);
    EXPECT_EQ(Info.VertPriority, 0);
    B.GetInfo(Info);
    EXPECT_EQ(Info.Kind, TTableKind::Hidden);
    EXPECT_EQ(Info.HorzPriority, -100);

    TSpaceTableHook Space(7);
    Space.GetInfo(Info);
    EXPECT_EQ(Info.Width, 7);
    EXPECT_EQ(Info.Height, 7);
    EXPECT_EQ(Info.Kind, TTableKind::Inherit);
    EXPECT_EQ(Info.VertPriority, -100);
}

TEST(TableLayout, HugeReportedSizesAreClampedAndPlacementDoesNotOverflow) {
    THooks Hooks = MakeHooks(3, 2000000000, 2000000000, 2000000000, -2000000000);
    TTable Table;
    FillRow(Table, Hooks);
    Table.Update();
    EXPECT_LE(Table.Width(), TTable::MaxExtent);
    Table.SetBounds({2000000000, 0, 2100000000, 10});
    for (int32_t I = 0; I < 3; ++I)
        EXPECT_LE(Table.ColAt(I).Start, Table.ColAt(I).End);
}

// --- The self-repairing tree

TEST(TableTree, RemovingTheLastControlOfATwoCellTableLeavesOneLeaf) {
    TProbeHook Kept;
    TTable Table;
    Table.AddChild(0, 0).SetHook(&Kept);
    {
        TProbeHook Removed;
        Table.AddChild(0, 1).SetHook(&Removed);
        EXPECT_EQ(Table.ChildCount(), 2);
    }
    EXPECT_FALSE(Table.HasChildren());
    EXPECT_EQ(Table.ColCount(), 0);
    EXPECT_EQ(Table.RowCount(), 0);
    EXPECT_EQ(Table.Hook(), &Kept);
    EXPECT_EQ(Kept.Table(), &Table);
}

TEST(TableTree, RemovalDeletesEmptiedLinesAndPromotesSingleChildren) {
    TProbeHook A, B, C, D;
    TTable Table;
    Table.AddChild(0, 0).SetHook(&A);
    TTable& Right = Table.AddChild(0, 1);
    Right.AddChild(0, 0).SetHook(&B);
    Right.AddChild(1, 0).SetHook(&C);
    Table.AddChild(0, 2).SetHook(&D);
    // Freeing A empties column 0: the others move left.
    TTable::Destroy(*A.Table());
    ASSERT_EQ(Table.ColCount(), 2);
    EXPECT_EQ(Table.CellAt(0, 0), &Right);
    EXPECT_EQ(D.Table(), Table.CellAt(0, 1));
    // Freeing C leaves Right with B alone: B's node takes Right's cell.
    TTable::Destroy(*C.Table());
    TTable* Promoted = Table.CellAt(0, 0);
    ASSERT_NE(Promoted, nullptr);
    EXPECT_EQ(Promoted->Hook(), &B);
    EXPECT_EQ(Promoted->Parent(), &Table);
    EXPECT_EQ(Table.FindHook(&B), Promoted);
    EXPECT_EQ(Table.FindHook(&C), nullptr);
}

TEST(TableTree, RootLeftWithOneGridTakesItsContent) {
    TProbeHook A, B, C;
    TTable Table;
    Table.AddChild(0, 0).SetHook(&A);
    TTable& Right = Table.AddChild(0, 1);
    Right.AddChild(0, 0).SetHook(&B);
    Right.AddChild(1, 0).SetHook(&C);
    TTable::Destroy(*A.Table());
    EXPECT_EQ(Table.ColCount(), 1);
    EXPECT_EQ(Table.RowCount(), 2);
    EXPECT_EQ(B.Table()->Parent(), &Table);
    EXPECT_EQ(C.Table(), Table.CellAt(1, 0));
}

TEST(TableTree, InsertAndDeleteColsRenumberLaterCells) {
    TProbeHook A, B;
    TTable Table;
    Table.AddChild(0, 0).SetHook(&A);
    Table.AddChild(0, 1).SetHook(&B);
    Table.InsertCols(1, 2);
    EXPECT_EQ(Table.ColCount(), 4);
    EXPECT_EQ(B.Table()->Col(), 3);
    EXPECT_EQ(Table.CellAt(0, 3), B.Table());
    Table.DeleteCols(1, 2);
    EXPECT_EQ(B.Table()->Col(), 1);
    Table.InsertRows(0, 1);
    EXPECT_EQ(A.Table()->Row(), 1);
    EXPECT_EQ(&Table.Child(0), A.Table()); // still sorted by (Row, Col)
}

TEST(TableTree, PackRemovesEmptyLeavesAndTheLinesTheyLeaveEmpty) {
    TProbeHook A, B;
    TTable Table;
    Table.AddChild(0, 0).SetHook(&A);
    Table.AddChild(0, 1);
    TTable& Inner = Table.AddChild(0, 2);
    Inner.AddChild(0, 0);
    Table.AddChild(1, 0).SetHook(&B);
    Table.Pack();
    EXPECT_EQ(Table.ChildCount(), 2);
    EXPECT_EQ(Table.ColCount(), 1);
    EXPECT_EQ(Table.RowCount(), 2);
    EXPECT_EQ(B.Table(), Table.CellAt(1, 0));
}

TEST(TableTree, DestroyingTheRootLeavesHooksDetached) {
    TProbeHook A;
    {
        TTable Table;
        Table.AddChild(0, 0).SetHook(&A);
        Table.AddChild(0, 1);
    }
    EXPECT_EQ(A.Table(), nullptr);
}

// --- Insertion

namespace {

struct TTableFixture {
    std::vector<std::unique_ptr<TProbeHook>> Hooks;
    TTable Table;

    TProbeHook& NewHook(int32_t W = 20, int32_t H = 20) {
        Hooks.push_back(std::make_unique<TProbeHook>(W, H));
        return *Hooks.back();
    }
    bool Drop(int32_t X, int32_t Y, TTableHook& Hook, int32_t W = 20, int32_t H = 20) {
        bool Changed = Table.Insert(X, Y, TRect::FromSize(X - W / 2, Y - H / 2, W, H), Hook);
        Table.Update();
        Table.SetBounds({0, 0, 100, 60});
        return Changed;
    }
};

} // namespace

TEST(TableInsert, EmptyRootTakesTheHookAndALeafSplitsTowardThePoint) {
    TTableFixture F;
    TProbeHook& A = F.NewHook();
    EXPECT_TRUE(F.Drop(50, 30, A));
    EXPECT_EQ(F.Table.Hook(), &A);
    // Right of the centre, mostly sideways: a new column after.
    TProbeHook& B = F.NewHook();
    EXPECT_TRUE(F.Drop(90, 32, B));
    ASSERT_EQ(F.Table.ColCount(), 2);
    EXPECT_EQ(F.Table.CellAt(0, 0)->Hook(), &A);
    EXPECT_EQ(F.Table.CellAt(0, 1)->Hook(), &B);
    // Dropping a control onto itself changes nothing.
    EXPECT_FALSE(F.Drop(70, 30, B));
}

TEST(TableInsert, LeafSplitsAboveWhenThePointIsMostlyAbove) {
    TTableFixture F;
    TProbeHook& A = F.NewHook();
    F.Drop(50, 30, A);
    TProbeHook& B = F.NewHook();
    F.Drop(52, 2, B);
    ASSERT_EQ(F.Table.RowCount(), 2);
    EXPECT_EQ(F.Table.CellAt(0, 0)->Hook(), &B);
    EXPECT_EQ(F.Table.CellAt(1, 0)->Hook(), &A);
}

TEST(TableInsert, GridAsksForANewColumnNearACellsSideAndEntersItsMiddle) {
    TTableFixture F;
    TProbeHook& A = F.NewHook();
    TProbeHook& B = F.NewHook();
    F.Drop(50, 30, A);
    F.Drop(90, 30, B); // columns [0, 50) and [50, 100)
    ASSERT_EQ(F.Table.ColAt(0).End, 50);
    // Near the left side of B's cell (t = min(20, 25) / 2 = 10): a new
    // column between A and B.
    TProbeHook& C = F.NewHook();
    TTableHit<TTable> Hit = F.Table.HitTest(53, 30, TRect::FromSize(43, 20, 20, 20));
    EXPECT_EQ(Hit.Target, &F.Table);
    EXPECT_EQ(Hit.ColAction, TTableAction::Insert);
    EXPECT_EQ(Hit.RowAction, TTableAction::None);
    EXPECT_EQ(Hit.Col, 1);
    F.Drop(53, 30, C);
    ASSERT_EQ(F.Table.ColCount(), 3);
    EXPECT_EQ(F.Table.CellAt(0, 1)->Hook(), &C);
    // In the middle of a cell the cell's own test splits the leaf.
    Hit = F.Table.HitTest(50, 50, TRect::FromSize(40, 40, 20, 20));
    EXPECT_EQ(Hit.Target, C.Table());
    EXPECT_EQ(Hit.RowAction, TTableAction::Wrap);
    EXPECT_EQ(Hit.Row, 1);
}

TEST(TableInsert, PointOutsideEveryRowAsksForANewRowAndFreeCellsTakeTheHook) {
    TTableFixture F;
    TProbeHook& A = F.NewHook();
    TProbeHook& B = F.NewHook();
    F.Table.AddChild(0, 0).SetHook(&A);
    F.Table.AddChild(1, 1).SetHook(&B);
    A.Info.Height = B.Info.Height = 10;
    A.Info.VertPriority = B.Info.VertPriority = -100;
    A.Info.HorzPriority = B.Info.HorzPriority = -100;
    F.Table.Update();
    F.Table.SetBounds({0, 0, 40, 30}); // rows [0, 15) and [15, 30)
    TTableHit<TTable> Hit = F.Table.HitTest(5, 35, TRect::FromSize(0, 30, 10, 10));
    EXPECT_EQ(Hit.Target, &F.Table);
    EXPECT_EQ(Hit.RowAction, TTableAction::Insert);
    EXPECT_EQ(Hit.ColAction, TTableAction::None);
    EXPECT_EQ(Hit.Row, 2);
    // Cell (1, 0) holds no node: it takes the hook.
    Hit = F.Table.HitTest(10, 15, TRect::FromSize(5, 10, 10, 10));
    EXPECT_TRUE(Hit.IntoCell);
    EXPECT_EQ(Hit.Row, 1);
    EXPECT_EQ(Hit.Col, 0);
    TProbeHook& C = F.NewHook();
    EXPECT_TRUE(F.Table.Insert(10, 15, TRect::FromSize(5, 10, 10, 10), C));
    EXPECT_EQ(F.Table.CellAt(1, 0)->Hook(), &C);
}

TEST(TableInsert, MovingAControlFreesItsOldCellAndRepairsTheTree) {
    TTableFixture F;
    TProbeHook& A = F.NewHook();
    TProbeHook& B = F.NewHook();
    TProbeHook& C = F.NewHook();
    F.Drop(50, 30, A);
    F.Drop(90, 30, B);
    F.Drop(53, 30, C); // A | C | B
    ASSERT_EQ(F.Table.ColCount(), 3);
    // A goes below B: its column disappears.
    F.Drop(85, 58, A);
    EXPECT_EQ(F.Table.ColCount(), 2);
    EXPECT_EQ(F.Table.FindHook(&A)->Parent()->FindHook(&B), B.Table());
    EXPECT_EQ(F.Table.CellAt(0, 0)->Hook(), &C);
}

// --- Design outlines

TEST(TablePaintDesign, LeafGridsGetASolidFrameAndOuterGridsADottedOne) {
    TProbeHook A(10, 10, 100, 100), B(10, 10, 100, 100);
    TTable Table;
    Table.AddChild(0, 0).SetHook(&A);
    Table.AddChild(0, 1).SetHook(&B);
    Table.Update();
    Table.SetBounds({0, 0, 40, 20});
    TPixels Pixels(40, 20);
    const TPixel White = Bgra(255, 255, 255);
    Pixels.FillAll(MakeColor(255, 255, 255));
    Table.PaintDesign(Pixels, 0);
    // The root's Inner (1, 1)-(39, 19), dotted with alpha 64: pixels 0-3
    // of the outline drawn, 4-7 left.
    const TPixel Dark64 = At(Pixels, 1, 1);
    EXPECT_NE(Dark64, White);
    EXPECT_EQ(At(Pixels, 4, 1), Dark64);
    EXPECT_EQ(At(Pixels, 5, 1), White);
    EXPECT_EQ(At(Pixels, 8, 1), White);
    EXPECT_EQ(At(Pixels, 9, 1), Dark64);
    // The children's Inner, limited to the root's Inner inset by 2, framed
    // solid at alpha 60: a lighter shade than the root's.
    EXPECT_EQ(A.Table()->Inner(), (TRect{3, 3, 19, 17}));
    const TPixel Dark60 = At(Pixels, 10, 3);
    EXPECT_NE(Dark60, White);
    EXPECT_GT(Dark60 & 0xFF, Dark64 & 0xFF);
    for (int32_t X = 3; X < 19; ++X)
        EXPECT_EQ(At(Pixels, X, 16), Dark60) << X;
    EXPECT_EQ(At(Pixels, 10, 10), White);
    // A deep enough node draws nothing.
    TPixels Deep(40, 20);
    Deep.FillAll(MakeColor(255, 255, 255));
    Table.PaintDesign(Deep, 16);
    EXPECT_TRUE(UnchangedOutside(Deep, {}, White));
}
