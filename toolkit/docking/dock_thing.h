#pragma once

#include "toolkit/widgets/drag.h"

#include <cstdint>
#include <memory>

class TDock;
class TFactory;
class TWidget;

// Scores a candidate dock for a dragged dock (a tool box, a tool window):
// the smaller the better. Mouse and the dock's rectangle are on the desktop;
// computed in 64 bits.
int64_t DockScore(TPoint Mouse, const TRect& DockRect);

// The probe rectangle of a dragged dock: the drag rectangle shrunk by a
// quarter of its size on each side, united with a rectangle of half its
// size centred on the mouse, limited to the drag rectangle.
TRect DockProbe(const TRect& DragRect, TPoint Mouse);

// A control being dragged between docks. While the mouse moves it finds
// the dock that would take the control, and makes that dock preview the
// result; released over a dock the control docks there, released outside
// every dock a dock floats where it was dropped (any other control goes
// back where it was), and a cancelled drag (Escape) leaves everything as
// it was.
//
//   Drag().BeginDrag(System, std::make_unique<TDockThing>(Box, &Factory, X, Y), Main);
class TDockThing : public TDragThing {
public:
    TDockThing(TWidget& Control, TFactory* Factory, int32_t HotX, int32_t HotY);
    ~TDockThing() override;

    TWidget& Control() const { return *FControl; }
    TFactory* Factory() const { return FFactory; }
    TDock* SourceDock() const { return FSourceDock; }
    TDock* TargetDock() const { return FTargetDock; }
    // The control was made for this drag: it is freed when dropped outside
    // every dock.
    bool FreeIfDropOutside = false;

    void DragStart() override;
    void DragMove(TRect& Rect) override;
    void DragEnd(TDragResult Result) override;
    void Notification(TWidget& Control) override;

    // The dock that takes the control dropped with the drag rectangle Rect
    // and the mouse at Mouse, or null.
    TDock* FindTarget(const TRect& Rect, TPoint Mouse);

private:
    void SetTarget(TDock* Target, const TRect& Rect, TPoint Mouse);
    void LeaveDockingMode();

    TWidget* FControl;
    TFactory* FFactory;
    TDock* FSourceDock = nullptr;
    TDock* FTargetDock = nullptr;
    TRect FRect;
    bool FWasFloatingShown = false;
};
