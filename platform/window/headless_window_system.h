#pragma once

#include "platform/message_queue.h"
#include "platform/window/window_system.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class THeadlessWindow;

// The window system without a display, for tests: windows are records in
// memory with bounds, state, z-order, focus and owner; input comes from a
// script the test writes beforehand; time is a virtual clock that moves only
// when the script or the test advances it, firing the timers that fall due
// on the way at their exact times. What the program did is kept for the test
// to read: each window's last presented pixels, its title and cursor, the
// documents opened, the clipboard.
//
// A message loop takes one script step each time it would wait. A loop that
// would wait with the script used up throws ELoopAborted instead of hanging
// (after SetIdleWait's real-time grace for messages posted from other
// threads).
//
//   THeadlessWindowSystem System({{{0, 0, 800, 600}, {0, 0, 800, 560}}});
//   auto Window = System.CreateWindow({.Bounds = TRect::FromSize(100, 100, 200, 100)});
//   Window->Show(TActivate::Yes);
//   System.ScriptClick({110, 120});
//   System.RunLoop([&] { return Clicked; });
class THeadlessWindowSystem : public TWindowSystem {
public:
    explicit THeadlessWindowSystem(std::vector<TDisplay> Displays = {{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}}},
                                   TMessageQueue& Messages = UiMessages());
    ~THeadlessWindowSystem() override;

    std::unique_ptr<TNativeWindow> CreateWindow(const TWindowOptions& Options) override;
    std::vector<TDisplay> Displays() const override { return FDisplays; }
    TPoint MousePosition() const override { return FMouse; }
    TMouseButtons MouseButtons() const override { return FButtons; }
    std::string ClipboardText() const override { return FClipboard; }
    void SetClipboardText(const std::string& Text) override;
    void OpenDocument(const std::string& PathOrUrl) override { FOpened.push_back(PathOrUrl); }
    TClock::time_point Now() const override { return FNow; }

    // The script, run step by step by waiting loops. Positions are desktop
    // pixels; the window under the mouse (or the capture) receives mouse
    // input, the focused window keys and text.
    void ScriptStep(std::function<void()> Step);
    void ScriptEvent(TEvent Event);
    void ScriptMouseMove(TPoint Screen);
    void ScriptMouseDown(TPoint Screen, TMouseButton Button = TMouseButton::Left, int32_t Clicks = 1);
    void ScriptMouseUp(TPoint Screen, TMouseButton Button = TMouseButton::Left);
    // A move there, a press and a release.
    void ScriptClick(TPoint Screen, TMouseButton Button = TMouseButton::Left);
    void ScriptWheel(TPoint Screen, int32_t Delta);
    // A press and a release of Key with the modifiers held.
    void ScriptKey(uint8_t Key, uint16_t Modifiers = 0);
    void ScriptText(std::string Text);
    // A drop as the desktop reports it: begin, each file, complete (with the
    // mouse released at Screen); the window under the mouse receives it.
    void ScriptDropBegin(TPoint Screen);
    void ScriptDropFile(std::string File);
    void ScriptDropComplete(TPoint Screen);
    void ScriptCloseRequest(TNativeWindow& Window);
    void ScriptQuit();
    void ScriptAdvance(std::chrono::milliseconds Duration);
    size_t ScriptLength() const { return FScript.size(); }

    // Moves the virtual clock on, firing due timers in order of due time.
    void AdvanceClock(std::chrono::milliseconds Duration);
    // How long (real time) a loop with an empty script waits for a posted
    // message before it gives up; 0 (the default) gives up at once.
    void SetIdleWait(std::chrono::milliseconds Wait) { FIdleWait = Wait; }

    // What the program did.
    const std::vector<std::string>& OpenedDocuments() const { return FOpened; }
    // The window's last presented pixels (client size, top row first);
    // empty before the first present.
    TPixelView Presented(const TNativeWindow& Window) const;
    int32_t PresentCount(const TNativeWindow& Window) const;

protected:
    void Pump(std::optional<TClock::time_point> Deadline, bool Wait) override;
    void ForgetWindow(TNativeWindow* Window) override;

private:
    friend class THeadlessWindow;
    void MouseMovedTo(TPoint Screen);
    void SetFocus(TNativeWindow* Window);
    TMouseEvent MouseEventAt(TPoint Screen, TMouseEventKind Kind);

    std::vector<TDisplay> FDisplays;
    std::deque<std::function<void()>> FScript;
    TClock::time_point FNow;
    TPoint FMouse;
    TMouseButtons FButtons = 0;
    TNativeWindow* FHover = nullptr;
    std::string FClipboard;
    std::vector<std::string> FOpened;
    std::chrono::milliseconds FIdleWait{0};
    std::mutex FWakeLock;
    std::condition_variable FWake;
    bool FWoken = false;
};
