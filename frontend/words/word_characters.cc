#include "frontend/words/word_characters.h"

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "frontend/words/running_words.h"
#include "support/utf16.h"

namespace lexivane::frontend {

namespace {

// The rule asked directly: does the probe hold exactly one word, all of it?
bool AskTheRule(char32_t character, PlaceInWord place) {
  std::u16string probe;
  if (place != PlaceInWord::kFirst) probe += u'a';
  support::AppendUtf16(probe, character);
  if (place != PlaceInWord::kLast) probe += u'a';
  bool whole = false;
  ForEachRunningWordByIcu(probe, [&](const RunningWord& word) {
    whole = word.offset == 0 && word.length == probe.size();
  });
  return whole;
}

}  // namespace

namespace word_characters_detail {

const std::array<std::uint8_t, 128>& AsciiAnswers() {
  static const std::array<std::uint8_t, 128> answers = [] {
    std::array<std::uint8_t, 128> table{};
    for (char32_t c = 0; c < 128; ++c) {
      for (const PlaceInWord place :
           {PlaceInWord::kFirst, PlaceInWord::kInside, PlaceInWord::kLast}) {
        if (AskTheRule(c, place)) table[c] |= 1 << static_cast<int>(place);
      }
    }
    return table;
  }();
  return answers;
}

bool MayStandInWordBeyondAscii(char32_t character, PlaceInWord place) {
  const int bit = 1 << static_cast<int>(place);
  if (character > 0x10FFFF || support::IsSurrogate(character)) return false;
  // Text repeats its characters; each distinct one is asked of the rule once per place.
  thread_local std::unordered_map<char32_t, std::uint8_t> known;  // bits asked, then answers
  std::uint8_t& entry = known[character];
  if (!(entry & (bit << 4))) entry |= (bit << 4) | (AskTheRule(character, place) ? bit : 0);
  return entry & bit;
}

}  // namespace word_characters_detail
}  // namespace lexivane::frontend
