#include "commands/command_category.h"

#include "commands/command.h"

#include <algorithm>

TCommandCategory::TCommandCategory(TCommandCategory* Parent, std::string_view Name)
    : FParent(Parent) {
    FName.assign(Name);
    if (FParent)
        FParent->Append(this);
}

TCommandCategory::~TCommandCategory() {
    FDestroying = true;
    while (!FItems.empty()) {
        TCommandObject* Item = FItems.back();
        FItems.pop_back();
        if (auto* Command = dynamic_cast<TCommand*>(Item))
            Command->FCategory = nullptr;
        else
            delete Item;
    }
    if (FParent && !FParent->Destroying())
        FParent->Delete(this);
}

int32_t TCommandCategory::IndexOf(const TCommandObject* Item) const {
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    return It == FItems.end() ? -1 : static_cast<int32_t>(It - FItems.begin());
}

void TCommandCategory::Append(TCommandObject* Item) {
    FItems.push_back(Item);
}

void TCommandCategory::Delete(TCommandObject* Item) {
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    if (It != FItems.end())
        FItems.erase(It);
}
