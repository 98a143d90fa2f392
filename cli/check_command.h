// `lexivane check`: reports every word of the input texts that the word check rejects, with
// its line, column and first suggestions.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/check_output.h"
#include "cli/walked_files.h"
#include "frontend/session/ranking.h"

namespace CLI {
class App;
}

namespace lexivane::cli {

struct CheckOptions {
  std::vector<std::string> files;  // none means standard input
  std::optional<std::string> custom_file;
  std::optional<std::string> mode_name;             // none: by each file's extension
  std::vector<std::string> rules_off;               // word rules switched off, by name
  std::optional<frontend::EnglishVariant> variant;  // none: each file's configuration's
  CheckFormat format = CheckFormat::kText;
  bool events = false;
  bool identifiers = false;
  // The configuration for every file (--config); none: each file's own.
  std::optional<std::string> config_file;
  int max_suggestions = 5;
  frontend::Ranking ranking = frontend::kDefaultRanking;
  WalkFlags walk;  // for the folders among `files`
  // --changed [REV]: only the lines changed since REV ("" for the working tree against HEAD).
  std::optional<std::string> changed;
};

// Registers the subcommand and its options on `app`.
void AddCheckCommand(CLI::App& app, CheckOptions& options);
int RunCheck(const CheckOptions& options);

}  // namespace lexivane::cli
