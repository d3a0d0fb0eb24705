#include "core/methods.h"

#include "core/numbers.h"

void TMethods::Add(TMethod Method) {
    if (IndexOf(Method) >= 0)
        return;
    if (FItems.size() == FItems.capacity())
        FItems.reserve(static_cast<size_t>(GrowCapacity(Count())));
    FItems.push_back(Method);
}

void TMethods::Remove(TMethod Method) {
    for (size_t I = 0; I < FItems.size(); ++I) {
        if (FItems[I] == Method) {
            FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(I));
            return;
        }
    }
}

void TMethods::Delete(int32_t Index) {
    if (Index < 0 || Index >= Count())
        return;
    FItems.erase(FItems.begin() + Index);
}

int32_t TMethods::IndexOf(TMethod Method) const {
    for (int32_t I = Count() - 1; I >= 0; --I)
        if (FItems[static_cast<size_t>(I)] == Method)
            return I;
    return -1;
}
