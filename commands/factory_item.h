#pragma once

#include <memory>
#include <vector>

class TControl;
class TData;
class TFactory;
class TFactoryList;
struct TDesignHook;

// A control placed on the desktop, with the factory that built it: a stored
// desktop names the control's kind by the factory's id only.
struct TFactoryItem {
    TFactory* Factory = nullptr;
    std::unique_ptr<TControl> Control;
};

// Rebuilds the control that the current node stores: finds the factory named
// by "FactoryId", creates a control through it and lets the factory load the
// control's settings from the "Control" child. With a Hook, the control is
// put into design mode. An item whose factory id is missing or not
// registered (a configuration of another build) gives an empty item and no
// error; any other error frees the new control and passes on.
TFactoryItem LoadFactoryItem(const TFactoryList& Factories, TData& Data,
                             const TDesignHook* Hook = nullptr);

// Writes "FactoryId" and the control's settings into the "Control" child of
// the current node.
void SaveFactoryItem(TData& Data, TFactory& Factory, TControl& Control);

// A stored list of items: "Count" and one node "Item[" index "]" each.
// Loading drops items whose factory is unknown and keeps the rest in order.
std::vector<TFactoryItem> LoadFactoryItems(const TFactoryList& Factories, TData& Data,
                                           const TDesignHook* Hook = nullptr);
void SaveFactoryItems(TData& Data, const std::vector<TFactoryItem>& Items);

// Tells every item's factory that the whole layout is loaded.
void NotifyLoaded(const std::vector<TFactoryItem>& Items);
