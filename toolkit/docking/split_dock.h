#pragma once

#include "toolkit/docking/dock.h"
#include "toolkit/layout/split_table.h"

#include <cstdint>

class TSplitDockItem;

// What the splitter table knows of a docked control: its current size (up
// to a small tile) as its minimum, sizable both ways; the table's placement becomes the item's
// work rectangle.
class TSplitDockHook : public TSplitTableHook {
public:
    static constexpr int32_t MinimumTile = 32;
    explicit TSplitDockHook(TSplitDockItem& Item) : FItem(Item) {}
    std::string_view ClassName() const override { return "TSplitDockHook"; }
    void GetInfo(TInfo& Info) override;
    void SetBounds(const TRect& Rect) override;

private:
    TSplitDockItem& FItem;
};

class TSplitDockItem : public TDockItem {
public:
    TSplitDockItem(TDock& TheDock, TWidget& TheControl, TFactory* TheFactory)
        : TDockItem(TheDock, TheControl, TheFactory), Hook(*this) {}
    TSplitDockHook Hook;
};

// The centre dock of the main window: tiles its controls with a splitter
// table. Dropping a control splits the cell under the mouse when the new
// cell's shape is within a factor 2 of the dropped rectangle's; the
// splitters between cells are dragged with the mouse.
class TSplitDock : public TDock, private TTableItems<TSplitTableHook> {
public:
    static const TControlClass Class;
    // The docked controls are widgets that take the mouse over their whole
    // bounds, so the splitters are strips of their own between them.
    static constexpr int32_t SplitterWidth = 4;

    TSplitDock();
    ~TSplitDock() override;
    std::string_view ClassName() const override { return "TSplitDock"; }

    TSplitTable& Table() { return FTable; }
    // The smallest content size, scaled by the skin size.
    TSize MinimumSize() const;

    bool AcceptsDrop(TWidget* Control, TFactory* Factory, TPoint ScreenPoint, const TRect& ScreenRect) override;
    void LoadItems(TData& Data) override;
    void SaveItems(TData& Data) override;

    void MouseDown(TWidgetMouseEvent& Event) override;
    void MouseMove(TWidgetMouseEvent& Event) override;
    void MouseUp(TWidgetMouseEvent& Event) override;
    void MouseLeave() override;
    // The splitter drag in progress, if any.
    bool IsSplitting() const { return FHit.ColTable || FHit.RowTable; }

protected:
    bool AcceptsKind(TWidget& Control) override;
    std::unique_ptr<TDockItem> CreateItem(TWidget& Control, TFactory* Factory) override;
    void PlaceItem(TDockItem& Item, const TRect& Rect, TPoint Point) override;
    bool PreviewInsert(TWidget& Control, TFactory* Factory, TPoint Point, const TRect& Rect) override;
    void PreviewMove(TWidget& Control) override;
    void Arrange(bool Preview) override;
    TSize NaturalSize(bool Preview) override;

private:
    bool IsStored(const TSplitTableHook& Hook) const override;
    void SaveItem(TData& Data, const TSplitTableHook& Hook) override;
    TSplitTableHook* LoadItem(TData& Data) override;
    // The cell a drop would make, in content coordinates; empty when none.
    TRect DropCell(const TTableHit<TSplitTable>& Hit, const TRect& Drop) const;

    TSplitTable FTable;
    TSplitterHit FHit;
    TPoint FGrab;
    TTableHit<TSplitTable> FLastHit;
};
