#include "toolkit/docking/dock_thing.h"

#include "core/error.h"
#include "toolkit/docking/dock.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>

namespace {

TPixels ControlImage(TWidget& Control) {
    TPixels Image(std::max(1, Control.Width()), std::max(1, Control.Height()));
    Image.FillAll(SkinColors().FaceColor);
    PaintWidgetTree(Control, Image);
    return Image;
}

int64_t Distance(int64_t V) { return V < 0 ? V * V : V; }

bool Contains(TWidget& Outer, TWidget& Inner) {
    for (TWidget* W = &Inner; W; W = W->Parent())
        if (W == &Outer)
            return true;
    return false;
}

} // namespace

int64_t DockScore(TPoint Mouse, const TRect& R) {
    const int64_t CX = (int64_t(R.Left) + R.Right) / 2, CY = (int64_t(R.Top) + R.Bottom) / 2;
    const int64_t Near = std::min(Distance(int64_t(Mouse.X) - R.Left), Distance(int64_t(Mouse.Y) - R.Top));
    const int64_t Centre = std::min(Distance(CX - Mouse.X), Distance(CY - Mouse.Y));
    return std::max(Near, Centre);
}

TRect DockProbe(const TRect& Drag, TPoint Mouse) {
    const int32_t W = Drag.Width(), H = Drag.Height();
    const TRect Shrunk = Drag.Inflated(-(W / 4), -(H / 4));
    const TRect Centred = TRect::FromSize(Mouse.X - W / 4, Mouse.Y - H / 4, std::max(1, W / 2), std::max(1, H / 2));
    return Shrunk.United(Centred).Intersected(Drag);
}

TDockThing::TDockThing(TWidget& Control, TFactory* Factory, int32_t HotX, int32_t HotY)
    : TDragThing(ControlImage(Control), HotX, HotY, SkinColors().FaceColor), FControl(&Control), FFactory(Factory) {}

TDockThing::~TDockThing() = default;

void TDockThing::DragStart() {
    FSourceDock = DockList().DockOf(*FControl);
    for (TDock* Dock : DockList().Docks())
        if (!Dock->ParentDock())
            Dock->BeginDockingMode();
    if (FSourceDock) {
        FSourceDock->DragMoveOut(*FControl);
    } else if (TWidgetWindow* Window = DockList().FloatingWindow(*FControl)) {
        FWasFloatingShown = Window->Native().IsVisible();
        Window->Hide();
    }
}

TDock* TDockThing::FindTarget(const TRect& Rect, TPoint Mouse) {
    auto Usable = [&](TDock& Dock) {
        return Dock.IsShowing() && Dock.Window() && Dock.Window()->Native().IsVisible() &&
               !Contains(*FControl, Dock);
    };
    if (auto* Dragged = dynamic_cast<TDock*>(FControl)) {
        (void)Dragged;
        const TRect Probe = DockProbe(Rect, Mouse);
        if (FSourceDock && Usable(*FSourceDock) && FSourceDock->ScreenRect().Inflated(1, 1).Intersects(Probe) &&
            FSourceDock->AcceptsDrop(FControl, FFactory, Mouse, Rect))
            return FSourceDock;
        TDock* Best = nullptr;
        int64_t BestScore = 0;
        const auto& Docks = DockList().Docks();
        for (auto It = Docks.rbegin(); It != Docks.rend(); ++It) {
            TDock& Dock = **It;
            if (!Usable(Dock))
                continue;
            const TRect Screen = Dock.ScreenRect();
            if (!Screen.Inflated(1, 1).Intersects(Probe) || !Dock.AcceptsDrop(FControl, FFactory, Mouse, Rect))
                continue;
            const int64_t Score = DockScore(Mouse, Screen);
            if (!Best || Score < BestScore) {
                Best = &Dock;
                BestScore = Score;
            }
        }
        return Best;
    }
    for (TWidget* W = Drag().Target(); W; W = W->Parent())
        if (auto* Dock = dynamic_cast<TDock*>(W); Dock && !Contains(*FControl, *Dock) &&
                                                   Dock->AcceptsDrop(FControl, FFactory, Mouse, Rect))
            return Dock;
    return nullptr;
}

void TDockThing::SetTarget(TDock* Target, const TRect& Rect, TPoint Mouse) {
    if (Target != FTargetDock && FTargetDock) {
        // The source keeps showing the control moved out.
        if (FTargetDock == FSourceDock)
            FSourceDock->DragMoveOut(*FControl);
        else
            FTargetDock->CancelPreview();
    }
    FTargetDock = Target;
    if (Target)
        Target->DragOver(*FControl, FFactory, Mouse, Rect);
}

void TDockThing::DragMove(TRect& Rect) {
    FRect = Rect;
    const TPoint Mouse = Drag().Position();
    SetTarget(FindTarget(Rect, Mouse), Rect, Mouse);
}

void TDockThing::LeaveDockingMode() {
    FTargetDock = nullptr;
    for (TDock* Dock : std::vector<TDock*>(DockList().Docks()))
        if (!Dock->ParentDock() && Dock->DockingMode())
            Dock->EndDockingMode();
}

void TDockThing::DragEnd(TDragResult Result) {
    if (!FControl) {
        LeaveDockingMode();
        return;
    }
    const TPoint Mouse = Drag().Position();
    const TRect Rect = FRect.IsEmpty() ? TRect::FromSize(Mouse.X - HotX(), Mouse.Y - HotY(), Width(), Height()) : FRect;
    TWidget& Control = *FControl;
    try {
        if (Result == TDragResult::Dropped && FTargetDock) {
            FTargetDock->Dock(Control, FFactory, Mouse, Rect);
        } else if (Result == TDragResult::Dropped && dynamic_cast<TDock*>(&Control)) {
            // A dock dropped outside every dock floats where it was dropped.
            auto& Dock = static_cast<TDock&>(Control);
            std::unique_ptr<TWidget> Owned;
            if (FSourceDock)
                Owned = FSourceDock->Undock(Control);
            else
                Owned = DockList().TakeFloating(Control);
            if (Owned) {
                Dock.SetAroundRect(Rect);
                Dock.SetStoredVisible(true);
                DockList().Float(std::move(Owned), Rect);
            }
        } else if (!FSourceDock) {
            // Cancelled, or a plain control dropped outside: a floating
            // control shows again where it was.
            if (TWidgetWindow* Window = DockList().FloatingWindow(Control); Window && FWasFloatingShown)
                Window->Show(TActivate::No);
        }
        // Anything else goes back into its source dock, which shows it again
        // when it leaves docking mode.
    } catch (...) {
        LeaveDockingMode();
        throw;
    }
    LeaveDockingMode();
}

void TDockThing::Notification(TWidget& Control) {
    if (&Control == FTargetDock)
        FTargetDock = nullptr;
    if (&Control == FSourceDock)
        FSourceDock = nullptr;
    if (&Control == FControl) {
        FControl = nullptr;
        Drag().Cancel();
    }
}
