// The spell checking behind every front end that judges words as they come (`check`, the ispell
// pipe, the language server): verdicts, the session's own words, and the suggestions to show.
//
// Running text repeats its words, and editors ask about the same ones again and again, so each
// distinct word is judged once (Utf8WordVerdicts) and given its suggestions once. Words accepted
// for the session (ignored in an editor, the pipe's `@`) are matched as the engine matches its
// custom dictionary, in any letter case (FoldCase); words added to the custom dictionary go to
// the engine's. Either makes the session forget its verdicts and suggestions, since both may
// change: this is the one place that does.
//
// Suggestions come in the session's ranking (ranking.h; the typing ranking unless the front end
// chose the engine's own search), in the misspelling's letter case, at most `max_suggestions`; a
// word longer than kLongestWordToSuggestFor gets none, since the search grows with the square of
// the length and no English word comes near such a word (nor is it remembered). Each list is
// searched once and remembered (suggestion_memo.h), in a memo of the session's own of at most
// kRememberedSuggestions lists, or in one it shares with the sessions of other threads.
//
// Words the engine rejects may still pass the word rules (word_rules.h), all of them unless the
// front end switched some off. The English variant (english_variant.h; American unless the front
// end chose another) accepts its own spellings, flags the American ones it writes otherwise,
// and puts its spellings into the suggestions. A project's configuration (frontend/project/) may
// change the rules and the variant from one file to the next, and bring words of its own:
// accepted as the session's words are, or flagged, rejected even where the dictionaries or the
// rules accept them.
//
// One session per engine object, on the engine's thread; the engine must be initialised and
// outlive the session.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "frontend/session/english_variant.h"
#include "frontend/session/offered_lists.h"
#include "frontend/session/ranking.h"
#include "frontend/session/suggestion_memo.h"
#include "frontend/session/word_rules.h"
#include "frontend/session/word_verdicts.h"
#include "lexivane/spell_check.h"

namespace lexivane::frontend {

inline constexpr std::size_t kLongestWordToSuggestFor = 100;  // UTF-16 code units
inline constexpr std::size_t kRememberedSuggestions = 16384;
// The typing ranking's cost of a correction at or below which a word of `length` letters is
// likely a typo of it. A typo of a common word costs little: a letter dropped, doubled or
// swapped, or a neighbouring key struck (`lenght`, `funciton`, `recieve`: -6 to -8). Made-up
// words and abbreviations cost more, since no common word lies so near them (`ctx`, `rpc`,
// `comparator`: -1.5 to -2). Short words are held to a lower bar than long ones: most words of
// three to five letters lie near some common word (`tls` and `tells`), while a long word near a
// common one is nearly always a slip of it. Tuned on the identifiers of real source trees
// (bench/identifier_typos.py): -6 for three letters, -4.5 for four, -3.5 for five, -3 for six
// and seven, -2.5 from eight on.
float LikelyTypoCost(std::size_t length);
// The cost at or below which a word is taken as a typo whatever speaks for it otherwise (its
// parts are words, the project writes it in many files): a letter swapped, doubled or dropped
// in a common word of five letters or more (`foramt`, `mesage`, `lenght`).
inline constexpr float kSureTypoCost = -5.5f;

// What every front end shows for a misspelt word: TypingSuggestions (with the words of
// `offered` among its candidates) or ShownSuggestions, as `ranking` says, or none for a word
// longer than kLongestWordToSuggestFor.
std::vector<std::u16string> SuggestionsToShow(const SpellCheck& engine, std::u16string_view word,
                                              std::size_t max_count,
                                              Ranking ranking = kDefaultRanking,
                                              bool check_custom = true,
                                              const std::vector<const OfferedWords*>& offered = {});

// Words learned from a project's tree (frontend/project/learned_words.h), in LearnedForm: those
// of its prose and comments, and those of its identifiers; and those of its prose and comments
// offered as suggestions (null: none).
struct LearnedWords {
  std::unordered_set<std::string> in_prose;
  std::unordered_set<std::string> in_names;
  std::shared_ptr<const OfferedList> offered;
};
// `word` (UTF-8) as learned words are kept: folded (FoldCase).
std::string LearnedForm(std::string_view word);

// A project's words, folded (FoldCase). A word in both sets is flagged. The accepted ones are
// offered as suggestions (null: none).
struct ProjectWords {
  std::unordered_set<std::u16string> accepted;
  std::unordered_set<std::u16string> flagged;
  std::shared_ptr<const OfferedList> offered;
};

class SpellingSession {
 public:
  // `check_custom`: whether the engine's custom dictionary counts, in verdicts and suggestions
  // (not for a front end whose host keeps the person's words itself, as Enchant does).
  // `shared_suggestions`: the memo of the sessions this one answers alike; none: one of its own.
  SpellingSession(SpellCheck& engine, std::size_t max_suggestions,
                  WordRules rules = WordRules::All(), Ranking ranking = kDefaultRanking,
                  bool check_custom = true,
                  std::shared_ptr<SuggestionMemo> shared_suggestions = nullptr);
  SpellingSession(const SpellingSession&) = delete;
  SpellingSession& operator=(const SpellingSession&) = delete;

  // `word` as CheckWord is asked it (RunningWord::word).
  bool Accepts(std::u16string_view word);
  // The verdicts themselves, keyed by the word in UTF-8, for the walk over many words
  // (DocumentChecker), which looks several up at once.
  Utf8WordVerdicts& verdicts() { return verdicts_; }
  SuggestionList Suggestions(std::u16string_view word);
  // The cost of the likeliest correction of `word`, a word the session rejects (in UTF-8), in
  // the typing ranking (LikeliestCorrection); infinity for none. Remembered like the verdicts.
  float TypoCost(std::string_view word);
  // Whether that costs at most LikelyTypoCost, or the word is a word of four letters or more
  // the engine accepts with two neighbouring letters swapped or a doubled letter made single
  // (`tset`, `Globbal`: shapes of slips that abbreviations do not take, whatever the ranking
  // finds nearest): what the rule `unlikely-typos` asks of the words of identifiers.
  bool LikelyTypo(std::string_view word);
  // Whether a rejected word that many names of code use may be their vocabulary (a prefix of
  // a project's names, `KEYC`): no sure typo (TypoCost above kSureTypoCost) and no shape of a
  // slip (`etst`, `flagg`), since a misspelt word is often written the same way in every name
  // made with it.
  bool MayBeNameVocabulary(std::string_view word) {
    return TypoCost(word) > kSureTypoCost && !SlipShaped(word);
  }

  // Adds the word, as given, to the engine's custom dictionary (in memory; see
  // CustomDictionaryFile::AddWords for the file).
  void AddToCustom(std::u16string_view word);
  // The custom dictionary's words for the names rule (word_rules.h), as LoadInto gives them; the
  // words added since stay among them.
  void AcceptNames(AcceptedNames names);
  // Accepts the word, in any letter case, for as long as the session lasts.
  void AcceptForSession(std::u16string_view word);
  // The engine's dictionaries changed behind the session's back.
  void Forget();
  // The rules, the project's words (none: null) and the variant for the texts checked from now
  // on. The verdicts are forgotten only when one differs from the last (words compared as
  // objects), so that the files of one configuration, which come one after another, share them.
  void UseProjectSettings(WordRules rules, std::shared_ptr<const ProjectWords> words,
                          EnglishVariant variant = kDefaultVariant);
  // The words learned from the tree being checked (none: null), taken as the project's own
  // where the verdicts reject them (Learned). They leave the verdicts as they are.
  void UseLearnedWords(std::shared_ptr<const LearnedWords> words) {
    learned_words_ = std::move(words);
  }
  bool Learned(std::string_view word) const {
    return learned_words_ && Holds(learned_words_->in_prose, word);
  }
  bool LearnedInNames(std::string_view word) const {
    return learned_words_ && Holds(learned_words_->in_names, word);
  }
  // The variant alone, for a front end with no project (the pipe, the provider).
  void UseVariant(EnglishVariant variant) { UseProjectSettings(rules_, project_words_, variant); }
  EnglishVariant variant() const { return variant_; }
  WordRules rules() const { return rules_; }

  // The words added with AddToCustom, in order.
  const std::vector<std::u16string>& added_words() const { return added_words_; }
  std::size_t max_suggestions() const { return max_suggestions_; }

 private:
  bool Judge(std::u16string_view word) const;
  // LikelyTypo's shapes of slips; ASCII letters only.
  bool SlipShaped(std::string_view word) const;
  // What is known of a word's typo likelihood: TypoCost's answer, and LikelyTypo's once asked
  // (the document checker asks it for every place an identifier's word is written).
  struct TypoJudgement {
    float cost;
    std::optional<bool> likely;
  };
  TypoJudgement& Judged(std::string_view word);
  // Most words are not learned: the set is not searched, nor the word folded, when it is empty.
  static bool Holds(const std::unordered_set<std::string>& learned, std::string_view word) {
    return !learned.empty() && learned.contains(LearnedForm(word));
  }

  SpellCheck& engine_;
  const std::size_t max_suggestions_;
  WordRules rules_;
  std::shared_ptr<const ProjectWords> project_words_;
  std::shared_ptr<const LearnedWords> learned_words_;
  EnglishVariant variant_ = kDefaultVariant;
  const Ranking ranking_;
  const bool check_custom_;
  std::unordered_set<std::u16string> session_words_;    // folded
  std::shared_ptr<const OfferedList> session_offered_;  // the session's words, offered
  AcceptedNames accepted_names_;  // the custom dictionary's and the added words, folded
  std::vector<std::u16string> added_words_;
  Utf8WordVerdicts verdicts_;
  std::unordered_map<std::string, TypoJudgement> typo_judgements_;
  std::shared_ptr<SuggestionMemo> suggestions_;
};

}  // namespace lexivane::frontend
