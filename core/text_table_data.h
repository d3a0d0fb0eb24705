#pragma once

#include <cstdint>

// The scrambled wording of every slot, one after the other; slot I occupies
// ScrambledTextOffsets[I] up to ScrambledTextOffsets[I + 1].
extern const unsigned char ScrambledTexts[];
extern const uint32_t ScrambledTextOffsets[];
