#include "frontend/words/identifier_parts.h"

#include <gtest/gtest.h>

#include <string>

#include "frontend/modes/document_modes.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

std::string Parts(std::u16string_view identifier) {
  std::string parts;
  for (const WordPart& part : IdentifierParts(identifier)) {
    if (!parts.empty()) parts += ' ';
    parts += ToUtf8(identifier.substr(part.offset, part.length));
  }
  return parts;
}

TEST(IdentifierParts, CutsAtConnectorsAndChangesOfCase) {
  const struct {
    std::u16string identifier;
    const char* parts;
  } cases[] = {
      {u"getValue", "get Value"},
      {u"max_safe_integer", "max safe integer"},
      {u"HTTPServer", "HTTP Server"},
      {u"utf8Decoder", "utf8 Decoder"},
      {u"XMLHttpRequest", "XML Http Request"},
      {u"getHTTPResponse2", "get HTTP Response2"},
      {u"__init__", "init"},
      {u"snake_Case", "snake Case"},
      {u"SCREAMING_CASE", "SCREAMING CASE"},
      {u"A", "A"},
      {u"ABCDef", "ABC Def"},
      {u"URLs", "URLs"},  // a plural, not a word's start
      {u"IDsByName", "IDs By Name"},
      {u"HTTPSession", "HTTP Session"},
      {u"value_2", "value"},  // a part without a letter is no word
      {u"_", ""},
      {u"O'Brien", "O'Brien"},  // an apostrophe is no boundary
      {u"naïveWert", "naïve Wert"},
      {u"ÄußereHülle_größe", "Äußere Hülle größe"},
      {u"x\u203Fy", "x y"},  // any connector
  };
  for (const auto& c : cases) EXPECT_EQ(Parts(c.identifier), c.parts) << ToUtf8(c.identifier);
}

// The words of code with its identifiers checked, each at its own place in the file.
TEST(IdentifierParts, CodeModesHandOnTheWordsOfIdentifiersAtTheirPlaces) {
  const struct {
    DocumentMode mode;
    std::u16string code;
    const char* words;  // each word, then its offset
  } cases[] = {
      {DocumentMode::kCFamily, u"int getVaule(void) { return 0x1F; }", "get@4 Vaule@7"},
      {DocumentMode::kCFamily, u"#include <stdio.h>\nconst size_t n = 1'000;", "n@32"},
      {DocumentMode::kCFamily, u"auto s = u8\"rb\"; // one comment", "s@5 one@20 comment@24"},
      {DocumentMode::kCFamily, u"fn f<'a>(x: &'a str) -> Self", "f@3 x@9"},
      {DocumentMode::kCFamily, u"let raw = br#\"teh cat\"#;", "raw@4 teh@14 cat@18"},
      {DocumentMode::kCFamily, u"p->next_item = nullptr;", "p@0 next@3 item@8"},
      {DocumentMode::kPython, u"def __init__(self, max_len=8):", "max@19 len@23"},
      {DocumentMode::kCFamily, u"void f() __attribute__((cold)) __THROW;", "f@5 cold@24"},
      {DocumentMode::kPython, u"x = rb'\\x00' if elif else f'{y}'", "x@0"},
      {DocumentMode::kHashComments, u"#!/bin/sh\nif [ -f /etc/hosts ]; then rm -rf \"$dir\"; fi",
       "rm@37"},
      {DocumentMode::kHashComments, u"add_executable(myTool main.cc) # build it",  // a file
       "add@0 executable@4 my@15 Tool@17 build@33 it@39"},
  };
  for (const auto& c : cases) {
    std::u16string text = c.code;
    HideNonProse(text, c.mode, CodeIdentifiers::kChecked);
    std::string words;
    ForEachRunningWordPart(text, [&](const RunningWord& word) {
      EXPECT_EQ(ToUtf8(word.word), ToUtf8(c.code.substr(word.offset, word.length)));
      if (!words.empty()) words += ' ';
      words += ToUtf8(word.word) + "@" + std::to_string(word.offset);
    });
    EXPECT_EQ(words, c.words) << ToUtf8(c.code);
  }
}

}  // namespace
}  // namespace lexivane::frontend
