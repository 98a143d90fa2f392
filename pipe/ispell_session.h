// The ispell pipe protocol that editors speak to a spell checker (`lexivane -a`), without the
// process around it: IspellSession answers one input line at a time and returns the text to
// print, so that whole conversations can be tested in memory.
//
// A line is a request when its first character is one of * & @ # ! % + - ~ $$, and text to
// check otherwise; `^` marks text that could be mistaken for a request. Text gets one result
// line per word (`*`, `& word N OFFSET: s1, s2`, `# word OFFSET`) and one blank line; requests
// print nothing. Offsets count characters (code points) from the first byte of the line, `^`
// included. Bytes that are not UTF-8 count as one character per maximal invalid piece. The
// suggestions are those the Enchant provider gives too: at most 15, in the misspelling's letter
// case, in the typing ranking unless the options chose the engine's own search (ranking.h).
//
// The personal dictionary is the engine's custom dictionary: `*` adds a word to it in memory, `&`
// the word in lower case (as the engine folds case), and `#` adds the words added since the last
// save that succeeded to its file as it is on disk then (CustomDictionaryFile::AddWords, which
// skips those the file holds). The session's own words (`@`) are accepted in any letter case and
// never saved. Every request counts for every later line, words checked before it included.
//
// Text is read in a document mode (document_modes.h): the one the options chose, until `+NAME`
// (`+` alone: tex) switches to another and `-` goes back to the options' one. Each line is
// filtered on its own, after its `^`, so offsets and the words reported are those of the line
// as sent; a construct the line does not close (a comment, an environment, a fence) ends with
// the line. Every text line's words go through the word rules (word_rules.h), those the options
// left on; a line holding a single word is text like any other. One session per engine object, on
// the engine's thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "frontend/modes/document_modes.h"
#include "frontend/pipeline/prepared_checker.h"
#include "frontend/session/spelling_session.h"

namespace lexivane::frontend::ispell {

// The one line a client reads first. Clients take the speller's kind from the part in
// parentheses; this one gets a UTF-8 conversation and no ispell-only options.
std::string IspellBanner();

class IspellSession {
 public:
  // The checker's custom dictionary file is the personal one, where `#` saves; its session
  // shows at most kShownSuggestionsMax suggestions. `mode` is the one `-` comes back to.
  IspellSession(PreparedChecker& checker, DocumentMode mode = DocumentMode::kNone);

  // The answer to one line, given without its line end; empty for requests. A failed save
  // is returned by TakeWarning, not thrown: the conversation goes on and the file stays as it
  // was. A warning shows the request's own text with its control characters as \xNN.
  std::string Answer(std::string_view line);

  // A message for standard error that the last Answer left, if any.
  std::optional<std::string> TakeWarning();

 private:
  std::string Check(std::string_view line);
  void Save();
  void SwitchMode(std::string_view line);

  PreparedChecker& checker_;
  SpellingSession& session_;
  std::size_t saved_words_ = 0;  // the first added words, which a save has written
  const DocumentMode options_mode_;
  DocumentMode mode_;
  bool terse_ = false;
  std::optional<std::string> warning_;
};

}  // namespace lexivane::frontend::ispell
