// The window system on SDL2. This is the only file of the program that
// includes SDL's video and event headers: everything else sees the window
// layer's own types.

#include "platform/window/window_system.h"

#include "core/exception_report.h"
#include "platform/keys.h"
#include "platform/message_queue.h"
#include "platform/window/shell.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_shape.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

class TSdlWindowSystem;

std::string SdlError(const std::string& What) { return What + ": " + SDL_GetError(); }

Uint32 SdlFlags(const TWindowOptions& Options) {
    Uint32 Flags = SDL_WINDOW_HIDDEN;
    switch (Options.Kind) {
    case TWindowKind::Main:
    case TWindowKind::Dialog:
        if (Options.IsResizable)
            Flags |= SDL_WINDOW_RESIZABLE;
        break;
    case TWindowKind::Tool:
        Flags |= SDL_WINDOW_UTILITY | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR;
        break;
    case TWindowKind::Popup:
        Flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_ALWAYS_ON_TOP;
        break;
    case TWindowKind::Drag:
        Flags |= SDL_WINDOW_TOOLTIP | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_ALWAYS_ON_TOP;
        break;
    case TWindowKind::Splash:
        Flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR;
        break;
    }
    return Flags;
}

class TSdlWindow : public TNativeWindow {
public:
    TSdlWindow(TSdlWindowSystem& System, const TWindowOptions& Options);
    ~TSdlWindow() override;

    SDL_Window* Handle() const { return FWindow; }

    TRect Bounds() const override {
        int X = 0, Y = 0, Width = 0, Height = 0;
        SDL_GetWindowPosition(FWindow, &X, &Y);
        SDL_GetWindowSize(FWindow, &Width, &Height);
        return TRect::FromSize(X, Y, Width, Height);
    }
    void SetBounds(const TRect& Bounds) override {
        if (State() == TWindowState::Normal)
            FNormal = Bounds;
        SDL_SetWindowPosition(FWindow, Bounds.Left, Bounds.Top);
        SDL_SetWindowSize(FWindow, std::max(Bounds.Width(), 1), std::max(Bounds.Height(), 1));
    }
    TRect NormalBounds() const override { return FNormal; }
    void SetNormalBounds(const TRect& Bounds) override {
        if (State() == TWindowState::Normal)
            SetBounds(Bounds);
        FNormal = Bounds;
    }

    void Show(TActivate Activate) override;
    void Hide() override { SDL_HideWindow(FWindow); }
    bool IsVisible() const override { return (SDL_GetWindowFlags(FWindow) & SDL_WINDOW_SHOWN) != 0; }
    void Raise() override;
    void Activate() override;

    TWindowState State() const override {
        Uint32 Flags = SDL_GetWindowFlags(FWindow);
        if (Flags & SDL_WINDOW_FULLSCREEN)
            return TWindowState::FullScreen;
        if (Flags & SDL_WINDOW_MINIMIZED)
            return TWindowState::Minimized;
        if (Flags & SDL_WINDOW_MAXIMIZED)
            return TWindowState::Maximized;
        return TWindowState::Normal;
    }
    void Minimize() override { SDL_MinimizeWindow(FWindow); }
    void Maximize() override { SDL_MaximizeWindow(FWindow); }
    void Restore() override { SDL_RestoreWindow(FWindow); }
    void SetFullScreen(bool FullScreen) override {
        SDL_SetWindowFullscreen(FWindow, FullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    }

    std::string Title() const override { return SDL_GetWindowTitle(FWindow); }
    void SetTitle(const std::string& Title) override { SDL_SetWindowTitle(FWindow, Title.c_str()); }
    bool SetOpacity(double Opacity) override {
        FOpacity = std::clamp(Opacity, 0.0, 1.0);
        return SDL_SetWindowOpacity(FWindow, float(FOpacity)) == 0;
    }
    double Opacity() const override { return FOpacity; }
    bool SetShape(const TPixelView& Mask) override;

    void SetCursor(TCursorKind Cursor) override;
    TCursorKind Cursor() const override { return FCursor; }

    void Present(const TPixelView& Pixels, const TRect& Dirty) override;

    // Keeps the normal bounds in step with what the desktop did.
    void Placed() {
        if (State() == TWindowState::Normal && IsVisible())
            FNormal = Bounds();
    }

protected:
    void HitTesterChanged() override;

private:
    static SDL_HitTestResult HitTestCallback(SDL_Window*, const SDL_Point* Point, void* Data);

    TSdlWindowSystem& FSdl;
    SDL_Window* FWindow = nullptr;
    bool FIsShaped = false;
    TRect FNormal;
    double FOpacity = 1;
    TCursorKind FCursor = TCursorKind::Arrow;
};

class TSdlWindowSystem : public TWindowSystem {
public:
    explicit TSdlWindowSystem(TMessageQueue& Messages);
    ~TSdlWindowSystem() override;

    std::unique_ptr<TNativeWindow> CreateWindow(const TWindowOptions& Options) override {
        return std::make_unique<TSdlWindow>(*this, Options);
    }
    std::vector<TDisplay> Displays() const override;
    TPoint MousePosition() const override {
        TPoint Screen;
        QueryMouse(Screen);
        return Screen;
    }
    TMouseButtons MouseButtons() const override {
        TPoint Screen;
        return QueryMouse(Screen);
    }
    std::string ClipboardText() const override {
        char* Text = SDL_GetClipboardText();
        std::string Result = Text ? Text : "";
        SDL_free(Text);
        return Result;
    }
    void SetClipboardText(const std::string& Text) override {
        if (SDL_SetClipboardText(Text.c_str()) != 0)
            throw EWindowSystem(SdlError("cannot set the clipboard"));
    }
    void OpenDocument(const std::string& PathOrUrl) override { SpawnDetached({"xdg-open", PathOrUrl}); }

    void Registered(TSdlWindow* Window) { FWindows[SDL_GetWindowID(Window->Handle())] = Window; }
    void Unregistered(TSdlWindow* Window) { FWindows.erase(SDL_GetWindowID(Window->Handle())); }
    void Raised(TSdlWindow* Window) { WindowRaised(Window); }
    void ApplyCursor(TCursorKind Cursor);

protected:
    void Pump(std::optional<TClock::time_point> Deadline, bool Wait) override;

private:
    static TMouseButtons ButtonsFromSdl(Uint32 State);
    // The mouse in screen coordinates and its buttons. Over one of the
    // program's windows they come from that window's latest mouse events:
    // SDL's global state under X11 is refreshed only by raw input events,
    // which a warped pointer (or an input tool) does not produce, so it can
    // lag behind and name a place the mouse has left.
    TMouseButtons QueryMouse(TPoint& Screen) const;
    TSdlWindow* FromId(Uint32 Id) const {
        auto It = FWindows.find(Id);
        return It == FWindows.end() ? nullptr : It->second;
    }
    void Translate(const SDL_Event& Event);
    void TranslateWindowEvent(const SDL_WindowEvent& Event);
    void TranslateButton(const SDL_MouseButtonEvent& Event);
    TMouseEvent MouseEvent(TSdlWindow* Window, int32_t X, int32_t Y, TMouseEventKind Kind);
    // While the mouse is captured, motion and releases outside every window
    // of the program are read from the global mouse state.
    void PollCapturedMouse();

    Uint32 FWakeEvent = 0;
    std::map<Uint32, TSdlWindow*> FWindows;
    std::array<SDL_Cursor*, size_t(TCursorKind::Hidden) + 1> FCursors{};
    TMouseButtons FButtons = 0;
    TMouseButtons FSyntheticUps = 0;
    TPoint FLastMouse{INT_MIN, INT_MIN};
};

TSdlWindow::TSdlWindow(TSdlWindowSystem& System, const TWindowOptions& Options)
    : TNativeWindow(System, Options), FSdl(System), FNormal(Options.Bounds) {
    const TRect& Bounds = Options.Bounds;
    int Width = std::max(Bounds.Width(), 1);
    int Height = std::max(Bounds.Height(), 1);
    if (Options.IsShaped) {
        FWindow = SDL_CreateShapedWindow(Options.Title.c_str(), unsigned(Bounds.Left), unsigned(Bounds.Top),
                                         unsigned(Width), unsigned(Height), SdlFlags(Options));
        FIsShaped = FWindow != nullptr;
        if (FWindow)
            SDL_SetWindowPosition(FWindow, Bounds.Left, Bounds.Top);
    }
    if (!FWindow)
        FWindow = SDL_CreateWindow(Options.Title.c_str(), Bounds.Left, Bounds.Top, Width, Height, SdlFlags(Options));
    if (!FWindow)
        throw EWindowSystem(SdlError("cannot create a window"));
    if (Options.Owner && (Options.Kind == TWindowKind::Tool || Options.Kind == TWindowKind::Dialog))
        SDL_SetWindowModalFor(FWindow, static_cast<TSdlWindow*>(Options.Owner)->Handle());
    FSdl.Registered(this);
}

TSdlWindow::~TSdlWindow() {
    FSdl.Unregistered(this);
    SDL_DestroyWindow(FWindow);
}

void TSdlWindow::Show(TActivate Activate) {
    SDL_SetHint(SDL_HINT_WINDOW_NO_ACTIVATION_WHEN_SHOWN, Activate == TActivate::Yes ? "0" : "1");
    SDL_ShowWindow(FWindow);
    FSdl.Raised(this);
    if (Activate == TActivate::Yes)
        this->Activate();
}

void TSdlWindow::Raise() {
    SDL_RaiseWindow(FWindow);
    FSdl.Raised(this);
}

void TSdlWindow::Activate() {
    SDL_RaiseWindow(FWindow);
    FSdl.Raised(this);
    // Without a window manager nobody else hands out the keyboard focus.
    SDL_SetWindowInputFocus(FWindow);
}

bool TSdlWindow::SetShape(const TPixelView& Mask) {
    if (!FIsShaped || Mask.IsEmpty())
        return false;
    SDL_Surface* Surface = SDL_CreateRGBSurfaceWithFormat(0, Mask.Width, Mask.Height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!Surface)
        return false;
    for (int32_t Y = 0; Y < Mask.Height; ++Y)
        std::memcpy(static_cast<uint8_t*>(Surface->pixels) + ptrdiff_t(Y) * Surface->pitch, Mask.Row(Y),
                    size_t(Mask.Width) * 4);
    SDL_WindowShapeMode Mode{};
    Mode.mode = ShapeModeBinarizeAlpha;
    Mode.parameters.binarizationCutoff = 1;
    bool Done = SDL_SetWindowShape(FWindow, Surface, &Mode) == 0;
    SDL_FreeSurface(Surface);
    return Done;
}

void TSdlWindow::SetCursor(TCursorKind Cursor) {
    FCursor = Cursor;
    if (SDL_GetMouseFocus() == FWindow)
        FSdl.ApplyCursor(Cursor);
}

void TSdlWindow::Present(const TPixelView& Pixels, const TRect& Dirty) {
    SDL_Surface* Surface = SDL_GetWindowSurface(FWindow);
    if (!Surface)
        throw EWindowSystem(SdlError("cannot present to a window"));
    TRect Part = Dirty.Intersected(Pixels.Bounds()).Intersected({0, 0, Surface->w, Surface->h});
    if (Part.IsEmpty())
        return;
    Uint32 Format = Surface->format->format;
    // The usual X11 surfaces hold the same bytes as ours (blue, green, red,
    // then alpha or padding): rows are copied as they are.
    bool SameBytes = Format == SDL_PIXELFORMAT_ARGB8888 || Format == SDL_PIXELFORMAT_RGB888;
    if (SDL_MUSTLOCK(Surface))
        SDL_LockSurface(Surface);
    for (int32_t Y = Part.Top; Y < Part.Bottom; ++Y) {
        uint8_t* Target = static_cast<uint8_t*>(Surface->pixels) + ptrdiff_t(Y) * Surface->pitch +
                          ptrdiff_t(Part.Left) * Surface->format->BytesPerPixel;
        if (SameBytes)
            std::memcpy(Target, Pixels.At(Part.Left, Y), size_t(Part.Width()) * 4);
        else
            SDL_ConvertPixels(Part.Width(), 1, SDL_PIXELFORMAT_ARGB8888, Pixels.At(Part.Left, Y), Part.Width() * 4,
                              Format, Target, Surface->pitch);
    }
    if (SDL_MUSTLOCK(Surface))
        SDL_UnlockSurface(Surface);
    SDL_Rect Rect{Part.Left, Part.Top, Part.Width(), Part.Height()};
    SDL_UpdateWindowSurfaceRects(FWindow, &Rect, 1);
}

SDL_HitTestResult TSdlWindow::HitTestCallback(SDL_Window*, const SDL_Point* Point, void* Data) {
    // SDL calls this from its event pump on the user-interface thread; an
    // exception must not unwind through SDL.
    try {
        switch (static_cast<TSdlWindow*>(Data)->HitTest({Point->x, Point->y})) {
        case THitTest::Normal: return SDL_HITTEST_NORMAL;
        case THitTest::Draggable: return SDL_HITTEST_DRAGGABLE;
        case THitTest::ResizeTopLeft: return SDL_HITTEST_RESIZE_TOPLEFT;
        case THitTest::ResizeTop: return SDL_HITTEST_RESIZE_TOP;
        case THitTest::ResizeTopRight: return SDL_HITTEST_RESIZE_TOPRIGHT;
        case THitTest::ResizeRight: return SDL_HITTEST_RESIZE_RIGHT;
        case THitTest::ResizeBottomRight: return SDL_HITTEST_RESIZE_BOTTOMRIGHT;
        case THitTest::ResizeBottom: return SDL_HITTEST_RESIZE_BOTTOM;
        case THitTest::ResizeBottomLeft: return SDL_HITTEST_RESIZE_BOTTOMLEFT;
        case THitTest::ResizeLeft: return SDL_HITTEST_RESIZE_LEFT;
        }
    } catch (...) {
        ReportCurrentException();
    }
    return SDL_HITTEST_NORMAL;
}

void TSdlWindow::HitTesterChanged() { SDL_SetWindowHitTest(FWindow, HitTestCallback, this); }

TSdlWindowSystem::TSdlWindowSystem(TMessageQueue& Messages) : TWindowSystem(Messages) {
    // The toolkit places pop-ups, tool windows and the drag window at
    // absolute desktop positions, which only X11 (XWayland under Wayland)
    // allows. A driver the user chose is left alone.
    if (!std::getenv("SDL_VIDEODRIVER"))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    // Closing the last window is the program's decision, not a quit.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // A click on an inactive window is a click, as on every desktop.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // Capture is kept by the window layer (SDL's capture fails under Xvfb).
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // The toolkit paints every pixel itself and presents changed rectangles:
    // the shared-memory framebuffer does that without a GL context, whose
    // driver (a software one on most headless and many desktop machines)
    // costs start-up time and tens of megabytes. SDL_FRAMEBUFFER_ACCELERATION
    // in the environment still wins.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        throw EWindowSystem(SdlError("cannot open the display"));
    FWakeEvent = SDL_RegisterEvents(1);
    SDL_StartTextInput();
    Uint32 WakeType = FWakeEvent;
    Messages.SetWaker([WakeType] {
        SDL_Event Wake{};
        Wake.type = WakeType;
        SDL_PushEvent(&Wake);
    });
}

TSdlWindowSystem::~TSdlWindowSystem() {
    Messages().SetWaker({});
    for (SDL_Cursor* Cursor : FCursors)
        if (Cursor)
            SDL_FreeCursor(Cursor);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

std::vector<TDisplay> TSdlWindowSystem::Displays() const {
    std::vector<TDisplay> Result;
    int Count = SDL_GetNumVideoDisplays();
    for (int Index = 0; Index < Count; ++Index) {
        SDL_Rect Bounds{}, Usable{};
        if (SDL_GetDisplayBounds(Index, &Bounds) != 0)
            continue;
        if (SDL_GetDisplayUsableBounds(Index, &Usable) != 0)
            Usable = Bounds;
        Result.push_back({TRect::FromSize(Bounds.x, Bounds.y, Bounds.w, Bounds.h),
                          TRect::FromSize(Usable.x, Usable.y, Usable.w, Usable.h)});
    }
    return Result;
}

void TSdlWindowSystem::ApplyCursor(TCursorKind Cursor) {
    if (Cursor == TCursorKind::Hidden) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    static constexpr SDL_SystemCursor System[] = {
        SDL_SYSTEM_CURSOR_ARROW,    SDL_SYSTEM_CURSOR_IBEAM,    SDL_SYSTEM_CURSOR_WAIT,
        SDL_SYSTEM_CURSOR_WAITARROW, SDL_SYSTEM_CURSOR_CROSSHAIR, SDL_SYSTEM_CURSOR_HAND,
        SDL_SYSTEM_CURSOR_SIZEWE,   SDL_SYSTEM_CURSOR_SIZENS,   SDL_SYSTEM_CURSOR_SIZENWSE,
        SDL_SYSTEM_CURSOR_SIZENESW, SDL_SYSTEM_CURSOR_SIZEALL,  SDL_SYSTEM_CURSOR_NO,
    };
    size_t Index = size_t(Cursor);
    if (!FCursors[Index])
        FCursors[Index] = SDL_CreateSystemCursor(System[Index]);
    if (FCursors[Index])
        SDL_SetCursor(FCursors[Index]);
    SDL_ShowCursor(SDL_ENABLE);
}

TMouseButtons TSdlWindowSystem::ButtonsFromSdl(Uint32 State) {
    TMouseButtons Result = 0;
    if (State & SDL_BUTTON_LMASK)
        Result |= MouseButtonBit(TMouseButton::Left);
    if (State & SDL_BUTTON_RMASK)
        Result |= MouseButtonBit(TMouseButton::Right);
    if (State & SDL_BUTTON_MMASK)
        Result |= MouseButtonBit(TMouseButton::Middle);
    if (State & SDL_BUTTON_X1MASK)
        Result |= MouseButtonBit(TMouseButton::X1);
    if (State & SDL_BUTTON_X2MASK)
        Result |= MouseButtonBit(TMouseButton::X2);
    return Result;
}

TMouseEvent TSdlWindowSystem::MouseEvent(TSdlWindow* Window, int32_t X, int32_t Y, TMouseEventKind Kind) {
    TMouseEvent Event;
    Event.Window = Window;
    Event.Kind = Kind;
    Event.Position = {X, Y};
    Event.ScreenPosition = Event.Position + Window->Bounds().TopLeft();
    Event.Modifiers = ModifiersFromSdl(uint16_t(SDL_GetModState()));
    Event.Buttons = FButtons;
    FLastMouse = Event.ScreenPosition;
    return Event;
}

void TSdlWindowSystem::TranslateButton(const SDL_MouseButtonEvent& Event) {
    TSdlWindow* Window = FromId(Event.windowID);
    TMouseButton Button;
    switch (Event.button) {
    case SDL_BUTTON_LEFT: Button = TMouseButton::Left; break;
    case SDL_BUTTON_RIGHT: Button = TMouseButton::Right; break;
    case SDL_BUTTON_MIDDLE: Button = TMouseButton::Middle; break;
    case SDL_BUTTON_X1: Button = TMouseButton::X1; break;
    case SDL_BUTTON_X2: Button = TMouseButton::X2; break;
    default: return;
    }
    TMouseButtons Bit = MouseButtonBit(Button);
    bool IsDown = Event.type == SDL_MOUSEBUTTONDOWN;
    if (!IsDown && (FSyntheticUps & Bit)) {
        // Its release was already read from the global state.
        FSyntheticUps &= TMouseButtons(~Bit);
        return;
    }
    if (!Window)
        return;
    FButtons = IsDown ? TMouseButtons(FButtons | Bit) : TMouseButtons(FButtons & ~Bit);
    TMouseEvent Mouse = MouseEvent(Window, Event.x, Event.y, IsDown ? TMouseEventKind::Down : TMouseEventKind::Up);
    Mouse.Button = Button;
    Mouse.Clicks = std::max<int32_t>(Event.clicks, 1);
    Deliver(Mouse);
}

void TSdlWindowSystem::TranslateWindowEvent(const SDL_WindowEvent& Event) {
    TSdlWindow* Window = FromId(Event.windowID);
    if (!Window)
        return;
    auto Send = [&](TWindowEventKind Kind) { Deliver(TWindowEvent{Window, Kind, Window->Bounds()}); };
    switch (Event.event) {
    case SDL_WINDOWEVENT_SHOWN: Send(TWindowEventKind::Shown); break;
    case SDL_WINDOWEVENT_HIDDEN: Send(TWindowEventKind::Hidden); break;
    case SDL_WINDOWEVENT_EXPOSED: Send(TWindowEventKind::Exposed); break;
    case SDL_WINDOWEVENT_MOVED:
        Window->Placed();
        Send(TWindowEventKind::Moved);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        Window->Placed();
        Send(TWindowEventKind::Resized);
        break;
    case SDL_WINDOWEVENT_MINIMIZED: Send(TWindowEventKind::Minimized); break;
    case SDL_WINDOWEVENT_MAXIMIZED: Send(TWindowEventKind::Maximized); break;
    case SDL_WINDOWEVENT_RESTORED: Send(TWindowEventKind::Restored); break;
    case SDL_WINDOWEVENT_ENTER:
        ApplyCursor(Window->Cursor());
        Send(TWindowEventKind::MouseEntered);
        break;
    case SDL_WINDOWEVENT_LEAVE: Send(TWindowEventKind::MouseLeft); break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        FocusChanged(Window);
        Send(TWindowEventKind::FocusGained);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        if (FocusedWindow() == Window)
            FocusChanged(nullptr);
        Send(TWindowEventKind::FocusLost);
        break;
    case SDL_WINDOWEVENT_CLOSE: Send(TWindowEventKind::CloseRequest); break;
    default: break;
    }
}

void TSdlWindowSystem::Translate(const SDL_Event& Event) {
    switch (Event.type) {
    case SDL_WINDOWEVENT:
        TranslateWindowEvent(Event.window);
        break;
    case SDL_MOUSEMOTION:
        if (TSdlWindow* Window = FromId(Event.motion.windowID)) {
            FButtons = TMouseButtons(ButtonsFromSdl(Event.motion.state) & ~FSyntheticUps);
            Deliver(MouseEvent(Window, Event.motion.x, Event.motion.y, TMouseEventKind::Move));
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        TranslateButton(Event.button);
        break;
    case SDL_MOUSEWHEEL:
        if (TSdlWindow* Window = FromId(Event.wheel.windowID)) {
            float Flip = Event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.0f : 1.0f;
            for (bool Horizontal : {false, true}) {
                float Notches = (Horizontal ? Event.wheel.preciseX : Event.wheel.preciseY) * Flip;
                int32_t Delta = int32_t(std::lround(Notches * 120));
                if (Delta == 0)
                    continue;
                TMouseEvent Mouse = MouseEvent(Window, Event.wheel.mouseX, Event.wheel.mouseY, TMouseEventKind::Wheel);
                Mouse.WheelDelta = Delta;
                Mouse.IsHorizontalWheel = Horizontal;
                Deliver(Mouse);
            }
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        TNativeWindow* Window = FromId(Event.key.windowID);
        if (!Window)
            Window = FocusedWindow();
        if (!Window)
            break;
        const SDL_Keysym& Sym = Event.key.keysym;
        TKeyEvent Key;
        Key.Window = Window;
        Key.Kind = Event.type == SDL_KEYDOWN ? TKeyEventKind::Down : TKeyEventKind::Up;
        Key.Key = VirtualKeyFromSdl(Sym.sym, Sym.scancode, Sym.mod);
        Key.Modifiers = ModifiersFromSdl(Sym.mod);
        Key.ShortCut = ShortCutFromSdlKey(Sym.sym, Sym.scancode, Sym.mod);
        Key.IsRepeat = Event.key.repeat != 0;
        Deliver(Key);
        break;
    }
    case SDL_TEXTINPUT:
        if (TNativeWindow* Window = FromId(Event.text.windowID) ? FromId(Event.text.windowID) : FocusedWindow())
            Deliver(TTextEvent{Window, Event.text.text});
        break;
    case SDL_DROPBEGIN:
        DropBegin(FromId(Event.drop.windowID));
        break;
    case SDL_DROPFILE:
        DropFile(FromId(Event.drop.windowID), Event.drop.file ? Event.drop.file : "");
        SDL_free(Event.drop.file);
        break;
    case SDL_DROPTEXT:
        SDL_free(Event.drop.file);
        break;
    case SDL_DROPCOMPLETE:
        DropComplete(FromId(Event.drop.windowID));
        break;
    case SDL_CLIPBOARDUPDATE:
        Deliver(TClipboardEvent{});
        break;
    case SDL_QUIT:
        Deliver(TQuitEvent{});
        break;
    default:
        break;
    }
}

TMouseButtons TSdlWindowSystem::QueryMouse(TPoint& Screen) const {
    int X = 0, Y = 0;
    if (SDL_Window* Focus = SDL_GetMouseFocus())
        if (TSdlWindow* Window = FromId(SDL_GetWindowID(Focus))) {
            Uint32 State = SDL_GetMouseState(&X, &Y);
            Screen = TPoint{X, Y} + Window->Bounds().TopLeft();
            return ButtonsFromSdl(State);
        }
    Uint32 State = SDL_GetGlobalMouseState(&X, &Y);
    Screen = {X, Y};
    return ButtonsFromSdl(State);
}

void TSdlWindowSystem::PollCapturedMouse() {
    TNativeWindow* Capture = CaptureWindow();
    if (!Capture)
        return;
    TPoint Screen;
    TMouseButtons Held = QueryMouse(Screen);
    auto Event = [&](TMouseEventKind Kind) {
        TMouseEvent Mouse;
        Mouse.Window = Capture;
        Mouse.Kind = Kind;
        Mouse.ScreenPosition = Screen;
        Mouse.Position = Screen - Capture->Bounds().TopLeft();
        Mouse.Modifiers = ModifiersFromSdl(uint16_t(SDL_GetModState()));
        Mouse.Buttons = FButtons;
        return Mouse;
    };
    if (Screen != FLastMouse) {
        FLastMouse = Screen;
        Deliver(Event(TMouseEventKind::Move));
    }
    for (TMouseButton Button : {TMouseButton::Left, TMouseButton::Right, TMouseButton::Middle, TMouseButton::X1,
                                TMouseButton::X2}) {
        TMouseButtons Bit = MouseButtonBit(Button);
        if ((FButtons & Bit) && !(Held & Bit)) {
            FButtons &= TMouseButtons(~Bit);
            FSyntheticUps |= Bit;
            TMouseEvent Up = Event(TMouseEventKind::Up);
            Up.Button = Button;
            Deliver(Up);
        }
    }
}

void TSdlWindowSystem::Pump(std::optional<TClock::time_point> Deadline, bool Wait) {
    SDL_Event Event;
    bool Got = false;
    if (Wait) {
        int Timeout = -1;
        if (Deadline) {
            auto Left = std::chrono::ceil<std::chrono::milliseconds>(*Deadline - Now()).count();
            Timeout = int(std::clamp<int64_t>(Left, 0, INT_MAX));
        }
        // While captured the global mouse is watched: the desktop may send
        // nothing once the mouse leaves the program's windows.
        if (CaptureWindow())
            Timeout = Timeout < 0 ? 10 : std::min(Timeout, 10);
        Got = Timeout < 0 ? SDL_WaitEvent(&Event) == 1 : SDL_WaitEventTimeout(&Event, Timeout) == 1;
    } else {
        Got = SDL_PollEvent(&Event) == 1;
    }
    while (Got) {
        Translate(Event);
        Got = SDL_PollEvent(&Event) == 1;
    }
    PollCapturedMouse();
}

} // namespace

std::unique_ptr<TWindowSystem> CreateSdlWindowSystem(TMessageQueue& Messages) {
    return std::make_unique<TSdlWindowSystem>(Messages);
}
