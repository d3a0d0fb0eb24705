#pragma once

#include "render/transform_description.h"

#include <cstdint>

// The time flags of an effect.
constexpr uint8_t EffectTimeLastPart = 1;  // acts on the last part of its host
constexpr uint8_t EffectTimeFirstPart = 2; // acts on the first part of its host
constexpr uint8_t EffectTimeNeverBuilt = 4;

// An effect: its time flags and its catalogue flags (bit 3 video effect,
// bit 4 audio effect, bit 0 the catalogue's third flag; bits 1, 5 and 6 are
// set on the fades).
class TEffectDescription : public TTransformDescription {
public:
    TEffectDescription(int32_t Index, std::string DisplayName, int32_t Category,
                       const TGuid& ClassId, uint8_t TimeFlags, int32_t CatalogueFlags);

    std::string_view ClassName() const override { return "TEffectDescription"; }

    uint8_t TimeFlags() const { return FTimeFlags; }
    int32_t CatalogueFlags() const { return FCatalogueFlags; }
    bool IsVideoEffect() const { return (FCatalogueFlags & 0x08) != 0; }
    bool IsAudioEffect() const { return (FCatalogueFlags & 0x10) != 0; }

private:
    uint8_t FTimeFlags;
    int32_t FCatalogueFlags;
};
