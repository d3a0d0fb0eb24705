#pragma once

#include <cstdint>

// Every time, duration and media position: a signed count of 100-nanosecond units.
using TVideoTime = int64_t;

constexpr TVideoTime VideoTimeUnitsPerSecond = 10000000;
// The shortest clip and the shortest transition overlap (0.25 s).
constexpr TVideoTime MinimumItemDuration = 2500000;
// Stands for an unlimited time where a caller says so (no next block after
// the last one of a track). It is 2^59 - 1: some 1 800 years, far beyond any
// project, and small enough that adding or subtracting a few times of that
// size, as the limit arithmetic of drags does, cannot overflow 64 bits.
constexpr TVideoTime UnlimitedVideoTime = 576460752303423487;

// Seconds to units, rounded to the nearest unit.
TVideoTime SecondsToVideoTime(double Seconds);
double VideoTimeToSeconds(TVideoTime Time);
