// The report formats of `lexivane check`, each a Reporter of the pipeline (document_checker.h):
// lines of text or of JSON (check_reporter.h), one SARIF log (sarif_reporter.h), or GitHub
// workflow commands (github_reporter.h). The command tells the format which text's findings
// come next, since their lines and columns are counted in it, and when the last text is done,
// since a format may gather its findings into one document written then.
//
// A format asks for a word's suggestions when it reports the word (from the lists shown so far,
// cli/shown_lists.h, which may outlive it), and writes to the stream it is given (standard
// output in the tool). One object per run, or per file of a walk, on the session's thread.
#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/shown_lists.h"
#include "frontend/io/text_positions.h"
#include "frontend/pipeline/document_checker.h"

namespace CLI {
class App;
}

namespace lexivane::cli {

enum class CheckFormat { kText, kJson, kSarif, kGithub };

// Registers --format NAME (text, json, sarif, github) and --json, which is --format json, on
// the check command; an unknown name, or --json beside --format, is a usage error.
void AddFormatOptions(CLI::App& check, CheckFormat& format);

class CheckOutput : public frontend::Reporter {
 public:
  // The text whose findings come next.
  void Begin(std::u16string_view text) { positions_.emplace(text, columns_); }
  // Every text was checked.
  virtual void Finish() {}

 protected:
  CheckOutput(frontend::Columns columns, ShownLists& shown, std::ostream& out)
      : columns_(columns), shown_(shown), out_(out) {}

  // Where the finding starts in the text begun last, its column in this format's columns.
  frontend::LinePosition PlaceOf(const frontend::Finding& finding) {
    return positions_->At(finding.offset);
  }
  // The session's first suggestions for the finding's word, in UTF-8; valid until the next call.
  const std::vector<std::string>& SuggestionsFor(const frontend::Finding& finding) {
    return shown_.For(finding.word);
  }
  std::ostream& out() { return out_; }

 private:
  const frontend::Columns columns_;
  ShownLists& shown_;
  std::ostream& out_;
  std::optional<frontend::PositionCounter> positions_;
};

// `shows_suggestions`: whether the text lines show them (the session gives none when asked for
// none; the other formats show what it gives).
std::unique_ptr<CheckOutput> MakeCheckOutput(CheckFormat format, bool shows_suggestions,
                                             ShownLists& shown, std::ostream& out);

// The sentence a CI system shows for a finding: `"Teh" is not a known word (suggestions: The,
// Th)`, without the parenthesis when there are no suggestions.
std::string MisspellingMessage(std::string_view word, const std::vector<std::string>& suggestions);

// `text` with each byte for which `escapes(byte)` holds written as `%XX` (upper-case hex), the
// escape of URIs and of GitHub's workflow commands.
template <typename Escapes>
std::string PercentEncoded(std::string_view text, Escapes escapes) {
  constexpr std::string_view kHex = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (escapes(c)) {
      encoded += {'%', kHex[byte >> 4], kHex[byte & 0xF]};
    } else {
      encoded += c;
    }
  }
  return encoded;
}

}  // namespace lexivane::cli
