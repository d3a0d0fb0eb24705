#pragma once

#include "core/object.h"

#include <cstdint>
#include <string>

// What every registered transition, effect and title style has: its
// description index (stored by the project, unique within its registry), its
// display name and its category (1-based position in the matching category
// list).
class TBaseDescription : public TObject {
public:
    TBaseDescription(int32_t Index, std::string DisplayName, int32_t Category);
    ~TBaseDescription() override;
    TBaseDescription(const TBaseDescription&) = delete;
    TBaseDescription& operator=(const TBaseDescription&) = delete;

    std::string_view ClassName() const override { return "TBaseDescription"; }

    int32_t Index() const { return FIndex; }
    const std::string& DisplayName() const { return FDisplayName; }
    int32_t Category() const { return FCategory; }

private:
    int32_t FIndex;
    std::string FDisplayName;
    int32_t FCategory;
};
