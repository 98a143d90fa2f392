// The misspelt words of texts, one a line, as `list` prints them: each word as it stands in
// its text, in UTF-8, in order, or only its first appearance across all the texts with
// `unique`. Each distinct word is judged once for all the texts (Utf8WordVerdicts).
//
// A text is walked as it is read, a piece at a time (ChunkedInput), so memory does not grow
// with its length, nor with a stretch without blanks. Without a byte order mark, or with the UTF-8
// one (dropped), it is UTF-8 and its words are found in the bytes (ForEachUtf8RunningWord); only a
// word never seen before is widened to UTF-16 for the check. A UTF-16 or UTF-32 text, rare in
// practice, is read whole, decoded (DecodeText) and walked in UTF-16. The lines of each piece are
// handed on in one block, so output costs one write per piece rather than per word.
//
// One object per engine and thread, like the engine.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "frontend/chunked_input.h"
#include "frontend/document_modes.h"
#include "frontend/input_text.h"
#include "frontend/word_rules.h"
#include "frontend/word_verdicts.h"
#include "lexivane/spell_check.h"

namespace lexivane::frontend {

class MisspeltWords {
 public:
  // Takes a block of whole lines, each ending in '\n'.
  using Print = std::function<void(std::string_view lines)>;

  // A word is misspelt when the front ends reject it (FrontEndAccepts, word_rules.h).
  MisspeltWords(const SpellCheck& engine, bool unique, WordRules rules = WordRules::All(),
                AcceptedNames accepted_names = {});

  // Prints the misspelt words of one text. Exceptions of `input` and `print` reach the caller;
  // lines of the pieces handed on before stay printed.
  void List(ChunkedInput& input, const Print& print);

  // Prints the misspelt words of the prose of a whole text, as they stand in it; with the
  // identifiers of code checked, the words of each as they stand.
  void ListDocument(std::u16string_view text, DocumentMode mode, const Print& print,
                    CodeIdentifiers identifiers = CodeIdentifiers::kHidden);

  // The same for a text read with its bytes, its `text` filtered in place; the words are printed
  // as they were read.
  void ListDocument(TextWithBytes& input, DocumentMode mode, const Print& print,
                    CodeIdentifiers identifiers = CodeIdentifiers::kHidden);

  // The same for a text in a mode that only blanks (HidesOnly), filtered in place: its words
  // are printed as they stand in it, with no copy of the text nor of its bytes.
  void ListDocumentInPlace(std::u16string& text, DocumentMode mode, const Print& print,
                           CodeIdentifiers identifiers = CodeIdentifiers::kHidden);

  // Prints the misspelt words of `prose`, a copy of `text` of the same length with parts
  // blanked or rewritten (HideNonProse), as they stand in `text`; with the identifiers of code
  // kept in it, the words of each.
  void ListProse(std::u16string_view text, std::u16string_view prose, const Print& print,
                 CodeIdentifiers identifiers = CodeIdentifiers::kHidden);

  // Whether any text so far had a misspelt word (printed or not).
  bool found() const { return found_; }

 private:
  // Words of plain ASCII wait in a batch, so that the lookups of several overlap; a word of
  // the piece being walked stays valid until the piece is done.
  static constexpr std::size_t kBatch = 16;
  struct Waiting {
    std::string_view word;
    Utf8WordVerdicts::Place place;
  };

  // ListProse with the words as written found by written(begin, end, prose_word, scratch): the
  // UTF-8 of that range of the text, built in `scratch` if need be; prose_word is the range of
  // the prose when it is plain ASCII (else empty), what it is when the text was not rewritten.
  template <typename Written>
  void ListProseAs(std::u16string_view prose, Written&& written, const Print& print,
                   CodeIdentifiers identifiers);
  void AddAscii(std::string_view word);
  void FlushBatch();
  void Add(std::string_view as_written, std::string_view word, Utf8WordVerdicts::Place place);

  Utf8WordVerdicts verdicts_;
  Waiting batch_[kBatch];
  std::size_t waiting_ = 0;
  const bool unique_;
  std::unordered_set<std::string> printed_;  // with `unique`, across all the texts
  std::string lines_;                        // of the piece being walked
  bool found_ = false;
};

// What `lexivane list` and the pipe's -l do: the misspelt words of each file ("-" is standard
// input; no file at all means standard input) on standard output, in order. A file that cannot
// be read is reported and the next one taken (ForEachInputFile). `mode_of` says which parts of
// a file are prose (none given: all of every file); a file with a mode is read whole.
// `check_identifiers`: in the code modes, the words of the code's identifiers too.
struct ListedFiles {
  bool found = false;   // a misspelt word
  bool failed = false;  // a file that could not be read
};
ListedFiles ListMisspeltWordsOfFiles(
    const SpellCheck& engine, const std::vector<std::string>& files, bool unique,
    const std::function<DocumentMode(const std::string& file)>& mode_of = {},
    WordRules rules = WordRules::All(), bool check_identifiers = false,
    AcceptedNames accepted_names = {});

}  // namespace lexivane::frontend
