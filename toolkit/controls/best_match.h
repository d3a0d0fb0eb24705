#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The index of the candidate in Texts that best matches Text, for
// completing typed text against a list (the lookup combo box) and for
// jumping to an entry by typing (the browser); -1 for an empty list.
//
// Both sides are upper-cased (ASCII letters) and split into the runs
// NaturalCompare uses. A candidate scores along the pairs of runs in order:
// two numeric runs of equal value count 1 and the count goes on, of unequal
// value end it; any other pair counts 1 per equal leading character and
// goes on only when the two runs are equal in full. Numbers compare as digit
// strings, so runs of any length work. The candidates are visited once each
// from Start, wrapping around; among the highest scores the first visited
// wins, unless a later one sorts (NaturalCompare) before the upper-cased
// Text and after the one taken so far, which then replaces it.
//
//   BestMatch("clip 1", {"Clip 10", "Clip 2", "Clip 1"}, 0) == 2
int32_t BestMatch(std::string_view Text, const std::vector<std::string>& Texts, int32_t Start);
