#pragma once

#include "core/object.h"

#include <cstdint>
#include <vector>

// A bound callback: a code pointer and the receiver it is called on. Two
// entries are equal when both parts are equal, so the same receiver method
// registers once however often it is added.
struct TMethod {
    void (*Code)() = nullptr;
    void* Receiver = nullptr;

    bool operator==(const TMethod&) const = default;
    explicit operator bool() const { return Code != nullptr; }
};

// An ordered list of bound callbacks without duplicates.
class TMethods : public TObject {
public:
    std::string_view ClassName() const override { return "TMethods"; }

    void Add(TMethod Method);
    void Remove(TMethod Method);
    void Delete(int32_t Index);
    int32_t IndexOf(TMethod Method) const;

    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    TMethod operator[](int32_t Index) const { return FItems[static_cast<size_t>(Index)]; }

private:
    std::vector<TMethod> FItems;
};
