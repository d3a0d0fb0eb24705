#pragma once

#include "core/geometry.h"
#include "toolkit/forward.h"
#include "toolkit/layout/table_tree.h"

#include <cstdint>
#include <string_view>
#include <vector>

class TWidget;

// How a node of a fixed table takes part in the layout.
enum class TTableKind : uint8_t {
    Inherit, // the parent's kind
    Hidden,  // the hook gets its rectangle with Show false
    Floating, // keeps its own size, centred in its parent
    Fixed,   // in the grid
    Visible, // in the grid, shown
};

// A column or a row of a fixed table.
struct TTableLine {
    std::vector<TTable*> Nodes; // sorted by the other index
    int32_t Size = 0;           // largest wanted size of its nodes in the grid
    int32_t Priority = -100;    // their largest priority; -100 when none
    bool Active = false;        // some node of it is in the grid
    int32_t Start = 0;
    int32_t End = 0;
    int32_t InnerStart = 0;
    int32_t InnerEnd = 0;
};
using TTableCol = TTableLine;
using TTableRow = TTableLine;

// What a fixed table knows of a control: its wanted size, kind and stretch
// priorities, and where it goes.
class TTableHook : public TTableHookOf<TTable> {
public:
    struct TInfo {
        int32_t Width = 0;
        int32_t Height = 0;
        TTableKind Kind = TTableKind::Inherit;
        int32_t VertPriority = 0;
        int32_t HorzPriority = 0;
    };

    std::string_view ClassName() const override { return "TTableHook"; }

    virtual void GetInfo(TInfo& Info) { Info = TInfo{}; }
    virtual void SetBounds(int32_t /*Width*/, int32_t /*Height*/, bool /*Show*/, const TRect& /*Rect*/) {}
};

// Where a control goes inside its cell, along one direction.
// The stored numbers are the enumerators' values.
enum class TTableAlign : uint8_t {
    CenterFixed,  // centred; takes no extra space (priority -100)
    Near,         // left or top
    Center,       // centred
    Far,          // right or bottom
    Stretch,      // fills the cell
    StretchFirst, // fills the cell and takes the extra space first (priority 100)
};

// A control in a fixed table. The control is the caller's and must outlive
// the hook; size and visibility are taken from it when the hook is made.
//
//   TControlTableHook Hook(Button);
//   Hook.HorzAlign = TTableAlign::StretchFirst;
//   Table.Child(0).SetHook(&Hook);
class TControlTableHook : public TTableHook {
public:
    explicit TControlTableHook(TWidget& Control);

    std::string_view ClassName() const override { return "TControlTableHook"; }

    TWidget& Control;
    int32_t Width;
    int32_t Height;
    bool Visible;
    TTableAlign HorzAlign = TTableAlign::CenterFixed;
    TTableAlign VertAlign = TTableAlign::CenterFixed;

    void GetInfo(TInfo& Info) override;
    void SetBounds(int32_t Width, int32_t Height, bool Show, const TRect& Rect) override;
};

// A fixed empty square: a gap between controls.
class TSpaceTableHook : public TTableHook {
public:
    explicit TSpaceTableHook(int32_t Size) : FSize(Size) {}
    std::string_view ClassName() const override { return "TSpaceTableHook"; }
    void GetInfo(TInfo& Info) override;

private:
    int32_t FSize;
};

// The fixed-layout engine: cells report a wanted size, a kind and stretch
// priorities; extra space goes to the columns (rows) of the highest
// priority class, shared by cumulative rounding so that sizes add up
// exactly. Tool windows lay out their items with it.
//
//   TTable Root;
//   Root.AddChild(0, 0).SetHook(&Label);
//   Root.AddChild(0, 1).SetHook(&Edit);
//   Root.Update();
//   Root.SetBounds({0, 0, 200, 24});
class TTable : public TTableTree<TTable, TTableLine, TTableHook> {
public:
    TTable() = default;

    std::string_view ClassName() const override { return "TTable"; }

    int32_t Width() const { return FWidth; }
    int32_t Height() const { return FHeight; }
    int32_t HorzPriority() const { return FHorzPriority; }
    int32_t VertPriority() const { return FVertPriority; }
    TTableKind Kind() const { return FKind; }
    // Sizes a hook reports are limited to this many pixels.
    static constexpr int32_t MaxExtent = 1 << 20;
    const TRect& Bounds() const { return FBounds; }
    const TRect& Inner() const { return FInner; }

    // Recomputes kinds, wanted sizes and priorities of the subtree.
    void Update();
    // Places the node and everything below it.
    void SetBounds(const TRect& Rect);
    // Puts Hook into the tree at (X, Y) for a control of DropRect's size;
    // returns whether the tree changed. The caller updates and places the
    // root afterwards.
    bool Insert(int32_t X, int32_t Y, const TRect& DropRect, TTableHook& Hook);
    // Where Insert would put a hook.
    TTableHit<TTable> HitTest(int32_t X, int32_t Y, const TRect& DropRect);
    // Removes empty leaves bottom-up with the columns and rows they leave
    // empty.
    void Pack();
    // Design-mode outlines of the grid cells, fainter with depth.
    void PaintDesign(TPixels& Pixels, int32_t Depth) const;

private:
    friend class TTableTree<TTable, TTableLine, TTableHook>;

    void GatherInfo();
    void ResolveKinds(TTableKind ParentKind, bool IsRoot);
    void SumLines();
    void SizeLines(std::vector<TTableLine>& Lines, int64_t Extent, int32_t Wanted, int32_t From,
                   int32_t InnerFrom, int32_t InnerTo);

    int32_t FWidth = 0;
    int32_t FHeight = 0;
    int32_t FHorzPriority = -100;
    int32_t FVertPriority = -100;
    TTableKind FKind = TTableKind::Inherit;
    TRect FBounds;
    TRect FInner;
};
