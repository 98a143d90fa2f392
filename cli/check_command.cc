#include "cli/check_command.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "cli/event_printer.h"
#include "textcheck/word_scanner.h"

namespace lexivane::cli {

namespace {

// Turns 0-based UTF-16 offsets, visited in increasing order, into 1-based lines and columns.
// A line ends at LF, at CR LF or at a lone CR; columns count characters, not code units.
class LineCounter {
 public:
  explicit LineCounter(std::u16string_view text) : text_(text) {}

  std::pair<int, int> Advance(std::size_t offset) {
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
  int line_ = 1;
  int column_ = 1;
};

void Report(const CheckOptions& options, const std::string& file, std::pair<int, int> where,
            std::size_t offset, std::u16string_view word,
            const std::vector<std::u16string>& suggestions) {
  const std::size_t shown =
      std::min(suggestions.size(), static_cast<std::size_t>(std::max(options.max_suggestions, 0)));
  if (options.json) {
    nlohmann::ordered_json finding{
        {"file", file},           {"line", where.first},
        {"column", where.second}, {"offset", offset},
        {"word", Utf8(word)},     {"suggestions", nlohmann::ordered_json::array()}};
    for (std::size_t i = 0; i < shown; ++i) finding["suggestions"].push_back(Utf8(suggestions[i]));
    std::cout << finding.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
              << '\n';
    return;
  }
  std::cout << file << ':' << where.first << ':' << where.second << ": " << Utf8(word) << ':';
  if (shown == 0) std::cout << " (no suggestions)";
  for (std::size_t i = 0; i < shown; ++i)
    std::cout << (i == 0 ? " " : ", ") << Utf8(suggestions[i]);
  std::cout << '\n';
}

}  // namespace

void AddCheckCommand(CLI::App& app, CheckOptions& options) {
  CLI::App* check = app.add_subcommand(
      "check", "Report the misspelt words of UTF-8 texts (standard input when no file is named)");
  check->add_option("files", options.files, "Text files to check; - reads standard input");
  check->add_option("--custom", options.custom_file,
                    "Custom dictionary to use instead of " + DefaultCustomDictionaryFile());
  check->add_flag("--json", options.json, "Print one JSON object per misspelt word");
  check->add_flag("--events", options.events,
                  "Print every event of a text check run without the dialog, one JSON object a "
                  "line, instead of the findings");
  check
      ->add_option("--suggestions", options.max_suggestions,
                   "How many suggestions to show for each word (default 5)")
      ->check(CLI::NonNegativeNumber);
}

int RunCheck(const CheckOptions& options) {
  SpellCheck engine;
  engine.Init();
  LoadCustomDictionary(engine, options.custom_file);

  const std::vector<std::string> files =
      options.files.empty() ? std::vector<std::string>{"-"} : options.files;
  bool found = false;
  for (const std::string& file : files) {
    const InputText input = ReadInput(file);
    if (options.events) {
      EventPrinter printer(std::cout);
      engine.Advise(&printer);
      engine.CheckText(input.text, false);
      engine.Unadvise(&printer);
      found = found || printer.found_unknown_word();
      continue;
    }
    LineCounter lines(input.text);
    std::vector<std::u16string> suggestions;
    ForEachToken(input.text, [&](std::u16string_view token, std::int32_t position) {
      if (engine.CheckWord(token)) return;
      found = true;
      suggestions.clear();
      engine.GetSuggestions(token, suggestions);
      const std::size_t offset = static_cast<std::size_t>(position) - 1;
      Report(options, input.name, lines.Advance(offset), offset, token, suggestions);
    });
  }
  return found ? kExitFound : kExitClean;
}

}  // namespace lexivane::cli
