#pragma once

#include "commands/command_changes.h"
#include "core/delegate.h"

class TCommand;
class TCommandList;
class TObject;

// The tie between a widget and the command it shows. It listens to the
// notifier of the command's registry and hands the owner every change
// (the notifier is shared by all the registry's commands, so the owner
// refreshes itself from Command()). When the command leaves the registry
// (it is being freed, or moved to another one) the link lets go of it and
// hands the owner Everything, so that it shows no command. The registry
// must outlive the link.
//
//   TCommandLink FLink{MakeDelegate<&TToolButton::Follow>(this), CommandChangeLoaded};
//   FLink.Set(&SaveCommand); // Follow(CommandChangeLoaded)
class TCommandLink {
public:
    using TFollow = TDelegate<void(TCommandChangeFlags Flags)>;

    TCommandLink(TFollow Follow, TCommandChangeFlags Everything)
        : FFollow(Follow), FEverything(Everything) {}
    ~TCommandLink();
    TCommandLink(const TCommandLink&) = delete;
    TCommandLink& operator=(const TCommandLink&) = delete;

    TCommand* Command() const { return FCommand; }
    // Binds to Command (null: none); when that is a change, the owner
    // follows Everything.
    void Set(TCommand* Command);

private:
    void CommandsChanged(TObject* Sender, TCommandChangeFlags Flags);
    void Unbind();

    TFollow FFollow;
    TCommandChangeFlags FEverything;
    TCommand* FCommand = nullptr;
    TCommandList* FList = nullptr; // the registry whose notifier we listen to
};
