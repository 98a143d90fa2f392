#include "support/word_bytes.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

namespace lexivane::support {
namespace {

// At every length around the loads' widths, a word equals itself wherever it lies and differs
// from a copy with any one byte changed, and each such copy hashes apart. Each word is copied
// to a buffer of exactly its size, so that a read beyond it shows under the address sanitizer.
TEST(WordBytes, EveryByteCountsAndNoneBeyondIsRead) {
  for (std::size_t length = 0; length <= 40; ++length) {
    SCOPED_TRACE(length);
    std::string word(length, ' ');
    for (std::size_t i = 0; i < length; ++i) word[i] = static_cast<char>('a' + i % 26);
    const auto exact = [](const std::string& text) {
      auto copy = std::make_unique<char[]>(text.size());
      text.copy(copy.get(), text.size());
      return copy;
    };
    const auto original = exact(word);
    const auto same = exact(word);
    EXPECT_TRUE(EqualBytes(original.get(), same.get(), length));
    std::set<std::uint64_t> hashes{HashBytes(original.get(), length)};
    EXPECT_EQ(HashBytes(same.get(), length), *hashes.begin());
    for (std::size_t at = 0; at < length; ++at) {
      std::string changed = word;
      changed[at] = static_cast<char>(changed[at] ^ 0x40);
      const auto other = exact(changed);
      EXPECT_FALSE(EqualBytes(original.get(), other.get(), length)) << at;
      EXPECT_TRUE(hashes.insert(HashBytes(other.get(), length)).second) << at;
    }
  }
}

}  // namespace
}  // namespace lexivane::support
