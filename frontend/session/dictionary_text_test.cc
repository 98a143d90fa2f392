#include "frontend/session/dictionary_text.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/descriptor.h"
#include "tests/test_support.h"

namespace lexivane::frontend {
namespace {

// Each line with its end in brackets.
std::string LinesOf(const std::string& content) {
  lexivane::testing::ScratchDir dir;
  lexivane::testing::WriteBytes(dir.path() / "words.dic", content);
  const support::Descriptor fd(::open((dir.path() / "words.dic").c_str(), O_RDONLY | O_CLOEXEC));
  std::string out;
  DictionaryLines lines(fd.get(), "words.dic");
  for (std::string_view line, end; lines.Next(line, end);) {
    out.append(line.size() > 40 ? std::to_string(line.size()) + " bytes" : std::string(line));
    out.append("[").append(end == "\r\n" ? "CRLF" : end == "\r" ? "CR" : end == "\n" ? "LF" : "");
    out.append("]");
  }
  return out;
}

TEST(DictionaryLines, LinesEndAtCrLfCrOrLfWhereverTheBlocksEnd) {
  const std::string block(1 << 20, 'a');  // the size of a read
  const struct {
    std::string content, lines;
  } cases[] = {
      {"", ""},
      {"wrold", "wrold[]"},
      {"wrold\r\nhelo\rcaf\xE9\n\nx", "wrold[CRLF]helo[CR]caf\xE9[LF][LF]x[]"},
      {"a\n\r\r\n\r", "a[LF][CR][CRLF][CR]"},
      // A CR that ends one read and an LF that begins the next are one line end.
      {block.substr(1) + "\r\nb", "1048575 bytes[CRLF]b[]"},
      {block.substr(1) + "\rb\r", "1048575 bytes[CR]b[CR]"},
      {block + block + "\n", "2097152 bytes[LF]"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LinesOf(c.content), c.lines) << c.lines;
  }
}

// Windows-1252 as the engine writes it, one byte a code unit; keys fold case as the word check.
TEST(DictionaryEntries, BytesAndKeysAreTheEnginesOwn) {
  const struct {
    std::u16string word;
    std::string bytes;
  } cases[] = {
      {u"caf\u00E9 \u20ACuro", "caf\xE9 \x80uro"},
      {u"\u0160\u0178\u00FF", "\x8A\x9F\xFF"},
      {u"\u0081\u0080", "\x81?"},  // the undefined byte's C1 control; a C1 control with no byte
      {u"\u0100x\U0001F600", "?x??"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EntryBytes(c.word), c.bytes);
    std::u16string key;
    EntryKey(c.bytes, key);
    if (c.bytes.find('?') == std::string::npos) {
      EXPECT_EQ(key, EntryKey(c.word));
    }
  }
  std::u16string key;
  EntryKey("STRA\337E \x8A\x9F", key);  // \337 is \xDF
  EXPECT_EQ(key, u"stra\u00DFe \u0161\u00FF");
  EXPECT_EQ(EntryKey(u"STRA\u1E9EE"), u"stra\u00DFe");
}

}  // namespace
}  // namespace lexivane::frontend
