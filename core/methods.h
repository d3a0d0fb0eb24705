#pragma once

#include "core/delegate.h"
#include "core/numbers.h"
#include "core/object.h"

#include <cstdint>
#include <vector>

// An ordered list of delegates of one signature without duplicates: adding
// a delegate that is already there (the same member function of the same
// receiver) does nothing.
template <class Signature>
class TMethods : public TObject {
public:
    using TMethod = TDelegate<Signature>;

    std::string_view ClassName() const override { return "TMethods"; }

    void Add(TMethod Method) {
        if (IndexOf(Method) >= 0)
            return;
        if (FItems.size() == FItems.capacity())
            FItems.reserve(static_cast<size_t>(GrowCapacity(Count())));
        FItems.push_back(Method);
    }
    // Takes out the first equal entry; the others keep their order.
    void Remove(TMethod Method) {
        for (auto It = FItems.begin(); It != FItems.end(); ++It)
            if (*It == Method) {
                FItems.erase(It);
                return;
            }
    }
    void Delete(int32_t Index) {
        if (Index < 0 || Index >= Count())
            return;
        FItems.erase(FItems.begin() + Index);
    }
    // The index of the last equal entry, -1 when there is none.
    int32_t IndexOf(TMethod Method) const {
        for (int32_t I = Count() - 1; I >= 0; --I)
            if (FItems[static_cast<size_t>(I)] == Method)
                return I;
        return -1;
    }

    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    TMethod operator[](int32_t Index) const { return FItems[static_cast<size_t>(Index)]; }

    // Calls every entry in order with Arguments. The calls run over a
    // snapshot and each entry is looked up again before its call, so a
    // handler that removes itself or another one is not called afterwards,
    // and one added meanwhile waits for the next call.
    template <class... Args>
    void CallEach(const Args&... Arguments) const {
        std::vector<TMethod> Snapshot(FItems);
        for (const TMethod& Method : Snapshot)
            if (IndexOf(Method) >= 0)
                Method(Arguments...);
    }

private:
    std::vector<TMethod> FItems;
};
