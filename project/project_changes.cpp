#include "project/project_changes.h"

#include "project/project.h"

namespace {
// Changes that leave the stored document as it was.
constexpr uint32_t ModifyingChanges = ~(ProjectChangeSelection | ProjectChangeTrackingEnd |
                                        ProjectChangePosition | ProjectChangeFileName);
// Changes that cannot alter which items are selected.
constexpr uint32_t SelectionChanges =
    ~(ProjectChangeSettings | ProjectChangeZoomPan | ProjectChangeTiming |
      ProjectChangeTrackAudio | ProjectChangePosition | ProjectChangeFileName);
static_assert(ModifyingChanges == 0xFCFFF7FE);
static_assert(SelectionChanges == 0xFCFEF0CF);
} // namespace

TProjectChanges::TProjectChanges(TProject* Project) : TChanges(Project), FProject(Project) {}

void TProjectChanges::DoChange(uint32_t Flags) {
    if (Flags & ModifyingChanges)
        FProject->SetModified(true);
    if (Flags & SelectionChanges)
        FProject->UpdateSelectionSummary();
    TChanges::DoChange(Flags);
}
