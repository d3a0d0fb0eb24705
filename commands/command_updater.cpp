#include "commands/command_updater.h"

#include "commands/command.h"
#include "commands/command_list.h"
#include "core/changes.h"
#include "core/delegate.h"
#include "core/exception_report.h"

TCommandUpdater::TCommandUpdater(TCommandList& Commands, TChanges* Model)
    : FCommands(Commands), FModel(Model) {
    if (FModel) {
        FModel->AddChangedHandler(MakeDelegate<&TCommandUpdater::ModelChanged>(this));
        FModel->AddEndHandler(MakeDelegate<&TCommandUpdater::ModelEndUpdate>(this));
    }
}

TCommandUpdater::~TCommandUpdater() {
    if (FModel) {
        FModel->RemoveChangedHandler(MakeDelegate<&TCommandUpdater::ModelChanged>(this));
        FModel->RemoveEndHandler(MakeDelegate<&TCommandUpdater::ModelEndUpdate>(this));
    }
}

void TCommandUpdater::UpdateCommands() {
    if (FModel && FModel->Updating()) {
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

void TCommandUpdater::ModelChanged(TObject*) { UpdateCommands(); }

void TCommandUpdater::ModelEndUpdate(TObject*) {
    if (FPending)
        UpdateCommands();
}
