#include "cli/check_command.h"

#include <CLI/CLI.hpp>
#include <cstdint>
#include <iostream>
#include <limits>
#include <new>
#include <nlohmann/json.hpp>
#include <unordered_map>

#include "cli/cli_support.h"
#include "cli/event_printer.h"
#include "cli/input_text.h"
#include "cli/running_words.h"
#include "cli/standard_output.h"
#include "cli/word_verdicts.h"

namespace lexivane::cli {

namespace {

// Turns 0-based UTF-16 offsets, visited in increasing order, into 1-based lines and columns.
// A line ends at LF, at CR LF or at a lone CR; columns count characters, not code units.
class LineCounter {
 public:
  explicit LineCounter(std::u16string_view text) : text_(text) {}

  std::pair<std::size_t, std::size_t> Advance(std::size_t offset) {
    for (; position_ < offset; ++position_) {
      const char16_t c = text_[position_];
      const bool line_end =
          c == u'\n' ||
          (c == u'\r' && (position_ + 1 >= text_.size() || text_[position_ + 1] != u'\n'));
      if (line_end) {
        ++line_;
        column_ = 1;
      } else if (c != u'\r' &&
                 !(c >= 0xDC00 && c <= 0xDFFF && position_ > 0 && text_[position_ - 1] >= 0xD800 &&
                   text_[position_ - 1] <= 0xDBFF)) {
        ++column_;
      }
    }
    return {line_, column_};
  }

 private:
  std::u16string_view text_;
  std::size_t position_ = 0;
  std::size_t line_ = 1;
  std::size_t column_ = 1;
};

void Report(const CheckOptions& options, const std::string& file,
            std::pair<std::size_t, std::size_t> where, std::size_t offset, std::u16string_view word,
            const std::vector<std::u16string>& suggestions) {
  if (options.json) {
    nlohmann::ordered_json finding{
        {"file", file},           {"line", where.first},
        {"column", where.second}, {"offset", offset},
        {"word", Utf8(word)},     {"suggestions", nlohmann::ordered_json::array()}};
    for (const std::u16string& suggestion : suggestions)
      finding["suggestions"].push_back(Utf8(suggestion));
    std::cout << finding.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
              << '\n';
    return;
  }
  std::cout << file << ':' << where.first << ':' << where.second << ": " << Utf8(word);
  if (options.max_suggestions > 0) {
    std::cout << ':';
    if (suggestions.empty()) std::cout << " (no suggestions)";
    for (std::size_t i = 0; i < suggestions.size(); ++i)
      std::cout << (i == 0 ? " " : ", ") << Utf8(suggestions[i]);
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

// What the inputs of one command share: each distinct word is judged once, and its
// suggestions are searched only when shown, and once: a misspelling tends to recur.
struct Judged {
  explicit Judged(const SpellCheck& engine) : verdicts(engine) {}
  WordVerdicts verdicts;
  std::unordered_map<std::u16string, std::vector<std::u16string>> suggested;
};

// Reports the misspelt words of one input; true when there was any.
bool CheckInput(SpellCheck& engine, const CheckOptions& options, const InputText& input,
                Judged& judged) {
  if (options.events) return PrintEvents(engine, input);
  LineCounter lines(input.text);
  WordVerdicts& verdicts = judged.verdicts;
  auto& suggested = judged.suggested;
  const std::vector<std::u16string> none;
  bool found = false;
  ForEachRunningWord(input.text, [&](const RunningWord& word) {
    if (verdicts.Accepts(word.word)) return;
    found = true;
    const std::vector<std::u16string>* suggestions = &none;
    if (options.max_suggestions > 0) {
      auto [it, added] = suggested.try_emplace(word.word);
      if (added) {
        engine.GetSuggestions(word.word, it->second);
        if (it->second.size() > static_cast<std::size_t>(options.max_suggestions))
          it->second.resize(static_cast<std::size_t>(options.max_suggestions));
      }
      suggestions = &it->second;
    }
    Report(options, input.name, lines.Advance(word.offset), word.offset,
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
  check->add_flag("--json", options.json, "Print one JSON object per misspelt word");
  check->add_flag("--events", options.events,
                  "Print every event of a text check run without the dialog, one JSON object a "
                  "line, instead of the findings");
  check
      ->add_option("--suggestions", options.max_suggestions,
                   "How many suggestions to show for each word (default 5; 0 shows none)")
      ->check(CLI::NonNegativeNumber);
}

int RunCheck(const CheckOptions& options) {
  SpellCheck engine;
  engine.Init();
  LoadCustomDictionary(engine, options.custom_file);

  const std::vector<std::string> files =
      options.files.empty() ? std::vector<std::string>{"-"} : options.files;
  Judged judged(engine);
  bool found = false;
  for (const std::string& file : files) {
    try {
      found = CheckInput(engine, options, ReadInput(file), judged) || found;
    } catch (const std::bad_alloc&) {
      throw CommandError((file == "-" ? "<stdin>" : file) + ": not enough memory to check it");
    }
  }
  return found ? kExitFound : kExitClean;
}

}  // namespace lexivane::cli
