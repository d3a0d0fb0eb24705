#pragma once

#include "core/geometry.h"
#include "core/weak_ptr.h"
#include "platform/window/native_window.h"
#include "platform/window/window_events.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class TMessageQueue;

// A failure of the window system itself (no display, a window that cannot
// be made), with the platform's own message.
class EWindowSystem : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An error of the message loop that must reach the loop's outermost caller:
// exceptions of handlers are reported and the loop goes on, this one passes
// through every nested loop and handler (a headless script that ran out).
class ELoopAborted : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One display of the desktop; WorkArea leaves out panels and task bars.
struct TDisplay {
    TRect Bounds;
    TRect WorkArea;
};

enum class TTimerRepeat : uint8_t { Once, Repeat };

// Where a new event filter goes in the window system's list: First sees
// events before the filters already there, Last after them.
enum class TFilterPlace : uint8_t { First, Last };

// A filter's place in the window system's list: the filter stays while this
// object lives and is taken out when it is destroyed or reset, whatever the
// order in which registrations go. Move-only; an empty one holds nothing,
// and one that outlives its window system does nothing.
//
//   FEscapeFilter = System.AddEventFilter(TFilterPlace::Last, [this](const TEvent& Event) {
//       return IsEscape(Event) && HandleEscape();
//   });
class TEventFilterRegistration {
public:
    TEventFilterRegistration() = default;
    TEventFilterRegistration(TEventFilterRegistration&& Other) noexcept;
    TEventFilterRegistration& operator=(TEventFilterRegistration&& Other) noexcept;
    ~TEventFilterRegistration();
    // Takes the filter out now.
    void Reset();
    bool IsActive() const { return FId != 0 && !FSystem.IsExpired(); }

private:
    friend class TWindowSystem;
    TEventFilterRegistration(TWindowSystem& System, uint64_t Id);
    TWeakPtr<TWindowSystem> FSystem;
    uint64_t FId = 0;
};
using TTimerId = uint64_t;

// The desktop's window services: windows, the message loop with its timers
// and posted messages, mouse capture, the clipboard and the shell. The SDL
// backend (CreateSdlWindowSystem) is the real one; THeadlessWindowSystem is
// its twin for tests. Everything here runs on the user-interface thread,
// except TMessageQueue::Post, which any thread may call to wake the loop.
//
// The loop delivers each event to the event filters first, in the list's
// order (a drag, a modal form's close box, the main window's Escape: the
// first answering true consumes it), then to the listener of the event's
// window, else to the system's listener. An
// exception thrown by any handler is reported through the application's
// standard exception report and the loop goes on.
//
// Mouse capture is not kept here: a window's listener holds it (the widget
// window for its targets, the drag for its drag window) and the system only
// asks. While a window's listener holds the mouse, every mouse event but the
// wheel is routed to that window, in its coordinates, even outside its
// bounds. TakeCapture asks the listeners of every other window to let go, so
// that at most one window holds the mouse.
//
//   auto System = CreateSdlWindowSystem(UiMessages());
//   auto Main = System->CreateWindow({.Kind = TWindowKind::Main, .Title = "Quillmoor"});
//   Main->Show(TActivate::Yes);
//   System->RunLoop([&] { return MainClosed; });
class TWindowSystem {
public:
    using TClock = std::chrono::steady_clock;
    using TEventFilter = std::function<bool(const TEvent&)>;

    explicit TWindowSystem(TMessageQueue& Messages);
    virtual ~TWindowSystem();
    TWindowSystem(const TWindowSystem&) = delete;
    TWindowSystem& operator=(const TWindowSystem&) = delete;

    // Windows. A new window is hidden.
    virtual std::unique_ptr<TNativeWindow> CreateWindow(const TWindowOptions& Options) = 0;
    // Every live window, the top of the stacking order first.
    const std::vector<TNativeWindow*>& ZOrder() const { return FZOrder; }
    TNativeWindow* FocusedWindow() const { return FFocused; }
    // The topmost visible window at a desktop point (drag windows excluded),
    // or null.
    TNativeWindow* WindowAt(TPoint ScreenPoint) const;

    // The desktop.
    virtual std::vector<TDisplay> Displays() const = 0;
    TRect DesktopBounds() const;   // the union of the displays
    TRect DesktopWorkArea() const; // the union of their work areas
    // The display holding Point, else the one nearest to it.
    TDisplay DisplayAt(TPoint Point) const;

    // The mouse, wherever it is on the desktop.
    virtual TPoint MousePosition() const = 0;
    virtual TMouseButtons MouseButtons() const = 0;
    // The window whose listener holds the mouse, or null.
    TNativeWindow* CaptureWindow() const;
    // Window is taking the mouse: the listeners of every other window that
    // hold it are asked to let go.
    void TakeCapture(const TNativeWindow& Window);
    // Asks every listener holding the mouse to let go.
    void ReleaseCapture();

    // The text clipboard; a change is announced by a TClipboardEvent.
    virtual std::string ClipboardText() const = 0;
    virtual void SetClipboardText(const std::string& Text) = 0;

    // Opens a file or web address in the desktop's program for it
    // (xdg-open); raises EWindowSystem when that cannot be started.
    virtual void OpenDocument(const std::string& PathOrUrl) = 0;

    // Events and the loop.
    void SetListener(TWindowListener* Listener) { FListener = Listener; }
    // Puts Filter in the list at Place; it stays there while the returned
    // registration lives.
    [[nodiscard]] TEventFilterRegistration AddEventFilter(TFilterPlace Place, TEventFilter Filter);
    size_t EventFilterCount() const { return FFilters.size(); }
    // Runs the loop until Until() answers true (then true) or Terminate is
    // called (then false). Loops nest: a pop-up or modal form runs its own
    // inside a handler of the outer one.
    bool RunLoop(const std::function<bool()>& Until);
    // Handles whatever is waiting (messages, due timers, events) without
    // waiting for more.
    void ProcessEvents();
    // Ends every running loop; later loops return at once.
    void Terminate() { FIsTerminated = true; }
    bool IsTerminated() const { return FIsTerminated; }
    int LoopDepth() const { return FLoopDepth; }

    // Timers run their handler on the loop, at or after their due time;
    // a repeating timer that fell behind skips the missed ticks rather than
    // running them in a burst.
    TTimerId StartTimer(std::chrono::milliseconds Interval, TTimerRepeat Repeat, std::function<void()> Handler);
    void StopTimer(TTimerId Timer);
    bool IsTimerActive(TTimerId Timer) const { return FTimers.count(Timer) != 0; }
    virtual TClock::time_point Now() const { return TClock::now(); }

    TMessageQueue& Messages() const { return FMessages; }
    const TLifeFlag& LifeFlag() const { return FLife; }

protected:
    // The backend's part of a loop turn: translates what the platform has
    // into events (Deliver) and returns; when Wait is set and nothing is
    // there, it first waits until something arrives, a message is posted or
    // Deadline passes.
    virtual void Pump(std::optional<TClock::time_point> Deadline, bool Wait) = 0;

    // Queues an event from the platform for dispatch; capture and the
    // enabled state are applied to it when it is dispatched, so that a
    // press earlier in the queue can take the mouse first.
    void Deliver(TEvent Event);
    bool HasQueuedEvents() const { return !FQueued.empty(); }

    // Dropped files: the files between DropBegin and DropComplete form one
    // drop, placed where the mouse is at DropComplete.
    void DropBegin(TNativeWindow* Window);
    void DropFile(TNativeWindow* Window, std::string File);
    void DropComplete(TNativeWindow* Window);

    // Bookkeeping the backends report.
    void WindowRaised(TNativeWindow* Window);
    void FocusChanged(TNativeWindow* Window);

    std::optional<TClock::time_point> NextTimerDue() const;
    // Runs the earliest timer if it is due by Now(); false when none is.
    bool RunDueTimer();

    // Runs Action, reporting what it throws (ELoopAborted passes on).
    void Guarded(const std::function<void()>& Action);

    // A backend drops what it keeps of a window that is going (the window
    // under the mouse, say); called from the window's destructor.
    virtual void ForgetWindow(TNativeWindow*) {}

    // Backends call these from their window's constructor and destructor.
    friend class TNativeWindow;
    void WindowCreated(TNativeWindow* Window);
    void WindowDestroyed(TNativeWindow* Window);

private:
    struct TTimer {
        std::chrono::milliseconds Interval;
        TTimerRepeat Repeat;
        std::function<void()> Handler;
        TClock::time_point Due;
    };

    // One step of a loop: false when there was nothing to do without waiting.
    bool Step(bool Wait);
    void Dispatch(TEvent Event);
    // Sends a mouse event to the window holding the mouse, if any; false
    // when the event is input for a disabled window and is dropped.
    bool RouteToCapture(TEvent& Event) const;

    TMessageQueue& FMessages;
    std::vector<TNativeWindow*> FZOrder;
    TNativeWindow* FFocused = nullptr;
    TWindowListener* FListener = nullptr;
    friend class TEventFilterRegistration;
    struct TFilterEntry {
        uint64_t Id;
        TEventFilter Filter;
    };
    void RemoveEventFilter(uint64_t Id);
    // Runs the filters in order on Event; true when one consumed it.
    bool Filter(const TEvent& Event);

    std::vector<TFilterEntry> FFilters;
    uint64_t FNextFilter = 1;
    TLifeFlag FLife;
    std::deque<TEvent> FQueued;
    std::map<TTimerId, TTimer> FTimers;
    TTimerId FNextTimer = 1;
    uint32_t FNextWindowId = 1;
    int FLoopDepth = 0;
    bool FIsTerminated = false;
    TNativeWindow* FDropWindow = nullptr;
    std::vector<std::string> FDropFiles;
};

// The window system on SDL2 with the X11 video driver (XWayland under a
// Wayland session). Raises EWindowSystem when no display can be opened. One
// per process.
std::unique_ptr<TWindowSystem> CreateSdlWindowSystem(TMessageQueue& Messages);
