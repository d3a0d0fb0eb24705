#pragma once

#include "platform/window/native_window.h"
#include "toolkit/widgets/widget.h"

#include <cstdint>
#include <memory>

class TWindowSystem;
class TWidgetWindow;

// How a modal pop-up or dialog was closed: by which of its buttons.
enum class TModalResult : uint8_t { None, Ok, Cancel, Abort, Retry, Ignore, Yes, No, Close };

// A widget shown in its own borderless pop-up window with a loop of its
// own: Popup returns when it closes, true when accepted (Enter), false when
// cancelled (Escape, a click outside, losing the focus, the application
// ending). Its Border pixels on every side are drawn in the skin's shadow.
// Destroying the pop-up while its loop runs ends that loop.
//
//   TPopupWidget List;
//   List.SetBounds(TRect::FromSize(0, 0, 120, 200));
//   if (List.Popup(System, Button.ScreenRect().Left, Button.ScreenRect().Bottom, &Button))
//       Apply();
class TPopupWidget : public TWidget {
public:
    TPopupWidget();
    ~TPopupWidget() override;
    std::string_view ClassName() const override { return "TPopupWidget"; }

    // Where a pop-up of Size asked for at At goes: moved inside WorkArea;
    // when that moved it onto Control (a screen rectangle, empty for none)
    // it goes beside Control instead (left or right when the overlap across
    // is the smaller, else above or below), fitted again.
    static TRect Place(TPoint At, TSize Size, const TRect& Control, const TRect& WorkArea);

    // Shows the pop-up at screen point (X, Y) next to Control (may be null)
    // and runs its loop; false at once when already popped up.
    bool Popup(TWindowSystem& System, int32_t X, int32_t Y, TWidget* Control);
    // Ends the loop with Result.
    void ClosePopup(bool Result);
    bool IsPoppedUp() const { return FIsPoppedUp; }
    bool Result() const { return FResult; }
    // Which button closed the pop-up: None while it runs, Ok or Cancel when
    // closed by Enter, Escape or a click outside, else what a button set.
    TModalResult ModalResult() const { return FModalResult; }
    // Any value but None closes the pop-up: cancelled for Cancel, accepted
    // otherwise.
    void SetModalResult(TModalResult Value);
    TWidgetWindow* PopupWindow() const { return FWindow.get(); }

    int32_t Border() const { return FBorder; }
    void SetBorder(int32_t Border);

    TRect NCMargins() const override { return {FBorder, FBorder, FBorder, FBorder}; }
    void PaintFrame(TPixels& Pixels) override;
    void KeyDown(TWidgetKeyEvent& Event) override;
    // What a point of the pop-up (widget coordinates) means to the window
    // manager: a sizable pop-up answers its sizing edges.
    virtual THitTest FrameHitTest(TPoint /*Point*/) const { return THitTest::Normal; }

protected:
    friend class TWidgetWindow;
    // The pop-up's window gained (true) or lost the keyboard focus.
    virtual void ActivationChanged(bool /*Active*/) {}

private:
    std::unique_ptr<TWidgetWindow> FWindow;
    int32_t FBorder = 2;
    bool FIsPoppedUp = false;
    bool FResult = false;
    TModalResult FModalResult = TModalResult::None;
};
