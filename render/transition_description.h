#pragma once

#include "render/transform_description.h"

#include <cstdint>

// A transition. Its flag byte: bits 3 and 2 are set on every transition, bit
// 1 marks one that can be reversed (only then does the project offer
// "IsReverse"), bit 0 marks the wipes.
class TTransitionDescription : public TTransformDescription {
public:
    TTransitionDescription(int32_t Index, std::string DisplayName, int32_t Category,
                           const TGuid& ClassId, uint8_t Flags);

    std::string_view ClassName() const override { return "TTransitionDescription"; }

    uint8_t Flags() const { return FFlags; }
    bool IsReversible() const { return (FFlags & 0x02) != 0; }
    bool IsWipe() const { return (FFlags & 0x01) != 0; }
    // Bit 3: it blends pictures (and its picture can be rendered); bit 2: it
    // blends sound; bit 4 keeps it off the overlay tracks.
    bool IsVideoTransition() const { return (FFlags & 0x08) != 0; }
    bool IsAudioTransition() const { return (FFlags & 0x04) != 0; }
    bool IsOverlayTransition() const { return (FFlags & 0x10) == 0; }

private:
    uint8_t FFlags;
};
