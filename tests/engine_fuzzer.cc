// libFuzzer target: arbitrary UTF-16 text through the word check, the suggestion search, the
// whole-word replacement and the text check run, each answer compared with the plain
// reference engine and the plain replacement loop. Any crash, hang, sanitizer report or
// difference from the reference fails the run.
//
// The input's bytes are read as UTF-16 code units (unpaired surrogates, NULs and all). The
// first unit U+0001 in it, if any, splits it into a word and a replacement, which ReplaceWord
// uses as Find and Replace over the whole input.
//
// Both engines hold the same custom words, two of them longer than any main-list entry, and
// suggestions are compared at the default threshold and, for some lengths, at both extremes:
// at 0 every window word qualifies, at 1 only permutations, splits and custom words do.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/prepared_tables.h"
#include "lexivane/spell_check.h"
#include "platform/module.h"
#include "suggest/speller.h"
#include "tests/reference/plain_engine.h"
#include "tests/reference/plain_replace_word.h"

namespace {

using lexivane::SpellCheck;
using lexivane::reference::PlainEngine;

// Long enough for a word of two parts that are both longer than the longest main-list entry.
constexpr std::size_t kLongestComparedWord = 64;

constexpr const char16_t* kCustomWords[] = {u"Lexivane", u"teh", u"xx",
                                            u"Pneumonoultramicroscopicsilicovolcanoconiosis",
                                            u"supercalifragilisticexpialidocious"};

PlainEngine& Reference() {
  static PlainEngine plain = [] {
    const lexivane::PreparedTables prepared(lexivane::platform::EmbeddedPreparedTables());
    PlainEngine engine(prepared.word_count());
    engine.LoadDictionary(lexivane::platform::EmbeddedWordList());
    engine.CustomWords.assign(std::begin(kCustomWords), std::end(kCustomWords));
    return engine;
  }();
  return plain;
}

void Require(bool same, const char* what) {
  if (!same) {
    std::fprintf(stderr, "the engine and its reference differ: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string text(size / 2, u'\0');
  std::memcpy(text.data(), data, text.size() * 2);

  static SpellCheck* const engine = [] {
    auto* created = new SpellCheck;
    created->Init();
    for (const char16_t* word : kCustomWords) created->AddToCustom(word);
    return created;
  }();
  PlainEngine& plain = Reference();

  for (bool check_custom : {true, false}) {
    Require(engine->CheckWord(text, check_custom) == plain.CheckWord(text, check_custom),
            "CheckWord");
  }
  // The plain search takes milliseconds for a word; beyond word lengths it would starve the run.
  // At 0 both engines return and sort the whole window, ten thousand words, so the extremes are
  // tried on one text length in sixteen each.
  for (float threshold : {lexivane::kDefaultSimilarityThreshold, 0.0f, 1.0f}) {
    if (threshold == 0.0f && text.size() % 16 != 3) continue;
    if (threshold == 1.0f && text.size() % 16 != 7) continue;
    engine->SetSuggestionSimilarity(threshold);
    std::vector<std::u16string> fast_out{u"untouched"}, plain_out{u"untouched"};
    const std::int32_t count = engine->GetSuggestions(text, fast_out);
    if (text.size() > kLongestComparedWord) break;
    plain.SimilarityThreshold = threshold;
    Require(count == plain.GetSuggestions(text, plain_out, true), "GetSuggestions count");
    Require(fast_out == plain_out, "GetSuggestions list");
  }
  engine->SetSuggestionSimilarity(lexivane::kDefaultSimilarityThreshold);

  const std::size_t split = text.find(u'\x0001');
  if (split != std::u16string::npos) {
    const std::u16string find = text.substr(0, split);
    const std::u16string replace = text.substr(split + 1);
    Require(engine->ReplaceWord(text, find, replace) ==
                lexivane::reference::PlainReplaceWord(text, find, replace),
            "ReplaceWord");
  }
  engine->CheckText(text, false);
  return 0;
}
