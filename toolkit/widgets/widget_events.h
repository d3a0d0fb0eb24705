#pragma once

#include "core/geometry.h"
#include "platform/window/window_events.h"

#include <cstdint>
#include <string>
#include <vector>

// The toolkit's own input events, one small record per kind, carrying only
// their own data. The window of the widget tree translates the platform's
// events into these: positions are in the receiving control's coordinates.
// A handler calls Accept() when it has dealt with the event; a key or text
// event nobody accepts goes on to the parent, and finally to the window's
// shortcut hook.
class TWidgetEvent {
public:
    void Accept() { FIsAccepted = true; }
    void Ignore() { FIsAccepted = false; }
    bool IsAccepted() const { return FIsAccepted; }

private:
    bool FIsAccepted = false;
};

class TWidgetMouseEvent : public TWidgetEvent {
public:
    TMouseEventKind Kind = TMouseEventKind::Move;
    TMouseButton Button = TMouseButton::Left; // Down and Up only
    TPoint Position;                          // in the control's own coordinates
    TPoint ScreenPosition;
    int32_t Clicks = 1;     // 2 for the second press of a double click
    int32_t WheelDelta = 0; // 120 per notch away from the user
    bool IsHorizontalWheel = false;
    uint16_t Modifiers = 0;
    TMouseButtons Buttons = 0; // held after this event
};

class TWidgetKeyEvent : public TWidgetEvent {
public:
    TKeyEventKind Kind = TKeyEventKind::Down;
    uint8_t Key = 0;
    uint16_t Modifiers = 0;
    uint16_t ShortCut = 0;
    bool IsRepeat = false;
};

class TWidgetTextEvent : public TWidgetEvent {
public:
    std::string Text; // UTF-8
};

// Files dropped from the desktop's file manager, at the mouse position where
// the drop completed.
class TWidgetDropEvent : public TWidgetEvent {
public:
    std::vector<std::string> Files;
    TPoint Position; // in the control's client coordinates
    TPoint ScreenPosition;
};
