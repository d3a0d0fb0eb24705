#include "commands/command_shortcuts.h"

#include "commands/command.h"
#include "core/changes.h"

#include <algorithm>

TCommandShortCuts::TCommandShortCuts(TCommand* Command, const std::vector<uint16_t>& Defaults)
    : FCommand(Command) {
    for (uint16_t Value : Defaults)
        if (Value != 0 && std::find(FDefaults.begin(), FDefaults.end(), Value) == FDefaults.end())
            FDefaults.push_back(Value);
    Reset();
}

uint16_t TCommandShortCuts::Get(int32_t Index) const {
    if (Index < 0 || Index >= Count())
        return 0;
    return FItems[static_cast<size_t>(Index)];
}

int32_t TCommandShortCuts::IndexOf(uint16_t Value) const {
    auto It = std::find(FItems.begin(), FItems.end(), Value);
    return It == FItems.end() ? -1 : static_cast<int32_t>(It - FItems.begin());
}

void TCommandShortCuts::Reset() {
    FItems = FDefaults;
}

void TCommandShortCuts::Add(uint16_t Value) {
    TUpdateGuard Guard(FCommand->Changes());
    if (Value == 0 || IndexOf(Value) >= 0)
        return;
    FItems.push_back(Value);
    FCommand->Changed(CommandChangeShortCuts);
}

void TCommandShortCuts::Remove(uint16_t Value) {
    int32_t Index = Value == 0 ? -1 : IndexOf(Value);
    if (Index < 0)
        return;
    TUpdateGuard Guard(FCommand->Changes());
    FItems.erase(FItems.begin() + Index);
    FCommand->Changed(CommandChangeShortCuts);
}
