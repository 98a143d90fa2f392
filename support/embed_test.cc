#include "support/embed.h"

#include <gtest/gtest.h>

#include <cstdint>

// This very file, as the build saw it.
LEXIVANE_EMBED(lexivane_embed_test_source, __FILE__);

namespace lexivane::support {
namespace {

// The whole file, from its first byte to its last, aligned, with the zero that follows it (for
// readers of C strings) outside the data; the same bytes whether seen as bytes or as text.
TEST(Embed, HoldsTheWholeFileAlignedAndFollowedByAZero) {
  const std::string_view text = LEXIVANE_EMBEDDED_TEXT(lexivane_embed_test_source);
  EXPECT_TRUE(text.starts_with("#include \"support/embed.h\"\n")) << text.substr(0, 40);
  EXPECT_TRUE(text.ends_with("}  // namespace lexivane::support\n"));
  const std::span<const std::uint8_t> bytes = LEXIVANE_EMBEDDED_BYTES(lexivane_embed_test_source);
  EXPECT_EQ(static_cast<const void*>(bytes.data()), static_cast<const void*>(text.data()));
  EXPECT_EQ(bytes.size(), text.size());
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bytes.data()) % 16, 0u);
  EXPECT_EQ(bytes.data()[bytes.size()], 0);
}

}  // namespace
}  // namespace lexivane::support
