#include "commands/command.h"

#include "commands/command_category.h"
#include "commands/command_list.h"
#include "commands/help_topics.h"
#include "commands/shortcut.h"
#include "core/changes.h"
#include "core/data.h"

#include <algorithm>

std::string StripAccelerators(std::string_view Caption) {
    std::string Result;
    Result.reserve(Caption.size());
    for (size_t I = 0; I < Caption.size(); ++I) {
        if (Caption[I] != '&') {
            Result += Caption[I];
            continue;
        }
        if (I + 1 < Caption.size() && Caption[I + 1] == '&') {
            Result += '&';
            ++I;
        }
    }
    return Result;
}

TCommand::TCommand(TCommandList& List, TCommandCategory* Category, std::string_view Id,
                   std::string_view Caption, std::string_view Hint, std::string_view HelpTopic,
                   const std::vector<uint16_t>& DefaultShortCuts, TCommandExecuteHandler OnExecute,
                   TCommandUpdateHandler OnUpdate)
    : FId(Id), FCaption(Caption), FHint(Hint), FHelpTopic(HelpTopic),
      FHelpContext(HelpContextOf(HelpTopic)), FShortCuts(this, DefaultShortCuts),
      FOnExecute(OnExecute), FOnUpdate(OnUpdate) {
    FName = StripAccelerators(Caption);
    FCategory = Category;
    if (FCategory)
        FCategory->Append(this);
    List.Add(*this);
}

TCommand::TCommand(TCommandCategory* Category, std::string_view Id, std::string_view Caption,
                   std::string_view Hint, std::string_view HelpTopic,
                   const std::vector<uint16_t>& DefaultShortCuts, TCommandExecuteHandler OnExecute,
                   TCommandUpdateHandler OnUpdate)
    : TCommand(CommandList(), Category, Id, Caption, Hint, HelpTopic, DefaultShortCuts, OnExecute,
               OnUpdate) {}

TCommand::~TCommand() {
    if (FList && !FList->Destroying())
        FList->Remove(*this);
    if (FCategory && !FCategory->Destroying())
        FCategory->Delete(this);
}

TCommandChanges* TCommand::Changes() const {
    return FList ? &FList->Changes() : nullptr;
}

void TCommand::Changed(TCommandChangeFlags Flags) {
    TCommandChanges* Notifier = Changes();
    if (!Notifier)
        return;
    TUpdateGuard Guard(Notifier);
    Notifier->Change(Flags);
}

void TCommand::Execute(TObject* Sender) {
    if (FIsOn && FEnabled && FOnExecute)
        FOnExecute(this, Sender);
}

void TCommand::Update() {
    if (!FOnUpdate)
        return;
    TUpdateGuard Guard(Changes());
    FOnUpdate(this);
}

void TCommand::TurnOn() {
    if (FIsOn)
        return;
    FIsOn = true;
    Changed(CommandChangeIsOn);
}

void TCommand::TurnOff() {
    if (!FIsOn || FIsAlwaysOn)
        return;
    FIsOn = false;
    Changed(CommandChangeIsOn);
}

void TCommand::SetIsOn(bool Value) {
    if (Value)
        TurnOn();
    else
        TurnOff();
}

void TCommand::SetIsAlwaysOn(bool Value) {
    FIsAlwaysOn = Value;
    if (Value)
        TurnOn();
}

namespace {

// Stores Value in Field and reports Flags when they differ.
template <class T, class V>
void SetField(TCommand& Command, T& Field, const V& Value, TCommandChangeFlags Flags) {
    if (Field == Value)
        return;
    Field = T(Value);
    Command.Changed(Flags);
}

} // namespace

void TCommand::SetName(std::string_view Value) {
    SetField(*this, FName, Value, CommandChangeName);
}

void TCommand::SetCaption(std::string_view Value) {
    SetField(*this, FCaption, Value, CommandChangeCaption);
}

void TCommand::SetHint(std::string_view Value) {
    SetField(*this, FHint, Value, CommandChangeHint);
}

void TCommand::SetHelpTopic(std::string_view Value) {
    int32_t Context = HelpContextOf(Value);
    FHelpTopic.assign(Value);
    SetField(*this, FHelpContext, Context, CommandChangeHelpContext);
}

void TCommand::SetChecked(bool Value) {
    SetField(*this, FChecked, Value, CommandChangeChecked);
}

void TCommand::SetEnabled(bool Value) {
    SetField(*this, FEnabled, Value, CommandChangeEnabled);
}

void TCommand::SetVisible(bool Value) {
    SetField(*this, FVisible, Value, CommandChangeVisible);
}

void TCommand::SetTarget(TObject* Object) {
    if (FTarget == Object)
        return;
    TUpdateGuard Guard(Changes());
    FTarget = Object;
    Changed(CommandChangeTarget);
    Update();
}

void TCommand::LoadFromData(TData& Data) {
    TUpdateGuard Guard(Changes());
    FIsOn = FIsAlwaysOn || Data.ReadBool("IsOn", false);
    if (Data.Exists("ShortCuts")) {
        TDataSection Section(Data, "ShortCuts");
        FShortCuts.Clear();
        // Every stored item is an entry of this node, so a damaged count
        // never makes the loop run further than the node reaches.
        int32_t Count = std::min(Data.ReadInteger("Count", 0), Data.Current()->Count());
        // Values that name no key combination are dropped, and so are
        // repeats, which would make the designer list a shortcut twice.
        for (int32_t I = 0; I < Count; ++I) {
            int32_t Value = Data.ReadInteger(ListItemName("Items[", I), 0);
            if (IsValidShortCut(Value) && FShortCuts.IndexOf(static_cast<uint16_t>(Value)) < 0)
                FShortCuts.Append(static_cast<uint16_t>(Value));
        }
    } else {
        FShortCuts.Reset();
    }
    Changed(CommandChangeLoaded);
    Update();
}

void TCommand::LoadDefaults() {
    TUpdateGuard Guard(Changes());
    FIsOn = true;
    FShortCuts.Reset();
    Changed(CommandChangeLoaded);
    Update();
}

void TCommand::SaveToData(TData& Data) const {
    Data.WriteBool("IsOn", FIsOn);
    TDataSection Section(Data, "ShortCuts");
    Data.WriteInteger("Count", FShortCuts.Count());
    for (int32_t I = 0; I < FShortCuts.Count(); ++I)
        Data.WriteInteger(ListItemName("Items[", I), FShortCuts.Get(I));
}

std::string CommandPath(const TCommand& Command) {
    std::vector<const TCommandCategory*> Categories;
    for (const TCommandCategory* C = Command.Category(); C; C = C->Parent())
        if (!C->Name().empty())
            Categories.push_back(C);
    std::string Path;
    for (auto It = Categories.rbegin(); It != Categories.rend(); ++It) {
        Path += (*It)->Name();
        Path += " | ";
    }
    return Path + Command.Name();
}
