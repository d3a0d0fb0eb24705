#pragma once

#include "toolkit/docking/border_dock.h"
#include "toolkit/docking/split_dock.h"

// The docks a main window holds: a border dock along each edge, fitted to
// its bands, and the split dock in the space between them. The top and
// bottom docks run the full width; the left and right docks fill the
// height between them.
//
//   TDockHost Host;
//   TWidgetWindow Main(System, Host, {.Kind = TWindowKind::Main});
//   Host.Top().DockNew(std::move(Bar), &BarFactory, Rect);
class TDockHost : public TWidget {
public:
    TDockHost();
    std::string_view ClassName() const override { return "TDockHost"; }

    TBorderDock& Top() const { return *FTop; }
    TBorderDock& Bottom() const { return *FBottom; }
    TBorderDock& Left() const { return *FLeft; }
    TBorderDock& Right() const { return *FRight; }
    TSplitDock& Centre() const { return *FCentre; }

    void Layout() override;

    // The stored form: one section per dock, named "Top", "Bottom", "Left",
    // "Right" and "Centre".
    void LoadControl(TData& Data) override;
    void SaveControl(TData& Data) override;

private:
    void Place();
    TBorderDock* FTop;
    TBorderDock* FBottom;
    TBorderDock* FLeft;
    TBorderDock* FRight;
    TSplitDock* FCentre;
};
