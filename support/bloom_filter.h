// A Bloom filter of two bits an item, its bits kept as 64-bit numbers (bit b at bit b % 64 of
// number b / 64, a power of two of them) so that it can be a section of a binary image
// (binary_image.h): the images of the typing ranking's data keep theirs so. An item is a 64-bit
// number that tells it apart (a packed key, a hash of a word), mixed here so that items alike in
// their high or their low bits set bits far apart. A filter answers true for every item added and
// false for most others: with n items in m bits, about (1 - e^(-2n/m))^2 of them.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace lexivane::support {

// The places of the two bits of `item` among `places` bits (a power of two): the finaliser of
// SplitMix64, whose low and high halves each give one.
inline std::array<std::uint64_t, 2> BloomPlaces(std::uint64_t item, std::uint64_t places) {
  item = (item ^ (item >> 30)) * 0xbf58476d1ce4e5b9u;
  item = (item ^ (item >> 27)) * 0x94d049bb133111ebu;
  item ^= item >> 31;
  return {item & (places - 1), (item >> 32) & (places - 1)};
}

inline void BloomAdd(std::span<std::uint64_t> filter, std::uint64_t item) {
  for (const std::uint64_t place : BloomPlaces(item, filter.size() * 64))
    filter[place / 64] |= std::uint64_t{1} << (place % 64);
}

inline bool BloomMayHold(std::span<const std::uint64_t> filter, std::uint64_t item) {
  const auto [first, second] = BloomPlaces(item, filter.size() * 64);
  return ((filter[first / 64] >> (first % 64)) & (filter[second / 64] >> (second % 64)) & 1) != 0;
}

}  // namespace lexivane::support
