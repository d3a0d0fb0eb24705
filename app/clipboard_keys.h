#pragma once

#include <cstdint>

class TClipboard;
class TProject;

// The clipboard keys of the main window: Ctrl+C or Ctrl+Ins copies the
// project's selection, Ctrl+X or Shift+Del cuts it, Ctrl+V or Shift+Ins
// pastes what Clipboard holds (at the edit cursor, on the tracks the copy
// came from). Copy and cut need a selection and paste a document of the
// program; a drag in progress holds the project, so the keys do nothing
// then. True when Key with Modifiers is one of these keys. Clipboard errors
// propagate as EClipboardError, the project unchanged.
bool HandleClipboardKey(TProject& Project, TClipboard& Clipboard, uint8_t Key, uint16_t Modifiers);
