#pragma once

#include "core/object.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A group of transitions, effects or title styles as the catalogues show it:
// a key ("Fade") and its display name.
struct TCategoryDescription {
    std::string Key;
    std::string DisplayName;
};

// An ordered list of categories; descriptions name theirs by 1-based position.
class TCategoryDescriptions : public TObject {
public:
    std::string_view ClassName() const override { return "TCategoryDescriptions"; }

    // Appends and returns the new category's position.
    int32_t Add(std::string Key, std::string DisplayName);
    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    // 1-based; none when out of range.
    const TCategoryDescription* Category(int32_t Position) const;
    // The position of Key (compared without regard to case), or 0.
    int32_t PositionOf(std::string_view Key) const;

private:
    std::vector<TCategoryDescription> FItems;
};
