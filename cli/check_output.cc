#include "cli/check_output.h"

#include <CLI/CLI.hpp>
#include <map>

#include "cli/check_reporter.h"
#include "cli/github_reporter.h"
#include "cli/sarif_reporter.h"

namespace lexivane::cli {

void AddFormatOptions(CLI::App& check, CheckFormat& format) {
  static const std::map<std::string, CheckFormat, std::less<>> kNames{
      {"text", CheckFormat::kText},
      {"json", CheckFormat::kJson},
      {"sarif", CheckFormat::kSarif},
      {"github", CheckFormat::kGithub}};
  CLI::Option* named =
      check
          .add_option_function<std::string>(
              "--format", [&format](const std::string& name) { format = kNames.at(name); },
              "How to report the misspelt words: text (FILE:LINE:COLUMN: WORD: suggestions), "
              "json (one object a line), sarif (one SARIF 2.1.0 log), github (GitHub Actions "
              "workflow commands); default text")
          ->check(CLI::Validator(
              [](const std::string& name) {
                return kNames.contains(name)
                           ? ""
                           : "no format " + name + " (the formats: text, json, sarif, github)";
              },
              "NAME"));
  check
      .add_flag_callback(
          "--json", [&format] { format = CheckFormat::kJson; }, "The same as --format json")
      ->excludes(named);
}

std::unique_ptr<CheckOutput> MakeCheckOutput(CheckFormat format, bool shows_suggestions,
                                             ShownLists& shown, std::ostream& out) {
  switch (format) {
    case CheckFormat::kSarif:
      return std::make_unique<SarifReporter>(shown, out);
    case CheckFormat::kGithub:
      return std::make_unique<GithubReporter>(shown, out);
    case CheckFormat::kText:
    case CheckFormat::kJson:
      break;
  }
  return std::make_unique<CheckReporter>(format == CheckFormat::kJson, shows_suggestions, shown,
                                         out);
}

std::string MisspellingMessage(std::string_view word, const std::vector<std::string>& suggestions) {
  std::string message = "\"" + std::string(word) + "\" is not a known word";
  for (std::size_t i = 0; i < suggestions.size(); ++i) {
    message += (i == 0 ? " (suggestions: " : ", ") + suggestions[i];
  }
  if (!suggestions.empty()) message += ')';
  return message;
}

}  // namespace lexivane::cli
