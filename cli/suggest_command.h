// `lexivane suggest`: the ranked suggestions for each word, with the count of ranked ones.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "frontend/session/ranking.h"

namespace CLI {
class App;
}

namespace lexivane::cli {

struct SuggestOptions {
  std::vector<std::string> words;
  std::optional<float> threshold;
  bool no_custom = false;
  std::optional<std::string> custom_file;
  bool json = false;
  frontend::Ranking ranking = frontend::Ranking::kEngine;
};

// Registers the subcommand and its options on `app`.
void AddSuggestCommand(CLI::App& app, SuggestOptions& options);
int RunSuggest(const SuggestOptions& options);

}  // namespace lexivane::cli
