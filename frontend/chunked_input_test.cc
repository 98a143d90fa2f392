#include "frontend/chunked_input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace lexivane::frontend {
namespace {

// Hands out `text` at most `read_size` bytes a read, as a pipe does.
ChunkedInput::ReadSome ReaderOf(const std::string& text, std::size_t read_size) {
  return [&text, read_size, at = std::size_t{0}](char* into, std::size_t most) mutable {
    const std::size_t n = std::min({most, read_size, text.size() - at});
    std::memcpy(into, text.data() + at, n);
    at += n;
    return n;
  };
}

// The pieces joined with '|'.
std::string Pieces(const std::string& text, std::size_t chunk_size, std::size_t read_size) {
  ChunkedInput input(ReaderOf(text, read_size), chunk_size);
  std::string out;
  std::string_view piece;
  while (input.Next(piece)) {
    EXPECT_FALSE(piece.empty());
    if (!out.empty()) out += '|';
    out += piece;
  }
  EXPECT_FALSE(input.Next(piece)) << "asked again after the end";
  return out;
}

TEST(ChunkedInput, EndsEachPieceAfterABlankAndGrowsWhenThereIsNone) {
  const struct {
    std::string text;
    std::size_t chunk_size;
    std::string pieces;
  } cases[] = {
      {"", 4, ""},
      {"ab cd ef", 1, "ab |cd |ef"},
      {"ab cd ef", 4, "ab |cd |ef"},
      {"ab cd ef", 100, "ab cd |ef"},
      {"abcdefgh ij", 2, "abcdefgh |ij"},  // grown to the blank
      {"abcdefghij", 3, "abcdefghij"},     // grown to the end
      {"a\r\nb\tc\fd\ve", 1, "a\r|\n|b\t|c\f|d\v|e"},
      {"trailing blank ", 100, "trailing blank "},
      {"   ", 1, " | | "},
      {std::string("a\0b c", 5), 1, std::string("a\0b |c", 6)},  // NUL is no blank
      {"\xC3\xA9t\xC3\xA9 \xE2\x80\x99x", 2, "\xC3\xA9t\xC3\xA9 |\xE2\x80\x99x"},
  };
  for (const auto& c : cases) {
    for (const std::size_t read_size : {std::size_t{1}, std::size_t{3}, std::size_t{1} << 20}) {
      EXPECT_EQ(Pieces(c.text, c.chunk_size, read_size), c.pieces)
          << c.text << " chunk " << c.chunk_size << " read " << read_size;
    }
  }
}

TEST(ChunkedInput, TakeRestGivesWhatWasNotHandedOut) {
  const std::string text = "one two three four";
  ChunkedInput input(ReaderOf(text, 2), 3);
  std::string_view piece;
  ASSERT_TRUE(input.Next(piece));
  EXPECT_EQ(piece, "one ");
  EXPECT_EQ(input.TakeRest(), "two three four");
  EXPECT_FALSE(input.Next(piece));
}

}  // namespace
}  // namespace lexivane::frontend
