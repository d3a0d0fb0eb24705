#pragma once

#include "core/changes.h"
#include "toolkit/areas/desktop.h"
#include "toolkit/areas/fragment.h"
#include "toolkit/design/widget_factory.h"
#include "toolkit/widgets/drag.h"
#include "toolkit/widgets/scrolling_widget.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Makes the desktops of areas. The application registers one with the areas
// registry; its identity is what SetDesktopClass compares.
class TDesktopClass {
public:
    virtual ~TDesktopClass() = default;
    virtual std::unique_ptr<TDesktop> CreateDesktop(TArea& Area) const = 0;
};

// An editing surface drawn from fragments rather than widgets: a scrolling
// widget with a sunken edge that owns one desktop fragment and routes
// painting, mouse, wheel, keys, dropped files and context menus to the
// fragment under the mouse (or the one holding the area's capture). A
// fragment's capture is the window's capture held by the area: the window
// owns it, the area only remembers which of its fragments it is for, and
// forgets that when the window takes the capture away.
//
// Routing survives handlers that rebuild or free the tree: the router keeps
// weak references while it calls out, the capture, hot and menu fragments are
// cleared when their fragment is destroyed, and a message whose fragment went
// away is dropped.
//
// The scroll bars follow the desktop's GetScrollInfo; whatever moves them
// (arrows, thumb, wheel, middle-button panning) reaches the desktop through
// ScrollBy, which asks it for the bars' new values.
class TArea : public TScrollingWidget {
public:
    static const TControlClass Class;
    static constexpr int32_t DefaultWidth = 256;
    static constexpr int32_t DefaultHeight = 128;

    TArea();
    ~TArea() override;
    std::string_view ClassName() const override { return "TArea"; }

    TDesktop* Desktop() const { return FDesktop.get(); }
    // Frees the desktop and makes a new one of the registered class (none
    // without a class), then repaints and lays out.
    void RecreateDesktop();
    TFragment* CaptureFragment() const { return FCaptureFragment; }
    TFragment* HotFragment() const { return FHotFragment; }
    TFragment* MenuFragment() const { return FMenuFragment; }
    bool MouseInside() const { return FMouseInside; }
    // The click count of the press being handled (2 for the second press of
    // a double click), for fragments that treat a double click apart.
    int32_t PressClicks() const { return FPressClicks; }
    // The hot fragment's hint, empty without one.
    const std::string& Hint() const { return FHint; }
    // The capture fragment's cursor, else the hot fragment's, else the arrow.
    TCursorKind Cursor() const { return FCursor; }

    // The client size the fragments lay out in.
    int32_t ClientWidth() const { return ClientRect().Width(); }
    int32_t ClientHeight() const { return ClientRect().Height(); }
    // The fragment hit at a client point: later children first, the deepest
    // one whose HitTest answers; null outside the desktop.
    TFragment* FragmentAt(TPoint Point) const;

    // Measure and Arrange over the whole tree, the scroll bars, the
    // rectangles, then a full repaint.
    void Relayout();
    void UpdateScrollBars();
    void SetCaptureFragment(TFragment* Fragment);
    void SetHotFragment(TFragment* Fragment);
    void UpdateHint();
    void UpdateCursor();

    // The content moved by DX, DY pixels: the desktop moves its fragments
    // and the bars take its new values; without a desktop the scrolling
    // widget's own behaviour.
    void ScrollBy(int32_t DX, int32_t DY) override;

    // The widget's side.
    void Paint(TPixels& Pixels) override;
    void Layout() override;
    void Changed() override;
    void StateChanged() override {}
    void CaptureEnd() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(TWidgetMouseEvent& Event) override;
    void MouseMove(TWidgetMouseEvent& Event) override;
    void MouseUp(TWidgetMouseEvent& Event) override;
    bool MouseWheel(TWidgetMouseEvent& Event) override;
    void KeyDown(TWidgetKeyEvent& Event) override;
    void DropFiles(TWidgetDropEvent& Event) override;
    bool GetDefaultSize(int32_t& Width, int32_t& Height) override;

private:
    friend class TFragment;
    // A fragment is being destroyed: forget it wherever it is kept.
    void FragmentDestroyed(TFragment& Fragment);
    // Routes one mouse message; false when no fragment took it.
    bool RouteMouse(const TWidgetMouseEvent& Event);
    void ShowLocalMenu(TFragment& Target, TLocalMenu& Menu, TPoint Local, TPoint ScreenPosition);
    // The window's capture, held by the area while a fragment has the
    // area's capture.
    void TakeWindowCapture();
    void ReleaseWindowCapture();

    std::unique_ptr<TDesktop> FDesktop;
    TFragment* FCaptureFragment = nullptr;
    TFragment* FHotFragment = nullptr;
    TFragment* FMenuFragment = nullptr;
    bool FMouseInside = false;
    int32_t FPressClicks = 1;
    bool FUpdatingScrollBars = false;
    bool FIsDestroying = false;
    TSize FLaidOutSize{-1, -1};
    std::string FHint;
    TCursorKind FCursor = TCursorKind::Arrow;
};

// Makes areas for docks and tool windows.
class TAreaFactory : public TScrollingWidgetFactory {
public:
    TAreaFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name, std::string_view Id);
    TAreaFactory(TFactoryCategory* Category, std::string_view Name, std::string_view Id);
    std::string_view ClassName() const override { return "TAreaFactory"; }

protected:
    ~TAreaFactory() override = default;
};

enum class TAreasChangeFlags : uint32_t {};
template <>
inline constexpr bool IsFlagSet<TAreasChangeFlags> = true;
constexpr TAreasChangeFlags AreasChangeAll{0xFFFFFFFF};

// The registry of every area: the desktop class all of them use, the two
// snapping switches the editors obey (both on at start) and a notifier that
// reports when any of these changes. The drag window's start, move and end
// listeners call DragStarted, DragMoved and DragEnded, which pass the drag to
// every fragment of every area; the end runs inside an update bracket of each
// desktop's document, so that a drop that edits the document reports once.
class TAreas : public TObject {
public:
    TAreas();
    ~TAreas() override;
    TAreas(const TAreas&) = delete;
    TAreas& operator=(const TAreas&) = delete;
    std::string_view ClassName() const override { return "TAreas"; }

    const std::vector<TArea*>& List() const { return FAreas; }
    const TDesktopClass* DesktopClass() const { return FDesktopClass; }
    // Not owned; it must stay while it is set. Setting a class rebuilds the
    // desktop of every area; setting none keeps the desktops there are.
    void SetDesktopClass(const TDesktopClass* Class);
    bool IsSnapToGrid() const { return FIsSnapToGrid; }
    void SetSnapToGrid(bool Value);
    bool IsSnapToObject() const { return FIsSnapToObject; }
    void SetSnapToObject(bool Value);
    TFlagChanges<TAreasChangeFlags>& Changes() { return FChanges; }

    void DragStarted();
    void DragMoved();
    void DragEnded(bool Dropped);

private:
    // The drag controller's listeners.
    void DragThingStarted(TThing* Thing);
    void DragThingMoved(TThing* Thing);
    void DragThingEnded(TThing* Thing, TDragResult Result);

    friend class TArea;
    void Register(TArea& Area);
    void Unregister(TArea& Area);
    bool IsRegistered(const TArea* Area) const;
    template <class F>
    void ForEachAreaFragment(F&& Visit);

    std::vector<TArea*> FAreas;
    const TDesktopClass* FDesktopClass = nullptr;
    bool FIsSnapToGrid = true;
    bool FIsSnapToObject = true;
    TFlagChanges<TAreasChangeFlags> FChanges{this};
};

// The one registry of areas.
TAreas& Areas();
