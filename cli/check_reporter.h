// The reports of `lexivane check`, written as each misspelt word is found: a line
// `FILE:LINE:COLUMN: WORD: S1, S2, ...` (lines and columns from 1, columns in characters; the
// suggestions left out when none are asked for, "(no suggestions)" when there are none), or one
// JSON object a line with --json. WORD is the word as it stands in the file.
//
// The suggestions are the session's, searched when a word is reported. One reporter per run.
#pragma once

#include <cstddef>
#include <iostream>
#include <optional>
#include <string_view>

#include "frontend/io/text_positions.h"
#include "frontend/pipeline/document_checker.h"
#include "frontend/session/spelling_session.h"

namespace lexivane::cli {

class CheckReporter : public frontend::Reporter {
 public:
  enum class Format { kText, kJson };

  // `shows_suggestions`: whether the text lines show them (the session gives none when asked
  // for none, and JSON always has the list). The reports go to `out`.
  CheckReporter(Format format, bool shows_suggestions, frontend::SpellingSession& session,
                std::ostream& out = std::cout);

  // The text whose findings come next, which their places are counted in.
  void Begin(std::u16string_view text);
  void Report(const frontend::Document& document, const frontend::Finding& finding) override;

 private:
  const Format format_;
  const bool shows_suggestions_;
  frontend::SpellingSession& session_;
  std::ostream& out_;
  std::optional<frontend::PositionCounter> positions_;
};

}  // namespace lexivane::cli
