#include "cli/fix_command.h"

#include <CLI/CLI.hpp>

#include "cli/command_options.h"

namespace lexivane::cli {

void AddFixCommand(CLI::App& app, FixOptions& options) {
  CLI::App* fix = app.add_subcommand(
      "fix",
      "Correct a UTF-8 text file word by word with the suggestions dialog, in a window when "
      "there is a display, otherwise on the terminal; only the prose of a document is offered");
  fix->add_option("FILE", options.file, "The file to correct")->required();
  fix->add_flag("--terminal", options.terminal,
                "Answer on the terminal even when there is a display");
  AddCustomOption(*fix, options.custom_file);
  AddModeOption(*fix, options.mode_name);
  AddNoRuleOption(*fix, options.rules_off);
  fix->add_flag("--no-backup", options.no_backup,
                "Keep no copy of the original as FILE.bak (nor of the custom dictionary)");
  fix->footer(
      "Exit status: 0 done, 1 cancelled and the file left as it was, 2 an error (the file left "
      "as it was).");
}

int RunFix(const FixOptions& options) {
  return frontend::fix::CorrectFile(options, ModeOf(options.mode_name, options.file));
}

}  // namespace lexivane::cli
