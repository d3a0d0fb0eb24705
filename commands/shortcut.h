#pragma once

#include "platform/keys.h"

#include <cstdint>
#include <string>

// The display text of a shortcut value in desktop style, modifiers first in
// the order Ctrl, Shift, Alt: "Ctrl+Shift+Z", "Alt+F4", "Keypad 5". Key and
// modifier names come from the text table. Modifier and lock keys have no
// name, so a value made of one of them alone has an empty text; a value
// without a key byte reads as the "none" name.
std::string ShortCutText(uint16_t Value);

// Whether Value names a usable key combination: within 1..65535, with no bits
// besides the key byte and the three modifiers, and a key with a name.
bool IsValidShortCut(int32_t Value);

// Whether a focused text-editing control (edit box, combo box, tree view,
// list box) keeps this key for itself rather than letting a command have it:
// typing, caret movement and the control's own Ctrl+letter combinations stay
// with the control; function keys and Alt combinations go to the commands.
bool IsEditKey(uint16_t Value);
