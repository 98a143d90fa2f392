#include "cli/replace_command.h"

#include <CLI/CLI.hpp>
#include <iostream>

#include "frontend/io/command_error.h"
#include "frontend/io/input_text.h"
#include "frontend/io/standard_output.h"
#include "lexivane/spell_check.h"
#include "lexivane/utf8.h"

namespace lexivane::cli {

using namespace frontend;

void AddReplaceCommand(CLI::App& app, ReplaceOptions& options) {
  CLI::App* replace = app.add_subcommand(
      "replace",
      "Replace every whole-word occurrence of FIND, in any letter case, by REPLACE and write the "
      "text to standard output");
  replace->add_option("find", options.find, "The word to replace")->required();
  replace->add_option("replace", options.replace, "Its replacement, inserted as given")->required();
  replace->add_option("file", options.file, "The text (standard input when absent or -)");
}

int RunReplace(const ReplaceOptions& options) {
  const InputText input = ReadInput(options.file);
  const SpellCheck engine;
  std::cout << ToUtf8(engine.ReplaceWord(input.text, lexivane::FromUtf8(options.find),
                                         lexivane::FromUtf8(options.replace)));
  CheckStandardOutput();
  return kExitClean;
}

}  // namespace lexivane::cli
