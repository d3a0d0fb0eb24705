#include "platform/window/headless_window_system.h"

#include "platform/keys.h"

#include <algorithm>
#include <cstring>

// A window that exists only as its record. State changes queue the events
// the desktop would send for them, so the toolkit sees the same sequence it
// sees on a real display.
class THeadlessWindow : public TNativeWindow {
public:
    THeadlessWindow(THeadlessWindowSystem& System, const TWindowOptions& Options)
        : TNativeWindow(System, Options), FHeadless(System), FBounds(Options.Bounds), FNormal(Options.Bounds),
          FTitle(Options.Title), FIsShaped(Options.IsShaped) {}

    TRect Bounds() const override { return FBounds; }
    void SetBounds(const TRect& Bounds) override {
        if (FState == TWindowState::Normal)
            FNormal = Bounds;
        Place(Bounds);
    }
    TRect NormalBounds() const override { return FNormal; }
    void SetNormalBounds(const TRect& Bounds) override {
        FNormal = Bounds;
        if (FState == TWindowState::Normal)
            Place(Bounds);
    }

    void Show(TActivate Activate) override {
        if (!FIsVisible) {
            FIsVisible = true;
            Send(TWindowEventKind::Shown);
        }
        FHeadless.WindowRaised(this);
        if (Activate == TActivate::Yes)
            FHeadless.SetFocus(this);
    }
    void Hide() override {
        if (!FIsVisible)
            return;
        FIsVisible = false;
        Send(TWindowEventKind::Hidden);
        LoseFocus();
    }
    bool IsVisible() const override { return FIsVisible; }
    void Raise() override { FHeadless.WindowRaised(this); }
    void Activate() override {
        FHeadless.WindowRaised(this);
        if (FIsVisible && FState != TWindowState::Minimized)
            FHeadless.SetFocus(this);
    }

    TWindowState State() const override { return FState; }
    void Minimize() override {
        if (FState == TWindowState::Minimized)
            return;
        FBeforeMinimize = FState;
        FState = TWindowState::Minimized;
        Send(TWindowEventKind::Minimized);
        LoseFocus();
    }
    void Maximize() override {
        if (FState == TWindowState::Maximized)
            return;
        FState = TWindowState::Maximized;
        Send(TWindowEventKind::Maximized);
        Place(FHeadless.DisplayAt(Centre(FNormal)).WorkArea);
    }
    void Restore() override {
        if (FState == TWindowState::Normal)
            return;
        TWindowState Back = FState == TWindowState::Minimized ? FBeforeMinimize : TWindowState::Normal;
        FState = Back;
        Send(TWindowEventKind::Restored);
        if (Back == TWindowState::Normal)
            Place(FNormal);
    }
    void SetFullScreen(bool FullScreen) override {
        if (FullScreen == (FState == TWindowState::FullScreen))
            return;
        if (FullScreen) {
            FBeforeFullScreen = FState == TWindowState::Minimized ? FBeforeMinimize : FState;
            FState = TWindowState::FullScreen;
            Place(FHeadless.DisplayAt(Centre(FBounds)).Bounds);
        } else {
            FState = FBeforeFullScreen;
            Place(FState == TWindowState::Maximized ? FHeadless.DisplayAt(Centre(FNormal)).WorkArea : FNormal);
        }
    }

    std::string Title() const override { return FTitle; }
    void SetTitle(const std::string& Title) override { FTitle = Title; }
    bool SetOpacity(double Opacity) override {
        FOpacity = std::clamp(Opacity, 0.0, 1.0);
        return true;
    }
    double Opacity() const override { return FOpacity; }
    bool SetShape(const TPixelView&) override { return FIsShaped; }
    void SetCursor(TCursorKind Cursor) override { FCursor = Cursor; }
    TCursorKind Cursor() const override { return FCursor; }

    void Present(const TPixelView& Pixels, const TRect& Dirty) override {
        TSize Size = ClientSize();
        if (FPresentedSize != Size) {
            FPresentedSize = Size;
            FPresented.assign(size_t(std::max(Size.Width, 0)) * size_t(std::max(Size.Height, 0)) * 4, 0);
        }
        TRect Part = Dirty.Intersected(Pixels.Bounds()).Intersected({0, 0, Size.Width, Size.Height});
        for (int32_t Y = Part.Top; Y < Part.Bottom; ++Y)
            std::memcpy(&FPresented[(size_t(Y) * size_t(Size.Width) + size_t(Part.Left)) * 4], Pixels.At(Part.Left, Y),
                        size_t(Part.Width()) * 4);
        ++FPresentCount;
    }

    TPixelView PresentedView() const {
        if (FPresentCount == 0)
            return {};
        return {const_cast<uint8_t*>(FPresented.data()), FPresentedSize.Width, FPresentedSize.Height,
                FPresentedSize.Width * 4};
    }
    int32_t PresentCount() const { return FPresentCount; }

private:
    static TPoint Centre(const TRect& Rect) { return {Rect.Left + Rect.Width() / 2, Rect.Top + Rect.Height() / 2}; }

    void Send(TWindowEventKind Kind) { FHeadless.Deliver(TWindowEvent{this, Kind, FBounds}); }

    void Place(const TRect& Bounds) {
        TRect Old = FBounds;
        FBounds = Bounds;
        if (Old.TopLeft() != Bounds.TopLeft())
            Send(TWindowEventKind::Moved);
        if (Old.Size() != Bounds.Size())
            Send(TWindowEventKind::Resized);
    }

    void LoseFocus() {
        if (!HasFocus())
            return;
        TNativeWindow* Next = Owner();
        FHeadless.SetFocus(Next && Next->IsVisible() && Next->State() != TWindowState::Minimized ? Next : nullptr);
    }

    THeadlessWindowSystem& FHeadless;
    TRect FBounds;
    TRect FNormal;
    TWindowState FState = TWindowState::Normal;
    TWindowState FBeforeMinimize = TWindowState::Normal;
    TWindowState FBeforeFullScreen = TWindowState::Normal;
    bool FIsVisible = false;
    std::string FTitle;
    double FOpacity = 1;
    bool FIsShaped;
    TCursorKind FCursor = TCursorKind::Arrow;
    std::vector<uint8_t> FPresented;
    TSize FPresentedSize;
    int32_t FPresentCount = 0;
};

THeadlessWindowSystem::THeadlessWindowSystem(std::vector<TDisplay> Displays, TMessageQueue& Messages)
    : TWindowSystem(Messages), FDisplays(std::move(Displays)), FNow(TClock::time_point{} + std::chrono::hours(1)) {
    Messages.SetWaker([this] {
        std::lock_guard Guard(FWakeLock);
        FWoken = true;
        FWake.notify_all();
    });
}

THeadlessWindowSystem::~THeadlessWindowSystem() { Messages().SetWaker({}); }

std::unique_ptr<TNativeWindow> THeadlessWindowSystem::CreateWindow(const TWindowOptions& Options) {
    return std::make_unique<THeadlessWindow>(*this, Options);
}

void THeadlessWindowSystem::SetClipboardText(const std::string& Text) {
    FClipboard = Text;
    Deliver(TClipboardEvent{});
}

void THeadlessWindowSystem::SetFocus(TNativeWindow* Window) {
    TNativeWindow* Old = FocusedWindow();
    if (Old == Window)
        return;
    FocusChanged(Window);
    if (Old)
        Deliver(TWindowEvent{Old, TWindowEventKind::FocusLost, Old->Bounds()});
    if (Window)
        Deliver(TWindowEvent{Window, TWindowEventKind::FocusGained, Window->Bounds()});
}

TMouseEvent THeadlessWindowSystem::MouseEventAt(TPoint Screen, TMouseEventKind Kind) {
    TMouseEvent Event;
    Event.Window = WindowAt(Screen);
    Event.Kind = Kind;
    Event.ScreenPosition = Screen;
    if (Event.Window)
        Event.Position = Screen - Event.Window->Bounds().TopLeft();
    Event.Buttons = FButtons;
    return Event;
}

void THeadlessWindowSystem::MouseMovedTo(TPoint Screen) {
    FMouse = Screen;
    TNativeWindow* Under = WindowAt(Screen);
    if (Under != FHover) {
        if (FHover)
            Deliver(TWindowEvent{FHover, TWindowEventKind::MouseLeft, FHover->Bounds()});
        FHover = Under;
        if (Under)
            Deliver(TWindowEvent{Under, TWindowEventKind::MouseEntered, Under->Bounds()});
    }
}

void THeadlessWindowSystem::ForgetWindow(TNativeWindow* Window) {
    if (FHover == Window)
        FHover = nullptr;
}

void THeadlessWindowSystem::ScriptStep(std::function<void()> Step) { FScript.push_back(std::move(Step)); }

void THeadlessWindowSystem::ScriptEvent(TEvent Event) {
    ScriptStep([this, Event = std::move(Event)] { Deliver(Event); });
}

void THeadlessWindowSystem::ScriptMouseMove(TPoint Screen) {
    ScriptStep([this, Screen] {
        MouseMovedTo(Screen);
        TMouseEvent Event = MouseEventAt(Screen, TMouseEventKind::Move);
        if (Event.Window || CaptureWindow())
            Deliver(Event);
    });
}

void THeadlessWindowSystem::ScriptMouseDown(TPoint Screen, TMouseButton Button, int32_t Clicks) {
    ScriptStep([this, Screen, Button, Clicks] {
        MouseMovedTo(Screen);
        FButtons |= MouseButtonBit(Button);
        TMouseEvent Event = MouseEventAt(Screen, TMouseEventKind::Down);
        Event.Button = Button;
        Event.Clicks = Clicks;
        if (Event.Window || CaptureWindow())
            Deliver(Event);
    });
}

void THeadlessWindowSystem::ScriptMouseUp(TPoint Screen, TMouseButton Button) {
    ScriptStep([this, Screen, Button] {
        MouseMovedTo(Screen);
        FButtons &= TMouseButtons(~MouseButtonBit(Button));
        TMouseEvent Event = MouseEventAt(Screen, TMouseEventKind::Up);
        Event.Button = Button;
        if (Event.Window || CaptureWindow())
            Deliver(Event);
    });
}

void THeadlessWindowSystem::ScriptClick(TPoint Screen, TMouseButton Button) {
    ScriptMouseMove(Screen);
    ScriptMouseDown(Screen, Button);
    ScriptMouseUp(Screen, Button);
}

void THeadlessWindowSystem::ScriptWheel(TPoint Screen, int32_t Delta) {
    ScriptStep([this, Screen, Delta] {
        MouseMovedTo(Screen);
        TMouseEvent Event = MouseEventAt(Screen, TMouseEventKind::Wheel);
        Event.WheelDelta = Delta;
        if (Event.Window)
            Deliver(Event);
    });
}

void THeadlessWindowSystem::ScriptKey(uint8_t Key, uint16_t Modifiers) {
    for (TKeyEventKind Kind : {TKeyEventKind::Down, TKeyEventKind::Up})
        ScriptStep([this, Key, Modifiers, Kind] {
            if (!FocusedWindow())
                return;
            TKeyEvent Event;
            Event.Window = FocusedWindow();
            Event.Kind = Kind;
            Event.Key = Key;
            Event.Modifiers = Modifiers & ShortCutModifiers;
            Event.ShortCut = ShortCutFromKey(Key, Modifiers);
            Deliver(Event);
        });
}

void THeadlessWindowSystem::ScriptText(std::string Text) {
    ScriptStep([this, Text = std::move(Text)] {
        if (FocusedWindow())
            Deliver(TTextEvent{FocusedWindow(), Text});
    });
}

void THeadlessWindowSystem::ScriptDropBegin(TPoint Screen) {
    ScriptStep([this, Screen] {
        MouseMovedTo(Screen);
        DropBegin(WindowAt(Screen));
    });
}

void THeadlessWindowSystem::ScriptDropFile(std::string File) {
    ScriptStep([this, File = std::move(File)] { DropFile(WindowAt(FMouse), File); });
}

void THeadlessWindowSystem::ScriptDropComplete(TPoint Screen) {
    ScriptStep([this, Screen] {
        MouseMovedTo(Screen);
        DropComplete(WindowAt(Screen));
    });
}

void THeadlessWindowSystem::ScriptCloseRequest(TNativeWindow& Window) {
    ScriptStep([this, &Window] { Deliver(TWindowEvent{&Window, TWindowEventKind::CloseRequest, Window.Bounds()}); });
}

void THeadlessWindowSystem::ScriptQuit() {
    ScriptStep([this] { Deliver(TQuitEvent{}); });
}

void THeadlessWindowSystem::ScriptAdvance(std::chrono::milliseconds Duration) {
    ScriptStep([this, Duration] { AdvanceClock(Duration); });
}

void THeadlessWindowSystem::AdvanceClock(std::chrono::milliseconds Duration) {
    TClock::time_point Target = FNow + Duration;
    for (std::optional<TClock::time_point> Due = NextTimerDue(); Due && *Due <= Target; Due = NextTimerDue()) {
        FNow = std::max(FNow, *Due);
        RunDueTimer();
    }
    FNow = Target;
}

TPixelView THeadlessWindowSystem::Presented(const TNativeWindow& Window) const {
    return static_cast<const THeadlessWindow&>(Window).PresentedView();
}

int32_t THeadlessWindowSystem::PresentCount(const TNativeWindow& Window) const {
    return static_cast<const THeadlessWindow&>(Window).PresentCount();
}

void THeadlessWindowSystem::Pump(std::optional<TClock::time_point>, bool Wait) {
    // Script steps stand for input that arrives while a loop waits, so only
    // a waiting loop takes them.
    if (!Wait)
        return;
    if (!FScript.empty()) {
        std::function<void()> Step = std::move(FScript.front());
        FScript.pop_front();
        Guarded(Step);
        return;
    }
    {
        std::unique_lock Guard(FWakeLock);
        if (FWake.wait_for(Guard, FIdleWait, [this] { return FWoken; })) {
            FWoken = false;
            return;
        }
    }
    throw ELoopAborted("the headless event script ran out while a message loop (depth " +
                       std::to_string(LoopDepth()) + ") waited for more input");
}
