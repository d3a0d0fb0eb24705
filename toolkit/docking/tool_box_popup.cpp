#include "toolkit/docking/tool_box_popup.h"

#include "toolkit/skin/skin_colors.h"

namespace {

// The caption colour of an active tool box, shared with the title strips.
TColor ActiveCaption() { return SystemColors().Highlight; }

} // namespace

TToolBoxPopupWidget::TToolBoxPopupWidget() = default;

void TToolBoxPopupWidget::SetSizable(bool Value) {
    if (Value == FIsSizable)
        return;
    FIsSizable = Value;
    InvalidateNC({0, 0, Width(), Height()});
}

void TToolBoxPopupWidget::ActivationChanged(bool Active) {
    if (Active == FIsActive)
        return;
    FIsActive = Active;
    InvalidateNC({0, 0, Width(), Height()});
}

void TToolBoxPopupWidget::Layout() {
    // The hosted box fills the client area, also after the user sized the
    // pop-up.
    const TRect Client = ClientRect();
    for (auto& Child : Children())
        if (Child->IsVisible())
            Child->SetBounds({0, 0, Client.Width(), Client.Height()});
}

void TToolBoxPopupWidget::PaintFrame(TPixels& Pixels) {
    const int32_t W = Width(), H = Height();
    const TRect Outer{0, 0, W, H};
    const int32_t B = Border();
    if (B <= 0)
        return;
    if (B > 2)
        Pixels.FillBand(Outer.Inflated(-2, -2), ClientRect(), SkinColors().FaceColor);
    const TColor Black = MakeColor(0, 0, 0), White = MakeColor(255, 255, 255);
    const TColor OuterColor = FIsActive ? MixColors(ActiveCaption(), Black, 192) : Black;
    const TColor InnerColor = FIsActive ? ActiveCaption() : White;
    Pixels.FrameRect(Outer, OuterColor);
    if (B >= 2)
        Pixels.FrameRect(Outer.Inflated(-1, -1), InnerColor);
    if (!FIsSizable)
        return;
    // The grip: a light and a dark line along each edge of the corner.
    const TColor Light = FIsActive ? MixColors(ActiveCaption(), White, 64) : MakeColor(224, 224, 224);
    const TColor Dark =
        FIsActive ? MixColors(ActiveCaption(), SkinColors().ShadowColor, 64) : MakeColor(128, 128, 128);
    Pixels.FillRect({W - 2, H - 5, W - 1, H}, Light);
    Pixels.FillRect({W - 6, H - 2, W, H - 1}, Light);
    Pixels.FillRect({W - 1, H - 7, W, H}, Dark);
    Pixels.FillRect({W - 8, H - 1, W, H}, Dark);
}

THitTest TToolBoxPopupWidget::FrameHitTest(TPoint Point) const {
    const int32_t W = Width(), H = Height(), B = Border();
    if (!FIsSizable || B <= 0)
        return THitTest::Normal;
    const TRect Outer{0, 0, W, H};
    if (!Outer.Contains(Point) || Outer.Inflated(-B, -B).Contains(Point))
        return THitTest::Normal;
    if (Point.X >= W - 8 && Point.Y >= H - 8)
        return THitTest::ResizeBottomRight;
    if (Point.X >= W - 2 && Point.Y >= 2 && Point.Y < H - 8)
        return THitTest::ResizeRight;
    if (Point.Y >= H - 2 && Point.X >= 2 && Point.X < W - 8)
        return THitTest::ResizeBottom;
    // The rest of the frame is a plain border.
    return THitTest::Normal;
}
