#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/modes/filter_test_words.h"
#include "frontend/modes/mode_filters.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

TEST(ShellFilter, ShellKeepsCommentsStringsAndHereDocuments) {
  Expect(
      KeepShellCommentsAndStrings,
      {
          {"#!/bin/sh\n# Install it\nls -l  # list files", "Install it list files"},
          {"echo \"Updating files in $DIR...\" 'and # these'", "Updating files in and these"},
          {"echo \"Found ${#list[@]} of $1 in ${x:-\"the default\"}, $(wc -l \"$f\")\"",
           "Found of in"},
          {"echo $\"error: you cannot read\" \"`cat \\`x\\``\" $'tab\\there'",
           "error you cannot read tab here"},
          {"printf '%s: no such file\\n' \"$0\" >&2", "no such file"},
          {"[ \"$v\" = 0 ] || ARG=\"--verbose\"; cd 'build'; x=\"HOME\"", ""},
          {"echo \"$n fiels\" \"${x} begining\" \"${HOME}\" \"$1\" \"$HOME/bin\"",
           "fiels begining"},
          {"n=$# ; m=${#arr[@]} ; x=a#b ; y=${p#'*'} # note", "note"},
          {"msg=$(gettext \"Good morning\") # greet\nnext", "Good morning greet"},
          {"trap 'rm -rf \"$tmp\"' EXIT; eval \"$x --quiet\"; su -c 'ls -l' me; echo 'one more'"
           "\nx=$(ssh host 'cat /etc/x'); bash -lc \"make it\" && echo \"two -c\" 'three more'",
           "one more two c three more"},
          {"echo \"see https://example.org and /usr/bin/ldd\"", "see and"},
          {"echo \"one\ntwo\" \\'not a string", "one two"},
          // Here-documents: read as strings, expansions hidden unless the word is quoted.
          {"cat <<EOF\nUsage: $0 [options] files\nEOF\necho 'all done'",
           "Usage options files all done"},
          {"cat <<-'END' >x; cat <<<\"$y\"\n\tLiteral $HOME text\n\tEND\n# done",
           "Literal HOME text done"},
          {"cat <<A <<\"B\"\nfirst one\nA\nsecond one\nB\n", "first one second one"},
          {"cat <<EOF\nnever closed # here", "never closed here"},
          // A block of comment lines, indented or not, is one comment; not the body of a
          // here-document announced on the line of a comment.
          {"  # one `two\n\t#  three` four\n#\nx=1 # five\n# six", "one two three four five six"},
          {"cat <<EOF # a note\n# body $HOME line\nEOF\n# after", "a note body line after"},
          {"x=$((1 << n)); (( y <<= 2 )); z=$(( a << b ))\n# shifts, not here-documents",
           "shifts not here documents"},
          {"cat <<EOF\r\nbody text\r\nEOF\r\necho 'x y'", "body text x y"},
          {"echo \"a $(echo \"b $(c)\") d\"", "a d"},
          {"echo \"open $(", "open"},
      });
}

TEST(ShellFilter, ReadsEachQuotingToItsEnd) {
  Expect(KeepShellCommentsAndStrings,
         {
             // Here-documents: tabs stripped before the delimiter with <<-, a delimiter quoted in
             // part or escaped, a body whose delimiter is indented without <<- (no end).
             {"cat <<-EOF\n\tTabbed $x text\n\tEOF\necho 'all done'", "Tabbed text all done"},
             {"cat <<E\"OF\"\nPart quoted $HOME\nEOF\ncat <<\\END\nEscaped $x\nEND",
              "Part quoted HOME Escaped x"},
             {"cat <<EOF\nbody\n  EOF\nstill body", "body EOF still body"},
             // ANSI-C strings end at an unescaped quote; single quotes at the next quote.
             {"echo $'it\\'s here' 'no \\' escapes", "it s here no"},
             // Nested substitutions, backticks and arithmetic inside strings are code; the strings
             // of a command substitution outside a string are prose.
             {"echo \"x $(a \"$(b 'c')\") y `d \"e\"` z $((1+2)) w\"", "x y z w"},
             {"x=`echo \"in backticks\"`", "in backticks"},
             // A `#` starts a comment only at a word's start.
             {"echo a#b c # real\necho ${#x} $# #also", "real also"},
         });
}

}  // namespace
}  // namespace lexivane::frontend
