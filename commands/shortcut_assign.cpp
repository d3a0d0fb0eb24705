#include "commands/shortcut_assign.h"

#include "commands/command.h"
#include "commands/command_list.h"
#include "commands/shortcut.h"
#include "core/changes.h"
#include "core/text_table.h"

std::string ShortCutConflictText(const TCommand& Other) {
    return GetText(TTextSlot::ShortCutConflictQuestion) + "\r\n'" + CommandPath(Other) + "'\r\n" +
           GetText(TTextSlot::ShortCutConflictRemove);
}

bool AssignShortCut(TCommand& Command, uint16_t Value, const TConflictQuestion& Ask) {
    if (!IsValidShortCut(Value))
        return false;
    TCommandList* List = Command.List();
    TUpdateGuard Guard(List ? &List->Changes() : nullptr);
    // The question runs the user interface, which may change the registry:
    // walk by index and check the bound each time.
    for (int32_t I = 0; List && I < List->Count(); ++I) {
        TCommand* Other = List->Get(I);
        if (Other == &Command || Other->ShortCuts().IndexOf(Value) < 0)
            continue;
        switch (Ask(ShortCutConflictText(*Other))) {
        case TConflictAnswer::Yes:
            Other->ShortCuts().Remove(Value);
            break;
        case TConflictAnswer::No:
            break;
        case TConflictAnswer::Cancel:
            return false;
        }
    }
    TUpdateGuard CommandGuard(Command.Changes());
    Command.ShortCuts().Remove(Value);
    Command.ShortCuts().Add(Value);
    return true;
}

bool AssignShortCut(TCommand& Command, const TShortCutFormLoop& RunModal,
                    const TConflictQuestion& Ask, THotKeyRegistry* HotKeys) {
    uint16_t Value = 0;
    if (!DefineShortCut(Value, RunModal, HotKeys))
        return false;
    return AssignShortCut(Command, Value, Ask);
}
