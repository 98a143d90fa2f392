// `check --format sarif`: the findings as one SARIF 2.1.0 log, written whole when the run ends
// (also when nothing was found), for code scanning services. One run of the tool `lexivane`
// with its version and one rule, `misspelling`; each finding is a result at level "warning"
// with the word's file, line, start and end column, and its first suggestions as fixes that
// replace the word.
//
// Columns count UTF-16 code units, from 1, and the log says so (`columnKind`); the end column
// is the one after the word's last unit. The findings wait in memory until the log is written.
#pragma once

#include <iosfwd>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "cli/check_output.h"

namespace lexivane::cli {

class SarifReporter : public CheckOutput {
 public:
  SarifReporter(ShownLists& shown, std::ostream& out);

  void Report(const frontend::Document& document, const frontend::Finding& finding) override;
  void Finish() override;
  // The results so far, taken out of the reporter: each file's, when files are checked apart
  // and their results written in one log (WriteSarifLog).
  nlohmann::ordered_json TakeResults();

 private:
  nlohmann::ordered_json results_ = nlohmann::ordered_json::array();
};

// The SARIF log of `results` (an array of results), written whole to `out`.
void WriteSarifLog(std::ostream& out, nlohmann::ordered_json results);

// The URI reference that names a file given by `path`: relative as given, or a `file:` URI for
// an absolute path, with every byte but the unreserved characters and `/` percent-encoded
// (RFC 3986), so that spaces, `%`, non-ASCII names and `<stdin>` make valid references.
std::string ArtifactUri(std::string_view path);

}  // namespace lexivane::cli
