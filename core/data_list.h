#pragma once

#include "core/object.h"

#include <cstdint>
#include <forward_list>
#include <memory>
#include <memory_resource>
#include <string>
#include <string_view>
#include <vector>

// One level of a data document: named entries in insertion order, each with a
// text value and optionally a nested list (a section). Names are unique under
// ASCII case-insensitive comparison and keep the spelling of their first
// insertion. Small lists, which most sections of a document are, are searched
// entry by entry; a list that grows past a few entries gets a hash index, so
// large lists still load in linear time.
class TDataList : public TObject {
public:
    // Frees a section's list into the memory of its document.
    struct TChildDeleter {
        void operator()(TDataList* List) const;
    };

    // Name and Value point into the text store of the document's root list
    // and stay valid as long as the list holds the entry.
    struct TEntry {
        std::string_view Name;
        std::string_view Value;
        std::unique_ptr<TDataList, TChildDeleter> Children;
    };

    // A root list, which owns the memory of the entries of its whole tree and
    // of their texts: a document of many small sections costs a few large
    // allocations instead of several per entry, and is freed as quickly.
    TDataList();
    TDataList(TDataList* Parent, int32_t ParentIndex);
    ~TDataList() override;
    TDataList(const TDataList&) = delete;
    TDataList& operator=(const TDataList&) = delete;

    std::string_view ClassName() const override { return "TDataList"; }

    TDataList* Parent() const { return FParent; }
    int32_t ParentIndex() const { return FParentIndex; }

    int32_t Count() const { return static_cast<int32_t>(FEntries.size()); }
    const TEntry& Entry(int32_t Index) const { return FEntries[static_cast<size_t>(Index)]; }

    int32_t IndexOf(std::string_view Name) const;
    // Sets the value of the entry Name, appending a leaf when there is none;
    // returns the entry's index. An existing entry keeps its children.
    int32_t Set(std::string_view Name, std::string_view Value);
    // The same for a name and value that already lie in a text the document
    // holds (see Adopt): the entry points into that text instead of a copy.
    int32_t SetAdopted(std::string_view Name, std::string_view Value);
    // Keeps Text for as long as the document lives and returns where it now
    // lies, so that a reader can make entries of its pieces without copying
    // them. Called on any list of the document.
    std::string_view Adopt(std::pmr::string Text);
    // Room for Count entries, so that a list whose size is known or guessed
    // grows without moving its entries.
    void Reserve(int32_t Count);
    // The child list of entry Index, created when the entry has none.
    TDataList* EnsureChildren(int32_t Index);
    // Turns a section whose list is empty back into a leaf.
    void DropEmptyChildren(int32_t Index);

private:
    // Lists up to this many entries have no hash index: comparing a dozen
    // short names costs less than hashing one, and the index's table would be
    // the larger part of a small section's memory.
    static constexpr int32_t LinearLimit = 16;

    // The memory of a whole document: entry arrays and section lists come
    // from a pool, texts are appended to a store that only grows. A value overwritten by a
    // longer one leaves its old text unused until the document goes.
    struct TStorage {
        TStorage();
        std::pmr::monotonic_buffer_resource Texts;
        std::pmr::unsynchronized_pool_resource Entries;
        // Set while the root list goes: its sections are left to the pool,
        // which gives back all their memory at once, instead of being taken
        // apart one by one.
        bool TearingDown = false;
        // Texts whose pieces entries point into; a list's nodes never move,
        // so even a short text kept inside its string stays where it is.
        std::forward_list<std::pmr::string> Adopted;
    };

    template <bool Copy>
    int32_t SetText(std::string_view Name, std::string_view Value);

    std::string_view StoreText(std::string_view Text);
    void AssignValue(TEntry& Entry, std::string_view Value);
    std::string_view Kept(std::string_view Text, bool Copy) { return Copy ? StoreText(Text) : Text; }
    int32_t LinearIndexOf(std::string_view Name) const;
    int32_t FindSlot(std::string_view Name, uint32_t Hash) const;
    void Grow();
    void Index(int32_t Entry);
    int32_t ExpectedCount(int32_t Index) const;

    TDataList* FParent = nullptr;
    int32_t FParentIndex = -1;
    // Set on the root only; declared before the entries, which it outlives.
    std::unique_ptr<TStorage> FOwnStorage;
    TStorage* FStorage;
    std::pmr::vector<TEntry> FEntries;
    // Empty while the list is searched linearly. In the document's memory,
    // like everything a section holds.
    std::pmr::vector<int32_t> FSlots;
    int32_t FBits = 0;
    int32_t FCapacity = LinearLimit;
};
