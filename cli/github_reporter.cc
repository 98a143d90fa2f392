#include "cli/github_reporter.h"

#include <ostream>

#include "frontend/io/standard_output.h"

namespace lexivane::cli {

using namespace frontend;

std::string EscapeCommandData(std::string_view text) {
  return PercentEncoded(text, [](char c) { return c == '%' || c == '\r' || c == '\n'; });
}

std::string EscapeCommandProperty(std::string_view text) {
  return PercentEncoded(
      text, [](char c) { return c == '%' || c == '\r' || c == '\n' || c == ':' || c == ','; });
}

GithubReporter::GithubReporter(ShownLists& shown, std::ostream& out)
    : CheckOutput(Columns::kUtf16Units, shown, out) {}

void GithubReporter::Report(const Document& document, const Finding& finding) {
  const LinePosition where = PlaceOf(finding);
  out() << "::warning file=" << EscapeCommandProperty(document.name) << ",line=" << where.line + 1
        << ",col=" << where.column + 1 << ",endColumn=" << where.column + finding.length
        << ",title=Misspelled word::"
        << EscapeCommandData(MisspellingMessage(finding.written, SuggestionsFor(finding))) << '\n';
  CheckStandardOutput();
}

}  // namespace lexivane::cli
