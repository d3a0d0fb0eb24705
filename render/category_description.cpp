#include "render/category_description.h"

#include "core/text.h"

int32_t TCategoryDescriptions::Add(std::string Key, std::string DisplayName) {
    FItems.push_back({std::move(Key), std::move(DisplayName)});
    return Count();
}

const TCategoryDescription* TCategoryDescriptions::Category(int32_t Position) const {
    if (Position < 1 || Position > Count())
        return nullptr;
    return &FItems[static_cast<size_t>(Position - 1)];
}

int32_t TCategoryDescriptions::PositionOf(std::string_view Key) const {
    for (size_t I = 0; I < FItems.size(); ++I)
        if (SameTextAscii(FItems[I].Key, Key))
            return static_cast<int32_t>(I) + 1;
    return 0;
}
