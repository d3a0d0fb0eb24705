#pragma once

#include "core/hash.h"

#include <cstdint>
#include <string_view>
#include <vector>

class TFactory;
class TFactoryCategory;

// The registry of factories, in registration order, with a hash index from
// id (letter case aside) to factory so that loading a desktop finds each
// stored item's factory in constant time. It owns the factories it holds
// and destroys them, last first, when it is destroyed.
class TFactoryList : public TObject {
public:
    TFactoryList() = default;
    ~TFactoryList() override;
    TFactoryList(const TFactoryList&) = delete;
    TFactoryList& operator=(const TFactoryList&) = delete;

    std::string_view ClassName() const override { return "TFactoryList"; }

    // The registered factory with this id, or none.
    TFactory* Find(std::string_view Id) const;
    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    TFactory* Get(int32_t Index) const { return FItems[static_cast<size_t>(Index)]; }
    bool Destroying() const { return FDestroying; }

    // Registers Factory; raises the duplicate-id error when another factory
    // has its id. Factories register themselves when they are created.
    void Add(TFactory& Factory);
    // Unregisters Factory, which then belongs to the caller; later factories
    // move down one place.
    void Remove(TFactory& Factory);

private:
    std::vector<TFactory*> FItems;
    // THash caches its last lookup, so even finding changes it.
    mutable THash FIndex;
    bool FDestroying = false;
};

// The application's registry and the root of the designer's components
// tree; both exist for the whole run. At the end the root goes first
// (letting go of every factory), then the registry (destroying every
// factory still registered).
TFactoryList& FactoryList();
TFactoryCategory& RootFactoryCategory();
