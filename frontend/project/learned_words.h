// Words a project uses as its own, learned from its tree before `check` or `list` checks it: the
// words of the names its code defines or uses, and the words that recur in kRecurringFiles of
// its files or more (its own names in its docs, its authors, its tools). Either kind is taken as
// the project's vocabulary in the prose and comments of every file of the walk (identifiers are
// judged by their own rule, unlikely-typos), unless the word is surely a typo of a common word
// (its SpellingSession::TypoCost at most kSureTypoCost): a misspelt name used in twenty places is
// still reported at each, with its fix.
//
// The walk first checks each file's prose alone and gathers the words it rejects (FileWords, a
// reporter); in a file of code, a word that the text holds more often, as a word or as a part
// of a name (`zalloc`, `zallocFunc`, `ZALLOC_MAX`), than its prose does is a name of the code
// (MarkNamesOfCode). The files' words are added up in their order (WordTally), the candidates
// judged, and the files then checked with what was learned (SpellingSession::UseLearnedWords).
// Words are kept in LearnedForm. One FileWords and one WordTally per thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "frontend/pipeline/document_checker.h"
#include "frontend/session/spelling_session.h"

namespace lexivane::frontend {

inline constexpr std::uint32_t kRecurringFiles = 3;
// The most files a walk learns from. A larger tree is learned from a sample spread evenly over
// it (every second file, every third, ...), so that learning costs a bounded time on the
// largest trees (a kernel's 78,000 files) while a project of a few thousand files is read
// whole.
inline constexpr std::size_t kLearnedFilesMost = 8192;

// What a file's check found of a word.
struct FoundWord {
  std::uint32_t in_prose = 0;  // findings
  bool in_code = false;        // MarkNamesOfCode found it beside the prose
};

// The distinct words of one file's findings, with how often each was found.
class FileWords : public Reporter {
 public:
  using Words = std::unordered_map<std::string, FoundWord>;
  void Report(const Document& document, const Finding& finding) override;
  Words& words() { return words_; }
  Words Take() { return std::move(words_); }

 private:
  Words words_;
};

// Marks in_code each word of `words` that `text`, a file of code, holds more often than its
// prose did: counted where it stands as a word of ASCII letters, or as a part of a name cut at
// `_`, digits and a capital after a small letter, in any letter case.
void MarkNamesOfCode(std::u16string_view text, FileWords::Words& words);

class WordTally {
 public:
  void Add(const FileWords::Words& file_words);
  // The words found as names of code or in kRecurringFiles files or more, sorted.
  std::vector<std::string> Candidates() const;

 private:
  struct Count {
    std::uint32_t files = 0;
    bool in_code = false;
  };
  std::unordered_map<std::string, Count> counts_;
};

}  // namespace lexivane::frontend
