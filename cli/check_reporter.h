// The text and JSON reports of `lexivane check`, written as each misspelt word is found: a line
// `FILE:LINE:COLUMN: WORD: S1, S2, ...` (lines and columns from 1, columns in characters; the
// suggestions left out when none are asked for, "(no suggestions)" when there are none), or one
// JSON object a line. WORD is the word as it stands in the file.
#pragma once

#include <iosfwd>

#include "cli/check_output.h"

namespace lexivane::cli {

class CheckReporter : public CheckOutput {
 public:
  // `shows_suggestions`: whether the text lines show them (JSON always has the list).
  CheckReporter(bool json, bool shows_suggestions, ShownLists& shown, std::ostream& out);

  void Report(const frontend::Document& document, const frontend::Finding& finding) override;

 private:
  const bool json_;
  const bool shows_suggestions_;
};

}  // namespace lexivane::cli
