// Which order a front end offers its suggestions in, and the names a person chooses it by
// (`--ranking NAME`, the language server's `suggestionRanking`, LEXIVANE_RANKING):
//
//   typing   TypingSuggestions: the likely typing errors first, tuned on real misspellings; the
//            default. A few tenths of a millisecond a word.
//   engine   ShownSuggestions: the engine's own search, the order of the suggestions dialog.
//            Under a tenth of a millisecond a word.
//
// Both put the suggestions in the misspelling's letter case. Pure functions; any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexivane::frontend {

enum class Ranking { kTyping, kEngine };
inline constexpr Ranking kDefaultRanking = Ranking::kTyping;

struct RankingName {
  std::string_view name;
  Ranking ranking;
  std::string_view what;  // what it is, in a few words for `--help`
};

// Every name, in the order `--help` shows them; RankingNamed is nullopt for any other name.
const std::vector<RankingName>& RankingNames();
std::optional<Ranking> RankingNamed(std::string_view name);
std::string_view NameOf(Ranking ranking);
// The names, separated by commas, for messages.
std::string RankingNameList();

}  // namespace lexivane::frontend
