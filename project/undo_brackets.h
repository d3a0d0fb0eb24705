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

// A record that replays inside those brackets, on the project it names.
class TBracketedUndo : public TUndo {
public:
    using TUndo::TUndo;
    std::string_view ClassName() const override { return "TBracketedUndo"; }

protected:
    void Prepare(TUndoState& State) override { State = OpenUndoBrackets(Project()); }
    void Finish(TUndoState& State) override { CloseUndoBrackets(State); }
    // None while what the record covers is not in a project.
    virtual TProject* Project() const = 0;
};
