#include "toolkit/widgets/widget.h"

#include "toolkit/skin/look.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/drag.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>

const TControlClass TWidget::Class{"TWidget", &TControl::Class, CreateControlOf<TWidget>};
const TControlClass TGadget::Class{"TGadget", &TWidget::Class, CreateControlOf<TGadget>};

// ---- TMouseTarget

TMouseTarget::TMouseTarget() = default;

TMouseTarget::~TMouseTarget() {
    MouseHandler().Forget(*this);
}

bool TMouseTarget::IsDown() const { return MouseHandler().Pressed() == this; }

// ---- TNCGadget

TNCGadget::~TNCGadget() {
    if (FWidget)
        if (TWidgetWindow* Window = FWidget->Window())
            Window->Forget(*this);
    MouseHandler().Forget(*this);
}

void TNCGadget::SetBounds(const TRect& Bounds) {
    if (Bounds == FBounds)
        return;
    Invalidate();
    FBounds = Bounds;
    Invalidate();
}

void TNCGadget::SetVisible(bool Visible) {
    if (Visible == FIsVisible)
        return;
    FIsVisible = Visible;
    if (!Visible) {
        // A hidden part can be neither under the mouse nor held.
        TWeakPtr Life(this);
        if (TWidgetWindow* Window = FWidget ? FWidget->Window() : nullptr; Window && Window->Capture() == this)
            Window->ReleaseCapture();
        if (Life.IsExpired())
            return;
        if (MouseHandler().Hot() == this)
            MouseHandler().SetHot(nullptr);
        if (Life.IsExpired())
            return;
    }
    if (FWidget)
        FWidget->Invalidate();
}

void TNCGadget::Invalidate() {
    if (!FWidget || !FWidget->IsShowing())
        return;
    if (TWidgetWindow* Window = FWidget->Window())
        Window->Invalidate(WindowRect());
}

TRect TNCGadget::WindowRect() const {
    if (!FWidget)
        return FBounds;
    TPoint Origin = FWidget->WindowOrigin();
    return TRect::FromSize(Origin.X + FBounds.Left, Origin.Y + FBounds.Top, FBounds.Width(),
                           FBounds.Height());
}

// ---- TWidget

TWidget::TWidget() = default;

TWidget::~TWidget() {
    // Children first, last first, each clearing the pointers kept to it.
    while (!FChildren.empty()) {
        std::unique_ptr<TWidget> Child = std::move(FChildren.back());
        FChildren.pop_back();
        Child.reset();
    }
    while (!FNCGadgets.empty()) {
        std::unique_ptr<TNCGadget> Gadget = std::move(FNCGadgets.back());
        FNCGadgets.pop_back();
        Gadget.reset();
    }
    if (FParent && FParent->FFocusedChild == this)
        FParent->FFocusedChild = nullptr;
    if (TWidgetWindow* Window = this->Window())
        Window->Forget(*this);
    MouseHandler().Forget(*this);
    Drag().Forget(*this);
    if (FHost)
        FHost->RootDestroyed();
}

TWidget& TWidget::AddChild(std::unique_ptr<TWidget> Child) {
    TWidget& Added = *Child;
    Added.FParent = this;
    FChildren.push_back(std::move(Child));
    if (FIsDesigning)
        Added.BeginDesign(FDesignHook);
    RequestLayout();
    Added.Invalidate();
    return Added;
}

void TWidget::ForgetSubtree(TWidget& Widget) {
    for (auto& Child : Widget.FChildren)
        ForgetSubtree(*Child);
    TWidgetWindow* Window = this->Window();
    for (auto& Gadget : Widget.FNCGadgets) {
        if (Window)
            Window->Forget(*Gadget);
        MouseHandler().Forget(*Gadget);
    }
    if (Window)
        Window->Forget(Widget);
    MouseHandler().Forget(Widget);
}

std::unique_ptr<TWidget> TWidget::RemoveChild(TWidget& Child) {
    auto It = std::find_if(FChildren.begin(), FChildren.end(),
                           [&](const auto& C) { return C.get() == &Child; });
    if (It == FChildren.end())
        return nullptr;
    Child.Invalidate();
    ForgetSubtree(Child);
    if (FFocusedChild == &Child)
        FFocusedChild = nullptr;
    std::unique_ptr<TWidget> Removed = std::move(*It);
    FChildren.erase(It);
    Removed->FParent = nullptr;
    RequestLayout();
    return Removed;
}

TWidgetWindow* TWidget::Window() const {
    const TWidget* W = this;
    while (W->FParent)
        W = W->FParent;
    return W->FHost;
}

TNCGadget& TWidget::AddNCGadget(std::unique_ptr<TNCGadget> Gadget) {
    TNCGadget& Added = *Gadget;
    Added.FWidget = this;
    FNCGadgets.push_back(std::move(Gadget));
    Added.Invalidate();
    return Added;
}

void TWidget::SetBounds(const TRect& Bounds) {
    if (Bounds == FBounds)
        return;
    if (FParent)
        FParent->InvalidateClient(FBounds);
    bool Resized = Bounds.Size() != FBounds.Size();
    FBounds = Bounds;
    Invalidate();
    if (Resized)
        RequestLayout();
}

TRect TWidget::ClientRect() const {
    TRect M = NCMargins();
    TRect Client{M.Left, M.Top, Width() - M.Right, Height() - M.Bottom};
    return Client.IsEmpty() ? TRect{M.Left, M.Top, M.Left, M.Top} : Client;
}

TPoint TWidget::WindowOrigin() const {
    TPoint Origin = FBounds.TopLeft();
    return FParent ? FParent->WindowClientOrigin() + Origin : Origin;
}

TPoint TWidget::WindowClientOrigin() const {
    return WindowOrigin() + ClientRect().TopLeft();
}

TRect TWidget::WindowRect() const {
    TPoint Origin = WindowOrigin();
    return TRect::FromSize(Origin.X, Origin.Y, Width(), Height());
}

TRect TWidget::ScreenRect() const {
    TWidgetWindow* Window = this->Window();
    if (!Window)
        return {};
    TPoint Native = Window->Native().Bounds().TopLeft();
    TRect R = WindowRect();
    return TRect::FromSize(R.Left + Native.X, R.Top + Native.Y, R.Width(), R.Height());
}

void TWidget::SetVisible(bool Visible) {
    if (Visible == FIsVisible)
        return;
    if (!Visible) {
        Invalidate();
        if (IsFocusInside()) {
            TWeakPtr Life(this);
            HiddenWhileFocused();
            if (Life.IsExpired())
                return;
        }
    }
    FIsVisible = Visible;
    Invalidate();
    if (FParent)
        FParent->RequestLayout();
}

void TWidget::ActivateOnClick(TClickPart Part) {
    TWidgetWindow* Window = this->Window();
    if (!Window)
        return;
    TNativeWindow& Native = Window->Native();
    bool WasActive = Native.HasFocus();
    if (!WasActive && Native.Kind() != TWindowKind::Drag)
        Native.Activate();
    if (Part == TClickPart::Client && TabStop() && IsShowing() && IsEnabledInTree()) {
        Window->SetFocused(this);
        return;
    }
    // A click elsewhere in an inactive window brings back the control that
    // had the focus there.
    if (!WasActive && !Window->Focused() && Window->Root())
        if (TWidget* Target = Window->Root()->FindFocusTarget(); Target != Window->Root())
            Window->SetFocused(Target);
}

void TWidget::HiddenWhileFocused() {
    if (TWidgetWindow* Window = this->Window())
        Window->SetFocused(nullptr);
}

void TWidget::SetEnabled(bool Enabled) {
    if (Enabled == FIsEnabled)
        return;
    FIsEnabled = Enabled;
    if (!Enabled)
        if (TWidgetWindow* Window = this->Window(); Window && IsFocusInside())
            Window->SetFocused(nullptr);
    Changed();
}

bool TWidget::IsShowing() const {
    for (const TWidget* W = this; W; W = W->FParent)
        if (!W->FIsVisible)
            return false;
    return true;
}

bool TWidget::IsEnabledInTree() const {
    for (const TWidget* W = this; W; W = W->FParent)
        if (!W->FIsEnabled)
            return false;
    return true;
}

void TWidget::SetBackground(TWidgetBackground Background) {
    if (Background == FBackground)
        return;
    FBackground = Background;
    Invalidate();
}

void TWidget::Invalidate() {
    if (!IsShowing())
        return;
    if (TWidgetWindow* Window = this->Window())
        Window->Invalidate(WindowRect());
}

void TWidget::InvalidateClient(const TRect& ClientArea) {
    if (!IsShowing())
        return;
    TWidgetWindow* Window = this->Window();
    if (!Window)
        return;
    TPoint Origin = WindowClientOrigin();
    TRect Client = ClientRect();
    TRect R = ClientArea.Intersected({0, 0, Client.Width(), Client.Height()});
    if (!R.IsEmpty())
        Window->Invalidate(
            TRect::FromSize(Origin.X + R.Left, Origin.Y + R.Top, R.Width(), R.Height()));
}

void TWidget::InvalidateNC(const TRect& Rect) {
    if (Rect.IsEmpty() || !IsShowing())
        return;
    TWidgetWindow* Window = this->Window();
    if (!Window)
        return;
    if (!FPendingNC.IsEmpty()) {
        FPendingNC = FPendingNC.United(Rect);
        return;
    }
    FPendingNC = Rect;
    // One deferred repaint for everything asked until the loop's next turn;
    // the widget may be gone by then.
    Window->System().StartTimer(std::chrono::milliseconds(0), TTimerRepeat::Once,
                                [this, Life = TWeakPtr(this)] {
                                    if (Life.IsExpired())
                                        return;
                                    TRect Pending = FPendingNC;
                                    FPendingNC = {};
                                    TWidgetWindow* Now = this->Window();
                                    if (!Now || !IsShowing())
                                        return;
                                    TPoint Origin = WindowOrigin();
                                    Now->Invalidate(Pending.Translated(Origin).Intersected(WindowRect()));
                                });
}

void TWidget::PaintParentBackground(TPixels& Pixels) {
    if (!FParent)
        return;
    TPixelsStateSaver Saver(Pixels);
    Pixels.Origin = Pixels.Origin - FBounds.TopLeft() - ClientRect().TopLeft();
    if (FParent->FBackground == TWidgetBackground::Face) {
        TRect ParentClient = FParent->ClientRect();
        Pixels.FillRect({0, 0, ParentClient.Width(), ParentClient.Height()}, SkinColors().FaceColor);
    }
    FParent->Paint(Pixels);
}

bool TWidget::OfferDialogChar(TWidgetKeyEvent& Event) {
    if (!FIsVisible || !FIsEnabled)
        return false;
    TWeakPtr Life(this);
    if (DialogChar(Event))
        return true;
    // Index by index: a handler may change the tree.
    for (size_t I = 0; !Life.IsExpired() && I < FChildren.size(); ++I)
        if (FChildren[I]->OfferDialogChar(Event))
            return true;
    return false;
}

void TWidget::RequestLayout() {
    if (TWidgetWindow* Window = this->Window())
        Window->RequestLayout();
}

bool TWidget::HasFocus() const {
    TWidgetWindow* Window = this->Window();
    return Window && Window->Focused() == this;
}

bool TWidget::SetFocus() {
    TWidgetWindow* Window = this->Window();
    return Window && Window->SetFocused(this);
}

bool TWidget::IsFocusInside() const {
    TWidgetWindow* Window = this->Window();
    for (const TWidget* W = Window ? Window->Focused() : nullptr; W; W = W->FParent)
        if (W == this)
            return true;
    return false;
}

bool TWidget::IsFocusInChild() const {
    return IsFocusInside() && !HasFocus();
}

TWidget* TWidget::FindFocusTarget() {
    TWidget* W = this;
    while (W->FFocusedChild)
        W = W->FFocusedChild;
    return W;
}

void TWidget::BeginDesign(const TDesignHook& Hook) {
    if (FIsDesigning)
        return;
    FIsDesigning = true;
    FDesignHook = Hook;
    for (auto& Child : FChildren)
        Child->BeginDesign(Hook);
    Changed();
}

void TWidget::EndDesign() {
    if (!FIsDesigning)
        return;
    FIsDesigning = false;
    FDesignHook = {};
    for (auto& Child : FChildren)
        Child->EndDesign();
    Changed();
}

TMouseTarget* TWidget::TargetAt(TPoint Point) {
    if (!FIsVisible || !TRect{0, 0, Width(), Height()}.Contains(Point))
        return nullptr;
    for (auto It = FNCGadgets.rbegin(); It != FNCGadgets.rend(); ++It)
        if ((*It)->IsVisible() && (*It)->Bounds().Contains(Point))
            return It->get();
    TRect Client = ClientRect();
    if (!Client.Contains(Point))
        return this;
    TPoint Local = Point - Client.TopLeft();
    for (auto It = FChildren.rbegin(); It != FChildren.rend(); ++It) {
        TWidget& Child = **It;
        if (Child.FIsVisible && Child.FBounds.Contains(Local))
            return Child.TargetAt(Local - Child.FBounds.TopLeft());
    }
    return this;
}

// ---- TGadget

void TGadget::SetChecked(bool Checked) {
    if (Checked == FChecked)
        return;
    FChecked = Checked;
    Changed();
}

void TGadget::Execute() {
    // A copy: the handler may destroy this gadget and with it OnExecute.
    if (std::function<void()> Handler = OnExecute)
        Handler();
}

void TGadget::Click() {
    if (std::function<void()> Handler = OnClick)
        Handler();
}

void TGadget::MouseUp(TWidgetMouseEvent& Event) {
    if (Event.Button != TMouseButton::Left || !IsEnabledInTree())
        return;
    TRect Client = ClientRect();
    if (!TRect{0, 0, Client.Width(), Client.Height()}.Contains(Event.Position))
        return;
    Event.Accept();
    Click();
}

void TGadget::RepeatTick() {
    if (IsEnabledInTree() && !IsDesigning())
        Execute();
}

void TGadget::MouseDown(TWidgetMouseEvent& Event) {
    if (Event.Button != TMouseButton::Left || !IsEnabledInTree())
        return;
    Event.Accept();
    Execute();
}

void TGadget::Paint(TPixels& Pixels) {
    TRect Client = ClientRect();
    TRect Rect{0, 0, Client.Width(), Client.Height()};
    TButtonState State{IsEnabledInTree(), FChecked, IsDown(), IsHot()};
    PaintButtonBackground(Rect, Pixels, State);
    PaintButtonFrame(Rect, Pixels, State);
}
