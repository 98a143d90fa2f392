// Words a project uses as its own, learned from its tree before `check` or `list` checks it: the
// words of the names its code defines or uses, and the words that recur in kRecurringFiles of
// its files or more (its own names in its docs, its authors, its tools). Either kind is taken as
// the project's vocabulary in the prose and comments of every file of the walk, unless the word
// is surely a typo of a common word (its SpellingSession::TypoCost at most kSureTypoCost): a
// misspelt name used in twenty places is still reported at each, with its fix. When identifiers
// are checked, a word that kRecurringNames distinct names of the code use (the prefix of a
// project's names: tmux's `KEYC_UP`, `KEYC_DOWN`, `keyc_lookup`) is its vocabulary in
// identifiers too, on the same condition; one misspelt name used everywhere is still one name.
//
// The walk first checks each file's prose alone and gathers the words it rejects (FileWords, a
// reporter); in a file of code, a word that the text holds more often, as a word or as a part
// of a name (`zalloc`, `zallocFunc`, `ZALLOC_MAX`), than its prose does is a name of the code
// (MarkNamesOfCode). The files' words are added up in their order (WordTally), the candidates
// judged, and the files then checked with what was learned (SpellingSession::UseLearnedWords).
// Words are kept in LearnedForm. One FileWords and one WordTally per thread.
#pragma once

#include <array>
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
inline constexpr std::size_t kRecurringNames = 8;
// The most files a walk learns from. A larger tree is learned from a sample spread evenly over
// it (every second file, every third, ...), so that learning costs a bounded time on the
// largest trees (a kernel's 78,000 files) while a project of a few thousand files is read
// whole.
inline constexpr std::size_t kLearnedFilesMost = 8192;

// A word's distinct names (hashes of them), up to kRecurringNames.
class NamesOfWord {
 public:
  void Add(std::size_t name);
  std::size_t size() const { return size_; }
  const std::size_t* begin() const { return names_.data(); }
  const std::size_t* end() const { return names_.data() + size_; }

 private:
  std::array<std::size_t, kRecurringNames> names_{};
  std::size_t size_ = 0;
};

// What a file's check found of a word.
struct FoundWord {
  std::uint32_t in_prose = 0;  // findings outside identifiers
  bool in_code = false;        // MarkNamesOfCode found it beside the prose
  NamesOfWord names;           // the identifiers it was found in
};

// The distinct words of one file's findings, with how often each was found in prose and in
// which identifiers.
class FileWords : public Reporter {
 public:
  using Words = std::unordered_map<std::string, FoundWord>;
  // The text about to be checked, whose identifiers name the words found in them.
  void ReadText(std::u16string_view text) { text_ = text; }
  void Report(const Document& document, const Finding& finding) override;
  Words& words() { return words_; }
  Words Take() { return std::move(words_); }

 private:
  Words words_;
  std::u16string_view text_;
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
  // The words found in kRecurringNames distinct identifiers or more, sorted.
  std::vector<std::string> NameCandidates() const;

 private:
  struct Count {
    std::uint32_t files = 0;
    bool in_code = false;
    NamesOfWord names;
  };
  std::unordered_map<std::string, Count> counts_;
};

}  // namespace lexivane::frontend
