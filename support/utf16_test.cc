#include "support/utf16.h"

#include <gtest/gtest.h>

namespace lexivane::support {
namespace {

// The edges of each range, and every code point at a boundary of the pairs' arithmetic, go
// into UTF-16 and back.
TEST(Utf16, SurrogatesAndPairsAtTheirEdges) {
  struct Unit {
    std::uint32_t unit;
    bool lead, trail;
  };
  for (const Unit& u :
       {Unit{0xD7FF, false, false}, Unit{0xD800, true, false}, Unit{0xDBFF, true, false},
        Unit{0xDC00, false, true}, Unit{0xDFFF, false, true}, Unit{0xE000, false, false},
        Unit{0x1D800, false, false}}) {
    SCOPED_TRACE(u.unit);
    EXPECT_EQ(IsLeadSurrogate(u.unit), u.lead);
    EXPECT_EQ(IsTrailSurrogate(u.unit), u.trail);
    EXPECT_EQ(IsSurrogate(u.unit), u.lead || u.trail);
  }
  for (const char32_t code : {U'\0', U'\uFFFF', U'\U00010000', U'\U0001F600', U'\U0010FFFF'}) {
    SCOPED_TRACE(static_cast<std::uint32_t>(code));
    std::u16string text = u"a";
    AppendUtf16(text, code);
    if (code < 0x10000) {
      EXPECT_EQ(text, std::u16string(u"a") + static_cast<char16_t>(code));
    } else {
      ASSERT_EQ(text.size(), 3u);
      EXPECT_TRUE(IsLeadSurrogate(text[1]) && IsTrailSurrogate(text[2]));
      EXPECT_EQ(CodePointOfPair(text[1], text[2]), code);
    }
  }
}

}  // namespace
}  // namespace lexivane::support
