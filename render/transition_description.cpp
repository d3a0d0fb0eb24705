#include "render/transition_description.h"

TTransitionDescription::TTransitionDescription(int32_t Index, std::string DisplayName,
                                               int32_t Category, const TGuid& ClassId,
                                               uint8_t Flags)
    : TTransformDescription(Index, std::move(DisplayName), Category, ClassId), FFlags(Flags) {}
