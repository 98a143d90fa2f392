#include "frontend/words/compound_words.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace lexivane::frontend {
namespace {

TEST(CompoundWords, TwoOrThreeWordsOfThreeLettersOrMore) {
  const std::set<std::string, std::less<>> words = {"file",  "dir", "tile", "source", "base",
                                                    "class", "lot", "fact", "well",   "get"};
  const auto accepts = [&](std::string_view part) { return words.contains(part); };
  const struct {
    std::string_view word;
    bool compound;
  } cases[] = {
      {"filedir", true},
      {"tilesource", true},
      {"baseclassfile", true},
      {"getbaseclass", true},
      {"filedirtilebase", false},  // four words
      {"alot", false},
      {"infact", false},
      {"aswell", false},  // a short part
      {"filedi", false},
      {"Filedir", false},
      {"file_dir", false},
      {"file", false},
      {"", false},
      {"dirdir", true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsCompoundOfWords(c.word, accepts), c.compound) << c.word;
}

}  // namespace
}  // namespace lexivane::frontend
