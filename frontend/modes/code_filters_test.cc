#include <gtest/gtest.h>

#include <string>

#include "frontend/modes/filter_test_words.h"
#include "frontend/modes/mode_filters.h"
#include "frontend/words/running_words.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

using Filter = void (*)(std::u16string&);

// The words left to check, and the filter held to its contract on the way: same length, line
// ends where they were, and every other change a blank.
std::string WordsLeft(Filter filter, const std::string& utf8) {
  const std::u16string original = FromUtf8(utf8);
  std::u16string text = original;
  filter(text);
  EXPECT_EQ(text.size(), original.size()) << utf8;
  for (std::size_t i = 0; i < text.size() && i < original.size(); ++i) {
    if (text[i] == original[i]) continue;
    EXPECT_TRUE(text[i] == u' ' && original[i] != u'\n' && original[i] != u'\r')
        << utf8 << " @" << i;
  }
  return JoinedRunningWords(text);
}

struct Case {
  std::string text;
  std::string words;
};

void Expect(Filter filter, std::initializer_list<Case> cases) {
  for (const Case& c : cases) EXPECT_EQ(WordsLeft(filter, c.text), c.words) << c.text;
}

TEST(CodeFilters, HideUrlsHidesAddressesWholeAndLeavesTheSentence) {
  Expect(
      HideUrls,
      {
          {"see https://example.org/a_b?q=1#x.", "see"},
          {"(http://en.wikipedia.org/wiki/Foo_(bar)) ok", "ok"},
          {"“www.example.com”, then", "then"},
          {"mail mailto:joe@example.org or joe.bloggs+x@mail.example.co.uk!", "mail or"},
          {"in /usr/share/doc, ~/.config/lexivane and ./build or ../up", "in and or"},
          {"C:\\Users\\jo\\x.txt and D:/tmp", "and"},
          {"read docs/modes.md and README.md at example.com/about", "read and at"},
          {"and/or, km/h, e.g. this, i.e. that, end.", "and or km h e g this i e that end"},
          {"x=/etc/passwd", "x"},
          {"unfinished http://", "unfinished"},
          {"see http://x.org/a))) or (https://x.org/(b))).", "see or"},
          {"long prose before it\u00a0\u00abdocs/modes.md\u00bb ends", "long prose before it ends"},
          {"caf\u00e9/menu.txt, a:b.c and x@y then words.md",
           "caf\u00e9 menu txt a b c and x y then"},
      });
}

TEST(CodeFilters, HideUrlsInAPartReadsOnlyThatPart) {
  struct PartCase {
    std::string text;
    std::size_t begin, end;
    std::string words;
  };
  const PartCase cases[] = {
      {"a.md then b.md", 0, 4, "then b md"},     // only the part's address
      {"see notes.md5 now", 0, 12, "see now"},   // a run is cut at the part's end
      {"xnotes.md now", 1, 13, "x now"},         // and starts at its start
      {"one/two.md three", 4, 16, "one three"},  // what comes before does not join it
      {"https://example.org/a b", 8, 23, "https b"},
  };
  for (const PartCase& c : cases) {
    std::u16string text = FromUtf8(c.text);
    HideUrls(text, c.begin, c.end);
    EXPECT_EQ(JoinedRunningWords(text), c.words) << c.text;
  }
}

TEST(CodeFilters, CFamilyKeepsCommentsAndStringProse) {
  Expect(KeepCFamilyCommentsAndStrings,
         {
             {"int count = 0;  // the number of sheep", "the number of sheep"},
             {"/** Counts sheep.\n * @param herd_size how many\n * @return the count */",
              "Counts sheep how many the count"},
             {"/// \\brief Adds.\n/// \\param[in] lhs left side", "Adds left side"},
             {"printf(\"\\nHello %-8.2lf world %s\\n\", x);", "Hello world"},
             {"auto s = R\"xy(raw )\" text)xy\"; f();", "raw text"},
             {"let s = r#\"a \"quoted\" note\"#; let t = 'a';", "a quoted note"},
             {"fn f<'a>(x: &'a str) -> &'static str { \"Good day\" }", "Good day"},
             {"const t = `Sum of ${a + b} items`; const u = 'Bye now';", "Sum of items Bye now"},
             {"var s = @\"C# \"\"verbatim\"\" text\"; var r = \"\"\"\nRaw block\n\"\"\";",
              "C verbatim text Raw block"},
             {"#include <stdio.h>  // standard io\n#define MAX_LEN 10 /* limit */\nint x;",
              "standard io limit"},
             {"#error \"Recieve failed\"\n#pragma message(\"Recieve this\")\n#include \"a.h\"\n"
              "# warning It can't work\n#pragma GCC error \"Stop now\"\n#pragma once",
              "Recieve failed Recieve this It can't work Stop now"},
             {"x = 1'000'000; c = '\\n'; d = L'x';", ""},
             {"open(\"rb\"); getenv(\"HOME\"); label(\"Cancel\");", "Cancel"},
             // A placeholder and a blank before a word make a message, not a key.
             {"printf(\"%d fiels\\n\", n); fmt.Printf(\"%v gone\", x); println!(\"{} lost\", x);"
              " format!(\"{x} left\"); `${n} more`; f(\"%s\", \"{}\", `${HOME}`, \"%dkeys\")",
              "fiels gone lost left more"},
             {"// use `max_safe_integer` or getValue() and std::move, not p->next\n",
              "use or and not"},
             {"/// Example:\n/// ```\n/// let v = vec![1];\n/// ```\n/// Done.", "Example Done"},
             {"/** <ul><li>Lists</li></ul> <tt>plain</tt> <kbd>Ctrl</kbd> <a href=\"p.html\">"
              "link</a></p>\n * <pre>\n * int kept;\n * </pre> &lt;T&gt; */",
              "Lists link T"},
             {"/// @code\n/// let v = 1;\n/// @endcode\n/// Sum \\f$ x^2 \\f$ and \\f[ y \\f]"
              " or\n/// \\verbatim raw\n/// text \\endverbatim done, at me@code.org",
              "Sum and or done at"},
             {"// wrap in <pre> tags or ```\nint x;\n// later words", "wrap in later words"},
             {"// see https://example.org/x and /usr/include/stdio.h", "see and"},
             {"// words a.b.cc then .dotted, a long way on to obj.member x::y_z p->q Done"
              " Then a HashMap, an eTag or an ABC.",
              "words then dotted a long way on to member Done Then a an or an ABC"},
             {"fmt.Printf(\"%v items in {0} and {name}\\t\", n)", "items in and"},
             {"s = \"unterminated string\nint next_line;", "unterminated string"},
             {"/* never closed\nstill comment", "never closed still comment"},
             // Many on one line, each read to its own end.
             {"/* one */ x /* two */ y /* three `z` */ w", "one two three"},
             {"// a ``b ` c`` d ``` e ` f ` g", "a d e g"},
             {"// `h``` i` j ``b ` c`` k", "b k"},  // the rest of a closer opens
             {"c = '\\' \\' \\' x; // noted here", "noted here"},
             {"/* {@x {@y see {@link C} here */", "here"},
         });
}

TEST(CodeFilters, HashCommentsOnlyOutsideStrings) {
  Expect(KeepHashComments,
         {
             {"#!/bin/sh\n# Install it\nls -l  # list files", "Install it list files"},
             {"echo \"# not a comment\" 'nor # this' # but this", "but this"},
             {"n=$# ; m=${#arr[@]} ; x=a#b", ""},
             {"key: don't stop # trailing note", "trailing note"},
             {"url = \"https://x\"  # see https://example.org", "see"},
             {"#[[ bracket\ncomment ]] set(X 1)", "bracket comment"},
             {"#[[one]] #[=[two]=] x # three", "one two three"},
         });
}

TEST(CodeFilters, ShellKeepsCommentsStringsAndHereDocuments) {
  Expect(KeepShellCommentsAndStrings,
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
             {"x=$((1 << n)); (( y <<= 2 )); z=$(( a << b ))\n# shifts, not here-documents",
              "shifts not here documents"},
         });
}

TEST(CodeFilters, PythonKeepsCommentsDocstringsAndStrings) {
  Expect(KeepPythonCommentsAndStrings,
         {
             {"def f(x):\n    \"\"\"Return the sum.\n\n    >>> f(1)\n    2\n    \"\"\"",
              "Return the sum"},
             {"x = f'Total {count:>8} items' + rb'\\d+' + u\"\\nHello\"", "Total items Hello"},
             {"raise ValueError('%(name)s is invalid: %d' % v)  # keep going",
              "is invalid keep going"},
             {"\"\"\":param max_len: the limit\n:returns: the value\"\"\"", "the limit the value"},
             {"\"\"\"Sum.\n\n    Args:\n        count (int, optional): How many.\n"
              "          Or: none.\n        *args: Extra ones.\n    Parameters\n    ----------\n"
              "    xs, ys : list, optional\n        Its values.\n    Notes\n    -----\n"
              "    Then prose : here\"\"\"",
              "Sum Args How many Or none Extra ones Parameters Its values Notes Then prose here"},
             {"s = 'two words'; t = r'C:\\dir\\n'  # see `os.path`", "two words see"},
             {"print(f\"{n} fiels\", \"{} neccessary {}\".format(a, b), f\"{x}\", 'utf-8')",
              "fiels neccessary"},
             {"x = '''never closed\nstill string", "never closed still string"},
             {"'''one more''' \"\"\"two more\n>>> x\"\"\" # three `four` five",
              "one more two more three five"},
         });
}

TEST(CodeFilters, TokensAreFoundWhereverTheyFallInTheText) {
  struct ShiftCase {
    Filter filter;
    std::string code;
    std::string words;
  };
  const ShiftCase cases[] = {
      {KeepCFamilyCommentsAndStrings, " /* a * wrod **/ s = \"one more\"; r = 2; // two",
       "a wrod one more two"},
      {KeepPythonCommentsAndStrings, " # wrod\nx = 'one more' + \"two more\"",
       "wrod one more two more"},
      {KeepShellCommentsAndStrings, " # wrod\necho 'one more' \"$x two more\"",
       "wrod one more two more"},
  };
  for (const ShiftCase& c : cases) {
    for (std::size_t shift = 0; shift < 18; ++shift) {
      EXPECT_EQ(WordsLeft(c.filter, std::string(shift, '_') + c.code), c.words) << shift;
    }
  }
}

TEST(CodeFilters, OddInputNeverBreaksTheContract) {
  const Filter filters[] = {HideUrls, KeepCFamilyCommentsAndStrings, KeepHashComments,
                            KeepShellCommentsAndStrings, KeepPythonCommentsAndStrings};
  const char* odd[] = {"",
                       "\"",
                       "'",
                       "`",
                       "/*",
                       "//",
                       "#",
                       "R\"x(",
                       "r#\"",
                       "@\"",
                       "\"\"\"",
                       "'''",
                       "f'{",
                       "`${",
                       "a\\",
                       "%",
                       "{",
                       "\r\n#x\r\n",
                       "\xe2\x80\x9cx@y.z",
                       "http://",
                       "mailto:",
                       "~",
                       "C:",
                       "#[=[",
                       "/**/'\\'",
                       "\"$(",
                       "${",
                       "$",
                       "<<",
                       "<<'",
                       "<<E\n",
                       "\"`\\"};
  for (Filter filter : filters) {
    for (const char* text : odd) WordsLeft(filter, text);
  }
}

}  // namespace
}  // namespace lexivane::frontend
