#include "frontend/project/learned_words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lexivane::frontend {
namespace {

// A word of the findings is a name of the code when the text holds it more often than the prose
// did: as a word or as a part of a name, in any letter case; never inside a longer part.
TEST(LearnedWords, NamesOfCodeAreWordsTheTextHoldsBesideItsProse) {
  const struct {
    const char16_t* text;
    std::uint32_t in_prose;  // of "zalloc"
    bool in_code;
  } cases[] = {
      {u"/* zalloc */ void *zalloc(int n);", 1, true},
      {u"/* zalloc */ p = zallocFunc(ZALLOC_MAX);", 1, true},
      {u"/* zalloc and zalloc */ int x;", 2, false},
      {u"/* zalloc */ int zallocate, myzalloc, zallocs;", 1, false},
      {u"/* zalloc */ x = get_zalloc2();", 1, true},
  };
  for (const auto& c : cases) {
    FileWords::Words words;
    words["zalloc"].in_prose = c.in_prose;
    words["frob"].in_prose = 1;
    MarkNamesOfCode(c.text, words);
    EXPECT_EQ(words["zalloc"].in_code, c.in_code) << static_cast<int>(&c - cases);
    EXPECT_FALSE(words["frob"].in_code);
  }
}

// Candidates: names of code in any file, other words from kRecurringFiles files on, each once
// and sorted.
TEST(LearnedWords, CandidatesAreNamesOfCodeAndWordsOfSeveralFiles) {
  WordTally tally;
  for (std::uint32_t file = 0; file < kRecurringFiles; ++file) {
    FileWords::Words words;
    words["recurring"].in_prose = 1;
    if (file == 0) {
      words["named"].in_prose = 1;
      words["named"].in_code = true;
    }
    if (file + 1 < kRecurringFiles) words["fewer"].in_prose = 2;
    tally.Add(words);
  }
  EXPECT_EQ(tally.Candidates(), (std::vector<std::string>{"named", "recurring"}));
}

// A word of identifiers is a name candidate once kRecurringNames distinct names hold it, over
// all files: one name written in many places counts once, and a finding in prose not at all.
TEST(LearnedWords, NameCandidatesAreWordsOfSeveralDistinctNames) {
  const Document document{"a.c", DocumentMode::kCFamily, CodeIdentifiers::kChecked};
  // Files of KEYC_UP and recieve_all, and then of `names` more names of `keyc`.
  const auto candidates = [&](std::size_t names) {
    std::vector<std::u16string> files = {
        u"KEYC_UP + KEYC_UP + recieve_all(x); // keyc\n",
        u"KEYC_UP + recieve_all + keyc_lookup(recieve_all)",
        u"",
    };
    for (std::size_t i = 0; i < names; ++i)
      files[2] += u"KEYC_F" + std::u16string(1, u'A' + i) + u";";
    WordTally tally;
    for (const std::u16string& text : files) {
      FileWords words;
      words.ReadText(text);
      // Reports the first `length` letters of each place of `found`.
      const auto find = [&](std::u16string_view found, std::size_t length, bool in_identifier) {
        for (std::size_t at = text.find(found); at != text.npos; at = text.find(found, at + 1)) {
          const std::string utf8(found.begin(), found.begin() + length);
          words.Report(document, {at, length, utf8, utf8, in_identifier});
        }
      };
      find(u"KEYC", 4, true);
      find(u"keyc_", 4, true);
      find(u"recieve", 7, true);
      find(u"keyc\n", 4, false);  // in a comment
      tally.Add(words.Take());
    }
    return tally.NameCandidates();
  };
  // KEYC_UP and keyc_lookup, and the rest.
  EXPECT_EQ(candidates(kRecurringNames - 3), std::vector<std::string>{});
  EXPECT_EQ(candidates(kRecurringNames - 2), std::vector<std::string>{"keyc"});
}

}  // namespace
}  // namespace lexivane::frontend
