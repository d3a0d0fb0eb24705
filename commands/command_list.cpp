#include "commands/command_list.h"

#include "commands/command.h"
#include "commands/command_category.h"
#include "core/data.h"
#include "core/exception_report.h"

TCommandList::TCommandList() : FChanges(this) {}

TCommandList::~TCommandList() {
    FDestroying = true;
    while (!FItems.empty()) {
        TCommand* Command = FItems.back();
        FItems.pop_back();
        Command->FIndex = -1;
        delete Command;
    }
}

void TCommandList::Add(TCommand& Command) {
    if (Command.FList == this)
        return;
    if (Command.FList)
        Command.FList->Remove(Command);
    TUpdateGuard Guard(FChanges);
    FItems.push_back(&Command);
    Command.FIndex = Count() - 1;
    Command.FList = this;
    FChanges.Change(CommandChangeRegistry);
}

void TCommandList::Remove(TCommand& Command) {
    if (Command.FList != this || Command.FIndex < 0)
        return;
    TUpdateGuard Guard(FChanges);
    int32_t Index = Command.FIndex;
    TCommand* Last = FItems.back();
    FItems[static_cast<size_t>(Index)] = Last;
    Last->FIndex = Index;
    FItems.pop_back();
    Command.FIndex = -1;
    Command.FList = nullptr;
    FChanges.Change(CommandChangeRegistry);
}

void TCommandList::ReleaseTarget(TObject* Object) {
    if (!Object)
        return;
    TUpdateGuard Guard(FChanges);
    // Clearing a target runs the command's update handler, which may change
    // the registry: walk by index and check the bound each time.
    for (int32_t I = 0; I < Count(); ++I)
        if (Get(I)->Target() == Object)
            Get(I)->SetTarget(nullptr);
}

std::string CommandNodeName(std::string_view Id) {
    // The text syntax splits a line at the first ":" or "=", trims blanks
    // around names and ends a line at a control character.
    bool Plain = !Id.empty() && Id.front() != ' ' && Id.back() != ' ' && Id.front() != '\t' &&
                 Id.back() != '\t' && Id.front() != '\'';
    for (char C : Id)
        if (static_cast<unsigned char>(C) < 32 || C == ':' || C == '=')
            Plain = false;
    return Plain ? std::string(Id) : QuoteKey(Id);
}

void TCommandList::LoadFromData(TData& Data) {
    TUpdateGuard Guard(FChanges);
    for (int32_t I = 0; I < Count(); ++I) {
        TCommand* Command = Get(I);
        if (!Command->IsStored() || Command->Id().empty())
            continue;
        std::string Node = CommandNodeName(Command->Id());
        // Reading never raises; an update handler that does must not keep
        // the commands after it from their stored state.
        try {
            if (!Data.Exists(Node)) {
                Command->LoadDefaults();
                continue;
            }
            TDataSection Section(Data, Node);
            Command->LoadFromData(Data);
        } catch (...) {
            ReportCurrentException();
        }
    }
}

void TCommandList::SaveToData(TData& Data) const {
    for (TCommand* Command : FItems) {
        if (!Command->IsStored() || Command->Id().empty())
            continue;
        TDataSection Section(Data, CommandNodeName(Command->Id()));
        Command->SaveToData(Data);
    }
}

namespace {

// One object, so that its members go in the reverse order of their
// declaration: the root category first, then the registry.
struct TCommandGlobals {
    TCommandList List;
    TCommandCategory Root{nullptr, ""};
};

TCommandGlobals& Globals() {
    static TCommandGlobals Instance;
    return Instance;
}

} // namespace

TCommandList& CommandList() {
    return Globals().List;
}

TCommandCategory& RootCommandCategory() {
    return Globals().Root;
}
