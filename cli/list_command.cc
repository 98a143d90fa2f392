#include "cli/list_command.h"

#include <CLI/CLI.hpp>

#include "cli/command_options.h"
#include "frontend/io/command_error.h"
#include "frontend/pipeline/prepared_checker.h"
#include "frontend/pipeline/word_list_reporter.h"
#include "frontend/project/configured_check.h"
#include "frontend/session/custom_dictionary_file.h"

namespace lexivane::cli {

using namespace frontend;

void AddListCommand(CLI::App& app, ListOptions& options) {
  CLI::App* list = app.add_subcommand(
      "list",
      "Print the misspelt words of texts (standard input when no file is named), one a line, "
      "in order");
  list->add_option("files", options.files, "Text files to check; - reads standard input");
  AddCustomOption(*list, options.custom_file);
  AddModeOption(*list, options.mode_name);
  AddNoRuleOption(*list, options.rules_off);
  AddConfigOption(*list, options.config_file);
  list->add_flag("-u,--unique", options.unique, "Print each misspelt word once");
  AddIdentifiersOption(*list, options.identifiers);
}

int RunList(const ListOptions& options) {
  CheckerSetup setup;
  setup.custom_file = options.custom_file;
  setup.rules = AllRulesExcept(options.rules_off);
  ConfiguredCheck configured(options.config_file, setup.rules, options.identifiers);
  configured.ReadConfigurations(options.files);
  PreparedChecker checker(setup);
  const ListedFiles listed = ListMisspeltWordsOfFiles(
      checker, options.files, options.unique,
      [&options](const std::string& file) { return ModeOf(options.mode_name, file); },
      options.identifiers,
      [&](const std::string& file, Document& document) {
        const auto identifiers = configured.Prepare(file, document.mode, checker.session());
        if (identifiers) document.identifiers = *identifiers;
        return identifiers.has_value();
      });
  return listed.failed ? kExitError : listed.found ? kExitFound : kExitClean;
}

}  // namespace lexivane::cli
