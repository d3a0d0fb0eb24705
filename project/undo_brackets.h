#pragma once

#include "project/undo_record.h"

class TProject;

// Opens an update bracket on the project's notifier and one on its render
// timeline, and keeps the project alive, until CloseUndoBrackets. Records
// that change structure open these in Prepare and close them in Finish, so
// that all exchanges of a group happen inside one bracket and listeners and
// the engine see one change. None opens nothing.
TUndoState OpenUndoBrackets(TProject* Project);
// Closes the brackets State holds: the timeline's first (it rebuilds the
// engine nodes, and a failure there propagates), then the notifier's, whose
// listeners then see the rebuilt timeline. State is empty afterwards. A state
// released without closing closes too, sending failures to the report.
void CloseUndoBrackets(TUndoState& State);
