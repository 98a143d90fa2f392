#include "cli/suggest_command.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/command_options.h"
#include "frontend/io/command_error.h"
#include "frontend/io/standard_output.h"
#include "frontend/pipeline/prepared_checker.h"
#include "frontend/session/offered_lists.h"
#include "lexivane/typing_suggestions.h"
#include "lexivane/utf8.h"

namespace lexivane::cli {

void AddSuggestCommand(CLI::App& app, SuggestOptions& options) {
  CLI::App* suggest = app.add_subcommand(
      "suggest",
      "Show the ranked suggestions for words, each after a count: the engine's own search's "
      "result, or the length of the typing ranking's list");
  suggest->add_option("words", options.words, "Words to find suggestions for")->required();
  suggest
      ->add_option("--threshold", options.threshold,
                   "Similarity a main-list word needs, 0 to 1 (default 0.8)")
      // NaN fails every comparison, so the range alone would let it through.
      ->check(CLI::Validator(
          [](const std::string& value) {
            return std::isfinite(std::strtod(value.c_str(), nullptr)) ? "" : "not a finite number";
          },
          "NUMBER"))
      ->check(CLI::Range(0.0f, 1.0f));
  suggest->add_flag("--no-custom", options.no_custom,
                    "Leave the custom dictionary out of the search");
  AddCustomOption(*suggest, options.custom_file);
  suggest->add_flag("--json", options.json, "Print one JSON object per word");
  AddRankingOption(*suggest, options.ranking);
}

int RunSuggest(const SuggestOptions& options) {
  frontend::CheckerSetup setup;
  setup.custom_file = options.custom_file;
  if (options.threshold) setup.suggestion_threshold = *options.threshold;
  frontend::PreparedChecker checker(setup);
  SpellCheck& engine = checker.engine();

  for (const std::string& word : options.words) {
    std::vector<std::u16string> suggestions;
    std::int32_t count = 0;
    if (options.ranking == frontend::Ranking::kTyping) {
      suggestions = TypingSuggestions(
          engine, lexivane::FromUtf8(word), lexivane::kShownSuggestionsMax, !options.no_custom,
          {&frontend::ExtraWordsOffered(), &frontend::CodeWordsOffered()});
      count = static_cast<std::int32_t>(suggestions.size());
    } else {
      count = engine.GetSuggestions(lexivane::FromUtf8(word), suggestions, !options.no_custom);
    }
    if (options.json) {
      nlohmann::ordered_json result{
          {"word", word}, {"count", count}, {"suggestions", nlohmann::ordered_json::array()}};
      for (const auto& suggestion : suggestions)
        result["suggestions"].push_back(ToUtf8(suggestion));
      std::cout << result.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                << '\n';
    } else {
      std::cout << word << ": " << count << '\n';
      for (const auto& suggestion : suggestions) std::cout << "  " << ToUtf8(suggestion) << '\n';
    }
    frontend::CheckStandardOutput();
  }
  return frontend::kExitClean;
}

}  // namespace lexivane::cli
