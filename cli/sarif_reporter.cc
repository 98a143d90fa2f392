#include "cli/sarif_reporter.h"

#include <utility>

#include <ostream>
#include <vector>

#include "frontend/io/standard_output.h"
#include "lexivane/version.h"
#include "support/ascii.h"

namespace lexivane::cli {

using namespace frontend;
using Json = nlohmann::ordered_json;

namespace {

constexpr std::string_view kRuleId = "misspelling";

Json TextObject(std::string_view text) {
  return Json{{"text", text}};
}

}  // namespace

std::string ArtifactUri(std::string_view path) {
  const auto reserved = [](char c) {
    return !support::IsAsciiAlnum(c) && std::string_view("-._~/").find(c) == std::string_view::npos;
  };
  return (path.starts_with('/') ? "file://" : "") + PercentEncoded(path, reserved);
}

SarifReporter::SarifReporter(ShownLists& shown, std::ostream& out)
    : CheckOutput(Columns::kUtf16Units, shown, out) {}

void SarifReporter::Report(const Document& document, const Finding& finding) {
  const LinePosition where = PlaceOf(finding);
  const Json region{{"startLine", where.line + 1},
                    {"startColumn", where.column + 1},
                    {"endColumn", where.column + finding.length + 1}};
  const Json artifact{{"uri", ArtifactUri(document.name)}};
  const std::vector<std::string>& suggestions = SuggestionsFor(finding);
  Json fixes = Json::array();
  for (const std::string& suggestion : suggestions) {
    fixes.push_back(
        {{"description", TextObject("Replace with " + suggestion)},
         {"artifactChanges",
          {{{"artifactLocation", artifact},
            {"replacements",
             {{{"deletedRegion", region}, {"insertedContent", TextObject(suggestion)}}}}}}}});
  }
  Json result{{"ruleId", kRuleId},
              {"ruleIndex", 0},
              {"level", "warning"},
              {"message", TextObject(MisspellingMessage(finding.written, suggestions))},
              {"locations",
               {{{"physicalLocation", {{"artifactLocation", artifact}, {"region", region}}}}}}};
  if (!fixes.empty()) result["fixes"] = std::move(fixes);
  results_.push_back(std::move(result));
}

void SarifReporter::Finish() {
  WriteSarifLog(out(), TakeResults());
}

Json SarifReporter::TakeResults() {
  return std::exchange(results_, Json::array());
}

void WriteSarifLog(std::ostream& out, Json results) {
  const Json rule{
      {"id", kRuleId},
      {"name", "Misspelling"},
      {"shortDescription", TextObject("A word that no dictionary holds and no word rule accepts")},
      {"defaultConfiguration", {{"level", "warning"}}}};
  const Json driver{{"name", "lexivane"},
                    {"version", Version()},
                    {"semanticVersion", Version()},
                    {"rules", Json::array({rule})}};
  const Json log{{"$schema", "https://json.schemastore.org/sarif-2.1.0.json"},
                 {"version", "2.1.0"},
                 {"runs",
                  {{{"tool", {{"driver", driver}}},
                    {"columnKind", "utf16CodeUnits"},
                    {"results", std::move(results)}}}}};
  out << log.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
  CheckStandardOutput();
}

}  // namespace lexivane::cli
