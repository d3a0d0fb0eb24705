#include "core/data.h"
#include "toolkit/layout/split_table.h"
#include "toolkit/layout/table.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Items named by a string: a stored item is a "Name" entry; loading builds
// a hook that this store owns. Names starting with "Refused" are refused.
template <class THook>
class TNamedItems : public TTableItems<THook> {
public:
    struct TNamedHook : THook {
        std::string Name;
    };

    THook& Make(const std::string& Name) {
        Hooks.push_back(std::make_unique<TNamedHook>());
        Hooks.back()->Name = Name;
        return *Hooks.back();
    }
    static const std::string& NameOf(const THook* Hook) { return static_cast<const TNamedHook*>(Hook)->Name; }

    bool IsStored(const THook& /*Hook*/) const override { return true; }
    void SaveItem(TData& Data, const THook& Hook) override { Data.WriteString("Name", NameOf(&Hook)); }
    THook* LoadItem(TData& Data) override {
        const std::string Name = Data.ReadString("Name", "");
        ++Loads;
        if (Name.rfind("Refused", 0) == 0)
            return nullptr;
        return &Make(Name);
    }

    std::vector<std::unique_ptr<TNamedHook>> Hooks;
    int32_t Loads = 0;
};

template <class TNode, class THook>
std::string Store(const TNode& Table, TNamedItems<THook>& Items) {
    TData Data;
    {
        TDataSection Section(Data, "Table");
        Table.Save(Data, &Items);
    }
    return Data.SaveToText();
}

template <class TNode, class THook>
void Restore(TNode& Table, const std::string& Text, TNamedItems<THook>& Items) {
    TData Data;
    Data.LoadFromText(Text);
    TDataSection Section(Data, "Table");
    Table.Load(Data, &Items);
}

// The tree's shape as text: nodes by cell, hooks by name.
template <class TNode, class THook>
std::string Shape(const TNode& Node) {
    std::string Text;
    if (Node.Hook())
        Text += TNamedItems<THook>::NameOf(Node.Hook());
    if (Node.HasChildren()) {
        Text += "[" + std::to_string(Node.ColCount()) + "x" + std::to_string(Node.RowCount());
        for (int32_t I = 0; I < Node.ChildCount(); ++I) {
            const TNode& Child = Node.Child(I);
            Text += " " + std::to_string(Child.Row()) + "," + std::to_string(Child.Col()) + ":" +
                    Shape<TNode, THook>(Child);
        }
        Text += "]";
    }
    return Text;
}

using TSplitItems = TNamedItems<TSplitTableHook>;
using TFixedItems = TNamedItems<TTableHook>;

} // namespace

TEST(TableStore, SplitTableStoresLoadsAndStoresTheSameText) {
    TSplitItems Items;
    TSplitTable Table;
    Table.AddChild(0, 0).SetHook(&Items.Make("Browser"));
    TSplitTable& Right = Table.AddChild(0, 1);
    Right.AddChild(0, 0).SetHook(&Items.Make("Player"));
    Right.AddChild(1, 0).SetHook(&Items.Make("Properties"));
    Table.SetColProportion(0, 120, 400);
    Table.SetColProportion(1, 276, 400);
    Right.SetRowProportion(0, 2, 3);
    Right.SetRowProportion(1, 1, 3);
    const std::string First = Store(Table, Items);
    EXPECT_NE(First.find("Ref[1].Div"), std::string::npos);
    EXPECT_NE(First.find("Cell[1]"), std::string::npos);

    TSplitItems Loaded;
    TSplitTable Copy;
    Restore(Copy, First, Loaded);
    EXPECT_EQ((Shape<TSplitTable, TSplitTableHook>(Copy)),
              "[2x1 0,0:Browser 0,1:[1x2 0,0:Player 1,0:Properties]]");
    EXPECT_EQ(Copy.ColAt(0).Mul, 120);
    EXPECT_EQ(Copy.ColAt(1).Div, 400);
    EXPECT_EQ(Copy.Child(1).RowAt(0).Mul, 2);
    EXPECT_EQ(Store(Copy, Loaded), First);
    // Loading again builds nothing twice: every cell already has its node.
    const int32_t Loads = Loaded.Loads;
    Restore(Copy, First, Loaded);
    EXPECT_EQ(Loaded.Loads, Loads);
    EXPECT_EQ(Store(Copy, Loaded), First);
}

TEST(TableStore, FixedTableStoresLoadsAndStoresTheSameText) {
    TFixedItems Items;
    TTable Table;
    Table.AddChild(0, 0).SetHook(&Items.Make("Label"));
    Table.AddChild(0, 2).SetHook(&Items.Make("Edit"));
    TTable& Below = Table.AddChild(1, 1);
    Below.AddChild(0, 0).SetHook(&Items.Make("Ok"));
    Below.AddChild(0, 1).SetHook(&Items.Make("Cancel"));
    const std::string First = Store(Table, Items);
    EXPECT_EQ(First.find("Cols"), std::string::npos); // fixed tables keep no shares

    TFixedItems Loaded;
    TTable Copy;
    Restore(Copy, First, Loaded);
    EXPECT_EQ((Shape<TTable, TTableHook>(Copy)), "[3x2 0,0:Label 0,2:Edit 1,1:[2x1 0,0:Ok 0,1:Cancel]]");
    EXPECT_EQ(Store(Copy, Loaded), First);
}

TEST(TableStore, StoredSharesOutOfRangeAreClamped) {
    struct TCase {
        const char* Mul;
        const char* Div;
        int32_t ExpectedMul, ExpectedDiv;
    };
    const TCase Cases[] = {
        {"3", "0", 1, 1},       {"5", "-7", 1, 1},     {"-4", "10", 0, 10},
        {"50", "10", 10, 10},   {"x", "y", 1, 1},      {"99999999999", "99999999999", 2147483647, 2147483647},
    };
    for (const TCase& Case : Cases) {
        TData Data;
        Data.WriteInteger("Count", 2);
        for (int32_t I = 0; I < 2; ++I) {
            TDataSection Cell(Data, ListItemName("Cell[", I));
            Data.WriteInteger("IndexX", I);
            Data.WriteInteger("IndexY", 0);
        }
        {
            TDataSection Cols(Data, "Cols");
            Data.WriteRaw("Ref[0].Mul", Case.Mul);
            Data.WriteRaw("Ref[0].Div", Case.Div);
        }
        TSplitTable Table;
        Table.Load(Data, nullptr);
        ASSERT_EQ(Table.ColCount(), 2);
        EXPECT_EQ(Table.ColAt(0).Mul, Case.ExpectedMul) << Case.Mul << "/" << Case.Div;
        EXPECT_EQ(Table.ColAt(0).Div, Case.ExpectedDiv) << Case.Mul << "/" << Case.Div;
        EXPECT_LE(Table.ColAt(0).Mul, Table.ColAt(0).Div);
    }
}

TEST(TableStore, CellsWithNegativeHugeOrDuplicateIndicesAreSkipped) {
    TData Data;
    Data.WriteInteger("Count", 6);
    const int32_t Cells[][2] = {{0, 0}, {-1, 0}, {0, 2000000000}, {0, 0}, {1, 1}, {5, 5}};
    for (int32_t I = 0; I < 6; ++I) {
        TDataSection Cell(Data, ListItemName("Cell[", I));
        Data.WriteInteger("IndexX", Cells[I][0]);
        Data.WriteInteger("IndexY", Cells[I][1]);
        TDataSection Item(Data, "Item");
        Data.WriteString("Name", "Item" + std::to_string(I));
    }
    TSplitItems Items;
    TSplitTable Table;
    Table.Load(Data, &Items);
    EXPECT_EQ((Shape<TSplitTable, TSplitTableHook>(Table)), "[6x6 0,0:Item0 1,1:Item4 5,5:Item5]");
    EXPECT_EQ(Items.Loads, 3);
    Table.Update();
    Table.SetBounds({0, 0, 300, 200});
}

TEST(TableStore, RefusedItemsLeaveEmptyCellsThatLayOutAsNothing) {
    TData Data;
    Data.WriteInteger("Count", 2);
    for (int32_t I = 0; I < 2; ++I) {
        TDataSection Cell(Data, ListItemName("Cell[", I));
        Data.WriteInteger("IndexX", I);
        TDataSection Item(Data, "Item");
        Data.WriteString("Name", I == 0 ? "Refused" : "Kept");
    }
    TFixedItems Items;
    TTable Table;
    Table.Load(Data, &Items);
    ASSERT_EQ(Table.ChildCount(), 2);
    EXPECT_EQ(Table.Child(0).Hook(), nullptr);
    Table.Update();
    Table.SetBounds({0, 0, 40, 10});
    EXPECT_EQ(Table.ColAt(0).End - Table.ColAt(0).Start, 0);
}

TEST(TableStore, HugeCountsAndDeepNestingLoadInBoundedTimeAndMemory) {
    // A count far beyond the stored cells, and a chain of grids nested
    // nearly as deep as a document may be.
    TData Data;
    Data.WriteInteger("Count", 2000000000);
    {
        TDataSection Cell(Data, "Cell[0]");
        int32_t Depth = 0;
        for (; Depth < MaxDataDepth - 10; ++Depth) {
            Data.WriteInteger("Count", 2147483647);
            Data.WriteInteger("IndexX", 0);
            Data.Enter("Cell[0]");
        }
        Data.Enter("Item");
        Data.WriteString("Name", "Deep");
        Data.Leave();
        for (; Depth > 0; --Depth)
            Data.Leave();
    }
    // Many cells in one grid, in reverse order, some duplicated, most past
    // the cells a grid reads.
    {
        TDataSection Cell(Data, "Cell[1]");
        Data.WriteInteger("IndexX", 1);
        Data.WriteInteger("Count", 100000);
        for (int32_t I = 0; I < 5000; ++I) {
            TDataSection Inner(Data, ListItemName("Cell[", I));
            Data.WriteInteger("IndexX", 1023 - I % 1500);
            Data.WriteInteger("IndexY", I % 7 == 0 ? -I : 0);
        }
    }
    const std::string Text = Data.SaveToText();

    TSplitItems Items;
    TSplitTable Table;
    TData Reread;
    Reread.LoadFromText(Text);
    Table.Load(Reread, &Items);
    ASSERT_EQ(Table.ChildCount(), 2);
    EXPECT_EQ(Items.Loads, 0); // the deep item lies past the nesting limit
    int32_t Depth = 0;
    for (const TSplitTable* Node = &Table.Child(0); Node->HasChildren(); Node = &Node->Child(0))
        ++Depth;
    EXPECT_LT(Depth, MaxStoredTableDepth);
    const TSplitTable& Wide = Table.Child(1);
    // Of the first 1024 cells those on row 0 with a column in range are read.
    EXPECT_EQ(Wide.ChildCount(), 1024 - 1024 / 7); // rows -7, -14, ... are skipped
    EXPECT_LE(Wide.ColCount(), MaxStoredTableCells);
    for (int32_t I = 1; I < Wide.ChildCount(); ++I)
        EXPECT_LT(Wide.Child(I - 1).Col(), Wide.Child(I).Col());
    Table.Update();
    Table.SetBounds({0, 0, 800, 600});
    TFixedItems FixedItems;
    TTable Fixed;
    TData Again;
    Again.LoadFromText(Text);
    Fixed.Load(Again, &FixedItems);
    Fixed.Update();
    Fixed.SetBounds({0, 0, 800, 600});
    EXPECT_EQ(Fixed.ChildCount(), 2);
}
