#include "render/effect_description.h"

TEffectDescription::TEffectDescription(int32_t Index, std::string DisplayName, int32_t Category,
                                       const TGuid& ClassId, uint8_t TimeFlags,
                                       int32_t CatalogueFlags)
    : TTransformDescription(Index, std::move(DisplayName), Category, ClassId),
      FTimeFlags(TimeFlags), FCatalogueFlags(CatalogueFlags) {}
