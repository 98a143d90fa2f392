// enchant_lexivane.so: the Enchant 2 provider that answers English checks and suggestions from
// the Lexivane engine.
//
// Enchant loads every module in its provider folder and calls init_enchant_provider; the
// structures it hands back and forth are plain C with function pointers, and whatever we return
// as a list it frees with g_strfreev, so lists are built with GLib's allocator. Personal,
// session and exclude lists stay with Enchant, which consults them before it asks us, so the
// engine's own custom dictionary is never read or written here.
//
// Threads: the engine's tables belong to the thread that loads them, and a host may call one
// dictionary from several threads. Every thread that calls in gets its own checker (an engine
// and the session over it, frontend/pipeline/prepared_checker.h), made on its first call and
// destroyed when the thread ends; nothing is shared, so nothing is locked.
//
// Words are judged as every other front end judges them, by the session of the front ends (each
// distinct word once, its suggestions searched once): the typographic apostrophe read as
// U+0027, no suggestion search for a word too long to be near an English one, and which
// characters may stand in a word answered by the word rule itself (frontend/). Hosts ask about
// the words of running text, so the word rules (frontend/session/word_rules.h) accept what they
// accept elsewhere; Enchant has no options of its own for a provider, so LEXIVANE_NO_RULE (names
// separated by commas, read once per process) switches rules off. Suggestions come in the typing
// ranking, as in the other front ends, unless LEXIVANE_RANKING=engine (read once per process)
// chooses the engine's own search.
//
// Enchant hands over words, never documents: the application cuts its text and skips its own
// markup, so the document modes (frontend/modes/document_modes.h) have nothing to hide here.
//
// No exception leaves this file: a failure inside the engine answers "error" (check) or "no
// suggestions" (suggest) instead of reaching a host written in C.
#include <enchant-provider.h>
#include <glib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/pipeline/prepared_checker.h"
#include "frontend/session/english_variant.h"
#include "frontend/session/ranking.h"
#include "frontend/session/spelling_session.h"
#include "frontend/session/word_rules.h"
#include "frontend/words/running_words.h"
#include "frontend/words/word_characters.h"
#include "lexivane/shown_suggestions.h"
#include "lexivane/spell_check.h"
#include "lexivane/utf8.h"

namespace {

// The tags served, each an English variant (english_variant.h); "en" takes every variant's
// spellings, for a host asking for English without a region.
constexpr const char* kTags[] = {"en_US", "en_GB", "en_CA", "en_AU", "en"};

// The word as the engine is asked it, as running text is: each broken UTF-8 sequence becomes
// U+FFFD, a character no list entry holds, and marks are composed.
std::u16string EngineWord(const char* word, std::size_t length) {
  std::u16string text = lexivane::FromUtf8(std::string_view(word, word ? length : 0));
  lexivane::frontend::ReadApostrophes(text);
  lexivane::frontend::ComposeMarks(text);
  return text;
}

// The rules LEXIVANE_NO_RULE leaves on; an unknown name in it is passed over.
lexivane::frontend::WordRules Rules() {
  static const lexivane::frontend::WordRules rules = [] {
    const char* const off = std::getenv("LEXIVANE_NO_RULE");
    return lexivane::frontend::AllRulesExcept({off ? off : ""});
  }();
  return rules;
}

// The ranking LEXIVANE_RANKING names; the default for an unknown name or none.
lexivane::frontend::Ranking ChosenRanking() {
  static const lexivane::frontend::Ranking ranking = [] {
    const char* const name = std::getenv("LEXIVANE_RANKING");
    return lexivane::frontend::RankingNamed(name ? name : "")
        .value_or(lexivane::frontend::kDefaultRanking);
  }();
  return ranking;
}

// The calling thread's checker, made on the thread's first call. Enchant asks its personal word
// list before the provider, so there is no custom dictionary here.
lexivane::frontend::PreparedChecker& ThreadChecker() {
  thread_local std::unique_ptr<lexivane::frontend::PreparedChecker> checker;
  if (!checker) {
    lexivane::frontend::CheckerSetup setup;
    setup.uses_custom_file = false;
    setup.rules = Rules();
    setup.ranking = ChosenRanking();
    setup.max_suggestions = lexivane::kShownSuggestionsMax;
    checker = std::make_unique<lexivane::frontend::PreparedChecker>(setup);
  }
  return *checker;
}

// The thread's session, checking for the variant of `dict`'s tag (its user data). A thread that
// asks two dictionaries in turn judges afresh at each change of variant.
lexivane::frontend::SpellingSession& SessionFor(EnchantDict* dict) {
  lexivane::frontend::SpellingSession& session = ThreadChecker().session();
  session.UseVariant(static_cast<lexivane::frontend::EnglishVariant>(
      reinterpret_cast<std::uintptr_t>(dict->user_data)));
  return session;
}

int Check(EnchantDict* dict, const char* const word, std::size_t length) {
  try {
    return SessionFor(dict).Accepts(EngineWord(word, length)) ? 0 : 1;
  } catch (...) {
    return -1;
  }
}

// A NULL-terminated array that g_strfreev frees.
char** GStringArray(const std::vector<std::string>& items) {
  char** array = g_new0(char*, items.size() + 1);
  for (std::size_t i = 0; i < items.size(); ++i) array[i] = g_strdup(items[i].c_str());
  return array;
}

char** Suggest(EnchantDict* dict, const char* const word, std::size_t length,
               std::size_t* out_count) {
  *out_count = 0;
  try {
    const lexivane::frontend::SuggestionList list =
        SessionFor(dict).Suggestions(EngineWord(word, length));
    const std::vector<std::u16string>& suggestions = *list;
    if (suggestions.empty()) return nullptr;
    std::vector<std::string> utf8;
    utf8.reserve(suggestions.size());
    for (const auto& suggestion : suggestions) utf8.push_back(lexivane::ToUtf8(suggestion));
    *out_count = utf8.size();
    return GStringArray(utf8);
  } catch (...) {
    *out_count = 0;
    return nullptr;
  }
}

const char* ExtraWordCharacters(EnchantDict*) {
  return lexivane::frontend::kApostrophesUtf8;
}

// `position` is Enchant's: 0 the first character, 1 one inside, 2 the last.
int IsWordCharacter(EnchantDict*, std::uint32_t character, std::size_t position) {
  using lexivane::frontend::PlaceInWord;
  const PlaceInWord place = position == 0   ? PlaceInWord::kFirst
                            : position == 1 ? PlaceInWord::kInside
                                            : PlaceInWord::kLast;
  try {
    return lexivane::frontend::MayStandInWord(character, place);
  } catch (...) {
    return 0;
  }
}

bool Serves(const char* tag) {
  if (!tag) return false;
  for (const char* served : kTags) {
    if (std::string_view(tag) == served) return true;
  }
  return false;
}

EnchantDict* RequestDict(EnchantProvider*, const char* const tag) {
  if (!Serves(tag)) return nullptr;
  EnchantDict* dict = g_new0(EnchantDict, 1);
  dict->user_data =
      reinterpret_cast<void*>(static_cast<std::uintptr_t>(*lexivane::frontend::NamedVariant(tag)));
  dict->check = Check;
  dict->suggest = Suggest;
  dict->get_extra_word_characters = ExtraWordCharacters;
  dict->is_word_character = IsWordCharacter;
  return dict;
}

void DisposeDict(EnchantProvider*, EnchantDict* dict) {
  g_free(dict);
}

int DictionaryExists(EnchantProvider*, const char* const tag) {
  return Serves(tag);
}

const char* Identify(EnchantProvider*) {
  return "lexivane";
}

const char* Describe(EnchantProvider*) {
  return "Lexivane Provider";
}

char** ListDicts(EnchantProvider*, std::size_t* out_count) {
  *out_count = std::size(kTags);
  char** tags = g_new0(char*, std::size(kTags) + 1);
  for (std::size_t i = 0; i < std::size(kTags); ++i) tags[i] = g_strdup(kTags[i]);
  return tags;
}

void Dispose(EnchantProvider* provider) {
  g_free(provider);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) EnchantProvider* init_enchant_provider() {
  EnchantProvider* provider = g_new0(EnchantProvider, 1);
  provider->dispose = Dispose;
  provider->request_dict = RequestDict;
  provider->dispose_dict = DisposeDict;
  provider->dictionary_exists = DictionaryExists;
  provider->identify = Identify;
  provider->describe = Describe;
  provider->list_dicts = ListDicts;
  return provider;
}
