// The reporter of `lexivane list` and the ispell pipe's `-l`: the misspelt words of texts, one a
// line, each as it stands in its text, in UTF-8, in order, or only its first appearance across
// all the texts with `unique`. The lines of each piece of a text (and blocks of about 64 KiB of
// a whole one) go out in one block, so output costs one write per block rather than per word.
//
// ListMisspeltWordsOfFiles is all of `list`: each file ("-" is standard input; no file at all
// means standard input) through the document checker, its words on standard output. A file
// that cannot be read is reported and the next one taken (ForEachInputFile). A file whose
// mode hides more than an interpreter line is read whole; plain text is read in pieces, so
// memory does not grow with it.
//
// One reporter per checker, on its thread.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "frontend/io/input_text.h"
#include "frontend/pipeline/document_checker.h"
#include "frontend/pipeline/prepared_checker.h"

namespace lexivane::frontend {

class WordListReporter : public Reporter {
 public:
  // Takes a block of whole lines, each ending in '\n'.
  using Print = std::function<void(std::string_view lines)>;

  WordListReporter(bool unique, Print print);

  void Report(const Document& document, const Finding& finding) override;
  void Flush() override;

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 16;

  const bool unique_;
  const Print print_;
  std::unordered_set<std::string> printed_;  // with `unique`, across all the texts
  std::string lines_;
};

// The misspelt words of `file`, read as its document's mode wants it, to `reporter`. Throws
// CommandError when the file cannot be read.
void ListWordsOfFile(DocumentChecker& checker, const Document& document, const std::string& file,
                     Reporter& reporter);
// The same of a file open already, whose first bytes `start` were read from it.
void ListWordsOfFile(DocumentChecker& checker, const Document& document, InputFile& input,
                     std::string start, Reporter& reporter);

struct ListedFiles {
  bool found = false;   // a misspelt word
  bool failed = false;  // a file that could not be read
};
// `mode_of` says which parts of a file are prose (none given: all of every file);
// `check_identifiers`: in the code modes, the words of the code's identifiers too; `prepare`,
// when given, is called with each file's document before the file is read: it may change the
// document and the session's settings, and false passes the file over.
ListedFiles ListMisspeltWordsOfFiles(
    PreparedChecker& checker, const std::vector<std::string>& files, bool unique,
    const std::function<DocumentMode(const std::string& file)>& mode_of = {},
    bool check_identifiers = false,
    const std::function<bool(const std::string& file, Document& document)>& prepare = {});

}  // namespace lexivane::frontend
