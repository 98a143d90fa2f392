#include "cli/check_reporter.h"

#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "frontend/io/standard_output.h"
#include "lexivane/utf8.h"

namespace lexivane::cli {

using namespace frontend;

CheckReporter::CheckReporter(Format format, bool shows_suggestions, SpellingSession& session,
                             std::ostream& out)
    : format_(format), shows_suggestions_(shows_suggestions), session_(session), out_(out) {}

void CheckReporter::Begin(std::u16string_view text) {
  positions_.emplace(text, Columns::kCharacters);
}

void CheckReporter::Report(const Document& document, const Finding& finding) {
  const LinePosition where = positions_->At(finding.offset);
  const SuggestionList list = session_.Suggestions(FromUtf8(finding.word));
  const std::vector<std::u16string>& suggestions = *list;
  if (format_ == Format::kJson) {
    nlohmann::ordered_json report{
        {"file", document.name},      {"line", where.line + 1},
        {"column", where.column + 1}, {"offset", finding.offset},
        {"word", finding.written},    {"suggestions", nlohmann::ordered_json::array()}};
    for (const std::u16string& suggestion : suggestions) {
      report["suggestions"].push_back(ToUtf8(suggestion));
    }
    out_ << report.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
  } else {
    out_ << document.name << ':' << where.line + 1 << ':' << where.column + 1 << ": "
         << finding.written;
    if (shows_suggestions_) {
      out_ << ':';
      if (suggestions.empty()) out_ << " (no suggestions)";
      for (std::size_t i = 0; i < suggestions.size(); ++i) {
        out_ << (i == 0 ? " " : ", ") << ToUtf8(suggestions[i]);
      }
    }
    out_ << '\n';
  }
  CheckStandardOutput();
}

}  // namespace lexivane::cli
