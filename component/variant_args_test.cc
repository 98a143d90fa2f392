// The strings at the boundary keep what the clients' tests do not pass: embedded NULs, and a
// null BSTR. (Which arrays may be replaced, and what ReplaceArray makes, the clients' tests
// check on every suggestion array they pass and receive.)
#include "component/variant_args.h"

#include <gtest/gtest.h>

#include <string>

namespace lexivane::component {
namespace {

TEST(VariantArgsTest, BstrsKeepEveryCharacterAndNullIsEmpty) {
  EXPECT_TRUE(FromBstr(nullptr).empty());
  const std::u16string with_nul(u"a\0b\u00E9", 4);
  Bstr text(with_nul);
  EXPECT_EQ(::SysStringLen(text.get()), 4u);
  EXPECT_EQ(FromBstr(text.get()), with_nul);
}

}  // namespace
}  // namespace lexivane::component
