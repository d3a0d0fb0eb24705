#include "toolkit/layout/split_table.h"

#include "toolkit/widgets/widget.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A hook with a settable report that records where it was placed.
class TProbeHook : public TSplitTableHook {
public:
    explicit TProbeHook(int32_t Width = 10, int32_t Height = 10, bool Sizable = true) {
        Info.Width = Width;
        Info.Height = Height;
        Info.Visible = true;
        Info.HorzSizable = Sizable;
        Info.VertSizable = Sizable;
    }
    TInfo Info;
    TRect Placed;

    void GetInfo(TInfo& Out) override { Out = Info; }
    void SetBounds(const TRect& Rect) override { Placed = Rect; }
};

struct TSplitFixture {
    std::vector<std::unique_ptr<TProbeHook>> Hooks;
    TSplitTable Table;
    TRect Client{0, 0, 104, 60};

    TSplitFixture() { Table.SetSplitterWidth(4); }

    TProbeHook& NewHook(int32_t W = 10, int32_t H = 10, bool Sizable = true) {
        Hooks.push_back(std::make_unique<TProbeHook>(W, H, Sizable));
        return *Hooks.back();
    }
    // One row of cells holding new hooks of these minimum widths.
    void Row(std::vector<int32_t> Widths) {
        for (int32_t I = 0; I < int32_t(Widths.size()); ++I)
            Table.AddChild(0, I).SetHook(&NewHook(Widths[size_t(I)]));
    }
    void Layout(TRect Rect) {
        Client = Rect;
        Table.Update();
        Table.SetBounds(Rect);
    }
    void Layout() { Layout(Client); }
    bool Drop(int32_t X, int32_t Y, TSplitTableHook& Hook, int32_t W = 20, int32_t H = 20) {
        bool Changed = Table.Insert(X, Y, TRect::FromSize(X - W / 2, Y - H / 2, W, H), Hook);
        Layout();
        return Changed;
    }
    std::vector<int32_t> ColSizes() const {
        std::vector<int32_t> Sizes;
        for (int32_t I = 0; I < Table.ColCount(); ++I)
            Sizes.push_back(Table.ColAt(I).End - Table.ColAt(I).Start);
        return Sizes;
    }
};

} // namespace

// --- Sizes

TEST(SplitTableLayout, SizableColumnsShareByProportionAroundTheSplitter) {
    TSplitFixture F;
    F.Row({10, 10});
    F.Layout({0, 0, 104, 60});
    EXPECT_EQ(F.Table.Width(), 24); // two minimums and one splitter
    EXPECT_EQ(F.ColSizes(), (std::vector<int32_t>{50, 50}));
    EXPECT_FALSE(F.Table.ColAt(0).HasSplitter);
    ASSERT_TRUE(F.Table.ColAt(1).HasSplitter);
    EXPECT_EQ(F.Table.ColAt(1).Splitter, (TRect{50, 0, 54, 60}));
    EXPECT_EQ(F.Hooks[1]->Placed, (TRect{54, 0, 104, 60}));

    F.Table.SetColProportion(0, 1, 4);
    F.Table.SetColProportion(1, 3, 4);
    F.Layout();
    EXPECT_EQ(F.ColSizes(), (std::vector<int32_t>{25, 75}));
}

TEST(SplitTableLayout, FixedColumnsKeepTheirMinimumAndSizableOnesTakeTheRest) {
    TSplitFixture F;
    F.Table.AddChild(0, 0).SetHook(&F.NewHook(30, 10, false));
    F.Table.AddChild(0, 1).SetHook(&F.NewHook(10, 10, true));
    F.Table.AddChild(0, 2).SetHook(&F.NewHook(10, 10, true));
    F.Layout({0, 0, 108, 20});
    // 108 - 30 - two splitters = 70 shared as 35 and 35.
    EXPECT_EQ(F.ColSizes(), (std::vector<int32_t>{30, 35, 35}));
    EXPECT_EQ(F.Table.ColAt(2).End, 108);
}

TEST(SplitTableLayout, ColumnsBelowTheirMinimumTakeItFromTheOthers) {
    TSplitFixture F;
    F.Table.SetSplitterWidth(0);
    F.Row({30, 10});
    F.Table.SetColProportion(0, 1, 10);
    F.Table.SetColProportion(1, 9, 10);
    F.Layout({0, 0, 100, 20});
    EXPECT_EQ(F.ColSizes(), (std::vector<int32_t>{30, 70}));
}

TEST(SplitTableLayout, NarrowerThanTheMinimumsGivesEachItsMinimumAndOverflowsRight) {
    TSplitFixture F;
    F.Row({60, 60});
    F.Layout({0, 0, 100, 20});
    EXPECT_EQ(F.ColSizes(), (std::vector<int32_t>{60, 60}));
    EXPECT_EQ(F.Table.ColAt(1).Start, 64);
    EXPECT_EQ(F.Table.ColAt(1).End, 124);
    // Each child is clipped to the table.
    EXPECT_EQ(F.Hooks[1]->Placed, (TRect{64, 0, 100, 20}));
    EXPECT_EQ(F.Table.ColAt(1).InnerEnd, 100);
}

TEST(SplitTableLayout, InvisibleColumnsTakeNoSpaceAndNoSplitter) {
    TSplitFixture F;
    F.Row({10, 10, 10});
    F.Hooks[1]->Info.Visible = false;
    F.Layout({0, 0, 104, 20});
    EXPECT_FALSE(F.Table.ColAt(1).HasSplitter);
    EXPECT_TRUE(F.Table.ColAt(2).HasSplitter);
    EXPECT_EQ(F.ColSizes(), (std::vector<int32_t>{50, 0, 50}));
}

TEST(SplitTableLayout, RowsShareLikeColumns) {
    TSplitFixture F;
    F.Table.AddChild(0, 0).SetHook(&F.NewHook(10, 10));
    F.Table.AddChild(1, 0).SetHook(&F.NewHook(10, 20));
    F.Table.SetRowProportion(0, 1, 3);
    F.Table.SetRowProportion(1, 2, 3);
    F.Layout({0, 0, 50, 64});
    EXPECT_EQ(F.Table.Height(), 34);
    EXPECT_EQ(F.Table.RowAt(0).End - F.Table.RowAt(0).Start, 20);
    EXPECT_EQ(F.Table.RowAt(1).Splitter, (TRect{0, 20, 50, 24}));
    EXPECT_EQ(F.Hooks[1]->Placed, (TRect{0, 24, 50, 64}));
}

TEST(SplitTableLayout, EverySizableColumnAtShareZeroSharesEqually) {
    TSplitFixture F;
    F.Row({0, 0, 0});
    for (int32_t I = 0; I < 3; ++I)
        F.Table.SetColProportion(I, 0, 1);
    F.Layout({0, 0, 38, 10});
    EXPECT_EQ(F.ColSizes(), (std::vector<int32_t>{10, 10, 10}));
}

TEST(SplitTableLayout, ProportionsAreKeptWithinRange) {
    TSplitTable Table;
    Table.AddChild(0, 0);
    Table.SetColProportion(0, -5, 0);
    EXPECT_EQ(Table.ColAt(0).Div, 1);
    EXPECT_EQ(Table.ColAt(0).Mul, 0);
    Table.SetColProportion(0, 9, 4);
    EXPECT_EQ(Table.ColAt(0).Mul, 4);
    Table.SetSplitterWidth(-3);
    EXPECT_EQ(Table.SplitterWidth(), 0);
}

// --- Splitters

TEST(SplitTableSplitter, MovingStopsAtEitherNeighboursMinimum) {
    struct TCase {
        int32_t Position;
        std::vector<int32_t> Sizes;
    };
    const TCase Cases[] = {{30, {30, 70}}, {95, {80, 20}}, {0, {10, 90}}, {50, {50, 50}}};
    for (const TCase& Case : Cases) {
        TSplitFixture F;
        F.Row({10, 20});
        F.Layout({0, 0, 104, 20});
        F.Table.MoveColSplitter(1, Case.Position);
        F.Layout();
        EXPECT_EQ(F.ColSizes(), Case.Sizes) << Case.Position;
    }
}

TEST(SplitTableSplitter, NoRoomForAMoveLeavesTheSizes) {
    TSplitFixture F;
    F.Row({50, 50});
    F.Layout({0, 0, 104, 20});
    F.Table.MoveColSplitter(1, 10);
    F.Layout();
    EXPECT_EQ(F.ColSizes(), (std::vector<int32_t>{50, 50}));
    // Nothing before the first visible column: nothing moves.
    F.Table.MoveColSplitter(0, 10);
    F.Layout();
    EXPECT_EQ(F.ColSizes(), (std::vector<int32_t>{50, 50}));
}

TEST(SplitTableSplitter, MovingInATableLaidOutAtWidthZeroSharesEquallyLater) {
    TSplitFixture F;
    F.Row({0, 0});
    F.Table.SetColProportion(0, 1, 5);
    F.Layout({0, 0, 0, 20});
    F.Table.MoveColSplitter(1, 3);
    EXPECT_GE(F.Table.ColAt(0).Div, 1);
    EXPECT_GE(F.Table.ColAt(1).Div, 1);
    F.Layout({0, 0, 104, 20});
    EXPECT_EQ(F.ColSizes(), (std::vector<int32_t>{50, 50}));
}

TEST(SplitTableSplitter, RowSplittersMoveWithinTheirLimits) {
    TSplitFixture F;
    F.Table.AddChild(0, 0).SetHook(&F.NewHook(10, 10));
    F.Table.AddChild(1, 0).SetHook(&F.NewHook(10, 10));
    F.Layout({0, 0, 20, 104});
    F.Table.MoveRowSplitter(1, 20);
    F.Layout();
    EXPECT_EQ(F.Table.RowAt(0).End, 20);
    EXPECT_EQ(F.Table.RowAt(1).Start, 24);
    EXPECT_EQ(F.Table.RowAt(1).End, 104);
}

TEST(SplitTableSplitter, SplitterAtFindsStripsWithSlackAndCrossings) {
    TSplitFixture F;
    F.Table.AddChild(0, 0).SetHook(&F.NewHook());
    TSplitTable& Right = F.Table.AddChild(0, 1);
    Right.AddChild(0, 0).SetHook(&F.NewHook());
    Right.AddChild(1, 0).SetHook(&F.NewHook());
    F.Layout({0, 0, 104, 104});
    // Column splitter at x 50..54; the right half's row splitter at y 50..54.
    ASSERT_EQ(Right.RowAt(1).Splitter, (TRect{54, 50, 104, 54}));
    TSplitterHit Hit = F.Table.SplitterAt(48, 10, 2);
    EXPECT_EQ(Hit.ColTable, &F.Table);
    EXPECT_EQ(Hit.Col, 1);
    EXPECT_EQ(Hit.RowTable, nullptr);
    Hit = F.Table.SplitterAt(47, 10, 2);
    EXPECT_EQ(Hit.ColTable, nullptr);
    Hit = F.Table.SplitterAt(80, 55, 2);
    EXPECT_EQ(Hit.RowTable, &Right);
    EXPECT_EQ(Hit.Row, 1);
    // Where they meet both are found.
    Hit = F.Table.SplitterAt(55, 52, 2);
    EXPECT_EQ(Hit.ColTable, &F.Table);
    EXPECT_EQ(Hit.RowTable, &Right);
}

// --- Insertion and the tree

TEST(SplitTableInsert, ControlsSplitCellsTowardThePoint) {
    TSplitFixture F;
    TProbeHook& A = F.NewHook();
    EXPECT_TRUE(F.Drop(52, 30, A));
    EXPECT_EQ(F.Table.Hook(), &A);
    // Dropping a control onto its own cell changes nothing.
    EXPECT_FALSE(F.Drop(20, 20, A));
    // Far to the right of a square root leaf: side by side, after it.
    TProbeHook& B = F.NewHook();
    EXPECT_TRUE(F.Drop(100, 32, B));
    ASSERT_EQ(F.Table.ColCount(), 2);
    EXPECT_EQ(F.Table.CellAt(0, 1)->Hook(), &B);
    // B came with the drop's width; make the halves equal.
    EXPECT_LT(F.ColSizes()[1], 30);
    F.Table.SetColProportion(0, 1, 1);
    F.Table.SetColProportion(1, 1, 1);
    F.Layout();
    // Low in B's cell of a wide table: B splits one above the other.
    TProbeHook& C = F.NewHook();
    EXPECT_TRUE(F.Drop(80, 50, C));
    TSplitTable* Split = B.Table()->Parent();
    ASSERT_NE(Split, &F.Table);
    EXPECT_EQ(Split->RowCount(), 2);
    EXPECT_EQ(Split->CellAt(1, 0)->Hook(), &C);
}

TEST(SplitTableInsert, NearTheRootsEdgeANewRowSpansTheWholeTable) {
    TSplitFixture F;
    TProbeHook& A = F.NewHook();
    TProbeHook& B = F.NewHook();
    F.Drop(52, 30, A);
    F.Drop(100, 32, B);
    TProbeHook& C = F.NewHook();
    // Within min(16, 60 / 16) = 3 px of the bottom.
    TTableHit<TSplitTable> Hit = F.Table.HitTest(50, 59, TRect::FromSize(48, 57, 4, 4));
    EXPECT_EQ(Hit.Target, &F.Table);
    EXPECT_EQ(Hit.RowAction, TTableAction::Wrap);
    EXPECT_EQ(Hit.Row, 1);
    F.Table.Insert(50, 59, TRect::FromSize(48, 57, 4, 4), C);
    F.Layout();
    EXPECT_EQ(F.Table.RowCount(), 2);
    EXPECT_EQ(F.Table.ColCount(), 1);
    EXPECT_EQ(F.Table.CellAt(1, 0)->Hook(), &C);
    EXPECT_EQ(F.Table.CellAt(0, 0)->ColCount(), 2);
}

TEST(SplitTableInsert, RemovingTheLastControlOfATwoCellTableLeavesOneLeaf) {
    TSplitFixture F;
    TProbeHook& A = F.NewHook();
    F.Drop(52, 30, A);
    {
        TProbeHook B;
        F.Drop(100, 32, B);
        ASSERT_EQ(F.Table.ChildCount(), 2);
    }
    EXPECT_FALSE(F.Table.HasChildren());
    EXPECT_EQ(F.Table.ColCount(), 0);
    EXPECT_EQ(F.Table.RowCount(), 0);
    EXPECT_EQ(F.Table.Hook(), &A);
}

TEST(SplitTableInsert, AControlMovedWithinItsParentKeepsItsShare) {
    TSplitFixture F;
    F.Row({10, 10, 10});
    F.Table.SetColProportion(0, 1, 5);
    F.Table.SetColProportion(1, 2, 5);
    F.Table.SetColProportion(2, 2, 5);
    F.Layout({0, 0, 208, 60});
    TProbeHook& First = *F.Hooks[0];
    // Dropped just right of the last column's centre, wide table: a new
    // column after it.
    F.Table.Insert(190, 30, TRect::FromSize(180, 20, 20, 20), First);
    F.Layout();
    ASSERT_EQ(F.Table.ColCount(), 3);
    EXPECT_EQ(F.Table.CellAt(0, 2)->Hook(), &First);
    EXPECT_EQ(F.Table.ColAt(2).Mul, 1);
    EXPECT_EQ(F.Table.ColAt(2).Div, 5);
}

TEST(SplitTableInsert, AControlFromElsewhereGetsTheShareOfItsSize) {
    TSplitFixture F;
    F.Row({10, 10});
    F.Layout({0, 0, 204, 60}); // two columns of 100
    TProbeHook& Newcomer = F.NewHook();
    // A 52 px wide drop right of the last column's centre.
    F.Table.Insert(180, 30, TRect::FromSize(154, 20, 52, 20), Newcomer);
    F.Layout();
    ASSERT_EQ(F.Table.ColCount(), 3);
    EXPECT_EQ(F.Table.CellAt(0, 2)->Hook(), &Newcomer);
    // The others keep 100 + 100 + a splitter and the newcomer asks for 52
    // of 204: after the new splitter it ends up about that wide.
    const int32_t Width = F.ColSizes()[2];
    EXPECT_NEAR(Width, 52, 3);
}

TEST(SplitTableInsert, ControlHookPlacesItsControl) {
    TWidget Control;
    Control.SetBounds({0, 0, 30, 12});
    TControlSplitTableHook Hook(Control);
    TSplitTableHook::TInfo Info;
    Hook.GetInfo(Info);
    EXPECT_EQ(Info.Width, 30);
    EXPECT_EQ(Info.Height, 12);
    EXPECT_TRUE(Info.Visible);
    EXPECT_FALSE(Info.HorzSizable);
    TSplitTable Table;
    Table.Insert(0, 0, {}, Hook);
    Table.Update();
    Table.SetBounds({5, 6, 50, 40});
    EXPECT_EQ(Control.Bounds(), (TRect{5, 6, 50, 40}));
}
