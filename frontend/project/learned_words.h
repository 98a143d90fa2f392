// Words a project uses as its own, learned from its tree before `check` or `list` checks it: the
// words of the names its code defines or uses, and the words that recur in kRecurringFiles of
// its files or more (its own names in its docs, its authors, its tools). Either kind is taken as
// the project's vocabulary in the prose and comments of every file of the walk (identifiers are
// judged by their own rule, unlikely-typos), unless the word is likely a typo of a
// common word (its SpellingSession::TypoCost at most kSureTypoCost): a misspelt name used in twenty
// places is still reported at each, with its fix.
//
// The walk gathers each file's rejected words first (FileWords, a reporter, with the identifiers
// of code checked and every word of them reported), adds them up in the order of the files
// (WordTally), judges the candidates, then checks the files with what it learned
// (SpellingSession::UseLearnedWords). Words are kept in LearnedForm. One FileWords and one
// WordTally per thread.
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

// The distinct words of one file's findings, each with whether one of its places was in an
// identifier.
class FileWords : public Reporter {
 public:
  void Report(const Document& document, const Finding& finding) override;
  std::unordered_map<std::string, bool> Take() { return std::move(words_); }

 private:
  std::unordered_map<std::string, bool> words_;
};

class WordTally {
 public:
  void Add(const std::unordered_map<std::string, bool>& file_words);
  // The words found in an identifier or in kRecurringFiles files or more, sorted.
  std::vector<std::string> Candidates() const;

 private:
  struct Count {
    std::uint32_t files = 0;
    bool in_identifier = false;
  };
  std::unordered_map<std::string, Count> counts_;
};

}  // namespace lexivane::frontend
