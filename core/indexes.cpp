#include "core/indexes.h"

#include "core/hash.h"

namespace {

constexpr uint32_t ProbeOffset = 606348325u;

uint32_t HashInteger(int32_t Key) {
    // Spread the bits so that consecutive keys do not crowd the low slots.
    uint32_t H = static_cast<uint32_t>(Key) * 0x9E3779B1u;
    return H ^ (H >> 15);
}

} // namespace

TIndexes::TIndexes(TObject* Default) : FDefault(Default), FSlots(16, -1) { FItems.reserve(12); }

int32_t TIndexes::FindSlot(int32_t Key) const {
    uint32_t Mask = static_cast<uint32_t>(FSlots.size()) - 1;
    uint32_t First = FirstSlot(FoldHash(HashInteger(Key), FBits), FBits, Mask) & Mask;
    uint32_t Slot = First;
    while (FSlots[Slot] >= 0 && FItems[static_cast<size_t>(FSlots[Slot])].Key != Key)
        Slot = (Slot + 2 * First - ProbeOffset) & Mask;
    return static_cast<int32_t>(Slot);
}

int32_t TIndexes::Lookup(int32_t Key) {
    if (FCacheSlot < 0 || FCacheKey != Key) {
        FCacheKey = Key;
        FCacheSlot = FindSlot(Key);
    }
    return FCacheSlot;
}

bool TIndexes::Exists(int32_t Key) { return FSlots[static_cast<size_t>(Lookup(Key))] >= 0; }

TObject* TIndexes::Get(int32_t Key) {
    int32_t Item = FSlots[static_cast<size_t>(Lookup(Key))];
    return Item >= 0 ? FItems[static_cast<size_t>(Item)].Object : FDefault;
}

void TIndexes::Put(int32_t Key, TObject* Object) {
    int32_t Slot = Lookup(Key);
    if (FSlots[static_cast<size_t>(Slot)] >= 0) {
        FItems[static_cast<size_t>(FSlots[static_cast<size_t>(Slot)])].Object = Object;
        return;
    }
    if (Count() == FCapacity) {
        ++FBits;
        FSlots.assign(FSlots.size() * 2, -1);
        FCapacity = static_cast<int32_t>(FSlots.size() * 4 / 5);
        Reindex();
        Slot = Lookup(Key);
    }
    FItems.push_back({Key, Object});
    FSlots[static_cast<size_t>(Slot)] = Count() - 1;
}

void TIndexes::Remove(int32_t Key) {
    int32_t Item = FSlots[static_cast<size_t>(Lookup(Key))];
    FCacheSlot = -1;
    if (Item < 0)
        return;
    FItems.erase(FItems.begin() + Item);
    Reindex();
}

void TIndexes::Reindex() {
    FSlots.assign(FSlots.size(), -1);
    FCacheSlot = -1;
    for (int32_t I = 0; I < Count(); ++I)
        FSlots[static_cast<size_t>(FindSlot(FItems[static_cast<size_t>(I)].Key))] = I;
}
