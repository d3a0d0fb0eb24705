#include "toolkit/widgets/widget_window.h"

#include "platform/keys.h"
#include "toolkit/docking/dock.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/popup_widget.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <stdexcept>

// ---- TWidgetWindow

TWidgetWindow::TWidgetWindow(TWindowSystem& System, TWidget& Root, const TWindowOptions& Options)
    : FSystem(System), FRoot(&Root) {
    if (Root.FParent || Root.FHost)
        throw std::logic_error("a widget window's root must be a widget outside any tree");
    FNative = System.CreateWindow(Options);
    FNative->SetListener(this);
    Root.FHost = this;
    Resized();
}

TWidgetWindow::~TWidgetWindow() {
    FCapture = nullptr;
    if (FPaintTimer)
        FSystem.StopTimer(FPaintTimer);
    if (FRoot)
        FRoot->FHost = nullptr;
    MouseHandler().WindowGone(*this);
    FNative->SetListener(nullptr);
}

TWidgetWindow* TWidgetWindow::Of(const TNativeWindow* Native) {
    return Native ? dynamic_cast<TWidgetWindow*>(Native->Listener()) : nullptr;
}

void TWidgetWindow::Show(TActivate Activate) {
    Update();
    FNative->Show(Activate);
}

void TWidgetWindow::Hide() {
    FNative->Hide();
}

void TWidgetWindow::RootDestroyed() {
    FRoot = nullptr;
    FFocused = nullptr;
    FCapture = nullptr;
}

void TWidgetWindow::Resized() {
    TSize Size = FNative->ClientSize();
    if (Size.Width != FBack.Width() || Size.Height != FBack.Height()) {
        FBack.SetSize(Size.Width, Size.Height);
        FBack.Clear(); // a new raster never shows old memory
    }
    if (FRoot)
        FRoot->SetBounds({0, 0, Size.Width, Size.Height});
    RequestLayout();
    Invalidate(FBack.Bounds());
}

static int64_t Area(const TRect& R) {
    return R.IsEmpty() ? 0 : int64_t(R.Width()) * R.Height();
}

void TWidgetWindow::Invalidate(const TRect& WindowRect) {
    TRect R = WindowRect.Intersected(FBack.Bounds());
    if (R.IsEmpty())
        return;
    // Merge with every rectangle whose union with R is no larger than both
    // painted apart (overlapping or adjoining ones).
    for (bool Merged = true; Merged;) {
        Merged = false;
        for (auto It = FDirty.begin(); It != FDirty.end(); ++It) {
            TRect Union = It->United(R);
            if (Area(Union) <= Area(*It) + Area(R)) {
                R = Union;
                FDirty.erase(It);
                Merged = true;
                break;
            }
        }
    }
    FDirty.push_back(R);
    constexpr size_t MaxRects = 8;
    if (FDirty.size() > MaxRects) {
        TRect All = DirtyRect();
        FDirty.assign(1, All);
    }
    if (!FPaintTimer)
        FPaintTimer = FSystem.StartTimer(std::chrono::milliseconds(0), TTimerRepeat::Once, [this] {
            FPaintTimer = 0;
            Update();
        });
}

TRect TWidgetWindow::DirtyRect() const {
    TRect All;
    for (const TRect& R : FDirty)
        All = All.United(R);
    return All;
}

void TWidgetWindow::RequestLayout() {
    FNeedsLayout = true;
    if (!FPaintTimer)
        FPaintTimer = FSystem.StartTimer(std::chrono::milliseconds(0), TTimerRepeat::Once, [this] {
            FPaintTimer = 0;
            Update();
        });
}

void TWidgetWindow::LayoutTree(TWidget& Widget) {
    if (!Widget.FIsVisible)
        return;
    Widget.LayoutNC(Widget.Width(), Widget.Height());
    Widget.Layout();
    for (size_t I = 0; I < Widget.FChildren.size(); ++I)
        LayoutTree(*Widget.FChildren[I]);
}

void TWidgetWindow::Update() {
    if (!FRoot)
        return;
    if (FNeedsLayout) {
        FNeedsLayout = false;
        LayoutTree(*FRoot);
        if (!FRoot)
            return;
    }
    // Invalidations made while painting go to the next turn.
    std::vector<TRect> Dirty;
    Dirty.swap(FDirty);
    TWeakPtr Life(this);
    for (const TRect& Rect : Dirty) {
        TRect Part = Rect.Intersected(FBack.Bounds());
        if (Part.IsEmpty() || !FRoot)
            continue;
        {
            TPixelsStateSaver Saver(FBack);
            PaintWidget(*FRoot, FRoot->Bounds().TopLeft(), Part);
        }
        if (Life.IsExpired())
            return;
        FNative->Present(FBack.View(), Part);
    }
}

void TWidgetWindow::PaintWidget(TWidget& Widget, TPoint Origin, const TRect& Clip) {
    if (!Widget.FIsVisible)
        return;
    TRect Clipped =
        Clip.Intersected(TRect::FromSize(Origin.X, Origin.Y, Widget.Width(), Widget.Height()));
    if (Clipped.IsEmpty())
        return;
    TPixelsStateSaver Saver(FBack);
    FBack.SetClipRect(Clipped);
    FBack.Origin = Origin;
    if (Widget.FBackground == TWidgetBackground::Face)
        FBack.FillRect({0, 0, Widget.Width(), Widget.Height()}, SkinColors().FaceColor);

    TRect Client = Widget.ClientRect();
    if (Client != TRect{0, 0, Widget.Width(), Widget.Height()}) {
        Widget.PaintFrame(FBack);
        for (auto& Gadget : Widget.FNCGadgets) {
            const TRect& B = Gadget->Bounds();
            if (!Gadget->IsVisible() || B.IsEmpty())
                continue;
            TRect GadgetClip = Clipped.Intersected(
                TRect::FromSize(Origin.X + B.Left, Origin.Y + B.Top, B.Width(), B.Height()));
            if (GadgetClip.IsEmpty())
                continue;
            FBack.SetClipRect(GadgetClip);
            FBack.Origin = {Origin.X + B.Left, Origin.Y + B.Top};
            Gadget->Paint(FBack);
        }
    }

    TPoint ClientOrigin = Origin + Client.TopLeft();
    TRect ClientClip = Clipped.Intersected(
        TRect::FromSize(ClientOrigin.X, ClientOrigin.Y, Client.Width(), Client.Height()));
    if (ClientClip.IsEmpty())
        return;
    FBack.SetClipRect(ClientClip);
    FBack.Origin = ClientOrigin;
    Widget.Paint(FBack);
    for (size_t I = 0; I < Widget.FChildren.size(); ++I) {
        TWidget& Child = *Widget.FChildren[I];
        PaintWidget(Child, ClientOrigin + Child.Bounds().TopLeft(), ClientClip);
    }
}

bool TWidgetWindow::SetFocused(TWidget* Widget) {
    if (Widget && (Widget->Window() != this || !Widget->IsShowing() || !Widget->IsEnabledInTree()))
        return false;
    if (Widget == FFocused)
        return true;
    TWidget* Old = FFocused;
    FFocused = Widget;
    // Every widget on the path remembers the child leading to the focus.
    for (TWidget* W = Widget; W && W->FParent; W = W->FParent)
        W->FParent->FFocusedChild = W;
    TWeakPtr Life(this);
    if (Old) {
        TWeakPtr OldLife(Old);
        Old->FocusChanged();
        if (!OldLife.IsExpired())
            Old->Invalidate();
    }
    if (Life.IsExpired())
        return false;
    if (Widget && FFocused == Widget) {
        TWeakPtr NewLife(Widget);
        Widget->FocusChanged();
        if (!NewLife.IsExpired())
            Widget->Invalidate();
    }
    return true;
}

std::vector<TWidget*> TWidgetWindow::TabOrder() const {
    std::vector<TWidget*> Order;
    if (!FRoot)
        return Order;
    std::function<void(TWidget&)> Walk = [&](TWidget& W) {
        for (auto& Child : W.Children()) {
            Order.push_back(Child.get());
            Walk(*Child);
        }
    };
    Walk(*FRoot);
    return Order;
}

static bool CanTakeFocus(const TWidget& W) {
    return W.TabStop() && W.IsShowing() && W.IsEnabledInTree();
}

bool TWidgetWindow::FocusNext(bool Backward) {
    std::vector<TWidget*> Order = TabOrder();
    auto N = int32_t(Order.size());
    if (N == 0)
        return false;
    int32_t Step = Backward ? -1 : 1;
    auto It = std::find(Order.begin(), Order.end(), FFocused);
    // Outside the list the walk starts at the first (last) entry itself.
    int32_t Start = It == Order.end() ? (Backward ? 0 : N - 1) : int32_t(It - Order.begin());
    for (int32_t K = 1; K <= N; ++K) {
        TWidget* Candidate = Order[size_t(((Start + Step * K) % N + N) % N)];
        if (CanTakeFocus(*Candidate))
            return SetFocused(Candidate);
    }
    return false;
}

bool TWidgetWindow::FocusArrow(uint8_t Key) {
    if (!FFocused)
        return false;
    TRect F = FFocused->WindowRect();
    int32_t Cx = (F.Left + F.Right) / 2, Cy = (F.Top + F.Bottom) / 2;
    int32_t W = F.Width(), H = F.Height();
    bool Horizontal = Key == KeyLeft || Key == KeyRight;
    int32_t K = 1;
    if (Horizontal && H > 1 && W > 0)
        K = W / H + 1;
    else if (!Horizontal && W > 1 && H > 0)
        K = H / W + 1;
    TWidget* Best = nullptr;
    int64_t BestScore = std::numeric_limits<int64_t>::max();
    for (TWidget* Candidate : TabOrder()) {
        if (Candidate == FFocused || !CanTakeFocus(*Candidate))
            continue;
        TRect C = Candidate->WindowRect();
        bool Qualifies = (Key == KeyLeft && C.Right <= Cx) || (Key == KeyRight && C.Left >= Cx) ||
                         (Key == KeyUp && C.Bottom <= Cy) || (Key == KeyDown && C.Top >= Cy);
        if (!Qualifies)
            continue;
        int64_t Dx = std::abs((C.Left + C.Right) / 2 - Cx),
                Dy = std::abs((C.Top + C.Bottom) / 2 - Cy);
        int64_t Score = Horizontal ? Dx + K * Dy : K * Dx + Dy;
        if (Score < BestScore) {
            BestScore = Score;
            Best = Candidate;
        }
    }
    return Best && SetFocused(Best);
}

TMouseTarget* TWidgetWindow::TargetAt(TPoint WindowPoint) const {
    if (!FRoot)
        return nullptr;
    TMouseTarget* Under = FRoot->TargetAt(WindowPoint - FRoot->Bounds().TopLeft());
    if (FCapture && Under != FCapture)
        return nullptr;
    return Under;
}

void TWidgetWindow::SetCapture(TMouseTarget& Target) { ChangeCapture(&Target, TCaptureKind::Explicit); }

void TWidgetWindow::ReleaseCapture() { ChangeCapture(nullptr, TCaptureKind::Press); }

void TWidgetWindow::ChangeCapture(TMouseTarget* Target, TCaptureKind Kind) {
    FCaptureKind = Kind;
    TMouseTarget* Old = FCapture;
    if (Old == Target)
        return;
    TWeakPtr Life(this);
    TWeakPtr OldLife(Old);
    TWeakPtr NewLife(Target);
    FCapture = Target;
    if (Target)
        FSystem.TakeCapture(*FNative);
    if (Life.IsExpired())
        return;
    TMouseHandler& Handler = MouseHandler();
    Handler.FSystem = &FSystem;
    Handler.Restart(TMouseHandler::FirstRepeat);
    if (Old && !OldLife.IsExpired()) {
        Old->StateChanged();
        if (!OldLife.IsExpired())
            Old->CaptureEnd();
    }
    if (Life.IsExpired() || !Target || NewLife.IsExpired() || FCapture != Target)
        return;
    Target->StateChanged();
    if (!NewLife.IsExpired() && FCapture == Target)
        Target->CaptureBegin();
}

void TWidgetWindow::Forget(TMouseTarget& Target) {
    if (FCapture == &Target) {
        FCapture = nullptr;
        FCaptureKind = TCaptureKind::Press;
    }
    if (FFocused == &Target)
        FFocused = nullptr;
}

void TWidgetWindow::HandleEvent(const TEvent& Event) {
    if (auto* Mouse = std::get_if<TMouseEvent>(&Event))
        HandleMouse(*Mouse);
    else if (auto* Key = std::get_if<TKeyEvent>(&Event))
        HandleKey(*Key);
    else if (auto* Text = std::get_if<TTextEvent>(&Event))
        HandleText(*Text);
    else if (auto* Drop = std::get_if<TDropEvent>(&Event))
        HandleDrop(*Drop);
    else if (auto* Window = std::get_if<TWindowEvent>(&Event)) {
        auto* Popup = dynamic_cast<TPopupWidget*>(FRoot);
        switch (Window->Kind) {
        case TWindowEventKind::Resized:
            Resized();
            break;
        case TWindowEventKind::Exposed:
            Invalidate(FBack.Bounds());
            break;
        case TWindowEventKind::Shown:
        case TWindowEventKind::Restored:
        case TWindowEventKind::Hidden:
        case TWindowEventKind::Minimized:
            // The floating docks belong to the main window: the desktop
            // has no owned windows to hide and show them for us.
            if (FNative.get() == DockList().MainWindow())
                DockList().ShowFloating(Window->Kind == TWindowEventKind::Shown ||
                                        Window->Kind == TWindowEventKind::Restored);
            break;
        case TWindowEventKind::FocusGained:
            if (Popup)
                Popup->ActivationChanged(true);
            if (!FFocused && FRoot)
                if (TWidget* Target = FRoot->FindFocusTarget(); Target != FRoot)
                    SetFocused(Target);
            break;
        case TWindowEventKind::FocusLost:
            if (Popup)
                Popup->ActivationChanged(false);
            if (Popup && Popup->IsPoppedUp()) {
                // Focus moving to a window owned by the pop-up keeps it open.
                const TNativeWindow* Now = FSystem.FocusedWindow();
                while (Now && Now != FNative.get())
                    Now = Now->Owner();
                if (!Now)
                    Popup->ClosePopup(false);
            }
            break;
        case TWindowEventKind::MouseLeft:
            if (TMouseTarget* Hot = MouseHandler().Hot();
                Hot && Hot->OwnerWidget() && Hot->OwnerWidget()->Window() == this && !FCapture)
                MouseHandler().SetHot(nullptr);
            break;
        case TWindowEventKind::CloseRequest:
            if (Popup && Popup->IsPoppedUp())
                Popup->ClosePopup(false);
            break;
        default:
            break;
        }
    }
}

void TWidgetWindow::HandleMouse(const TMouseEvent& Event) {
    if (!FRoot)
        return;
    TWeakPtr Life(this);
    TMouseHandler& Handler = MouseHandler();
    Handler.FSystem = &FSystem;
    if (Event.Kind == TMouseEventKind::Down) {
        Handler.CloseOtherPopups(FNative.get());
        if (Life.IsExpired() || !FRoot)
            return;
    }
    TMouseTarget* Under = FRoot->TargetAt(Event.Position - FRoot->Bounds().TopLeft());
    TMouseTarget* Target = FCapture ? FCapture : Under;
    // While a target holds the capture nothing else is under the mouse; the
    // release that ends the capture makes the real one hot at once.
    if (FCapture && Under != FCapture && !(Event.Kind == TMouseEventKind::Up && Event.Buttons == 0))
        Under = nullptr;
    if (!Target)
        return;
    TWeakPtr TargetLife(Target);

    if (Event.Kind == TMouseEventKind::Down) {
        if (!FCapture)
            ChangeCapture(Target, TCaptureKind::Press);
    } else if (Event.Buttons == 0 && FCaptureKind == TCaptureKind::Press) {
        ChangeCapture(nullptr, TCaptureKind::Press);
    }
    if (Life.IsExpired() || TargetLife.IsExpired())
        return;
    Handler.SetHot(Under);
    if (Life.IsExpired() || TargetLife.IsExpired())
        return;

    TWidgetMouseEvent E;
    E.Kind = Event.Kind;
    E.Button = Event.Button;
    E.ScreenPosition = Event.ScreenPosition;
    E.Clicks = Event.Clicks;
    E.WheelDelta = Event.WheelDelta;
    E.IsHorizontalWheel = Event.IsHorizontalWheel;
    E.Modifiers = Event.Modifiers;
    E.Buttons = Event.Buttons;

    auto* Widget = dynamic_cast<TWidget*>(Target);
    if (Event.Kind == TMouseEventKind::Wheel) {
        // The wheel goes up the tree until a widget takes it.
        for (TWidget* W = Target->OwnerWidget(); W;) {
            TWeakPtr WLife(W);
            TWidget* Parent = W->Parent();
            E.Position = Event.Position - W->WindowClientOrigin();
            if (W->IsEnabledInTree() && W->MouseWheel(E))
                return;
            if (WLife.IsExpired() || Life.IsExpired())
                return;
            W = Parent;
        }
        return;
    }
    E.Position =
        Event.Position - (Widget ? Widget->WindowClientOrigin() : Target->WindowRect().TopLeft());

    // In design mode the designer's hook sees the input first.
    TWidget* Owner = Target->OwnerWidget();
    if (Owner && Owner->IsDesigning()) {
        const TDesignHook& Hook = Owner->DesignHook();
        if (Hook.Callback && Hook.Callback(Owner, E, Hook.Data))
            return;
        if (TargetLife.IsExpired())
            return;
    } else if (Owner && !Owner->IsEnabledInTree()) {
        return;
    }
    switch (Event.Kind) {
    case TMouseEventKind::Down:
        if (Owner && !Owner->IsDesigning()) {
            Owner->ActivateOnClick(dynamic_cast<TNCGadget*>(Target) ? TClickPart::Border : TClickPart::Client);
            if (Life.IsExpired() || TargetLife.IsExpired())
                return;
        }
        Target->MouseDown(E);
        break;
    case TMouseEventKind::Up:
        Target->MouseUp(E);
        break;
    default:
        Target->MouseMove(E);
        break;
    }
}

void TWidgetWindow::HandleKey(const TKeyEvent& Event) {
    if (!FRoot)
        return;
    TWeakPtr Life(this);
    TWidgetKeyEvent E;
    E.Kind = Event.Kind;
    E.Key = Event.Key;
    E.Modifiers = Event.Modifiers;
    E.ShortCut = Event.ShortCut;
    E.IsRepeat = Event.IsRepeat;
    // The focused control first, then its parents up to the root.
    for (TWidget* W = FFocused ? FFocused : FRoot; W;) {
        TWeakPtr WLife(W);
        TWidget* Parent = W->Parent();
        if (W->IsEnabledInTree()) {
            if (Event.Kind == TKeyEventKind::Down)
                W->KeyDown(E);
            else
                W->KeyUp(E);
        }
        if (Life.IsExpired() || E.IsAccepted() || WLife.IsExpired())
            return;
        W = Parent;
    }
    if (Event.Kind != TKeyEventKind::Down)
        return;
    bool Ctrl = (Event.Modifiers & ShortCutCtrl) != 0;
    // Accelerators and the default button: offered to the whole tree.
    bool Alt = (Event.Modifiers & ShortCutAlt) != 0;
    if ((Alt || (Event.Key == KeyEnter && !Ctrl)) && FRoot && FRoot->OfferDialogChar(E))
        return;
    if (Life.IsExpired() || !FRoot)
        return;
    if (Event.Key == KeyTab && !Ctrl && FocusNext((Event.Modifiers & ShortCutShift) != 0))
        return;
    if ((Event.Key == KeyLeft || Event.Key == KeyRight || Event.Key == KeyUp ||
         Event.Key == KeyDown) &&
        !Ctrl && FocusArrow(Event.Key))
        return;
    if (Life.IsExpired())
        return;
    if (FShortcutHook) {
        TShortcutHook Hook = FShortcutHook;
        Hook(E);
    }
}

void TWidgetWindow::HandleText(const TTextEvent& Event) {
    if (!FRoot)
        return;
    TWeakPtr Life(this);
    TWidgetTextEvent E;
    E.Text = Event.Text;
    for (TWidget* W = FFocused ? FFocused : FRoot; W;) {
        TWeakPtr WLife(W);
        TWidget* Parent = W->Parent();
        if (W->IsEnabledInTree())
            W->TextInput(E);
        if (Life.IsExpired() || E.IsAccepted() || WLife.IsExpired())
            return;
        W = Parent;
    }
}

void TWidgetWindow::HandleDrop(const TDropEvent& Event) {
    if (!FRoot)
        return;
    TWeakPtr Life(this);
    TMouseTarget* Under = FRoot->TargetAt(Event.Position - FRoot->Bounds().TopLeft());
    TWidgetDropEvent E;
    E.Files = Event.Files;
    E.ScreenPosition = Event.ScreenPosition;
    // The widget under the drop first, then its parents up to the root.
    for (TWidget* W = Under ? Under->OwnerWidget() : nullptr; W;) {
        TWeakPtr WLife(W);
        TWidget* Parent = W->Parent();
        E.Position = Event.Position - W->WindowClientOrigin();
        if (W->IsEnabledInTree())
            W->DropFiles(E);
        if (Life.IsExpired() || E.IsAccepted() || WLife.IsExpired())
            return;
        W = Parent;
    }
}

// ---- TMouseHandler

TMouseHandler& MouseHandler() {
    static TMouseHandler Handler;
    return Handler;
}

void TMouseHandler::SetHot(TMouseTarget* Target) {
    if (Target == FHot)
        return;
    TMouseTarget* Old = FHot;
    FHot = Target;
    TWeakPtr NewLife(Target);
    if (Old) {
        Old->FIsHot = false;
        TWeakPtr OldLife(Old);
        Old->MouseLeave();
        if (!OldLife.IsExpired())
            Old->StateChanged();
    }
    if (Target && !NewLife.IsExpired() && FHot == Target) {
        Target->FIsHot = true;
        Target->MouseEnter();
        if (!NewLife.IsExpired())
            Target->StateChanged();
    }
    Restart(FirstRepeat);
}

TMouseTarget* TMouseHandler::Pressed() const {
    TWidgetWindow* Holder = FSystem ? TWidgetWindow::Of(FSystem->CaptureWindow()) : nullptr;
    return Holder ? Holder->Capture() : nullptr;
}

void TMouseHandler::Restart(std::chrono::milliseconds Interval) {
    if (!FSystem)
        return;
    if (FTimer)
        FSystem->StopTimer(FTimer);
    FTimer = 0;
    if (FHot || Pressed())
        FTimer = FSystem->StartTimer(Interval, TTimerRepeat::Once, [this] {
            FTimer = 0;
            Tick();
        });
}

void TMouseHandler::Tick() {
    if (!FSystem || (!FHot && !Pressed()))
        return;
    TPoint Mouse = FSystem->MousePosition();
    TNativeWindow* Native =
        FSystem->CaptureWindow() ? FSystem->CaptureWindow() : FSystem->WindowAt(Mouse);
    TWidgetWindow* Window = TWidgetWindow::Of(Native);
    TMouseTarget* Under = Window ? Window->TargetAt(Mouse - Native->Bounds().TopLeft()) : nullptr;
    TMouseTarget* Before = FHot;
    SetHot(Under);
    if (TMouseTarget* Held = Pressed(); Held && Held == FHot)
        Held->RepeatTick();
    // A change of the hot target restarted the timer at the first interval.
    if (FHot == Before)
        Restart(NextRepeat);
}

void TMouseHandler::Forget(TMouseTarget& Target) {
    bool Changed = false;
    if (FHot == &Target) {
        FHot = nullptr;
        Changed = true;
    }
    if (Changed && !Pressed() && FSystem && FTimer) {
        FSystem->StopTimer(FTimer);
        FTimer = 0;
    }
}

void TMouseHandler::WindowGone(TWidgetWindow& Window) {
    auto InWindow = [&](TMouseTarget* T) {
        TWidget* Owner = T ? T->OwnerWidget() : nullptr;
        return Owner && (Owner->Window() == &Window || Owner->Window() == nullptr);
    };
    if (InWindow(FHot)) {
        FHot->FIsHot = false;
        FHot = nullptr;
    }
    if (FSystem == &Window.System() && !FHot && !Pressed()) {
        if (FTimer)
            FSystem->StopTimer(FTimer);
        FTimer = 0;
        FSystem = nullptr;
    }
}

void TMouseHandler::CloseOtherPopups(const TNativeWindow* Window) {
    std::vector<TPopupWidget*> Open = FPopups;
    for (TPopupWidget* Popup : Open) {
        if (std::find(FPopups.begin(), FPopups.end(), Popup) == FPopups.end())
            continue; // closed or destroyed meanwhile
        TWidgetWindow* PopupWindow = Popup->PopupWindow();
        if (!PopupWindow)
            continue;
        const TNativeWindow* W = Window;
        while (W && W != &PopupWindow->Native())
            W = W->Owner();
        if (!W)
            Popup->ClosePopup(false);
    }
}
