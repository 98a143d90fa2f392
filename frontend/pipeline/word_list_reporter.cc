#include "frontend/pipeline/word_list_reporter.h"

#include <iostream>
#include <utility>

#include "frontend/io/input_text.h"
#include "frontend/io/standard_output.h"
#include "frontend/session/word_verdicts.h"

namespace lexivane::frontend {

WordListReporter::WordListReporter(bool unique, Print print)
    : unique_(unique), print_(std::move(print)) {}

void WordListReporter::Report(const Document&, const Finding& finding) {
  if (unique_ && !printed_.emplace(finding.written).second) return;
  lines_ += finding.written;
  lines_ += '\n';
  if (lines_.size() >= kBlock) Flush();
}

void WordListReporter::Flush() {
  if (lines_.empty()) return;
  print_(lines_);
  lines_.clear();
}

void ListWordsOfFile(DocumentChecker& checker, const Document& document, const std::string& file,
                     Reporter& reporter) {
  InputFile input(file);
  ListWordsOfFile(checker, document, input, {}, reporter);
}

void ListWordsOfFile(DocumentChecker& checker, const Document& document, InputFile& input,
                     std::string start, Reporter& reporter) {
  checker.session().verdicts().Reserve(DistinctWordsToExpect(input.SizeHint()));
  if (document.mode == DocumentMode::kNone) {
    // What was read already comes first, then the rest of the file.
    std::size_t handed = 0;
    ChunkedInput pieces([&](char* into, std::size_t most) {
      if (handed == start.size()) return input.Read(into, most);
      const std::size_t n = start.copy(into, most, handed);
      handed += n;
      return n;
    });
    checker.CheckPieces(document, pieces, reporter);
  } else if (HidesOnly(document.mode)) {
    InputText text = ReadInput(input, std::move(start));
    checker.CheckInPlace(document, text.text, reporter);
  } else {
    TextWithBytes text(input, std::move(start));
    checker.Check(document, text, reporter);
  }
}

ListedFiles ListMisspeltWordsOfFiles(
    PreparedChecker& checker, const std::vector<std::string>& files, bool unique,
    const std::function<DocumentMode(const std::string& file)>& mode_of, bool check_identifiers,
    const std::function<bool(const std::string& file, Document& document)>& prepare) {
  WordListReporter reporter(unique, [](std::string_view lines) {
    std::cout.write(lines.data(), static_cast<std::streamsize>(lines.size()));
    CheckStandardOutput();
  });
  DocumentChecker& documents = checker.checker();
  const bool all_read = ForEachInputFile(files, [&](const std::string& file) {
    const DocumentMode mode = mode_of ? mode_of(file) : DocumentMode::kNone;
    Document document{file, mode, CodeIdentifiersIn(mode, check_identifiers)};
    if (prepare && !prepare(file, document)) return;
    ListWordsOfFile(documents, document, file, reporter);
  });
  return {documents.found(), !all_read};
}

}  // namespace lexivane::frontend
