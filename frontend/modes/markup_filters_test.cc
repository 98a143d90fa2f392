#include <gtest/gtest.h>

#include <random>
#include <string>

#include "frontend/modes/filter_test_words.h"
#include "frontend/modes/mode_filters.h"
#include "frontend/words/running_words.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

enum class Format { kMarkdown, kHtml, kXml };

void Filter(Format format, std::u16string& text) {
  switch (format) {
    case Format::kMarkdown:
      return HideMarkdownMarkup(text);
    case Format::kHtml:
      return HideHtmlMarkup(text, false);
    case Format::kXml:
      return HideHtmlMarkup(text, true);
  }
}

// Filters `text`, holds the result to the offset contract, and returns the words it leaves.
std::string Words(Format format, std::u16string text) {
  const std::u16string original = text;
  Filter(format, text);
  EXPECT_EQ(text.size(), original.size());
  for (std::size_t i = 0; i < std::min(text.size(), original.size()); ++i) {
    const bool line_end = original[i] == u'\n' || original[i] == u'\r';
    EXPECT_EQ(line_end, text[i] == original[i] && line_end) << "at " << i;
  }
  return JoinedRunningWords(text);
}

struct Case {
  std::u16string text;
  std::string words;
};

void ExpectWords(Format format, const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(Words(format, c.text), c.words) << ToUtf8(c.text);
}

TEST(MarkupFilters, MarkdownHidesCodeAndTargets) {
  ExpectWords(
      Format::kMarkdown,
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
      });
}

TEST(MarkupFilters, MarkdownHidesMarkers) {
  ExpectWords(Format::kMarkdown,
              {
                  {u"---\ntitle: Front\nlayout: post\n---\nBody", "Body"},
                  {u"+++\ntitle = \"x\"\n+++\nBody", "Body"},
                  {u"---\nnot closed front matter", "not closed front matter"},
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

TEST(MarkupFilters, MarkdownReadsItsHtml) {
  ExpectWords(
      Format::kMarkdown,
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

TEST(MarkupFilters, HtmlHidesTagsButReadableValues) {
  ExpectWords(Format::kHtml,
              {
                  {u"<p class=\"lead\" data-x='q' hidden>Hello</p>", "Hello"},
                  {u"<img src=a.png alt=\"Alt text\" title='Tip'><input placeholder=Type "
                   u"aria-label=\"Says\""
                   u" value=\"val\">",
                   "Alt text Tip Type Says"},
                  {u"<img alt=\"caf&eacute;\">", "caf\u00E9"},
                  {u"<script>var xyz = \"<b>\";</script>a<style>p{}</style>b<SCRIPT src=x>", "a b"},
                  {u"<pre><code>int <b>x</b></code></pre> after <kbd>Ctrl</kbd> <var>n</var> "
                   u"<samp>s</samp>",
                   "after"},
                  {u"<!DOCTYPE html [ <!ENTITY e \"a>b\"> ]><!-- c --><?xml v?>text", "text"},
                  {u"a <!-- never closed", "a"},
                  {u"a <p title=\"never closed", "a never closed"},
                  {u"a < b, a<b", "a b a"},
                  {u"x <math display=\"block\"><mi>qx</mi><mo>+</mo><mn>1</mn></MATH> y", "x y"},
                  {u"<p>See https://x.org/a_b, me@x.org and /usr/share.</p> x.org/?a=1&amp;bc=2"
                   u"&nbsp;next &lt;www.x.org&gt; <img alt=\"Logo of x.org/logo.png\">",
                   "See and next Logo of"},
                  {u"<![CDATA[cdata words]]>", "cdata words"},
              });
  ExpectWords(
      Format::kXml,
      {
          {u"<?xml version=\"1.0\"?><doc placeholder=\"p\" title=\"T\"><code>read</code></doc>",
           "T read"},
          {u"<x:para xmlns:x=\"urn:y\">Text<![CDATA[ <not> a tag ]]></x:para>", "Text not a tag"},
          {u"<para>See https://x.org/a_b or docs/modes.md</para>", "See or"},
          {u"<p>x <m:math><m:mi>qx</m:mi></m:math> y <math><mi>z</mi></math></p>", "x y"},
      });
}

TEST(MarkupFilters, ReferencesBecomeWhatReadersSee) {
  const struct {
    std::u16string text;
    std::u16string filtered;
  } cases[] = {
      {u"caf&eacute;", u"caf\u00E9\u2060\u2060\u2060\u2060\u2060\u2060\u2060"},
      {u"&#233;&#xE9;",
       u"\u00E9\u2060\u2060\u2060\u2060\u2060\u00E9\u2060\u2060\u2060\u2060\u2060"},
      {u"&#x00000000065;&#00000000101;",
       u"e" + std::u16string(14, u'\u2060') + u"e" + std::u16string(13, u'\u2060')},
      {u"a&amp;b", u"a&    b"},
      {u"a&nbsp;b&#10;c", u"a      b     c"},
      {u"&#x1F600;", u"\U0001F600       "},
      {u"&bogus; &#0; &#xD800; &#x110000;", std::u16string(32, u' ')},
      {u"hy&shy;phen", u"hy\u2060\u2060\u2060\u2060\u2060phen"},
      {u"& &amp &#; &#x; &1;", u"& &amp &#; &#x; &1;"},
  };
  for (const auto& c : cases) {
    std::u16string text = c.text;
    HideHtmlMarkup(text, false);
    EXPECT_EQ(ToUtf8(text), ToUtf8(c.filtered));
  }
}

// Odd input never throws or changes the length, and the pathological shapes stay fast.
TEST(MarkupFilters, OddInputKeepsLengthAndTime) {
  const std::u16string pieces[] = {u"<",    u">",  u"<!--", u"-->", u"`",   u"```",       u"\n",
                                   u"[",    u"](", u")",    u"\"",  u"&",   u"&amp;",     u"_",
                                   u"a",    u" ",  u"<a ",  u"\\",  u"\r",  u"---\n",     u"<pre>",
                                   u"    ", u"- ", u"#",    u"<?",  u"<!x", u"\U0001F600"};
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::u16string text;
    for (int n = random() % 40; n > 0; --n) text += pieces[random() % std::size(pieces)];
    for (Format format : {Format::kMarkdown, Format::kHtml, Format::kXml}) Words(format, text);
  }
  for (const std::u16string unit :
       {u"<a title=\"", u"](x \"", u"<!--", u"[", u"`", u"<?", u"<!x", u"<a:b", u"](((("}) {
    std::u16string text;
    while (text.size() < 300000) text += unit;
    for (Format format : {Format::kMarkdown, Format::kHtml}) {
      std::u16string copy = text;
      Filter(format, copy);
      EXPECT_EQ(copy.size(), text.size());
    }
  }
  std::u16string runs;  // backtick strings of every length, none closed
  for (std::size_t n = 1; runs.size() < 300000; ++n) runs += std::u16string(n, u'`') + u" x ";
  HideMarkdownMarkup(runs);
}

}  // namespace
}  // namespace lexivane::frontend
