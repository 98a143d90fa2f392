// The misspellings of a text as the language server reports them: the words `lexivane list`
// prints for the same text, less those the session accepts; and their suggestions, asked for one
// misspelling at a time, when a client wants to offer them (the search for them costs more than
// finding every misspelling of a large text, so finding them never searches).
//
// A finder owns the checker the settings call for (prepared_checker.h: an engine with the
// suggestion threshold and the custom dictionary file, loaded when the finder is made, and the
// session over it that judges each distinct word once, remembers the suggestions asked for, and
// holds the words ignored for the session), and reports through the document checker. The words the
// user adds or ignores reach it through Add and Ignore (or Take, for all of a session's words at
// once); words that reach the file otherwise (another program, or this server's own save) through
// CatchUpWithCustomFile, which loads the file again when it changed.
//
// Threading: a finder is made and used on one thread. Its engine works on that thread's
// dictionaries, which every engine of the thread shares and which outlive the finder: a word
// it adds stays in the thread's custom dictionary, and a later finder's custom dictionary file
// replaces the words there only when that file holds words. The server's worker and the server
// itself each keep a finder on their own thread.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/modes/document_modes.h"
#include "frontend/pipeline/inline_directives.h"
#include "frontend/pipeline/prepared_checker.h"
#include "frontend/session/spelling_session.h"
#include "lexivane/spell_check.h"
#include "lsp/server_settings.h"
#include "lsp/workspace.h"

namespace lexivane::frontend::lsp {

// The words of a session so far, as the user gave them, for a finder made later.
struct SessionWords {
  std::vector<std::u16string> added;    // to the custom dictionary (saved or not)
  std::vector<std::u16string> ignored;  // for the session, in any letter case
};

class MisspellingFinder {
 public:
  // Reports a custom dictionary file that cannot be read; the finder checks without it.
  using Warn = PreparedChecker::Warn;

  MisspellingFinder(const CheckerSettings& settings, const Warn& warn);
  MisspellingFinder(const MisspellingFinder&) = delete;
  MisspellingFinder& operator=(const MisspellingFinder&) = delete;

  // In order of appearance, in a text or a document's prose (with the identifiers of code
  // kept, each word of one is one). `stop` is asked now and then; when it returns true, Find
  // returns nullopt at once.
  // The inline directives are those of `text`.
  std::optional<std::vector<Misspelling>> Find(
      std::u16string_view text, const std::function<bool()>& stop = {},
      CodeIdentifiers identifiers = CodeIdentifiers::kHidden);
  // The same for the prose of a document, or a part of it that starts at `start`, under the
  // directives read from the whole document as written (those in a hidden comment count).
  // `mode`: the document's, for the lists of programming words of its language; `written`:
  // the whole document as written when `prose` is all of its prose, so that the words of its
  // identifiers are told from those of its comments and a TeX document's own markup names
  // pass, as in the tool (empty for a part).
  std::optional<std::vector<Misspelling>> Find(
      std::u16string_view prose, const InlineDirectives& directives, std::size_t start,
      const std::function<bool()>& stop = {},
      CodeIdentifiers identifiers = CodeIdentifiers::kHidden,
      DocumentMode mode = DocumentMode::kNone, std::u16string_view written = {});
  // The ranked suggestions for a misspelling, in its letter case; searched once per distinct
  // word, then remembered until the dictionaries change.
  SuggestionList Suggestions(const Misspelling& misspelling);

  // For the project's settings of each document (DocumentConfigs::Prepare) before it is checked.
  SpellingSession& session() { return prepared_.session(); }

  void Add(std::u16string_view word);     // to the thread's custom dictionary, in memory
  void Ignore(std::u16string_view word);  // any letter case
  void Take(const SessionWords& words);
  // Loads the custom dictionary file again when it changed on disk since it was last loaded,
  // keeping the words added in the session (saved or not); true when it did, so that what was
  // found before may be out of date. A file that can no longer be read is reported through
  // `warn`, and the words read before stay.
  bool CatchUpWithCustomFile() { return prepared_.CatchUpWithCustomFile(); }

  // The custom dictionary file whose words were loaded into the thread's dictionaries; none
  // when there was no file to load or it could not be read.
  const std::optional<std::string>& loaded_custom_file() const {
    return prepared_.loaded_custom_file();
  }

 private:
  PreparedChecker prepared_;
};

}  // namespace lexivane::frontend::lsp
