#pragma once

#include "core/data.h"
#include "core/error.h"
#include "core/object.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The grid tree both layout engines (TTable, TSplitTable) are made of: a
// node either holds one hook (the stand-in for a control) or is a grid of
// columns and rows whose cells hold child nodes. This header keeps the
// structure, the self-repair after a removal, the insertion steps shared by
// both engines and the stored form; the engines add sizes and placement.
//
// Ownership: a node owns its children; the root belongs to whoever made it
// (a dock, a tool window). Hooks belong to their controls' owners; a node
// only points at its hook, and either side detaches the other when it goes.

// What an insertion does along one direction of the target grid.
enum class TTableAction : uint8_t {
    None,   // no new column (row)
    Insert, // a new column (row) at the index
    Wrap,   // the target's content moves into a cell first, then as Insert
};

// Limits that keep a damaged stored table bounded in time and memory: cells
// per grid and grid nesting read from a document. Interactive editing never
// comes near either.
constexpr int32_t MaxStoredTableCells = 1024;
constexpr int32_t MaxStoredTableDepth = 64;

// How the dock that owns a table stores the items its hooks stand for.
template <class THook>
class TTableItems {
public:
    virtual ~TTableItems() = default;
    // Whether Hook stands for an item that is written under "Item".
    virtual bool IsStored(const THook& Hook) const = 0;
    // Writes Hook's item into the current section.
    virtual void SaveItem(TData& Data, const THook& Hook) = 0;
    // Builds the item stored in the current section and returns its hook
    // (owned by the item), or null when the stored item is refused.
    virtual THook* LoadItem(TData& Data) = 0;
};

template <class TNode, class TLine, class THook>
class TTableTree;

// The base of both engines' hooks: the node that holds the hook. Destroying
// a hook detaches it and frees its node when that node has a parent.
template <class TNode>
class TTableHookOf : public TObject {
public:
    TTableHookOf() = default;
    ~TTableHookOf() override {
        if (FTable)
            TNode::HookGone(*this);
    }
    TTableHookOf(const TTableHookOf&) = delete;
    TTableHookOf& operator=(const TTableHookOf&) = delete;

    TNode* Table() const { return FTable; }

private:
    template <class, class, class>
    friend class TTableTree;
    TNode* FTable = nullptr;
};

// Where an insertion puts a hook, as a hit test finds it: a target node and
// the action along each direction with its index. IntoCell asks for a new
// node in the free cell (Row, Col) of the target grid without new lines.
template <class TNode>
struct TTableHit {
    TNode* Target = nullptr;
    TTableAction ColAction = TTableAction::None;
    TTableAction RowAction = TTableAction::None;
    int32_t Col = 0;
    int32_t Row = 0;
    bool IntoCell = false;
};

template <class TNode, class TLine, class THook>
class TTableTree : public TObject {
public:
    TTableTree(const TTableTree&) = delete;
    TTableTree& operator=(const TTableTree&) = delete;
    // Frees the subtree without repairing anything above: the parent is
    // either going too or has already let go of this node.
    ~TTableTree() override { ReleaseHook(); }

    TNode* Parent() const { return FParent; }
    int32_t Col() const { return FCol; }
    int32_t Row() const { return FRow; }
    THook* Hook() const { return FHook; }
    bool HasChildren() const { return !FChildren.empty(); }
    int32_t ChildCount() const { return int32_t(FChildren.size()); }
    // Children are kept sorted by (Row, Col).
    TNode& Child(int32_t Index) const { return *FChildren[size_t(Index)]; }
    int32_t ColCount() const { return int32_t(FCols.size()); }
    int32_t RowCount() const { return int32_t(FRows.size()); }
    const TLine& ColAt(int32_t Index) const { return FCols[size_t(Index)]; }
    const TLine& RowAt(int32_t Index) const { return FRows[size_t(Index)]; }

    TNode& Root() {
        TNode* Node = Self();
        while (Node->FParent)
            Node = Node->FParent;
        return *Node;
    }

    // A new empty node in the free cell (Row, Col); the column and row lists
    // grow as needed so that the cell exists.
    TNode& AddChild(int32_t Row, int32_t Col) {
        assert(Row >= 0 && Col >= 0 && "cells have non-negative indices");
        assert(!CellAt(Row, Col) && "the cell is taken");
        auto Node = std::make_unique<TNode>();
        TNode& Result = *Node;
        Adopt(std::move(Node), Row, Col);
        return Result;
    }

    // Frees Node and repairs its parent, so that no empty column or row and
    // no single-child grid is left. A root is emptied instead: its owner
    // keeps it.
    static void Destroy(TNode& Node) {
        TNode* Parent = Node.FParent;
        if (!Parent) {
            Node.Clear();
            return;
        }
        Parent->Detach(Node, TEmptyLines::Delete).reset();
        Parent->Repair();
    }

    void InsertCols(int32_t Index, int32_t Count) { InsertLines(FCols, &TTableTree::FCol, Index, Count); }
    void InsertRows(int32_t Index, int32_t Count) { InsertLines(FRows, &TTableTree::FRow, Index, Count); }
    // The columns (rows) deleted must hold no node.
    void DeleteCols(int32_t Index, int32_t Count) { DeleteLines(FCols, &TTableTree::FCol, Index, Count); }
    void DeleteRows(int32_t Index, int32_t Count) { DeleteLines(FRows, &TTableTree::FRow, Index, Count); }

    // Attaches Hook (taking it from any other node, which stays) and lets
    // go of the node's previous hook. Null only detaches.
    void SetHook(THook* Hook) {
        if (Hook == FHook)
            return;
        ReleaseHook();
        if (!Hook)
            return;
        if (TNode* Previous = Hook->FTable)
            Previous->FHook = nullptr;
        Hook->FTable = Self();
        FHook = Hook;
    }

    // The node of this subtree that holds Hook, or null.
    TNode* FindHook(const THook* Hook) {
        if (!Hook)
            return nullptr;
        for (TNode* Node = Hook->FTable; Node; Node = Node->FParent)
            if (Node == Self())
                return Hook->FTable;
        return nullptr;
    }

    // The child in cell (Row, Col), or null; searched in the shorter of the
    // column's and the row's lists.
    TNode* CellAt(int32_t Row, int32_t Col) const {
        if (Row < 0 || Col < 0 || Row >= RowCount() || Col >= ColCount())
            return nullptr;
        const std::vector<TNode*>& InCol = FCols[size_t(Col)].Nodes;
        const std::vector<TNode*>& InRow = FRows[size_t(Row)].Nodes;
        if (InCol.size() <= InRow.size()) {
            for (TNode* Node : InCol)
                if (Node->FRow == Row)
                    return Node;
        } else {
            for (TNode* Node : InRow)
                if (Node->FCol == Col)
                    return Node;
        }
        return nullptr;
    }

    // The stored form, written into and read from the current section of
    // Data (the owner enters its "Table" section). Items may be null: then
    // no item is written or built. Reading treats the document as untrusted:
    // cells with indices out of range or already taken are skipped, counts
    // go through the bounded list reader, and nesting is limited.
    void Save(TData& Data, TTableItems<THook>* Items) const {
        if (HasChildren()) {
            Data.WriteInteger("Count", ChildCount());
            for (int32_t I = 0; I < ChildCount(); ++I) {
                TDataSection Cell(Data, ListItemName("Cell[", I));
                const TNode& Node = Child(I);
                Data.WriteInteger("IndexX", Node.FCol);
                Data.WriteInteger("IndexY", Node.FRow);
                Node.Save(Data, Items);
            }
        }
        Self()->SaveLines(Data);
        if (FHook && Items && Items->IsStored(*FHook)) {
            TDataSection Item(Data, "Item");
            Items->SaveItem(Data, *FHook);
        }
    }

    void Load(TData& Data, TTableItems<THook>* Items) { LoadAt(Data, Items, 0); }

    // Called by a hook that is being destroyed.
    static void HookGone(TTableHookOf<TNode>& Hook) {
        TNode* Node = Hook.FTable;
        Node->FHook = nullptr;
        Hook.FTable = nullptr;
        if (Node->FParent)
            Destroy(*Node);
    }

protected:
    TTableTree() = default;

    enum class TEmptyLines { Keep, Delete };

    TNode* Self() { return static_cast<TNode*>(this); }
    const TNode* Self() const { return static_cast<const TNode*>(this); }

    // Hooks for the engines: nothing to store per line here.
    void SaveLines(TData& /*Data*/) const {}
    void LoadLines(TData& /*Data*/) {}

    void Adopt(std::unique_ptr<TNode> Node, int32_t Row, int32_t Col) {
        if (Col >= ColCount())
            FCols.resize(size_t(Col) + 1);
        if (Row >= RowCount())
            FRows.resize(size_t(Row) + 1);
        Node->FParent = Self();
        Node->FRow = Row;
        Node->FCol = Col;
        TNode* Raw = Node.get();
        auto Place = std::upper_bound(FChildren.begin(), FChildren.end(), Raw,
                                      [](const TNode* Left, const std::unique_ptr<TNode>& Right) {
                                          return CellBefore(*Left, *Right);
                                      });
        FChildren.insert(Place, std::move(Node));
        InsertSorted(FCols[size_t(Col)].Nodes, Raw, [](const TNode* A, const TNode* B) { return A->FRow < B->FRow; });
        InsertSorted(FRows[size_t(Row)].Nodes, Raw, [](const TNode* A, const TNode* B) { return A->FCol < B->FCol; });
    }

    // Takes Node out of its cell and hands it over; with Delete, a column or
    // row that this leaves without nodes goes too.
    std::unique_ptr<TNode> Detach(TNode& Node, TEmptyLines Lines) {
        auto Slot = SlotOf(Node);
        std::unique_ptr<TNode> Owned = std::move(*Slot);
        FChildren.erase(Slot);
        std::vector<TNode*>& InCol = FCols[size_t(Node.FCol)].Nodes;
        InCol.erase(std::find(InCol.begin(), InCol.end(), &Node));
        std::vector<TNode*>& InRow = FRows[size_t(Node.FRow)].Nodes;
        InRow.erase(std::find(InRow.begin(), InRow.end(), &Node));
        if (Lines == TEmptyLines::Delete) {
            if (InCol.empty())
                DeleteCols(Node.FCol, 1);
            if (InRow.empty())
                DeleteRows(Node.FRow, 1);
        }
        Node.FParent = nullptr;
        return Owned;
    }

    // After a child went: promotes a single remaining child into this
    // node's place, or frees a grid left with no child.
    void Repair() {
        if (FChildren.size() == 1) {
            std::unique_ptr<TNode> Only = std::move(FChildren.front());
            FChildren.clear();
            FCols.clear();
            FRows.clear();
            Only->FParent = nullptr;
            TNode* Grand = FParent;
            if (!Grand) {
                // The root stays the root: the child's content moves up.
                MoveContentFrom(*Only);
                return;
            }
            TNode& Moved = *Only;
            Moved.FParent = Grand;
            Moved.FCol = FCol;
            Moved.FRow = FRow;
            Grand->ReplaceInLines(*Self(), Moved);
            auto Slot = Grand->SlotOf(*Self());
            std::unique_ptr<TNode> Gone = std::move(*Slot);
            *Slot = std::move(Only);
            Gone.reset(); // this node ends here
            if (Grand->FChildren.size() == 1)
                Grand->Repair();
        } else if (FChildren.empty()) {
            if (FParent)
                Destroy(*Self());
            else {
                FCols.clear();
                FRows.clear();
            }
        }
    }

    // This node (with no children and no hook) takes Source's children,
    // lines and hook; Source is left empty.
    void MoveContentFrom(TNode& Source) {
        FChildren = std::move(Source.FChildren);
        Source.FChildren.clear();
        FCols = std::move(Source.FCols);
        Source.FCols.clear();
        FRows = std::move(Source.FRows);
        Source.FRows.clear();
        for (auto& Child : FChildren)
            Child->FParent = Self();
        if (THook* Hook = Source.FHook) {
            Source.FHook = nullptr;
            Hook->FTable = nullptr;
            SetHook(Hook);
        }
    }

    // The shared steps of an insertion once a hit test has found where:
    // wraps, inserts lines, makes the node, attaches the hook and frees the
    // hook's old node (which repairs its parent). Returns whether anything
    // changed; SameParent tells whether the old node stayed under the
    // parent it had. Engine names the engine in the error for an occupied
    // target, which leaves the tree unchanged.
    bool Place(const TTableHit<TNode>& Hit, THook& Hook, std::string_view Engine, bool* SameParent) {
        TNode* Old = Hook.FTable;
        TNode* Target = Hit.Target;
        if (SameParent)
            *SameParent = false;
        if (!Target || Target == Old)
            return false;
        const bool NoLines = Hit.ColAction == TTableAction::None && Hit.RowAction == TTableAction::None;
        if (NoLines && !Hit.IntoCell) {
            if (Target->HasChildren() || Target->FHook)
                RaiseError(std::string(Engine) + ".Insert (Insert None)");
            Target->SetHook(&Hook);
        } else {
            const bool Wrap = Hit.ColAction == TTableAction::Wrap || Hit.RowAction == TTableAction::Wrap;
            bool Wrapped = false;
            int32_t AddedCol = -1, AddedRow = -1;
            TNode* Node = nullptr;
            try {
                if (Wrap && (Target->HasChildren() || Target->FHook)) {
                    auto Inner = std::make_unique<TNode>();
                    Inner->MoveContentFrom(*Target);
                    Wrapped = true;
                    Target->Adopt(std::move(Inner), 0, 0);
                }
                int32_t Col = Hit.Col, Row = Hit.Row;
                if (Hit.ColAction != TTableAction::None) {
                    Col = std::clamp(Hit.Col, 0, Target->ColCount());
                    Target->InsertCols(Col, 1);
                    AddedCol = Col;
                }
                if (Hit.RowAction != TTableAction::None) {
                    Row = std::clamp(Hit.Row, 0, Target->RowCount());
                    Target->InsertRows(Row, 1);
                    AddedRow = Row;
                }
                if (Col < 0 || Row < 0 || Target->CellAt(Row, Col))
                    RaiseError(std::string(Engine) + ".Insert (Insert None)");
                Node = &Target->AddChild(Row, Col);
            } catch (...) {
                // Undo the partial change before passing the error on.
                if (Node)
                    Target->Detach(*Node, TEmptyLines::Keep).reset();
                if (AddedRow >= 0)
                    Target->DeleteRows(AddedRow, 1);
                if (AddedCol >= 0)
                    Target->DeleteCols(AddedCol, 1);
                if (Wrapped) {
                    std::unique_ptr<TNode> Inner = Target->Detach(Target->Child(0), TEmptyLines::Delete);
                    Target->MoveContentFrom(*Inner);
                }
                throw;
            }
            if (SameParent)
                *SameParent = Old && Old->FParent == Target;
            Node->SetHook(&Hook);
        }
        if (Old && Old != Hook.FTable && !Old->FHook)
            Destroy(*Old);
        return true;
    }

    TNode* FParent = nullptr;
    int32_t FCol = 0;
    int32_t FRow = 0;
    THook* FHook = nullptr;
    std::vector<std::unique_ptr<TNode>> FChildren;
    std::vector<TLine> FCols;
    std::vector<TLine> FRows;

private:
    static bool CellBefore(const TNode& A, const TNode& B) {
        return A.FRow != B.FRow ? A.FRow < B.FRow : A.FCol < B.FCol;
    }

    template <class TLess>
    static void InsertSorted(std::vector<TNode*>& List, TNode* Node, TLess Less) {
        List.insert(std::upper_bound(List.begin(), List.end(), Node, Less), Node);
    }

    typename std::vector<std::unique_ptr<TNode>>::iterator SlotOf(const TNode& Node) {
        auto Slot = std::lower_bound(FChildren.begin(), FChildren.end(), &Node,
                                     [](const std::unique_ptr<TNode>& Left, const TNode* Right) {
                                         return CellBefore(*Left, *Right);
                                     });
        assert(Slot != FChildren.end() && Slot->get() == &Node && "a child of this node");
        return Slot;
    }

    void ReplaceInLines(const TNode& From, TNode& To) {
        for (std::vector<TNode*>* List : {&FCols[size_t(From.FCol)].Nodes, &FRows[size_t(From.FRow)].Nodes})
            std::replace(List->begin(), List->end(), const_cast<TNode*>(&From), &To);
    }

    void ReleaseHook() {
        if (FHook) {
            FHook->FTable = nullptr;
            FHook = nullptr;
        }
    }

    void Clear() {
        ReleaseHook();
        FChildren.clear();
        FCols.clear();
        FRows.clear();
    }

    void InsertLines(std::vector<TLine>& Lines, int32_t TTableTree::*Index, int32_t At, int32_t Count) {
        if (Count <= 0)
            return;
        At = std::clamp(At, 0, int32_t(Lines.size()));
        for (auto& Child : FChildren)
            if (Child.get()->*Index >= At)
                Child.get()->*Index += Count;
        Lines.insert(Lines.begin() + At, size_t(Count), TLine{});
    }

    void DeleteLines(std::vector<TLine>& Lines, int32_t TTableTree::*Index, int32_t At, int32_t Count) {
        At = std::clamp(At, 0, int32_t(Lines.size()));
        Count = std::clamp(Count, 0, int32_t(Lines.size()) - At);
        if (Count == 0)
            return;
        for (int32_t I = At; I < At + Count; ++I)
            assert(Lines[size_t(I)].Nodes.empty() && "only empty lines are deleted");
        Lines.erase(Lines.begin() + At, Lines.begin() + At + Count);
        for (auto& Child : FChildren)
            if (Child.get()->*Index >= At + Count)
                Child.get()->*Index -= Count;
    }

    void LoadAt(TData& Data, TTableItems<THook>* Items, int32_t Depth) {
        if (!Data.Exists("Item")) {
            const int32_t Count = std::min(Data.ReadListCount("Cell["), MaxStoredTableCells);
            if (Depth < MaxStoredTableDepth) {
                for (int32_t I = 0; I < Count; ++I) {
                    const std::string Name = ListItemName("Cell[", I);
                    if (!Data.Exists(Name))
                        continue;
                    TDataSection Cell(Data, Name);
                    // A grid of Count cells never needs an index of Count
                    // or more: larger ones come from a damaged file.
                    const int32_t Col = Data.ReadInteger("IndexX", 0);
                    const int32_t Row = Data.ReadInteger("IndexY", 0);
                    if (Col < 0 || Row < 0 || Col >= Count || Row >= Count || CellAt(Row, Col))
                        continue;
                    AddChild(Row, Col).LoadAt(Data, Items, Depth + 1);
                }
            }
            if (Data.Exists("Cols") || Data.Exists("Rows"))
                Self()->LoadLines(Data);
        } else if (!FHook && Items) {
            THook* Hook = nullptr;
            {
                TDataSection Item(Data, "Item");
                Hook = Items->LoadItem(Data);
            }
            if (Hook)
                SetHook(Hook);
        }
    }
};
