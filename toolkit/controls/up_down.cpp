#include "toolkit/controls/up_down.h"

#include "platform/keys.h"
#include "toolkit/skin/look.h"
#include "toolkit/skin/skin.h"
#include "toolkit/skin/skin_colors.h"

#include <algorithm>

const TControlClass TUpDown::Class{"TUpDown", &TWidget::Class, CreateControlOf<TUpDown>};

namespace {

constexpr TColor White = MakeColor(255, 255, 255, 255);

// A filled triangle Size rows high, its base 2 * Size - 1 pixels wide,
// centred in Rect and pointing up or down; drawn row by row so that its
// edges are crisp at every size.
void FillArrow(TPixels& Pixels, const TRect& Rect, int32_t Size, TUpDownDirection Direction, TColor Color) {
    int32_t BaseWidth = 2 * Size - 1;
    int32_t Left = Rect.Left + (Rect.Width() - BaseWidth) / 2;
    int32_t Top = Rect.Top + (Rect.Height() - Size) / 2;
    for (int32_t Row = 0; Row < Size; ++Row) {
        int32_t HalfWidth = Direction == TUpDownDirection::Increase ? Row : Size - 1 - Row;
        int32_t Centre = Left + Size - 1;
        Pixels.BlendRect({Centre - HalfWidth, Top + Row, Centre + HalfWidth + 1, Top + Row + 1}, Color);
    }
}

} // namespace

// ---- TUpDownArrow

TUpDown* TUpDownArrow::Owner() const {
    return static_cast<TUpDown*>(Parent());
}

void TUpDownArrow::Execute() {
    if (TUpDown* UpDown = Owner())
        UpDown->Step(FDirection == TUpDownDirection::Increase ? 1 : -1);
}

void TUpDownArrow::Paint(TPixels& Pixels) {
    TUpDown* UpDown = Owner();
    bool Window = UpDown && UpDown->Look() == TUpDownLook::Window;
    bool Enabled = IsEnabledInTree();
    TRect Rect{0, 0, Width(), Height()};
    TButtonState State{Enabled, Checked(), IsDown(), IsHot()};
    if (Window)
        PaintWindowButtonBackground(Rect, Pixels, State);
    else
        PaintButtonBackground(Rect, Pixels, State);
    int32_t Size = std::min(Width() / 4, Height() / 3) + 1;
    TColor Color = 0;
    if (Window)
        Color = AlphaColor(MixColors(UpDown->ArrowColor(), SystemColors().WindowText, 192), Enabled ? 255 : 64);
    else
        Color = AlphaColor(SkinColors().TextColor, Enabled ? 255 : 64);
    // A held arrow sinks by a pixel, like a pressed button's caption.
    TRect ArrowRect = Enabled && IsDown() && IsHot() ? Rect.Translated({0, 1}) : Rect;
    FillArrow(Pixels, ArrowRect, Size, FDirection, Color);
    if (Window)
        PaintWindowButtonFrame(Rect, Pixels, State);
    else
        PaintButtonFrame(Rect, Pixels, State);
}

// ---- TUpDownMiddle

TUpDown* TUpDownMiddle::Owner() const {
    return static_cast<TUpDown*>(Parent());
}

void TUpDownMiddle::MouseDown(TWidgetMouseEvent& Event) {
    if (Event.Button != TMouseButton::Left || !IsEnabledInTree())
        return;
    Event.Accept();
    FLast = Event.ScreenPosition;
    FIsDragging = true;
    Changed();
    if (TUpDown* UpDown = Owner())
        if (std::function<void()> Handler = UpDown->OnDragBegin)
            Handler();
}

void TUpDownMiddle::MouseMove(TWidgetMouseEvent& Event) {
    if (!FIsDragging)
        return;
    Event.Accept();
    // Right and up count positive.
    int32_t Count = (Event.ScreenPosition.X - FLast.X) - (Event.ScreenPosition.Y - FLast.Y);
    FLast = Event.ScreenPosition;
    if (Count != 0)
        if (TUpDown* UpDown = Owner())
            UpDown->Step(Count);
}

void TUpDownMiddle::MouseUp(TWidgetMouseEvent& Event) {
    if (Event.Button == TMouseButton::Left && FIsDragging) {
        Event.Accept();
        EndDrag();
    }
}

void TUpDownMiddle::StateChanged() {
    // Losing the press without a release (the capture taken away) ends the
    // drag as well.
    if (FIsDragging && !IsDown()) {
        TWeakPtr Life(this);
        EndDrag();
        if (Life.IsExpired())
            return;
    }
    TFlatGadget::StateChanged();
}

void TUpDownMiddle::EndDrag() {
    if (!FIsDragging)
        return;
    FIsDragging = false;
    Changed();
    if (TUpDown* UpDown = Owner())
        if (std::function<void()> Handler = UpDown->OnDragEnd)
            Handler();
}

void TUpDownMiddle::Paint(TPixels& Pixels) {
    if (!IsEnabledInTree())
        return;
    TUpDown* UpDown = Owner();
    TRect Rect{0, 0, Width(), Height()};
    TColor Highlight = SystemColors().Highlight;
    bool Pressed = IsDown() || FIsDragging;
    if (UpDown && UpDown->Look() == TUpDownLook::Window) {
        if (Pressed)
            Pixels.BlendRect(Rect, AlphaColor(Highlight, 255));
        else if (IsHot())
            Pixels.BlendRect(Rect, AlphaColor(Highlight, 128));
        else
            Pixels.BlendRect(Rect, AlphaColor(UpDown->ArrowColor(), 16));
    } else if (Pressed) {
        Pixels.PixelOp(Rect, White, HighlightOp, 64);
        Pixels.BlendRect(Rect, AlphaColor(Highlight, 128));
    } else if (IsHot()) {
        Pixels.PixelOp(Rect, White, HighlightOp, 64);
        Pixels.BlendFrameRect(Rect, AlphaColor(Highlight, 96));
    } else {
        Pixels.BlendRect(Rect, AlphaColor(SkinColors().ShadowColor, 64));
    }
}

// ---- TUpDown

TUpDown::TUpDown() : FArrowColor(SystemColors().WindowText) {
    FIncrease = &Add<TUpDownArrow>(TUpDownDirection::Increase);
    FMiddle = &Add<TUpDownMiddle>();
    FDecrease = &Add<TUpDownArrow>(TUpDownDirection::Decrease);
}

void TUpDown::SetArrowsEnabled(bool Decrease, bool Increase) {
    FDecrease->SetEnabled(Decrease);
    FIncrease->SetEnabled(Increase);
    FMiddle->SetEnabled(Decrease || Increase);
}

void TUpDown::SetArrowColor(TColor Color) {
    if (Color == FArrowColor)
        return;
    FArrowColor = Color;
    Invalidate();
}

void TUpDown::SetLook(TUpDownLook Look) {
    if (Look == FLook)
        return;
    FLook = Look;
    Invalidate();
}

void TUpDown::Step(int32_t Count) {
    if (std::function<void(int32_t)> Handler = OnStep)
        Handler(Count);
}

bool TUpDown::GetDefaultSize(int32_t& Width, int32_t& Height) {
    Width = Skins().Scale(48);
    Height = Skins().Scale(64);
    return true;
}

void TUpDown::Layout() {
    TRect Client = ClientRect();
    int32_t W = Client.Width(), H = Client.Height();
    int32_t Arrow = H * 4 / 9;
    FIncrease->SetBounds({0, 0, W, Arrow});
    FMiddle->SetBounds({0, Arrow, W, H - Arrow});
    FDecrease->SetBounds({0, H - Arrow, W, H});
}

bool TUpDown::MouseWheel(TWidgetMouseEvent& Event) {
    if (Event.IsHorizontalWheel)
        return false;
    if (int32_t Count = Event.WheelDelta / 120; Count != 0)
        Step(Count);
    return true;
}

void TUpDown::KeyDown(TWidgetKeyEvent& Event) {
    if (Event.Modifiers != 0 || (Event.Key != ::KeyUp && Event.Key != ::KeyDown))
        return;
    Event.Accept();
    Step(Event.Key == ::KeyUp ? 1 : -1);
}
