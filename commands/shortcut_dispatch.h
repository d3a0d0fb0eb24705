#pragma once

#include <cstdint>

class TCommandList;
class TObject;

// What key dispatch asks of the control that has the keyboard focus (the
// nearest of the application's own controls on the focus window's parent
// chain).
class TKeyFocus {
public:
    virtual ~TKeyFocus() = default;
    // An edit box, combo box, tree view or list box: it keeps the keys that
    // IsEditKey names.
    virtual bool IsTextEditor() const = 0;
    // Whether the control wants this key (a virtual-key code) for itself.
    virtual bool WantsSpecialKey(uint8_t KeyCode) const = 0;
};

// Executes every command of Commands that is on, enabled and has Value among
// its shortcuts, in registry order, with Sender as the invoker. Several
// commands may share a shortcut; all of them run. A command that an earlier
// handler has destroyed, switched off or disabled does not run. False when
// no command matched, so the key goes on to normal handling.
bool ExecuteShortCut(TCommandList& Commands, uint16_t Value, TObject* Sender);

// The application-wide shortcut hook, called by the main window for every
// key press while it is enabled, before the focused control sees the key.
// Focus is the control with the keyboard focus, or none. True when a command
// took the key (it then produces no character and reaches no control).
// While the shortcut form is open every key is left to it.
bool DispatchShortCutKey(TCommandList& Commands, uint16_t Value, const TKeyFocus* Focus,
                         TObject* Sender);

// A system hot-key notification reaching the main window: passed on to the
// shortcut form while it is open, otherwise taken as a shortcut value when
// it lies in 1..65535. False means default handling.
bool DispatchHotKey(TCommandList& Commands, int32_t Identifier, TObject* Sender);
