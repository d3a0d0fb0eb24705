#pragma once

#include "core/object.h"

#include <exception>
#include <memory>
#include <string>

// What a record's Prepare keeps for its Finish across an exchange: an update
// bracket held open, a render timeline kept alive. It is released when the
// replay of the record ends, on every path.
using TUndoState = std::unique_ptr<TObject>;

// An entry of the undo history: a single record (TUndo) or a group of records
// made by one user action (TUndoGroup). Undo and Redo replay it; Owner is the
// history or the group that holds it, none while it is held by neither.
class TUndoObject : public TObject {
public:
    explicit TUndoObject(std::string Text) : FText(std::move(Text)) {}
    TUndoObject(const TUndoObject&) = delete;
    TUndoObject& operator=(const TUndoObject&) = delete;
    std::string_view ClassName() const override { return "TUndoObject"; }

    TObject* Owner() const { return FOwner; }
    // The caption the Undo and Redo commands show.
    const std::string& Text() const { return FText; }

    virtual void Undo() {}
    virtual void Redo() {}

private:
    friend class TUndoGroup;
    friend class TUndoHistory;

    TObject* FOwner = nullptr;
    std::string FText;
};

// One reversible record. A record does not keep separate code for undoing and
// redoing: it stores the other state of what it covers, and Exchange swaps the
// stored state with the live one, so the same record undoes and, replayed
// again, redoes. It is made by an operation before the operation changes
// anything, so it starts out holding the old state.
//
// Concrete records override Prepare, Exchange and Finish. The Before, Do and
// After steps are separate so that a group can prepare all of its records
// before it exchanges any of them.
class TUndo : public TUndoObject {
public:
    using TUndoObject::TUndoObject;
    std::string_view ClassName() const override { return "TUndo"; }

    // Before, Do, After; After runs even when Do fails, and the failure
    // propagates.
    void Undo() override;
    void Redo() override;

    virtual void BeforeUndo(TUndoState& State) { Prepare(State); }
    virtual void DoUndo() { Exchange(); }
    virtual void AfterUndo(TUndoState& State) { Finish(State); }
    virtual void BeforeRedo(TUndoState& State) { Prepare(State); }
    virtual void DoRedo() { Exchange(); }
    virtual void AfterRedo(TUndoState& State) { Finish(State); }

protected:
    virtual void Prepare(TUndoState&) {}
    virtual void Exchange() {}
    virtual void Finish(TUndoState&) {}
};

// Runs a closing step (AfterUndo or AfterRedo) that must run whatever went
// before it. The first failure of a replay is the one that propagates: it is
// kept in Failure, and a later failure, which cannot propagate as well, goes
// to the exception report.
void RunClosingStep(TUndo& Record, void (TUndo::*Step)(TUndoState&), TUndoState& State,
                    std::exception_ptr& Failure);
