#include "suggest/typing/typing_ranking.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <tuple>

#include "engine/custom_dictionary.h"
#include "engine/soundex.h"
#include "engine/word_check.h"
#include "engine/word_tables.h"
#include "lexivane/letter_case.h"
#include "platform/text.h"
#include "suggest/case_style.h"
#include "suggest/letter_triples.h"
#include "suggest/near_words.h"
#include "suggest/similarity.h"
#include "suggest/sound_index.h"
#include "suggest/sound_key.h"
#include "suggest/suggestion_search.h"
#include "suggest/typing/offered_words.h"
#include "suggest/word_level.h"
#include "support/set_bits.h"

namespace lexivane {
namespace {

// A custom entry this similar to the misspelling, or within one edit, is a candidate.
constexpr double kCustomSimilarity = 0.7;
// Listed words of the misspelling's first letter this many edits away are candidates when none
// is within one edit (the search costs more than all else, and where a word one edit away
// exists, the intended word is nearly always among the others).
constexpr int kNearEdits = 2;
// Two listed words written as one are looked for in a misspelling of this many letters or more,
// the first of two letters or more (`re`, `un`, `sub`), the second of three or more: shorter
// ones split into hundreds of pairs of short words.
constexpr std::size_t kShortestJoined = 8;
constexpr std::size_t kShortestFirstPart = 2;
constexpr std::size_t kShortestSecondPart = 3;
// Where nothing else is near, the listed words of the misspelling's first letter this similar
// to it (SimilarityRatio) and at most this many letters longer or shorter.
constexpr double kLastResortSimilarity = 0.7;
constexpr std::size_t kLastResortLengths = 4;
// A sound neighbour whose length differs more than this is not worth ranking.
constexpr std::size_t kSoundLengthSpread = 3;

// Calls `take` for every string one edit away from `word`: a unit deleted, two adjacent ones
// swapped, one replaced by or one inserted from kRunLetters.
template <typename Text, typename Take>
void ForEachEdit(const Text& word, Take&& take) {
  Text edit;
  for (std::size_t i = 0; i < word.size(); ++i) {
    edit.assign(word, 0, i).append(word, i + 1);
    take(edit);
    if (i + 1 < word.size() && word[i] != word[i + 1]) {
      edit.assign(word);
      std::swap(edit[i], edit[i + 1]);
      take(edit);
    }
    edit.assign(word);
    for (const char c : kRunLetters) {
      if (static_cast<typename Text::value_type>(c) == word[i]) continue;
      edit[i] = static_cast<typename Text::value_type>(c);
      take(edit);
    }
  }
  for (std::size_t i = 0; i <= word.size(); ++i) {
    edit.assign(word, 0, i).append(1, 'a').append(word, i);
    for (const char c : kRunLetters) {
      edit[i] = static_cast<typename Text::value_type>(c);
      take(edit);
    }
  }
}

// As ForEachEdit over a single-byte word, in the same order, but calls take(edit, may_be_listed)
// with LetterTriples::MayBeListed of each, and only for the deletions, the swaps and the edits
// that may be listed: the letters that may replace one of the word's, or be put in, come from
// the runs around the place at once, so most edits are never spelled out. Of two letters or
// more, so that only a deletion leaves one.
template <typename Take>
void ForEachListableEdit(const std::string& word, const EditedWordTriples& runs, Take&& take) {
  const std::size_t n = word.size();
  const auto each_letter = [](std::uint32_t letters, auto&& with) {
    for (; letters != 0; letters &= letters - 1)
      with(kRunLetters[static_cast<std::size_t>(std::countr_zero(letters)) - 1]);
  };
  std::string edit;
  for (std::size_t i = 0; i < n; ++i) {
    edit.assign(word, 0, i).append(word, i + 1);
    take(edit, runs.MayBeListed(edit, i, n - i - 1));
    if (i + 1 < n && word[i] != word[i + 1]) {
      edit.assign(word);
      std::swap(edit[i], edit[i + 1]);
      take(edit, runs.MayBeListed(edit, i, n - i - 2));
    }
    edit.assign(word);
    each_letter(runs.Replacing(i), [&](char c) {
      if (c == word[i]) return;
      edit[i] = c;
      take(edit, true);
    });
  }
  for (std::size_t i = 0; i <= n; ++i) {
    edit.assign(word, 0, i).append(1, 'a').append(word, i);
    each_letter(runs.PuttingIn(i), [&](char c) {
      edit[i] = c;
      take(edit, true);
    });
  }
}

// The single-byte form of a lower-case word, as the main list holds it; false when a unit has
// none, and so the word is in no list (`bytes` is then empty).
bool ToListForm(std::u16string_view word, std::string& bytes) {
  if (platform::ToSingleByteExact(word, bytes)) return true;
  bytes.clear();
  return false;
}

// Candidates by main-list index, in an open-addressing table of the thread's that keeps its
// size from one gathering to the next: Clear empties only the slots the last gathering used, so
// that a word whose sound reaches thousands of words grows the table once, not every time.
class ListedCandidates {
 public:
  static constexpr std::uint32_t kNone = UINT32_MAX;

  void Clear() {
    for (const std::size_t at : used_) slots_[at] = {-1, kNone};
    used_.clear();
    if (slots_.empty()) slots_.assign(1024, {-1, kNone});
  }
  // The candidate of `index`, or nullptr when it has none.
  std::uint32_t* Find(std::int32_t index) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = Home(index, mask);; at = (at + 1) & mask) {
      if (slots_[at].first == index) {
        return slots_[at].second == kNone ? nullptr : &slots_[at].second;
      }
      if (slots_[at].first == -1) return nullptr;
    }
  }
  // The candidate of `index`: its slot's position, kNone until set.
  std::uint32_t& At(std::int32_t index) {
    if (used_.size() * 2 >= slots_.size()) Grow();
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = Home(index, mask);
    while (slots_[at].first != index && slots_[at].first != -1) at = (at + 1) & mask;
    if (slots_[at].first == -1) {
      slots_[at].first = index;
      used_.push_back(at);
    }
    return slots_[at].second;
  }

 private:
  static std::size_t Home(std::int32_t index, std::size_t mask) {
    return (static_cast<std::uint32_t>(index) * 2654435761u) & mask;
  }
  void Grow() {
    std::vector<std::pair<std::int32_t, std::uint32_t>> old = std::move(slots_);
    slots_.assign(old.size() * 2, {-1, kNone});
    used_.clear();
    for (const auto& [index, position] : old) {
      if (index != -1) At(index) = position;
    }
  }

  std::vector<std::pair<std::int32_t, std::uint32_t>> slots_;
  std::vector<std::size_t> used_;  // the slots in use
};

// The steps of a word level, commonest first (0) to custom words (7).
int RarenessOf(std::uint8_t level) {
  constexpr std::uint8_t kLevels[] = {10, 20, 35, 40, 50, 55};
  for (int step = 0; step < 6; ++step) {
    if (level != 0 && level <= kLevels[step]) return step;
  }
  return level == 0 ? 7 : 6;
}

// How often each letter occurs in a word, its letters binned by their low five bits: merging
// letters only hides differences, so a bound drawn from the bins holds for the letters.
// Counts fit in a byte: only words of up to kLongestBinned letters are binned.
using LetterBins = std::array<std::int8_t, 32>;
constexpr std::size_t kLongestBinned = 100;

LetterBins BinsOf(std::u16string_view word) {
  LetterBins bins{};
  for (const char16_t c : word) ++bins[c & 31];
  return bins;
}

// How many letters of the word with `word_bins` the listed word lacks, and how many of its own
// the word lacks.
std::pair<std::size_t, std::size_t> LetterSurplus(const LetterBins& word_bins,
                                                  std::string_view listed) {
  LetterBins listed_bins{};
  for (const char c : listed) ++listed_bins[static_cast<unsigned char>(c) & 31];
  // Plain loops over 32 bytes, which the compiler turns into a few vector instructions.
  int missing = 0, extra = 0;
  for (std::size_t b = 0; b < 32; ++b) {
    const int d = word_bins[b] - listed_bins[b];
    missing += std::max(d, 0);
    extra += std::max(-d, 0);
  }
  return {static_cast<std::size_t>(missing), static_cast<std::size_t>(extra)};
}

// The candidate's word in lower case, into `text`, whose storage is reused.
void FoldedText(const PreparedTables& tables, const TypingCandidate& candidate,
                std::u16string& text) {
  if (!candidate.word.empty()) {
    platform::ToLower(candidate.word, text);
    return;
  }
  const std::string_view listed = tables.Word(candidate.index);
  text.resize(listed.size());
  for (std::size_t at = 0; at < listed.size(); ++at)
    text[at] = platform::FromSingleByte(static_cast<unsigned char>(listed[at]));
}

// A candidate as it is offered for a word of `style`: a listed word (`folded`) in that style, a
// custom entry as the user wrote it, in that style.
std::u16string Shown(const TypingCandidate& candidate, const std::u16string& folded,
                     CaseStyle style) {
  return InCaseStyle(candidate.word.empty() ? folded : candidate.word, style);
}

// What a candidate's cost is known to be before it is measured: the terms that need no
// measuring, and the least that the similarity and the typing distance can add.
class CostBounds {
 public:
  CostBounds(const PreparedTables& tables, std::u16string_view lower, const RankingWeights& weights)
      : tables_(tables), lower_(lower), weights_(weights), bins_(BinsOf(lower)) {
    std::string bytes;
    key_ = PackedSoundex(ToListForm(lower, bytes) ? bytes : "");
    last_letter_ = lower.empty() ? 0 : lower.back();
    ascii_ = lower.size() <= kLongestBinned &&
             std::all_of(lower.begin(), lower.end(), [](char16_t c) { return c < 0x80; });
    cheapest_letter_ = LeastLetterCost(weights.typing);
    cheapest_edit_ = LeastEditCost(weights.typing);
    const TypingCosts& typing = weights.typing;
    first_edit_ =
        typing.swap >= 0 && typing.confusion >= 0 ? std::max(typing.first_letter, 0.0f) : 0.0f;
    subsequence_ = ascii_ && lower.size() <= kLongestSubsequenced;
    if (subsequence_) {
      for (std::size_t at = 0; at < lower.size(); ++at)
        positions_[lower[at]] |= std::uint64_t{1} << at;
    }
  }

  float Known(const TypingCandidate& candidate) const {
    const RankingWeights& w = weights_;
    float known = w.length * static_cast<float>(LengthDifference(candidate));
    if (candidate.soundex != key_) known += w.sound;
    if (!candidate.one_edit) known += w.far;
    if (candidate.two_words) known += w.split;
    if (candidate.joined) known += w.joined;
    if (candidate.last_letter != last_letter_) known += w.last_letter;
    if (candidate.sound_edits == 1) known += w.sound_one;
    if (candidate.sound_edits == 2) known += w.sound_far;
    return known + w.rare * static_cast<float>(RarenessOf(candidate.level)) +
           w.common * static_cast<float>(candidate.frequency);
  }

  // The least similarity term and the least typing distance. The similarity's matches lie in
  // order in both words, so there are no more of them than the longest common subsequence has
  // letters; each letter that one word lacks (`LetterSurplus`) must be edited. From the lengths
  // alone where the words are not both ASCII, or the misspelling is long.
  std::pair<float, float> LeastRest(const TypingCandidate& candidate) const {
    const std::size_t shorter = std::min(candidate.length, lower_.size());
    std::size_t missing = lower_.size() - shorter, extra = candidate.length - shorter;
    std::size_t matches = shorter;
    const bool listed = candidate.word.empty();
    if (ascii_ && listed && cheapest_edit_ > 0) {
      std::tie(missing, extra) = LetterSurplus(bins_, tables_.Word(candidate.index));
      matches = lower_.size() - missing;
    }
    if (subsequence_ && listed) {
      matches = std::min(matches, CommonSubsequence(tables_.Word(candidate.index)));
    }
    const float similarity = -std::max(weights_.similarity, 0.0f) * 2.0f *
                             static_cast<float>(matches) /
                             static_cast<float>(candidate.length + lower_.size());
    const float typing =
        std::max(cheapest_letter_ * static_cast<float>(LengthDifference(candidate)),
                 cheapest_edit_ * static_cast<float>(std::max(missing, extra)));
    return {similarity, typing};
  }

  // The least typing distance of a candidate that does not begin with the misspelling's first
  // letter. Every alignment then begins with an edit of that letter, which costs
  // `first_letter` more than its kind, and so at least that when no kind costs less than
  // nothing; every value a TypingMeter reaches on the way is as high.
  float LeastWithFirstLetterEdited() const { return first_edit_; }

 private:
  // The misspelling's longest common subsequence with a listed word: a row of the classic table
  // as a bit vector (Allison and Dix), one addition a letter.
  static constexpr std::size_t kLongestSubsequenced = 64;
  std::size_t CommonSubsequence(std::string_view listed) const {
    std::uint64_t row = ~std::uint64_t{0};
    for (const char c : listed) {
      const unsigned char byte = static_cast<unsigned char>(c);
      const std::uint64_t here = byte < 0x80 ? positions_[byte] : 0;
      row = (row + (row & here)) | (row & ~here);
    }
    const std::uint64_t used =
        lower_.size() == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << lower_.size()) - 1;
    return lower_.size() - static_cast<std::size_t>(support::SetBits(row & used));
  }

  std::size_t LengthDifference(const TypingCandidate& candidate) const {
    return std::max(candidate.length, lower_.size()) - std::min(candidate.length, lower_.size());
  }

  const PreparedTables& tables_;
  std::u16string_view lower_;
  const RankingWeights& weights_;
  LetterBins bins_;
  PackedKey key_;
  char16_t last_letter_;
  bool ascii_, subsequence_;
  std::array<std::uint64_t, 128> positions_{};  // where each ASCII letter is in the misspelling
  float cheapest_letter_, cheapest_edit_, first_edit_;
};

}  // namespace

TypingDictionaries TypingDictionaries::OfEmbeddedList(
    const CustomDictionary* custom, std::span<const OfferedWordIndex* const> offered) {
  return {SharedMainTables(), SharedSoundIndex(), SharedLetterTriples(), custom, offered};
}

std::vector<TypingCandidate> GatherCandidates(const TypingDictionaries& dictionaries,
                                              std::u16string_view word) {
  const std::u16string lower = FoldCase(word);
  if (!IsSuggestible(CleanWord(lower))) return {};
  const PreparedTables& tables = dictionaries.main;
  std::vector<TypingCandidate> candidates;
  candidates.reserve(64);  // most come from the sound, reserved for below
  // The search's own tables, not the thread's: a thread_local with a destructor is not safe in
  // the Windows component (HACKING.md), and under Wine threads ranking at once were seen to get
  // each other's candidates.
  ListedCandidates listed;
  listed.Clear();
  std::string bytes;
  const auto add_listed = [&](std::int32_t index, bool one_edit) -> TypingCandidate& {
    std::uint32_t& position = listed.At(index);
    if (position == ListedCandidates::kNone) {
      position = static_cast<std::uint32_t>(candidates.size());
      const std::string_view listed_word = tables.Word(index);
      // The candidate's fields as TypingCandidate lists them, not one a line.
      // clang-format off
      candidates.push_back({index, {}, listed_word.size(), candidates.size(), one_edit, false, false, 2,
                            WordLevel(index), WordFrequencyClass(index), tables.Key(index),
                            static_cast<unsigned char>(listed_word.back())});
      // clang-format on
    }
    TypingCandidate& candidate = candidates[position];
    candidate.one_edit = candidate.one_edit || one_edit;
    return candidate;
  };
  // A word not (or not as) the list holds it: a custom entry, an offered word, a split, two
  // words joined, "a" or "i". `level` and `frequency` are those of a word the list lacks.
  const auto add_text = [&](std::u16string text, bool one_edit, std::uint8_t unlisted_level = 0,
                            std::uint8_t unlisted_frequency = 0, bool joined = false) {
    const std::u16string folded = FoldCase(text);
    const bool single_byte = ToListForm(folded, bytes);
    const std::int32_t index = single_byte ? tables.Find(bytes) : -1;
    if (index >= 0 && listed.At(index) != ListedCandidates::kNone) {
      add_listed(index, one_edit);
      return;
    }
    for (TypingCandidate& candidate : candidates) {
      if (candidate.index < 0 && FoldCase(candidate.word) == folded) {
        candidate.one_edit = candidate.one_edit || one_edit;
        return;
      }
    }
    if (index >= 0) listed.At(index) = static_cast<std::uint32_t>(candidates.size());
    const std::size_t blank = bytes.find(' ');
    const bool two_words = single_byte && blank != std::string::npos;
    std::uint8_t level = index >= 0 ? WordLevel(index) : unlisted_level;
    std::uint8_t frequency = index >= 0 ? WordFrequencyClass(index) : unlisted_frequency;
    if (two_words) {
      // As common as the rarer of its words ("a" and "i" are among the commonest; an unlisted
      // word, the rarest).
      const auto part_index = [&](std::string_view part) { return tables.Find(part); };
      const auto part_level = [&](std::string_view part) {
        return part.size() == 1 ? kCommonestLevel : WordLevel(part_index(part));
      };
      const auto part_frequency = [&](std::string_view part) {
        return part.size() == 1 ? kHighestFrequencyClass : WordFrequencyClass(part_index(part));
      };
      const std::string_view left = std::string_view(bytes).substr(0, blank);
      const std::string_view right = std::string_view(bytes).substr(blank + 1);
      const std::uint8_t left_level = part_level(left), right_level = part_level(right);
      level = left_level == 0 || right_level == 0 ? 0 : std::max(left_level, right_level);
      frequency = std::min(part_frequency(left), part_frequency(right));
    }
    const char16_t last_letter = folded.empty() ? 0 : folded.back();
    candidates.push_back({index, std::move(text), folded.size(), candidates.size(), one_edit,
                          two_words, joined, 2, level, frequency,
                          PackedSoundex(single_byte ? bytes : ""), last_letter});
  };

  // Custom entries first, so that each keeps its letter case.
  const CustomDictionary* custom = dictionaries.custom;
  if (custom != nullptr) {
    for (const std::u16string& entry : custom->words()) {
      const std::u16string folded = FoldCase(entry);
      const bool one_edit = WithinOneEdit<std::u16string_view>(folded, lower);
      if (one_edit || SimilarityRatio(folded, lower) > kCustomSimilarity) {
        add_text(entry, one_edit);
      }
    }
  }
  // The host's offered words, in its order of lists.
  std::size_t within_two_edits = 0;  // words found by their edits, listed or offered
  for (const OfferedWordIndex* offered : dictionaries.offered) {
    offered->ForEachNear(lower, [&](std::size_t near, int edits) {
      add_text(std::u16string(offered->shown(near)), edits <= 1, offered->level(),
               offered->frequency());
      ++within_two_edits;
    });
  }
  // Listed words one edit away, and the words "a" and "i" (no table holds one letter). A word
  // beyond Latin-1 is in no list; the custom entries came above.
  const LetterTriples& triples = dictionaries.triples;
  std::size_t within_one_edit = 0;
  const auto add_edit = [&](std::string_view edit, bool may_be_listed) {
    if (edit.size() < 2) {
      if (edit == "a" || edit == "i") add_text(std::u16string(1, edit[0]), true);
      return;
    }
    if (!may_be_listed || !triples.PassesWordFilter(edit)) return;
    const std::int32_t index = tables.Find(edit);
    if (index >= 0) {
      add_listed(index, true);
      ++within_one_edit;
      ++within_two_edits;
    }
  };
  std::string lower_bytes, edit_bytes;
  const bool single_byte = ToListForm(lower, lower_bytes);
  const EditedWordTriples edited(triples, lower_bytes);
  if (single_byte) {
    ForEachListableEdit(lower_bytes, edited, add_edit);
  } else {
    ForEachEdit(lower, [&](const std::u16string& edit) {
      if (ToListForm(edit, edit_bytes)) add_edit(edit_bytes, triples.MayBeListed(edit_bytes));
    });
  }
  // Listed words two edits away, when at most one is within one.
  if (within_one_edit < 2) {
    std::vector<NearWord> near;
    FindNearWords(tables, lower_bytes, kNearEdits, near);
    for (const NearWord& found : near) add_listed(found.index, found.edits <= 1);
    within_two_edits += near.size();
  }
  // Listed words two swaps of adjacent letters away ("tyhe" for "they", "nkwo" for "know").
  {
    std::string swapped = lower_bytes;
    for (std::size_t i = 0; i + 1 < swapped.size(); ++i) {
      if (swapped[i] == swapped[i + 1]) continue;
      std::swap(swapped[i], swapped[i + 1]);
      for (std::size_t j = 0; j + 1 < swapped.size(); ++j) {
        if (j == i || swapped[j] == swapped[j + 1]) continue;
        std::swap(swapped[j], swapped[j + 1]);
        if (edited.MayBeListed(swapped, std::min(i, j), swapped.size() - std::max(i, j) - 2) &&
            triples.PassesWordFilter(swapped)) {
          const std::int32_t index = tables.Find(swapped);
          if (index >= 0) add_listed(index, false);
        }
        std::swap(swapped[j], swapped[j + 1]);
      }
      std::swap(swapped[i], swapped[i + 1]);
    }
  }
  // Two words: "a" and a word, or two of two letters or more, each listed or a custom entry as
  // it stands.
  std::string part_bytes;
  const auto is_word = [&](std::u16string_view part) {
    return (ToListForm(part, part_bytes) && tables.Find(part_bytes) >= 0) ||
           (custom != nullptr && custom->Contains(part));
  };
  for (std::size_t i = lower.starts_with(u'a') ? 1 : 2; i + 2 <= lower.size(); ++i) {
    const std::u16string_view left = std::u16string_view(lower).substr(0, i);
    const std::u16string_view right = std::u16string_view(lower).substr(i);
    if ((left == u"a" || is_word(left)) && is_word(right)) {
      add_text(std::u16string(left) + u' ' + std::u16string(right), false);
    }
  }
  // Two listed words written as one, one of them slipped (`postprocesing`, `autonegotaition`):
  // the listed part as it is and each listed word within one edit of the other; only when no
  // word is within two edits, since a slip of one word is far likelier than a compound no list
  // holds (`justication` is `justification`, not `just` and `cation`).
  if (within_two_edits == 0 && single_byte && lower_bytes.size() >= kShortestJoined) {
    const std::size_t n = lower_bytes.size();
    const auto join = [&](std::string_view left, std::string_view right) {
      const std::int32_t left_index = tables.Find(left), right_index = tables.Find(right);
      std::string joined = std::string(left).append(right);
      add_text(platform::FromSingleByte(joined), false,
               std::max(WordLevel(left_index), WordLevel(right_index)),
               std::min(WordFrequencyClass(left_index), WordFrequencyClass(right_index)), true);
    };
    for (std::size_t i = kShortestFirstPart; i + kShortestSecondPart <= n; ++i) {
      const std::string_view left = std::string_view(lower_bytes).substr(0, i);
      const std::string_view right = std::string_view(lower_bytes).substr(i);
      const bool left_listed = tables.Find(left) >= 0, right_listed = tables.Find(right) >= 0;
      // Both listed: the split above has them; neither: two slips, too far.
      if (left_listed == right_listed) continue;
      const std::string slipped(left_listed ? right : left);
      const EditedWordTriples slipped_runs(triples, slipped);
      ForEachListableEdit(slipped, slipped_runs, [&](std::string_view edit, bool may_be_listed) {
        if (!may_be_listed ||
            edit.size() < (left_listed ? kShortestSecondPart : kShortestFirstPart) ||
            !triples.PassesWordFilter(edit) || tables.Find(edit) < 0) {
          return;
        }
        if (left_listed) {
          join(left, edit);
        } else {
          join(edit, right);
        }
      });
    }
  }
  // Words that sound alike, listed first so that the candidates are reserved at once: a short
  // sound key reaches thousands of words.
  const std::string sound = SoundKey(lower);
  std::vector<std::pair<std::int32_t, int>> sounding;
  dictionaries.sounds.ForEachWordNearSound(
      sound, [&](std::int32_t index, int key_edits) { sounding.emplace_back(index, key_edits); });
  candidates.reserve(candidates.size() + sounding.size());
  for (const auto& [index, key_edits] : sounding) {
    const std::size_t length = tables.Word(index).size();
    // One far in length becomes no candidate, but one that already is learns its sound.
    if (std::max(length, lower.size()) - std::min(length, lower.size()) > kSoundLengthSpread &&
        listed.Find(index) == nullptr) {
      continue;
    }
    TypingCandidate& candidate = add_listed(index, false);
    candidate.sound_edits = std::min(candidate.sound_edits, key_edits);
  }
  // Nothing near by any of the above (a long word with several slips): the listed words of the
  // same first letter three edits away, so that a word gets some suggestion where one is near.
  if (candidates.empty()) {
    std::vector<NearWord> near;
    FindNearWords(tables, lower_bytes, kMostNearEdits, near);
    for (const NearWord& found : near) add_listed(found.index, found.edits <= 1);
  }
  // Failing those, the words of its first letter as similar as kLastResortSimilarity.
  if (candidates.empty() && single_byte) {
    std::vector<std::int32_t> similar;
    FindSimilarWords(tables, lower_bytes, kLastResortSimilarity, kLastResortLengths, similar);
    for (const std::int32_t index : similar) add_listed(index, false);
  }
  // The index knows every listed word's sound; the others' is worked out.
  for (TypingCandidate& candidate : candidates) {
    if (candidate.index < 0 && SoundKey(FoldCase(candidate.word)) == sound) {
      candidate.sound_edits = 0;
    }
  }
  return candidates;
}

// How many candidates per suggestion asked for are measured in the order of their least cost.
constexpr std::size_t kLeadingPerSuggestion = 2;

std::vector<std::u16string> RankCandidates(const PreparedTables& main,
                                           const std::vector<TypingCandidate>& candidates,
                                           std::u16string_view word, std::size_t most,
                                           const RankingWeights& weights,
                                           std::vector<float>* costs_out) {
  const std::u16string lower = FoldCase(word);
  const CostBounds bounds(main, lower, weights);
  const CaseStyle style = CaseStyleOf(word);
  // Candidates are measured from the lowest least cost on, so that the bar (the cost of the
  // `most`th best so far) falls early; one whose least cost is above it can never be among
  // them, and is not measured. Only the first few need their order: after them the bar is
  // near its last value, and the rest are taken as they come (keeping them all in order costs
  // more comparisons, each a coin toss to the processor, than it saves measurements).
  std::vector<std::pair<float, std::size_t>> order;  // (least cost, candidate)
  std::vector<float> known(candidates.size()), least_similarity(candidates.size());
  order.reserve(candidates.size());
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    known[i] = bounds.Known(candidates[i]);
    const auto [similarity, typing] = bounds.LeastRest(candidates[i]);
    least_similarity[i] = similarity;
    order.emplace_back(known[i] + similarity + typing, i);
  }
  const auto by_least = [](const std::pair<float, std::size_t>& a,
                           const std::pair<float, std::size_t>& b) { return a.first < b.first; };
  const std::size_t leading =
      std::min(order.size(), std::min(most, order.size()) * kLeadingPerSuggestion);
  std::nth_element(order.begin(), order.begin() + leading, order.end(), by_least);
  std::sort(order.begin(), order.begin() + leading, by_least);
  // A margin for rounding: the bar only ever leaves out what is clearly worse.
  constexpr float kMargin = 1e-3f;
  std::vector<float> best_costs;  // a max-heap of the `most` lowest costs so far
  struct Measured {
    float cost;
    std::size_t candidate;
    std::u16string text;  // in lower case
  };
  std::vector<Measured> costs;
  std::u16string text;
  TypingMeter meter(lower, weights.typing);
  for (const auto& [least, i] : order) {
    const bool full = most > 0 && best_costs.size() == most;
    const float bar = full ? best_costs.front() + kMargin : std::numeric_limits<float>::infinity();
    if (least > bar) continue;
    FoldedText(main, candidates[i], text);
    const float rest = known[i] + least_similarity[i];
    // Such a candidate would cost more than the bar however it was measured.
    if (text[0] != lower[0] && rest + bounds.LeastWithFirstLetterEdited() > bar) continue;
    // The word as it is written is no correction of it.
    if (text == lower && Shown(candidates[i], text, style) == word) continue;
    float cost = meter.AtMost(text, bar - rest);
    if (cost + rest > bar) continue;
    if (weights.similarity != 0.0f) {
      cost -= weights.similarity * static_cast<float>(SimilarityRatio(text, lower));
    }
    cost += known[i];
    costs.push_back({cost, i, text});
    if (most == 0) continue;
    best_costs.push_back(cost);
    std::push_heap(best_costs.begin(), best_costs.end());
    if (best_costs.size() > most) {
      std::pop_heap(best_costs.begin(), best_costs.end());
      best_costs.pop_back();
    }
  }
  std::stable_sort(costs.begin(), costs.end(), [&](const Measured& a, const Measured& b) {
    return a.cost != b.cost ? a.cost < b.cost
                            : candidates[a.candidate].place < candidates[b.candidate].place;
  });
  std::vector<std::u16string> suggestions;
  for (const Measured& measured : costs) {
    if (suggestions.size() == most) break;
    const TypingCandidate& candidate = candidates[measured.candidate];
    std::u16string shown = Shown(candidate, measured.text, style);
    if (std::find(suggestions.begin(), suggestions.end(), shown) == suggestions.end()) {
      suggestions.push_back(std::move(shown));
      if (costs_out != nullptr) costs_out->push_back(measured.cost);
    }
  }
  return suggestions;
}

std::vector<std::u16string> RankByTyping(const TypingDictionaries& dictionaries,
                                         std::u16string_view word, std::size_t most,
                                         std::vector<float>* costs) {
  return RankCandidates(dictionaries.main, GatherCandidates(dictionaries, word), word, most, {},
                        costs);
}

}  // namespace lexivane
