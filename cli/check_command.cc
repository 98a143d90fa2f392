#include "cli/check_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdint>
#include <iostream>
#include <limits>
#include <nlohmann/json.hpp>

#include "cli/command_options.h"
#include "cli/event_printer.h"
#include "frontend/command_error.h"
#include "frontend/custom_dictionary_file.h"
#include "frontend/document_modes.h"
#include "frontend/identifier_parts.h"
#include "frontend/input_text.h"
#include "frontend/running_words.h"
#include "frontend/sink_connection.h"
#include "frontend/spelling_session.h"
#include "frontend/standard_output.h"
#include "frontend/text_positions.h"
#include "lexivane/utf8.h"
#include "support/ascii.h"

namespace lexivane::cli {

using namespace frontend;

namespace {

// Lines and columns are shown from 1.
void Report(const CheckOptions& options, const std::string& file, LinePosition where,
            std::size_t offset, std::u16string_view word,
            const std::vector<std::u16string>& suggestions) {
  if (options.json) {
    nlohmann::ordered_json finding{{"file", file},
                                   {"line", where.line + 1},
                                   {"column", where.column + 1},
                                   {"offset", offset},
                                   {"word", ToUtf8(word)},
                                   {"suggestions", nlohmann::ordered_json::array()}};
    for (const std::u16string& suggestion : suggestions)
      finding["suggestions"].push_back(ToUtf8(suggestion));
    std::cout << finding.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
              << '\n';
    return;
  }
  std::cout << file << ':' << where.line + 1 << ':' << where.column + 1 << ": " << ToUtf8(word);
  if (options.max_suggestions > 0) {
    std::cout << ':';
    if (suggestions.empty()) std::cout << " (no suggestions)";
    for (std::size_t i = 0; i < suggestions.size(); ++i)
      std::cout << (i == 0 ? " " : ", ") << ToUtf8(suggestions[i]);
  }
  std::cout << '\n';
}

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

// Reports the misspelt words of one input; true when there was any. The session is shared by
// all the inputs of the command: each distinct word is judged once, and its suggestions are
// searched only when shown, and once, since a misspelling tends to recur.
// The words are those of the prose the file's mode leaves; each is reported as it stands in
// the file, at its place there.
bool CheckInput(SpellCheck& engine, const CheckOptions& options, const InputText& input,
                DocumentMode mode, SpellingSession& session) {
  if (options.events) return PrintEvents(engine, input);
  std::u16string prose;
  const CodeIdentifiers identifiers = CodeIdentifiersIn(mode, options.identifiers);
  const bool filtered = HidesAnythingIn(mode, input.text);
  if (filtered) HideNonProse(prose = input.text, mode, identifiers);
  PositionCounter positions(input.text, Columns::kCharacters);
  bool found = false;
  ForEachCheckedWord(filtered ? prose : input.text, identifiers, [&](const RunningWord& word) {
    if (session.Accepts(word.word)) return;
    found = true;
    const SuggestionList suggestions = session.Suggestions(word.word);
    Report(options, input.name, positions.At(word.offset), word.offset,
           std::u16string_view(input.text).substr(word.offset, word.length), *suggestions);
    CheckStandardOutput();
  });
  return found;
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
  check->add_flag("--json", options.json, "Print one JSON object per misspelt word");
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
}

int RunCheck(const CheckOptions& options) {
  SpellCheck engine;
  engine.Init();
  AcceptedNames names;
  CustomDictionaryFile(options.custom_file).LoadInto(engine, &names);

  SpellingSession session(engine, static_cast<std::size_t>(options.max_suggestions),
                          AllRulesExcept(options.rules_off), options.ranking);
  session.AcceptNames(std::move(names));
  bool found = false;
  const bool all_read = ForEachInputFile(options.files, [&](const std::string& file) {
    found =
        CheckInput(engine, options, ReadInput(file), ModeOf(options.mode_name, file), session) ||
        found;
  });
  return !all_read ? kExitError : found ? kExitFound : kExitClean;
}

}  // namespace lexivane::cli
