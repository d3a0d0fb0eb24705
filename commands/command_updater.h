#pragma once

#include "core/object.h"

class TChanges;
class TCommandList;

// The refresh policy of commands: their state is pulled, not pushed. After
// every change of the model and every input message the shell calls
// UpdateCommands, which runs each command's update handler in registry order
// inside one bracket of the registry's notifier, so bound menus and buttons
// see one merged change. While the project is inside an update bracket the
// refresh is only remembered and runs when the outermost bracket closes,
// so handlers never see a half-made edit. The updater knows the model only
// by its notifier.
class TCommandUpdater : public TObject {
public:
    // Model is the model's notifier (the project's), or none; the updater
    // follows its changes and the end of its brackets.
    TCommandUpdater(TCommandList& Commands, TChanges* Model);
    ~TCommandUpdater() override;
    TCommandUpdater(const TCommandUpdater&) = delete;
    TCommandUpdater& operator=(const TCommandUpdater&) = delete;

    std::string_view ClassName() const override { return "TCommandUpdater"; }

    // Update handlers must be cheap and must not raise; one that raises is
    // reported and the others still run.
    void UpdateCommands();
    bool Pending() const { return FPending; }

private:
    void ModelChanged(TObject* Sender);
    void ModelEndUpdate(TObject* Sender);

    TCommandList& FCommands;
    TChanges* FModel;
    bool FPending = false;
};
