// `check --format github`: one GitHub Actions workflow command a finding, which the runner turns
// into an annotation of the file's line:
//
//   ::warning file=PATH,line=L,col=C,endColumn=E,title=Misspelled word::MESSAGE
//
// L and C count from 1; C and E count UTF-16 code units, as SARIF's columns do here (GitHub
// does not say which unit it counts, and shows annotations in a browser, which counts these),
// and E is the column of the word's last unit: an annotation of one column has E equal to C.
// PATH is the file as given; the property values and the message are escaped as the runner
// reads them (EscapeCommandProperty, EscapeCommandData).
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "cli/check_output.h"

namespace lexivane::cli {

class GithubReporter : public CheckOutput {
 public:
  GithubReporter(ShownLists& shown, std::ostream& out);

  void Report(const frontend::Document& document, const frontend::Finding& finding) override;
};

// The escapes of a workflow command, those of GitHub's own toolkit (escapeData and
// escapeProperty of @actions/core, packages/core/src/command.ts): in the message, `%` as `%25`,
// CR as `%0D` and LF as `%0A`, so that the command stays on its line; in a property value also
// `:` as `%3A` and `,` as `%2C`, which would otherwise end the value.
std::string EscapeCommandData(std::string_view text);
std::string EscapeCommandProperty(std::string_view text);

}  // namespace lexivane::cli
