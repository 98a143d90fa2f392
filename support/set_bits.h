// The set bits of a 64-bit number, counted in line. std::popcount, built for any x86-64 (whose
// oldest processors lack the popcnt instruction), calls a library routine instead; the searches
// that count bits do so once for every word they weigh.
#pragma once

#include <cstdint>

namespace lexivane::support {

constexpr int SetBits(std::uint64_t bits) {
  bits -= (bits >> 1) & 0x5555555555555555u;
  bits = (bits & 0x3333333333333333u) + ((bits >> 2) & 0x3333333333333333u);
  bits = (bits + (bits >> 4)) & 0x0f0f0f0f0f0f0f0fu;
  return static_cast<int>((bits * 0x0101010101010101u) >> 56);
}
static_assert(SetBits(0) == 0 && SetBits(~std::uint64_t{0}) == 64 &&
              SetBits(0x8000000000000101u) == 3);

}  // namespace lexivane::support
