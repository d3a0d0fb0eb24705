#pragma once

#include "core/geometry.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

class TNativeWindow;

// The events the window layer hands to the toolkit: one small record per
// kind, gathered in the TEvent variant. Positions are in pixels: Position in
// the target window's client area, ScreenPosition on the virtual desktop.
// Modifiers are the shortcut bits of platform/keys.h (ShortCutShift,
// ShortCutCtrl, ShortCutAlt). Window is the window the event is for, or null
// for the application-wide kinds (clipboard, quit).

// Buttons numbered as the toolkit numbers them: 0 left, right, middle.
enum class TMouseButton : uint8_t { Left, Right, Middle, X1, X2 };

// A set of held buttons, one bit per TMouseButton.
using TMouseButtons = uint8_t;
constexpr TMouseButtons MouseButtonBit(TMouseButton Button) { return TMouseButtons(1u << unsigned(Button)); }

enum class TMouseEventKind : uint8_t { Down, Up, Move, Wheel };

struct TMouseEvent {
    TNativeWindow* Window = nullptr;
    TMouseEventKind Kind = TMouseEventKind::Move;
    TMouseButton Button = TMouseButton::Left; // Down and Up only
    TPoint Position;
    TPoint ScreenPosition;
    // Down: 1 for a single press, 2 for the second press of a double click,
    // and so on.
    int32_t Clicks = 1;
    // Wheel: 120 for each notch away from the user (up), negative towards.
    int32_t WheelDelta = 0;
    bool IsHorizontalWheel = false;
    uint16_t Modifiers = 0;
    TMouseButtons Buttons = 0; // held after this event
};

enum class TKeyEventKind : uint8_t { Down, Up };

struct TKeyEvent {
    TNativeWindow* Window = nullptr;
    TKeyEventKind Kind = TKeyEventKind::Down;
    uint8_t Key = 0;        // the virtual-key code, 0 for keys without one
    uint16_t Modifiers = 0;
    uint16_t ShortCut = 0;  // Key with the modifiers, as stored shortcuts are; 0 for none
    bool IsRepeat = false;
};

// Text typed (after the keyboard layout and input method): UTF-8.
struct TTextEvent {
    TNativeWindow* Window = nullptr;
    std::string Text;
};

enum class TWindowEventKind : uint8_t {
    Moved,        // Bounds holds the new client rectangle on the desktop
    Resized,      // likewise
    Shown,
    Hidden,
    Exposed,      // the window's pixels were lost: present everything again
    Minimized,
    Maximized,
    Restored,
    FocusGained,
    FocusLost,
    MouseEntered,
    MouseLeft,
    CloseRequest, // the user asked to close it; nothing is closed yet
};

struct TWindowEvent {
    TNativeWindow* Window = nullptr;
    TWindowEventKind Kind = TWindowEventKind::Shown;
    TRect Bounds;
};

// One drop of files onto a window: every file of one drag, at the point
// where the mouse was when it was released.
struct TDropEvent {
    TNativeWindow* Window = nullptr;
    std::vector<std::string> Files;
    TPoint Position;
    TPoint ScreenPosition;
};

// The system clipboard's content changed (by this program or another).
struct TClipboardEvent {};

// The desktop session asks the program to end.
struct TQuitEvent {};

using TEvent =
    std::variant<TMouseEvent, TKeyEvent, TTextEvent, TWindowEvent, TDropEvent, TClipboardEvent, TQuitEvent>;

// The window an event is for; null for application-wide events.
TNativeWindow* EventWindow(const TEvent& Event);

// Receives events. A window's listener gets that window's events; the
// window system's listener gets the application-wide ones and those of
// windows without a listener of their own.
class TWindowListener {
public:
    virtual ~TWindowListener() = default;
    virtual void HandleEvent(const TEvent& Event) = 0;
    // Mouse capture is kept by the listener, not by the window system: while
    // this answers true, the window's motion and releases reach it even
    // outside its bounds.
    virtual bool HoldsMouse() const { return false; }
    // The window system asks the listener to let go of the mouse (another
    // window took it, or everyone is asked to let go).
    virtual void LetGoOfMouse() {}
};
