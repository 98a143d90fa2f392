#include "frontend/session/ranking.h"

namespace lexivane::frontend {

const std::vector<RankingName>& RankingNames() {
  static const std::vector<RankingName> names = {
      {"typing", Ranking::kTyping, "likely typing errors first, tuned on real misspellings"},
      {"engine", Ranking::kEngine, "the engine's own search, the suggestions dialog's order"},
  };
  return names;
}

std::optional<Ranking> RankingNamed(std::string_view name) {
  for (const RankingName& known : RankingNames()) {
    if (known.name == name) return known.ranking;
  }
  return std::nullopt;
}

std::string_view NameOf(Ranking ranking) {
  for (const RankingName& known : RankingNames()) {
    if (known.ranking == ranking) return known.name;
  }
  return RankingNames().front().name;
}

std::string RankingNameList() {
  std::string names;
  for (const RankingName& known : RankingNames())
    names += (names.empty() ? "" : ", ") + std::string(known.name);
  return names;
}

}  // namespace lexivane::frontend
