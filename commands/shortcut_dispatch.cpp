#include "commands/shortcut_dispatch.h"

#include "commands/command.h"
#include "commands/command_list.h"
#include "commands/shortcut.h"
#include "commands/shortcut_form.h"

#include <vector>

namespace {

bool IsRegistered(const TCommandList& Commands, const TCommand* Command) {
    for (int32_t I = 0; I < Commands.Count(); ++I)
        if (Commands.Get(I) == Command)
            return true;
    return false;
}

} // namespace

bool ExecuteShortCut(TCommandList& Commands, uint16_t Value, TObject* Sender) {
    if (Value == 0)
        return false;
    std::vector<TCommand*> Matches;
    for (int32_t I = 0; I < Commands.Count(); ++I) {
        TCommand* Command = Commands.Get(I);
        if (Command->IsOn() && Command->Enabled() && Command->ShortCuts().IndexOf(Value) >= 0)
            Matches.push_back(Command);
    }
    if (Matches.empty())
        return false;
    // A handler may free other commands (closing the tool box that owns
    // them): only those still registered are touched.
    for (TCommand* Command : Matches)
        if (IsRegistered(Commands, Command))
            Command->Execute(Sender);
    return true;
}

bool DispatchShortCutKey(TCommandList& Commands, uint16_t Value, const TKeyFocus* Focus,
                         TObject* Sender) {
    if (TShortCutForm::Current() || Value == 0)
        return false;
    if (Focus) {
        if (Focus->IsTextEditor() && IsEditKey(Value))
            return false;
        if (Focus->WantsSpecialKey(static_cast<uint8_t>(Value & ShortCutKeyMask)))
            return false;
    }
    return ExecuteShortCut(Commands, Value, Sender);
}

bool DispatchHotKey(TCommandList& Commands, int32_t Identifier, TObject* Sender) {
    if (TShortCutForm* Form = TShortCutForm::Current()) {
        Form->HotKey(Identifier);
        return true;
    }
    if (Identifier < 1 || Identifier > 0xFFFF)
        return false;
    return ExecuteShortCut(Commands, static_cast<uint16_t>(Identifier), Sender);
}
