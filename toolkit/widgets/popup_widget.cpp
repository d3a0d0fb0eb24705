#include "toolkit/widgets/popup_widget.h"

#include "platform/keys.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>

TPopupWidget::TPopupWidget() = default;

TPopupWidget::~TPopupWidget() {
    // Ends a loop in progress: Popup notices through the life token.
    auto& Popups = MouseHandler().FPopups;
    Popups.erase(std::remove(Popups.begin(), Popups.end(), this), Popups.end());
    FIsPoppedUp = false;
    FWindow.reset();
}

// Shifts R, without shrinking it, so that it lies inside Area.
static TRect FitRect(TRect R, const TRect& Area) {
    int32_t Dx = 0, Dy = 0;
    if (R.Right > Area.Right)
        Dx = Area.Right - R.Right;
    if (R.Left + Dx < Area.Left)
        Dx = Area.Left - R.Left;
    if (R.Bottom > Area.Bottom)
        Dy = Area.Bottom - R.Bottom;
    if (R.Top + Dy < Area.Top)
        Dy = Area.Top - R.Top;
    return TRect::FromSize(R.Left + Dx, R.Top + Dy, R.Width(), R.Height());
}

TRect TPopupWidget::Place(TPoint At, TSize Size, const TRect& Control, const TRect& WorkArea) {
    TRect Requested = TRect::FromSize(At.X, At.Y, Size.Width, Size.Height);
    TRect R = FitRect(Requested, WorkArea);
    if (Control.IsEmpty() || R == Requested || !R.Intersects(Control))
        return R;
    int32_t OverlapX =
        std::min(Requested.Right, Control.Right) - std::max(Requested.Left, Control.Left);
    int32_t OverlapY =
        std::min(Requested.Bottom, Control.Bottom) - std::max(Requested.Top, Control.Top);
    // Centres doubled to stay in integers.
    int32_t ControlX = Control.Left + Control.Right, ControlY = Control.Top + Control.Bottom;
    int32_t RequestedX = Requested.Left + Requested.Right,
            RequestedY = Requested.Top + Requested.Bottom;
    if (OverlapX < OverlapY) {
        int32_t X = ControlX < RequestedX ? Control.Left - Size.Width : Control.Right;
        R = TRect::FromSize(X, R.Top, Size.Width, Size.Height);
    } else {
        int32_t Y = ControlY < RequestedY ? Control.Top - Size.Height : Control.Bottom;
        R = TRect::FromSize(R.Left, Y, Size.Width, Size.Height);
    }
    return FitRect(R, WorkArea);
}

namespace {

// Whether Window still exists (an owner can go while its pop-up is open).
bool IsLiveWindow(const TWindowSystem& System, const TNativeWindow* Window) {
    const std::vector<TNativeWindow*>& Windows = System.ZOrder();
    return std::find(Windows.begin(), Windows.end(), Window) != Windows.end();
}

} // namespace

bool TPopupWidget::Popup(TWindowSystem& System, int32_t X, int32_t Y, TWidget* Control) {
    if (FIsPoppedUp)
        return false;
    TWidgetWindow* ControlWindow = Control ? Control->Window() : nullptr;
    TRect ControlRect = Control ? Control->ScreenRect() : TRect{};
    TRect WorkArea = System.DisplayAt({X, Y}).WorkArea;
    TRect R = Place({X, Y}, {Width(), Height()}, ControlRect, WorkArea);
    // A pop-up without a control (a dialog) belongs to the window the user
    // was working in: it stays above that window, and the keyboard goes
    // back there when it closes.
    TNativeWindow* Owner = ControlWindow ? &ControlWindow->Native() : System.FocusedWindow();

    FResult = true;
    FIsPoppedUp = true;
    FModalResult = TModalResult::None;
    FWindow = std::make_unique<TWidgetWindow>(System, *this,
                                              TWindowOptions{.Kind = TWindowKind::Popup,
                                                             .Title = {},
                                                             .Bounds = R,
                                                             .Owner = Owner,
                                                             .IsResizable = false,
                                                             .IsShaped = false});
    FWindow->Native().SetHitTester([this](TPoint Point) { return FrameHitTest(Point); });
    MouseHandler().FPopups.push_back(this);
    FWindow->Show(TActivate::Yes);
    if (TWidget* Target = FindFocusTarget(); Target != this)
        FWindow->SetFocused(Target);

    TWeakPtr Life(this);
    TWeakPtr OwnerLife(ControlWindow);
    auto Finish = [&] {
        if (Life.IsExpired())
            return;
        auto& Popups = MouseHandler().FPopups;
        Popups.erase(std::remove(Popups.begin(), Popups.end(), this), Popups.end());
        FIsPoppedUp = false;
        FWindow.reset();
        if (Owner && (!ControlWindow || !OwnerLife.IsExpired()) && IsLiveWindow(System, Owner))
            Owner->Activate();
    };
    try {
        if (!System.RunLoop([&] { return Life.IsExpired() || !FIsPoppedUp; }))
            FResult = false; // the application is ending
    } catch (...) {
        Finish();
        throw;
    }
    if (Life.IsExpired())
        return false;
    Finish();
    return FResult;
}

void TPopupWidget::ClosePopup(bool Result) {
    if (!FIsPoppedUp)
        return;
    FResult = Result;
    if (FModalResult == TModalResult::None)
        FModalResult = Result ? TModalResult::Ok : TModalResult::Cancel;
    FIsPoppedUp = false;
    if (FWindow)
        FWindow->Hide();
}

void TPopupWidget::SetModalResult(TModalResult Value) {
    if (Value == TModalResult::None || !FIsPoppedUp)
        return;
    FModalResult = Value;
    ClosePopup(Value != TModalResult::Cancel);
}

void TPopupWidget::SetBorder(int32_t Border) {
    FBorder = std::max(0, Border);
    RequestLayout();
    Invalidate();
}

void TPopupWidget::PaintFrame(TPixels& Pixels) {
    TRect Outer{0, 0, Width(), Height()};
    Pixels.FillBand(Outer, ClientRect(), SkinColors().ShadowColor);
}

void TPopupWidget::KeyDown(TWidgetKeyEvent& Event) {
    if (Event.Key == KeyEscape) {
        Event.Accept();
        ClosePopup(false);
    } else if (Event.Key == KeyEnter && !(Event.Modifiers & ShortCutCtrl)) {
        Event.Accept();
        // A default button inside answers Enter with its own result.
        TWeakPtr Life(this);
        if (OfferDialogChar(Event) || Life.IsExpired())
            return;
        ClosePopup(true);
    }
}
