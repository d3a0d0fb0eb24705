#pragma once

#include <cstdint>
#include <string>

class TProject;

// The tracks of the large projects the benchmarks measure.
constexpr int32_t LargeProjectTrackCount = 5;

// Clears Project and lays down Clips items over five video tracks, 2 s
// apiece, still pictures of Picture and titles alternately, in one bracket
// as opening a project does.
void FillLargeProject(TProject& Project, int32_t Clips, const std::string& Picture);
