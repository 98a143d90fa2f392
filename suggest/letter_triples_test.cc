#include "suggest/letter_triples.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
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

// Every listed word may be listed and passes the words' filter, and so may a string of common
// runs; runs no English word holds, at the edges too, rule a string out. The same for the
// embedded set and one built now.
TEST(LetterTriples, RuleOutOnlyWhatNoListedWordHolds) {
  const PreparedTables& tables = SharedMainTables();
  const LetterTriples built(tables);
  for (const LetterTriples* triples : {&SharedLetterTriples(), &built}) {
    for (std::int32_t i = 0; i < tables.word_count(); ++i) {
      ASSERT_TRUE(triples->MayBeListed(tables.Word(i))) << tables.Word(i);
      ASSERT_TRUE(triples->PassesWordFilter(tables.Word(i))) << tables.Word(i);
    }
    // The filter turns away nearly all strings of common runs that are no word: here each
    // letter put in anywhere in a few words.
    int tried = 0, passed = 0;
    for (const std::string word : {"recieve", "seperately", "acomodate", "tomorow"}) {
      for (std::size_t at = 0; at <= word.size(); ++at) {
        for (const char letter : kRunLetters) {
          const std::string edit = word.substr(0, at) + letter + word.substr(at);
          if (!triples->MayBeListed(edit) || tables.Find(edit) >= 0) continue;
          ++tried;
          passed += triples->PassesWordFilter(edit);
        }
      }
    }
    EXPECT_GT(tried, 100);
    EXPECT_LT(passed * 10, tried);
    EXPECT_TRUE(triples->MayBeListed("recieve"));  // no word, but every run is common
    for (const char* word : {"tqe", "qqa", "aaq'", "-ab", "ab-", "zxqv"}) {
      EXPECT_FALSE(triples->MayBeListed(word)) << word;
    }
  }
  EXPECT_FALSE(LetterTriples(PreparedTables()).MayBeListed("a"));
}

// The test of one word's edits answers as the test of each edit spelled out: deletions, swaps,
// two swaps, and every letter in every place, for words whose missing runs lie at the start, in
// the middle, at the end or nowhere, with other bytes and at the shortest.
TEST(LetterTriples, TestEditsOfOneWordAsSpelledOut) {
  const LetterTriples& triples = SharedLetterTriples();
  for (const std::string word : {"recieve", "tqeory", "seperatlyq", "xz", "ab", "don't",
                                 "well-known", "caf\xe9", "q1x", "acomodate"}) {
    const EditedWordTriples edited(triples, word);
    const std::size_t n = word.size();
    const auto expect = [&](const std::string& edit, bool answer, const char* what) {
      EXPECT_EQ(answer, triples.MayBeListed(edit)) << word << " " << what << " " << edit;
    };
    for (std::size_t i = 0; i < n; ++i) {
      std::string edit = word.substr(0, i) + word.substr(i + 1);
      expect(edit, edited.MayBeListed(edit, i, n - i - 1), "deleted");
      for (std::size_t j = i + 1; j < n; ++j) {
        edit = word;
        std::swap(edit[i], edit[i + 1]);
        if (j + 1 < n) std::swap(edit[j], edit[j + 1]);
        expect(edit, edited.MayBeListed(edit, i, n - std::min(j + 1, n - 1) - 1), "swapped");
      }
      for (std::size_t k = 0; k < kRunLetters.size(); ++k) {
        edit = word;
        edit[i] = kRunLetters[k];
        expect(edit, ((edited.Replacing(i) >> (k + 1)) & 1) != 0, "replaced");
      }
    }
    for (std::size_t i = 0; i <= n; ++i) {
      for (std::size_t k = 0; k < kRunLetters.size(); ++k) {
        const std::string edit = word.substr(0, i) + kRunLetters[k] + word.substr(i);
        expect(edit, ((edited.PuttingIn(i) >> (k + 1)) & 1) != 0, "put in");
      }
    }
  }
}

TEST(LetterTriples, RefusesAMalformedImage) {
  const std::vector<std::uint8_t> good = BuildLetterTriplesImage(SharedMainTables());
  std::vector<std::uint8_t> magic = good, symbols = good, reserved = good;
  magic[0] = 'X';
  symbols[offsetof(LetterTriplesHeader, symbols)] = 31;
  reserved[offsetof(LetterTriplesHeader, reserved)] = 1;
  std::vector<std::uint8_t> longer = good;
  longer.push_back(0);
  // The same bytes two off the 4-byte alignment the masks need.
  std::vector<std::uint32_t> storage(good.size() / 4 + 1);
  auto* const shifted = reinterpret_cast<std::uint8_t*>(storage.data()) + 2;
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
