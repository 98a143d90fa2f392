#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/modes/filter_test_words.h"
#include "frontend/modes/mode_filters.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

TEST(MarkdownFilter, MarkdownHidesCodeAndTargets) {
  ExpectWords(
      HideMarkdownMarkup,
      {
          {u"a `code` b ``x ` y`` c", "a b c"},
          {u"a `unmatched b", "a unmatched b"},
          {u"a `span\nacross` b\n\nc `not\n\nacross` d", "a b c not across d"},
          {u"```cpp\nint xyz;\n```\nafter", "after"},
          {u"~~~\ncode\n~~\nstill code\n~~~~\nafter", "after"},
          {u"text\n```\nunterminated runs\nto the end", "text"},
          {u"```inline``` not a fence", "not a fence"},
          {u"para\n\n    indented code\n\npara", "para para"},
          {u"para\n    lazy continuation", "para lazy continuation"},
          {u"# Title\n    code after a heading\n```\nx\n```\n    and a fence\n\nend", "Title end"},
          {u"- item\n\n  more of item\n\n      item code", "item more of item"},
          {u"1. first\n2) second\n- [x] done\n- [ ] open", "first second done open"},
          {u"A [link text](https://x.org/p \"Its title\") and ![alt text](a.png).",
           "A link text Its title and alt text"},
          {u"[a](<with space.html>) [b](p(1).html) [c](x 'single') [d]()", "a b c single d"},
          {u"[text][ref] [other][] [shortcut]", "text other shortcut"},
          {u"[ref]: https://x.org/r \"Ref title\"\n[^note]: Footnote text[^note].",
           "Ref title Footnote text"},
          {u"[a](b [c](d) e [f]([g](h)) i [j]([k](l m", "a b c e f i j k l m"},
          {u"[^a [^b] c [^[^d] e", "a c e"},
          {u"<https://x.org/a_b> <me@x.org> a<b", "a b"},
          {u"see https://x.org/path_one?q=1, www.x.org/w). and afterwards", "see and afterwards"},
          {u"see http://x.org/a)) and (www.x.org/(b))).", "see and"},
          {u"http in text, www", "http in text www"},
          // Line ends written CRLF, constructs left open at the text's end, nesting.
          {u"```\r\ncode\r\n```\r\nafter\r\n", "after"},
          {u"~~~\nx\n~~~~~\nafter `code", "after code"},
          {u"a ``b", "a b"},
          {u"[a](b", "a b"},
          {u"> - item\n>   more\n>\n>       quoted code", "item more"},
      });
}

TEST(MarkdownFilter, MarkdownHidesMarkers) {
  ExpectWords(HideMarkdownMarkup,
              {
                  {u"---\ntitle: Front\nlayout: post\n---\nBody", "Body"},
                  {u"+++\ntitle = \"x\"\n+++\nBody", "Body"},
                  {u"---\nnot closed front matter", "not closed front matter"},
                  {u"---\r\ntitle: Front\r\n---\r\nBody", "Body"},
                  {u"Para\n\n---\nkey: value\n---", "Para key value"},
                  {u"## Heading ##\n#hashtag #", "Heading hashtag"},
                  {u"_emphasis_ __strong__ *a* **b** ~~gone~~ snake_case x_",
                   "emphasis strong a b gone snake_case x"},
                  {u"snake\\_case \\*stars\\* \\\\", "snake_case stars"},
                  {u"> quoted\n>> nested", "quoted nested"},
                  {u"| col | col2 |\n|-----|:---:|\n| a_b | c |", "col col2 a_b c"},
                  {u"caf&eacute; AT&amp;T don&rsquo;t &bogus;", "caf\u00E9 AT T don't"},
              });
}

TEST(MarkdownFilter, MarkdownReadsItsHtml) {
  ExpectWords(
      HideMarkdownMarkup,
      {
          {u"Inline <span class=\"k\">text</span> and <code>hidden</code> done",
           "Inline text and done"},
          {u"<div align=\"center\">\n<img src=\"l.png\" alt=\"Logo alt\">\n</div>\n\nafter",
           "Logo alt after"},
          {u"<pre>\ncode\n\nstill code\n</pre>\nafter", "after"},
          {u"<!-- a\n\ncomment -->\nafter", "after"},
          {u"<!-- never closed\n\nall hidden", ""},
          {u"x <!-- open inline comment\n\nnext", "x open inline comment next"},
          {u"a <b title=\"tip\">bold</b> <i title=\"un\nclosed", "a tip bold i title un closed"},
          {u"a <!x [ <b>bold</b> ]> c", "a x bold c"},  // no internal subset inline
      });
}

}  // namespace
}  // namespace lexivane::frontend
