#include "suggest/letter_triples.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "engine/prepared_tables.h"
#include "engine/word_tables.h"
#include "lexivane/error.h"
#include "suggest/embedded_ranking_data.h"

namespace lexivane {
namespace {

TEST(LetterTriples, EmbedsTheImageOfTheListAsBuiltNow) {
  const std::span<const std::uint8_t> embedded = EmbeddedLetterTriplesImage();
  const std::vector<std::uint8_t> built = BuildLetterTriplesImage(SharedMainTables());
  EXPECT_TRUE(std::equal(embedded.begin(), embedded.end(), built.begin(), built.end()));
}

// Every listed word may be listed, and so may a string of common runs; runs no English word
// holds, at the edges too, rule a string out. The same for the embedded set and one built now.
TEST(LetterTriples, RuleOutOnlyWhatNoListedWordHolds) {
  const PreparedTables& tables = SharedMainTables();
  const LetterTriples built(tables);
  for (const LetterTriples* triples : {&SharedLetterTriples(), &built}) {
    for (std::int32_t i = 0; i < tables.word_count(); ++i) {
      ASSERT_TRUE(triples->MayBeListed(tables.Word(i))) << tables.Word(i);
    }
    EXPECT_TRUE(triples->MayBeListed("recieve"));  // no word, but every run is common
    for (const char* word : {"tqe", "qqa", "aaq'", "-ab", "ab-", "zxqv"}) {
      EXPECT_FALSE(triples->MayBeListed(word)) << word;
    }
  }
  EXPECT_FALSE(LetterTriples(PreparedTables()).MayBeListed("a"));
}

TEST(LetterTriples, RefusesAMalformedImage) {
  const std::vector<std::uint8_t> good = BuildLetterTriplesImage(SharedMainTables());
  std::vector<std::uint8_t> magic = good, symbols = good, reserved = good;
  magic[0] = 'X';
  symbols[offsetof(LetterTriplesHeader, symbols)] = 31;
  reserved[offsetof(LetterTriplesHeader, reserved)] = 1;
  std::vector<std::uint8_t> longer = good;
  longer.push_back(0);
  // The same bytes one int32 off the 8-byte alignment the bits need.
  std::vector<std::uint64_t> storage(good.size() / 8 + 1);
  auto* const shifted = reinterpret_cast<std::uint8_t*>(storage.data()) + 4;
  std::memcpy(shifted, good.data(), good.size());
  const std::span<const std::uint8_t> cases[] = {
      std::span(good).first(sizeof(LetterTriplesHeader) - 1),
      std::span(good).first(good.size() - 1),
      longer,
      magic,
      symbols,
      reserved,
      std::span(shifted, good.size()),
  };
  for (const std::span<const std::uint8_t> image : cases) {
    try {
      LetterTriples triples(image);
      ADD_FAILURE() << "read an image of " << image.size() << " bytes";
    } catch (const Error& error) {
      EXPECT_EQ(error.number(), kErrorCorruptWordTables);
    }
  }
}

}  // namespace
}  // namespace lexivane
