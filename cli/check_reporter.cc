#include "cli/check_reporter.h"

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "frontend/io/standard_output.h"

namespace lexivane::cli {

using namespace frontend;

CheckReporter::CheckReporter(bool json, bool shows_suggestions, ShownLists& shown,
                             std::ostream& out)
    : CheckOutput(Columns::kCharacters, shown, out),
      json_(json),
      shows_suggestions_(shows_suggestions) {}

void CheckReporter::Report(const Document& document, const Finding& finding) {
  const LinePosition where = PlaceOf(finding);
  const std::vector<std::string>& suggestions = SuggestionsFor(finding);
  if (json_) {
    const nlohmann::ordered_json report{{"file", document.name},      {"line", where.line + 1},
                                        {"column", where.column + 1}, {"offset", finding.offset},
                                        {"word", finding.written},    {"suggestions", suggestions}};
    out() << report.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
  } else {
    out() << document.name << ':' << where.line + 1 << ':' << where.column + 1 << ": "
          << finding.written;
    if (shows_suggestions_) {
      out() << ':';
      if (suggestions.empty()) out() << " (no suggestions)";
      for (std::size_t i = 0; i < suggestions.size(); ++i) {
        out() << (i == 0 ? " " : ", ") << suggestions[i];
      }
    }
    out() << '\n';
  }
  CheckStandardOutput();
}

}  // namespace lexivane::cli
