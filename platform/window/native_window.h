#pragma once

#include "core/geometry.h"
#include "platform/graphics/pixel_view.h"
#include "platform/window/window_events.h"

#include <cstdint>
#include <functional>
#include <string>

class TWindowSystem;

// What a top-level window is for; it decides the frame, the task-bar entry
// and how the window stacks.
enum class TWindowKind : uint8_t {
    Main,   // framed, resizable, in the task bar
    Tool,   // floating utility window without a frame, kept above its owner
    Popup,  // borderless, above everything, never in the task bar
    Drag,   // the window that follows the mouse while something is dragged; hit tests pass through it
    Dialog, // framed, above its owner
    Splash, // borderless, centred by the caller
};

enum class TWindowState : uint8_t { Normal, Minimized, Maximized, FullScreen };

enum class TActivate : uint8_t { No, Yes };

enum class TCursorKind : uint8_t {
    Arrow,
    IBeam,
    Wait,
    Progress,
    Crosshair,
    Hand,
    SizeWE,
    SizeNS,
    SizeNWSE,
    SizeNESW,
    SizeAll,
    No,
    Hidden,
};

// What a point of a borderless window means to the window manager: the
// toolkit draws its own captions and frames and answers this so that the
// desktop moves and sizes the window.
enum class THitTest : uint8_t {
    Normal,
    Draggable,
    ResizeTopLeft,
    ResizeTop,
    ResizeTopRight,
    ResizeRight,
    ResizeBottomRight,
    ResizeBottom,
    ResizeBottomLeft,
    ResizeLeft,
};
using THitTester = std::function<THitTest(TPoint ClientPoint)>;

struct TWindowOptions {
    TWindowKind Kind = TWindowKind::Main;
    std::string Title;
    TRect Bounds = TRect::FromSize(0, 0, 640, 480); // the client area on the desktop
    TNativeWindow* Owner = nullptr; // not owned; Tool and Dialog windows stay above it
    bool IsResizable = true;        // Main and Dialog windows
    bool IsShaped = false;          // made so that SetShape can cut it to a mask
};

// A top-level window of the desktop. The window system creates it hidden;
// the caller owns it and destroying it closes it. Bounds are the client
// area in desktop pixels (window-manager frames are not counted). A window
// shows only what is presented to it: the toolkit paints into its own raster
// and presents that, whole or by dirty rectangle.
//
//   auto Window = System.CreateWindow({.Kind = TWindowKind::Main, .Title = "Quillmoor"});
//   Window->SetListener(&MainForm);
//   Window->Show(TActivate::Yes);
//   Window->Present(Back.View(), Dirty);
class TNativeWindow {
public:
    TNativeWindow(TWindowSystem& System, const TWindowOptions& Options);
    virtual ~TNativeWindow();
    TNativeWindow(const TNativeWindow&) = delete;
    TNativeWindow& operator=(const TNativeWindow&) = delete;

    TWindowSystem& System() const { return FSystem; }
    TWindowKind Kind() const { return FKind; }
    // The owner, or null; cleared when the owner is destroyed first.
    TNativeWindow* Owner() const { return FOwner; }
    uint32_t Id() const { return FId; }

    // The listener for this window's events; not owned, null for none.
    void SetListener(TWindowListener* Listener) { FListener = Listener; }
    TWindowListener* Listener() const { return FListener; }

    // A disabled window receives no mouse, key, text or drop input and no
    // close requests (a modal form disables the windows behind it).
    void SetEnabled(bool Enabled) { FIsEnabled = Enabled; }
    bool IsEnabled() const { return FIsEnabled; }

    virtual TRect Bounds() const = 0;
    virtual void SetBounds(const TRect& Bounds) = 0;
    TSize ClientSize() const { return Bounds().Size(); }
    // The bounds the window has when neither minimised, maximised nor full
    // screen: what a stored desktop keeps.
    virtual TRect NormalBounds() const = 0;
    // Sets the normal bounds; a window in the normal state moves there, one
    // in another state goes there when restored.
    virtual void SetNormalBounds(const TRect& Bounds) = 0;

    virtual void Show(TActivate Activate) = 0;
    virtual void Hide() = 0;
    virtual bool IsVisible() const = 0;
    // Stacks the window above the others (its owned windows stay above it).
    virtual void Raise() = 0;
    // Gives the window the keyboard focus, raising it.
    virtual void Activate() = 0;
    bool HasFocus() const;

    virtual TWindowState State() const = 0;
    virtual void Minimize() = 0;
    virtual void Maximize() = 0;
    virtual void Restore() = 0;
    // Covers the display the window is on; leaving restores the state and
    // bounds it had before.
    virtual void SetFullScreen(bool FullScreen) = 0;

    virtual std::string Title() const = 0;
    virtual void SetTitle(const std::string& Title) = 0;
    // 0 transparent to 1 opaque; false where the desktop cannot show it (no
    // compositor), the value is kept all the same.
    virtual bool SetOpacity(double Opacity) = 0;
    virtual double Opacity() const = 0;
    // Cuts the window to the pixels of Mask whose alpha is not 0 (Mask has
    // the client size); false where shapes are unavailable (a window not
    // made IsShaped, or a desktop without the shape extension).
    virtual bool SetShape(const TPixelView& Mask) = 0;

    // The cursor shown while the mouse is over this window.
    virtual void SetCursor(TCursorKind Cursor) = 0;
    virtual TCursorKind Cursor() const = 0;

    void SetHitTester(THitTester Tester);
    // What the hit tester answers for a client point; Normal without one.
    THitTest HitTest(TPoint ClientPoint) const;

    // Copies the Dirty part of Pixels (a client-sized raster; Row(0) is the
    // top row, so a bottom-up raster is a view with a negative stride) to
    // the window. Pixels outside Dirty keep what was presented before.
    virtual void Present(const TPixelView& Pixels, const TRect& Dirty) = 0;
    void Present(const TPixelView& Pixels) { Present(Pixels, Pixels.Bounds()); }

protected:
    virtual void HitTesterChanged() {}

private:
    friend class TWindowSystem;
    TWindowSystem& FSystem;
    TWindowKind FKind;
    TNativeWindow* FOwner;
    uint32_t FId;
    TWindowListener* FListener = nullptr;
    bool FIsEnabled = true;
    THitTester FHitTester;
};
