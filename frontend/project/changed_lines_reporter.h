// A reporter that passes on only the findings on lines a change added or altered
// (changed_lines.h), for `check --changed`: the findings of one text, in order, which it counts
// lines in as git does, at line feeds. One per text checked, on the checker's thread.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "frontend/pipeline/document_checker.h"
#include "frontend/project/changed_lines.h"

namespace lexivane::frontend {

class ChangedLinesReporter : public Reporter {
 public:
  // `file`: the text's file as ChangedLines knows it; `text`: what the findings' offsets count.
  ChangedLinesReporter(Reporter& next, const ChangedLines& changed, std::string file,
                       std::u16string_view text)
      : next_(next), changed_(changed), file_(std::move(file)), text_(text) {}

  void Report(const Document& document, const Finding& finding) override {
    const std::size_t to = std::min(finding.offset, text_.size());
    if (to > counted_) {
      line_ +=
          static_cast<std::size_t>(std::count(text_.begin() + counted_, text_.begin() + to, u'\n'));
      counted_ = to;
    }
    if (changed_.Has(file_, line_)) next_.Report(document, finding);
  }
  void Flush() override { next_.Flush(); }

 private:
  Reporter& next_;
  const ChangedLines& changed_;
  const std::string file_;
  const std::u16string_view text_;
  std::size_t counted_ = 0;  // the line feeds before it are counted in line_
  std::size_t line_ = 1;
};

}  // namespace lexivane::frontend
