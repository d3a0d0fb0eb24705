#pragma once

#include "core/changes.h"
#include "project/undo_record.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TUndoGroup;

// Every change of the history's list or of its position is signalled with
// all flags set.
enum class TUndoChangeFlags : uint32_t {};
template <>
inline constexpr bool IsFlagSet<TUndoChangeFlags> = true;

constexpr TUndoChangeFlags UndoChangeAll{0xFFFFFFFF};

using TUndoChanges = TFlagChanges<TUndoChangeFlags>;

// The application's list of reversible changes to the project, with the
// position of the last applied step. Editing operations file their records
// with Add before they change anything; the Undo and Redo commands replay
// them and follow the history's notifier for their state and captions.
//
//   TUndoGroupGuard Group(UndoHistory(), GetText(TTextSlot::...));
//   ...records made here become one step...
//
// While a step is replayed (Replaying) nothing is recorded: the replayed
// records restore everything themselves, and setters check Replaying before
// they make a record.
class TUndoHistory : public TObject {
public:
    TUndoHistory();
    ~TUndoHistory() override;
    TUndoHistory(const TUndoHistory&) = delete;
    TUndoHistory& operator=(const TUndoHistory&) = delete;
    std::string_view ClassName() const override { return "TUndoHistory"; }

    TUndoChanges& Changes() const { return *FChanges; }

    int32_t Count() const { return static_cast<int32_t>(FRecords.size()); }
    TUndoObject* Record(int32_t Index) const { return FRecords[static_cast<size_t>(Index)].get(); }
    // The index of the step the next Undo reverts; -1 when there is none.
    int32_t Current() const { return FCurrent; }
    // True while the history changes its own list (freeing records among
    // other things); every operation that would change it is then refused.
    bool Locked() const { return FLocked; }
    bool Replaying() const { return FReplaying; }
    bool GroupOpen() const { return FGroup != nullptr; }
    TUndoGroup* Group() const { return FGroup.get(); }

    // Files a record made by an editing operation: into the open group, or
    // else as a step of its own (UndoAdd). A record made while replaying is
    // dropped. Returns the record, or none when it was dropped.
    TUndo* Add(std::unique_ptr<TUndo> Record);

    // Appends a step after the current one, discarding the steps that could
    // have been redone, and makes it current.
    void UndoAdd(std::unique_ptr<TUndoObject> Record);
    // Takes a step out of the history and hands it to the caller; none when
    // Record is not a step of this history.
    std::unique_ptr<TUndoObject> UndoRemove(TUndoObject* Record);
    // Frees every step, the undone ones included: called when the project
    // they refer to is replaced (New, Open).
    void ClearUndo();

    // Records made between the outermost BeginGroup and its EndGroup become
    // one step with Text (records without a text of their own show it).
    // Groups nest: an inner pair joins the outer group. A group without
    // records leaves no step, and a group of one record becomes that record.
    // Undo, Redo, UndoAdd, UndoRemove and ClearUndo close an open group
    // first, whatever its depth.
    void BeginGroup(std::string_view Text);
    void EndGroup();
    int32_t GroupDepth() const { return FGroupDepth; }

    bool CanUndo() const;
    bool CanRedo() const;
    void Undo();
    void Redo();

    // The texts of the steps the next Undo and Redo replay; empty when there
    // is none.
    std::string UndoText() const;
    std::string RedoText() const;
    // The captions of the Undo and Redo commands: the caption templates with
    // the step's text, or without it when there is nothing to replay.
    std::string UndoCaption() const;
    std::string RedoCaption() const;

private:
    void Signal();
    // Closes the open group whatever its depth; returns the step it left in
    // the history (the group, its single record or none).
    TUndoObject* CloseGroup();
    TUndoObject* Append(std::unique_ptr<TUndoObject> Record);
    void FreeRecordsAfter(int32_t Index);

    std::vector<std::unique_ptr<TUndoObject>> FRecords;
    int32_t FCurrent = -1;
    bool FLocked = false;
    bool FReplaying = false;
    std::unique_ptr<TUndoGroup> FGroup; // joins the list when it closes
    int32_t FGroupDepth = 0;
    std::unique_ptr<TUndoChanges> FChanges;
};

// The application's history, created when the project unit starts.
TUndoHistory& UndoHistory();

// BeginGroup on construction, EndGroup on destruction, so that the group
// closes on every path. A failure while the group closes (a listener's end
// handler) goes to the exception report, as a destructor cannot pass it on.
class TUndoGroupGuard {
public:
    TUndoGroupGuard(TUndoHistory& History, std::string_view Text);
    ~TUndoGroupGuard();
    TUndoGroupGuard(const TUndoGroupGuard&) = delete;
    TUndoGroupGuard& operator=(const TUndoGroupGuard&) = delete;

private:
    TUndoHistory& FHistory;
};
