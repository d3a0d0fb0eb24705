#pragma once

#include "app/command_object.h"
#include "app/command_shortcuts.h"
#include "core/methods.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TChanges;
class TCommandCategory;
class TCommandList;
class TData;

// The change flags every command reports through its registry's notifier.
// The notifier is shared by all commands, so a listener refreshes itself
// from its own command according to the bits it receives.
constexpr uint32_t CommandChangeIsOn = 0x000000FF;
constexpr uint32_t CommandChangeName = 0x00000100;
constexpr uint32_t CommandChangeCaption = 0x00000200;
constexpr uint32_t CommandChangeHelpContext = 0x00001000;
constexpr uint32_t CommandChangeHint = 0x00002000;
constexpr uint32_t CommandChangeShortCuts = 0x00004000;
constexpr uint32_t CommandChangeChecked = 0x00010000;
constexpr uint32_t CommandChangeEnabled = 0x00020000;
constexpr uint32_t CommandChangeVisible = 0x00040000;
constexpr uint32_t CommandChangeTarget = 0x00100000;
constexpr uint32_t CommandChangeLoaded = 0x00FFFFFF;
constexpr uint32_t CommandChangeRegistry = 0xFF000000;

// The handler signatures of a command: execute receives the command and the
// menu item, button or window that invoked it; update the command only.
using TCommandExecuteHandler = void (*)(void* Receiver, TCommand* Command, TObject* Sender);
using TCommandUpdateHandler = void (*)(void* Receiver, TCommand* Command);

// Binds a member function as an execute handler:
//   ExecuteMethod<&TEditor::CutExecute>(this)   void TEditor::CutExecute(TCommand*, TObject*)
template <auto Member, class T>
TMethod ExecuteMethod(T* Receiver) {
    TCommandExecuteHandler Code = [](void* R, TCommand* Command, TObject* Sender) {
        (static_cast<T*>(R)->*Member)(Command, Sender);
    };
    return {reinterpret_cast<void (*)()>(Code), Receiver};
}

// Binds a member function as an update handler:
//   UpdateMethod<&TEditor::CutUpdate>(this)     void TEditor::CutUpdate(TCommand*)
template <auto Member, class T>
TMethod UpdateMethod(T* Receiver) {
    TCommandUpdateHandler Code = [](void* R, TCommand* Command) {
        (static_cast<T*>(R)->*Member)(Command);
    };
    return {reinterpret_cast<void (*)()>(Code), Receiver};
}

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
//                {0x404E}, ExecuteMethod<&TShell::NewExecute>(this), {});
class TCommand : public TCommandObject {
public:
    TCommand(TCommandList& List, TCommandCategory* Category, std::string_view Id,
             std::string_view Caption, std::string_view Hint, std::string_view HelpTopic,
             const std::vector<uint16_t>& DefaultShortCuts = {}, TMethod OnExecute = {},
             TMethod OnUpdate = {});
    // Registers the command in the application's registry, CommandList().
    TCommand(TCommandCategory* Category, std::string_view Id, std::string_view Caption,
             std::string_view Hint, std::string_view HelpTopic,
             const std::vector<uint16_t>& DefaultShortCuts = {}, TMethod OnExecute = {},
             TMethod OnUpdate = {});
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
    TChanges* Changes() const;
    TMethod OnExecute() const { return FOnExecute; }
    TMethod OnUpdate() const { return FOnUpdate; }

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
    void SetOnExecute(TMethod Handler) { FOnExecute = Handler; }
    void SetOnUpdate(TMethod Handler) { FOnUpdate = Handler; }

    // Reports Flags through the registry's notifier, inside a bracket so that
    // a caller's outer bracket merges them.
    void Changed(uint32_t Flags);

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
    TMethod FOnExecute;
    TMethod FOnUpdate;
};

// The command as the designer names it: the names of its categories from
// the outermost named one down to its own, then its own name, joined by
// " | " ("File | Save As").
std::string CommandPath(const TCommand& Command);
