#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// The patterns of the wipe transition, by wipe code (the standard SMPTE
// numbers). A pattern is a mask: every pixel holds the level at which the
// incoming picture replaces the outgoing one, so a wipe at progress p shows B
// where Level < p * WipeLevelCount. The lowest level of a mask is 0 and the
// highest WipeLevelCount - 1: at progress 0 nothing of B shows, at progress 1
// nothing of A. See wipe_patterns.cpp for the families.

constexpr int32_t WipeLevelCount = 65536;

struct TWipeMask {
    int32_t Code = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint16_t> Levels; // row by row, top row first
};

// Every wipe code, in the order the catalogue lists them.
std::span<const int32_t> WipeCodes();
bool IsWipeCode(int32_t Code);

// A code without a pattern gives the left-to-right bar (code 1).
TWipeMask BuildWipeMask(int32_t Code, int32_t Width, int32_t Height);
// BuildWipeMask through a small cache shared by all wipes of the process, so
// that a transition that starts does not rebuild what an earlier one needed.
std::shared_ptr<const TWipeMask> CachedWipeMask(int32_t Code, int32_t Width, int32_t Height);
