#include "commands/factory_list.h"

#include "commands/factory.h"
#include "core/error.h"
#include "core/text.h"
#include "core/text_table.h"

#include <algorithm>

TFactoryList::~TFactoryList() {
    FDestroying = true;
    while (!FItems.empty()) {
        TFactory* Factory = FItems.back();
        FItems.pop_back();
        delete Factory;
    }
}

TFactory* TFactoryList::Find(std::string_view Id) const {
    return static_cast<TFactory*>(FIndex.Get(Id));
}

void TFactoryList::Add(TFactory& Factory) {
    if (Factory.FList == this)
        return;
    if (Find(Factory.Id()))
        RaiseError(FormatMessageText(GetText(TTextSlot::FactoryIdExists), Factory.Id()));
    if (Factory.FList)
        Factory.FList->Remove(Factory);
    FItems.push_back(&Factory);
    FIndex.Put(Factory.Id(), &Factory);
    Factory.FList = this;
}

void TFactoryList::Remove(TFactory& Factory) {
    if (Factory.FList != this)
        return;
    // The index maps ids to factories, not to positions, so the factories
    // that move down stay findable without renumbering.
    FIndex.Remove(Factory.Id());
    FItems.erase(std::find(FItems.begin(), FItems.end(), &Factory));
    Factory.FList = nullptr;
}

namespace {

// One object, so that its members go in the reverse order of their
// declaration: the root category first, then the registry.
struct TFactoryGlobals {
    TFactoryList List;
    TFactoryCategory Root{nullptr, ""};
};

TFactoryGlobals& Globals() {
    static TFactoryGlobals Instance;
    return Instance;
}

} // namespace

TFactoryList& FactoryList() {
    return Globals().List;
}

TFactoryCategory& RootFactoryCategory() {
    return Globals().Root;
}
