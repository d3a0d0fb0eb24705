#include "render/base_description.h"

TBaseDescription::TBaseDescription(int32_t Index, std::string DisplayName, int32_t Category)
    : FIndex(Index), FDisplayName(std::move(DisplayName)), FCategory(Category) {}

TBaseDescription::~TBaseDescription() = default;
