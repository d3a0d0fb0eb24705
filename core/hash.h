#pragma once

#include "core/object.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The key hash shared by THash and the data-document lists: ASCII letters are
// folded so that keys differing only in case hash alike.
uint32_t HashKey(std::string_view Key);
// Folds a full hash down to a table of 2^Bits slots.
uint32_t FoldHash(uint32_t Hash, int32_t Bits);
// Slot arithmetic of the open-addressing maps.
inline uint32_t FirstSlot(uint32_t Folded, int32_t Bits, uint32_t Mask) {
    return (Folded >> Bits) ^ (Folded & Mask);
}

// A map from text keys (ASCII case-insensitive) to pointer values that keeps
// insertion order. Get of an absent key returns Default.
class THash : public TObject {
public:
    explicit THash(void* Default = nullptr);
    std::string_view ClassName() const override { return "THash"; }

    bool Exists(std::string_view Key);
    void* Get(std::string_view Key);
    void Put(std::string_view Key, void* Value);
    void Remove(std::string_view Key);

    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    int32_t Bits() const { return FBits; }
    int32_t SlotCount() const { return static_cast<int32_t>(FSlots.size()); }
    int32_t Capacity() const { return FCapacity; }
    const std::string& KeyAt(int32_t Index) const { return FItems[static_cast<size_t>(Index)].Key; }
    void* ValueAt(int32_t Index) const { return FItems[static_cast<size_t>(Index)].Value; }

private:
    struct TItem {
        std::string Key;
        void* Value;
    };
    struct TSlotEntry {
        uint32_t Hash = 0;
        int32_t Item = -1;
    };

    // The slot holding Key, or the empty slot where it would go.
    int32_t FindSlot(std::string_view Key, uint32_t Hash) const;
    int32_t Lookup(std::string_view Key);
    void Grow();
    void Reindex();
    void PlaceItem(int32_t Item);

    void* FDefault;
    std::vector<TItem> FItems;
    std::vector<TSlotEntry> FSlots;
    int32_t FBits = 4;
    int32_t FCapacity = 12;

    // The last key looked up, so that a test followed by a read or write of
    // the same key hashes once.
    std::string FCacheKey;
    uint32_t FCacheHash = 0;
    int32_t FCacheSlot = -1;
};
