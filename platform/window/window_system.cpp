#include "platform/window/window_system.h"

#include "core/exception_report.h"
#include "platform/message_queue.h"

#include <algorithm>
#include <climits>

TNativeWindow* EventWindow(const TEvent& Event) {
    return std::visit(
        [](const auto& Item) -> TNativeWindow* {
            if constexpr (requires { Item.Window; })
                return Item.Window;
            else
                return nullptr;
        },
        Event);
}

TNativeWindow::TNativeWindow(TWindowSystem& System, const TWindowOptions& Options)
    : FSystem(System), FKind(Options.Kind), FOwner(Options.Owner), FId(0) {
    System.WindowCreated(this);
}

TNativeWindow::~TNativeWindow() { FSystem.WindowDestroyed(this); }

bool TNativeWindow::HasFocus() const { return FSystem.FocusedWindow() == this; }

void TNativeWindow::SetHitTester(THitTester Tester) {
    FHitTester = std::move(Tester);
    HitTesterChanged();
}

THitTest TNativeWindow::HitTest(TPoint ClientPoint) const {
    return FHitTester ? FHitTester(ClientPoint) : THitTest::Normal;
}

TWindowSystem::TWindowSystem(TMessageQueue& Messages) : FMessages(Messages) {}

TEventFilterRegistration::TEventFilterRegistration(TWindowSystem& System, uint64_t Id)
    : FSystem(&System), FId(Id) {}

TEventFilterRegistration::TEventFilterRegistration(TEventFilterRegistration&& Other) noexcept
    : FSystem(Other.FSystem), FId(Other.FId) {
    Other.FSystem.Reset();
    Other.FId = 0;
}

TEventFilterRegistration& TEventFilterRegistration::operator=(TEventFilterRegistration&& Other) noexcept {
    if (this != &Other) {
        Reset();
        FSystem = Other.FSystem;
        FId = Other.FId;
        Other.FSystem.Reset();
        Other.FId = 0;
    }
    return *this;
}

TEventFilterRegistration::~TEventFilterRegistration() { Reset(); }

void TEventFilterRegistration::Reset() {
    if (TWindowSystem* System = FSystem.Get(); System && FId != 0)
        System->RemoveEventFilter(FId);
    FSystem.Reset();
    FId = 0;
}

TEventFilterRegistration TWindowSystem::AddEventFilter(TFilterPlace Place, TEventFilter Filter) {
    uint64_t Id = FNextFilter++;
    TFilterEntry Entry{Id, std::move(Filter)};
    if (Place == TFilterPlace::First)
        FFilters.insert(FFilters.begin(), std::move(Entry));
    else
        FFilters.push_back(std::move(Entry));
    return TEventFilterRegistration(*this, Id);
}

void TWindowSystem::RemoveEventFilter(uint64_t Id) {
    std::erase_if(FFilters, [&](const TFilterEntry& Entry) { return Entry.Id == Id; });
}

bool TWindowSystem::Filter(const TEvent& Event) {
    // A filter may add or remove filters, itself included: the walk goes
    // over the ids there were and runs a copy of each one still there.
    std::vector<uint64_t> Ids;
    Ids.reserve(FFilters.size());
    for (const TFilterEntry& Entry : FFilters)
        Ids.push_back(Entry.Id);
    for (uint64_t Id : Ids) {
        auto It = std::find_if(FFilters.begin(), FFilters.end(),
                               [&](const TFilterEntry& Entry) { return Entry.Id == Id; });
        if (It == FFilters.end() || !It->Filter)
            continue;
        TEventFilter Copy = It->Filter;
        if (Copy(Event))
            return true;
    }
    return false;
}

TWindowSystem::~TWindowSystem() = default;

void TWindowSystem::WindowCreated(TNativeWindow* Window) {
    Window->FId = FNextWindowId++;
    // New windows start at the bottom: they are hidden until shown, and
    // showing raises them.
    FZOrder.push_back(Window);
}

void TWindowSystem::WindowDestroyed(TNativeWindow* Window) {
    std::erase(FZOrder, Window);
    for (TNativeWindow* Other : FZOrder)
        if (Other->FOwner == Window)
            Other->FOwner = nullptr;
    if (FFocused == Window)
        FFocused = nullptr;
    if (FDropWindow == Window) {
        FDropWindow = nullptr;
        FDropFiles.clear();
    }
    std::erase_if(FQueued, [&](const TEvent& Event) { return EventWindow(Event) == Window; });
    ForgetWindow(Window);
}

void TWindowSystem::WindowRaised(TNativeWindow* Window) {
    // The window goes on top and whatever it owns, directly or through
    // other owned windows, goes above it in its present order: tool windows
    // never fall behind their main window.
    auto IsOwnedBy = [&](const TNativeWindow* Other) {
        int Guard = 0;
        for (const TNativeWindow* Owner = Other->FOwner; Owner && Guard < 64; Owner = Owner->FOwner, ++Guard)
            if (Owner == Window)
                return true;
        return false;
    };
    std::vector<TNativeWindow*> Top;
    for (TNativeWindow* Other : FZOrder)
        if (IsOwnedBy(Other))
            Top.push_back(Other);
    Top.push_back(Window);
    std::erase_if(FZOrder, [&](TNativeWindow* Other) { return std::find(Top.begin(), Top.end(), Other) != Top.end(); });
    FZOrder.insert(FZOrder.begin(), Top.begin(), Top.end());
}

void TWindowSystem::FocusChanged(TNativeWindow* Window) { FFocused = Window; }

TNativeWindow* TWindowSystem::WindowAt(TPoint ScreenPoint) const {
    for (TNativeWindow* Window : FZOrder)
        if (Window->Kind() != TWindowKind::Drag && Window->IsVisible() &&
            Window->State() != TWindowState::Minimized && Window->Bounds().Contains(ScreenPoint))
            return Window;
    return nullptr;
}

TRect TWindowSystem::DesktopBounds() const {
    TRect Result;
    for (const TDisplay& Display : Displays())
        Result = Result.United(Display.Bounds);
    return Result;
}

TRect TWindowSystem::DesktopWorkArea() const {
    TRect Result;
    for (const TDisplay& Display : Displays())
        Result = Result.United(Display.WorkArea);
    return Result;
}

TDisplay TWindowSystem::DisplayAt(TPoint Point) const {
    std::vector<TDisplay> All = Displays();
    if (All.empty())
        return {};
    int64_t Best = INT64_MAX;
    TDisplay Result = All.front();
    for (const TDisplay& Display : All) {
        if (Display.Bounds.Contains(Point))
            return Display;
        int64_t DX = std::max({Display.Bounds.Left - Point.X, 0, Point.X - (Display.Bounds.Right - 1)});
        int64_t DY = std::max({Display.Bounds.Top - Point.Y, 0, Point.Y - (Display.Bounds.Bottom - 1)});
        if (DX * DX + DY * DY < Best) {
            Best = DX * DX + DY * DY;
            Result = Display;
        }
    }
    return Result;
}

TNativeWindow* TWindowSystem::CaptureWindow() const {
    for (TNativeWindow* Window : FZOrder)
        if (Window->Listener() && Window->Listener()->HoldsMouse())
            return Window;
    return nullptr;
}

void TWindowSystem::TakeCapture(const TNativeWindow& Window) {
    // A listener letting go may destroy windows: walk a copy, skipping the
    // windows gone meanwhile.
    std::vector<TNativeWindow*> Others = FZOrder;
    for (TNativeWindow* Other : Others)
        if (Other != &Window && std::find(FZOrder.begin(), FZOrder.end(), Other) != FZOrder.end() &&
            Other->Listener() && Other->Listener()->HoldsMouse())
            Other->Listener()->LetGoOfMouse();
}

void TWindowSystem::ReleaseCapture() {
    std::vector<TNativeWindow*> Holders = FZOrder;
    for (TNativeWindow* Holder : Holders)
        if (std::find(FZOrder.begin(), FZOrder.end(), Holder) != FZOrder.end() && Holder->Listener() &&
            Holder->Listener()->HoldsMouse())
            Holder->Listener()->LetGoOfMouse();
}

void TWindowSystem::Deliver(TEvent Event) { FQueued.push_back(std::move(Event)); }

bool TWindowSystem::RouteToCapture(TEvent& Event) const {
    if (auto* Mouse = std::get_if<TMouseEvent>(&Event); Mouse && Mouse->Kind != TMouseEventKind::Wheel)
        if (TNativeWindow* Holder = CaptureWindow()) {
            Mouse->Window = Holder;
            Mouse->Position = Mouse->ScreenPosition - Holder->Bounds().TopLeft();
        }
    TNativeWindow* Window = EventWindow(Event);
    if (Window && !Window->IsEnabled()) {
        bool IsInput = !std::holds_alternative<TWindowEvent>(Event) ||
                       std::get<TWindowEvent>(Event).Kind == TWindowEventKind::CloseRequest;
        if (IsInput)
            return false;
    }
    return true;
}

void TWindowSystem::DropBegin(TNativeWindow* Window) {
    FDropWindow = Window;
    FDropFiles.clear();
}

void TWindowSystem::DropFile(TNativeWindow* Window, std::string File) {
    if (FDropWindow != Window) {
        FDropWindow = Window;
        FDropFiles.clear();
    }
    FDropFiles.push_back(std::move(File));
}

void TWindowSystem::DropComplete(TNativeWindow* Window) {
    std::vector<std::string> Files;
    Files.swap(FDropFiles);
    FDropWindow = nullptr;
    if (!Window || Files.empty())
        return;
    TDropEvent Drop;
    Drop.Window = Window;
    Drop.Files = std::move(Files);
    Drop.ScreenPosition = MousePosition();
    Drop.Position = Drop.ScreenPosition - Window->Bounds().TopLeft();
    Deliver(std::move(Drop));
}

TTimerId TWindowSystem::StartTimer(std::chrono::milliseconds Interval, TTimerRepeat Repeat,
                                   std::function<void()> Handler) {
    TTimerId Id = FNextTimer++;
    FTimers[Id] = TTimer{std::max(Interval, std::chrono::milliseconds(0)), Repeat, std::move(Handler),
                         Now() + Interval};
    return Id;
}

void TWindowSystem::StopTimer(TTimerId Timer) { FTimers.erase(Timer); }

std::optional<TWindowSystem::TClock::time_point> TWindowSystem::NextTimerDue() const {
    std::optional<TClock::time_point> Result;
    for (const auto& [Id, Timer] : FTimers)
        if (!Result || Timer.Due < *Result)
            Result = Timer.Due;
    return Result;
}

bool TWindowSystem::RunDueTimer() {
    TClock::time_point Current = Now();
    auto Earliest = FTimers.end();
    for (auto It = FTimers.begin(); It != FTimers.end(); ++It)
        if (It->second.Due <= Current && (Earliest == FTimers.end() || It->second.Due < Earliest->second.Due))
            Earliest = It;
    if (Earliest == FTimers.end())
        return false;
    // The handler may stop or restart timers, itself included: run a copy.
    std::function<void()> Handler = Earliest->second.Handler;
    if (Earliest->second.Repeat == TTimerRepeat::Once) {
        FTimers.erase(Earliest);
    } else {
        TTimer& Timer = Earliest->second;
        Timer.Due += std::max(Timer.Interval, std::chrono::milliseconds(1));
        if (Timer.Due <= Current)
            Timer.Due = Current + std::max(Timer.Interval, std::chrono::milliseconds(1));
    }
    Guarded(Handler);
    return true;
}

void TWindowSystem::Guarded(const std::function<void()>& Action) {
    try {
        Action();
    } catch (const ELoopAborted&) {
        throw;
    } catch (...) {
        ReportCurrentException();
    }
}

void TWindowSystem::Dispatch(TEvent Event) {
    Guarded([&] {
        if (!RouteToCapture(Event))
            return;
        if (Filter(Event))
            return;
        TNativeWindow* Window = EventWindow(Event);
        if (Window && Window->Listener())
            Window->Listener()->HandleEvent(Event);
        else if (FListener)
            FListener->HandleEvent(Event);
    });
}

bool TWindowSystem::Step(bool Wait) {
    if (FMessages.ProcessPending() > 0)
        return true;
    if (RunDueTimer())
        return true;
    if (FQueued.empty())
        Pump(NextTimerDue(), false);
    if (FQueued.empty() && Wait) {
        Pump(NextTimerDue(), true);
        return true;
    }
    if (FQueued.empty())
        return false;
    TEvent Event = std::move(FQueued.front());
    FQueued.pop_front();
    Dispatch(std::move(Event));
    return true;
}

bool TWindowSystem::RunLoop(const std::function<bool()>& Until) {
    struct TDepthGuard {
        int& Depth;
        explicit TDepthGuard(int& Value) : Depth(Value) { ++Depth; }
        ~TDepthGuard() { --Depth; }
    } Guard(FLoopDepth);
    for (;;) {
        if (Until())
            return true;
        if (FIsTerminated)
            return false;
        Step(true);
    }
}

void TWindowSystem::ProcessEvents() {
    // Bounded, so that a timer of interval 0 or a handler that posts to
    // itself cannot keep this from returning.
    for (int Round = 0; Round < 10000 && !FIsTerminated; ++Round)
        if (!Step(false))
            return;
}
