// The ispell pipe protocol that editors speak to a spell checker (`lexivane -a`), without the
// process around it: IspellSession answers one input line at a time and returns the text to
// print, so that whole conversations can be tested in memory.
//
// A line is a request when its first character is one of * & @ # ! % + - ~ $$, and text to
// check otherwise; `^` marks text that could be mistaken for a request. Text gets one result
// line per word (`*`, `& word N OFFSET: s1, s2`, `# word OFFSET`) and one blank line; requests
// print nothing. Offsets count characters (code points) from the first byte of the line, `^`
// included. Bytes that are not UTF-8 count as one character per maximal invalid piece. The
// suggestions are those the Enchant provider gives too (ShownSuggestions: at most 15, in the
// misspelling's letter case).
//
// The personal dictionary is the engine's custom dictionary: `*` and `&` add to it in memory and
// `#` saves it to its file, atomically (the engine writes a temporary file and renames it). The
// session's own words (`@`) are kept here and never saved. One session per engine object, on the
// engine's thread.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "cli/word_verdicts.h"
#include "lexivane/shown_suggestions.h"
#include "lexivane/spell_check.h"

namespace lexivane::cli {

// The one line a client reads first. Clients take the speller's kind from the part in
// parentheses; this one gets a UTF-8 conversation and no ispell-only options.
std::string IspellBanner();

class IspellSession {
 public:
  // `personal_file` is where `#` saves; nothing means the default custom dictionary file.
  IspellSession(SpellCheck& engine, std::optional<std::string> personal_file);

  // The answer to one line, given without its line end; empty for requests. A failed save
  // is returned by TakeWarning, not thrown: the conversation goes on and the file stays as it
  // was.
  std::string Answer(std::string_view line);

  // A message for standard error that the last Answer left, if any.
  std::optional<std::string> TakeWarning();

 private:
  bool Accepted(const std::u16string& word);
  const std::vector<std::u16string>& Suggestions(const std::u16string& word);
  void Forget();  // the dictionaries changed: answers kept so far may be wrong
  std::string Check(std::string_view line);
  void Save();

  SpellCheck& engine_;
  std::optional<std::string> personal_file_;
  // Running text repeats its words; each distinct one is judged once until the dictionaries
  // change.
  std::optional<WordVerdicts> verdicts_;
  bool terse_ = false;
  std::unordered_set<std::u16string> session_words_;  // lower-cased
  // Editors ask about the same words again and again; the search is the costly part.
  std::unordered_map<std::u16string, std::vector<std::u16string>> suggestions_;
  std::optional<std::string> warning_;
};

std::u16string LowerCase(std::u16string_view word);

}  // namespace lexivane::cli
