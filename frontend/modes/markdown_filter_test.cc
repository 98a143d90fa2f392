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

TEST(MarkdownFilter, MarkdownReadsInlineConstructsToTheirEdges) {
  ExpectWords(
      HideMarkdownMarkup,
      {
          // Code spans: the closer is a run of the same length; a longer or shorter run inside
          // is code; a run with no closer of its length is text.
          {u"a ```x `` y``` b ``` c", "a b c"},
          {u"``` `` `x` ``` after", "after"},
          // Autolinks: a scheme (`<a:b>` is a tag) or a local part before `@`; else text.
          {u"<a:b> <ftp://x.org/f> <me.you@x.org> <x@> <@x> <1http://x>", "x 1http x"},
          // Images, links with titles in each quote, nested brackets in the text, a definition
          // with a title on the next line, a reference whose label is a footnote.
          {u"![alt *emph*](i.png 'T1') [x](u (T2)) [[a] b](c)", "alt emph T1 x T2 a b"},
          {u"[label]:\n  https://x.org/l\n  \"Title\"", "Title"},
          {u"[Ref]: <a b.html> 'Quoted'\n[^long note]: not a footnote",
           "Quoted long note not a footnote"},
          {u"text[^1] and[^two-words] [^]", "text and"},
          // Underscores at a word's edge are emphasis, inside one they join it.
          {u"__init__ _a_b_ ***c***", "init a_b c"},
          // Escapes of every kind stand for the character; a backslash before a letter stays.
          {u"\\# not a heading \\[not link\\](x) \\`tick\\` a\\b",
           "not a heading not link x tick a b"},
          // HTML inline: a tag split over lines, an attribute with `>` in quotes, one that is no
          // tag; references decoded.
          {u"a <span\ntitle=\"T\">b</span> <abbr title=\"x>y\">c</abbr> 3<4 d", "a T b x y c d"},
          {u"na&iuml;ve &#8217;quoted&#8217; &copy;2024 &#x27;s", "na\u00efve quoted s"},
          // Tables: pipes hidden, cells read, escaped pipes kept apart.
          {u"a | b\n:-|-:\n`c|d` | e\\|f", "a b e f"},
      });
  ExpectWords(
      HideMarkdownMarkup,
      {
          // Headings: up to six markers, a blank after them, closing markers only after
          // a blank.
          {u"####### seven\n#NoSpace\n# Title #hash\n## Closed ##   ",
           "seven NoSpace Title hash Closed"},
          // Front matter only at the very start, and not after a blank first line.
          {u"\n---\ntitle: x\n---\nbody", "title x body"},
          {u"+++\nopen toml", "open toml"},
          // Fences: longer closers close, shorter or indented ones and ones with text
          // after them do not, a tilde fence takes backticks in its info string.
          {u"````\n```\nstill\n````\nout", "out"},
          {u"```\ncode\n``` not closing\nstill code", ""},
          {u"~~~ `info`\ncode\n~~~\nout", "out"},
          {u"- a\n  ```\n  code\n  ```\n- b", "a b"},
          // HTML blocks: raw text to its end tag across blank lines, a block tag ended
          // by a blank line, a processing instruction, a declaration, CDATA.
          {u"<script>\nvar a;\n\nvar b;\n</script>\nafter", "after"},
          {u"<table><tr><td>Cell</td></tr>\n</table>\n\nPara", "Cell Para"},
          {u"<?php\necho 1;\n?>\nafter <!DOCTYPE html>\n\n<![CDATA[\nkept\n]]>", "after kept"},
          // Lists: ordered markers up to nine digits, a marker with no blank after it.
          {u"123456789. nine\n1234567890. ten\n-not a list\n+ plus", "nine ten not a list plus"},
      });
}

}  // namespace
}  // namespace lexivane::frontend
