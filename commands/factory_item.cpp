#include "commands/factory_item.h"

#include "commands/factory.h"
#include "commands/factory_control.h"
#include "commands/factory_list.h"
#include "core/data.h"

TFactoryItem LoadFactoryItem(const TFactoryList& Factories, TData& Data, const TDesignHook* Hook) {
    std::string Id = Data.ReadString("FactoryId", "");
    TFactory* Factory = Id.empty() ? nullptr : Factories.Find(Id);
    if (!Factory)
        return {};
    TFactoryItem Item{Factory, Factory->CreateControl()};
    {
        TDataSection Section(Data, "Control");
        Factory->LoadControl(*Item.Control, Data);
    }
    if (Hook)
        Factory->BeginDesign(*Item.Control, *Hook);
    return Item;
}

void SaveFactoryItem(TData& Data, TFactory& Factory, TControl& Control) {
    Data.WriteString("FactoryId", Factory.Id());
    TDataSection Section(Data, "Control");
    Factory.SaveControl(Control, Data);
}

std::vector<TFactoryItem> LoadFactoryItems(const TFactoryList& Factories, TData& Data,
                                           const TDesignHook* Hook) {
    std::vector<TFactoryItem> Items;
    int32_t Count = Data.ReadListCount("Item[");
    for (int32_t I = 0; I < Count; ++I) {
        std::string Name = ListItemName("Item[", I);
        if (!Data.Exists(Name))
            continue;
        TDataSection Section(Data, Name);
        TFactoryItem Item = LoadFactoryItem(Factories, Data, Hook);
        if (Item.Control)
            Items.push_back(std::move(Item));
    }
    return Items;
}

void SaveFactoryItems(TData& Data, const std::vector<TFactoryItem>& Items) {
    int32_t Count = 0;
    for (const TFactoryItem& Item : Items) {
        if (!Item.Factory || !Item.Control)
            continue;
        TDataSection Section(Data, ListItemName("Item[", Count++));
        SaveFactoryItem(Data, *Item.Factory, *Item.Control);
    }
    Data.WriteInteger("Count", Count);
}

void NotifyLoaded(const std::vector<TFactoryItem>& Items) {
    for (const TFactoryItem& Item : Items)
        if (Item.Factory && Item.Control)
            Item.Factory->Loaded(*Item.Control);
}
