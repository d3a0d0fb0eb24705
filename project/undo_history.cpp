#include "project/undo_history.h"

#include "core/changes.h"
#include "core/error.h"
#include "core/exception_report.h"
#include "core/text.h"
#include "core/text_table.h"
#include "project/undo_group.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace {

// Sets a flag for the lifetime of the guard; it is cleared on every path.
class TFlagGuard {
public:
    explicit TFlagGuard(bool& Flag) : FFlag(Flag) { FFlag = true; }
    ~TFlagGuard() { FFlag = false; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
    bool& FFlag;
};

// The list must not change under a replay either: the step being replayed
// lives in it, and the positions around it are already set.
void RaiseIfBusy(const TUndoHistory& History, TTextSlot Message) {
    if (History.Locked() || History.Replaying())
        RaiseError(GetText(Message));
}

} // namespace

TUndoHistory::TUndoHistory() : FChanges(std::make_unique<TUndoChanges>(this)) {}

TUndoHistory::~TUndoHistory() {
    FLocked = true;
    FGroup.reset();
    FGroupDepth = 0;
    FreeRecordsAfter(-1);
    FChanges.reset();
}

void TUndoHistory::Signal() {
    FChanges->Change(UndoChangeAll);
}

void TUndoHistory::FreeRecordsAfter(int32_t Index) {
    while (Count() > Index + 1) {
        std::unique_ptr<TUndoObject> Record = std::move(FRecords.back());
        FRecords.pop_back();
        // Detached first, so that nothing it does on its way out sees it as
        // part of the history.
        Record->FOwner = nullptr;
        Record.reset();
    }
}

TUndoObject* TUndoHistory::Append(std::unique_ptr<TUndoObject> Record) {
    TFlagGuard Lock(FLocked);
    FreeRecordsAfter(FCurrent);
    TUndoObject* Raw = Record.get();
    FRecords.push_back(std::move(Record));
    Raw->FOwner = this;
    FCurrent = Count() - 1;
    Signal();
    return Raw;
}

TUndo* TUndoHistory::Add(std::unique_ptr<TUndo> Record) {
    assert(Record && !Record->Owner() && "a record belongs to one history or group");
    if (FReplaying)
        return nullptr;
    if (FGroup) {
        TUndo* Raw = Record.get();
        FGroup->Add(std::move(Record));
        return Raw;
    }
    TUndo* Raw = Record.get();
    UndoAdd(std::move(Record));
    return Raw;
}

void TUndoHistory::UndoAdd(std::unique_ptr<TUndoObject> Record) {
    assert(Record && !Record->Owner() && "a record belongs to one history or group");
    RaiseIfBusy(*this, TTextSlot::UndoLockedUndoAdd);
    TUpdateGuard Guard(*FChanges);
    if (FGroup)
        CloseGroup();
    Append(std::move(Record));
}

std::unique_ptr<TUndoObject> TUndoHistory::UndoRemove(TUndoObject* Record) {
    RaiseIfBusy(*this, TTextSlot::UndoLockedUndoRemove);
    TUpdateGuard Guard(*FChanges);
    if (FGroup) {
        bool IsOpenGroup = Record == FGroup.get();
        TUndoObject* Closed = CloseGroup();
        // A group that closed empty or as its single record is gone.
        if (IsOpenGroup && Closed != Record)
            return nullptr;
    }
    auto It = std::find_if(FRecords.begin(), FRecords.end(),
                           [&](const auto& Entry) { return Entry.get() == Record; });
    if (It == FRecords.end())
        return nullptr;
    TFlagGuard Lock(FLocked);
    auto Index = static_cast<int32_t>(It - FRecords.begin());
    if (FCurrent >= Index)
        --FCurrent;
    std::unique_ptr<TUndoObject> Removed = std::move(*It);
    FRecords.erase(It);
    Removed->FOwner = nullptr;
    Signal();
    return Removed;
}

void TUndoHistory::ClearUndo() {
    RaiseIfBusy(*this, TTextSlot::UndoLockedClearUndo);
    TUpdateGuard Guard(*FChanges);
    if (FGroup)
        CloseGroup();
    // Undone steps go as well: they refer to the project being replaced, and
    // a redo must never bring parts of it back.
    if (FRecords.empty())
        return;
    TFlagGuard Lock(FLocked);
    FCurrent = -1;
    Signal();
    FreeRecordsAfter(-1);
}

void TUndoHistory::BeginGroup(std::string_view Text) {
    // Nothing records while replaying, so there is nothing to group.
    if (FReplaying)
        return;
    if (FLocked)
        RaiseError(GetText(TTextSlot::UndoLockedUndoAdd));
    if (FGroup) {
        ++FGroupDepth;
        return;
    }
    FChanges->BeginUpdate();
    try {
        FGroup = std::make_unique<TUndoGroup>(std::string(Text));
    } catch (...) {
        FChanges->EndUpdate();
        throw;
    }
    FGroupDepth = 1;
}

void TUndoHistory::EndGroup() {
    // A group closed early by Undo, Redo or ClearUndo has no depth left; the
    // operation's own EndGroup then finds nothing to close.
    if (!FGroup || --FGroupDepth > 0)
        return;
    CloseGroup();
}

TUndoObject* TUndoHistory::CloseGroup() {
    assert(FGroup && "closing a group that is not open");
    FGroupDepth = 0;
    std::unique_ptr<TUndoGroup> Closing = std::move(FGroup);
    TUndoObject* Left = nullptr;
    try {
        // The group joins the history only now, so that an action which
        // recorded nothing leaves the steps that could be redone in place.
        if (Closing->Count() == 1)
            Left = Append(Closing->TakeLast());
        else if (Closing->Count() > 1)
            Left = Append(std::move(Closing));
    } catch (...) {
        FChanges->EndUpdate();
        throw;
    }
    FChanges->EndUpdate();
    return Left;
}

bool TUndoHistory::CanUndo() const {
    return !FLocked && !FReplaying && Count() >= 1 && FCurrent >= 0;
}

bool TUndoHistory::CanRedo() const {
    return !FLocked && !FReplaying && Count() >= 1 && FCurrent + 1 < Count();
}

void TUndoHistory::Undo() {
    RaiseIfBusy(*this, TTextSlot::UndoLockedUndo);
    TUpdateGuard Guard(*FChanges);
    if (FGroup)
        CloseGroup();
    if (FCurrent < 0)
        return;
    TUndoObject* Record = FRecords[static_cast<size_t>(FCurrent)].get();
    --FCurrent;
    Signal();
    TFlagGuard Replay(FReplaying);
    Record->Undo();
}

void TUndoHistory::Redo() {
    RaiseIfBusy(*this, TTextSlot::UndoLockedRedo);
    TUpdateGuard Guard(*FChanges);
    if (FGroup)
        CloseGroup();
    if (FCurrent + 1 >= Count())
        return;
    ++FCurrent;
    Signal();
    TFlagGuard Replay(FReplaying);
    FRecords[static_cast<size_t>(FCurrent)]->Redo();
}

std::string TUndoHistory::UndoText() const {
    return FCurrent >= 0 && FCurrent < Count() ? Record(FCurrent)->Text() : std::string();
}

std::string TUndoHistory::RedoText() const {
    return FCurrent + 1 < Count() ? Record(FCurrent + 1)->Text() : std::string();
}

std::string TUndoHistory::UndoCaption() const {
    return FormatMessageText(GetText(TTextSlot::UndoCaption), CanUndo() ? UndoText() : "");
}

std::string TUndoHistory::RedoCaption() const {
    return FormatMessageText(GetText(TTextSlot::RedoCaption), CanRedo() ? RedoText() : "");
}

TUndoHistory& UndoHistory() {
    static TUndoHistory History;
    return History;
}

TUndoGroupGuard::TUndoGroupGuard(TUndoHistory& History, std::string_view Text) : FHistory(History) {
    FHistory.BeginGroup(Text);
}

TUndoGroupGuard::~TUndoGroupGuard() {
    try {
        FHistory.EndGroup();
    } catch (...) {
        ReportCurrentException();
    }
}
