#pragma once

#include "core/object.h"
#include "project/project_changes.h"

class TCommandList;

// The refresh policy of commands: their state is pulled, not pushed. After
// every change of the model and every input message the shell calls
// UpdateCommands, which runs each command's update handler in registry order
// inside one bracket of the registry's notifier, so bound menus and buttons
// see one merged change. While the project is inside an update bracket the
// refresh is only remembered and runs when the outermost bracket closes,
// so handlers never see a half-made edit.
class TCommandUpdater : public TObject {
public:
    // Project is the project's notifier, or none; the updater follows its
    // changes and the end of its brackets.
    TCommandUpdater(TCommandList& Commands, TFlagChanges<TProjectChangeFlags>* Project);
    ~TCommandUpdater() override;
    TCommandUpdater(const TCommandUpdater&) = delete;
    TCommandUpdater& operator=(const TCommandUpdater&) = delete;

    std::string_view ClassName() const override { return "TCommandUpdater"; }

    // Update handlers must be cheap and must not raise; one that raises is
    // reported and the others still run.
    void UpdateCommands();
    bool Pending() const { return FPending; }

private:
    void ProjectChanged(TObject* Sender, TProjectChangeFlags Flags);
    void ProjectEndUpdate(TObject* Sender);

    TCommandList& FCommands;
    TFlagChanges<TProjectChangeFlags>* FProject;
    bool FPending = false;
};
