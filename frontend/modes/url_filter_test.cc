#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/modes/filter_test_words.h"
#include "frontend/modes/mode_filters.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

TEST(UrlFilter, HideUrlsHidesAddressesWholeAndLeavesTheSentence) {
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

TEST(UrlFilter, HideUrlsInAPartReadsOnlyThatPart) {
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

TEST(UrlFilter, HideUrlsKnowsWhereAnAddressStopsAndWhatIsNone) {
  Expect(HideUrls, {
                       {"ftp://x.org/f, file:///etc/x and ssh://git@x.org:22/r.git ok", "and ok"},
                       {"user@host is not@ an@ address@", "user host is not an address"},
                       {"a [see www.x.org/a]. {http://x.org} <me@x.org>; 'www.x.org'", "a see"},
                       {"3.14 and v1.2.3 or 10:30, a.m. then U.S.A.", "and v1 or a m then U S A"},
                       {"paths: /a, ~/b; ./c: and end", "paths and end"},
                   });
}

}  // namespace
}  // namespace lexivane::frontend
