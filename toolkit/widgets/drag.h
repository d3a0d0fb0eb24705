#pragma once

#include "canvas/pixels.h"
#include "core/delegate.h"
#include "core/geometry.h"
#include "core/methods.h"
#include "platform/window/window_system.h"

#include <cstdint>
#include <memory>
#include <vector>

class TWidget;

enum class TDragResult : uint8_t { Cancelled, Dropped };

// Something being dragged: its size, the hot spot (where the mouse holds it,
// from its top-left) and what it does as the drag goes on. The drag window
// shows what Paint draws over the face colour, cut to Shape when the thing
// has one.
class TThing {
public:
    TThing(int32_t Width, int32_t Height, int32_t HotX = 0, int32_t HotY = 0);
    virtual ~TThing() = default;
    TThing(const TThing&) = delete;
    TThing& operator=(const TThing&) = delete;

    int32_t Width() const { return FWidth; }
    int32_t Height() const { return FHeight; }
    int32_t HotX() const { return FHotX; }
    int32_t HotY() const { return FHotY; }

    // A control went away while this thing was dragged.
    virtual void Notification(TWidget& /*Control*/) {}
    virtual void DragStart() {}
    // May change where the drag window goes (desktop coordinates); by
    // default the mouse position less the hot spot, at the thing's size.
    virtual void DragMove(TRect& /*Rect*/) {}
    virtual void DragEnd(TDragResult /*Result*/) {}
    // Draws the thing from (0, 0); the base draws its outline.
    virtual void Paint(TPixels& Pixels);
    // Fills Mask (the thing's size) with alpha 255 where the drag window
    // shows and 0 where it is cut away; false for a plain rectangle.
    virtual bool Shape(TPixels& /*Mask*/) const { return false; }

protected:
    void SetSize(int32_t Width, int32_t Height);
    void SetHotSpot(int32_t HotX, int32_t HotY);

private:
    int32_t FWidth;
    int32_t FHeight;
    int32_t FHotX;
    int32_t FHotY;
};

// A dragged picture. Without translucent windows the picture is flattened
// over Background, and when it is not opaque the window is cut to the
// pixels that are clearly inside it (DragImageThreshold, DragImageRegion),
// so that the soft fringe of an icon does not show as a box.
class TDragThing : public TThing {
public:
    TDragThing(const TPixels& Image, int32_t HotX, int32_t HotY, TColor Background);

    const TPixels& Image() const { return FImage; }
    TColor Background() const { return FBackground; }

    void Paint(TPixels& Pixels) override;
    bool Shape(TPixels& Mask) const override;

private:
    TPixels FImage;
    TColor FBackground;
};

// The alpha above which a drag image's pixel belongs to its shape: the sum
// of the alphas of the border pixels (not fully transparent, and touching a
// fully transparent pixel to the left, right, above or below, or the image
// edge) divided by (3 x their count) div 2 + 1; 0 without border pixels.
// The sum is kept in 64 bits: it cannot overflow for any raster size.
int32_t DragImageThreshold(const TPixels& Image);
// The pixels of Image whose alpha is greater than Threshold, as one
// rectangle per run of such pixels in a row, rows top to bottom.
std::vector<TRect> DragImageRegion(const TPixels& Image, int32_t Threshold);

// The one drag controller. BeginDrag makes a thing current (ending a drag in
// progress as cancelled) and shows the drag window at the mouse, never
// activated and invisible to hit testing; the window holds the mouse until
// the drag ends. Moving the mouse moves the window and finds the control
// under the mouse on the whole desktop (Target); releasing the button drops,
// and Escape, another button or losing the mouse cancels. The thing is
// freed when the drag ends.
//
//   Drag().AddEndHandler(MakeDelegate<&TBin::DragEnded>(this));
//   Drag().BeginDrag(System, std::make_unique<TDragThing>(Icon, 8, 8, Face));
class TDrag {
public:
    using TStartHandler = TDelegate<void(TThing* Thing)>;
    using TMoveHandler = TDelegate<void(TThing* Thing)>;
    using TEndHandler = TDelegate<void(TThing* Thing, TDragResult Result)>;
    // How often the mouse is read while dragging, for the moves and the
    // release that no window reports (the mouse outside every window).
    static constexpr std::chrono::milliseconds PollInterval{20};

    TDrag() = default;
    ~TDrag();
    TDrag(const TDrag&) = delete;
    TDrag& operator=(const TDrag&) = delete;

    // Parent: the window the drag window stays above, or null. An exception
    // from DragStart or a start handler ends the drag as cancelled and
    // passes on.
    void BeginDrag(TWindowSystem& System, std::unique_ptr<TThing> Thing,
                   TNativeWindow* Parent = nullptr);
    void Cancel() { End(TDragResult::Cancelled); }

    bool IsDragging() const { return FThing != nullptr; }
    TThing* Thing() const { return FThing.get(); }
    // The last mouse position on the desktop.
    TPoint Position() const { return FPosition; }
    // The control under the mouse (a gadget or widget; a non-client part
    // counts as its widget), or null; cleared when it is destroyed.
    TWidget* Target() const { return FTarget; }
    TNativeWindow* Window() const { return FWindow.get(); }

    void AddStartHandler(TStartHandler Handler) { FStartHandlers.Add(Handler); }
    void RemoveStartHandler(TStartHandler Handler) { FStartHandlers.Remove(Handler); }
    void AddMoveHandler(TMoveHandler Handler) { FMoveHandlers.Add(Handler); }
    void RemoveMoveHandler(TMoveHandler Handler) { FMoveHandlers.Remove(Handler); }
    void AddEndHandler(TEndHandler Handler) { FEndHandlers.Add(Handler); }
    void RemoveEndHandler(TEndHandler Handler) { FEndHandlers.Remove(Handler); }

private:
    friend class TWidget;
    // Control is being destroyed.
    void Forget(TWidget& Control);
    bool Filter(const TEvent& Event);
    void MoveTo(TPoint Screen);
    void FindTarget();
    void Poll();
    void PaintWindow();
    void End(TDragResult Result);

    // The drag window's listener: the drag window holds the mouse from the
    // start of a drag until it ends or another window takes the mouse.
    struct TMouseHold : TWindowListener {
        bool IsHolding = false;
        void HandleEvent(const TEvent& /*Event*/) override {}
        bool HoldsMouse() const override { return IsHolding; }
        void LetGoOfMouse() override { IsHolding = false; }
    };

    TWindowSystem* FSystem = nullptr;
    TMouseHold FHold;
    std::unique_ptr<TThing> FThing;
    std::unique_ptr<TNativeWindow> FWindow;
    TWidget* FTarget = nullptr;
    TPoint FPosition;
    TMouseButtons FButtons = 0;
    TTimerId FPollTimer = 0;
    TEventFilterRegistration FFilter;
    bool FIsEnding = false;
    TMethods<void(TThing*)> FStartHandlers;
    TMethods<void(TThing*)> FMoveHandlers;
    TMethods<void(TThing*, TDragResult)> FEndHandlers;
};

TDrag& Drag();
