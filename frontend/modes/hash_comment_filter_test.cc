#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/modes/filter_test_words.h"
#include "frontend/modes/mode_filters.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

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

TEST(HashCommentFilter, QuotesAndBracketsDecideWhereACommentStarts) {
  Expect(KeepHashComments, {
                               // Escaped quotes do not close a string.
                               {"s = \"say \\\"#hi\\\"\" # real note", "real note"},
                               // A bracket comment closes only with as many `=` as opened it.
                               {"#[==[ one ]=] still ]==] x # two", "one still two"},
                               // `#[` without a bracket pair is a plain line comment.
                               {"#[ plain\nx #[=x y", "plain x y"},
                               // Comments in CRLF files and at the text's end.
                               {"# first\r\n# second", "first second"},
                           });
}

TEST(HashCommentFilter, M4AndIniHaveAMarkerOfTheirOwn) {
  Expect(KeepM4Comments, {
                             {"dnl Check for the compiler\nAC_INIT([x]) dnl the start",
                              "Check for the compiler the start"},
                             {"# hash too\nAC_SUBST(dnlx) xdnl ydnl_z", "hash too"},
                         });
  Expect(KeepIniComments,
         {
             {"; settings\n[core]\nname = x ; inline # and hash", "settings inline and hash"},
             {"path = a;b\nkey=v;w # note", "note"},
         });
}

}  // namespace
}  // namespace lexivane::frontend
