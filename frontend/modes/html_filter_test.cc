#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "frontend/modes/filter_test_words.h"
#include "frontend/modes/mode_filters.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

void HideHtml(std::u16string& text) {
  HideHtmlMarkup(text, false);
}
void HideXml(std::u16string& text) {
  HideHtmlMarkup(text, true);
}

TEST(HtmlFilter, HtmlHidesTagsButReadableValues) {
  ExpectWords(
      HideHtml,
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
          {u"<script>never closed", ""},
          {u"a <pre>code <b>bold</b>", "a"},
          {u"<code><code>x</code>y</code> z", "z"},
          {u"<p\r\ntitle=\"T\"\r\n>x</p>", "T x"},
          // DocBook's HTML: classes of code, however nested and cased.
          {u"Run <B\nCLASS=\"COMMAND\"\n>klogd</B\n>, <tt class='filename'>/dev/kmem</tt> "
           u"<span class=\"x command\"><span>make</span> me</span> done <b class=lead>Lead</b>",
           "Run done Lead"},
          {u"<span class=\"option\"/>a <i class=literal>b<i>c</i>d</i>e", "a e"},
      });
  ExpectWords(
      HideXml,
      {
          {u"<?xml version=\"1.0\"?><doc placeholder=\"p\" title=\"T\"><tt>read</tt></doc>",
           "T read"},
          {u"<para>Run <command>klogd</command> on <filename>/dev/kmem</filename>, <code>x</code> "
           u"<b class=\"command\">bold</b></para>",
           "Run on bold"},
          {u"<x:para xmlns:x=\"urn:y\">Text<![CDATA[ <not> a tag ]]></x:para>", "Text not a tag"},
          {u"<para>See https://x.org/a_b or docs/modes.md</para>", "See or"},
          {u"<p>x <m:math><m:mi>qx</m:mi></m:math> y <math><mi>z</mi></math></p>", "x y"},
      });
}

TEST(HtmlFilter, ReferencesBecomeWhatReadersSee) {
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
      {u"&#233 &eacute", u"&#233 &eacute"},  // a reference needs its `;`
  };
  for (const auto& c : cases) {
    std::u16string text = c.text;
    HideHtmlMarkup(text, false);
    EXPECT_EQ(ToUtf8(text), ToUtf8(c.filtered));
  }
}

// Odd input never throws or changes the length, and the pathological shapes stay fast.
TEST(HtmlFilter, OddInputKeepsLengthAndTime) {
  const std::u16string pieces[] = {u"<",    u">",  u"<!--", u"-->", u"`",   u"```",       u"\n",
                                   u"[",    u"](", u")",    u"\"",  u"&",   u"&amp;",     u"_",
                                   u"a",    u" ",  u"<a ",  u"\\",  u"\r",  u"---\n",     u"<pre>",
                                   u"    ", u"- ", u"#",    u"<?",  u"<!x", u"\U0001F600"};
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::u16string text;
    for (int n = random() % 40; n > 0; --n) text += pieces[random() % std::size(pieces)];
    for (TextFilter filter : {HideMarkdownMarkup, HideHtml, HideXml}) {
      FilteredWords(filter, text, FilterChanges::kBlanksAndCharacters);
    }
  }
  for (const std::u16string unit :
       {u"<a title=\"", u"](x \"", u"<!--", u"[", u"`", u"<?", u"<!x", u"<a:b", u"](((("}) {
    std::u16string text;
    while (text.size() < 300000) text += unit;
    for (TextFilter filter : {HideMarkdownMarkup, HideHtml}) {
      std::u16string copy = text;
      filter(copy);
      EXPECT_EQ(copy.size(), text.size());
    }
  }
  std::u16string runs;  // backtick strings of every length, none closed
  for (std::size_t n = 1; runs.size() < 300000; ++n) runs += std::u16string(n, u'`') + u" x ";
  HideMarkdownMarkup(runs);
}

TEST(HtmlFilter, ReadsTagsInAnyCaseAndEachRawTextToItsEnd) {
  ExpectWords(HideHtml,
              {
                  // Tag and attribute names in any case; values quoted, unquoted, spaced, empty.
                  {u"<P>Upper</P> <IMG ALT=\"Caps\" Title=Mixed> <img alt = 'Spaced' >",
                   "Upper Caps Mixed Spaced"},
                  {u"<img alt title=\"\" alt=>x <a title=\"Go &amp; see\" href=\"a&amp;b\">y</a>",
                   "x Go see y"},
                  // Self-closing script and code elements hide nothing after them; an end tag
                  // of a code element never opened, or in capitals, closes nothing or the one open.
                  {u"<script/>one <code/>two </code>three <PRE>x</pre> four", "one two three four"},
                  // Raw text ends only at its own end tag, in any case.
                  {u"<script>if (a</b) x</script>ok <style>p</p>{}</STYLE>done", "ok done"},
                  // Comments, declarations and instructions: empty, with `--` or `>` inside.
                  {u"<!----> a <!-- x -- y --> b <?php echo \"x\" ?> c <!x> d", "a b c d"},
                  {u"<![CDATA[ open", "open"},
                  {u"</ p>e </>f", "e f"},
                  // References: a hexadecimal `X`, names in their case only, invisible ones join.
                  {u"&#XE9;t&eacute; &Eacute;T&EACUTE; zero&#x200B;width don&#39;t &hellip;end",
                   "\u00e9t\u00e9 \u00c9T zerowidth don't end"},
              });
  // An instruction ends at `>` in HTML, at `?>` in XML, where script is no raw text.
  ExpectWords(HideHtml, {{u"<?pi a > b ?>text", "b text"}});
  ExpectWords(HideXml, {{u"<?pi a > b ?>text <script>words</script>", "text words"}});
}

}  // namespace
}  // namespace lexivane::frontend
