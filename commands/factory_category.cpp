#include "commands/factory_category.h"

#include "commands/factory.h"

#include <algorithm>

TFactoryCategory::TFactoryCategory(TFactoryCategory* Parent, std::string_view Name)
    : TFactoryObject(Name), FParent(Parent) {
    if (FParent)
        FParent->Append(this);
}

TFactoryCategory::~TFactoryCategory() {
    FDestroying = true;
    while (!FItems.empty()) {
        TFactoryObject* Item = FItems.back();
        FItems.pop_back();
        if (auto* Factory = dynamic_cast<TFactory*>(Item))
            Factory->FCategory = nullptr;
        else
            delete Item;
    }
    if (FParent && !FParent->Destroying())
        FParent->Delete(this);
}

int32_t TFactoryCategory::IndexOf(const TFactoryObject* Item) const {
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    return It == FItems.end() ? -1 : static_cast<int32_t>(It - FItems.begin());
}

void TFactoryCategory::Delete(TFactoryObject* Item) {
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    if (It != FItems.end())
        FItems.erase(It);
}

bool IsShownInDesigner(const TFactoryObject& Object, const TFactoryCategory& Root) {
    for (const TFactoryObject* O = &Object; O != &Root; O = O->Owner())
        if (!O || O->Name().empty())
            return false;
    return true;
}
