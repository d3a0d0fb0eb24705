#include "core/data_list.h"

#include "core/bulk_memory.h"
#include "core/hash.h"
#include "core/text.h"

#include <algorithm>
#include <cstring>
#include <new>

TDataList::TStorage::TStorage() : Texts(BulkMemory()), Entries(BulkMemory()) {}

TDataList::TDataList()
    : FOwnStorage(std::make_unique<TStorage>()), FStorage(FOwnStorage.get()),
      FEntries(&FStorage->Entries), FSlots(&FStorage->Entries) {}

TDataList::TDataList(TDataList* Parent, int32_t ParentIndex)
    : FParent(Parent), FParentIndex(ParentIndex), FStorage(Parent->FStorage),
      FEntries(&FStorage->Entries), FSlots(&FStorage->Entries) {}

TDataList::~TDataList() {
    if (FOwnStorage)
        FOwnStorage->TearingDown = true;
}

void TDataList::TChildDeleter::operator()(TDataList* List) const {
    TStorage* Storage = List->FStorage;
    // A section owns nothing outside the document's memory, so when the
    // whole document goes its sections need no taking apart: the pool,
    // freed after them, gives back their memory in a few large blocks.
    if (Storage->TearingDown)
        return;
    List->~TDataList();
    Storage->Entries.deallocate(List, sizeof(TDataList), alignof(TDataList));
}

int32_t TDataList::FindSlot(std::string_view Name, uint32_t Hash) const {
    uint32_t Mask = static_cast<uint32_t>(FSlots.size()) - 1;
    uint32_t Folded = FoldHash(Hash, FBits);
    uint32_t Slot = FirstSlot(Folded, FBits, Mask) & Mask;
    while (FSlots[Slot] >= 0 && !SameTextAscii(FEntries[static_cast<size_t>(FSlots[Slot])].Name, Name))
        Slot = (Slot + 2 * Folded + 1) & Mask;
    return static_cast<int32_t>(Slot);
}

std::string_view TDataList::StoreText(std::string_view Text) {
    if (Text.empty())
        return {};
    auto* Copy = static_cast<char*>(FStorage->Texts.allocate(Text.size(), 1));
    std::memcpy(Copy, Text.data(), Text.size());
    return {Copy, Text.size()};
}

void TDataList::AssignValue(TEntry& Entry, std::string_view Value) {
    // The entry's text is its own: a value that fits is written over it, so
    // a document whose values are rewritten many times does not keep growing.
    if (Value.empty()) {
        Entry.Value = {};
    } else if (Value.size() <= Entry.Value.size()) {
        char* Own = const_cast<char*>(Entry.Value.data());
        std::memmove(Own, Value.data(), Value.size());
        Entry.Value = std::string_view(Own, Value.size());
    } else {
        Entry.Value = StoreText(Value);
    }
}

int32_t TDataList::LinearIndexOf(std::string_view Name) const {
    for (size_t I = 0; I < FEntries.size(); ++I) {
        std::string_view Entry = FEntries[I].Name;
        if (Entry.size() == Name.size() && SameTextAscii(Entry, Name))
            return static_cast<int32_t>(I);
    }
    return -1;
}

int32_t TDataList::IndexOf(std::string_view Name) const {
    if (FSlots.empty())
        return LinearIndexOf(Name);
    return FSlots[static_cast<size_t>(FindSlot(Name, HashKey(Name)))];
}

int32_t TDataList::Set(std::string_view Name, std::string_view Value) {
    return SetText<true>(Name, Value);
}

int32_t TDataList::SetAdopted(std::string_view Name, std::string_view Value) {
    return SetText<false>(Name, Value);
}

std::string_view TDataList::Adopt(std::pmr::string Text) {
    FStorage->Adopted.push_front(std::move(Text));
    return FStorage->Adopted.front();
}

void TDataList::Reserve(int32_t Count) {
    if (Count > static_cast<int32_t>(FEntries.capacity()))
        FEntries.reserve(static_cast<size_t>(Count));
}

template <bool Copy>
int32_t TDataList::SetText(std::string_view Name, std::string_view Value) {
    // An adopted value replaces an existing one by pointing at its own
    // piece of text; a copied one is written over the old text when it fits.
    auto Assign = [&](TEntry& Entry) {
        if constexpr (Copy)
            AssignValue(Entry, Value);
        else
            Entry.Value = Value;
    };
    if (FSlots.empty()) {
        int32_t Existing = LinearIndexOf(Name);
        if (Existing >= 0) {
            Assign(FEntries[static_cast<size_t>(Existing)]);
            return Existing;
        }
        if (Count() < LinearLimit) {
            // Most sections hold a handful of entries: starting at four
            // spares the reallocations of growing one entry at a time.
            if (FEntries.empty())
                FEntries.reserve(4);
            FEntries.push_back({Kept(Name, Copy), Kept(Value, Copy), nullptr});
            return Count() - 1;
        }
        Grow();
    }
    uint32_t Hash = HashKey(Name);
    int32_t Slot = FindSlot(Name, Hash);
    int32_t Existing = FSlots[static_cast<size_t>(Slot)];
    if (Existing >= 0) {
        Assign(FEntries[static_cast<size_t>(Existing)]);
        return Existing;
    }
    if (Count() == FCapacity) {
        Grow();
        Slot = FindSlot(Name, Hash);
    }
    FEntries.push_back({Kept(Name, Copy), Kept(Value, Copy), nullptr});
    FSlots[static_cast<size_t>(Slot)] = Count() - 1;
    return Count() - 1;
}

TDataList* TDataList::EnsureChildren(int32_t Index) {
    TEntry& E = FEntries[static_cast<size_t>(Index)];
    if (!E.Children) {
        E.Children.reset(new (FStorage->Entries.allocate(sizeof(TDataList), alignof(TDataList)))
                             TDataList(this, Index));
        E.Children->Reserve(ExpectedCount(Index));
    }
    return E.Children.get();
}

int32_t TDataList::ExpectedCount(int32_t Index) const {
    // Writers store lists of alike elements ("Item[0]", "Item[1]" …): the
    // section before this one, or its namesake in the element before this
    // list, most likely holds as many entries, so the new list starts with
    // room for them instead of growing four, eight, sixteen.
    constexpr int32_t MostExpected = 64;
    const TEntry& E = FEntries[static_cast<size_t>(Index)];
    int32_t Expected = 0;
    if (Index > 0 && FEntries[static_cast<size_t>(Index) - 1].Children) {
        Expected = FEntries[static_cast<size_t>(Index) - 1].Children->Count();
    } else if (FParent && FParentIndex > 0) {
        const TEntry& Before = FParent->FEntries[static_cast<size_t>(FParentIndex) - 1];
        if (Before.Children) {
            int32_t Namesake = Before.Children->IndexOf(E.Name);
            if (Namesake >= 0 && Before.Children->FEntries[static_cast<size_t>(Namesake)].Children)
                Expected = Before.Children->FEntries[static_cast<size_t>(Namesake)].Children->Count();
        }
    }
    return std::min(Expected, MostExpected);
}

void TDataList::DropEmptyChildren(int32_t Index) {
    TEntry& E = FEntries[static_cast<size_t>(Index)];
    if (E.Children && E.Children->Count() == 0)
        E.Children.reset();
}

void TDataList::Grow() {
    // The first index is built when a linear list fills up, with room for
    // twice its entries.
    FBits = FSlots.empty() ? 6 : FBits + 1;
    FSlots.assign(size_t(1) << FBits, -1);
    FCapacity = static_cast<int32_t>(FSlots.size() * 4 / 5);
    FEntries.reserve(static_cast<size_t>(FCapacity));
    for (int32_t I = 0; I < Count(); ++I)
        Index(I);
}

void TDataList::Index(int32_t Entry) {
    std::string_view Name = FEntries[static_cast<size_t>(Entry)].Name;
    FSlots[static_cast<size_t>(FindSlot(Name, HashKey(Name)))] = Entry;
}
