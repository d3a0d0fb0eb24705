#pragma once

#include "core/object.h"

#include <cstdint>
#include <vector>

// A map from signed 32-bit keys to objects (not owned) that keeps insertion
// order. Get of an absent key returns Default.
class TIndexes : public TObject {
public:
    explicit TIndexes(TObject* Default = nullptr);
    std::string_view ClassName() const override { return "TIndexes"; }

    bool Exists(int32_t Key);
    TObject* Get(int32_t Key);
    void Put(int32_t Key, TObject* Object);
    void Remove(int32_t Key);

    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    int32_t SlotCount() const { return static_cast<int32_t>(FSlots.size()); }
    int32_t KeyAt(int32_t Index) const { return FItems[static_cast<size_t>(Index)].Key; }
    TObject* ObjectAt(int32_t Index) const { return FItems[static_cast<size_t>(Index)].Object; }

private:
    struct TItem {
        int32_t Key;
        TObject* Object;
    };

    int32_t FindSlot(int32_t Key) const;
    int32_t Lookup(int32_t Key);
    void Reindex();

    TObject* FDefault;
    std::vector<TItem> FItems;
    std::vector<int32_t> FSlots; // item index, -1 when empty
    int32_t FBits = 4;
    int32_t FCapacity = 12;
    int32_t FCacheKey = 0;
    int32_t FCacheSlot = -1;
};
