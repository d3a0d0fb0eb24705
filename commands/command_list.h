#pragma once

#include "commands/command_changes.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TCommand;
class TCommandCategory;
class TData;

// The registry of commands: every command registers itself here when it is
// created, and all of them report through the registry's one notifier.
// Registry order is creation order until the first removal, which moves the
// last command into the freed place. The registry owns the commands it
// holds and destroys them, last first, when it is destroyed.
class TCommandList : public TObject {
public:
    TCommandList();
    ~TCommandList() override;
    TCommandList(const TCommandList&) = delete;
    TCommandList& operator=(const TCommandList&) = delete;

    std::string_view ClassName() const override { return "TCommandList"; }

    TCommandChanges& Changes() { return FChanges; }
    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    TCommand* Get(int32_t Index) const { return FItems[static_cast<size_t>(Index)]; }
    bool Destroying() const { return FDestroying; }

    // Registers Command (taking it out of another registry first).
    void Add(TCommand& Command);
    // Unregisters Command, which then belongs to the caller.
    void Remove(TCommand& Command);

    // Clears the target of every command aimed at Object, so that no command
    // keeps a reference to an object that is about to go.
    void ReleaseTarget(TObject* Object);

    // Reads and writes every stored command in the node named by its id
    // inside the current node. A command without a node gets its defaults.
    void LoadFromData(TData& Data);
    void SaveToData(TData& Data) const;

private:
    TCommandChanges FChanges;
    std::vector<TCommand*> FItems;
    bool FDestroying = false;
};

// The name of a command's node in a stored configuration: the id itself
// ("File|New") when the text syntax of data documents can carry it as a
// name, else the id quoted.
std::string CommandNodeName(std::string_view Id);

// The application's registry and the root of its category tree; both exist
// for the whole run. At the end the root goes first (letting go of every
// command), then the registry (destroying every command still registered).
TCommandList& CommandList();
TCommandCategory& RootCommandCategory();
