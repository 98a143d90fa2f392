#include "suggest/suggestion_search.h"

#include <algorithm>
#include <utility>

#include "engine/dictionaries.h"
#include "platform/text.h"
#include "suggest/candidate_filter.h"
#include "suggest/common_subsequence.h"
#include "suggest/similarity.h"

namespace lexivane {

namespace {

struct Ranked {
  std::u16string word;
  float score;
};

// A long word has as many splits as characters, and checking a part costs its length, so each
// part is tallied first (the right part as the whole less the left) and not checked when its
// tally proves that the word check rejects it; a split needs both parts, so one such part
// settles it. In a word of letters, that leaves only splits whose parts are each no longer than
// the longest main-list entry or as long as a custom entry.
void AppendSplits(Dictionaries& dictionaries, std::u16string_view word, bool check_custom,
                  float threshold, std::vector<Ranked>& results) {
  const std::size_t longest_main_word = dictionaries.tables.LongestWord();
  const CustomDictionary& custom = dictionaries.custom;
  const auto never_accepted = [&](const WordCheckTally& part, bool asks_custom) {
    return IsNeverAccepted(part, longest_main_word) &&
           !(asks_custom && custom.HasEntryOfLength(part.length));
  };
  // Only a part longer than every entry can be ruled out, so ordinary words skip the tallies.
  const bool has_long_parts = word.size() > longest_main_word + 2;
  WordCheckTally whole, left_tally;
  if (has_long_parts) {
    for (const char16_t unit : word) whole.Add(unit);
    left_tally.Add(word[0]);
    left_tally.Add(word[1]);
  }
  for (std::size_t i = 2; i + 2 <= word.size(); ++i) {
    if (has_long_parts) {
      if (i > 2) left_tally.Add(word[i - 1]);
      if (never_accepted(left_tally, check_custom) || never_accepted(whole - left_tally, true)) {
        continue;
      }
    }
    const std::u16string_view left = word.substr(0, i);
    const std::u16string_view right = word.substr(i);
    // The right part is always checked against the custom words too.
    const bool left_known = IsAcceptedWord(dictionaries, left, check_custom);
    const bool right_known = IsAcceptedWord(dictionaries, right, true);
    if (left_known && right_known) {
      results.push_back({std::u16string(left) + u' ' + std::u16string(right), threshold});
    }
  }
}

void AppendWindow(const WordTables& tables, std::string_view word, float threshold,
                  std::vector<Ranked>& results) {
  const unsigned char first_byte = word[0];
  if (first_byte == 0xFF) return;  // no "next letter"; a cleaned word is ASCII anyway
  const std::int32_t first = tables.StartIdx(PrefixSlot(first_byte, 'a'));
  const std::int32_t last = tables.EndIdx(PrefixSlot(first_byte + 1, 'a'));
  CandidateFilter filter(word, PackedSoundex(word), threshold);
  const PreparedTables* image = tables.image();
  if (image == nullptr) {
    // Tables not loaded: every entry reads as "".
    for (std::int32_t k = first; k <= last; ++k) {
      double score;
      if (filter.Accept(tables.Word(k), tables.Key(k), score)) {
        results.push_back({u"", static_cast<float>(score)});
      }
    }
    return;
  }
  std::vector<CandidateFilter::AcceptedEntry> accepted;
  filter.AcceptEntries(*image, first, last, accepted);
  for (const auto& [index, score] : accepted) {
    results.push_back({platform::FromSingleByte(image->Word(index)), static_cast<float>(score)});
  }
}

// The exchange sort is kept as it is because its treatment of equal scores is visible:
// window order A 0.8, B 0.8, C 0.9 comes out C, B, A.
void ExchangeSort(std::vector<Ranked>& results) {
  for (std::size_t i = 0; i < results.size(); ++i) {
    for (std::size_t j = i + 1; j < results.size(); ++j) {
      if (results[i].score < results[j].score) std::swap(results[i], results[j]);
    }
  }
}

// Custom words need a ratio above 0.8 unless they equal the word apart from case, and so have
// its length. The ratio is 2M / (la + lb), and M is at most the shorter length and at most the
// longest common subsequence of the two words, which is cheap enough to try first on long ones.
bool CanBeSimilar(std::u16string_view entry, std::u16string_view word,
                  std::string_view word_bytes) {
  const std::size_t total = entry.size() + word.size();
  if (entry.size() != word.size() &&
      !(GestaltRatio(std::min(entry.size(), word.size()), total) > 0.8)) {
    return false;
  }
  // Below this the ratio costs little more than the subsequence.
  constexpr std::size_t kLongWord = 64;
  if (std::min(entry.size(), word.size()) < kLongWord ||
      platform::ToUpper(entry) == platform::ToUpper(word)) {
    return true;
  }
  return GestaltRatio(LongestCommonSubsequence(platform::ToSingleByte(entry), word_bytes), total) >
         0.8;
}

}  // namespace

bool IsSuggestible(std::u16string_view cleaned) {
  return cleaned.size() >= 2 && cleaned.size() <= kLongestSuggestibleWord &&
         !platform::IsNumeric(cleaned);
}

std::int32_t SearchSuggestions(Dictionaries& dictionaries, std::u16string_view word,
                               std::vector<std::u16string>& out, bool check_custom,
                               float threshold) {
  const std::u16string cleaned = CleanWord(platform::ToLower(word));
  if (!IsSuggestible(cleaned)) return 0;

  const std::string cleaned_bytes = platform::ToSingleByte(cleaned);
  std::vector<Ranked> results;
  AppendSplits(dictionaries, cleaned, check_custom, threshold, results);
  AppendWindow(dictionaries.tables, cleaned_bytes, threshold, results);
  ExchangeSort(results);

  std::vector<std::u16string> suggestions;
  suggestions.reserve(results.size());
  for (Ranked& result : results) suggestions.push_back(std::move(result.word));
  if (check_custom) {
    for (const std::u16string& entry : dictionaries.custom.words()) {
      if (CanBeSimilar(entry, cleaned, cleaned_bytes) && SimilarityRatio(entry, cleaned) > 0.8) {
        suggestions.push_back(entry);
      }
    }
  }
  out = std::move(suggestions);
  return static_cast<std::int32_t>(results.size());
}

}  // namespace lexivane
