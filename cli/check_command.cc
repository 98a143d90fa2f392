#include "cli/check_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <limits>
#include <memory>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/check_output.h"
#include "cli/command_options.h"
#include "cli/event_printer.h"
#include "cli/sarif_reporter.h"
#include "frontend/io/command_error.h"
#include "frontend/io/input_text.h"
#include "frontend/io/sink_connection.h"
#include "frontend/io/standard_output.h"
#include "frontend/modes/document_modes.h"
#include "frontend/pipeline/prepared_checker.h"
#include "frontend/project/changed_lines.h"
#include "frontend/project/changed_lines_reporter.h"
#include "frontend/project/configured_check.h"
#include "frontend/project/walk.h"
#include "support/ascii.h"

namespace lexivane::cli {

using namespace frontend;

namespace {

// Prints every event of a run over the whole text; true when a word was reported unknown.
bool PrintEvents(SpellCheck& engine, const InputText& input) {
  // The events carry 32-bit positions and lengths, so the text cannot be cut into pieces here.
  constexpr std::size_t kMaxRun = std::numeric_limits<std::int32_t>::max();
  if (input.text.size() > kMaxRun) {
    throw CommandError(input.name + ": too long for --events, whose positions are 32-bit (" +
                       std::to_string(input.text.size()) + " UTF-16 code units, at most " +
                       std::to_string(kMaxRun) + ")");
  }
  EventPrinter printer;
  {
    const SinkConnection connection(engine, printer);
    engine.CheckText(input.text, false);
  }
  return printer.found_unknown_word();
}

// Reports the misspelt words of one input, those of the prose the file's mode leaves, each as
// it stands in the file, at its place there. The session is shared by all the inputs of the
// command: each distinct word is judged once, and its suggestions are searched only when shown,
// and once, since a misspelling tends to recur. `sink` is the reporter, or passes the findings
// on to it.
void CheckInput(const InputText& input, DocumentMode mode, CodeIdentifiers identifiers,
                DocumentChecker& checker, CheckOutput& reporter, Reporter& sink) {
  reporter.Begin(input.text);
  checker.Check({input.name, mode, identifiers}, input.text, sink);
}

// The suggestion lists a walk keeps: a whole repository's misspellings, a few hundred thousand
// distinct ones in the largest trees.
constexpr std::size_t kWalkSuggestionLists = std::size_t{1} << 18;

// The files of the folders among options.files, and the files named beside them, each thread
// with a checker of its own and each file's report made apart, then printed in path order. A
// SARIF log is one document: each file's results come back as JSON and are written at the end.

int CheckFolders(const CheckOptions& options, const CheckerSetup& setup,
                 ConfiguredCheck& configured, const std::optional<ChangedLines>& changed) {
  if (options.events) throw CommandError("--events takes files, not folders");
  const bool sarif = options.format == CheckFormat::kSarif;
  nlohmann::ordered_json sarif_results = nlohmann::ordered_json::array();
  // The threads' checkers answer alike, so a word is searched for suggestions once in the walk.
  CheckerSetup walk_setup = setup;
  walk_setup.shared_suggestions = std::make_shared<SuggestionMemo>(kWalkSuggestionLists);
  const Learning learning{setup, [&options](const std::string& path, std::string_view first) {
                            return WalkedFileMode(options.mode_name, path, first);
                          }};
  const WalkOutcome outcome = CheckWalkedFiles(
      options.files, options.walk, configured,
      [&] {
        auto checker = std::make_shared<PreparedChecker>(walk_setup);
        auto shown = std::make_shared<ShownLists>(checker->session());
        return [&options, &configured, &changed, sarif, checker, shown](OpenedFile& file,
                                                                        FileReport& report) {
          const std::string& path = file.walked.path;
          if (changed && !changed->Touches(path)) {
            report.skipped = SkipReason::kUnchanged;
            return;
          }
          const DocumentMode mode = WalkedFileMode(options.mode_name, path, file.first_block);
          const std::optional<CodeIdentifiers> identifiers =
              PrepareWalkedFile(configured, file.walked, mode, checker->session(), report);
          if (!identifiers) return;
          std::ostringstream out;
          const std::unique_ptr<CheckOutput> reporter =
              MakeCheckOutput(options.format, options.max_suggestions > 0, *shown, out);
          FindingCounter counter(*reporter);
          const InputText input = ReadInput(file.input, std::move(file.first_block));
          if (changed) {
            ChangedLinesReporter changed_only(counter, *changed, path, input.text);
            CheckInput(input, mode, *identifiers, checker->checker(), *reporter, changed_only);
          } else {
            CheckInput(input, mode, *identifiers, checker->checker(), *reporter, counter);
          }
          if (sarif) {
            report.output = static_cast<SarifReporter&>(*reporter).TakeResults().dump();
          } else {
            reporter->Finish();
            report.output = out.str();
          }
          report.findings = counter.count();
        };
      },
      [&](const std::string& output) {
        if (!sarif) {
          std::cout << output;
          return;
        }
        for (auto& result : nlohmann::ordered_json::parse(output)) {
          sarif_results.push_back(std::move(result));
        }
      },
      &learning);
  if (sarif) WriteSarifLog(std::cout, std::move(sarif_results));
  return outcome.failed ? kExitError : outcome.found ? kExitFound : kExitClean;
}

// The folder whose repository --changed reads: the first path's (a folder, or a file's
// folder), or the current one.
std::filesystem::path FolderOf(const std::vector<std::string>& paths) {
  if (paths.empty() || paths.front() == "-") return ".";
  const std::filesystem::path first(paths.front());
  if (std::filesystem::is_directory(first)) return first;
  return first.has_parent_path() ? first.parent_path() : std::filesystem::path(".");
}

}  // namespace

void AddCheckCommand(CLI::App& app, CheckOptions& options) {
  CLI::App* check = app.add_subcommand(
      "check",
      "Report the misspelt words of texts (standard input when no file is named), UTF-8 unless "
      "a byte order mark says UTF-16 or UTF-32");
  check->add_option("files", options.files, "Text files to check; - reads standard input");
  AddCustomOption(*check, options.custom_file);
  AddModeOption(*check, options.mode_name);
  AddIdentifiersOption(*check, options.identifiers);
  AddNoRuleOption(*check, options.rules_off);
  AddVariantOption(*check, options.variant);
  AddConfigOption(*check, options.config_file);
  AddFormatOptions(*check, options.format);
  check->add_flag("--events", options.events,
                  "Print every event of a text check run without the dialog, one JSON object a "
                  "line, instead of the findings");
  check
      ->add_option("--suggestions", options.max_suggestions,
                   "How many suggestions to show for each word (default 5; 0 shows none)")
      ->check(CLI::Validator(
          [](const std::string& value) {
            const bool whole = !value.empty() && value.size() <= 9 &&
                               std::all_of(value.begin(), value.end(), support::IsAsciiDigit<char>);
            return whole ? "" : value + " is not a whole number from 0 to 999999999";
          },
          "N"));
  AddRankingOption(*check, options.ranking);
  AddWalkOptions(*check, options.walk);
  check
      ->add_option("--changed", options.changed,
                   "Check only the lines added or changed since REV (default: the working tree "
                   "against HEAD), in the git repository of the paths given")
      ->expected(0, 1)
      ->type_name("REV");
}

int RunCheck(const CheckOptions& given) {
  CheckOptions options = given;
  // `--changed PATH`: the value is a path to check, not a revision (a revision named as a path
  // is written in full: refs/heads/docs).
  if (options.changed && !options.changed->empty() && std::filesystem::exists(*options.changed)) {
    options.files.insert(options.files.begin(), *options.changed);
    options.changed = "";
  }
  CheckerSetup setup;
  setup.custom_file = options.custom_file;
  setup.rules = AllRulesExcept(options.rules_off);
  setup.ranking = options.ranking;
  setup.max_suggestions = static_cast<std::size_t>(options.max_suggestions);
  ConfiguredCheck configured(options.config_file, setup.rules, options.identifiers,
                             options.variant);
  std::optional<ChangedLines> changed;
  if (options.changed) {
    if (options.events) throw CommandError("--events takes whole texts, not --changed");
    changed = ChangedLines::Since(FolderOf(options.files),
                                  options.changed->empty() ? std::nullopt : options.changed);
  }
  if (NamesDirectory(options.files)) return CheckFolders(options, setup, configured, changed);
  configured.ReadConfigurations(options.files);
  PreparedChecker checker(setup);
  ShownLists shown(checker.session());
  const std::unique_ptr<CheckOutput> reporter =
      MakeCheckOutput(options.format, options.max_suggestions > 0, shown, std::cout);
  bool found = false;
  const bool all_read = ForEachInputFile(options.files, [&](const std::string& file) {
    const DocumentMode mode = ModeOf(options.mode_name, file);
    const std::optional<CodeIdentifiers> identifiers =
        configured.Prepare(file, mode, checker.session());
    if (!identifiers) return;  // left out by the configuration
    if (changed && (file == "-" || !changed->Touches(file))) return;
    const InputText input = ReadInput(file);
    if (options.events) {
      found = PrintEvents(checker.engine(), input) || found;
    } else {
      if (changed) {
        ChangedLinesReporter changed_only(*reporter, *changed, file, input.text);
        CheckInput(input, mode, *identifiers, checker.checker(), *reporter, changed_only);
      } else {
        CheckInput(input, mode, *identifiers, checker.checker(), *reporter, *reporter);
      }
    }
  });
  if (!options.events) reporter->Finish();
  found = found || checker.checker().found();
  return !all_read ? kExitError : found ? kExitFound : kExitClean;
}

}  // namespace lexivane::cli
