#include "core/hash.h"

#include "core/text.h"

uint32_t HashKey(std::string_view Key) {
    uint32_t H = 0;
    for (char C : Key)
        H ^= H * 32 + H / 4 + static_cast<unsigned char>(UpperAscii(C)) + 1;
    return H;
}

uint32_t FoldHash(uint32_t H, int32_t Bits) {
    if (Bits < 16)
        H = (H & 0xFFFF) ^ (H >> 16);
    if (Bits < 8)
        H = (H & 0xFF) ^ (H >> 8);
    if (Bits < 4)
        H = (H & 0xF) ^ (H >> 4);
    return H;
}

namespace {
// The probe step of the maps keyed by text and integer.
constexpr uint32_t ProbeOffset = 606348325u;
} // namespace

THash::THash(void* Default) : FDefault(Default), FSlots(16) { FItems.reserve(12); }

int32_t THash::FindSlot(std::string_view Key, uint32_t Hash) const {
    uint32_t Mask = static_cast<uint32_t>(FSlots.size()) - 1;
    uint32_t Folded = FoldHash(Hash, FBits);
    uint32_t First = FirstSlot(Folded, FBits, Mask) & Mask;
    uint32_t Slot = First;
    for (;;) {
        const TSlotEntry& Entry = FSlots[Slot];
        if (Entry.Item < 0)
            return static_cast<int32_t>(Slot);
        if (Entry.Hash == Hash && SameTextAscii(FItems[static_cast<size_t>(Entry.Item)].Key, Key))
            return static_cast<int32_t>(Slot);
        Slot = (Slot + 2 * First - ProbeOffset) & Mask;
    }
}

int32_t THash::Lookup(std::string_view Key) {
    if (FCacheSlot >= 0 && SameTextAscii(FCacheKey, Key))
        return FCacheSlot;
    FCacheKey.assign(Key);
    FCacheHash = HashKey(Key);
    FCacheSlot = FindSlot(Key, FCacheHash);
    return FCacheSlot;
}

bool THash::Exists(std::string_view Key) {
    return FSlots[static_cast<size_t>(Lookup(Key))].Item >= 0;
}

void* THash::Get(std::string_view Key) {
    int32_t Item = FSlots[static_cast<size_t>(Lookup(Key))].Item;
    return Item >= 0 ? FItems[static_cast<size_t>(Item)].Value : FDefault;
}

void THash::Put(std::string_view Key, void* Value) {
    int32_t Slot = Lookup(Key);
    int32_t Item = FSlots[static_cast<size_t>(Slot)].Item;
    if (Item >= 0) {
        FItems[static_cast<size_t>(Item)].Value = Value;
        return;
    }
    if (Count() == FCapacity) {
        Grow();
        Slot = Lookup(Key);
    }
    FItems.push_back({std::string(Key), Value});
    FSlots[static_cast<size_t>(Slot)] = {FCacheHash, Count() - 1};
}

void THash::Remove(std::string_view Key) {
    int32_t Item = FSlots[static_cast<size_t>(Lookup(Key))].Item;
    FCacheSlot = -1;
    if (Item < 0)
        return;
    FItems.erase(FItems.begin() + Item);
    Reindex();
}

void THash::Grow() {
    ++FBits;
    FSlots.assign(FSlots.size() * 2, {});
    FCapacity = static_cast<int32_t>(FSlots.size() * 4 / 5);
    FItems.reserve(static_cast<size_t>(FCapacity));
    Reindex();
}

void THash::Reindex() {
    FSlots.assign(FSlots.size(), {});
    FCacheSlot = -1;
    for (int32_t I = 0; I < Count(); ++I)
        PlaceItem(I);
}

void THash::PlaceItem(int32_t Item) {
    const std::string& Key = FItems[static_cast<size_t>(Item)].Key;
    uint32_t Hash = HashKey(Key);
    FSlots[static_cast<size_t>(FindSlot(Key, Hash))] = {Hash, Item};
}
