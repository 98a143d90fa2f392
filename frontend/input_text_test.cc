#include "frontend/input_text.h"

#include <gtest/gtest.h>

#include <string>

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
  }
}

}  // namespace
}  // namespace lexivane::frontend
