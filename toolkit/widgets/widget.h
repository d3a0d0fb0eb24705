#pragma once

#include "canvas/pixels.h"
#include "commands/factory_control.h"
#include "core/geometry.h"
#include "core/weak_ptr.h"
#include "toolkit/widgets/widget_events.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TWidget;
class TWidgetWindow;

// Anything the mouse can be over or press: a widget, a gadget or a
// non-client gadget. It carries the hot state (mouse over it) that the mouse
// handler sets, answers whether it is down (it holds its window's mouse
// capture: a button went down on it), and hands out its life to TWeakPtr,
// through which callers notice that a handler destroyed it.
class TMouseTarget {
public:
    TMouseTarget();
    virtual ~TMouseTarget();
    TMouseTarget(const TMouseTarget&) = delete;
    TMouseTarget& operator=(const TMouseTarget&) = delete;

    bool IsHot() const { return FIsHot; }
    bool IsDown() const;
    const TLifeFlag& LifeFlag() const { return FLife; }

    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    // The mouse handler's repeat tick while a button is held on this target
    // and the mouse is over it.
    virtual void RepeatTick() {}
    virtual void MouseDown(TWidgetMouseEvent& /*Event*/) {}
    virtual void MouseUp(TWidgetMouseEvent& /*Event*/) {}
    virtual void MouseMove(TWidgetMouseEvent& /*Event*/) {}
    // A hot or down state changed: repaint.
    virtual void StateChanged() {}
    // The window's mouse capture came to this target (a press on it, or
    // TWidgetWindow::SetCapture) and left it (the release, ReleaseCapture,
    // another target or window taking the mouse, the target being hidden).
    virtual void CaptureBegin() {}
    virtual void CaptureEnd() {}

    // The widget that paints and routes input for this target.
    virtual TWidget* OwnerWidget() = 0;
    // This target's rectangle in its window's client coordinates.
    virtual TRect WindowRect() const = 0;

private:
    friend class TMouseHandler;
    bool FIsHot = false;
    TLifeFlag FLife;
};

// A non-client part of a widget (a title button, a scroll-bar arrow): owned
// by its widget, placed in the widget's own coordinates with the border
// included, painted after the widget's frame.
class TNCGadget : public TMouseTarget {
public:
    TNCGadget() = default;
    ~TNCGadget() override;

    TWidget* Widget() const { return FWidget; }
    const TRect& Bounds() const { return FBounds; }
    void SetBounds(const TRect& Bounds);
    bool IsVisible() const { return FIsVisible; }
    void SetVisible(bool Visible);
    void Invalidate();

    // Draws the part with the origin at its top-left, clipped to it.
    virtual void Paint(TPixels& /*Pixels*/) {}

    void StateChanged() override { Invalidate(); }
    TWidget* OwnerWidget() override { return FWidget; }
    TRect WindowRect() const override;

private:
    friend class TWidget;
    TWidget* FWidget = nullptr;
    TRect FBounds;
    bool FIsVisible = true;
};

// Where a click on a widget landed: its client area or its border.
enum class TClickPart : uint8_t { Client, Border };

// How a widget's background is filled before it paints.
enum class TWidgetBackground : uint8_t {
    Face, // the skin's face colour
    None, // nothing: the widget paints every pixel itself
};

// A control of the toolkit's own window tree inside a native window. Bounds
// are in the parent's client coordinates; children are owned and painted in
// child order (later over earlier), each clipped to its bounds, all into the
// one back buffer of the window. Invalidate() only marks the window's dirty
// region; the window lays out and paints once per loop turn.
//
//   auto& Ok = Form.Add<TGadget>();
//   Ok.SetBounds(TRect::FromSize(8, 8, 80, 24));
//   Ok.OnExecute = [&] { Accept(); };
class TWidget : public TControl, public TMouseTarget {
public:
    static const TControlClass Class;

    TWidget();
    ~TWidget() override;
    std::string_view ClassName() const override { return "TWidget"; }

    // The tree.
    TWidget* Parent() const { return FParent; }
    TWidget& AddChild(std::unique_ptr<TWidget> Child);
    template <class T, class... A>
    T& Add(A&&... Arguments) {
        return static_cast<T&>(AddChild(std::make_unique<T>(std::forward<A>(Arguments)...)));
    }
    // Takes Child out of the tree, handing it to the caller; focus, hover
    // and capture leave it.
    std::unique_ptr<TWidget> RemoveChild(TWidget& Child);
    const std::vector<std::unique_ptr<TWidget>>& Children() const { return FChildren; }
    // The window of the tree this widget is in, or null.
    TWidgetWindow* Window() const;
    TNCGadget& AddNCGadget(std::unique_ptr<TNCGadget> Gadget);
    const std::vector<std::unique_ptr<TNCGadget>>& NCGadgets() const { return FNCGadgets; }

    // Geometry.
    const TRect& Bounds() const { return FBounds; }
    void SetBounds(const TRect& Bounds);
    int32_t Width() const { return FBounds.Width(); }
    int32_t Height() const { return FBounds.Height(); }
    // The client area in the widget's own coordinates: the bounds from
    // (0, 0) less the non-client margins.
    TRect ClientRect() const;
    // The top-left of the widget and of its client area in the window's
    // client coordinates.
    TPoint WindowOrigin() const;
    TPoint WindowClientOrigin() const;
    TRect WindowRect() const override;
    // The bounds on the desktop; empty outside a window.
    TRect ScreenRect() const;

    bool IsVisible() const { return FIsVisible; }
    void SetVisible(bool Visible);
    bool IsEnabled() const { return FIsEnabled; }
    void SetEnabled(bool Enabled);
    // Visible (enabled) with every ancestor.
    bool IsShowing() const;
    bool IsEnabledInTree() const;
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool TabStop) { FTabStop = TabStop; }
    TWidgetBackground Background() const { return FBackground; }
    void SetBackground(TWidgetBackground Background);

    // Painting. Invalidate adds to the window's dirty region and never paints.
    void Invalidate();
    void InvalidateClient(const TRect& ClientArea);
    // Asks for Layout() before the next paint.
    void RequestLayout();
    // Places the children; called once per loop turn after RequestLayout.
    virtual void Layout() {}
    // The widths of the self-drawn border: Left, Top, Right, Bottom.
    virtual TRect NCMargins() const { return {}; }
    // Places the non-client gadgets for a widget of that size.
    virtual void LayoutNC(int32_t /*Width*/, int32_t /*Height*/) {}
    // The border, with the origin at the widget's top-left.
    virtual void PaintFrame(TPixels& /*Pixels*/) {}
    // The client area's content, with the origin at the client top-left.
    virtual void Paint(TPixels& /*Pixels*/) {}
    virtual void Changed() { Invalidate(); }
    void StateChanged() override { Changed(); }
    // Asks for the border part Rect (this widget's own coordinates, border
    // included) to be repainted. Requests made before the loop's next turn
    // are merged into one rectangle and repainted once.
    void InvalidateNC(const TRect& Rect);
    // The border part waiting to be repainted; empty when none.
    const TRect& PendingNC() const { return FPendingNC; }
    // For children that look transparent: lets the parent paint its
    // background and content into Pixels, which is set up as for this
    // widget's Paint (origin at the client top-left); origin and clip are
    // back as they were afterwards.
    void PaintParentBackground(TPixels& Pixels);

    // Input beyond the mouse target's.
    virtual void KeyDown(TWidgetKeyEvent& /*Event*/) {}
    virtual void KeyUp(TWidgetKeyEvent& /*Event*/) {}
    virtual void TextInput(TWidgetTextEvent& /*Event*/) {}
    // True when the wheel was handled; otherwise the parent is asked.
    virtual bool MouseWheel(TWidgetMouseEvent& /*Event*/) { return false; }
    // Called after the widget gained or lost the focus.
    virtual void FocusChanged() {}
    // A key that neither the focused control nor its parents accepted (an
    // Alt+letter accelerator, Enter for a default button); true when this
    // control acted on it.
    virtual bool DialogChar(TWidgetKeyEvent& /*Event*/) { return false; }
    // Offers Event as a dialog character to this widget and its showing,
    // enabled descendants, depth first in child order, until one takes it.
    bool OfferDialogChar(TWidgetKeyEvent& Event);
    // A button went down on this widget (Client) or on its border or a
    // non-client part (Border): activates an inactive window, gives the
    // focus to this widget when it has a tab stop and the click is in its
    // client area, else restores the focus the window last had.
    virtual void ActivateOnClick(TClickPart Part);
    // The widget is being hidden while the focus is on it or inside it; it
    // is still visible during the call. The base clears the focus.
    virtual void HiddenWhileFocused();
    // Files dropped on the widget; one nobody accepts goes to the parent.
    virtual void DropFiles(TWidgetDropEvent& /*Event*/) {}

    // Focus.
    bool HasFocus() const;
    // Focuses this widget when it is showing and enabled; false otherwise.
    bool SetFocus();
    bool IsFocusInside() const;
    bool IsFocusInChild() const;
    // The child on the path to the control that last had the focus inside.
    TWidget* FocusedChild() const { return FFocusedChild; }
    // Follows FocusedChild links to the deepest remembered control.
    TWidget* FindFocusTarget();

    // Design mode: the hook sees mouse input first.
    void BeginDesign(const TDesignHook& Hook) override;
    void EndDesign() override;
    bool IsDesigning() const { return FIsDesigning; }
    const TDesignHook& DesignHook() const { return FDesignHook; }

    // The deepest visible target at Point (this widget's own coordinates):
    // a non-client gadget, else a child in the client area, else this
    // widget; null outside.
    TMouseTarget* TargetAt(TPoint Point);

    TWidget* OwnerWidget() override { return this; }

private:
    friend class TWidgetWindow;
    friend class TNCGadget;
    // Clears every pointer to Widget and its descendants kept around this
    // tree: focus memory, the window's focus and capture, hover and press.
    void ForgetSubtree(TWidget& Widget);

    TWidget* FParent = nullptr;
    TWidgetWindow* FHost = nullptr; // set on the root only
    std::vector<std::unique_ptr<TWidget>> FChildren;
    std::vector<std::unique_ptr<TNCGadget>> FNCGadgets;
    TWidget* FFocusedChild = nullptr;
    TRect FBounds;
    TRect FPendingNC;
    bool FIsVisible = true;
    bool FIsEnabled = true;
    bool FTabStop = false;
    bool FIsDesigning = false;
    TWidgetBackground FBackground = TWidgetBackground::Face;
    TDesignHook FDesignHook;
};

// A windowless control painted by its widget: by default a skinned button
// that executes when pressed and again on every repeat tick while held.
class TGadget : public TWidget {
public:
    static const TControlClass Class;

    std::string_view ClassName() const override { return "TGadget"; }

    bool Checked() const { return FChecked; }
    void SetChecked(bool Checked);
    // Runs OnExecute; called on a press and each repeat tick when enabled.
    virtual void Execute();
    std::function<void()> OnExecute;
    // Runs OnClick; called when the left button is released over the gadget
    // it went down on.
    virtual void Click();
    std::function<void()> OnClick;

    void RepeatTick() override;
    void MouseDown(TWidgetMouseEvent& Event) override;
    void MouseUp(TWidgetMouseEvent& Event) override;
    void Paint(TPixels& Pixels) override;

private:
    bool FChecked = false;
};
