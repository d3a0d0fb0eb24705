#include "toolkit/widgets/drag.h"

#include "platform/keys.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/widget.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>

// ---- TThing

TThing::TThing(int32_t Width, int32_t Height, int32_t HotX, int32_t HotY)
    : FWidth(std::max(Width, 0)), FHeight(std::max(Height, 0)), FHotX(HotX), FHotY(HotY) {}

void TThing::SetSize(int32_t Width, int32_t Height) {
    FWidth = std::max(Width, 0);
    FHeight = std::max(Height, 0);
}

void TThing::SetHotSpot(int32_t HotX, int32_t HotY) {
    FHotX = HotX;
    FHotY = HotY;
}

void TThing::Paint(TPixels& Pixels) {
    Pixels.FrameRect({0, 0, FWidth, FHeight}, AlphaColor(SkinColors().TextColor, 255));
}

// ---- The shape of a drag image

int32_t DragImageThreshold(const TPixels& Image) {
    int32_t W = Image.Width(), H = Image.Height();
    auto Alpha = [&](int32_t X, int32_t Y) { return Image.RowPixels(Y)[X] >> 24; };
    int64_t Sum = 0, Count = 0;
    for (int32_t Y = 0; Y < H; ++Y)
        for (int32_t X = 0; X < W; ++X) {
            uint32_t A = Alpha(X, Y);
            if (A == 0)
                continue;
            bool Border = X == 0 || Y == 0 || X == W - 1 || Y == H - 1 || Alpha(X - 1, Y) == 0 ||
                          Alpha(X + 1, Y) == 0 || Alpha(X, Y - 1) == 0 || Alpha(X, Y + 1) == 0;
            if (Border) {
                Sum += A;
                ++Count;
            }
        }
    return int32_t(Sum / ((3 * Count) / 2 + 1));
}

std::vector<TRect> DragImageRegion(const TPixels& Image, int32_t Threshold) {
    std::vector<TRect> Runs;
    for (int32_t Y = 0; Y < Image.Height(); ++Y) {
        const TPixel* Row = Image.RowPixels(Y);
        for (int32_t X = 0; X < Image.Width();) {
            if (int32_t(Row[X] >> 24) <= Threshold) {
                ++X;
                continue;
            }
            int32_t Start = X;
            while (X < Image.Width() && int32_t(Row[X] >> 24) > Threshold)
                ++X;
            Runs.push_back({Start, Y, X, Y + 1});
        }
    }
    return Runs;
}

// ---- TDragThing

TDragThing::TDragThing(const TPixels& Image, int32_t HotX, int32_t HotY, TColor Background)
    : TThing(Image.Width(), Image.Height(), HotX, HotY), FImage(Image), FBackground(Background) {
    FImage.SetClipRect(FImage.Bounds());
    FImage.Origin = {};
}

void TDragThing::Paint(TPixels& Pixels) {
    FImage.DrawOnBitmap(Pixels.Origin.X, Pixels.Origin.Y, AlphaColor(FBackground, 255), Pixels.View());
}

bool TDragThing::Shape(TPixels& Mask) const {
    if (FImage.AlphaKind() == TAlphaKind::Opaque)
        return false;
    Mask.SetSize(FImage.Width(), FImage.Height());
    Mask.Clear();
    for (const TRect& Run : DragImageRegion(FImage, DragImageThreshold(FImage)))
        Mask.FillRect(Run, AlphaColor(0xFFFFFF, 255));
    return true;
}

// ---- TDrag

TDrag& Drag() {
    static TDrag Instance;
    return Instance;
}

TDrag::~TDrag() {
    // At exit the window system may be gone already: a drag still running
    // leaves its window to the process's end rather than reaching it.
    (void)FWindow.release();
}

void TDrag::BeginDrag(TWindowSystem& System, std::unique_ptr<TThing> Thing, TNativeWindow* Parent) {
    End(TDragResult::Cancelled);
    if (!Thing)
        return;
    FSystem = &System;
    FThing = std::move(Thing);
    FPosition = System.MousePosition();
    FButtons = System.MouseButtons();

    // The widget holding the mouse in the window where the drag began lets
    // go: the drag window takes the mouse over.
    System.ReleaseCapture();

    TRect Rect = TRect::FromSize(FPosition.X - FThing->HotX(), FPosition.Y - FThing->HotY(),
                                 std::max(FThing->Width(), 1), std::max(FThing->Height(), 1));
    FWindow = System.CreateWindow({.Kind = TWindowKind::Drag,
                                   .Title = {},
                                   .Bounds = Rect,
                                   .Owner = Parent,
                                   .IsResizable = false,
                                   .IsShaped = true});
    FWindow->SetCursor(TCursorKind::Arrow);
    PaintWindow();
    FWindow->Show(TActivate::No);
    FWindow->SetListener(&FHold);
    FHold.IsHolding = true;
    System.TakeCapture(*FWindow);
    FFilter = System.AddEventFilter(TFilterPlace::First, [](const TEvent& Event) { return Drag().Filter(Event); });
    FPollTimer = System.StartTimer(PollInterval, TTimerRepeat::Repeat, [] { Drag().Poll(); });
    FindTarget();
    try {
        TThing* Current = FThing.get();
        Current->DragStart();
        if (FThing.get() == Current)
            FStartHandlers.CallEach(Current);
    } catch (...) {
        End(TDragResult::Cancelled);
        throw;
    }
}

void TDrag::PaintWindow() {
    TSize Size = FWindow->ClientSize();
    TPixels Raster(Size.Width, Size.Height);
    Raster.FillAll(AlphaColor(SkinColors().FaceColor, 255));
    FThing->Paint(Raster);
    TPixels Mask;
    if (FThing->Shape(Mask) && Mask.Width() == Size.Width && Mask.Height() == Size.Height)
        FWindow->SetShape(Mask.View());
    FWindow->Present(Raster.View());
}

void TDrag::FindTarget() {
    FTarget = nullptr;
    if (!FSystem)
        return;
    TNativeWindow* Native = FSystem->WindowAt(FPosition);
    TWidgetWindow* Window = TWidgetWindow::Of(Native);
    if (!Window || !Window->Root())
        return;
    TWidget* Root = Window->Root();
    TPoint Local = FPosition - Native->Bounds().TopLeft() - Root->Bounds().TopLeft();
    if (TMouseTarget* Under = Root->TargetAt(Local))
        FTarget = Under->OwnerWidget();
}

void TDrag::MoveTo(TPoint Screen) {
    if (!FThing || Screen == FPosition)
        return;
    FPosition = Screen;
    FindTarget();
    TThing* Current = FThing.get();
    TRect Rect = TRect::FromSize(Screen.X - Current->HotX(), Screen.Y - Current->HotY(),
                                 std::max(Current->Width(), 1), std::max(Current->Height(), 1));
    Current->DragMove(Rect);
    if (FThing.get() != Current || !FWindow)
        return;
    bool Resized = Rect.Size() != FWindow->ClientSize();
    FWindow->SetBounds(Rect);
    if (Resized)
        PaintWindow();
    FMoveHandlers.CallEach(Current);
}

bool TDrag::Filter(const TEvent& Event) {
    if (!FThing)
        return false;
    if (FSystem && FSystem->CaptureWindow() != FWindow.get()) {
        // Someone else took the mouse.
        End(TDragResult::Cancelled);
        return false;
    }
    if (const auto* Mouse = std::get_if<TMouseEvent>(&Event)) {
        switch (Mouse->Kind) {
        case TMouseEventKind::Move:
            MoveTo(Mouse->ScreenPosition);
            break;
        case TMouseEventKind::Up:
            MoveTo(Mouse->ScreenPosition);
            if (Mouse->Buttons == 0 || !(Mouse->Buttons & FButtons))
                End(TDragResult::Dropped);
            break;
        case TMouseEventKind::Down:
            End(TDragResult::Cancelled);
            break;
        case TMouseEventKind::Wheel:
            break;
        }
        return true;
    }
    if (const auto* Key = std::get_if<TKeyEvent>(&Event)) {
        if (Key->Kind == TKeyEventKind::Down && Key->Key == KeyEscape)
            End(TDragResult::Cancelled);
        return true; // the keyboard belongs to the drag
    }
    return std::holds_alternative<TTextEvent>(Event);
}

void TDrag::Poll() {
    if (!FThing || !FSystem)
        return;
    if (FSystem->CaptureWindow() != FWindow.get()) {
        End(TDragResult::Cancelled);
        return;
    }
    MoveTo(FSystem->MousePosition());
    if (FThing && FButtons != 0 && !(FSystem->MouseButtons() & FButtons))
        End(TDragResult::Dropped);
}

void TDrag::End(TDragResult Result) {
    if (!FThing || FIsEnding)
        return;
    FIsEnding = true;
    // Taken out first, so that a handler starting a new drag finds none in
    // progress and this thing lives until its handlers are done.
    std::unique_ptr<TThing> Thing = std::move(FThing);
    std::unique_ptr<TNativeWindow> Window = std::move(FWindow);
    TWindowSystem* System = FSystem;
    if (System && FPollTimer)
        System->StopTimer(FPollTimer);
    // Out of the list now; the filter running (ours) keeps no state.
    FFilter.Reset();
    FPollTimer = 0;
    FHold.IsHolding = false;
    Window->SetListener(nullptr);
    Window->Hide();
    FIsEnding = false;
    struct TForgetTarget {
        TDrag& Drag;
        ~TForgetTarget() {
            if (!Drag.FThing)
                Drag.FTarget = nullptr;
        }
    } Forget{*this};
    Thing->DragEnd(Result);
    FEndHandlers.CallEach(Thing.get(), Result);
}

void TDrag::Forget(TWidget& Control) {
    if (FTarget == &Control)
        FTarget = nullptr;
    if (FThing)
        FThing->Notification(Control);
}
