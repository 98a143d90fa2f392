#include "cli/list_command.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <unordered_set>

#include "cli/command_options.h"
#include "frontend/io/command_error.h"
#include "frontend/pipeline/prepared_checker.h"
#include "frontend/pipeline/word_list_reporter.h"
#include "frontend/project/configured_check.h"
#include "frontend/project/walk.h"
#include "frontend/session/custom_dictionary_file.h"

namespace lexivane::cli {

using namespace frontend;

namespace {

// The words of the folders among options.files, and of the files named beside them, each
// thread with a checker of its own; with --unique, each word once across them all.
int ListFolders(const ListOptions& options, const CheckerSetup& setup,
                ConfiguredCheck& configured) {
  std::unordered_set<std::string> printed;
  const auto print = [&options, &printed](const std::string& output) {
    if (!options.unique) {
      std::cout << output;
      return;
    }
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
      if (printed.insert(line).second) std::cout << line << '\n';
    }
  };
  const Learning learning{setup, [&options](const std::string& path, std::string_view first) {
                            return WalkedFileMode(options.mode_name, path, first);
                          }};
  const WalkOutcome outcome = CheckWalkedFiles(
      options.files, options.walk, configured,
      [&] {
        auto checker = std::make_shared<PreparedChecker>(setup);
        return [&options, &configured, checker](OpenedFile& file, FileReport& report) {
          const std::string& path = file.walked.path;
          const DocumentMode mode = WalkedFileMode(options.mode_name, path, file.first_block);
          const std::optional<CodeIdentifiers> identifiers =
              PrepareWalkedFile(configured, file.walked, mode, checker->session(), report);
          if (!identifiers) return;
          WordListReporter words(options.unique,
                                 [&report](std::string_view lines) { report.output += lines; });
          FindingCounter counter(words);
          ListWordsOfFile(checker->checker(), {path, mode, *identifiers}, file.input,
                          std::move(file.first_block), counter);
          report.findings = counter.count();
        };
      },
      print, &learning);
  return outcome.failed ? kExitError : outcome.found ? kExitFound : kExitClean;
}

}  // namespace

void AddListCommand(CLI::App& app, ListOptions& options) {
  CLI::App* list = app.add_subcommand(
      "list",
      "Print the misspelt words of texts (standard input when no file is named), one a line, "
      "in order");
  list->add_option("files", options.files, "Text files to check; - reads standard input");
  AddCustomOption(*list, options.custom_file);
  AddModeOption(*list, options.mode_name);
  AddNoRuleOption(*list, options.rules_off);
  AddVariantOption(*list, options.variant);
  AddConfigOption(*list, options.config_file);
  list->add_flag("-u,--unique", options.unique, "Print each misspelt word once");
  AddIdentifiersOption(*list, options.identifiers);
  AddWalkOptions(*list, options.walk);
}

int RunList(const ListOptions& options) {
  CheckerSetup setup;
  setup.custom_file = options.custom_file;
  setup.rules = AllRulesExcept(options.rules_off);
  ConfiguredCheck configured(options.config_file, setup.rules, options.identifiers,
                             options.variant);
  if (NamesDirectory(options.files)) return ListFolders(options, setup, configured);
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
