// `lexivane list`: the misspelt words of texts, one a line, as they stand in the text.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/walked_files.h"

namespace CLI {
class App;
}

namespace lexivane::cli {

struct ListOptions {
  std::vector<std::string> files;  // none means standard input
  std::optional<std::string> custom_file;
  std::optional<std::string> mode_name;             // none: by each file's extension
  std::vector<std::string> rules_off;               // word rules switched off, by name
  std::optional<frontend::EnglishVariant> variant;  // none: each file's configuration's
  bool unique = false;
  bool identifiers = false;
  // The configuration for every file (--config); none: each file's own.
  std::optional<std::string> config_file;
  WalkFlags walk;  // for the folders among `files`
};

// Registers the subcommand and its options on `app`.
void AddListCommand(CLI::App& app, ListOptions& options);
int RunList(const ListOptions& options);

}  // namespace lexivane::cli
