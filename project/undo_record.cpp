#include "project/undo_record.h"

#include "core/exception_report.h"

namespace {

void Replay(TUndo& Record, void (TUndo::*Before)(TUndoState&), void (TUndo::*Do)(),
            void (TUndo::*After)(TUndoState&)) {
    TUndoState State;
    (Record.*Before)(State);
    std::exception_ptr Failure;
    try {
        (Record.*Do)();
    } catch (...) {
        Failure = std::current_exception();
    }
    RunClosingStep(Record, After, State, Failure);
    if (Failure)
        std::rethrow_exception(Failure);
}

} // namespace

void TUndo::Undo() {
    Replay(*this, &TUndo::BeforeUndo, &TUndo::DoUndo, &TUndo::AfterUndo);
}

void TUndo::Redo() {
    Replay(*this, &TUndo::BeforeRedo, &TUndo::DoRedo, &TUndo::AfterRedo);
}

void RunClosingStep(TUndo& Record, void (TUndo::*Step)(TUndoState&), TUndoState& State,
                    std::exception_ptr& Failure) {
    try {
        (Record.*Step)(State);
    } catch (...) {
        if (Failure)
            ReportCurrentException();
        else
            Failure = std::current_exception();
    }
}
