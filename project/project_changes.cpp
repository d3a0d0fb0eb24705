#include "project/project_changes.h"

#include "project/project.h"

namespace {
// Changes that leave the stored document as it was.
constexpr TProjectChangeFlags ModifyingChanges =
    ~(ProjectChangeSelection | ProjectChangeTrackingEnd | ProjectChangePosition |
      ProjectChangeFileName);
// Changes that cannot alter which items are selected.
constexpr TProjectChangeFlags SelectionChanges =
    ~(ProjectChangeSettings | ProjectChangeZoomPan | ProjectChangeTiming | ProjectChangeTrackAudio |
      ProjectChangePosition | ProjectChangeFileName);
static_assert(ToBits(ModifyingChanges) == 0xFCFFF7FE);
static_assert(ToBits(SelectionChanges) == 0xFCFEF0CF);
} // namespace

TProjectChanges::TProjectChanges(TProject* Project) : TFlagChanges(Project), FProject(Project) {}

void TProjectChanges::DoChange(TProjectChangeFlags Flags) {
    if (Any(Flags & ModifyingChanges))
        FProject->SetModified(true);
    if (Any(Flags & SelectionChanges))
        FProject->UpdateSelectionSummary();
    TFlagChanges::DoChange(Flags);
}
