#pragma once

#include "commands/command_changes.h"
#include "commands/command_object.h"
#include "commands/command_shortcuts.h"
#include "core/delegate.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TCommand;
class TCommandCategory;
class TCommandList;
class TData;

// The handlers of a command: execute receives the command and the menu item,
// button or window that invoked it; update the command only.
//   MakeDelegate<&TEditor::CutExecute>(this)   void TEditor::CutExecute(TCommand*, TObject*)
//   MakeDelegate<&TEditor::CutUpdate>(this)    void TEditor::CutUpdate(TCommand*)
using TCommandExecuteHandler = TDelegate<void(TCommand* Command, TObject* Sender)>;
using TCommandUpdateHandler = TDelegate<void(TCommand* Command)>;

// A caption without its accelerator markers: a single "&" is dropped and
// "&&" becomes "&" ("Save &As..." is "Save As...").
std::string StripAccelerators(std::string_view Caption);

// An action the user can invoke from a menu, a button or a key combination.
// Its owner supplies the execute and update handlers; the update handler
// pulls the command's state (enabled, checked, visible) from the model
// whenever the commands are refreshed.
//
// A command registers itself in a registry when it is created, and the
// registry owns it while it is registered: destroying the registry destroys
// the commands still in it. An owner that is done with its command earlier
// calls Free, which takes it out of the registry and its category.
//
//   new TCommand(FileCategory, "File|New", "&New", "New project", "File/New.htm",
//                {0x404E}, MakeDelegate<&TShell::NewExecute>(this), {});
class TCommand : public TCommandObject {
public:
    TCommand(TCommandList& List, TCommandCategory* Category, std::string_view Id,
             std::string_view Caption, std::string_view Hint, std::string_view HelpTopic,
             const std::vector<uint16_t>& DefaultShortCuts = {},
             TCommandExecuteHandler OnExecute = {}, TCommandUpdateHandler OnUpdate = {});
    // Registers the command in the application's registry, CommandList().
    TCommand(TCommandCategory* Category, std::string_view Id, std::string_view Caption,
             std::string_view Hint, std::string_view HelpTopic,
             const std::vector<uint16_t>& DefaultShortCuts = {},
             TCommandExecuteHandler OnExecute = {}, TCommandUpdateHandler OnUpdate = {});
    TCommand(const TCommand&) = delete;
    TCommand& operator=(const TCommand&) = delete;

    std::string_view ClassName() const override { return "TCommand"; }

    // Destroys the command, leaving its registry and its category.
    void Free() { delete this; }

    TCommandCategory* Category() const { return FCategory; }
    int32_t Index() const { return FIndex; }
    const std::string& Id() const { return FId; }
    bool IsOn() const { return FIsOn; }
    bool IsAlwaysOn() const { return FIsAlwaysOn; }
    bool AutoRepeat() const { return FAutoRepeat; }
    const std::string& Caption() const { return FCaption; }
    bool Checked() const { return FChecked; }
    bool Enabled() const { return FEnabled; }
    const std::string& Hint() const { return FHint; }
    const std::string& HelpTopic() const { return FHelpTopic; }
    int32_t HelpContext() const { return FHelpContext; }
    bool Visible() const { return FVisible; }
    TCommandShortCuts& ShortCuts() { return FShortCuts; }
    const TCommandShortCuts& ShortCuts() const { return FShortCuts; }
    // The object a local menu was opened for; not owned.
    TObject* Target() const { return FTarget; }
    // The registry the command is in and its notifier; none while unregistered.
    TCommandList* List() const { return FList; }
    TCommandChanges* Changes() const;
    TCommandExecuteHandler OnExecute() const { return FOnExecute; }
    TCommandUpdateHandler OnUpdate() const { return FOnUpdate; }

    // Whether the registry stores the command in configurations; a command
    // stored elsewhere (with its tool box) answers false.
    virtual bool IsStored() const { return true; }
    // Runs the execute handler when the command is on and enabled.
    virtual void Execute(TObject* Sender);
    // Runs the update handler inside an update bracket of the notifier.
    virtual void Update();

    void TurnOn();
    // Ignored while the command is always on.
    void TurnOff();
    void SetIsOn(bool Value);
    // An always-on command is switched on and stays on.
    void SetIsAlwaysOn(bool Value);
    void SetAutoRepeat(bool Value) { FAutoRepeat = Value; }
    void SetName(std::string_view Value);
    // Keeps Name as it is.
    void SetCaption(std::string_view Value);
    void SetHint(std::string_view Value);
    void SetHelpTopic(std::string_view Value);
    void SetChecked(bool Value);
    void SetEnabled(bool Value);
    void SetVisible(bool Value);
    // Stores the target and refreshes the command for it.
    void SetTarget(TObject* Object);
    void SetOnExecute(TCommandExecuteHandler Handler) { FOnExecute = Handler; }
    void SetOnUpdate(TCommandUpdateHandler Handler) { FOnUpdate = Handler; }

    // Reports Flags through the registry's notifier, inside a bracket so that
    // a caller's outer bracket merges them.
    void Changed(TCommandChangeFlags Flags);

    // The stored state ("IsOn", "ShortCuts") in the current node.
    void LoadFromData(TData& Data);
    void SaveToData(TData& Data) const;
    // What a configuration without a node for the command means: on, with
    // the default shortcuts.
    void LoadDefaults();

protected:
    ~TCommand() override;

private:
    friend class TCommandCategory;
    friend class TCommandList;

    TCommandCategory* FCategory = nullptr;
    int32_t FIndex = -1;
    std::string FId;
    bool FIsOn = true;
    bool FIsAlwaysOn = false;
    bool FAutoRepeat = false;
    std::string FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    std::string FHint;
    std::string FHelpTopic;
    int32_t FHelpContext = 0;
    bool FVisible = true;
    TCommandShortCuts FShortCuts;
    TObject* FTarget = nullptr;
    TCommandList* FList = nullptr;
    TCommandExecuteHandler FOnExecute;
    TCommandUpdateHandler FOnUpdate;
};

// The command as the designer names it: the names of its categories from
// the outermost named one down to its own, then its own name, joined by
// " | " ("File | Save As").
std::string CommandPath(const TCommand& Command);
