#include "frontend/session/spelling_session.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <limits>
#include <string>
#include <utility>

#include "frontend/session/name_words.h"
#include "lexivane/letter_case.h"
#include "lexivane/shown_suggestions.h"
#include "lexivane/typing_suggestions.h"
#include "lexivane/utf8.h"
#include "support/ascii.h"

namespace lexivane::frontend {

std::vector<std::u16string> SuggestionsToShow(const SpellCheck& engine, std::u16string_view word,
                                              std::size_t max_count, Ranking ranking,
                                              bool check_custom,
                                              const std::vector<const OfferedWords*>& offered) {
  if (max_count == 0 || word.size() > kLongestWordToSuggestFor) return {};
  std::vector<std::u16string> shown =
      ranking == Ranking::kEngine
          ? ShownSuggestions(engine, word, max_count, check_custom)
          : TypingSuggestions(engine, word, max_count, check_custom, offered);
  // A name flagged for its small letters (word_rules.h) is offered with its capital, first when
  // the ranking leaves out the word as it is written (the typing ranking does).
  if (IsNameInSmallLetters(word)) {
    std::u16string name = CapitalisedName(word);
    if (const auto at = std::find(shown.begin(), shown.end(), word); at != shown.end()) {
      *at = std::move(name);
    } else if (std::find(shown.begin(), shown.end(), name) == shown.end()) {
      shown.insert(shown.begin(), std::move(name));
      if (shown.size() > max_count) shown.pop_back();
    }
  }
  return shown;
}

std::string LearnedForm(std::string_view word) {
  const bool ascii = std::all_of(word.begin(), word.end(), [](char c) { return (c & 0x80) == 0; });
  return ascii ? support::AsciiLowered(word) : ToUtf8(FoldCase(FromUtf8(word)));
}

SpellingSession::SpellingSession(SpellCheck& engine, std::size_t max_suggestions, WordRules rules,
                                 Ranking ranking, bool check_custom,
                                 std::shared_ptr<SuggestionMemo> shared_suggestions)
    : engine_(engine),
      max_suggestions_(max_suggestions),
      rules_(rules),
      ranking_(ranking),
      check_custom_(check_custom),
      verdicts_([this](std::u16string_view word) { return Judge(word); }),
      suggestions_(shared_suggestions ? std::move(shared_suggestions)
                                      : std::make_shared<SuggestionMemo>(kRememberedSuggestions)) {}

bool SpellingSession::Judge(std::u16string_view word) const {
  if (project_words_) {
    const std::u16string folded = FoldCase(word);
    if (project_words_->flagged.contains(folded)) return false;
    if (project_words_->accepted.contains(folded)) return true;
  }
  return FrontEndAccepts(engine_, word, rules_, accepted_names_, check_custom_, variant_) ||
         (!session_words_.empty() && session_words_.contains(FoldCase(word)));
}

void SpellingSession::AcceptNames(AcceptedNames names) {
  accepted_names_ = std::move(names);
  for (const std::u16string& word : added_words_) accepted_names_.insert(FoldCase(word));
  Forget();
}

bool SpellingSession::Accepts(std::u16string_view word) {
  return verdicts_.Accepts(ToUtf8(word));
}

SuggestionList SpellingSession::Suggestions(std::u16string_view word) {
  // None to search for, and none to remember: a long token would only fill the memory.
  if (max_suggestions_ == 0 || word.size() > kLongestWordToSuggestFor) {
    static const SuggestionList kNone = std::make_shared<const std::vector<std::u16string>>();
    return kNone;
  }
  // The lists of the project, the tree and the session, each told apart by its serial number.
  const std::array<const OfferedList*, 3> own = {
      project_words_ ? project_words_->offered.get() : nullptr,
      learned_words_ ? learned_words_->offered.get() : nullptr, session_offered_.get()};
  // The memo's key: the word, and after a NUL what sets its suggestions apart from those of the
  // sessions it may share the memo with: the variant's name when it is not American, a built-in
  // list left out, the serial numbers of the own lists.
  std::string apart;
  if (variant_ != kDefaultVariant) apart += VariantName(variant_);
  if (!rules_.Has(WordRule::kExtraWords)) apart += " -extra";
  if (!rules_.Has(WordRule::kCodeWords)) apart += " -code";
  for (const OfferedList* list : own) {
    if (list != nullptr) apart += ' ' + std::to_string(list->serial);
  }
  std::u16string key(word);
  if (!apart.empty()) {
    key += u'\0';
    key.append(apart.begin(), apart.end());
  }
  if (SuggestionList known = suggestions_->Find(key)) return known;
  // The lists offered besides the engine's: the variant's own spellings, the built-in ones the
  // rules accept, and the own lists.
  std::vector<const OfferedWords*> offered;
  if (const OfferedWords* spellings = VariantSpellingsOffered(variant_))
    offered.push_back(spellings);
  if (rules_.Has(WordRule::kExtraWords)) offered.push_back(&ExtraWordsOffered());
  if (rules_.Has(WordRule::kCodeWords)) offered.push_back(&CodeWordsOffered());
  for (const OfferedList* list : own) {
    if (list != nullptr) offered.push_back(&list->words);
  }
  return suggestions_->Remember(
      key, std::make_shared<const std::vector<std::u16string>>(InVariant(
               variant_, word,
               SuggestionsToShow(engine_, word, max_suggestions_, ranking_, check_custom_, offered),
               max_suggestions_)));
}

float LikelyTypoCost(std::size_t length) {
  // By length from three letters on; eight and more share the last.
  constexpr float kBars[] = {-6.0f, -4.5f, -3.5f, -3.0f, -3.0f, -2.5f};
  constexpr std::size_t kLast = std::size(kBars) - 1;
  return kBars[length <= 3 ? 0 : std::min(length - 3, kLast)];
}

SpellingSession::TypoJudgement& SpellingSession::Judged(std::string_view word) {
  // Bounded like the verdicts, so that a tree of endless made-up names cannot exhaust memory.
  constexpr std::size_t kMostRemembered = std::size_t{1} << 16;
  if (const auto known = typo_judgements_.find(std::string(word));
      known != typo_judgements_.end()) {
    return known->second;
  }
  const std::u16string wide = FromUtf8(word);
  const std::optional<TypingCorrection> correction =
      wide.size() > kLongestWordToSuggestFor ? std::nullopt
                                             : LikeliestCorrection(engine_, wide, check_custom_);
  const float cost = correction ? correction->cost : std::numeric_limits<float>::infinity();
  if (typo_judgements_.size() == kMostRemembered) typo_judgements_.clear();
  return typo_judgements_.emplace(word, TypoJudgement{cost, std::nullopt}).first->second;
}

float SpellingSession::TypoCost(std::string_view word) {
  return Judged(word).cost;
}

bool SpellingSession::LikelyTypo(std::string_view word) {
  TypoJudgement& judged = Judged(word);
  if (!judged.likely) {
    // The word's length in UTF-16 code units, counted in its UTF-8: one a sequence, two for one
    // of four bytes.
    const auto units =
        std::count_if(word.begin(), word.end(),
                      [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }) +
        std::count_if(word.begin(), word.end(),
                      [](char c) { return static_cast<unsigned char>(c) >= 0xF0; });
    judged.likely =
        judged.cost <= LikelyTypoCost(static_cast<std::size_t>(units)) || SlipShaped(word);
  }
  return *judged.likely;
}

bool SpellingSession::SlipShaped(std::string_view word) const {
  constexpr std::size_t kShortest = 4;
  if (word.size() < kShortest ||
      !std::all_of(word.begin(), word.end(), support::IsAsciiLetter<char>)) {
    return false;
  }
  std::u16string candidate(word.begin(), word.end());
  for (std::size_t i = 0; i + 1 < candidate.size(); ++i) {
    if (candidate[i] == candidate[i + 1]) {
      // `Globbal`: one of the two letters struck twice.
      const std::u16string single = candidate.substr(0, i) + candidate.substr(i + 1);
      if (single.size() >= kShortest && engine_.CheckWord(single, check_custom_)) return true;
    } else {
      // `tset`: two neighbouring letters swapped.
      std::swap(candidate[i], candidate[i + 1]);
      const bool word_again = engine_.CheckWord(candidate, check_custom_);
      std::swap(candidate[i], candidate[i + 1]);
      if (word_again) return true;
    }
  }
  return false;
}

void SpellingSession::AddToCustom(std::u16string_view word) {
  engine_.AddToCustom(word);
  added_words_.emplace_back(word);
  accepted_names_.insert(FoldCase(word));
  Forget();
}

void SpellingSession::AcceptForSession(std::u16string_view word) {
  session_words_.insert(FoldCase(word));
  session_offered_ = OwnWordsOffered({session_words_.begin(), session_words_.end()});
  Forget();
}

void SpellingSession::UseProjectSettings(WordRules rules, std::shared_ptr<const ProjectWords> words,
                                         EnglishVariant variant) {
  if (rules == rules_ && words == project_words_ && variant == variant_) return;
  rules_ = rules;
  project_words_ = std::move(words);
  variant_ = variant;
  verdicts_.Forget();  // the suggestions are remembered by variant, and depend on nothing else
}

void SpellingSession::Forget() {
  verdicts_.Forget();
  typo_judgements_.clear();
  suggestions_->Forget();
}

}  // namespace lexivane::frontend
