#include "commands/command_updater.h"

#include "commands/command.h"
#include "commands/command_list.h"
#include "core/exception_report.h"

TCommandUpdater::TCommandUpdater(TCommandList& Commands, TFlagChanges<TProjectChangeFlags>* Project)
    : FCommands(Commands), FProject(Project) {
    if (FProject) {
        FProject->AddChangeHandler(MakeDelegate<&TCommandUpdater::ProjectChanged>(this));
        FProject->AddEndHandler(MakeDelegate<&TCommandUpdater::ProjectEndUpdate>(this));
    }
}

TCommandUpdater::~TCommandUpdater() {
    if (FProject) {
        FProject->RemoveChangeHandler(MakeDelegate<&TCommandUpdater::ProjectChanged>(this));
        FProject->RemoveEndHandler(MakeDelegate<&TCommandUpdater::ProjectEndUpdate>(this));
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

void TCommandUpdater::ProjectChanged(TObject*, TProjectChangeFlags) {
    UpdateCommands();
}

void TCommandUpdater::ProjectEndUpdate(TObject*) {
    if (FPending)
        UpdateCommands();
}
