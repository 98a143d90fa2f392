#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/modes/filter_test_words.h"
#include "frontend/modes/mode_filters.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

using Filter = void (*)(std::u16string&);

// A case: code, and the words its filter leaves, space-separated.
struct Case {
  std::string text;
  std::string words;
};

std::string WordsLeft(Filter filter, const std::string& utf8) {
  return FilteredWords(filter, FromUtf8(utf8), FilterChanges::kBlanksOnly);
}

void Expect(Filter filter, std::initializer_list<Case> cases) {
  for (const Case& c : cases) EXPECT_EQ(WordsLeft(filter, c.text), c.words) << c.text;
}

TEST(HashCommentFilter, HashCommentsOnlyOutsideStrings) {
  Expect(KeepHashComments,
         {
             {"#!/bin/sh\n# Install it\nls -l  # list files", "Install it list files"},
             {"echo \"# not a comment\" 'nor # this' # but this", "but this"},
             {"n=$# ; m=${#arr[@]} ; x=a#b", ""},
             {"key: don't stop # trailing note", "trailing note"},
             {"url = \"https://x\"  # see https://example.org", "see"},
             {"#[[ bracket\ncomment ]] set(X 1)", "bracket comment"},
             {"#[[one]] #[=[two]=] x # three", "one two three"},
             {"a: b # note\r\nc: d", "note"},
             {"#[[ never closed\nstill", "never closed still"},
         });
}

}  // namespace
}  // namespace lexivane::frontend
