#include "app/command_updater.h"

#include "app/command.h"
#include "app/command_list.h"
#include "core/changes.h"
#include "core/exception_report.h"

TCommandUpdater::TCommandUpdater(TCommandList& Commands, TChanges* Project)
    : FCommands(Commands), FProject(Project) {
    if (FProject) {
        FProject->AddChangeHandler(ChangeMethod<&TCommandUpdater::ProjectChanged>(this));
        FProject->AddEndHandler(NotifyMethod<&TCommandUpdater::ProjectEndUpdate>(this));
    }
}

TCommandUpdater::~TCommandUpdater() {
    if (FProject) {
        FProject->RemoveChangeHandler(ChangeMethod<&TCommandUpdater::ProjectChanged>(this));
        FProject->RemoveEndHandler(NotifyMethod<&TCommandUpdater::ProjectEndUpdate>(this));
    }
}

void TCommandUpdater::UpdateCommands() {
    if (FProject && FProject->Updating()) {
        FPending = true;
        return;
    }
    FPending = false;
    TUpdateGuard Guard(FCommands.Changes());
    // A handler may create or free commands: walk by index, checking the
    // bound each time.
    for (int32_t I = 0; I < FCommands.Count(); ++I) {
        try {
            FCommands.Get(I)->Update();
        } catch (...) {
            ReportCurrentException();
        }
    }
}

void TCommandUpdater::ProjectChanged(TObject*, uint32_t) {
    UpdateCommands();
}

void TCommandUpdater::ProjectEndUpdate(TObject*) {
    if (FPending)
        UpdateCommands();
}
