#include "suggest/common_subsequence.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "support/set_bits.h"

namespace lexivane {

std::size_t LongestCommonSubsequence(std::string_view a, std::string_view b) {
  if (a.size() < b.size()) std::swap(a, b);
  if (b.empty()) return 0;
  // Bit j of row stands for position j of b; a zero bit marks a position that ends a longer
  // common subsequence than the one before it, so the zeros count the length. positions[c]
  // has bit j set where b[j] == c.
  const std::size_t words = (b.size() + 63) / 64;
  std::vector<std::uint64_t> positions(256 * words, 0);
  for (std::size_t j = 0; j < b.size(); ++j) {
    positions[static_cast<unsigned char>(b[j]) * words + j / 64] |= std::uint64_t{1} << (j % 64);
  }
  std::vector<std::uint64_t> row(words, ~std::uint64_t{0});
  for (const char byte : a) {
    const std::uint64_t* matches = &positions[static_cast<unsigned char>(byte) * words];
    // row = (row + (row & matches)) | (row & ~matches), the addition carried across words.
    std::uint64_t carry = 0;
    for (std::size_t k = 0; k < words; ++k) {
      const std::uint64_t old = row[k];
      const std::uint64_t matched = old & matches[k];
      const std::uint64_t with_carry = old + carry;
      const std::uint64_t sum = with_carry + matched;
      carry = (with_carry < carry) | (sum < matched);
      row[k] = sum | (old & ~matches[k]);
    }
  }
  // Bits above b's length stay set, since no byte matches there and `old & ~matches` keeps them.
  std::size_t length = 0;
  for (const std::uint64_t bits : row) length += static_cast<std::size_t>(support::SetBits(~bits));
  return length;
}

}  // namespace lexivane
