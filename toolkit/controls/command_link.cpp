#include "toolkit/controls/command_link.h"

#include "commands/command.h"
#include "commands/command_list.h"

TCommandLink::~TCommandLink() {
    Unbind();
}

void TCommandLink::Unbind() {
    if (FList)
        FList->Changes().RemoveChangeHandler(MakeDelegate<&TCommandLink::CommandsChanged>(this));
    FList = nullptr;
    FCommand = nullptr;
}

void TCommandLink::Set(TCommand* Command) {
    if (Command == FCommand)
        return;
    Unbind();
    FCommand = Command;
    FList = Command ? Command->List() : nullptr;
    if (FList)
        FList->Changes().AddChangeHandler(MakeDelegate<&TCommandLink::CommandsChanged>(this));
    FFollow(FEverything);
}

void TCommandLink::CommandsChanged(TObject* /*Sender*/, TCommandChangeFlags Flags) {
    if (HasAny(Flags, CommandChangeRegistry) && FCommand) {
        bool Registered = false;
        for (int32_t I = 0; FList && I < FList->Count() && !Registered; ++I)
            Registered = FList->Get(I) == FCommand;
        if (!Registered) {
            Unbind();
            FFollow(FEverything);
            return;
        }
    }
    FFollow(Flags);
}
