#include "fix/document_prose.h"

#include <gtest/gtest.h>

#include "lexivane/utf8.h"

namespace lexivane::frontend::fix {
namespace {

// What fix offers of a document: its prose, less every token that reads other than it is
// written; everything else is blanked, and the lengths stay.
TEST(DocumentProse, OffersThePlainlyWrittenWordsOfTheProse) {
  const struct {
    DocumentMode mode;
    std::u16string document;
    std::u16string prose;
  } cases[] = {
      {DocumentMode::kNone, u"caf&eacute; <b>", u"caf&eacute; <b>"},
      {DocumentMode::kMarkdown, u"Teh `code` [link](x.md)\n", u"Teh        [link       \n"},
      {DocumentMode::kMarkdown, u"a caf&eacute;x, b", u"a             , b"},
      {DocumentMode::kHtml, u"<p>na&iuml;ve-teh</p>", u"             -teh    "},
      // A reference or escape that stands for a quotation mark, a dash or a sign ends the
      // words beside it, which are offered as they are written.
      {DocumentMode::kHtml, u"&ldquo;teh&rdquo; a&mdash;b &amp;c",
       u"       teh        a       b &    c"},
      {DocumentMode::kHtml, u"don&rsquo;t teh&rsquo; x", u"            teh        x"},
      {DocumentMode::kNroff, u"\\(aqteh\\(aq don\\(aqt", u"    teh             "},
      {DocumentMode::kMarkdown, u"\\*teh\\* \\_x", u"  teh      "},
      {DocumentMode::kTex, u"hy\\-phen and teh", u"         and teh"},
      {DocumentMode::kCFamily, u"x = 1; // teh cat", u"          teh cat"},
      // An interpreter line is never offered: a correction would break the script.
      {DocumentMode::kNone, u"#!/usr/bin/env teh\nteh", u"                  \nteh"},
      {DocumentMode::kPython, u"#!/usr/bin/python3\n# teh", u"                  \n  teh"},
  };
  for (const auto& c : cases) {
    const std::u16string prose = DocumentProse(c.document, c.mode);
    EXPECT_EQ(ToUtf8(prose), ToUtf8(c.prose)) << ToUtf8(c.document);
  }
}

}  // namespace
}  // namespace lexivane::frontend::fix
