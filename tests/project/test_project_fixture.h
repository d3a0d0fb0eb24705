#pragma once

#include "core/ref_object.h"
#include "project/project.h"
#include "project/project_changes.h"
#include "project/track_item.h"

#include <cstdint>
#include <ostream>
#include <vector>

// A track item with no media of its own, for testing what tracks and the
// project do with items.
class TTestItem : public TTrackItem {
public:
    std::string_view ClassName() const override { return "TTestItem"; }
    void Attach() override { ++AttachCount; }
    void Detach() override { ++DetachCount; }

    int AttachCount = 0;
    int DetachCount = 0;
};

// Failure messages show project flags as hexadecimal numbers.
inline void PrintTo(TProjectChangeFlags Flags, std::ostream* Out) {
    *Out << "0x" << std::hex << ToBits(Flags) << std::dec;
}

// Records every change the project's notifier delivers.
class TChangeRecorder {
public:
    explicit TChangeRecorder(TProject& Project) : FProject(Project) {
        FProject.Changes().AddChangeHandler(MakeDelegate<&TChangeRecorder::Changed>(this));
    }
    ~TChangeRecorder() {
        FProject.Changes().RemoveChangeHandler(MakeDelegate<&TChangeRecorder::Changed>(this));
    }
    void Changed(TObject*, TProjectChangeFlags Flags) { Flags_.push_back(Flags); }

    const std::vector<TProjectChangeFlags>& Flags() const { return Flags_; }
    void Reset() { Flags_.clear(); }

private:
    TProject& FProject;
    std::vector<TProjectChangeFlags> Flags_;
};
