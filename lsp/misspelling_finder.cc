#include "lsp/misspelling_finder.h"

#include <string>
#include <utility>

#include "frontend/pipeline/document_checker.h"
#include "frontend/words/running_words.h"

namespace lexivane::frontend::lsp {

namespace {

// Gathers the findings as the workspace keeps them.
class Gatherer : public Reporter {
 public:
  Gatherer(std::u16string_view text, std::vector<Misspelling>& found)
      : text_(text), found_(found) {}

  void Report(const Document&, const Finding& finding) override {
    // As written, less the word joiners that stand in for the rest of a reference such as
    // `&eacute;` in a document's prose: "caf&eacute;" reads "café".
    std::u16string as_written(text_.substr(finding.offset, finding.length));
    std::erase(as_written, kWordJoiner);
    found_.push_back({finding.offset, finding.length, std::move(as_written)});
  }

 private:
  std::u16string_view text_;
  std::vector<Misspelling>& found_;
};

}  // namespace

MisspellingFinder::MisspellingFinder(const CheckerSettings& settings, const Warn& warn)
    : prepared_(CheckerSetupOf(settings), warn) {}

std::optional<std::vector<Misspelling>> MisspellingFinder::Find(std::u16string_view text,
                                                                const std::function<bool()>& stop,
                                                                CodeIdentifiers identifiers) {
  InlineDirectives directives;
  directives.Read(text);
  return Find(text, directives, 0, stop, identifiers);
}

std::optional<std::vector<Misspelling>> MisspellingFinder::Find(
    std::u16string_view prose, const InlineDirectives& directives, std::size_t start,
    const std::function<bool()>& stop, CodeIdentifiers identifiers, DocumentMode mode,
    std::u16string_view written) {
  std::vector<Misspelling> found;
  Gatherer gatherer(prose, found);
  Document document;
  document.identifiers = identifiers;
  // A part's prose alone would be filtered again to tell its identifiers: the mode only for
  // its programming words then, and not when identifiers are checked.
  document.mode =
      written.empty() && identifiers == CodeIdentifiers::kChecked ? DocumentMode::kNone : mode;
  const std::u16string_view text = written.size() == prose.size() ? written : prose;
  if (!prepared_.checker().CheckProse(document, text, prose, directives, start, gatherer, stop)) {
    return std::nullopt;
  }
  return found;
}

SuggestionList MisspellingFinder::Suggestions(const Misspelling& misspelling) {
  // The word as it was checked: a document keeps thousands of misspellings, so that form is
  // made again here rather than kept beside each (the word joiners are out already).
  std::u16string checked = misspelling.word;
  ReadApostrophes(checked);
  return prepared_.session().Suggestions(checked);
}

void MisspellingFinder::Add(std::u16string_view word) {
  prepared_.session().AddToCustom(word);
}

void MisspellingFinder::Ignore(std::u16string_view word) {
  prepared_.session().AcceptForSession(word);
}

void MisspellingFinder::Take(const SessionWords& words) {
  for (const std::u16string& word : words.added) Add(word);
  for (const std::u16string& word : words.ignored) Ignore(word);
}

}  // namespace lexivane::frontend::lsp
