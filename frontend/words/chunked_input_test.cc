#include "frontend/words/chunked_input.h"

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
std::string Pieces(const std::string& text, std::size_t chunk_size, std::size_t read_size,
                   std::size_t max_piece) {
  ChunkedInput input(ReaderOf(text, read_size), chunk_size, max_piece);
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

TEST(ChunkedInput, EndsEachPieceAtACutPointAndGrowsWhenThereIsNone) {
  using namespace std::string_literals;
  const struct {
    std::string text;
    std::size_t chunk_size;
    std::string pieces;
    std::size_t max_piece = 100;
  } cases[] = {
      {"", 4, ""},
      {"ab cd ef", 1, "ab |cd |ef"},
      {"ab cd ef", 4, "ab |cd |ef"},
      {"ab cd ef", 100, "ab cd ef"},
      {"ab\ncd\nef gh ij", 12, "ab\ncd\n|ef gh ij"},  // whole lines first
      {"abcdefgh ij", 2, "abcdefgh |ij"},             // grown to the blank
      {"abcdefghij", 3, "abcdefghij"},                // grown to the end
      {"a\r\nb\tc\fd\ve", 1, "a\r|\n|b\t|c\f|d\v|e"},
      {"trailing blank ", 100, "trailing blank "},
      {"   ", 1, " | | "},
      {"\xC3\xA9t\xC3\xA9 \xE2\x80\x99x", 2, "\xC3\xA9t\xC3\xA9 |\xE2\x80\x99x"},
      // Cut before a character that no word runs across; never inside the first four bytes,
      // where a byte order mark may be.
      {"abcde\0fg\0\0h"s, 1, "abcde|\0fg|\0|\0h"s},
      {"a-b/c+\xCC\x81"
       "defgh",
       5,
       "a-b/c|+\xCC\x81"
       "defgh"},
      {"\0\0\xFE\xFF\0\0\0x"s, 100, "\0\0\xFE\xFF\0\0\0x"s},
      {"\0\0\xFE\xFF\0\0\0x"s, 1, "\0\0\xFE\xFF|\0|\0|\0x"s},
      {"a.b:c'd\"e_f", 1, "a.b:c'd\"e_f"},  // these may join letters
      // At the largest piece a stretch is cut anyway, before a character cut by the read.
      {"abcdefghij", 3, "abcd|efgh|ij", 4},
      {"abcde\xC3\xA9xy\xE2\x80\x94z", 2, "abcde|\xC3\xA9xy|\xE2\x80\x94z", 6},
      {"abcd\xF0\x9F\x98\x80"
       "ef",
       1,
       "abcd|\xF0\x9F\x98\x80"
       "ef",
       6},
  };
  for (const auto& c : cases) {
    for (const std::size_t read_size : {std::size_t{1}, std::size_t{3}, std::size_t{1} << 20}) {
      EXPECT_EQ(Pieces(c.text, c.chunk_size, read_size, c.max_piece), c.pieces)
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
