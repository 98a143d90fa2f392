// The length of the longest common subsequence of two byte strings, an upper bound on the
// matching characters of their gestalt match (the characters it matches form a common
// subsequence of both) that costs the product of the lengths over 64 rather than the match's
// own repeated searches.
//
// One row of the subsequence table is kept as bits over the shorter string, 64 to a machine
// word, and each byte of the longer string updates it with one addition and a few bitwise
// operations per word. Pure function; any thread.
#pragma once

#include <cstddef>
#include <string_view>

namespace lexivane {

std::size_t LongestCommonSubsequence(std::string_view a, std::string_view b);

}  // namespace lexivane
