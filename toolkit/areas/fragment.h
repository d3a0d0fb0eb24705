#pragma once

#include "core/geometry.h"
#include "core/object.h"
#include "core/weak_ptr.h"
#include "platform/window/native_window.h"
#include "platform/window/window_events.h"
#include "toolkit/widgets/widget_events.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TArea;
class TDesktop;
class TPixels;
class TWidget;

// A context menu a fragment offers under the right mouse button. The menus of
// the shell implement it; the area only shows it and reports its closing.
class TLocalMenu {
public:
    virtual ~TLocalMenu() = default;
    // Shows the menu at a desktop point and returns when it has closed.
    virtual void Popup(TWidget& Owner, TPoint ScreenPosition) = 0;
};

// A fragment's place and size relative to its parent's area rectangle.
struct TFragmentBox {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    bool operator==(const TFragmentBox&) const = default;
};

// One scroll bar's values as a desktop reports them.
struct TScrollValues {
    int32_t Position = 0;
    int32_t Range = 0;
    int32_t Page = 0;
    bool operator==(const TScrollValues&) const = default;
};

struct TFragmentScrollInfo {
    TScrollValues Horizontal;
    TScrollValues Vertical;
    bool operator==(const TFragmentScrollInfo&) const = default;
};

// A light drawn element of an editing area: a node of the tree the area's
// desktop roots. A fragment owns its children, kept in creation order; later
// children lie on top of earlier ones, so they are painted after them and hit
// first. Its committed box (Left, Top, Width, Height) is relative to the
// parent's area rectangle; the layout passes work on a separate work box that
// Arrange commits, then derive AreaRect (area client coordinates) and
// VisibleRect (AreaRect within the parent's VisibleRect).
//
// Mouse, drop and menu coordinates handed to the virtual operations are
// relative to the fragment's AreaRect top-left. Destroying a fragment frees its children
// and clears whatever the area keeps of it (capture, hot, open menu); code
// that calls out to handlers which may free fragments holds a TFragmentRef.
//
//   auto& Bar = Desktop.Add<TTimeBar>();
//   Bar.SetBox({0, 0, 200, 16});
//   Desktop.Relayout();
class TFragment : public TObject {
public:
    explicit TFragment(TArea& Area);
    ~TFragment() override;
    TFragment(const TFragment&) = delete;
    TFragment& operator=(const TFragment&) = delete;
    std::string_view ClassName() const override { return "TFragment"; }

    // The tree.
    TArea& Area() const { return FArea; }
    TFragment* Parent() const { return FParent; }
    const std::vector<std::unique_ptr<TFragment>>& Children() const { return FChildren; }
    // Appends Child (made for the same area) to the children and owns it.
    TFragment& AddChild(std::unique_ptr<TFragment> Child);
    template <class T, class... A>
    T& Add(A&&... Arguments) {
        return static_cast<T&>(AddChild(std::make_unique<T>(FArea, std::forward<A>(Arguments)...)));
    }
    // Frees Child and its subtree.
    void DeleteChild(TFragment& Child);
    void DeleteChildren();
    // The root of the tree this fragment is in.
    TFragment& Root();
    const TLifeFlag& LifeFlag() const { return FLife; }

    // Geometry.
    const TFragmentBox& Box() const { return FBox; }
    int32_t Left() const { return FBox.Left; }
    int32_t Top() const { return FBox.Top; }
    int32_t Width() const { return FBox.Width; }
    int32_t Height() const { return FBox.Height; }
    // Sets the committed box (and the work box with it); the rectangles
    // follow at the next rectangle pass.
    void SetBox(const TFragmentBox& Box);
    // The box during a layout pass: Measure and Arrange set it.
    TFragmentBox& Work() { return FWork; }
    const TRect& AreaRect() const { return FAreaRect; }
    const TRect& VisibleRect() const { return FVisibleRect; }

    // Measure (bottom up), Arrange (top down) and the rectangle pass over
    // this subtree.
    void Relayout();
    // The rectangle pass alone: AreaRect and VisibleRect of this subtree.
    void UpdateRects();

    // Repaints VisibleRect (or Rect, in fragment coordinates, limited to it)
    // in the area's window, when there is one.
    void Invalidate();
    void InvalidatePart(const TRect& Rect);

    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Hint);
    TCursorKind Cursor() const { return FCursor; }
    void SetCursor(TCursorKind Cursor);
    bool IsHot() const { return FIsHot; }
    // Pressed: holding the area's capture, which a press takes (see
    // MouseDown) until the release or a loss of the capture.
    bool IsPressed() const { return HasCapture(); }

    // The area's capture: while held, the area's mouse messages come here.
    void SetCapture();
    void ReleaseCapture();
    bool HasCapture() const;

    // The operations derived fragments override.
    virtual void Measure() {}
    virtual void Arrange() {}
    // The parent's AreaRect top-left plus Left, Top, with the size; a
    // fragment without parent takes its box as it is.
    virtual TRect GetAreaRect() const;
    virtual void DragStarted() {}
    virtual void DragMoved() {}
    virtual void DragEnded(bool /*Dropped*/) {}
    virtual TFragmentScrollInfo GetScrollInfo() const { return {}; }
    // Input comes as the widgets' typed events, positions in this
    // fragment's own coordinates. A handler that deals with an event
    // accepts it; a key no fragment accepts goes on from the area to its
    // parent widgets and finally to the shortcuts.
    // Offers the key to each child in order until one accepts it.
    virtual void KeyDown(TWidgetKeyEvent& Event);
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void CaptureGained() {}
    virtual void CaptureLost() {}
    // Takes the area's capture.
    virtual void MouseDown(TWidgetMouseEvent& Event);
    virtual void MouseMove(TWidgetMouseEvent& /*Event*/) {}
    // Releases the capture when this fragment holds it.
    virtual void MouseUp(TWidgetMouseEvent& Event);
    // Passes the wheel to the desktop, in the desktop's coordinates.
    virtual void MouseWheel(TWidgetMouseEvent& Event);
    virtual void DropFiles(TWidgetDropEvent& /*Event*/) {}
    // The menu to show for a right-button press here, or null. The menu is
    // not owned by the caller.
    virtual TLocalMenu* GetLocalMenu(int32_t /*X*/, int32_t /*Y*/) { return nullptr; }
    virtual void PrepareLocalMenu(TLocalMenu& /*Menu*/, int32_t /*X*/, int32_t /*Y*/) {}
    virtual void LocalMenuClosed(TLocalMenu& /*Menu*/) {}
    // 0 when (X, Y) lies inside the fragment's box, else -1.
    virtual int32_t HitTest(int32_t X, int32_t Y) const;
    // Draws the fragment with the origin at its top-left.
    virtual void Paint(TPixels& /*Pixels*/) {}
    // Whether the fragment and its children paint every pixel of its box,
    // so that nothing needs to be painted under it.
    virtual bool IsOpaque() const { return false; }
    // The children that can show inside Rect (area client coordinates), as
    // a range [first, last) of indexes into Children(): painting skips the
    // others. A fragment with many children in a known order narrows it.
    virtual std::pair<size_t, size_t> ChildrenWithin(const TRect& /*Rect*/) const { return {0, FChildren.size()}; }

private:
    friend class TArea;
    void MeasurePass();
    void ArrangePass();

    TArea& FArea;
    TFragment* FParent = nullptr;
    std::vector<std::unique_ptr<TFragment>> FChildren;
    TRect FAreaRect;
    TRect FVisibleRect;
    TFragmentBox FBox;
    TFragmentBox FWork;
    std::string FHint;
    TCursorKind FCursor = TCursorKind::Arrow;
    bool FIsHot = false;
    TLifeFlag FLife;
};

// A fragment that repaints itself when the mouse enters or leaves it and when
// a button goes down or up on it: for fragments whose look follows IsHot and
// IsPressed.
class TFlatFragment : public TFragment {
public:
    using TFragment::TFragment;
    std::string_view ClassName() const override { return "TFlatFragment"; }

    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(TWidgetMouseEvent& Event) override;
    void MouseUp(TWidgetMouseEvent& Event) override;
};

// A weak pointer to a fragment: Get() answers null once it was destroyed.
// Code that calls a fragment's handlers and then uses the fragment again
// (the mouse router, the tree walks) holds one, since a handler may rebuild
// the tree.
using TFragmentRef = TWeakPtr<TFragment>;

// Calls Visit on Root and every fragment below it, a fragment before its
// children, children in order. A visit may free fragments or add new ones:
// the walk visits the children a fragment had when its own visit ended,
// skipping those freed since, and stops below a fragment that went away.
template <class F>
void ForEachFragment(TFragment& Root, F&& Visit) {
    TFragmentRef Self(&Root);
    Visit(Root);
    if (!Self)
        return;
    std::vector<TFragmentRef> Children;
    Children.reserve(Root.Children().size());
    for (const auto& Child : Root.Children())
        Children.emplace_back(Child.get());
    for (const TFragmentRef& Child : Children) {
        if (!Self)
            return;
        if (TFragment* Live = Child.Get(); Live && Live->Parent() == &Root)
            ForEachFragment(*Live, Visit);
    }
}

// Positions summed in 64 bits, limited to what a rectangle can hold with room
// for its size, so that the rectangles of long timelines never wrap.
int32_t ClampFragmentCoordinate(int64_t Value);
