#pragma once

#include "core/geometry.h"
#include "toolkit/forward.h"
#include "toolkit/layout/table_tree.h"

#include <cstdint>
#include <string_view>
#include <vector>

class TWidget;

// A column or a row of a splitter table.
struct TSplitTableLine {
    std::vector<TSplitTable*> Nodes; // sorted by the other index
    // The line's share of the table's extent as the fraction Mul / Div.
    int32_t Mul = 1;
    int32_t Div = 1;
    int32_t MinSize = 0;  // largest minimum of its visible nodes
    bool Sizable = false; // some visible node is sizable this way
    bool Visible = false; // some node is visible
    // A splitter strip lies before every visible line but the first.
    bool HasSplitter = false;
    TRect Splitter;
    int32_t Start = 0;
    int32_t End = 0;
    int32_t InnerStart = 0;
    int32_t InnerEnd = 0;
};
using TSplitTableCol = TSplitTableLine;
using TSplitTableRow = TSplitTableLine;

// What a splitter table knows of a control: its minimum size, whether it
// shows and whether it may grow, and where it goes.
class TSplitTableHook : public TTableHookOf<TSplitTable> {
public:
    struct TInfo {
        int32_t Width = 0;
        int32_t Height = 0;
        bool Visible = false;
        bool VertSizable = false;
        bool HorzSizable = false;
    };

    std::string_view ClassName() const override { return "TSplitTableHook"; }

    virtual void GetInfo(TInfo& Info) { Info = TInfo{}; }
    virtual void SetBounds(const TRect& /*Rect*/) {}
};

// A control in a splitter table; the control is the caller's and must
// outlive the hook. Its size when the hook is made is its minimum.
class TControlSplitTableHook : public TSplitTableHook {
public:
    explicit TControlSplitTableHook(TWidget& Control);

    std::string_view ClassName() const override { return "TControlSplitTableHook"; }

    TWidget& Control;
    int32_t Width;
    int32_t Height;
    bool HorzSizable = false;
    bool VertSizable = false;
    bool Visible = true;

    void GetInfo(TInfo& Info) override;
    void SetBounds(const TRect& Rect) override;
};

// The splitter under a point: a column splitter, a row splitter, or both
// where two cross. A table is null when none was found.
struct TSplitterHit {
    TSplitTable* ColTable = nullptr;
    int32_t Col = -1;
    TSplitTable* RowTable = nullptr;
    int32_t Row = -1;
};

// The splitter engine the split docks are built on: columns and rows keep
// proportions (Mul / Div) of the table's extent, thin splitter strips lie
// between visible lines, the user drags them, and a control dropped onto the
// table goes next to the one under the mouse by splitting a cell.
//
//   TSplitTable Root;
//   Root.SetSplitterWidth(4);
//   Root.Insert(X, Y, DropRect, Hook);
//   Root.Update();
//   Root.SetBounds(Client);
//   if (auto Hit = Root.SplitterAt(X, Y, 2); Hit.ColTable)
//       Hit.ColTable->MoveColSplitter(Hit.Col, X);
class TSplitTable : public TTableTree<TSplitTable, TSplitTableLine, TSplitTableHook> {
public:
    TSplitTable() = default;

    std::string_view ClassName() const override { return "TSplitTable"; }

    // The root's width rules the tree: Update copies it downwards.
    int32_t SplitterWidth() const { return FSplitterWidth; }
    void SetSplitterWidth(int32_t Width);
    int32_t Width() const { return FWidth; }
    int32_t Height() const { return FHeight; }
    bool HorzSizable() const { return FHorzSizable; }
    bool VertSizable() const { return FVertSizable; }
    bool Visible() const { return FVisible; }
    const TRect& Bounds() const { return FBounds; }
    const TRect& Inner() const { return FInner; }

    // Sets a line's share; Div is kept at least 1 and Mul within 0..Div.
    void SetColProportion(int32_t Index, int32_t Mul, int32_t Div);
    void SetRowProportion(int32_t Index, int32_t Mul, int32_t Div);

    // Recomputes minimum sizes, visibility and splitters of the subtree.
    void Update();
    // Places the node and everything below it.
    void SetBounds(const TRect& Rect);
    // Puts Hook into the tree at (X, Y) for a control of DropRect's size,
    // next to the control under the point; returns whether the tree
    // changed. The caller updates and places the root afterwards.
    bool Insert(int32_t X, int32_t Y, const TRect& DropRect, TSplitTableHook& Hook);
    // Where Insert would put a hook.
    TTableHit<TSplitTable> HitTest(int32_t X, int32_t Y, const TRect& DropRect);

    // The first column and row splitters (depth-first) within Slack of the
    // point across the strip.
    TSplitterHit SplitterAt(int32_t X, int32_t Y, int32_t Slack);
    // Moves the splitter before column (row) Index to Position, keeping
    // both neighbours at their minimum at least; the caller places the
    // table again.
    void MoveColSplitter(int32_t Index, int32_t Position);
    void MoveRowSplitter(int32_t Index, int32_t Position);

    static constexpr int32_t MaxExtent = 1 << 20;
    static constexpr int32_t MaxSplitterWidth = 256;

private:
    friend class TTableTree<TSplitTable, TSplitTableLine, TSplitTableHook>;

    void SaveLines(TData& Data) const;
    void LoadLines(TData& Data);
    void SizeLines(std::vector<TSplitTableLine>& Lines, int32_t From, int32_t Extent, int32_t Wanted,
                   int32_t CrossFrom, int32_t CrossTo, bool Across);
    void MoveSplitter(std::vector<TSplitTableLine>& Lines, int32_t Index, int32_t Position, int32_t Extent,
                      bool IsRow);
    void SearchSplitters(int32_t X, int32_t Y, int32_t Slack, TSplitterHit& Hit);
    void SizeFromDrop(TSplitTableLine& Line, const std::vector<TSplitTableLine>& Lines, int32_t Index,
                      int64_t Wanted, int32_t Extent) const;

    int32_t FSplitterWidth = 0;
    int32_t FWidth = 0;
    int32_t FHeight = 0;
    bool FHorzSizable = false;
    bool FVertSizable = false;
    bool FVisible = false;
    TRect FBounds;
    TRect FInner;
};
