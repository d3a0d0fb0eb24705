#pragma once

#include "toolkit/docking/dock.h"

#include <cstdint>
#include <vector>

// An item of a border dock: Anchor is where the user last put the box, and
// packing starts from it.
class TBorderDockItem : public TDockItem {
public:
    using TDockItem::TDockItem;
    TRect Anchor;
    bool IsNew = false;

    void LoadItem(TData& Data) override;
    void SaveItem(TData& Data) override;
};

// A box as the packing sees it, in edge space: x along the dock's edge, y
// the distance from it.
struct TBandBox {
    TRect Wanted;  // where the box wants to be
    TRect Current; // the last layout's rectangle
    int32_t MinLength = 0; // what it may be squeezed to
    bool MayStretch = true; // extends to its right neighbour or the end
    bool IsNew = false;
    TRect Result;
};

// Packs boxes into bands along an edge of Length pixels. First every box
// gets its band position: boxes dropped just now snap to the bands they
// were dropped over (making room where they cover other boxes), then the
// boxes are placed one by one, the cheapest first, each at the edge or
// lined up with a box placed before it, as near as it can to where it wants
// to be and to where it was; a second pass from that result closes the gaps
// left. Then the boxes are laid along the edge (LayBandsAlong); a box whose
// minimum length still does not fit goes to a band of its own below.
void PackBands(std::vector<TBandBox>& Boxes, int32_t Length);

// Lays boxes along the edge in the bands their Result already holds: pushed
// apart from the left, pulled back inside the length (squeezed to their
// minimum when needed), and cut at their right neighbour or stretched to
// the edge's end.
void LayBandsAlong(std::vector<TBandBox>& Boxes, int32_t Length);

// Whether box A, being placed, shares a band with box B (edge space).
bool BandOverlap(const TRect& A, const TRect& B);

// A dock along one edge of the main window that packs tool boxes in bands:
// top and bottom docks take horizontal boxes, left and right docks vertical
// ones. Content coordinates keep the edge at 0 and the boxes on the dock's
// side of it (negative for bottom and right docks); Origin puts them in
// place.
class TBorderDock : public TDock {
public:
    static const TControlClass Class;

    TBorderDock();
    explicit TBorderDock(TDockAlign Align);
    std::string_view ClassName() const override { return "TBorderDock"; }

    // The dock's extent away from its edge in the current layout.
    int32_t Thickness() const { return FThickness; }

    bool AcceptsDrop(TWidget* Control, TFactory* Factory, TPoint ScreenPoint, const TRect& ScreenRect) override;

protected:
    bool AcceptsKind(TWidget& Control) override;
    std::unique_ptr<TDockItem> CreateItem(TWidget& Control, TFactory* Factory) override;
    void PlaceItem(TDockItem& Item, const TRect& Rect, TPoint Point) override;
    void ItemDocked(TDockItem& Item) override;
    void ItemUndocked(TWidget& Control, TFactory* Factory) override;
    void Arrange(bool Preview) override;
    TSize NaturalSize(bool Preview) override;
    void Apply(bool Preview) override;

private:
    TRect ToEdge(const TRect& Rect) const;
    TRect FromEdge(const TRect& Rect) const;
    int32_t EdgeLength() const;
    bool IsVertical() const { return Align() == TDockAlign::Left || Align() == TDockAlign::Right; }

    int32_t FThickness = 0;
};

// The factory that recreates a border dock named "BorderDock" in a stored
// layout. The list it is made with owns it.
class TBorderDockFactory : public TDockFactory {
public:
    static constexpr std::string_view Id = "BorderDock";
    explicit TBorderDockFactory(TFactoryList& List);
    std::string_view ClassName() const override { return "TBorderDockFactory"; }

protected:
    ~TBorderDockFactory() override = default;
};

// Registers the toolkit's own dock factories in List, once.
void RegisterDockFactories(TFactoryList& List);
