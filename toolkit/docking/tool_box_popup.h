#pragma once

#include "toolkit/widgets/popup_widget.h"

// The pop-up that shows a tool box of an association next to a control: a
// two-line frame in the caption colours (black and white while another
// window has the focus), and, when sizable, a grip in the bottom-right
// corner whose edges the window manager sizes the pop-up by. The hosted box
// fills the client area.
class TToolBoxPopupWidget : public TPopupWidget {
public:
    TToolBoxPopupWidget();
    std::string_view ClassName() const override { return "TToolBoxPopupWidget"; }

    bool IsSizable() const { return FIsSizable; }
    void SetSizable(bool Value);
    bool IsActive() const { return FIsActive; }

    void PaintFrame(TPixels& Pixels) override;
    THitTest FrameHitTest(TPoint Point) const override;
    void Layout() override;

protected:
    void ActivationChanged(bool Active) override;

private:
    bool FIsSizable = true;
    bool FIsActive = false;
};
