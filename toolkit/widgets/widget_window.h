#pragma once

#include "canvas/pixels.h"
#include "platform/window/window_system.h"
#include "toolkit/widgets/widget.h"

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class TPopupWidget;

// Binds a widget tree to a native window: keeps the back buffer and the
// dirty region, translates the platform's events into the toolkit's and
// routes them (mouse to the target under the pointer or the one holding the
// capture, keys to the focused control bubbling up to the root and then to
// the shortcut hook), keeps the focus and its memory, and lays out and
// paints once per loop turn, presenting only the dirty part.
//
// The root is not owned: it is sized to the window's client area and its
// destruction detaches it.
//
//   TWidget Root;
//   TWidgetWindow Window(System, Root, {.Title = "Gallery"});
//   Window.Show(TActivate::Yes);
class TWidgetWindow : public TWindowListener {
public:
    using TShortcutHook = std::function<bool(const TWidgetKeyEvent&)>;

    TWidgetWindow(TWindowSystem& System, TWidget& Root, const TWindowOptions& Options);
    ~TWidgetWindow() override;
    TWidgetWindow(const TWidgetWindow&) = delete;
    TWidgetWindow& operator=(const TWidgetWindow&) = delete;

    TWindowSystem& System() const { return FSystem; }
    TNativeWindow& Native() const { return *FNative; }
    TWidget* Root() const { return FRoot; }
    const TLifeFlag& LifeFlag() const { return FLife; }
    // The widget window presenting into Native, or null.
    static TWidgetWindow* Of(const TNativeWindow* Native);

    void Show(TActivate Activate);
    void Hide();

    // Painting. Invalidate adds to the dirty region and schedules one paint
    // for the loop's next turn; Update paints now (layout first).
    void Invalidate(const TRect& WindowRect);
    void RequestLayout();
    // The dirty region: a few rectangles, neighbours merged when that costs
    // no more than painting them apart.
    const std::vector<TRect>& DirtyRects() const { return FDirty; }
    TRect DirtyRect() const; // their bounding rectangle
    void Update();

    // Focus. The focused control is remembered while the native window is
    // inactive and receives the keys again when it is activated.
    TWidget* Focused() const { return FFocused; }
    bool SetFocused(TWidget* Widget);
    // Tab and Shift+Tab: the next (previous) control of the tab order that
    // has its tab stop set and is showing and enabled.
    bool FocusNext(bool Backward);
    // An arrow key: the nearest control in that direction.
    bool FocusArrow(uint8_t Key);
    // The controls Tab walks through, depth first in child order.
    std::vector<TWidget*> TabOrder() const;

    // Keys nobody in the tree accepted; true when handled.
    void SetShortcutHook(TShortcutHook Hook) { FShortcutHook = std::move(Hook); }

    // Mouse capture: this window is the one owner of it for its native
    // window; targets, areas, drags and the mouse handler ask it. A press
    // gives the capture to the target under the mouse until the last button
    // is released; SetCapture gives it to Target until ReleaseCapture.
    // Taking it makes every other window let go (the window system asks
    // their listeners); a target that loses it hears CaptureEnd.
    TMouseTarget* Capture() const { return FCapture; }
    void SetCapture(TMouseTarget& Target);
    void ReleaseCapture();
    // The target under a point of the window's client area, with the capture
    // rule: while something holds the capture, anything else counts as none.
    TMouseTarget* TargetAt(TPoint WindowPoint) const;

    void HandleEvent(const TEvent& Event) override;
    bool HoldsMouse() const override { return FCapture != nullptr; }
    void LetGoOfMouse() override { ReleaseCapture(); }

private:
    enum class TCaptureKind : uint8_t { Press, Explicit };
    // Moves the capture to Target (null: nobody), telling the targets that
    // lost and gained it.
    void ChangeCapture(TMouseTarget* Target, TCaptureKind Kind);
    friend class TWidget;
    friend class TNCGadget;
    friend class TMouseHandler;
    void Forget(TMouseTarget& Target);
    void RootDestroyed();
    void Resized();
    void PaintWidget(TWidget& Widget, TPoint Origin, const TRect& Clip);
    void HandleMouse(const TMouseEvent& Event);
    void HandleKey(const TKeyEvent& Event);
    void HandleText(const TTextEvent& Event);
    void HandleDrop(const TDropEvent& Event);
    void LayoutTree(TWidget& Widget);

    TWindowSystem& FSystem;
    TWidget* FRoot;
    std::unique_ptr<TNativeWindow> FNative;
    TPixels FBack;
    std::vector<TRect> FDirty;
    bool FNeedsLayout = true;
    TTimerId FPaintTimer = 0;
    TWidget* FFocused = nullptr;
    TMouseTarget* FCapture = nullptr;
    TCaptureKind FCaptureKind = TCaptureKind::Press;
    TShortcutHook FShortcutHook;
    TLifeFlag FLife;
};

// The one tracker of the mouse across all widget windows: the hot target
// (under the mouse), the auto-repeat timer and the open pop-ups. The pressed
// target is not kept here: it is the capture of the window holding the
// mouse. The timer runs on the window
// system's loop only while something is hot or pressed: 250 ms after a
// change, then every 50 ms; each tick finds the target under the mouse
// again (so leaving a window unnoticed still clears the hot look) and gives
// the pressed target a RepeatTick while it is also the hot one.
class TMouseHandler {
public:
    static constexpr std::chrono::milliseconds FirstRepeat{250};
    static constexpr std::chrono::milliseconds NextRepeat{50};

    TMouseTarget* Hot() const { return FHot; }
    TMouseTarget* Pressed() const;
    void SetHot(TMouseTarget* Target);
    const std::vector<TPopupWidget*>& Popups() const { return FPopups; }

    // A button went down on Window (null: outside every window): every open
    // pop-up that is neither that window nor one of its owners closes.
    void CloseOtherPopups(const TNativeWindow* Window);

private:
    friend class TMouseTarget;
    friend class TNCGadget;
    friend class TWidget;
    friend class TPopupWidget;
    friend class TWidgetWindow;
    void Forget(TMouseTarget& Target);
    void Restart(std::chrono::milliseconds Interval);
    void Tick();
    void WindowGone(TWidgetWindow& Window);

    TMouseTarget* FHot = nullptr;
    TWindowSystem* FSystem = nullptr; // of the last window that set a state
    TTimerId FTimer = 0;
    std::vector<TPopupWidget*> FPopups;
};

TMouseHandler& MouseHandler();
