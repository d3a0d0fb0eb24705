#include "project/undo_group.h"

#include <cassert>

TUndoGroup::~TUndoGroup() {
    while (!FRecords.empty()) {
        FRecords.back()->FOwner = nullptr;
        FRecords.pop_back();
    }
}

void TUndoGroup::Add(std::unique_ptr<TUndo> Record) {
    assert(Record && !Record->Owner() && "a record belongs to one history or group");
    if (Record->FText.empty())
        Record->FText = Text();
    Record->FOwner = this;
    FRecords.push_back(std::move(Record));
}

std::unique_ptr<TUndo> TUndoGroup::TakeLast() {
    assert(!FRecords.empty() && "taking a record from an empty group");
    std::unique_ptr<TUndo> Record = std::move(FRecords.back());
    FRecords.pop_back();
    Record->FOwner = nullptr;
    return Record;
}

void TUndoGroup::Undo() {
    if (FRecords.size() == 1) {
        FRecords.front()->Undo();
        return;
    }
    const size_t N = FRecords.size();
    std::vector<TUndoState> States(N);
    // Undone from the last record back, so the records prepared so far are
    // the ones from First to the end.
    size_t First = N;
    std::exception_ptr Failure;
    try {
        while (First > 0) {
            FRecords[First - 1]->BeforeUndo(States[First - 1]);
            --First;
        }
        for (size_t I = N; I-- > 0;)
            FRecords[I]->DoUndo();
    } catch (...) {
        Failure = std::current_exception();
    }
    for (size_t I = First; I < N; ++I)
        RunClosingStep(*FRecords[I], &TUndo::AfterUndo, States[I], Failure);
    if (Failure)
        std::rethrow_exception(Failure);
}

void TUndoGroup::Redo() {
    if (FRecords.size() == 1) {
        FRecords.front()->Redo();
        return;
    }
    const size_t N = FRecords.size();
    std::vector<TUndoState> States(N);
    size_t Prepared = 0;
    std::exception_ptr Failure;
    try {
        for (; Prepared < N; ++Prepared)
            FRecords[Prepared]->BeforeRedo(States[Prepared]);
        for (size_t I = 0; I < N; ++I)
            FRecords[I]->DoRedo();
    } catch (...) {
        Failure = std::current_exception();
    }
    for (size_t I = Prepared; I-- > 0;)
        RunClosingStep(*FRecords[I], &TUndo::AfterRedo, States[I], Failure);
    if (Failure)
        std::rethrow_exception(Failure);
}
