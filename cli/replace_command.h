// `lexivane replace FIND REPLACE [FILE]`: every whole-word occurrence of FIND, in any letter
// case, replaced by REPLACE; the result goes to standard output.
#pragma once

#include <string>

namespace CLI {
class App;
}

namespace lexivane::cli {

struct ReplaceOptions {
  std::string find;
  std::string replace;
  std::string file = "-";
};

// Registers the subcommand and its options on `app`.
void AddReplaceCommand(CLI::App& app, ReplaceOptions& options);
int RunReplace(const ReplaceOptions& options);

}  // namespace lexivane::cli
