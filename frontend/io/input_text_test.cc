#include "frontend/io/input_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "lexivane/utf8.h"

#include "tests/test_support.h"

namespace lexivane::frontend {
namespace {

using namespace std::string_literals;

// A file is decoded as it is read, a block of 64 KiB at a time: it reads as its bytes decode
// whole, wherever a block ends and whatever mark it starts with.
TEST(InputText, AFileReadsAsItsBytesDecodedWhole) {
  const std::string block(65535, 'a');
  const std::string no_ascii = [] {
    std::string text;
    while (text.size() < 200000) text += "\xC3\xA9\xE2\x80\x99\x80";
    return text;
  }();
  const std::string cases[] = {
      "",
      "a",
      "\xEF\xBB",  // a mark cut short
      "\xEF\xBB\xBF"
      "caf\xC3\xA9",  // UTF-8 with its mark
      "\xFF\xFE"
      "a\0b\0"s,          // UTF-16 little-endian
      "\xFE\xFF\0a\0b"s,  // UTF-16 big-endian
      "\xFF\xFE\0\0"
      "a\0\0\0"s,                               // UTF-32 little-endian
      "\0\0\xFE\xFF\0\0\0a"s,                   // UTF-32 big-endian
      block + "\xC3\xA9 next",                  // a sequence across the blocks' border
      block + "\xF0\x9F\x98\x80" + block,       // four bytes across it
      block + "\xE2\x80" + block,               // a broken sequence at it
      no_ascii,                                 // no byte to cut at in many blocks
      "\xEF\xBB\xBF" + block + "\xE2\x80\x99",  // the mark shifts the border
  };
  lexivane::testing::ScratchDir dir;
  const std::string file = (dir.path() / "text").string();
  for (const std::string& bytes : cases) {
    lexivane::testing::WriteBytes(file, bytes);
    EXPECT_EQ(ReadInput(file).text, DecodeText(bytes)) << "size " << bytes.size();
    // The same of a file open already, whatever was read of it first (a mark cut in two too).
    for (const std::size_t first : {1, 3, 8192}) {
      for (const bool with_bytes : {false, true}) {
        InputFile input(file);
        std::string start(first, '\0');
        start.resize(input.Read(start.data(), first));
        EXPECT_EQ(with_bytes ? TextWithBytes(input, start).text : ReadInput(input, start).text,
                  DecodeText(bytes))
            << "size " << bytes.size() << " after " << first;
      }
    }
  }
}

// Read with its bytes, a text decodes the same, and when it is well-formed UTF-8 each range of
// it maps to the bytes it came from, asked in order or not.
TEST(InputText, ATextReadWithItsBytesMapsEachRangeToThem) {
  const std::string block(65535, 'a');
  const std::string sparse = [] {  // characters outside ASCII here and there
    std::string text;
    while (text.size() < 20000)
      text += "caf\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x98\x80" + std::string(80, 'x');
    return text;
  }();
  const auto accents = [](int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "\xC3\xA9";
    return text;
  };
  const struct {
    std::string bytes;
    bool has_bytes;
  } cases[] = {
      {"", true},
      {"plain words", true},
      {"\xEF\xBB\xBF"
       "caf\xC3\xA9 x",
       true},  // the mark is no part of the text
      {sparse, true},
      {block + "\xC3\xA9 next", true},
      {"\xEF\xBF\xBD" + block, true},  // U+FFFD as written
      {"\xFF\xFE"
       "a\0b\0"s,
       false},                              // UTF-16
      {"\0\0\xFE\xFF\0\0\0a"s, false},      // UTF-32
      {block + "\xE2\x80" + block, false},  // a broken sequence
      {block + "\xC0\xAF", false},          // an overlong one
      {accents(16), true},                  // a short text is mapped anyway
      {accents(40), false},                 // too many characters outside ASCII to map
  };
  lexivane::testing::ScratchDir dir;
  const std::string file = (dir.path() / "text").string();
  for (const auto& c : cases) {
    lexivane::testing::WriteBytes(file, c.bytes);
    const TextWithBytes read(file);
    ASSERT_EQ(read.text, DecodeText(c.bytes)) << "size " << c.bytes.size();
    ASSERT_EQ(read.has_bytes(), c.has_bytes) << "size " << c.bytes.size();
    if (!c.has_bytes) continue;
    const std::u16string_view text = read.text;
    const auto inside_pair = [&](std::size_t i) {
      return i > 0 && i < text.size() && text[i] >= 0xDC00 && text[i] <= 0xDFFF;
    };
    const auto expect_range = [&](std::size_t begin, std::size_t end) {
      if (inside_pair(begin) || inside_pair(end)) return;
      ASSERT_EQ(read.BytesOf(begin, end), ToUtf8(text.substr(begin, end - begin)))
          << begin << ".." << end << " of " << c.bytes.size();
    };
    for (std::size_t i = 0; i < text.size(); ++i) expect_range(i, std::min(text.size(), i + 5));
    for (std::size_t i = text.size(); i-- > 0;) expect_range(i, std::min(text.size(), i + 2));
  }
}

}  // namespace
}  // namespace lexivane::frontend
