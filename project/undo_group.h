#pragma once

#include "project/undo_record.h"

#include <cstdint>
#include <memory>
#include <vector>

// The records made by one user action, undone and redone as one step. Every
// record is prepared before any is exchanged and finished after all are, so
// records that open brackets in Prepare make all exchanges inside one
// bracket. The group owns its records.
class TUndoGroup : public TUndoObject {
public:
    explicit TUndoGroup(std::string Text) : TUndoObject(std::move(Text)) {}
    ~TUndoGroup() override;
    std::string_view ClassName() const override { return "TUndoGroup"; }

    int32_t Count() const { return static_cast<int32_t>(FRecords.size()); }
    TUndo* Record(int32_t Index) const { return FRecords[static_cast<size_t>(Index)].get(); }

    // Appends Record; a record without a text of its own takes the group's.
    void Add(std::unique_ptr<TUndo> Record);
    // Hands the last record over to the caller.
    std::unique_ptr<TUndo> TakeLast();

    // Undoes the records from the last to the first, redoes them from the
    // first to the last. When a step fails, every record whose Before step
    // ran still gets its After step, and the failure propagates.
    void Undo() override;
    void Redo() override;

private:
    std::vector<std::unique_ptr<TUndo>> FRecords;
};
