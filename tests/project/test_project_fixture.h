#pragma once

#include "core/ref_object.h"
#include "project/project.h"
#include "project/project_changes.h"
#include "project/track_item.h"

#include <cstdint>
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

// Records every change the project's notifier delivers.
class TChangeRecorder {
public:
    explicit TChangeRecorder(TProject& Project) : FProject(Project) {
        FProject.Changes().AddChangeHandler(ChangeMethod<&TChangeRecorder::Changed>(this));
    }
    ~TChangeRecorder() {
        FProject.Changes().RemoveChangeHandler(ChangeMethod<&TChangeRecorder::Changed>(this));
    }
    void Changed(TObject*, uint32_t Flags) { Flags_.push_back(Flags); }

    const std::vector<uint32_t>& Flags() const { return Flags_; }
    void Reset() { Flags_.clear(); }

private:
    TProject& FProject;
    std::vector<uint32_t> Flags_;
};
